// ql40win: the desktop program. One copy per user; settings from QL40Win.ini (in the working
// folder, or in the user's config folder for an installed program, see shell/paths.h); an
// optional codeplug file or the maintenance switch on the command line. Unsaved work is kept
// in a recovery copy and offered again after a run that did not end normally.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPrinterInfo>
#include <QSysInfo>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include "ql40_version.h"
#include "resources/labels.h"
#include "shell/document.h"
#include "shell/ini_file.h"
#include "shell/paths.h"
#include "shell/recovery.h"
#include "shell/startup.h"
#include "shell/ui/main_window.h"
#include "shell/ui/qt_prompter.h"
#include "shell/ui/recovery_controller.h"
#include "shell/ui/session_end.h"
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

// Ends the event loops once no dialog is open; open ones are cancelled first, so that nothing
// waits for an answer (a transfer stops as after its Cancel button). exit() and not quit():
// quit() would ask the windows to close, and with it the close question.
void ExitWhenIdle() {
  if (QWidget* modal = QApplication::activeModalWidget()) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    QTimer::singleShot(50, qApp, ExitWhenIdle);
    return;
  }
  QCoreApplication::exit(0);
}

void NameApplication() {
  QApplication::setApplicationName("ql40win");
  QApplication::setApplicationVersion(QL40_VERSION);
  // Lets the desktop match the window to ql40win.desktop (its icon, its name in the task bar).
  QGuiApplication::setDesktopFileName("ql40win");
  QApplication::setWindowIcon(QIcon::fromTheme("ql40win"));
}

// Where the settings, backups, logs, help and default files are, the user's folders made.
void PlaceFolders(ql40::shell::AppContext& app) {
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
}

void ReadStartSettings(ql40::shell::IniFile& ini, ql40::shell::AppContext& app,
                       ql40::shell::WindowSettings& window_settings) {
  ini.Load(app.ini_path);
  ql40::shell::ReadSettings(ini, app, window_settings);
  ql40::shell::WriteStartupKeys(ini, app);
  ini.Save(app.ini_path);
}

void ShowWindow(ql40::ui::MainWindow& window, const ql40::shell::WindowSettings& settings) {
  if (settings.maximized) {
    window.showMaximized();
  } else {
    window.show();
  }
  window.view()->FocusGrid();
}

// This run's recovery copy, named after the single-instance lock, the machine and the process,
// in the user's data folder.
std::filesystem::path RecoveryPath(const ql40::shell::RecoveryOwner& self) {
  const auto recovery_dir = ql40::shell::RecoveryDir(ql40::shell::UserDataDir());
  return recovery_dir.empty() ? recovery_dir : recovery_dir / ql40::shell::RecoveryFileName(self);
}

// Ended from outside: the settings and the newest copy go to the disk first.
void SaveOnSessionEnd(QApplication& application, ql40::ui::SessionEndWatcher& end_watcher,
                      ql40::ui::MainWindow& window, ql40::ui::RecoveryController& recovery,
                      ql40::shell::IniFile& ini, ql40::shell::AppContext& app) {
  const auto write_settings = [ini = &ini, app = &app, window = &window] {
    ql40::shell::WriteExitKeys(*ini, *app, window->CurrentWindowSettings());
    ini->Save(app->ini_path);
  };
  end_watcher.Install();
  QObject::connect(&end_watcher, &ql40::ui::SessionEndWatcher::endRequested, &window,
                   [recovery = &recovery, write_settings] {
                     recovery->FlushNow();
                     write_settings();
                     ExitWhenIdle();
                   });
#if QT_CONFIG(sessionmanager)
  // The session manager asks first: the close question where it lets the program ask.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                   [recovery = &recovery, write_settings, app = &app,
                    window = &window](QSessionManager& manager) {
                     recovery->FlushNow();
                     write_settings();
                     if (!app->doc.modified || !manager.allowsInteraction()) return;
                     if (window->ConfirmClose()) {
                       if (app->doc.modified) recovery->MarkDiscarded();
                     } else {
                       manager.cancel();
                     }
                     manager.release();
                   });
#else
  (void)application;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  NameApplication();

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  const QString instance_key = ql40::ui::SingleInstance::DefaultKey();
  ql40::ui::SingleInstance instance(instance_key);
  if (!instance.BecomePrimary()) {
    // The file goes to the copy that runs; it works in another folder.
    const std::string file = ql40::shell::FileArgument(args);
    instance.NotifyPrimary(
        file.empty() ? QString() : QFileInfo(QString::fromStdString(file)).absoluteFilePath());
    return 0;
  }

  ql40::shell::AppContext app;
  PlaceFolders(app);
  ql40::shell::IniFile ini;
  ql40::shell::WindowSettings window_settings;
  ReadStartSettings(ini, app, window_settings);

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
  QObject::connect(&instance, &ql40::ui::SingleInstance::openRequested, &window,
                   &ql40::ui::MainWindow::OpenFileOfLaterCopy);
  window.ApplyWindowSettings(window_settings);

  PaintedProbe probe;
  if (qEnvironmentVariableIsSet("QL40WIN_BENCH_PAINTED")) window.installEventFilter(&probe);
  ShowWindow(window, window_settings);

  const ql40::shell::RecoveryOwner self{instance_key.toStdString(),
                                        QSysInfo::machineHostName().toStdString(),
                                        QCoreApplication::applicationPid()};
  ql40::ui::RecoveryController recovery(app, RecoveryPath(self));
  QObject::connect(&recovery, &ql40::ui::RecoveryController::statusMessage, &window,
                   &ql40::ui::MainWindow::ShowStatus);
  // Inside the event loop, so that an end request during the questions can end it.
  QTimer::singleShot(0, &window, [&] {
    if (recovery.OfferLeft(self, prompter, [&] { return window.ConfirmClose(); })) {
      window.RefreshAll(true);
    }
    recovery.Start();
  });

  ql40::ui::SessionEndWatcher end_watcher;
  SaveOnSessionEnd(application, end_watcher, window, recovery, ini, app);

  const int status = QApplication::exec();
  window.SaveSettings();
  // Changes that were neither saved nor given up stay for the next start.
  recovery.Finish(app.doc.modified && !window.CloseConfirmed());
  return status;
}
