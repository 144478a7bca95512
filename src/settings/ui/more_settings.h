#pragma once

// The Common menu dialogs that settings_commands.cpp leaves to more_settings.cpp: Scanning
// (32774), Power Saving (32775), Emergency (32778), Marketing (32779), Miscellaneous (32780).

#include <QWidget>
#include <optional>

#include "shell/app_context.h"
#include "shell/ui/hooks.h"

namespace ql40::ui {

// Runs the dialog of the command; nothing when the command is not one of these.
std::optional<DialogOutcome> RunMoreSettingsCommand(int command_id, QWidget* parent,
                                                    shell::AppContext& app);

}  // namespace ql40::ui
