#include "shell/ui/hooks.h"

namespace ql40::ui {

std::optional<DialogOutcome> RunSettingsCommand(int, QWidget*, shell::AppContext&) {
  return std::nullopt;
}

}  // namespace ql40::ui
