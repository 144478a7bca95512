#include "settings/ui/more_settings.h"

namespace ql40::ui {

std::optional<DialogOutcome> RunMoreSettingsCommand(int, QWidget*, shell::AppContext&) {
  return std::nullopt;
}

}  // namespace ql40::ui
