#include "shell/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTime>
#include <QToolBar>
#include <QUrl>
#include <ctime>
#include <filesystem>

#include "codeplug/files.h"
#include "link/clone_session.h"
#include "link/transfer_runner.h"
#include "resources/channel_labels.h"
#include "resources/labels.h"
#include "resources/strings.h"
#include "shell/backups.h"
#include "shell/document.h"
#include "shell/extras_ids.h"
#include "shell/help.h"
#include "shell/recovery_strings.h"
#include "shell/shell_strings.h"
#include "shell/ui/chirp_preview_dialog.h"
#include "shell/ui/file_data_dialog.h"
#include "shell/ui/help_window.h"
#include "shell/ui/shell_dialogs.h"

namespace ql40::ui {
namespace {

using namespace shell;

QString Text(int id) {
  return QString::fromStdString(res::FormatString(id));
}

// A menu text without its accelerator part and mnemonics, for messages.
QString PlainLabel(QString label) {
  label = label.left(label.indexOf('\t') < 0 ? label.size() : label.indexOf('\t'));
  label.remove('&');
  if (label.endsWith("...")) label.chop(3);
  return label;
}

std::optional<std::string> AskFile(QWidget* parent, bool save, int title_id, int filter_id,
                                   const QString& suffix) {
  QFileDialog dialog(parent, Text(title_id), QString(), Text(filter_id));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

#if defined(_WIN32)
constexpr const char* kCodeplugSuffix = "Q40";
#else
constexpr const char* kCodeplugSuffix = "q40";  // the default band files are lower case here
#endif

}  // namespace

MainWindow::MainWindow(AppContext& app, Prompter& prompter, IniFile* ini, QWidget* parent)
    : QMainWindow(parent), app_(app), prompter_(prompter), ini_(ini) {
  setObjectName("128");
  choose_open_ = [](QWidget* p) {
    return AskFile(p, false, kStrOpenTitle, kStrFileFilter, kCodeplugSuffix);
  };
  choose_save_as_ = [](QWidget* p) {
    return AskFile(p, true, kStrSaveAsTitle, kStrFileFilter, kCodeplugSuffix);
  };
  choose_pdf_ = [](QWidget* p) {
    return AskFile(p, true, kStrExportPdfTitle, kStrPdfFilter, "pdf");
  };
  choose_exchange_ = AskExchangeFile;
  show_lines_ = ShowLinesDialog;
  preview_chirp_ = RunChirpPreview;
  BuildActions();
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();

  view_ = CreateChannelView(app_, this);
  setCentralWidget(view_);
  connect(view_, &ChannelViewBase::fileDataRequested, this, &MainWindow::OpenFileData);
  connect(view_, &ChannelViewBase::statusMessage, this, &MainWindow::ShowStatus);
  connect(view_, &ChannelViewBase::documentChanged, this, &MainWindow::UpdateTitle);
  connect(view_, &ChannelViewBase::helpRequested, this, &MainWindow::ShowHelp);

  help_ = new HelpWindow(QString::fromStdString(app_.help_dir), this);
  // The frame swallows Shift+F1 wherever the focus is.
  qApp->installEventFilter(this);

  connect(&clock_timer_, &QTimer::timeout, this, &MainWindow::UpdateClock);
  clock_timer_.start(1000);
  UpdateClock();
  RefreshAll(true);
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  clock_timer_.stop();
}

QAction* MainWindow::MakeAction(int command_id, int label_id, QList<QKeySequence> keys) {
  QString label = Text(label_id);
  if (label.contains('\t')) label = label.left(label.indexOf('\t'));
  auto* action = new QAction(label, this);
  action->setObjectName(QString::number(command_id));
  action->setStatusTip(QString::fromStdString(CommandPrompt(command_id)));
  const QString tip = QString::fromStdString(CommandToolTip(command_id));
  if (!tip.isEmpty()) action->setToolTip(tip);
  if (!keys.isEmpty()) {
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
  }
  connect(action, &QAction::triggered, this, [this, command_id] { RunCommand(command_id); });
  actions_.insert(command_id, action);
  return action;
}

QAction* MainWindow::MakeKeyAction(int command_id, QList<QKeySequence> keys,
                                   std::function<void()> run) {
  auto* action = new QAction(this);
  action->setObjectName(QString::number(command_id));
  action->setShortcuts(keys);
  connect(action, &QAction::triggered, this, std::move(run));
  addAction(action);
  actions_.insert(command_id, action);
  return action;
}

void MainWindow::BuildActions() {
  BuildFileAndEditActions();
  BuildViewActions();
  BuildDialogActions();
  // F1 is help for the main window (or the grid's column); F6 and Shift+F6 move between panes.
  MakeKeyAction(kCmdHelp, {QKeySequence(Qt::Key_F1)}, [this] { RunCommand(kCmdHelp); });
  MakeKeyAction(kCmdNextPane, {QKeySequence(Qt::Key_F6)}, [this] { focusNextPrevChild(true); });
  MakeKeyAction(kCmdPrevPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)},
                [this] { focusNextPrevChild(false); });
  // The toolbar's own twins of Upload, Download and About.
  MakeAction(kCmdToolbarUpload, kStrItemUpload);
  MakeAction(kCmdToolbarDownload, kStrItemDownload);
  MakeAction(kCmdToolbarAbout, kStrItemAbout);
}

