#include "shell/ui/hooks.h"

namespace ql40::ui {

bool RunAlignmentDialog(bool, QWidget*, link::AlignmentLink&, Codeplug&, shell::AppContext&) {
  return false;
}

}  // namespace ql40::ui
