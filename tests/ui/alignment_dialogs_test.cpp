#include "alignment/ui/alignment_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <functional>

#include "alignment/alignment_bench.h"
#include "alignment/alignment_strings.h"
#include "alignment/ui/alignment_widgets.h"
#include "resources/strings.h"
#include "support/ui_test_support.h"

using ql40::testing::AlignmentBench;
using ql40::uitest::FindById;
using namespace ql40;
using namespace ql40::ui;

namespace {

// Waits (the event loop running) until the active modal window has the name, then acts on it.
// Steps queue up, so a test can script a chain of nested dialogs before it clicks the first.
class ModalScript {
 public:
  void Then(const QString& name, std::function<void(QWidget*)> step) {
    steps_.push_back({name, std::move(step)});
    if (steps_.size() == 1) Poll();
  }
  bool done() const { return steps_.empty() && missed_.isEmpty(); }
  QString waiting_for() const { return steps_.empty() ? missed_ : steps_.front().name; }

 private:
  struct Step {
    QString name;
    std::function<void(QWidget*)> act;
  };
  void Poll() {
    if (!timer_.isValid()) timer_.start();
    QTimer::singleShot(5, [this] {
      if (steps_.empty()) return;
      QWidget* w = QApplication::activeModalWidget();
      // A failed check or a dialog that never came: close whatever is open so the test ends.
      if (QTest::currentTestFailed() || timer_.elapsed() > 10000) {
        missed_ = steps_.front().name;
        steps_.clear();
        CloseModals();
        return;
      }
      if (w != nullptr && w->objectName() == steps_.front().name) {
        auto act = std::move(steps_.front().act);
        steps_.erase(steps_.begin());
        timer_.restart();
        // The step may open a nested dialog and not return until it closes: keep polling.
        if (!steps_.empty()) Poll();
        act(w);
        return;
      }
      Poll();
    });
  }
  static void CloseModals() {
    QTimer::singleShot(5, [] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
          box->done(QMessageBox::No);
        } else if (auto* d = qobject_cast<QDialog*>(w)) {
          d->done(QDialog::Rejected);
        }
        CloseModals();
      }
    });
  }
  QElapsedTimer timer_;
  std::vector<Step> steps_;
  QString missed_;
};

QString MessageName(int id) {
  return "message" + QString::number(id);
}

void Press(QWidget* box, QMessageBox::StandardButton button) {
  static_cast<QMessageBox*>(box)->button(button)->click();
}

QString Text(QWidget* root, int id) {
  if (auto* edit = FindById<QLineEdit>(root, id)) return edit->text();
  if (auto* label = FindById<QLabel>(root, id)) return label->text();
  return "<missing " + QString::number(id) + ">";
}

template <typename Dialog>
std::unique_ptr<Dialog> OpenDialog(AlignmentBench& bench) {
  auto dialog = std::make_unique<Dialog>(*bench.link, *bench.doc, nullptr);
  dialog->setMeasurementPeriod(2);
  dialog->show();
  if (!QTest::qWaitFor([&] { return dialog->opened(); }, 5000)) return nullptr;
  return dialog;
}

}  // namespace

class AlignmentDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void basicDialogShowsTheRadiosValues() {
    AlignmentBench bench;
    auto dialog = OpenDialog<BasicAlignmentDialog>(bench);
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QString("191"));
    QCOMPARE(Text(dialog.get(), 1233), QString("146.520000"));
    QCOMPARE(Text(dialog.get(), 1229), QString("Wide"));
    QCOMPARE(Text(dialog.get(), 1230), QString("None"));
    QCOMPARE(Text(dialog.get(), 5031), QString("200"));
    QCOMPARE(Text(dialog.get(), 4800), QString("Frequency D/A"));
    QCOMPARE(Text(dialog.get(), 4807), QString("TI NSQ "));
    for (int i = 0; i < 14; ++i) {
      QVERIFY(FindById<QPushButton>(dialog.get(), 4990 + i));
      QVERIFY(FindById<QLineEdit>(dialog.get(), 5030 + i));
    }
    QVERIFY2(!FindById(dialog.get(), 4996)->isEnabled(), "no transmit tone");
    QVERIFY(FindById(dialog.get(), 4813)->isHidden());
    QVERIFY(FindById(dialog.get(), 1240)->isHidden());
    QCOMPARE(QApplication::focusWidget(), FindById(dialog.get(), 1225));

    // A channel picked in the combo goes to the radio and refreshes the item texts.
    auto* channels = FindById<QComboBox>(dialog.get(), 1225);
    QCOMPARE(channels->count(), 3);
    bench.Sent();
    channels->setCurrentIndex(1);
    emit channels->activated(1);
    QCOMPARE(bench.Sent(), (std::vector<std::string>{"35", "30(00,01)"}));
    QCOMPARE(Text(dialog.get(), 1229), QString("Narrow"));
    QCOMPARE(Text(dialog.get(), 4806), QString("CTCSS Dev"));
    QVERIFY(FindById(dialog.get(), 4996)->isEnabled());

    // Cancel: 0x38 and nothing stored.
    const Image before = bench.doc->image;
    FindById<QPushButton>(dialog.get(), 2)->click();
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(bench.Sent(), (std::vector<std::string>{"38"}));
    QVERIFY(bench.doc->image == before);
  }

  void sliderSendsLiveAndAsksBeforeSaving() {
    AlignmentBench bench;
    auto dialog = OpenDialog<BasicAlignmentDialog>(bench);
    QVERIFY(dialog);
    ModalScript script;
    bool seen = false;
    script.Then("slider", [&](QWidget* w) {
      auto* slider = w->findChild<QSlider*>("slider");
      QCOMPARE(slider->value(), 200);
      QCOMPARE(w->findChild<QLabel*>("minimum")->text(), QString("  0"));
      // The dialog's own focus: which window the offscreen platform activates first varies.
      QCOMPARE(w->focusWidget(), slider);
      slider->setValue(208);
      QCOMPARE(bench.radio->alignment().value, 208);
      QTest::keyClick(slider, Qt::Key_Right);
      QCOMPARE(bench.radio->alignment().value, 209);
      auto* box = w->findChild<QLineEdit*>("value");
      QCOMPARE(box->text(), QString("209"));
      // Not a number: a message, and the box shows the value again; nothing is sent.
      box->setText("abc");
      bench.Sent();
      QMetaObject::invokeMethod(box, "editingFinished", Qt::QueuedConnection);
      seen = true;
    });
    script.Then(MessageName(alignment::kStrNotANumber), [&](QWidget* box) {
      QVERIFY(bench.Sent().empty());
      Press(box, QMessageBox::Ok);
    });
    script.Then("slider", [&](QWidget* w) {
      QCOMPARE(w->findChild<QLineEdit*>("value")->text(), QString("209"));
      w->findChild<QPushButton*>("1")->click();
    });
    script.Then(MessageName(alignment::kStrSaveAlignedData),
                [&](QWidget* box) { Press(box, QMessageBox::Yes); });
    FindById<QPushButton>(dialog.get(), 4991)->click();
    QVERIFY(seen);
    QVERIFY2(script.done(), qPrintable(script.waiting_for()));
    QCOMPARE(Text(dialog.get(), 5031), QString("209"));

    // No leaves the value; the radio still gets its restore.
    script.Then("slider", [&](QWidget* w) {
      w->findChild<QSlider*>("slider")->setValue(150);
      w->findChild<QPushButton*>("1")->click();
    });
    script.Then(MessageName(alignment::kStrSaveAlignedData),
                [&](QWidget* box) { Press(box, QMessageBox::No); });
    bench.Sent();
    FindById<QPushButton>(dialog.get(), 4991)->click();
    QVERIFY(script.done());
    const auto sent = bench.Sent();
    QCOMPARE(sent.back(), std::string("35"));
    QCOMPARE(Text(dialog.get(), 5031), QString("209"));

    // Enter in the value box takes the typed value and closes with OK.
    script.Then("slider", [&](QWidget* w) {
      auto* box = w->findChild<QLineEdit*>("value");
      box->setFocus();
      box->setText("300");
      QTest::keyClick(box, Qt::Key_Return);
    });
    FindById<QPushButton>(dialog.get(), 4991)->click();
    QVERIFY(script.done());
    QCOMPARE(Text(dialog.get(), 5031), QString("255"));

    // OK stores the set with its checksum.
    FindById<QPushButton>(dialog.get(), 1)->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(int(bench.doc->image[14]), 255);
    QCOMPARE(bits::GetWordLE(bench.doc->image, 2), alignment::AdjustmentChecksum(bench.doc->image));
    QCOMPARE(Text(dialog.get(), 1240), QString("Now Initializing.. Please Wait."));
  }

  void measurementRunsOffTheUserInterfaceThread() {
    AlignmentBench bench;
    auto dialog = OpenDialog<BasicAlignmentDialog>(bench);
    QVERIFY(dialog);
    std::vector<std::array<int, 4>> readings = {{0, 10, 0, 0}, {0, 200, 0, 0}};
    for (int i = 0; i < 18; ++i) readings.push_back({0, 100, 0, 0});
    bench.radio->QueueLevels(readings);
    ModalScript script;
    script.Then("instruction", [&](QWidget* w) {
      QCOMPARE(w->windowTitle(), QString("Tight NSQL Level(Wide)"));
      w->findChild<QPushButton*>("1")->click();
    });
    script.Then("measurement", [&](QWidget* w) {
      auto* m = static_cast<MeasurementDialog*>(w);
      QVERIFY(QTest::qWaitFor([&] { return !m->sampling(); }, 5000));
      QCOMPARE(w->findChild<QLabel*>("reading")->text(), QString("100"));
      QVERIFY(w->findChild<QLabel*>("question")->isVisible());
      w->findChild<QPushButton*>("1")->click();
    });
    FindById<QPushButton>(dialog.get(), 4997)->click();
    QVERIFY2(script.done(), qPrintable(script.waiting_for()));
    QCOMPARE(Text(dialog.get(), 5037), QString("100"));
    QCOMPARE(dialog->model().state().values.tight_squelch[0], 100);
  }

  void fineDialogTrimsWithinTheLimit() {
    AlignmentBench bench;
    auto dialog = OpenDialog<FineAlignmentDialog>(bench);
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QString("189"));
    QCOMPARE(Text(dialog.get(), 5343), QString(QString::number(0x86 - 3)));
    QVERIFY2(!FindById(dialog.get(), 5346)->isVisible(), "D/A");
    QVERIFY2(!FindById(dialog.get(), 5355)->isEnabled(), "no tone");
    bench.radio->QueueLevels({{0, 0, 0x61, 0}, {0, 0, 0x64, 0}});
    ModalScript script;
    script.Then("slider", [&](QWidget* w) {
      QCOMPARE(w->findChild<QLabel*>("signal")->text(), QString("97"));
      QCOMPARE(w->findChild<QLabel*>("minimum")->text(), QString("0  "));
      w->findChild<QSlider*>("slider")->setValue(0x71);
      QCOMPARE(w->findChild<QLabel*>("signal")->text(), QString("100"));
      // Enter in the value box applies and keeps the dialog open.
      auto* box = w->findChild<QLineEdit*>("value");
      box->setFocus();
      box->setText("114");
      QTest::keyClick(box, Qt::Key_Return);
      QVERIFY(w->isVisible());
      QCOMPARE(bench.radio->alignment().value, 114);
      QTest::keyClick(w, Qt::Key_Escape);
    });
    FindById<QPushButton>(dialog.get(), 5351)->click();
    QVERIFY(script.done());
    QCOMPARE(Text(dialog.get(), 5341), QString(QString::number(0x70)));  // cancelled

    // High power, base 200: 72 is too far, 73 is the limit.
    script.Then("slider", [&](QWidget* w) {
      auto* slider = w->findChild<QSlider*>("slider");
      slider->setValue(73);
      slider->setValue(72);
      QCOMPARE(slider->value(), 73);
      QVERIFY(!w->findChild<QLabel*>("hint")->text().isEmpty());
      QTest::keyClick(slider, Qt::Key_Return);
    });
    script.Then(MessageName(alignment::kStrSaveAlignedData),
                [&](QWidget* box) { Press(box, QMessageBox::Yes); });
    FindById<QPushButton>(dialog.get(), 5352)->click();
    QVERIFY2(script.done(), qPrintable(script.waiting_for()));
    QCOMPARE(Text(dialog.get(), 5342), QString(" 73"));
    QCOMPARE(int(bench.doc->image[kOffsetChannels + 20]), 0xFF);
  }

  void pulledCableShowsTheMessageAndTheDialogGoesOn() {
    AlignmentBench bench;
    auto dialog = OpenDialog<BasicAlignmentDialog>(bench);
    QVERIFY(dialog);
    ModalScript script;
    // The link's own give-up message goes to the bench's prompter; the dialog's go to boxes.
    script.Then("slider", [&](QWidget* w) {
      bench.port->fail_reads_from = 1;  // the device is gone
      w->findChild<QSlider*>("slider")->setValue(10);
      QCOMPARE(w->findChild<QSlider*>("slider")->value(), 200);
      QVERIFY(bench.prompter.Saw(res::kStrCommunicationError));
      QTest::keyClick(w, Qt::Key_Escape);
    });
    FindById<QPushButton>(dialog.get(), 4991)->click();
    QVERIFY2(script.done(), qPrintable(script.waiting_for()));
    QCOMPARE(Text(dialog.get(), 5031), QString("200"));
    // The next item fails at once with the message; Cancel still closes.
    script.Then(MessageName(res::kStrCommunicationError),
                [&](QWidget* box) { Press(box, QMessageBox::Ok); });
    FindById<QPushButton>(dialog.get(), 4992)->click();
    QVERIFY(script.done());
    QCOMPARE(Text(dialog.get(), 5032), QString("Error"));
    FindById<QPushButton>(dialog.get(), 2)->click();
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
  }
};

QTEST_MAIN(AlignmentDialogsTest)
#include "alignment_dialogs_test.moc"