void MainWindow::BuildFileAndEditActions() {
  MakeAction(kCmdNew, kStrItemNew, {QKeySequence("Ctrl+N")});
  MakeAction(kCmdOpen, kStrItemOpen, {QKeySequence("Ctrl+O")});
  MakeAction(kCmdSave, kStrItemSave, {QKeySequence("Ctrl+S")});
  MakeAction(kCmdSaveAs, kStrItemSaveAs);
  MakeAction(kCmdPrint, kStrItemPrint, {QKeySequence("Ctrl+P")});
  MakeAction(kCmdPrintPreview, kStrItemPrintPreview);
  MakeAction(kCmdPrintSetup, kStrItemPrintSetup);
  MakeAction(kCmdExportPdf, kStrItemExportPdf);
  MakeAction(kCmdExportJson, kStrItemExportJson);
  MakeAction(kCmdImportJson, kStrItemImportJson);
  MakeAction(kCmdExportCsv, kStrItemExportCsv);
  MakeAction(kCmdImportCsv, kStrItemImportCsv);
  MakeAction(kCmdCompareFile, kStrItemCompareFile);
  MakeAction(kCmdFleet, kStrItemFleet);
  MakeAction(kCmdConfigure, kStrItemConfigure);
  MakeAction(kCmdExit, kStrItemExit);
  MakeAction(kCmdCopy, kStrItemCopy, {QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Insert")});
  MakeAction(kCmdPaste, kStrItemPaste, {QKeySequence("Ctrl+V"), QKeySequence("Shift+Insert")});
  // Cut and Undo have accelerators but no menu item.
  MakeKeyAction(kCmdCut, {QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")},
                [this] { RunCommand(kCmdCut); });
  MakeKeyAction(kCmdUndo, {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")},
                [this] { RunCommand(kCmdUndo); });
}

void MainWindow::BuildViewActions() {
  MakeAction(kCmdViewToolbar, kStrItemToolbar)->setCheckable(true);
  MakeAction(kCmdViewStatusBar, kStrItemStatusBar)->setCheckable(true);
  MakeAction(kCmdVisible, kStrItemVisible);
  for (int flag = 0; flag < 16; ++flag) {
    const int id = kCmdFirstColumn + flag;
    const auto name = res::kColumnGroupNames[static_cast<std::size_t>(flag)];
    auto* action = new QAction(QString::fromUtf8(name.data(), static_cast<int>(name.size())), this);
    action->setObjectName(QString::number(id));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_.insert(id, action);
  }
}

void MainWindow::BuildDialogActions() {
  const std::pair<int, int> dialogs[] = {
      {kCmdHardware, kStrItemHardware},
      {kCmdOption, kStrItemOption},
      {kCmdScanning, kStrItemScanning},
      {kCmdPowerSaving, kStrItemPowerSaving},
      {kCmdFrontPanel, kStrItemFrontPanel},
      {kCmdKeyFunction, kStrItemKeyFunction},
      {kCmdEmergency, kStrItemEmergency},
      {kCmdMarketing, kStrItemMarketing},
      {kCmdMiscellaneous, kStrItemMiscellaneous},
      {kCmdAni, kStrItemAni},
      {kCmdDtmf, kStrItemDtmf},
      {kCmdDtmfCode, kStrItemDtmfCode},
      {kCmdPagingCode, kStrItemPagingCode},
      {kCmdTwoTone, kStrItemTwoTone},
      {kCmdTwoToneTable, kStrItemTwoToneTable},
      {kCmdUpload, kStrItemUpload},
      {kCmdDownload, kStrItemDownload},
      {kCmdBasicAlignment, kStrItemBasicAlignment},
      {kCmdFineAlignment, kStrItemFineAlignment},
      {kCmdChannelAllocations, kStrItemChannelAllocations},
      {kCmdHelpTopics, kStrItemHelpTopics},
      {kCmdGetStarted, kStrItemGetStarted},
      {kCmdAbout, kStrItemAbout},
      {kCmdOpenBackups, kStrItemOpenBackups},
  };
  for (auto [id, label] : dialogs) MakeAction(id, label);
}

void MainWindow::BuildMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
    for (int id : ids) {
      if (id == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(actions_[id]);
      }
    }
  };
  QMenu* file = menuBar()->addMenu(Text(kStrMenuFile));
  add(file, {kCmdNew, kCmdOpen, kCmdSave, kCmdSaveAs, 0, kCmdPrint, kCmdPrintPreview,
             kCmdPrintSetup, kCmdExportPdf, 0, kCmdExportJson, kCmdImportJson, kCmdExportCsv,
             kCmdImportCsv, kCmdCompareFile, 0, kCmdConfigure, 0});
  recent_menu_ = file;
  for (int i = 0; i < static_cast<int>(app_.recent_files.size()) && i < kRecentFileCount; ++i) {
    const QString path = QString::fromStdString(app_.recent_files[static_cast<std::size_t>(i)]);
    auto* recent = file->addAction(QString("&%1 %2").arg(i + 1).arg(path));
    recent->setObjectName(QString::number(kCmdRecentFile1 + i));
    recent->setStatusTip(QString::fromStdString(CommandPrompt(kCmdRecentFile1)));
    connect(recent, &QAction::triggered, this, [this, i] { FileOpenRecent(i); });
    actions_.insert(kCmdRecentFile1 + i, recent);
  }
  if (!app_.recent_files.empty()) file->addSeparator();
  add(file, {kCmdExit});

  add(menuBar()->addMenu(Text(kStrMenuEdit)), {kCmdCopy, kCmdPaste});
  QMenu* view = menuBar()->addMenu(Text(kStrMenuView));
  add(view, {kCmdViewToolbar, kCmdViewStatusBar});
  QMenu* item = view->addMenu(Text(kStrMenuItem));
  item->addAction(actions_[kCmdVisible]);
  item->addSeparator();
  for (int id = kCmdFirstColumn; id <= kCmdLastColumn; ++id) item->addAction(actions_[id]);
  add(menuBar()->addMenu(Text(kStrMenuCommon)),
      {kCmdHardware, kCmdOption, kCmdScanning, kCmdPowerSaving, kCmdFrontPanel, kCmdKeyFunction,
       kCmdEmergency, kCmdMarketing, kCmdMiscellaneous});
  add(menuBar()->addMenu(Text(kStrMenuSignalling)),
      {kCmdAni, kCmdDtmf, kCmdDtmfCode, kCmdPagingCode, kCmdTwoTone, kCmdTwoToneTable});
  add(menuBar()->addMenu(Text(kStrMenuRadio)),
      {kCmdUpload, kCmdDownload, kCmdFleet, 0, kCmdBasicAlignment, kCmdFineAlignment});
  add(menuBar()->addMenu(Text(kStrMenuChannel)), {kCmdChannelAllocations});
  add(menuBar()->addMenu(Text(kStrMenuHelp)),
      {kCmdHelpTopics, kCmdGetStarted, 0, kCmdOpenBackups, 0, kCmdAbout});
}

void MainWindow::BuildToolBar() {
  QToolBar* bar = addToolBar(QString());
  bar->setObjectName("toolbar");
  bar->setIconSize(QSize(16, 15));
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto* style = QApplication::style();
  actions_[kCmdNew]->setIcon(style->standardIcon(QStyle::SP_FileIcon));
  actions_[kCmdOpen]->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
  actions_[kCmdSave]->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
  for (int id : std::initializer_list<int>{kCmdNew, kCmdOpen, 0, kCmdSave, 0, kCmdCopy, kCmdPaste,
                                           0, kCmdPrint, 0, kCmdToolbarUpload, kCmdToolbarDownload,
                                           kCmdToolbarAbout}) {
    if (id == 0) {
      bar->addSeparator();
    } else {
      bar->addAction(actions_[id]);
    }
  }
  actions_[kCmdViewToolbar]->setChecked(true);
  connect(bar, &QToolBar::visibilityChanged, actions_[kCmdViewToolbar], &QAction::setChecked);
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("statusbar");
  for (int id : {kStrPaneCap, kStrPaneNum, kStrPaneScrl}) {
    auto* pane = new QLabel(Text(id), bar);
    pane->setObjectName(Text(id));
    pane->setEnabled(false);  // the lock keys' state is not known to a portable program
    bar->addPermanentWidget(pane);
  }
  clock_ = new QLabel(Text(kStrClockInitial), bar);
  clock_->setObjectName(QString::number(kClockPane));
  clock_->setMinimumWidth(clock_->fontMetrics().horizontalAdvance(" 00:00") + 8);
  bar->addPermanentWidget(clock_);
  actions_[kCmdViewStatusBar]->setChecked(true);
  ShowStatus(Text(kStrIdlePrompt));
}

void MainWindow::UpdateClock() {
  const QTime now = QTime::currentTime();
  clock_->setText(QString::fromStdString(ClockText(now.hour(), now.minute())));
}

void MainWindow::ShowStatus(const QString& text) {
  statusBar()->showMessage(text);
}

void MainWindow::UpdateTitle() {
  setWindowTitle(QString::fromStdString(WindowTitle(app_.doc.path, app_.maintenance)));
}

void MainWindow::UpdateCommandStates() {
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    const int flag = ColumnFlagOf(it.key());
    if (flag >= 0) {
      it.value()->setChecked(app_.ColumnVisible(flag));
    } else {
      it.value()->setEnabled(CommandEnabled(it.key(), app_.doc));
    }
  }
}

void MainWindow::RefreshAll(bool reset_group) {
  if (reset_group) app_.doc.channels.SelectGroup(0);
  view_->Rebuild(reset_group);
  view_->ApplyColumnVisibility();
  view_->RedrawHeader();
  UpdateTitle();
  UpdateCommandStates();
}

void MainWindow::RunCommand(int command_id) {
  const int id = CanonicalCommand(command_id);
  if (!CommandEnabled(id, app_.doc)) return;
  if (ColumnFlagOf(id) >= 0) return ToggleColumn(ColumnFlagOf(id));
  if (IsDialogCommand(id)) return DialogCommand(id);
  if (IsExchangeCommand(id)) return ExchangeCommand(id);
  switch (id) {
    case kCmdNew:
      return FileNew();
    case kCmdOpen:
      return FileOpen();
    case kCmdSave:
      FileSave();
      return;
    case kCmdSaveAs:
      FileSaveAs();
      return;
    case kCmdPrint:
    case kCmdPrintPreview:
      // A preview ends as a print does: the printer it used is remembered and shown.
      (id == kCmdPrint ? PrintReport : PrintPreview)(this, app_);
      view_->RedrawHeader();
      return;
    case kCmdPrintSetup:
      return FilePrintSetup();
    case kCmdExportPdf:
      return FileExportPdf();
    case kCmdConfigure:
      return Configure();
    case kCmdExit:
      close();
      return;
    case kCmdCopy:
    case kCmdPaste:
    case kCmdCut:
    case kCmdUndo:
      return EditCommand(id);
    case kCmdViewToolbar:
      findChild<QToolBar*>("toolbar")->setVisible(actions_[kCmdViewToolbar]->isChecked());
      return;
    case kCmdViewStatusBar:
      statusBar()->setVisible(actions_[kCmdViewStatusBar]->isChecked());
      return;
    case kCmdVisible:
      return Visible();
    case kCmdUpload:
      return Upload();
    case kCmdDownload:
      return Download();
    case kCmdBasicAlignment:
      return Alignment(false);
    case kCmdFineAlignment:
      return Alignment(true);
    case kCmdHelpTopics:
    case kCmdDefaultHelp:
      return ShowHelp(0);
    case kCmdHelp:
      return ShowHelp(FilterHelpRequest(kHelpMainWindow, view_->CurrentHelpId()));
    case kCmdGetStarted: {
      GetStartedDialog dialog(this);
      dialog.exec();
      return;
    }
    case kCmdAbout: {
      AboutDialog dialog(this);
      dialog.exec();
      return;
    }
    case kCmdOpenBackups:
      return OpenBackups();
    case kCmdFleet:
      return FleetCommand();
    default:
      return;
  }
}

// --- File ------------------------------------------------------------------------------------

std::optional<std::string> MainWindow::ChooseSaveAs() {
  return choose_save_as_ ? choose_save_as_(this) : std::nullopt;
}

void MainWindow::FileNew() {
  if (NewCommand(app_.doc, app_.files, prompter_, [this] { return ChooseSaveAs(); })) {
    app_.doc.history.Clear();  // a new document has no past
    RefreshAll(true);
  }
}

void MainWindow::FileOpen() {
  const bool opened = OpenCommand(
      app_.doc, app_.files, prompter_,
      [this]() -> std::optional<std::string> {
        return choose_open_ ? choose_open_(this) : std::nullopt;
      },
      [this] { return ChooseSaveAs(); });
  if (!opened) return;
  app_.doc.history.Clear();
  RefreshAll(true);
}

void MainWindow::FileOpenRecent(int index) {
  if (index < 0 || index >= static_cast<int>(app_.recent_files.size())) return;
  OpenPath(app_.recent_files[static_cast<std::size_t>(index)]);
}

void MainWindow::OpenPath(const std::string& path) {
  if (!ConfirmDiscard(app_.doc, prompter_, [this] { return ChooseSaveAs(); })) return;
  app_.doc.modified = false;
  LoadDocument(app_.doc, path, app_.files, prompter_);
  app_.doc.history.Clear();
  RefreshAll(true);
}

void MainWindow::OpenFileOfLaterCopy(const QString& file) {
  // A dialog (a transfer, an alignment) is not to be pulled from under the user.
  if (QApplication::activeModalWidget() != nullptr) {
    ShowStatus(QStringLiteral("Not opened while a dialog is open: ") + file);
    return;
  }
  OpenPath(file.toStdString());
}

bool MainWindow::FileSave() {
  const bool saved = SaveCommand(app_.doc, prompter_);
  if (saved) app_.doc.history.MarkSaved(app_.doc);
  if (saved) RefreshAll(false);
  return saved;
}

bool MainWindow::FileSaveAs() {
  const bool saved = SaveAsCommand(app_.doc, prompter_, [this] { return ChooseSaveAs(); });
  if (saved) app_.doc.history.MarkSaved(app_.doc);
  if (saved) RefreshAll(false);
  return saved;
}

void MainWindow::FileExportPdf() {
  const auto path = choose_pdf_ ? choose_pdf_(this) : std::nullopt;
  if (!path) return;
  app_.doc.CommitToImage();
  if (ExportReportPdf(this, app_, QString::fromStdString(*path))) {
    ShowStatus(QString::fromStdString(*path));
  }
}

void MainWindow::FilePrintSetup() {
  QPrinter printer;
  if (!app_.printer_name.empty()) printer.setPrinterName(QString::fromStdString(app_.printer_name));
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  app_.printer_name = printer.outputFormat() == QPrinter::NativeFormat
                          ? printer.printerName().toStdString()
                          : std::string();
  view_->RedrawHeader();
}

void MainWindow::EditCommand(int command_id) {
  if (view_->RunEditCommand(command_id)) {
    // A step may give back another band, model or option unit, or the file an upload replaced.
    if (command_id == kCmdUndo) {
      view_->RedrawHeader();
      UpdateCommandStates();
      UpdateTitle();
    }
    return;
  }
  // The cell editor or any other text field with the focus.
  if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
    switch (command_id) {
      case kCmdCopy:
        edit->copy();
        break;
      case kCmdPaste:
        edit->paste();
        break;
      case kCmdCut:
        edit->cut();
        break;
      case kCmdUndo:
        edit->undo();
        break;
      default:
        break;
    }
  }
}

