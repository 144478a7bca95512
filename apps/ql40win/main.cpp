// ql40win: the desktop program. One copy per user; settings from QL40Win.ini (in the working
// folder, or in the user's config folder for an installed program, see shell/paths.h); an
// optional codeplug file or the maintenance switch on the command line.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPrinterInfo>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "ql40_version.h"
#include "resources/labels.h"
#include "shell/document.h"
#include "shell/ini_file.h"
#include "shell/paths.h"
#include "shell/startup.h"
#include "shell/ui/main_window.h"
#include "shell/ui/qt_prompter.h"
#include "shell/ui/shell_dialogs.h"
#include "shell/ui/single_instance.h"

namespace {

// The start-up benchmark's probe: prints once the main window has been painted, then quits.
class PaintedProbe : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !fired_) {
      fired_ = true;
      QTimer::singleShot(0, qApp, [] {
        std::printf("painted\n");
        std::fflush(stdout);
        QApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool fired_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("ql40win");
  QApplication::setApplicationVersion(QL40_VERSION);
  // Lets the desktop match the window to ql40win.desktop (its icon, its name in the task bar).
  QGuiApplication::setDesktopFileName("ql40win");
  QApplication::setWindowIcon(QIcon::fromTheme("ql40win"));

  ql40::ui::SingleInstance instance(ql40::ui::SingleInstance::DefaultKey());
  if (!instance.BecomePrimary()) {
    instance.NotifyPrimary();
    return 0;
  }

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  ql40::shell::AppContext app;
  const ql40::shell::ProgramFolders folders =
      ql40::shell::DecideFolders(ql40::shell::CurrentPathInputs(
          QCoreApplication::applicationDirPath().toStdString(), QDir::currentPath().toStdString()));
  if (!ql40::shell::MakeUserFolders(folders)) {
    std::fprintf(stderr, "ql40win: cannot create %s; settings and backups will not be kept\n",
                 folders.user_dir.c_str());
  }
  app.files = folders.files;
  app.ini_path = folders.ini_path;
  app.backup_dir = folders.backup_dir;
  app.log_dir = folders.log_dir;
  app.help_dir = folders.help_dir;

  ql40::shell::IniFile ini;
  ini.Load(app.ini_path);
  ql40::shell::WindowSettings window_settings;
  ql40::shell::ReadSettings(ini, app, window_settings);
  ql40::shell::WriteStartupKeys(ini, app);
  ini.Save(app.ini_path);

  if (ql40::shell::IsMaintenanceSwitch(args)) {
    app.maintenance = ql40::ui::PasswordDialog::AskForMaintenance(nullptr);
  }
  app.printer_name = QPrinterInfo::defaultPrinterName().toStdString();

  ql40::ui::QtPrompter prompter;
  const std::string file = ql40::shell::FileArgument(args);
  ql40::shell::LoadDocument(app.doc, file.empty() ? std::string(ql40::res::kNoPath) : file,
                            app.files, prompter);

  ql40::ui::MainWindow window(app, prompter, &ini);
  prompter.set_parent(&window);
  QObject::connect(&instance, &ql40::ui::SingleInstance::raiseRequested, &window,
                   &ql40::ui::MainWindow::BringToFront);
  window.ApplyWindowSettings(window_settings);

  PaintedProbe probe;
  if (qEnvironmentVariableIsSet("QL40WIN_BENCH_PAINTED")) window.installEventFilter(&probe);

  if (window_settings.maximized) {
    window.showMaximized();
  } else {
    window.show();
  }
  window.view()->FocusGrid();
  const int status = QApplication::exec();
  window.SaveSettings();
  return status;
}
