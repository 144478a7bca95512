// Export / Import (JSON, CSV, a CHIRP plan after its preview), Compare With File and Undo over
// dialogs in the main window: round trips, refusals that change nothing, one undo step each.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "alignment/alignment_bench.h"
#include "alignment/ui/alignment_dialogs.h"
#include "channels/grid_text.h"
#include "codeplug/files.h"
#include "exchange/channel_cells.h"
#include "exchange/chirp_csv.h"
#include "exchange/codeplug_json.h"
#include "resources/strings.h"
#include "settings/hardware_form.h"
#include "settings/ui/form_widgets.h"
#include "shell/chirp_preview.h"
#include "shell/commands.h"
#include "shell/extras_ids.h"
#include "shell/help.h"
#include "shell/ui/chirp_preview_dialog.h"
#include "shell/ui/fleet_dialog.h"
#include "shell/ui/lines_dialog.h"
#include "shell/ui/main_window.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using namespace ql40::shell;
using ql40::testing::ReadText;
using ql40::testing::ScriptedPrompter;
using ql40::uitest::FindById;

namespace {

const char* const kPlan =
    "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
    "DtcsPolarity,Mode,TStep,Skip,Power,Comment\r\n"
    "1,Ch 16,156.800000,,0.000000,,88.5,88.5,023,NN,FM,25.00,,High,Distress\r\n"
    "2,Ch 9,156.450000,,0.000000,,88.5,88.5,023,NN,FM,25.00,,High,Calling\r\n"
    "5,Air,121.500000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,,Aviation\r\n"
    "9,Harbour rpt,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,5.0W,\r\n"
    "10,Yard DCS,154.570000,,0.000000,DTCS,88.5,88.5,023,NR,NFM,12.50,S,Low,\r\n";

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Replaces the text value of the first key of that name from an offset on.
bool ReplaceValue(std::string& json, const std::string& key, const std::string& value,
                  std::size_t from = 0) {
  const auto at = json.find("\"" + key + "\":", from);
  if (at == std::string::npos) return false;
  const auto open = json.find('"', at + key.size() + 3);
  const auto close = json.find('"', open + 1);
  if (open == std::string::npos || close == std::string::npos) return false;
  json.replace(open + 1, close - open - 1, value);
  return true;
}

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

// The main window with the file choice, the lines dialog and the plan preview answered here.
struct Fixture : ql40::uitest::Desk {
  explicit Fixture(Answer fallback = Answer::kOk) : Desk(fallback) {
    app.help_dir = std::string(QL40_SOURCE_DIR) + "/apps/ql40win/help";
    window().set_choose_exchange_file([this](QWidget*, int) { return choice; });
    window_->set_show_lines(
        [this](QWidget*, int id, const QString& headline, const QStringList& lines) {
          shown = {id, headline, lines, shown.count + 1};
        });
    window_->set_preview_chirp([this](QWidget*, ChirpImportPreview& preview) {
      ++previews;
      preview.SetGroup(group);
      preview.SetStart(start);
      shown.headline = QString::fromStdString(preview.Headline());
      return answer;
    });
  }
  // Runs a command on a file of the temporary folder.
  void Run(int command, const std::string& name) {
    choice = dir.File(name);
    window_->RunCommand(command);
  }
  std::string Cell(int channel, int column) { return exchange::CellText(app.doc, channel, column); }
  Image Committed() {
    app.doc.CommitToImage();
    return app.doc.image;
  }
  // Opens the Hardware dialog and acts on it; true when the dialog came up.
  bool RunHardware(std::function<void(QDialog*)> act) {
    Operator op("102", std::move(act));
    window_->RunCommand(kCmdHardware);
    return op.acted();
  }