// --- Dialog commands -------------------------------------------------------------------------

void MainWindow::NotAvailable(int command_id) {
  const QAction* action = actions_.value(command_id);
  const QString name = action != nullptr ? PlainLabel(action->text()) : QString::number(command_id);
  ShowStatus(QString::fromStdString(res::FormatString(kStrNotAvailableYet, {name.toStdString()})));
}

void MainWindow::DialogCommand(int command_id) {
  // One undo step for whatever the dialog's OK changes, a band change included; a Cancel
  // leaves no step behind.
  app_.doc.history.Checkpoint(app_.doc);
  BeforeDialog(command_id, app_.doc);
  const bool signalling = command_id >= kCmdAni && command_id <= kCmdTwoToneTable;
  const std::optional<DialogOutcome> outcome = signalling
                                                   ? RunSignallingCommand(command_id, this, app_)
                                                   : RunSettingsCommand(command_id, this, app_);
  if (!outcome) {
    app_.doc.history.DropIfUnchanged(app_.doc);
    NotAvailable(command_id);
    UpdateCommandStates();
    return;
  }
  const DialogReport report{outcome->accepted, outcome->band_changed, outcome->product_changed,
                            outcome->hardware_changed};
  RunRefresh(AfterDialogCommand(command_id, report, app_.doc));
  app_.doc.history.DropIfUnchanged(app_.doc);
}

