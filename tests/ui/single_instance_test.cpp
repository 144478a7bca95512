// A later copy of the program hands its file to the copy that runs: the message gets there
// (and a copy without a file only raises the window), and the window opens the file as File >
// Open does, asking about the changes first, but not from under an open dialog.

#include "shell/ui/single_instance.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QStatusBar>
#include <QUuid>
#include <QtTest>
#include <future>

#include "codeplug/files.h"
#include "shell/ini_file.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using ql40::testing::ScriptedPrompter;
using ql40::testing::TempDir;
using ql40::ui::SingleInstance;

class SingleInstanceTest : public QObject {
  Q_OBJECT
 private slots:
  void aLaterCopyHandsOverItsFile() {
    const QString key = "ql40win-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12);
    SingleInstance first(key);
    QVERIFY(first.BecomePrimary());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    QSignalSpy opened(&first, &SingleInstance::openRequested);

    // The later copy blocks on its socket as it does in main(); the first answers from its
    // event loop here.
    const auto later = [&key](const QString& file) {
      return std::async(std::launch::async, [key, file] {
        SingleInstance second(key);
        return !second.BecomePrimary() && second.NotifyPrimary(file, 5000);
      });
    };
    const QString file = QString::fromUtf8("/home/dealer/Kunden/Müller 12.q40");
    auto answered = later(file);
    QTRY_COMPARE(opened.count(), 1);
    QVERIFY(answered.get());
    QCOMPARE(raised.count(), 1);
    QCOMPARE(opened.first().first().toString(), file);

    auto raise_only = later({});
    QTRY_COMPARE(raised.count(), 2);
    QVERIFY(raise_only.get());
    QCOMPARE(opened.count(), 1);
  }

  void theWindowOpensItAsFileOpenDoes() {
    TempDir dir;
    shell::AppContext app;
    app.files.program_dir = dir.File("prog");
    app.files.working_dir = dir.path().string();
    std::filesystem::create_directories(app.files.program_dir);
    app.ini_path = dir.File("QL40Win.ini");
    app.doc.ResetToDefaults();
    Codeplug other;
    other.ResetToDefaults();
    other.channels.records[0].tag = "HANDED  ";
    other.CommitToImage();
    SilentPrompter quiet;
    const std::string path = dir.File("handed.q40");
    QVERIFY(WriteImageFile(path, other.image, 0.0, quiet));

    shell::IniFile ini;
    ScriptedPrompter prompter;
    ui::MainWindow window(app, prompter, &ini);
    window.show();
    app.doc.modified = true;

    // Under a dialog nothing happens to the codeplug shown, and the status line says why.
    QDialog dialog(&window);
    dialog.setModal(true);
    dialog.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(&dialog));
    window.OpenFileOfLaterCopy(QString::fromStdString(path));
    QVERIFY(app.doc.path != path);
    QVERIFY(window.statusBar()->currentMessage().endsWith(QString::fromStdString(path)));
    dialog.close();

    // Cancel to the save question keeps the changes; No gives them up and opens the file.
    prompter = ScriptedPrompter({Answer::kCancel});
    window.OpenFileOfLaterCopy(QString::fromStdString(path));
    QVERIFY(app.doc.modified);
    QVERIFY(app.doc.path != path);
    prompter = ScriptedPrompter({Answer::kNo});
    window.OpenFileOfLaterCopy(QString::fromStdString(path));
    QCOMPARE(app.doc.path, path);
    QVERIFY(!app.doc.modified);
    QCOMPARE(app.doc.channels.records[0].tag, std::string("HANDED  "));
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