  std::optional<ui::ExchangeFileChoice> choice;
  struct {
    int command = 0;
    QString headline;
    QStringList lines;
    int count = 0;
  } shown;
  int previews = 0, group = 0, start = 1;
  bool answer = true;  // OK in the plan preview
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

class ExtrasTest : public QObject {
  Q_OBJECT
 private slots:
  void menusCarryTheNewCommands() {
    Fixture f;
    for (int id : {kCmdExportJson, kCmdImportJson, kCmdExportCsv, kCmdImportCsv, kCmdCompareFile,
                   kCmdFleet}) {
      QAction* action = f.window().action(id);
      QVERIFY2(action != nullptr, qPrintable(QString::number(id)));
      QCOMPARE(action->objectName(), QString::number(id));
      QVERIFY(!action->statusTip().isEmpty());
      QVERIFY(action->isEnabled());
    }
    // F1 in the dialogs of these commands has a page to open.
    for (int id : {kCmdImportJson, kCmdImportCsv, kCmdCompareFile, kCmdFleet}) {
      const auto page = std::filesystem::path(QL40_SOURCE_DIR) / "apps/ql40win/help" /
                        (std::to_string(DialogHelpContext(id)) + ".html");
      QVERIFY2(std::filesystem::exists(page), page.c_str());
    }
  }

  void jsonRoundTripIsExactAndImportIsOneUndoStep() {
    Fixture f;
    QVERIFY(exchange::ApplyCellText(f.app.doc, 0, kColReceive, "150.00000").empty());
    f.Run(kCmdExportJson, "plug.json");
    QCOMPARE(f.shown.count, 0);
    QVERIFY(f.window().statusBar()->currentMessage().contains("plug.json"));
    const Image exported = f.app.doc.image;

    // Another value in the grid, then the file back: exactly the image that was exported.
    QVERIFY(exchange::ApplyCellText(f.app.doc, 0, kColReceive, "155.00000").empty());
    f.app.doc.CommitToImage();
    const Image edited = f.app.doc.image;
    const std::size_t steps = f.app.doc.history.UndoSteps();
    f.Run(kCmdImportJson, "plug.json");
    QVERIFY2(f.shown.count == 0, qPrintable(f.shown.lines.join(QChar(10))));
    QVERIFY(f.app.doc.image == exported);
    QCOMPARE(f.Cell(0, kColReceive), std::string("150.00000"));
    QVERIFY(f.app.doc.modified);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps + 1);

    f.window().RunCommand(kCmdUndo);
    QVERIFY(f.app.doc.image == edited);
    QCOMPARE(f.Cell(0, kColReceive), std::string("155.00000"));
  }

  void refusedJsonShowsEveryErrorAndChangesNothing() {
    Fixture f;
    f.Run(kCmdExportJson, "plug.json");
    std::string text = ReadText(f.dir.File("plug.json"));
    // Two bad values in the first channel.
    const auto first = text.find("{\"channel\":1,");
    QVERIFY(first != std::string::npos);
    QVERIFY(ReplaceValue(text, "receive", "999.00000", first));
    QVERIFY(ReplaceValue(text, "transmit", "abc.defgh", first));
    WriteAll(f.dir.File("bad.json"), text);

    f.app.doc.CommitToImage();
    const Image before = f.app.doc.image;
    const bool modified = f.app.doc.modified;
    const std::size_t steps = f.app.doc.history.UndoSteps();
    f.Run(kCmdImportJson, "bad.json");
    QCOMPARE(f.shown.count, 1);
    QCOMPARE(f.shown.command, static_cast<int>(kCmdImportJson));
    QVERIFY2(f.shown.lines.size() == 2, qPrintable(f.shown.lines.join('\n')));
    QVERIFY2(f.shown.lines[0].contains("999.00000"), qPrintable(f.shown.lines.join('\n')));
    QVERIFY(f.shown.headline.contains("2 values refused"));
    QVERIFY(f.app.doc.image == before);
    QCOMPARE(f.app.doc.modified, modified);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps);