void MainWindow::RunRefresh(const AfterDialog& after) {
  switch (after.refresh) {
    case Refresh::kBandChange:
      ChangeBandFile(app_.doc, app_.files, prompter_);
      view_->Rebuild(true);
      break;
    case Refresh::kRebuildGrid:
      view_->Rebuild(after.reset_group);
      break;
    case Refresh::kHeader:
      view_->RedrawHeader();
      break;
    case Refresh::kNone:
      break;
  }
  UpdateTitle();
  UpdateCommandStates();
}

void MainWindow::Configure() {
  ConfigurationDialog dialog(app_, this);
  if (dialog.exec() == QDialog::Accepted) dialog.Store(app_);
  RunRefresh(AfterDialogCommand(kCmdConfigure, {true}, app_.doc));
}

void MainWindow::Visible() {
  VisibleDialog dialog(app_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Store(app_);
  view_->ApplyColumnVisibility();
  // Written at once, so a crash later does not lose the choice.
  if (ini_ != nullptr && !app_.ini_path.empty()) {
    WriteColumnKeys(*ini_, app_);
    ini_->Save(app_.ini_path);
  }
  UpdateCommandStates();
}

void MainWindow::ToggleColumn(int flag) {
  auto& value = app_.column_visibility[static_cast<std::size_t>(flag)];
  value = value != 0 ? 0 : 1;
  view_->ColumnGroupToggled(flag);  // a group shown again reads its menu name until a rebuild
  UpdateCommandStates();
}

void MainWindow::OpenFileData() {
  app_.doc.history.Checkpoint(app_.doc);
  RunFileData(this, app_.doc, app_.maintenance);
  app_.doc.history.DropIfUnchanged(app_.doc);
  view_->Rebuild(false);
  UpdateTitle();
  UpdateCommandStates();
}

void MainWindow::OpenBackups() {
  if (app_.backup_dir.empty()) return;
  QDir().mkpath(QString::fromStdString(app_.backup_dir));
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(app_.backup_dir)));
  ShowStatus(QString::fromStdString(app_.backup_dir));
}

