#include <QApplication>

#include "shell/help.h"
#include "shell/ui/help_window.h"
#include "shell/ui/hooks.h"
#include "shell/ui/main_window.h"

namespace ql40::ui {

// Help for a dialog (F1): the main window's help, which knows where the pages are; without a
// main window (a dialog on its own) a help window of the asking widget's window.
void ShowHelp(QWidget* parent, int context_id) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* main = qobject_cast<MainWindow*>(top)) {
      main->ShowHelp(context_id);
      return;
    }
  }
  QWidget* owner = parent != nullptr ? parent->window() : nullptr;
  HelpWindow* help = owner != nullptr ? owner->findChild<HelpWindow*>() : nullptr;
  if (help == nullptr) {
    help = new HelpWindow(QString(), owner);
    if (owner == nullptr) help->setAttribute(Qt::WA_DeleteOnClose);
  }
  help->ShowContext(context_id);
}

}  // namespace ql40::ui
