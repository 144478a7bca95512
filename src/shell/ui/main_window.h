#pragma once

// The main window: menus, toolbar, status bar with the clock, the channel view, and the
// dispatch of every command to its dialog, file operation, Radio command or printing.

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "codeplug/prompter.h"
#include "link/serial_port.h"
#include "shell/app_context.h"
#include "shell/backups.h"
#include "shell/chirp_preview.h"
#include "shell/commands.h"
#include "shell/ini_file.h"
#include "shell/recovery.h"
#include "shell/startup.h"
#include "shell/ui/hooks.h"

class QAction;
class QMenu;

namespace ql40::ui {

class HelpWindow;

// exchange_commands.cpp: the file dialog and the lines dialog of the export, import and compare
// commands.
bool IsExchangeCommand(int command_id);
// The file a command names, and for Export Channels the format its file dialog's filter chose.
struct ExchangeFileChoice {
  ExchangeFileChoice(std::string file, bool chirp_plan = false)
      : path(std::move(file)), chirp(chirp_plan) {}
  std::string path;
  bool chirp = false;
};
std::optional<ExchangeFileChoice> AskExchangeFile(QWidget* parent, int command_id);
void ShowLinesDialog(QWidget* parent, int command_id, const QString& headline,
                     const QStringList& lines);

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The INI file is where the Visible dialog and exit write (null: nowhere); the prompter shows
  // every message and question.
  MainWindow(shell::AppContext& app, Prompter& prompter, shell::IniFile* ini,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // The file dialogs; tests replace them. Each gives the chosen path or nothing for Cancel.
  using ChooseFile = std::function<std::optional<std::string>(QWidget* parent)>;
  void set_choose_open(ChooseFile f) { choose_open_ = std::move(f); }
  void set_choose_save_as(ChooseFile f) { choose_save_as_ = std::move(f); }
  void set_choose_pdf(ChooseFile f) { choose_pdf_ = std::move(f); }
  // The file of an export, import or compare command (the command's id tells which).
  using ChooseExchangeFile =
      std::function<std::optional<ExchangeFileChoice>(QWidget* parent, int command_id)>;
  void set_choose_exchange_file(ChooseExchangeFile f) { choose_exchange_ = std::move(f); }
  // Shows a headline and its lines (refused values, differences) in a dialog; tests replace it.
  using ShowLines = std::function<void(QWidget* parent, int command_id, const QString& headline,
                                       const QStringList& lines)>;
  void set_show_lines(ShowLines f) { show_lines_ = std::move(f); }
  // The preview of a CHIRP plan import; true for OK. Tests replace it.
  using PreviewChirp = std::function<bool(QWidget* parent, shell::ChirpImportPreview& preview)>;
  void set_preview_chirp(PreviewChirp f) { preview_chirp_ = std::move(f); }
  // How transfers open the port; by default the system port behind the configured COM number.
  void set_port_opener(link::PortOpener f) { port_opener_ = std::move(f); }

  QAction* action(int command_id) const { return actions_.value(command_id, nullptr); }
  ChannelViewBase* view() const { return view_; }
  HelpWindow* help_window() const { return help_; }
  // The page the last help request opened, in whichever help window.
  QString last_help_page() const { return last_help_page_; }
  QLabel* clock_pane() const { return clock_; }

  // Runs a command as its menu item, toolbar button or accelerator would.
  void RunCommand(int command_id);
  // Enables the commands for the codeplug's option unit and checks the column items.
  void UpdateCommandStates();
  // Title, view and command states after the document was replaced or changed.
  void RefreshAll(bool reset_group);
  void ShowHelp(int context);
  void ShowStatus(const QString& text);
  // Size and position before the first show.
  void ApplyWindowSettings(const shell::WindowSettings& window);
  shell::WindowSettings CurrentWindowSettings() const;
  // A later copy of the program asked for this window.
  void BringToFront();
  // A later copy was started with this file: opened as File > Open opens it (the changes of
  // the codeplug shown are asked about first); not while a dialog is open, which is said.
  void OpenFileOfLaterCopy(const QString& file);
  // The INI keys of exit; also run by closing the window.
  void SaveSettings();
  // The close question of a modified codeplug (Yes saves, No gives the changes up); true when
  // the program may end. Also asked when the session ends, where the platform lets it ask.
  bool ConfirmClose();
  // The last close question let the program end, and the document is still as it was then.
  bool CloseConfirmed() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void BuildActions();
  void BuildFileAndEditActions();
  void BuildViewActions();
  void BuildDialogActions();
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  QAction* MakeAction(int command_id, int label_id, QList<QKeySequence> keys = {});
  // An action with keys only, no menu item; the window itself takes its keys.
  QAction* MakeKeyAction(int command_id, QList<QKeySequence> keys, std::function<void()> run);
  void UpdateTitle();
  void UpdateClock();
  // F10: the keyboard goes to the menu bar, its first menu open; again, it comes back.
  void MenuBarByKeyboard();

  // Command handlers.
  void FileNew();
  void FileOpen();
  void FileOpenRecent(int index);
  void OpenPath(const std::string& path);
  bool FileSave();
  bool FileSaveAs();
  void FileExportPdf();
  void FilePrintSetup();
  void EditCommand(int command_id);
  void DialogCommand(int command_id);
  void RunRefresh(const shell::AfterDialog& after);
  void Upload();
  void Download();
  void Alignment(bool fine);
  void Configure();
  void Visible();
  void ToggleColumn(int flag);
  void OpenFileData();
  void OpenBackups();
  void NotAvailable(int command_id);

  std::optional<std::string> ChooseSaveAs();
  link::TransferOutcome Transfer(link::TransferKind kind);
  // The path written, or empty (the failure is shown).
  std::string Backup(shell::BackupKind kind);
  // exchange_commands.cpp
  void ExchangeCommand(int command_id);
  void FleetCommand();

  shell::AppContext& app_;
  Prompter& prompter_;
  shell::IniFile* ini_;
  ChannelViewBase* view_ = nullptr;
  HelpWindow* help_ = nullptr;
  QHash<int, QAction*> actions_;
  QMenu* recent_menu_ = nullptr;
  QLabel* clock_ = nullptr;
  QTimer clock_timer_;
  ChooseFile choose_open_;
  ChooseFile choose_save_as_;
  ChooseFile choose_pdf_;
  ChooseExchangeFile choose_exchange_;
  ShowLines show_lines_;
  PreviewChirp preview_chirp_;
  link::PortOpener port_opener_;
  std::unique_ptr<link::SerialPort> link_;  // open only while a Radio command runs
  bool settings_saved_ = false;
  std::optional<shell::RecoveryData> close_confirmed_;  // the document the close question let go
  QString last_help_page_;
};

}  // namespace ql40::ui