// --- Radio -----------------------------------------------------------------------------------

link::TransferOutcome MainWindow::Transfer(link::TransferKind kind) {
  const SessionFactory factory = [this](link::TransferObserver* observer,
                                        const link::CancelToken* cancel) {
    link::CloneEnvironment env;
    if (port_opener_) {
      env.open_port = port_opener_;
    } else {
      const std::string device = app_.port_names.DeviceOf(app_.com_port);
      env.open_port = [device](int read_constant_ms, link::PortOpenError* error) {
        return link::OpenSystemPort(device, read_constant_ms, error);
      };
    }
    env.port_label = std::to_string(app_.com_port);
    env.prompter = &prompter_;
    env.observer = observer;
    env.cancel = cancel;
    env.maintenance = app_.maintenance;
    env.log_folder = app_.LogFolder();
    env.fast = app_.fast_transfer;
    return std::make_unique<link::CloneSession>(app_.doc, link_, env);
  };
  return RunTransferDialog(this, factory, kind);
}

std::string MainWindow::Backup(BackupKind kind) {
  if (app_.backup_dir.empty()) return {};
  SilentPrompter quiet;
  const auto& doc = app_.doc;
  const std::string path =
      WriteBackup(app_.backup_dir, doc.image, doc.default_split, DecodeSerialNumber(doc.image),
                  kind, std::time(nullptr), quiet);
  if (path.empty()) {
    prompter_.Show(kStrBackupFailed, MessageIcon::kExclamation, {app_.backup_dir});
  } else {
    const std::string name = std::filesystem::path(path).filename().string();
    ShowStatus(QString::fromStdString(res::FormatString(kStrBackupWritten, {name})));
  }
  return path;
}

