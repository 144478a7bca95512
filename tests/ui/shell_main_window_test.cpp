// The main window driven as a user would: commands by their ids, dialogs by their objectNames.

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "channels/grid_text.h"
#include "channels/ui/channel_view.h"
#include "codeplug/files.h"
#include "radiosim/radio_sim.h"
#include "resources/labels.h"
#include "resources/strings.h"
#include "shell/commands.h"
#include "shell/help.h"
#include "shell/ini_file.h"
#include "shell/recovery_strings.h"
#include "shell/shell_strings.h"
#include "shell/startup.h"
#include "shell/ui/file_data_dialog.h"
#include "shell/ui/help_window.h"
#include "shell/ui/main_window.h"
#include "shell/ui/shell_dialogs.h"
#include "ui/support/ui_test_support.h"

using namespace ql40;
using namespace ql40::shell;
using ql40::testing::ScriptedPrompter;
using ql40::testing::TempDir;
using ql40::ui::MainWindow;
using ql40::uitest::WhenModal;

namespace {

std::string WriteCodeplug(const TempDir& dir, const std::string& name, int option_unit_byte) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.CommitToImage();
  doc.image[27] = static_cast<std::uint8_t>(option_unit_byte);
  SilentPrompter quiet;
  const std::string path = dir.File(name);
  WriteImageFile(path, doc.image, 0.0, quiet);
  return path;
}

// The main window with its file dialogs answered by open_choice and save_choice.
struct Fixture : ql40::uitest::Desk {
  using Desk::Desk;
  MainWindow& window() {
    if (!window_) {
      Desk::window().set_choose_open([this](QWidget*) { return open_choice; });
      window_->set_choose_save_as([this](QWidget*) { return save_choice; });
    }
    return *window_;
  }
  std::optional<std::string> open_choice, save_choice;
};

}  // namespace

class ShellMainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void menusCarryCommandIdsAndFollowTheOptionUnit() {
    Fixture f;
    MainWindow& w = f.window();
    // Each menu's commands and the toolbar's carry their ids.
    const auto carried = [&w](std::initializer_list<int> ids) {
      for (int id : ids)
        QVERIFY2(w.findChild<QAction*>(QString::number(id)), qPrintable(QString::number(id)));
    };
    carried({kCmdNew, kCmdOpen, kCmdSave, kCmdSaveAs, kCmdPrint, kCmdPrintPreview, kCmdPrintSetup});
    carried({kCmdConfigure, kCmdExit, kCmdCopy, kCmdPaste, kCmdVisible, kCmdHardware});
    carried({kCmdMiscellaneous, kCmdAni, kCmdTwoToneTable, kCmdUpload, kCmdFineAlignment});
    carried({kCmdChannelAllocations, kCmdHelpTopics, kCmdGetStarted, kCmdAbout});
    carried({kCmdToolbarUpload, kCmdToolbarDownload, kCmdToolbarAbout});
    QCOMPARE(w.action(kCmdUpload)->statusTip(), QString("Read data from radio"));
    QCOMPARE(w.action(kCmdOpen)->shortcut(), QKeySequence("Ctrl+O"));

