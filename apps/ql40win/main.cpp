#include <QApplication>
#include <QMainWindow>

#include "shell/ui/hooks.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ql40::shell::AppContext context;
  context.doc.ResetToDefaults();
  QMainWindow window;
  window.setCentralWidget(ql40::ui::CreateChannelView(context, &window));
  window.show();
  return app.exec();
}