void MainWindow::Upload() {
  // The codeplug read from the radio replaces the document: Undo gives the old one back.
  app_.doc.history.Checkpoint(app_.doc);
  const auto outcome =
      link::UploadCommand(app_.doc, [this](link::TransferKind kind) { return Transfer(kind); });
  if (outcome.succeeded && outcome.radio_half_written) {
    // Looked up before this read's own backup, which is not a whole codeplug.
    const Message notice = HalfWrittenNotice(app_.backup_dir, DecodeSerialNumber(app_.doc.image));
    Backup(BackupKind::kReadHalfWritten);
    prompter_.Ask(notice);
  } else if (outcome.succeeded) {
    Backup(BackupKind::kRead);
  }
  app_.doc.history.DropIfUnchanged(app_.doc);
  RefreshAll(true);
}

void MainWindow::Download() {
  std::string sent;
  const auto outcome = link::DownloadCommand(app_.doc, [this, &sent](link::TransferKind kind) {
    // The image exactly as it is about to go to the radio.
    sent = Backup(BackupKind::kWrite);
    return Transfer(kind);
  });
  RefreshAll(false);
  if (outcome.writing_interrupted && !sent.empty()) {
    const std::string name = std::filesystem::path(sent).filename().string();
    ShowStatus(QString::fromStdString(res::FormatString(kStrDownloadInterrupted, {name})));
  }
}