    // The actions follow the option unit as it changes (every unit's rule: commands_test).
    struct Case {
      int byte27;  // option unit in bits 6-3, bit 2 set for none
      bool paging, two_tone;
    };
    for (const Case c : {Case{1 << 3, false, true}, Case{0x04, true, false}}) {
      f.app.doc.image[27] = static_cast<std::uint8_t>(c.byte27);
      f.app.doc.RefreshFromImage();
      w.UpdateCommandStates();
      QCOMPARE(w.action(kCmdPagingCode)->isEnabled(), c.paging);
      QCOMPARE(w.action(kCmdTwoTone)->isEnabled(), c.two_tone);
      QCOMPARE(w.action(kCmdTwoToneTable)->isEnabled(), c.two_tone);
    }
    // A command reaches its dialog, or says in the status bar that it has none yet.
    bool dialog_shown = false;
    QPointer<QTimer> closer = WhenModal([&](QWidget* dialog) {
      dialog_shown = true;
      static_cast<QDialog*>(dialog)->reject();
    });
    w.RunCommand(kCmdScanning);
    delete closer.data();
    QVERIFY(dialog_shown || w.statusBar()->currentMessage().contains("not available yet"));
  }

  // The message pane tells the view's keys whenever no prompt is shown, and F10 keeps the
  // promise: the keyboard goes to the menu bar, and the arrows and Enter work the menus.
  void idleTextAndF10TakeTheKeyboardToTheMenus() {
    Fixture f;
    MainWindow& w = f.window();
    const QString idle("F1 for Help   F2 for Next Group   F3 for DCS Complement   F10 for Menus");
    QCOMPARE(w.statusBar()->currentMessage(), idle);
    QStatusTipEvent highlighted(w.action(kCmdUpload)->statusTip());
    QApplication::sendEvent(&w, &highlighted);
    QCOMPARE(w.statusBar()->currentMessage(), QString("Read data from radio"));
    QStatusTipEvent left{QString()};
    QApplication::sendEvent(&w, &left);
    QCOMPARE(w.statusBar()->currentMessage(), idle);

    ql40::uitest::Open(w);
    auto* view = static_cast<ql40::ui::ChannelView*>(w.view());
    view->FocusGrid();
    const QModelIndex cell = view->grid()->currentIndex();
    QTest::keyClick(view->grid(), Qt::Key_F10);
    auto* file = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(file != nullptr);
    QCOMPARE(file->menuAction(), w.menuBar()->actions().first());
    // Down goes into File; it does not move the grid's cursor.
    QTest::keyClick(file, Qt::Key_Down);
    QCOMPARE(file->activeAction(), w.action(kCmdNew));
    QCOMPARE(view->grid()->currentIndex(), cell);
    // Left goes round to Help; its last item is About, chosen with Enter.
    QTest::keyClick(file, Qt::Key_Left);
    auto* help = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(help != nullptr && help != file);
    QCOMPARE(help->menuAction(), w.menuBar()->actions().last());
    QString opened;
    WhenModal([&opened](QWidget* dialog) {
      opened = dialog->objectName();
      static_cast<QDialog*>(dialog)->reject();
    });
    for (int i = 0; i < 8 && help->activeAction() != w.action(kCmdAbout); ++i) {
      QTest::keyClick(help, Qt::Key_Down);
    }
    QTest::keyClick(help, Qt::Key_Return);
    QTRY_COMPARE(opened, QString::number(ql40::ui::kDialogAbout));
    // F10 in an open menu leaves the menus; the grid has the keyboard back.
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    ql40::uitest::Open(w);
    view->FocusGrid();
    QTest::keyClick(view->grid(), Qt::Key_F10);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);  // Edit
    QVERIFY(QApplication::activePopupWidget() != file);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F10);
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(w.menuBar()->activeAction() == nullptr);
    QTRY_VERIFY(view->grid()->hasFocus());
  }

  // View > Item: a sub-audio group shown again is headed by its menu name until the grid is
  // rebuilt. Print Preview ends as Print does: the printer field shows the printer remembered.
  void columnGroupShownAgainAndPreviewRedrawsThePrinter() {
    Fixture f;
    MainWindow& w = f.window();
    auto* view = static_cast<ql40::ui::ChannelView*>(w.view());
    w.RunCommand(kCmdFirstColumn + 4);
    QVERIFY(view->grid()->isColumnHidden(kColSubAudioType));
    w.RunCommand(kCmdFirstColumn + 4);
    QVERIFY(!view->grid()->isColumnHidden(kColSubAudioType));
    QCOMPARE(view->header()->Heading(0, kColSubAudioType), QString("Sub Audio"));
    QCOMPARE(view->header()->Heading(0, kColReceive), QString("Frequency"));
    w.RefreshAll(false);
    QCOMPARE(view->header()->Heading(0, kColSubAudioType), QString("SUB AUDIO"));

    auto* printer = view->findChild<QLabel*>("info5");
    QVERIFY(printer != nullptr);
    f.app.printer_name = "Front Desk";  // remembered, not yet shown
    bool previewed = false;
    WhenModal([&previewed](QWidget* dialog) {
      previewed = dialog->objectName() == "PrintPreview";
      static_cast<QDialog*>(dialog)->reject();
    });
    w.RunCommand(kCmdPrintPreview);
    QVERIFY(previewed);
    QCOMPARE(printer->text(), QString::fromStdString(f.app.printer_name));
  }

  void titleClockAndWindowSize() {
    Fixture f;
    f.app.maintenance = true;
    MainWindow& w = f.window();
    QCOMPARE(w.windowTitle(), QString("<none> - QL40Win for PT-410/610(M)"));
    QVERIFY(QRegularExpression("^ \\d{1,2}:\\d\\d$").match(w.clock_pane()->text()).hasMatch());
    w.ApplyWindowSettings({100, 100, false});
    QCOMPARE(w.size(), QSize(640, 540));
    QCOMPARE(w.minimumSize(), QSize(640, 540));
    w.ApplyWindowSettings({800, 600, false});
    QCOMPARE(w.size(), QSize(800, 600));
  }

  // What Open and Save As refuse, and their questions, are document_test's; here the window
  // takes the file it was given and shows it, and Save As cancelled keeps the document as it is.
  void openAndSaveAs() {
    Fixture f;
    MainWindow& w = f.window();
    f.open_choice = WriteCodeplug(f.dir, "good.q40", 1 << 3);
    w.RunCommand(kCmdOpen);
    QCOMPARE(f.app.doc.path, *f.open_choice);
    QCOMPARE(f.app.doc.option_unit, int(kOption2Tone));
    QVERIFY(w.windowTitle().startsWith(QString::fromStdString(*f.open_choice)));
    QVERIFY(w.action(kCmdTwoTone)->isEnabled());
    f.app.doc.modified = true;
    f.save_choice = std::nullopt;  // the dialog cancelled
    w.RunCommand(kCmdSaveAs);
    QCOMPARE(f.app.doc.path, *f.open_choice);
    QVERIFY(f.app.doc.modified);
    f.save_choice = f.dir.File("mine.q40");
    w.RunCommand(kCmdSaveAs);
    QCOMPARE(f.app.doc.path, *f.save_choice);
    QVERIFY(!f.app.doc.modified);
    QCOMPARE(std::filesystem::file_size(*f.save_choice), std::uintmax_t(kFileSize));
  }

  void closingAsksAndWritesTheSettings() {
    Fixture f;
    f.ini.Parse("; keep\r\n[Foreign]\r\nPath=C:\\x\\y\r\n");
    MainWindow& w = f.window();
    w.show();
    f.app.doc.modified = true;
    f.prompter = ScriptedPrompter({Answer::kCancel});
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    f.prompter = ScriptedPrompter({Answer::kNo});
    f.app.com_port = 3;
    f.app.fast_transfer = true;
    QVERIFY(w.close());
    IniFile back;
    QVERIFY(back.Load(f.app.ini_path));
    QCOMPARE(back.GetInt("Initialize", "COM_PORT", 0), 3);
    QCOMPARE(back.GetInt("Initialize", "FAST_TRANSFER", 0), 1);
    QVERIFY(back.Get("Initialize", "CX").has_value());
    QCOMPARE(back.Get("Foreign", "Path").value_or(""), std::string("C:\\x\\y"));
    QVERIFY(back.Text().rfind("; keep", 0) == 0);

    // Answered when the session ended: the close that follows does not ask again, unless the
    // codeplug changed in between.
    Fixture g;
    MainWindow& v = g.window();
    v.show();
    g.app.doc.modified = true;
    g.prompter = ScriptedPrompter({Answer::kNo, Answer::kCancel, Answer::kNo});
    QVERIFY(v.ConfirmClose());
    g.app.doc.channels.records[0].tx_frequency += 2500;
    QVERIFY(!v.CloseConfirmed());
    QVERIFY(!v.close());
    QVERIFY(v.ConfirmClose());
    QVERIFY(v.close());
    QCOMPARE(g.prompter.ids(),
             (std::vector<int>{kStrSaveChanges, kStrSaveChanges, kStrSaveChanges}));
  }

  void visibleWritesTheColumnFlagsAtOnce() {
    Fixture f;
    MainWindow& w = f.window();
    WhenModal([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QString::number(ql40::ui::kDialogVisible));
      dialog->findChild<QCheckBox*>("item2")->setChecked(false);
      dialog->findChild<QCheckBox*>("item14")->setChecked(true);
      static_cast<QDialog*>(dialog)->accept();
    });
    w.RunCommand(kCmdVisible);
    QVERIFY(!f.app.ColumnVisible(2));
    QVERIFY(f.app.ColumnVisible(14));
    QVERIFY(!w.action(kCmdFirstColumn + 2)->isChecked());
    IniFile back;
    QVERIFY(back.Load(f.app.ini_path));
    QCOMPARE(back.GetInt("ITEM", "ITEM2", 1), 0);
    QCOMPARE(back.GetInt("ITEM", "ITEM14", 0), 1);
    // A View > Item entry flips its flag.
    w.RunCommand(kCmdFirstColumn + 2);
    QVERIFY(f.app.ColumnVisible(2));
  }

  void configurationIgnoresEnterAwayFromTheButtons() {
    Fixture f;
    MainWindow& w = f.window();
    WhenModal([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QString::number(ql40::ui::kDialogConfiguration));
      auto* com3 = dialog->findChild<QRadioButton*>("com3");
      com3->setChecked(true);
      com3->setFocus();
      QTest::keyClick(com3, Qt::Key_Return);
      QVERIFY(dialog->isVisible());
#if !defined(_WIN32)
      dialog->findChild<QComboBox*>("device3")->setCurrentText("/dev/ttyUSB7");
#endif
      auto* fast = dialog->findChild<QCheckBox*>("fast");
      QCOMPARE(fast->text(), QString("Send &whole frames (faster; falls back by itself)"));
      QVERIFY(!fast->isChecked());  // off until chosen
      fast->setFocus();
      QTest::keyClick(fast, Qt::Key_Space);
      static_cast<QDialog*>(dialog)->accept();
    });
    w.RunCommand(kCmdConfigure);
    QCOMPARE(f.app.com_port, 3);
    QVERIFY(f.app.fast_transfer);
