// Upload and Download through the Access Gauge dialog against the simulated radio on a
// pseudo-terminal: the real termios port, the real worker thread, the real message boxes.

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

  QStringList boxes;                // objectNames of the message boxes, in order
  QStringList titles_at_box;        // the gauge's caption when each box came up
  QList<int> gauge_at_box;          // and its progress position (-1 without a bar)
  QList<int> gauge_maximum_at_box;  // and its range
  QStringList prompts;              // every prompt text the gauge showed, without repeats
  bool gauge_seen = false;

 private:
  void Look() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* gauge = qobject_cast<ui::TransferDialog*>(w); gauge && gauge->isVisible()) {
        gauge_seen = true;
        if (prompts.isEmpty() || prompts.back() != gauge->prompt()->text()) {
          prompts << gauge->prompt()->text();
        }
        if (on_gauge && on_gauge(gauge)) on_gauge = nullptr;
      }
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (box == nullptr || !box->isVisible() || handled_.contains(box)) continue;
      handled_.insert(box);
      boxes << box->objectName();
      auto* gauge = Gauge();
      titles_at_box << (gauge ? gauge->windowTitle() : QString());
      gauge_at_box << (gauge && gauge->gauge() ? gauge->gauge()->value() : -1);
      gauge_maximum_at_box << (gauge && gauge->gauge() ? gauge->gauge()->maximum() : -1);
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
  link::TransferOutcome Upload() {
    return link::UploadCommand(app.doc, [this](link::TransferKind kind) {
      return ui::RunTransferDialog(nullptr, factory, kind);
    });
  }
  link::TransferOutcome Download() {
    return link::DownloadCommand(app.doc, [this](link::TransferKind kind) {
      return ui::RunTransferDialog(nullptr, factory, kind);
    });
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

// Saves the widget as a PNG when QL40_UI_SHOTS names a folder, for a person to look at.
void Shot(QWidget* widget, const char* name) {
  const QByteArray dir = qgetenv("QL40_UI_SHOTS");
  if (!dir.isEmpty()) widget->grab().save(QString(dir) + "/" + name + ".png");
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
      QCOMPARE(op.titles_at_box.value(0), Text(res::kStrUploadFunction));
      QCOMPARE(op.gauge_maximum_at_box.value(0), 235);
      QCOMPARE(op.gauge_at_box.value(0), 137 + 97);
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
    QCOMPARE(op.titles_at_box.value(0), Text(res::kStrDownloadFunction));
    QCOMPARE(radio->marker(), 0xA55A);
    QCOMPARE(radio->stats().downloads_completed, 1);
    const Image memory = radio->memory();
    const int channels = 8 * kBlockSize;
    QVERIFY(std::equal(memory.begin() + channels, memory.begin() + channels + 32,
                       desk.app.doc.image.begin() + channels));
    QVERIFY(!desk.link);
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
      op.on_gauge = [&](ui::TransferDialog* gauge) {
        if (gauge->prompt()->text() != Text(res::kStrSwitchOffOnUpload)) return false;
        Shot(gauge, "transfer_dialog_waiting");
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
      QVERIFY(op.boxes.isEmpty());  // a cancel says nothing
      QCOMPARE(desk.app.doc.path, std::string("/dealer/fleet.q40"));
      QVERIFY(desk.app.doc.file_loaded);
      QVERIFY(desk.app.doc.image == before);
      QVERIFY(!desk.link);
    }
    // The same radio switched on later still serves: the port was closed cleanly.
    QCOMPARE(radio->stats().downloads_started, 0);
  }

  void radioSwitchedOnDuringTheWaitIsServed() {
    sim::RadioOptions options;
    options.need_power_cycle = true;
    options.power_on_after_ms = 700;
    auto radio = StartRadio(options);
    QVERIFY(radio);
    Desk desk(radio->device_path());
    Operator op;
    const auto up = desk.Upload();
    QVERIFY(up.succeeded);
    QVERIFY(op.prompts.contains(Text(res::kStrSwitchOffOnUpload)));
    QCOMPARE(op.prompts.back(), Text(res::kStrPleaseWait));
    QCOMPARE(radio->stats().handshakes, 1);
  }

  void failuresAreReportedAndKeepTheDocument() {
    // No device at all: the message comes from the worker through the message box.
    {
      Desk desk("/dev/ql40-no-such-port");
      const Image before = desk.app.doc.image;
      Operator op;
      const auto up = desk.Upload();
      QCOMPARE(up.end, link::TransferEnd::kCompleted);
      QVERIFY(!up.succeeded);
      QCOMPARE(op.boxes, QStringList{Box(res::kStrProblemWithComPort)});
      QCOMPARE(desk.app.doc.path, std::string("/dealer/fleet.q40"));
      QVERIFY(desk.app.doc.image == before);
    }
    // A radio of another product: the failed end, and the dialog closes by itself.
    {
      sim::RadioOptions options;
      options.product_code = 0x1234;
      auto radio = StartRadio(options);
      QVERIFY(radio);
      Desk desk(radio->device_path());
      const Image before = desk.app.doc.image;
      Operator op;
      const auto up = desk.Upload();
      QCOMPARE(up.end, link::TransferEnd::kFailed);
      QCOMPARE(up.Result(), link::DialogResult::kFailed);
      QCOMPARE(op.boxes, QStringList{Box(res::kStrProductCodeDetected)});
      QCOMPARE(desk.app.doc.path, std::string("/dealer/fleet.q40"));
      QVERIFY(desk.app.doc.image == before);
    }
    // A question from the worker: a radio of the other model, and the user says Cancel.
    {
      sim::RadioOptions options;
      options.model = 1;
      auto radio = StartRadio(options);
      QVERIFY(radio);
      Desk desk(radio->device_path());
      Operator op;
      op.answer = QMessageBox::Cancel;
      const auto down = desk.Download();
      QVERIFY(!down.succeeded);
      QCOMPARE(op.boxes, QStringList{Box(res::kStrHardwareMismatch)});
      QCOMPARE(radio->stats().downloads_started, 0);
    }
  }

  void dialogShowsItsControlsAndEndsOnItsOwn() {
    ui::TransferDialog dialog(nullptr, link::TransferKind::kUpload);
    QCOMPARE(dialog.objectName(), QString("TransferDialog"));
    QCOMPARE(dialog.windowTitle(), QString("Access Gauge"));
    QCOMPARE(dialog.findChild<QPushButton*>("1178"), dialog.cancel_button());
    QCOMPARE(dialog.findChild<QLabel*>("1190"), dialog.prompt());
    QVERIFY(dialog.gauge() == nullptr);  // made by the first range notice
    // No session: nothing runs, nothing shows.
    const auto none = dialog.Run([](link::TransferObserver*, const link::CancelToken*) {
      return std::unique_ptr<link::CloneSession>();
    });
    QCOMPARE(none.end, link::TransferEnd::kCancelled);
    QVERIFY(!dialog.isVisible());
  }

  void cancelWinsUnlessTheWorkIsDone() {
    link::TransferOutcome done;
    done.end = link::TransferEnd::kCompleted;
    done.succeeded = true;
    link::TransferOutcome reported;  // an error already shown
    reported.end = link::TransferEnd::kCompleted;
    reported.message_id = res::kStrUploadError;
    link::TransferOutcome failed;
    failed.end = link::TransferEnd::kFailed;

    QCOMPARE(ui::GaugeOutcome(done, false).end, link::TransferEnd::kCompleted);
    QCOMPARE(ui::GaugeOutcome(failed, false).end, link::TransferEnd::kFailed);
    // Cancel pressed as the last block came in: the image is the radio's, say so.
    QVERIFY(ui::GaugeOutcome(done, true).succeeded);
    QCOMPARE(ui::GaugeOutcome(done, true).end, link::TransferEnd::kCompleted);
    QCOMPARE(ui::GaugeOutcome(reported, true).end, link::TransferEnd::kCancelled);
    QCOMPARE(ui::GaugeOutcome(reported, true).message_id, res::kStrUploadError);
    QCOMPARE(ui::GaugeOutcome(failed, true).Result(), link::DialogResult::kCancel);
  }
};

QTEST_MAIN(TransferDialogTest)
#include "transfer_dialog_test.moc"