void MainWindow::Alignment(bool fine) {
  const auto transfer = [this](link::TransferKind kind) {
    // What the alignment writes back is kept like every image written to a radio.
    if (kind == link::TransferKind::kBasicWriteBack || kind == link::TransferKind::kFineWriteBack) {
      Backup(BackupKind::kAlignWrite);
    }
    const auto outcome = Transfer(kind);
    // The alignment reads the whole radio first: keep that too.
    if (kind == link::TransferKind::kAlignmentUpload && outcome.succeeded) {
      Backup(BackupKind::kRead);
    }
    return outcome;
  };
  app_.doc.history.Checkpoint(app_.doc);
  link::AlignmentCommand(app_.doc, fine, transfer, link_, &prompter_,
                         [this, fine](link::AlignmentLink& alignment, Codeplug& doc) {
                           return RunAlignmentDialog(fine, this, alignment, doc, app_);
                         });
  app_.doc.history.DropIfUnchanged(app_.doc);
  RefreshAll(true);
}

// --- Help, window ----------------------------------------------------------------------------

void MainWindow::ShowHelp(int context) {
  // A modal dialog blocks every window but its own children: asked from a dialog, the page
  // opens in a help window of that dialog, so that it can be scrolled and followed.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    auto* help = modal->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (help == nullptr) help = new HelpWindow(QString::fromStdString(app_.help_dir), modal);
    help->ShowContext(context);
    last_help_page_ = help->current_page();
    return;
  }
  help_->ShowContext(context);
  last_help_page_ = help_->current_page();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1 && (key->modifiers() & Qt::ShiftModifier)) {
      event->accept();
      return true;
    }
    // F10 takes the keyboard to the menu bar, wherever the focus is in this window or its
    // menus.
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier &&
        event->type() == QEvent::KeyPress && QApplication::activeModalWidget() == nullptr) {
      auto* widget = qobject_cast<QWidget*>(watched);
      while (widget != nullptr && widget != this) widget = widget->parentWidget();
      if (widget == this) {
        MenuBarByKeyboard();
        return true;
      }
    }
    // F1 in a dialog: the page of its context, 0x20000 plus the dialog id it carries as its
    // name. (Message boxes carry no number and get no help.)
    if (key->key() == Qt::Key_F1 && event->type() == QEvent::KeyPress) {
      QWidget* modal = QApplication::activeModalWidget();
      bool numeric = false;
      const int dialog_id = modal != nullptr ? modal->objectName().toInt(&numeric) : 0;
      // A dialog whose page is not its id's says so in its helpContext property.
      bool has_context = false;
      const int context = modal != nullptr ? modal->property("helpContext").toInt(&has_context) : 0;
      if (has_context && context > 0 && qobject_cast<QDialog*>(modal) != nullptr) {
        ShowHelp(FilterHelpRequest(context, 0));
        return true;
      }
      if (numeric && dialog_id > 0 && qobject_cast<QDialog*>(modal) != nullptr) {
        ShowHelp(FilterHelpRequest(DialogHelpContext(dialog_id), 0));
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::MenuBarByKeyboard() {
  QMenuBar* bar = menuBar();
  if (bar->actions().isEmpty()) return;
  if (QApplication::activePopupWidget() == nullptr && !bar->hasFocus()) {
    // The first menu opens, so that the user sees where the keyboard went (some styles draw
    // no mark on a title that is merely chosen); Left and Right go to the other menus.
    bar->setActiveAction(bar->actions().first());
    return;
  }
  // F10 again leaves the menus, submenus first; the focus goes back where it was.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  for (int level = 0; level < 4; ++level) {
    QWidget* menu = QApplication::activePopupWidget();
    if (menu == nullptr) break;
    QApplication::sendEvent(menu, &escape);
  }
  if (bar->hasFocus()) QApplication::sendEvent(bar, &escape);
}

bool MainWindow::event(QEvent* event) {
  // Leaving a menu item clears its prompt; the message pane then shows the idle text again.
  if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
    ShowStatus(Text(kStrIdlePrompt));
    return true;
  }
  return QMainWindow::event(event);
}

