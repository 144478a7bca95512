#pragma once

// Helpers shared by the Qt tests.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "radiosim/radio_sim.h"
#include "shell/ini_file.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"

namespace ql40::uitest {

// The descendant of a widget with the given objectName (a resource id such as "2005"), or null.
template <typename T = QWidget>
T* FindById(QWidget* root, int id) {
  return root->findChild<T*>(QString::number(id));
}

// Shows a dialog and waits until it has the focus, as a user sees it open.
inline void Open(QWidget& dialog) {
  dialog.show();
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// A choice in a list as the user makes it (the dialogs listen to activated).
inline void Choose(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

inline void Focus(QWidget* widget) {
  widget->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
}

// Runs act on the next modal window, then rejects a dialog act left open so that a failed check
// cannot hang the test. Delete the returned timer when no dialog may come.
inline QTimer* WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
    if (auto* dialog = qobject_cast<QDialog*>(modal.data()); dialog && dialog->isVisible()) {
      dialog->reject();
    }
  });
  timer->start(10);
  return timer;
}

// Saves a picture of the widget when QL40_SHOT_DIR names a folder, to look at what a test drove.
inline void Shot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("QL40_SHOT_DIR");
  if (!dir.isEmpty()) widget.grab().save(QDir(QString(dir)).filePath(QString(name) + ".png"));
}

// A simulated radio on a pseudo-terminal in `var`; the test skips where none can be opened.
#define QL40_START_RADIO(var, options, memory)                                \
  std::string var##_error;                                                    \
  auto var = ::ql40::sim::PtyRadio::Start((options), (memory), &var##_error); \
  if (!var) QSKIP(qPrintable(QString::fromStdString("no pty: " + var##_error)))

// The main window over a scratch folder, made when first asked for so that a test can set the
// program's state before it opens.
struct Desk {
  explicit Desk(Answer fallback = Answer::kCancel) : prompter({}, fallback) {
    app.files.program_dir = dir.File("prog");
    app.files.working_dir = dir.path().string();
    std::filesystem::create_directories(app.files.program_dir);
    app.ini_path = dir.File("QL40Win.ini");
    app.backup_dir = dir.File("backups");
    app.help_dir = dir.File("help");
    app.doc.ResetToDefaults();
  }
  ui::MainWindow& window() {
    if (!window_) window_ = std::make_unique<ui::MainWindow>(app, prompter, &ini);
    return *window_;
  }
  testing::TempDir dir;
  shell::AppContext app;
  shell::IniFile ini;
  testing::ScriptedPrompter prompter;
  std::unique_ptr<ui::MainWindow> window_;
};

inline bool HaveXvfb() {
  return !QStandardPaths::findExecutable("xvfb-run").isEmpty() &&
         !QStandardPaths::findExecutable("xdotool").isEmpty();
}

// Runs the real ql40win (QL40_BIN_DIR) under Xvfb through a bash script that gets the program
// and a scratch folder as $1 and $2; empty when it ended with status 0, else what it printed.
inline QString RunUnderXvfb(const char* script, const QString& folder, int timeout_ms) {
  QProcess run;
  run.setProcessChannelMode(QProcess::MergedChannels);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");  // the real program on the X server
  run.setProcessEnvironment(env);
  run.start("xvfb-run", {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", script, "xvfb",
                         QL40_BIN_DIR "/ql40win", folder});
  if (!run.waitForFinished(timeout_ms)) return "timed out";
  const QString output = QString::fromLocal8Bit(run.readAll());
  const bool ok = run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
  return ok ? QString() : output.isEmpty() ? QString("failed") : output;
}

}  // namespace ql40::uitest
