#include "link/ui/transfer_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "link/transfer_runner.h"
#include "radiosim/radio_sim.h"
#include "resources/strings.h"
#include "shell/ui/qt_prompter.h"

using namespace ql40;

namespace {

QString Text(int id) {
  return QString::fromStdString(res::FormatString(id));
}

// Watches the screen while a modal dialog runs: answers every message box (recording which
// one it was), and lets a test act on the Access Gauge when it shows a given state.
class Operator : public QObject {
 public:
  explicit Operator(QObject* parent = nullptr) : QObject(parent) {
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
    timer_.start(10);
  }

  // Called on every tick with the dialog while it is shown; returns true once it has acted.
  std::function<bool(ui::TransferDialog*)> on_gauge;
  // The answer for an OK/Cancel question.
  QMessageBox::StandardButton answer = QMessageBox::Ok;

  QStringList boxes;     // objectNames of the message boxes, in order
  QStringList gauges;    // the gauge when each box came up: "caption value/maximum"
  QStringList statuses;  // the gauge's status line when each box came up
  QStringList prompts;   // every prompt text the gauge showed, without repeats

 private:
  void Look() {
    if (auto* gauge = Gauge()) {
      if (prompts.isEmpty() || prompts.back() != gauge->prompt()->text()) {
        prompts << gauge->prompt()->text();
      }
      if (on_gauge && on_gauge(gauge)) on_gauge = nullptr;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (box == nullptr || !box->isVisible() || handled_.contains(box)) continue;
      handled_.insert(box);
      boxes << box->objectName();
      if (auto* gauge = Gauge()) statuses << gauge->status()->text();
      if (auto* gauge = Gauge(); gauge && gauge->gauge()) {
        gauges << QString("%1 %2/%3")
                      .arg(gauge->windowTitle())
                      .arg(gauge->gauge()->value())
                      .arg(gauge->gauge()->maximum());
      }
      QAbstractButton* button = box->button(answer);
      if (button == nullptr) button = box->button(QMessageBox::Ok);
      QTimer::singleShot(0, button, &QAbstractButton::click);
    }
  }
  static ui::TransferDialog* Gauge() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* gauge = qobject_cast<ui::TransferDialog*>(w); gauge && gauge->isVisible()) {
        return gauge;
      }
    }
    return nullptr;
  }
  QTimer timer_;
  QSet<QObject*> handled_;
};

QString Box(int id) {
  return "message" + QString::number(id);
}

// The program's side, set up as the main window sets it up: the document, COM1 pointing at
// the radio's device, a QtPrompter, and the factory the Radio commands use.
struct Desk {
  explicit Desk(const std::string& device) {
    app.doc.ResetToDefaults();
    app.doc.path = "/dealer/fleet.q40";
    app.doc.file_loaded = true;
    app.port_names.SetDevice(1, device);
    app.files.working_dir = QDir::tempPath().toStdString();
    factory = ui::MakeSessionFactory(app, link, prompter);
  }
  link::TransferOutcome Run(link::TransferKind kind) {
    return ui::RunTransferDialog(nullptr, factory, kind);
  }
  link::TransferOutcome Upload() {
    return link::UploadCommand(app.doc, [this](link::TransferKind k) { return Run(k); });
  }
  link::TransferOutcome Download() {
    return link::DownloadCommand(app.doc, [this](link::TransferKind k) { return Run(k); });
  }
  shell::AppContext app;
  std::unique_ptr<link::SerialPort> link;
  ui::QtPrompter prompter;
  ui::SessionFactory factory;
};

std::unique_ptr<sim::PtyRadio> StartRadio(const sim::RadioOptions& options) {
  std::string error;
  auto radio = sim::PtyRadio::Start(options, sim::BuiltInRadioImage(options), &error);
  if (!radio) qWarning("radio: %s", error.c_str());
  return radio;
}

}  // namespace

class TransferDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void uploadAndDownloadReachTheirEnds() {
    sim::RadioOptions options;
    options.serial = "7K123456";
    auto radio = StartRadio(options);
    QVERIFY(radio);
    Desk desk(radio->device_path());
    {
      Operator op;
      const auto up = desk.Upload();
      QVERIFY(up.succeeded);
      QCOMPARE(up.end, link::TransferEnd::kCompleted);
      QCOMPARE(op.boxes, QStringList{Box(res::kStrUploadCompleted)});
      // The gauge showed the upload's caption and had run to its last block when the box came.
      QCOMPARE(op.gauges, QStringList{Text(res::kStrUploadFunction) + " 234/235"});
      QCOMPARE(op.prompts.back(), Text(res::kStrPleaseWait));
      QCOMPARE(desk.app.doc.path, std::string("<none>"));
      QVERIFY(desk.app.doc.radio_origin);
      QCOMPARE(desk.app.doc.identity.serial_number, std::string("7K123456"));
      QVERIFY(!desk.link);  // the port is closed again
    }
    // A changed channel goes back to the radio.
    desk.app.doc.channels.records[0].rx_frequency += 2500;
    desk.app.doc.channels.records[0].status |= 1;
    Operator op;
    const auto down = desk.Download();
    QVERIFY(down.succeeded);
    QCOMPARE(op.boxes, QStringList{Box(res::kStrDownloadCompleted)});
    QVERIFY(op.gauges.value(0).startsWith(Text(res::kStrDownloadFunction)));
    QCOMPARE(radio->marker(), 0xA55A);
    QCOMPARE(radio->stats().downloads_completed, 1);
    const Image memory = radio->memory();
    const int channels = 8 * kBlockSize;
    QVERIFY(std::equal(memory.begin() + channels, memory.begin() + channels + 32,
                       desk.app.doc.image.begin() + channels));
    QVERIFY(!desk.link);
  }

  // Whole frames, when File > Configure asks for them: the gauge says so, and says when the
  // radio could not take them and the rest went byte by byte. The radio is programmed either way.
  void wholeFramesAndTheirFallBackAreTold() {
    struct Case {
      bool fast, slow_radio;
      int status;  // 0: no status line
    };
    for (const Case c : {Case{false, false, 0}, Case{true, false, ui::kStrSendingWholeFrames},
                         Case{true, true, ui::kStrWholeFramesRefused}}) {
      sim::RadioOptions options;
      options.faults.drop_back_to_back = c.slow_radio;
      auto radio = StartRadio(options);
      QVERIFY(radio);
      Desk desk(radio->device_path());
      desk.app.fast_transfer = c.fast;
      Operator op;
      QVERIFY(desk.Download().succeeded);
      QCOMPARE(op.boxes, QStringList{Box(res::kStrDownloadCompleted)});
      QCOMPARE(op.statuses, QStringList{c.status != 0 ? Text(c.status) : QString()});
      QCOMPARE(radio->stats().downloads_completed, 1);
      if (c.slow_radio) QVERIFY(radio->stats().bytes_lost > 0);
    }
  }

  void cancelWhileTheRadioIsSilentLeavesEverything() {
    sim::RadioOptions options;
    options.need_power_cycle = true;  // answers nothing until switched off and on
    auto radio = StartRadio(options);
    QVERIFY(radio);
    for (const bool escape : {false, true}) {
      Desk desk(radio->device_path());
      const Image before = desk.app.doc.image;
      Operator op;
      bool disabled_while_stopping = false;
      bool controls_named = false;
      op.on_gauge = [&](ui::TransferDialog* gauge) {
        if (gauge->prompt()->text() != Text(res::kStrSwitchOffOnUpload)) return false;
        controls_named = gauge->objectName() == "TransferDialog" &&
                         gauge->findChild<QPushButton*>("1178") == gauge->cancel_button() &&
                         gauge->findChild<QLabel*>("1190") == gauge->prompt() &&
                         gauge->findChild<QProgressBar*>("100") == gauge->gauge() &&
                         gauge->cancel_button()->hasFocus();
        if (escape) {
          QTest::keyClick(gauge, Qt::Key_Escape);
        } else {
          gauge->cancel_button()->click();
        }
        disabled_while_stopping = !gauge->cancel_button()->isEnabled() || !gauge->isVisible();
        return true;
      };
      const auto up = desk.Upload();
      QCOMPARE(up.end, link::TransferEnd::kCancelled);
      QVERIFY(!up.succeeded);
      QVERIFY(disabled_while_stopping);
      QVERIFY(controls_named);
      QVERIFY(op.boxes.isEmpty());  // a cancel says nothing
      QCOMPARE(desk.app.doc.path, std::string("/dealer/fleet.q40"));
      QVERIFY(desk.app.doc.file_loaded);
      QVERIFY(desk.app.doc.image == before);
      QVERIFY(!desk.link);
    }
  }

  // Each failure is told by the worker through a message box (a question waits for its
  // answer), and the document stays as it was.
  void failuresAreReportedAndKeepTheDocument() {
    struct Case {
      const char* name;
      std::function<void(sim::RadioOptions&)> radio;  // null: no device at all
      bool download;
      int message;
      link::TransferEnd end;
    };
    const Case cases[] = {
        {"no port", nullptr, false, res::kStrProblemWithComPort, link::TransferEnd::kCompleted},
        {"other product", [](auto& o) { o.product_code = 0x1234; }, false,
         res::kStrProductCodeDetected, link::TransferEnd::kFailed},
        {"other model, Cancel", [](auto& o) { o.model = 1; }, true, res::kStrHardwareMismatch,
         link::TransferEnd::kCompleted}};
    for (const auto& c : cases) {
      sim::RadioOptions options;
      if (c.radio) c.radio(options);
      auto radio = c.radio ? StartRadio(options) : nullptr;
      Desk desk(radio ? radio->device_path() : "/dev/ql40-no-such-port");
      desk.app.doc.CommitToImage();
      const Image before = desk.app.doc.image;
      Operator op;
      op.answer = QMessageBox::Cancel;
      const auto outcome = c.download ? desk.Download() : desk.Upload();
      QVERIFY2(!outcome.succeeded && outcome.end == c.end, c.name);
      QCOMPARE(op.boxes, QStringList{Box(c.message)});
      QCOMPARE(desk.app.doc.path, std::string("/dealer/fleet.q40"));
      QVERIFY2(desk.app.doc.image == before, c.name);
      if (radio) QCOMPARE(radio->stats().downloads_started, 0);
    }
  }

  void cancelWinsUnlessTheWorkIsDone() {
    link::TransferOutcome done, failed;
    done.end = link::TransferEnd::kCompleted;
    done.succeeded = true;
    failed.end = link::TransferEnd::kFailed;
    QCOMPARE(ui::GaugeOutcome(failed, false).end, link::TransferEnd::kFailed);
    QCOMPARE(ui::GaugeOutcome(failed, true).Result(), link::DialogResult::kCancel);
    // Cancel pressed as the last block came in: the image is the radio's, so it is a success.
    QVERIFY(ui::GaugeOutcome(done, true).succeeded);
    QCOMPARE(ui::GaugeOutcome(done, true).end, link::TransferEnd::kCompleted);
  }
};

QTEST_MAIN(TransferDialogTest)
#include "transfer_dialog_test.moc"
