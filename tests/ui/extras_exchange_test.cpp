// File > Export / Import (JSON), Export / Import Channels (CSV) and Compare With File in the
// main window: round trips, refused files that leave the document alone, one undo step per
// import, and the lines dialog as a user sees it.

#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "channels/grid_text.h"
#include "codeplug/files.h"
#include "exchange/channel_cells.h"
#include "exchange/codeplug_json.h"
#include "resources/strings.h"
#include "shell/commands.h"
#include "shell/extras_ids.h"
#include "shell/help.h"
#include "shell/ui/lines_dialog.h"
#include "shell/ui/main_window.h"
#include "support/test_support.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using namespace ql40::shell;
using ql40::testing::ReadText;
using ql40::testing::ScriptedPrompter;
using ql40::testing::TempDir;

namespace {

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

struct Shown {
  int command = 0;
  QString headline;
  QStringList lines;
  int count = 0;
};

struct Fixture {
  Fixture() {
    app.files.program_dir = dir.File("prog");
    app.files.working_dir = dir.path().string();
    std::filesystem::create_directories(app.files.program_dir);
    app.help_dir = dir.File("help");
    app.doc.ResetToDefaults();
    window = std::make_unique<ui::MainWindow>(app, prompter, nullptr);
    window->set_choose_exchange_file([this](QWidget*, int) { return choice; });
    window->set_show_lines(
        [this](QWidget*, int id, const QString& headline, const QStringList& lines) {
          shown.command = id;
          shown.headline = headline;
          shown.lines = lines;
          ++shown.count;
        });
  }
  // Runs a command on a file of the temporary folder.
  void Run(int command, const std::string& name) {
    choice = dir.File(name);
    window->RunCommand(command);
  }
  std::string Cell(int channel, int column) { return exchange::CellText(app.doc, channel, column); }
  TempDir dir;
  AppContext app;
  ScriptedPrompter prompter{{}, Answer::kOk};
  std::optional<std::string> choice;
  Shown shown;
  std::unique_ptr<ui::MainWindow> window;
};

}  // namespace

class ExtrasExchangeTest : public QObject {
  Q_OBJECT
 private slots:
  void menusCarryTheNewCommands() {
    Fixture f;
    for (int id : {kCmdExportJson, kCmdImportJson, kCmdExportCsv, kCmdImportCsv, kCmdCompareFile,
                   kCmdFleet}) {
      QAction* action = f.window->action(id);
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
    QVERIFY(f.window->statusBar()->currentMessage().contains("plug.json"));
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

    f.window->RunCommand(kCmdUndo);
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
    f.window->RunCommand(kCmdUndo);
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
};

QTEST_MAIN(ExtrasExchangeTest)
#include "extras_exchange_test.moc"
