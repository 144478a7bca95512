// Undo over the whole program: a settings dialog's OK (a band change too), an upload from the
// radio and an import are each one step that gives back the exact image; Cancel leaves no
// step; New forgets them. And F1 in the alignment and fleet dialogs opens their pages.

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "alignment/alignment_bench.h"
#include "alignment/ui/alignment_dialogs.h"
#include "codeplug/files.h"
#include "radiosim/radio_sim.h"
#include "resources/strings.h"
#include "settings/hardware_form.h"
#include "settings/ui/form_widgets.h"
#include "shell/commands.h"
#include "shell/extras_ids.h"
#include "shell/help.h"
#include "shell/ui/fleet_dialog.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using namespace ql40::shell;
using ql40::testing::ScriptedPrompter;
using ql40::testing::TempDir;
using ql40::uitest::FindById;

namespace {

// Acts once on the modal dialog of the given name, and answers every message box that comes
// up meanwhile with Yes (or OK).
class Operator : public QObject {
 public:
  Operator(QString name, std::function<void(QDialog*)> act)
      : name_(std::move(name)), act_(std::move(act)) {
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
    timer_.start(10);
  }
  bool acted() const { return acted_; }

 private:
  void Look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      if (boxes_.contains(box)) return;
      boxes_.insert(box);
      QAbstractButton* yes = box->button(QMessageBox::Yes);
      if (yes == nullptr) yes = box->button(QMessageBox::Ok);
      for (QAbstractButton* b : box->buttons()) {
        const auto role = box->buttonRole(b);
        if (!yes && (role == QMessageBox::AcceptRole || role == QMessageBox::YesRole)) yes = b;
      }
      if (yes != nullptr) QTimer::singleShot(0, yes, &QAbstractButton::click);
      return;
    }
    if (!acted_ && modal != nullptr && modal->objectName() == name_) {
      acted_ = true;
      auto* dialog = qobject_cast<QDialog*>(modal);
      QTimer::singleShot(0, this, [this, dialog] { act_(dialog); });
    }
  }
  QString name_;
  std::function<void(QDialog*)> act_;
  QTimer timer_;
  bool acted_ = false;
  QSet<QObject*> boxes_;
};

struct Fixture {
  Fixture() {
    app.files.program_dir = dir.File("prog");
    app.files.working_dir = dir.path().string();
    std::filesystem::create_directories(app.files.program_dir);
    app.backup_dir = dir.File("backups");
    app.help_dir = std::string(QL40_SOURCE_DIR) + "/apps/ql40win/help";
    app.doc.ResetToDefaults();
    app.doc.CommitToImage();
    window = std::make_unique<ui::MainWindow>(app, prompter, nullptr);
  }
  // Opens the Hardware dialog and acts on it; true when the dialog came up.
  bool RunHardware(std::function<void(QDialog*)> act) {
    Operator op("102", std::move(act));
    window->RunCommand(kCmdHardware);
    return op.acted();
  }
  Image Committed() {
    app.doc.CommitToImage();
    return app.doc.image;
  }
  TempDir dir;
  AppContext app;
  ScriptedPrompter prompter{{}, Answer::kYes};
  std::unique_ptr<ui::MainWindow> window;
};

// In the Hardware dialog: squelch release time to 100 msec, then OK or Cancel.
void EditReleaseTime(QDialog* dialog, bool ok) {
  auto* edit = FindById<ui::FilterEdit>(dialog, HardwareForm::kSqRelease);
  if (edit == nullptr) {
    dialog->reject();
    QFAIL("no release time field");
  }
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  edit->selectAll();
  QTest::keyClicks(edit, "100");
  QTest::keyClick(edit, Qt::Key_Return);
  auto* button = FindById<QPushButton>(dialog, ok ? 1 : 2);
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Return);
}

}  // namespace

