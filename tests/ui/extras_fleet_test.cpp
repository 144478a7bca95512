// Radio > Program Several Radios... against simulated radios: checkboxes, a progress bar and a
// result per radio, upload files named by serial number, Escape cancelling without closing.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "radiosim/radio_sim.h"
#include "shell/extras_ids.h"
#include "shell/ui/fleet_dialog.h"
#include "support/test_support.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using ql40::ui::FleetDialog;

namespace {

struct Fleet : ql40::uitest::Desk {
  explicit Fleet(int count, bool pace = false) : Desk(Answer::kYes) {
    for (int i = 0; i < count; ++i) {
      sim::RadioOptions o;
      o.serial = sim::SerialPlus("1K000200", i);
      o.pace = pace;
      auto pty = sim::PtyRadio::Start(o, sim::BuiltInRadioImage(o), &error);
      if (!pty) return;
      radios.push_back(std::move(pty));
    }
    // A codeplug of the same kind of radio, so that no transfer has a question to ask.
    app.doc.image = sim::BuiltInRadioImage({});
    app.doc.RefreshFromImage();
    app.doc.path = dir.File("dealer.q40");
  }
  std::vector<fleet::PortChoice> Choices(bool with_missing) const {
    std::vector<fleet::PortChoice> out;
    for (std::size_t i = 0; i < radios.size(); ++i) {
      out.push_back({"COM" + std::to_string(i + 1), radios[i]->device_path(), true, true});
    }
    if (with_missing) out.push_back({"COM4", dir.File("no-such-port"), true, false});
    return out;
  }
  std::vector<std::unique_ptr<sim::PtyRadio>> radios;
  std::string error;
};

Qt::CheckState CheckOf(FleetDialog& d, int row) {
  return d.table()->item(row, FleetDialog::kColPort)->checkState();
}

// Skips when no pseudo-terminal can be opened, else builds the dialog over the fleet's ports.
#define FLEET_DIALOG(f, with_missing)                                                        \
  if (!(f).error.empty()) QSKIP(qPrintable(QString::fromStdString("no pty: " + (f).error))); \
  FleetDialog dialog((f).app, (f).prompter, (f).Choices(with_missing));                      \
  dialog.show()

QString ResultOf(FleetDialog& d, int row) {
  return d.table()->item(row, FleetDialog::kColResult)->text();
}

int ProgressOf(FleetDialog& d, int row) {
  return qobject_cast<QProgressBar*>(d.table()->cellWidget(row, FleetDialog::kColProgress))
      ->value();
}

}  // namespace

