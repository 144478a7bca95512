// File > Import Channels with a CHIRP plan in the main window: the preview first, OK as one undo
// step, Cancel leaving everything; File > Export Channels in either format; the preview dialog
// as a keyboard user meets it.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "channels/grid_text.h"
#include "exchange/channel_cells.h"
#include "exchange/chirp_csv.h"
#include "shell/chirp_preview.h"
#include "shell/commands.h"
#include "shell/extras_ids.h"
#include "shell/ui/chirp_preview_dialog.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"

using namespace ql40;
using namespace ql40::shell;
using ql40::testing::ScriptedPrompter;
using ql40::testing::TempDir;

namespace {

const char* const kPlan =
    "\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
    "DtcsPolarity,Mode,TStep,Skip,Power,Comment\r\n"
    "1,Ch 16,156.800000,,0.000000,,88.5,88.5,023,NN,FM,25.00,,High,Distress\r\n"
    "2,Ch 9,156.450000,,0.000000,,88.5,88.5,023,NN,FM,25.00,,High,Calling\r\n"
    "5,Air,121.500000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,,Aviation\r\n"
    "9,Harbour rpt,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,5.0W,\r\n"
    "10,Yard DCS,154.570000,,0.000000,DTCS,88.5,88.5,023,NR,NFM,12.50,S,Low,\r\n";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Fixture {
  Fixture() {
    app.files.program_dir = dir.File("prog");
    app.files.working_dir = dir.path().string();
    std::filesystem::create_directories(app.files.program_dir);
    app.help_dir = dir.File("help");
    app.doc.ResetToDefaults();
    window = std::make_unique<ui::MainWindow>(app, prompter, nullptr);
    window->set_choose_exchange_file([this](QWidget*, int) { return choice; });
    window->set_show_lines([this](QWidget*, int, const QString& headline, const QStringList& l) {
      this->headline = headline;
      lines = l;
      ++shown;
    });
    window->set_preview_chirp([this](QWidget*, ChirpImportPreview& preview) {
      ++previews;
      preview.SetGroup(group);
      preview.SetStart(start);
      headline = QString::fromStdString(preview.Headline());
      return answer;
    });
    std::ofstream(dir.File("marine.csv"), std::ios::binary) << kPlan;
  }
  std::string Cell(int channel, int column) { return exchange::CellText(app.doc, channel, column); }

  TempDir dir;
  AppContext app;
  ScriptedPrompter prompter{{}, Answer::kOk};
  std::optional<ui::ExchangeFileChoice> choice;
  QString headline;
  QStringList lines;
  int shown = 0;
  int previews = 0;
  int group = 0;
  int start = 1;
  bool answer = true;
  std::unique_ptr<ui::MainWindow> window;
};

}  // namespace

class ExtrasChirpTest : public QObject {
  Q_OBJECT
 private slots:
  void planImportShowsThePreviewThenImportsAsOneUndoStep() {
    Fixture f;
    f.app.doc.CommitToImage();
    const Image before = f.app.doc.image;
    const std::size_t steps = f.app.doc.history.UndoSteps();
    f.choice = ui::ExchangeFileChoice(f.dir.File("marine.csv"));

    // Cancel in the preview: nothing changes and nothing is said.
    f.answer = false;
    f.window->RunCommand(kCmdImportCsv);
    QCOMPARE(f.previews, 1);
    QCOMPARE(f.shown, 0);
    QVERIFY(f.app.doc.image == before);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps);

    // OK with the rows from channel 3 of group 1.
    f.answer = true;
    f.start = 3;
    f.window->RunCommand(kCmdImportCsv);
    QCOMPARE(f.previews, 2);
    QVERIFY2(f.headline.startsWith("Imported "), qPrintable(f.headline));
    // The skipped row and the values changed to fit, each with its row, Location and Name.
    QVERIFY2(f.lines.size() == 3, qPrintable(f.lines.join('\n')));
    QVERIFY(f.lines.filter("row 4 (Location 5, \"Air\"): skipped: Frequency").size() == 1);
    QVERIFY(f.lines.filter("Power \"5.0W\" is stored as H").size() == 1);
    QCOMPARE(f.Cell(2, kColTag), std::string("CH 16"));
    QCOMPARE(f.Cell(3, kColReceive), std::string("156.45000"));
    QCOMPARE(f.Cell(4, kColTransmit), std::string("146.34000"));
    QCOMPARE(f.Cell(5, kColDecode), std::string("047"));
    QCOMPARE(f.Cell(5, kColWideNarrow), std::string("N"));
    QCOMPARE(f.Cell(5, kColScan), std::string("-"));
    QVERIFY(f.app.doc.modified);
    QCOMPARE(f.app.doc.history.UndoSteps(), steps + 1);
    f.window->RunCommand(kCmdUndo);
    QVERIFY(f.app.doc.image == before);

    // This program's own CSV still goes in without a preview.
    std::ofstream(f.dir.File("own.csv"), std::ios::binary) << "Chn,Frequency Receive\r\n1,"
                                                           << "150.00000\r\n";
    f.choice = ui::ExchangeFileChoice(f.dir.File("own.csv"));
    f.window->RunCommand(kCmdImportCsv);
    QCOMPARE(f.previews, 2);
    QCOMPARE(f.Cell(0, kColReceive), std::string("150.00000"));
  }

  void exportWritesEitherFormat() {
    Fixture f;
    f.choice = ui::ExchangeFileChoice(f.dir.File("plan.csv"), true);
    f.window->RunCommand(kCmdExportCsv);
    const std::string plan = ReadAll(f.dir.File("plan.csv"));
    QVERIFY(exchange::IsChirpCsv(plan));
    QVERIFY2(plan.find("\r\n1,\" CH-001\",160.100000,") != std::string::npos, plan.c_str());
    f.choice = ui::ExchangeFileChoice(f.dir.File("own.csv"), false);
    f.window->RunCommand(kCmdExportCsv);
    QVERIFY(ReadAll(f.dir.File("own.csv")).rfind("Chn,", 0) == 0);
    QVERIFY(f.window->statusBar()->currentMessage().contains("own.csv"));
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
    dialog.grab().save(QDir::temp().filePath("ql40-chirp-preview.png"));

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
};

QTEST_MAIN(ExtrasChirpTest)
#include "extras_chirp_test.moc"