class ExtrasUndoTest : public QObject {
  Q_OBJECT
 private slots:
  void hardwareChangeThenUndoRestoresTheExactImage() {
    Fixture f;
    f.app.maintenance = true;  // the hardware constants are service settings
    const Image before = f.Committed();
    const bool modified = f.app.doc.modified;
    QVERIFY(f.RunHardware([](QDialog* d) { EditReleaseTime(d, true); }));
    QVERIFY(f.Committed() != before);
    QCOMPARE(f.app.doc.history.UndoSteps(), std::size_t{1});
    f.window->RunCommand(kCmdUndo);
    QVERIFY(f.Committed() == before);
    QCOMPARE(f.app.doc.modified, modified);

    // The same change cancelled leaves nothing to undo.
    QVERIFY(f.RunHardware([](QDialog* d) { EditReleaseTime(d, false); }));
    QVERIFY(f.Committed() == before);
    QCOMPARE(f.app.doc.history.UndoSteps(), std::size_t{0});

    // New forgets the steps.
    QVERIFY(f.RunHardware([](QDialog* d) { EditReleaseTime(d, true); }));
    QVERIFY(f.app.doc.history.CanUndo());
    f.prompter = ScriptedPrompter({Answer::kNo}, Answer::kNo);  // do not save
    f.window->RunCommand(kCmdNew);
    QVERIFY(!f.app.doc.history.CanUndo());
  }

  void bandChangeIsOneStep() {
    Fixture f;
    const Image before = f.Committed();
    const int band = f.app.doc.hardware.band;
    QVERIFY(f.RunHardware([](QDialog* d) {
      auto* combo = FindById<QComboBox>(d, HardwareForm::kBand);
      QVERIFY(combo != nullptr);
      combo->setFocus();
      QTest::keyClick(combo, Qt::Key_Down);
      auto* ok = FindById<QPushButton>(d, 1);
      ok->setFocus();
      QTest::keyClick(ok, Qt::Key_Return);
    }));
    QVERIFY(f.app.doc.hardware.band != band);
    f.window->RunCommand(kCmdUndo);
    QCOMPARE(f.app.doc.hardware.band, band);
    QVERIFY(f.Committed() == before);
  }

  void uploadThenUndoGivesBackThePreviousCodeplug() {
    sim::RadioOptions options;
    options.serial = "1K000091";
    std::string error;
    auto radio = sim::PtyRadio::Start(options, sim::BuiltInRadioImage(options), &error);
    if (!radio) QSKIP(qPrintable(QString::fromStdString("no pty: " + error)));
    Fixture f;
    SilentPrompter quiet;
    const std::string file = f.dir.File("mine.q40");
    f.app.doc.image[27] = 0x04;
    QVERIFY(WriteImageFile(file, f.app.doc.image, f.app.doc.default_split, quiet));
    LoadCodeplug(f.app.doc, file, f.app.files, quiet);
    const Image before = f.Committed();
    const std::string serial = f.app.doc.identity.serial_number;
    f.app.port_names.SetDevice(1, radio->device_path());
    f.prompter = ScriptedPrompter({}, Answer::kOk);
    f.window->RunCommand(kCmdUpload);
    QVERIFY(f.prompter.Saw(res::kStrUploadCompleted));
    QCOMPARE(f.app.doc.identity.serial_number, std::string("1K000091"));
    f.window->RunCommand(kCmdUndo);
    QVERIFY(f.Committed() == before);
    QCOMPARE(f.app.doc.identity.serial_number, serial);
    QVERIFY(f.app.doc.file_loaded);
    QVERIFY(!f.app.doc.radio_origin);
  }

  void f1InTheAlignmentAndFleetDialogsOpensTheirPages() {
    Fixture f;
    for (bool fine : {false, true}) {
      ql40::testing::AlignmentBench bench;
      std::unique_ptr<QDialog> dialog(
          fine ? static_cast<QDialog*>(
                     new ui::FineAlignmentDialog(*bench.link, *bench.doc, f.window.get()))
               : new ui::BasicAlignmentDialog(*bench.link, *bench.doc, f.window.get()));
      dialog->setWindowModality(Qt::ApplicationModal);
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
      QTRY_COMPARE(QApplication::activeModalWidget(), dialog.get());
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus != nullptr ? focus : dialog.get(), Qt::Key_F1);
      const int context = dialog->property("helpContext").toInt();
      QCOMPARE(f.window->last_help_page(), QString("%1.html").arg(context));
      QVERIFY(std::filesystem::exists(f.app.help_dir + "/" + std::to_string(context) + ".html"));
      dialog->reject();
    }
    // The new dialogs are named by their command's id, which gives their page.
    ui::FleetDialog fleet(f.app, f.prompter, {}, f.window.get());
    fleet.setWindowModality(Qt::ApplicationModal);
    fleet.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(&fleet));
    QTest::keyClick(fleet.table(), Qt::Key_F1);
    QCOMPARE(f.window->last_help_page(), QString("%1.html").arg(DialogHelpContext(kCmdFleet)));
    fleet.reject();
  }
};

QTEST_MAIN(ExtrasUndoTest)
#include "extras_undo_test.moc"