#if !defined(_WIN32)
    QCOMPARE(f.app.port_names.DeviceOf(3), std::string("/dev/ttyUSB7"));
#endif
  }

  void fileDataEditsOnlyInMaintenanceMode() {
    Image image{};
    image[0] = 0x12;
    for (bool maintenance : {false, true}) {
      ql40::ui::FileDataDialog dialog(image, maintenance, nullptr);
      dialog.show();
      auto* grid = dialog.grid();
      grid->setCurrentIndex(grid->model()->index(0, 0));
      QTest::keyClick(grid, Qt::Key_A);
      if (auto* edit = grid->findChild<QLineEdit*>()) {
        QTest::keyClick(edit, Qt::Key_B);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor commits on the next turn
      }
      QCOMPARE(int(dialog.model().image()[0]), maintenance ? 0xAB : 0x12);
      QCOMPARE(dialog.model().changed(), maintenance);
      QCOMPARE(dialog.findChild<QWidget*>("readOnlyNote") != nullptr, !maintenance);
    }
    // Which keys open the editor is file_data_test's; the rows carry the image's offsets.
    ql40::ui::FileDataDialog dialog(image, true, nullptr);
    QCOMPARE(dialog.grid()->model()->headerData(16, Qt::Vertical).toString(), QString("1b400h"));
  }

  void passwordTurnsTypingIntoLowerCase() {
    ql40::ui::PasswordDialog dialog(nullptr);
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>("code");
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(edit));
    QTest::keyClicks(edit, "TSUKI-Hanae");
    QCOMPARE(dialog.code(), QString("tsuki-hanae"));
    // Typed in any case, the code opens maintenance mode; a wrong code or Escape does not.
    for (const auto& [typed, key, opens] : {std::tuple{"Tsuki-hanaE", Qt::Key_Return, true},
                                            {"tsuki-hana", Qt::Key_Return, false},
                                            {"tsuki-hanae", Qt::Key_Escape, false}}) {
      WhenModal([typed, key](QWidget* modal) {
        QTest::keyClicks(modal->findChild<QLineEdit*>("code"), typed);
        QTest::keyClick(modal->findChild<QLineEdit*>("code"), key);
      });
      QCOMPARE(ql40::ui::PasswordDialog::AskForMaintenance(nullptr), opens);
    }
  }

  void helpOpensTheContextPageOrTheContents() {
    Fixture f;
    std::filesystem::create_directories(f.app.help_dir);
    MainWindow& w = f.window();
    // F1 in the main window: its own page, or the page of the grid's current column.
    const QString main_page =
        QString("%1.html").arg(FilterHelpRequest(kHelpMainWindow, w.view()->CurrentHelpId()));
    for (const QString& page : {QString("index.html"), main_page, QString("131241.html")}) {
      std::ofstream(f.app.help_dir + "/" + page.toStdString()) << "<html><body>page</body></html>";
    }
    w.RunCommand(kCmdHelp);
    QCOMPARE(w.help_window()->current_page(), main_page);
    w.ShowHelp(131246);
    QCOMPARE(w.help_window()->current_page(), QString("index.html"));
    w.RunCommand(kCmdHelpTopics);
    QCOMPARE(w.help_window()->current_page(), QString("index.html"));
    // F1 in a dialog opens the dialog's page (0x20000 + its id).
    WhenModal([&w](QWidget* dialog) {
      QTest::keyClick(dialog->findChild<QCheckBox*>("item0"), Qt::Key_F1);
      // Opened in a window of the dialog, which the dialog does not block.
      auto* help = dialog->findChild<ql40::ui::HelpWindow*>();
      QVERIFY(help != nullptr);
      QCOMPARE(help->current_page(), QString("131241.html"));
      static_cast<QDialog*>(dialog)->reject();
    });
    w.RunCommand(kCmdVisible);
    QCOMPARE(w.last_help_page(), QString("131241.html"));
    // Any dialog that carries its id: a dialog of another part, without a page here.
    QDialog other(&w);
    other.setObjectName("158");
    auto* field = new QLineEdit(&other);
    WhenModal([&](QWidget* dialog) {
      QTest::keyClick(field, Qt::Key_F1);
      static_cast<QDialog*>(dialog)->reject();
    });
    other.exec();
    QCOMPARE(w.last_help_page(), QString("index.html"));
  }

  // An upload replaces the document, keeps a backup of what was read and is one undo step; a
  // failed one leaves the document and makes no backup.
  void uploadFromTheSimulatedRadioKeepsABackup() {
    sim::RadioOptions options;
    options.serial = "1K000077";
    QL40_START_RADIO(radio, options, sim::BuiltInRadioImage(options));
    Fixture f(Answer::kOk);
    const std::string file = WriteCodeplug(f.dir, "mine.q40", 0x04);
    LoadCodeplug(f.app.doc, file, f.app.files, f.prompter);
    const Image opened = f.app.doc.image;
    f.app.port_names.SetDevice(1, radio->device_path());
    MainWindow& w = f.window();
    w.RunCommand(kCmdUpload);
    QVERIFY(f.prompter.Saw(res::kStrUploadCompleted));
    QCOMPARE(f.app.doc.identity.serial_number, std::string("1K000077"));
    QVERIFY(f.app.doc.radio_origin);
    QCOMPARE(f.app.doc.path, std::string(res::kNoPath));
    QVERIFY(!f.app.doc.modified);
    QVERIFY(w.statusBar()->currentMessage().endsWith("-1K000077-read.q40"));
    int backups = 0;
    for (const auto& entry : std::filesystem::directory_iterator(f.app.backup_dir)) {
      QVERIFY(entry.path().filename().string().find("-1K000077-read.q40") != std::string::npos);
      ++backups;
    }
    QCOMPARE(backups, 1);

    w.RunCommand(kCmdDownload);
    QVERIFY(f.prompter.Saw(res::kStrDownloadCompleted));
    QCOMPARE(radio->stats().downloads_completed, 1);
    QCOMPARE(std::distance(std::filesystem::directory_iterator(f.app.backup_dir), {}),
             std::ptrdiff_t{2});

    // The same radio later, left half-written by a download from elsewhere: the upload names
    // the backup of what this program last sent to it.
    std::string sent;
    for (const auto& entry : std::filesystem::directory_iterator(f.app.backup_dir)) {
      if (entry.path().string().ends_with("-write.q40")) sent = entry.path().string();
    }
    Image memory = sim::BuiltInRadioImage(options);
    memory[254] = memory[255] = 0xFF;  // the download marker: being written
    QL40_START_RADIO(half, options, memory);
    f.app.port_names.SetDevice(1, half->device_path());
    f.prompter = ScriptedPrompter({}, Answer::kOk);
    w.RunCommand(kCmdUpload);
    QVERIFY(f.prompter.Saw(ql40::shell::kStrRadioHalfWritten));
    QCOMPARE(f.prompter.messages().back().args, std::vector<std::string>{sent});
    QVERIFY(w.statusBar()->currentMessage().endsWith("-1K000077-read-half-written.q40"));

    // Undone twice: the codeplug of the file, with its flags and tied to the file again
    // (title and Save).
    w.RunCommand(kCmdUndo);
    w.RunCommand(kCmdUndo);
    f.app.doc.CommitToImage();
    QVERIFY(f.app.doc.image == opened);
    QVERIFY(f.app.doc.file_loaded && !f.app.doc.radio_origin);
    QCOMPARE(f.app.doc.path, file);
    QVERIFY(w.windowTitle().startsWith(QString::fromStdString(file + " - ")));
    // A port that is not there: said so, the file's codeplug stays, and no backup is made.
    f.app.port_names.SetDevice(1, f.dir.File("no-such-port"));
    w.RunCommand(kCmdToolbarUpload);
    QVERIFY(f.prompter.Saw(res::kStrProblemWithComPort));
    QVERIFY(f.app.doc.image == opened);
    QVERIFY(f.app.doc.file_loaded && !f.app.doc.radio_origin);
    QCOMPARE(std::distance(std::filesystem::directory_iterator(f.app.backup_dir), {}),
             std::ptrdiff_t{3});
  }

  void alignmentWriteBackIsBackedUp() {
    sim::RadioOptions options;
    options.serial = "1K000078";
    QL40_START_RADIO(radio, options, sim::BuiltInRadioImage(options));
    Fixture f(Answer::kOk);
    f.app.port_names.SetDevice(1, radio->device_path());
    MainWindow& w = f.window();
    // The alignment dialog, once it is up, ends with OK.
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal->objectName() != "TransferDialog") {
        timer->stop();
        timer->deleteLater();
        static_cast<QDialog*>(modal)->accept();
      }
    });
    timer->start(20);
    w.RunCommand(kCmdFineAlignment);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(f.app.backup_dir)) {
      names.push_back(entry.path().filename().string().substr(16));
    }
    std::sort(names.begin(), names.end());
    QCOMPARE(names, (std::vector<std::string>{"1K000078-align-write.q40", "1K000078-read.q40"}));
  }

  // make run's radio holds a dealer's codeplug, kept in the repository as JSON: the first
  // Upload shows groups, tags, tones, codes, narrow channels, priorities and scan lists.
  void theDemoRadioUploadsLikeAProgrammedRadio() {
    sim::RadioOptions options;
    Image image{};
    std::optional<double> split;
    std::string error;
    QVERIFY2(sim::ReadRadioJson(QL40_SOURCE_DIR "/apps/ql40-radiosim/demo-radio.json", options,
                                image, split, &error),
             error.c_str());
    QL40_START_RADIO(radio, options, image);
    Fixture f(Answer::kOk);
    f.app.port_names.SetDevice(1, radio->device_path());
    MainWindow& w = f.window();
    w.RunCommand(kCmdUpload);
    QVERIFY(f.prompter.Saw(res::kStrUploadCompleted));
    const Codeplug& doc = f.app.doc;
    const ChannelTable& table = doc.channels;
    QVERIFY(table.total >= 40);
    QVERIFY(std::count_if(table.count.begin(), table.count.end(), [](int n) { return n > 0; }) >=
            4);
    QVERIFY(std::count(table.priority.begin(), table.priority.end(), 0) < 20);
    std::set<std::string> tags, seen;  // seen: "column text" pairs of the channels
    for (int ch = 0; ch < table.total; ++ch) {
      tags.insert(GridCellText(doc, ch, kColTag));
      for (int column : {kColWideNarrow, kColSubAudioType, kColScan, kColAni, kColTransmit}) {
        seen.insert(std::to_string(column) + " " + GridCellText(doc, ch, column));
      }
    }
    QCOMPARE(int(tags.size()), table.total);
    for (const char* wanted : {"2 N", "6 CTCSS", "6 DCS", "13 B", "16 v", "5 ---.-----"}) {
      QVERIFY2(seen.count(wanted) == 1, wanted);
    }
    // The grid shows the first group of them.
    auto* view = static_cast<ql40::ui::ChannelView*>(w.view());
    QCOMPARE(view->model()->rowCount(), table.count[0]);
    QVERIFY(view->groupLine()->text().contains("DEPOT"));
  }
};

QTEST_MAIN(ShellMainWindowTest)
#include "shell_main_window_test.moc"