void MainWindow::ApplyWindowSettings(const WindowSettings& window) {
  Size screen{};
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    screen = {s->availableGeometry().width(), s->availableGeometry().height()};
  }
  const Size minimum = MinimumWindowSize(screen);
  setMinimumSize(minimum.width, minimum.height);
  const Size size = InitialWindowSize(window, screen);
  resize(size.width, size.height);
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(size.width / 2, size.height / 2));
  }
}

WindowSettings MainWindow::CurrentWindowSettings() const {
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  WindowSettings w;
  w.cx = normal.width() > 0 ? normal.width() : width();
  w.cy = normal.height() > 0 ? normal.height() : height();
  w.maximized = isMaximized();
  return w;
}

void MainWindow::BringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  if (QWidget* popup = QApplication::activeModalWidget()) {
    popup->raise();
    popup->activateWindow();
  }
}

void MainWindow::SaveSettings() {
  if (settings_saved_) return;
  settings_saved_ = true;
  clock_timer_.stop();
  if (ini_ == nullptr || app_.ini_path.empty()) return;
  WriteExitKeys(*ini_, app_, CurrentWindowSettings());
  ini_->Save(app_.ini_path);
}

bool MainWindow::ConfirmClose() {
  close_confirmed_.reset();
  if (!ConfirmDiscard(app_.doc, prompter_, [this] { return ChooseSaveAs(); })) return false;
  close_confirmed_ = CaptureRecovery(app_.doc, 0);
  return true;
}

bool MainWindow::CloseConfirmed() const {
  return close_confirmed_ && SameContent(*close_confirmed_, CaptureRecovery(app_.doc, 0));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Asked once: the session's end may have asked it already.
  if (!CloseConfirmed() && !ConfirmClose()) {
    event->ignore();
    return;
  }
  SaveSettings();
  help_->close();
  event->accept();
}

}  // namespace ql40::ui
