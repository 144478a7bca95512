#include "settings/ui/more_settings.h"
#include "shell/ui/hooks.h"

namespace ql40::ui {

std::optional<DialogOutcome> RunSettingsCommand(int command_id, QWidget* parent,
                                                shell::AppContext& app) {
  return RunMoreSettingsCommand(command_id, parent, app);
}

}  // namespace ql40::ui