    // Not JSON at all, and no file at all: said so, still nothing changed.
    WriteAll(f.dir.File("junk.json"), "{\"channels\": [");
    f.Run(kCmdImportJson, "junk.json");
    QCOMPARE(f.shown.count, 2);
    QVERIFY(!f.shown.lines.isEmpty());
    f.Run(kCmdImportJson, "missing.json");
    QCOMPARE(f.shown.count, 3);
    QVERIFY(f.shown.headline.contains("Cannot open"));
    QVERIFY(f.app.doc.image == before);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps);
  }

  void csvImportAppliesCellsAndRefusesWhole() {
    Fixture f;
    f.Run(kCmdExportCsv, "chan.csv");
    QCOMPARE(f.shown.count, 0);
    const std::string exported = ReadText(f.dir.File("chan.csv"));
    const std::string receive = exchange::ColumnName(kColReceive, f.app.doc.option_unit);
    QVERIFY(exported.find(receive) != std::string::npos);

    // A spreadsheet's file: byte order mark, CRLF, quoted header, only two columns.
    WriteAll(f.dir.File("edit.csv"), "\xEF\xBB\xBF\"Chn\",\"" + receive + "\"\r\n1,151.00000\r\n");
    const std::string old = f.Cell(0, kColReceive);
    f.Run(kCmdImportCsv, "edit.csv");
    // The transmit frequency the file does not give moved with the receive frequency: said so.
    QCOMPARE(f.shown.count, 1);
    QVERIFY2(f.shown.lines.size() == 1 &&
                 f.shown.lines[0].startsWith("row 2, Frequency Transmit: changes from"),
             qPrintable(f.shown.lines.join('\n')));
    QVERIFY(f.shown.headline.startsWith("Imported "));
    QCOMPARE(f.Cell(0, kColReceive), std::string("151.00000"));
    QVERIFY(f.app.doc.modified);
    f.window().RunCommand(kCmdUndo);
    QCOMPARE(f.Cell(0, kColReceive), old);

    // One good cell and two refused ones: none applied, both refusals listed with their rows.
    f.app.doc.CommitToImage();
    const Image before = f.app.doc.image;
    WriteAll(f.dir.File("bad.csv"),
             "Chn," + receive + "\n1,152.00000\n1,153.00000\n99,150.00000\n");
    f.Run(kCmdImportCsv, "bad.csv");
    QCOMPARE(f.shown.count, 2);
    QCOMPARE(f.shown.lines.size(), 2);
    QVERIFY(f.shown.lines[0].startsWith("row 3"));
    QVERIFY(f.shown.lines[1].startsWith("row 4"));
    QVERIFY(f.app.doc.image == before);
    QCOMPARE(f.Cell(0, kColReceive), old);
  }

  void compareListsTheDifferencesInWords() {
    Fixture f;
    SilentPrompter quiet;
    f.app.doc.CommitToImage();
    QVERIFY(
        WriteImageFile(f.dir.File("same.q40"), f.app.doc.image, f.app.doc.default_split, quiet));
    // The document made from the defaults, not from the file: still the same codeplug.
    f.Run(kCmdCompareFile, "same.q40");
    QCOMPARE(f.shown.count, 1);
    QVERIFY2(f.shown.lines.isEmpty(), qPrintable(f.shown.lines.join('\n')));
    QVERIFY(f.shown.headline.contains("same"));

    QVERIFY(exchange::ApplyCellText(f.app.doc, 0, kColReceive, "150.00000").empty());
    f.Run(kCmdCompareFile, "same.q40");
    QCOMPARE(f.shown.count, 2);
    QVERIFY2(f.shown.lines.filter("Receive: 150.00000 ->").size() == 1,
             qPrintable(f.shown.lines.join('\n')));
    QVERIFY(!f.app.doc.history.CanUndo() || f.app.doc.history.UndoSteps() == 0);

    // Bytes that no record shows still count as a difference.
    Image raw = f.app.doc.image;
    raw[kImageSize - 1] ^= 0x5A;
    QVERIFY(WriteImageFile(f.dir.File("raw.q40"), raw, f.app.doc.default_split, quiet));
    f.Run(kCmdCompareFile, "raw.q40");
    QCOMPARE(f.shown.count, 3);
    QVERIFY(!f.shown.lines.isEmpty());
    QVERIFY(!f.shown.headline.contains("same"));

    // A damaged file: the file's own message, no made-up differences.
    WriteAll(f.dir.File("short.q40"), std::string(100, '\0'));
    f.Run(kCmdCompareFile, "short.q40");
    QCOMPARE(f.shown.count, 3);
    QVERIFY(!f.prompter.messages().empty());
  }

  void linesDialogIsReadOnlyFixedPitchAndKeyboardReady() {
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
      lines << QString("group 1 channel %1 Receive: 160.10000 -> 161.00000").arg(i);
    ui::LinesDialog dialog(kCmdCompareFile, "Compare With File", "What differs:", lines);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QString::number(kCmdCompareFile));
    QCOMPARE(dialog.list()->count(), 12);
    QVERIFY(QFontInfo(dialog.list()->font()).fixedPitch());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.list()));
    QVERIFY(dialog.list()->editTriggers() == QAbstractItemView::NoEditTriggers);
    ql40::uitest::Shot(dialog, "lines_dialog");
    QTest::keyClick(dialog.list(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
  }

  void planImportShowsThePreviewThenImportsAsOneUndoStep() {
    Fixture f;
    f.app.doc.CommitToImage();
    const Image before = f.app.doc.image;
    const std::size_t steps = f.app.doc.history.UndoSteps();
    std::ofstream(f.dir.File("marine.csv"), std::ios::binary) << kPlan;
    f.choice = f.dir.File("marine.csv");

    // Cancel in the preview: nothing changes and nothing is said.
    f.answer = false;
    f.window().RunCommand(kCmdImportCsv);
    QCOMPARE(f.previews, 1);
    QCOMPARE(f.shown.count, 0);
    QVERIFY(f.app.doc.image == before);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps);

    // OK with the rows from channel 3 of group 1.
    f.answer = true;
    f.start = 3;
    f.window().RunCommand(kCmdImportCsv);
    QCOMPARE(f.previews, 2);
    QVERIFY2(f.shown.headline.startsWith("Imported "), qPrintable(f.shown.headline));
    // The skipped row and the values changed to fit, each with its row, Location and Name.
    QVERIFY2(f.shown.lines.size() == 3, qPrintable(f.shown.lines.join('\n')));
    QVERIFY(f.shown.lines.filter("row 4 (Location 5, \"Air\"): skipped: Frequency").size() == 1);
    QVERIFY(f.shown.lines.filter("Power \"5.0W\" is stored as H").size() == 1);
    QCOMPARE(f.Cell(2, kColTag), std::string("CH 16"));
    QCOMPARE(f.Cell(3, kColReceive), std::string("156.45000"));
    QCOMPARE(f.Cell(4, kColTransmit), std::string("146.34000"));
    QCOMPARE(f.Cell(5, kColDecode), std::string("047"));
    QCOMPARE(f.Cell(5, kColWideNarrow), std::string("N"));
    QCOMPARE(f.Cell(5, kColScan), std::string("-"));
    QVERIFY(f.app.doc.modified);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps + 1);
    f.window().RunCommand(kCmdUndo);
    QVERIFY(f.app.doc.image == before);

    // This program's own CSV still goes in without a preview.
    std::ofstream(f.dir.File("own.csv"), std::ios::binary) << "Chn,Frequency Receive\r\n1,"
                                                           << "150.00000\r\n";
    f.choice = ui::ExchangeFileChoice(f.dir.File("own.csv"));
    f.window().RunCommand(kCmdImportCsv);
    QCOMPARE(f.previews, 2);
    QCOMPARE(f.Cell(0, kColReceive), std::string("150.00000"));
  }

  void exportWritesAChirpPlan() {
    Fixture f;
    f.choice = ui::ExchangeFileChoice(f.dir.File("plan.csv"), true);
    f.window().RunCommand(kCmdExportCsv);
    const std::string plan = ReadText(f.dir.File("plan.csv"));
    QVERIFY(exchange::IsChirpCsv(plan));
    QVERIFY2(plan.find("\r\n1,\" CH-001\",160.100000,") != std::string::npos, plan.c_str());
  }

  void previewDialogIsKeyboardFirst() {
    Codeplug doc;
    doc.ResetToDefaults();
    ChirpImportPreview model(doc, kPlan, "/plans/marine.csv");
    ui::ChirpPreviewDialog dialog(model);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QString::number(kCmdImportCsv));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.group()));
    // Alt+G and Alt+F reach the two choices through their labels.
    const auto labels = dialog.findChildren<QLabel*>();
    int buddies = 0;
    for (QLabel* label : labels) {
      if (label->buddy() == dialog.group() || label->buddy() == dialog.start()) ++buddies;
    }
    QCOMPARE(buddies, 2);
    QCOMPARE(dialog.table()->rowCount(), 5);
    QCOMPARE(dialog.table()->item(2, ChirpImportPreview::kChannel)->text(), QString("skipped"));
    QCOMPARE(dialog.table()->item(3, ChirpImportPreview::kChannel)->text(), QString("3"));
    QVERIFY(dialog.headline()->text().contains("4 rows into group 1, channels 1-4"));
    ql40::uitest::Shot(dialog, "chirp_preview");

    // Another group from the keyboard: the rows follow at once.
    QTest::keyClick(dialog.group(), Qt::Key_Down);
    QCOMPARE(model.group(), 1);
    QCOMPARE(dialog.table()->item(0, ChirpImportPreview::kChannel)->text(), QString("17"));
    QVERIFY(dialog.headline()->text().contains("group 2 grows by 4 free channels"));
    QVERIFY(dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    QTest::keyClick(dialog.start(), Qt::Key_Enter);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));

    // A plan that cannot go anywhere: OK is off, Escape leaves.
    ChirpImportPreview none(doc, "Location,Frequency\r\n1,121.5\r\n", "air.csv");
    ui::ChirpPreviewDialog refused(none);
    refused.show();
    QVERIFY(QTest::qWaitForWindowExposed(&refused));
    QVERIFY(!refused.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    QTest::keyClick(refused.group(), Qt::Key_Escape);
    QCOMPARE(refused.result(), static_cast<int>(QDialog::Rejected));
  }

  void hardwareChangeThenUndoRestoresTheExactImage() {
    Fixture f(Answer::kYes);
    f.app.maintenance = true;  // the hardware constants are service settings
    const Image before = f.Committed();
    const bool modified = f.app.doc.modified;
    QVERIFY(f.RunHardware([](QDialog* d) { EditReleaseTime(d, true); }));
    QVERIFY(f.Committed() != before);
    QCOMPARE(f.app.doc.history.UndoSteps(), std::size_t{1});
    f.window().RunCommand(kCmdUndo);
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
    f.window().RunCommand(kCmdNew);
    QVERIFY(!f.app.doc.history.CanUndo());
  }

  void bandChangeIsOneStep() {
    Fixture f(Answer::kYes);
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
    f.window().RunCommand(kCmdUndo);
    QCOMPARE(f.app.doc.hardware.band, band);
    QVERIFY(f.Committed() == before);
  }

  void f1InTheAlignmentAndFleetDialogsOpensTheirPages() {
    Fixture f(Answer::kYes);
    for (bool fine : {false, true}) {
      ql40::testing::AlignmentBench bench;
      std::unique_ptr<QDialog> dialog(
          fine ? static_cast<QDialog*>(
                     new ui::FineAlignmentDialog(*bench.link, *bench.doc, &f.window()))
               : new ui::BasicAlignmentDialog(*bench.link, *bench.doc, &f.window()));
      dialog->setWindowModality(Qt::ApplicationModal);
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
      QTRY_COMPARE(QApplication::activeModalWidget(), dialog.get());
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus != nullptr ? focus : dialog.get(), Qt::Key_F1);
      const int context = dialog->property("helpContext").toInt();
      QCOMPARE(f.window().last_help_page(), QString("%1.html").arg(context));
      QVERIFY(std::filesystem::exists(f.app.help_dir + "/" + std::to_string(context) + ".html"));
      dialog->reject();
    }
    // The new dialogs are named by their command's id, which gives their page.
    ui::FleetDialog fleet(f.app, f.prompter, {}, &f.window());
    fleet.setWindowModality(Qt::ApplicationModal);
    fleet.show();
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(&fleet));
    QTest::keyClick(fleet.table(), Qt::Key_F1);
    QCOMPARE(f.window().last_help_page(), QString("%1.html").arg(DialogHelpContext(kCmdFleet)));
    fleet.reject();
  }
};

QTEST_MAIN(ExtrasTest)
#include "extras_test.moc"