class ExtrasFleetTest : public QObject {
  Q_OBJECT
 private slots:
  void downloadsToEveryCheckedRadioAndVerifies() {
    Fleet f(3);
    FLEET_DIALOG(f, true);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QString::number(shell::kCmdFleet));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.table()));
    // Present configured ports start checked; the missing one does not, and the keyboard
    // checks it.
    for (int r = 0; r < 3; ++r) QCOMPARE(CheckOf(dialog, r), Qt::Checked);
    QCOMPARE(CheckOf(dialog, 3), Qt::Unchecked);
    dialog.table()->setCurrentCell(3, FleetDialog::kColPort);
    QTest::keyClick(dialog.table(), Qt::Key_Space);
    QCOMPARE(CheckOf(dialog, 3), Qt::Checked);
    QVERIFY(dialog.model().rows()[3].checked);
    QVERIFY(dialog.findChild<QRadioButton*>("download")->isChecked());
    QVERIFY(dialog.findChild<QCheckBox*>("verify")->isChecked());
    QVERIFY(!dialog.cancel_button()->isEnabled());

    QSignalSpy finished(&dialog, &FleetDialog::runFinished);
    QTest::keyClick(dialog.table(), Qt::Key_Return);  // the default button: Start
    QVERIFY(dialog.model().running());
    QVERIFY(!dialog.start_button()->isEnabled());
    QVERIFY(dialog.cancel_button()->isEnabled());
    QVERIFY(!dialog.findChild<QPushButton*>("1")->isEnabled());
    // While radios run their checkboxes stay as they are.
    dialog.table()->item(0, FleetDialog::kColPort)->setCheckState(Qt::Unchecked);
    QVERIFY(dialog.model().rows()[0].checked);

    QVERIFY(finished.wait(120000));
    ql40::uitest::Shot(dialog, "fleet_dialog");
    for (int r = 0; r < 3; ++r) {
      QCOMPARE(ResultOf(dialog, r), QString("OK"));
      QCOMPARE(ProgressOf(dialog, r), 100);
      QCOMPARE(f.radios[static_cast<std::size_t>(r)]->stats().downloads_completed, 1);
    }
    // The port that is not there fails on its own, and says so.
    QVERIFY(!dialog.model().rows()[3].succeeded);
    QVERIFY(!ResultOf(dialog, 3).isEmpty() && ResultOf(dialog, 3) != QString("OK"));
    QCOMPARE(dialog.summary()->text(), QString("3 of 4 radios succeeded"));
    QVERIFY(dialog.start_button()->isEnabled());
    QVERIFY(std::filesystem::exists(f.dir.File("ql40-fleet.csv")));
  }

  void uploadWritesOneFilePerRadio() {
    Fleet f(2);
    FLEET_DIALOG(f, false);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Verify follows the fleet's default for the radios checked until the user sets it.
    auto* verify = dialog.findChild<QCheckBox*>("verify");
    QVERIFY(verify->isChecked());
    dialog.table()->item(1, FleetDialog::kColPort)->setCheckState(Qt::Unchecked);
    QVERIFY(!verify->isChecked());
    verify->click();
    QVERIFY(verify->isChecked());
    dialog.table()->item(1, FleetDialog::kColPort)->setCheckState(Qt::Checked);
    QVERIFY(verify->isChecked());
    auto* folder = dialog.findChild<QLineEdit*>("folder");
    QVERIFY(!folder->isEnabled());  // only an upload writes files
    dialog.findChild<QRadioButton*>("upload")->setChecked(true);
    QVERIFY(folder->isEnabled());
    // A file where the folder should be: refused, said so, and no radio is spoken to.
    const std::string file = f.dir.File("a-file");
    std::ofstream(file) << "x";
    folder->setText(QString::fromStdString(file));
    dialog.start_button()->click();
    QVERIFY(!dialog.model().running());
    QVERIFY(!dialog.summary()->text().isEmpty());
    QCOMPARE(f.radios[0]->stats().handshakes, 0);

    const std::string out = f.dir.File("read");
    std::filesystem::create_directories(out);
    folder->setText(QString::fromStdString(out));
    const Image before = f.app.doc.image;
    QSignalSpy finished(&dialog, &FleetDialog::runFinished);
    dialog.start_button()->click();
    QVERIFY(finished.wait(120000));
    QCOMPARE(dialog.summary()->text(), QString("2 of 2 radios succeeded"));
    for (int i = 0; i < 2; ++i) {
      const std::string serial = sim::SerialPlus("1K000200", i);
      QVERIFY2(std::filesystem::exists(out + "/" + serial + ".q40"), serial.c_str());
    }
    QVERIFY(f.app.doc.image == before);  // the document is not the radios'
  }

  void escapeCancelsTheRunAndKeepsTheDialog() {
    Fleet f(2, /*pace=*/true);
    FLEET_DIALOG(f, false);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy finished(&dialog, &FleetDialog::runFinished);
    dialog.start_button()->click();
    QTRY_VERIFY_WITH_TIMEOUT(ProgressOf(dialog, 0) > 0 || ProgressOf(dialog, 1) > 0, 30000);
    QTest::keyClick(dialog.table(), Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QVERIFY(finished.wait(60000));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.summary()->text(), QString("0 of 2 radios succeeded"));
    QCOMPARE(ResultOf(dialog, 0), QString("cancelled"));
    // Idle again: Escape now closes.
    QTest::keyClick(dialog.table(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }
};

QTEST_MAIN(ExtrasFleetTest)
#include "extras_fleet_test.moc"
