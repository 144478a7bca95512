#pragma once

// The Scan Parameters, Power Saving, Emergency, Marketing Parameters and Miscellaneous dialogs
// of the Common menu.

#include <QWidget>
#include <optional>

#include "shell/app_context.h"
#include "shell/ui/hooks.h"

namespace ql40::ui {

// Commands 32774 (Scanning), 32775 (Power Saving), 32778 (Emergency), 32779 (Marketing) and
// 32780 (Miscellaneous): writes the records into the image, runs the dialog and decodes the
// image again where the command does; nothing for any other command.
std::optional<DialogOutcome> RunMoreSettingsDialog(int command_id, QWidget* parent,
                                                   shell::AppContext& app);

}  // namespace ql40::ui
