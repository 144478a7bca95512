#pragma once

// The main window's command ids, which commands the installed option unit enables, and what
// the main window does around each dialog.

#include <cstdint>
#include <span>

#include "codeplug/codeplug.h"

namespace ql40::shell {

enum CommandId : int {
  // File
  kCmdNew = 57600,
  kCmdOpen = 57601,
  kCmdSave = 57603,
  kCmdSaveAs = 57604,
  kCmdPrintSetup = 57606,
  kCmdPrint = 57607,
  kCmdPrintPreview = 57609,
  kCmdRecentFile1 = 57616,
  kCmdExit = 57665,
  kCmdConfigure = 32842,
  // Not in the original menus: File > Export PDF, Help > Open Backups Folder.
  kCmdExportPdf = 62150,
  kCmdOpenBackups = 62151,
  // Edit
  kCmdCopy = 57634,
  kCmdCut = 57635,
  kCmdPaste = 57637,
  kCmdUndo = 57643,
  // View
  kCmdViewToolbar = 59392,
  kCmdViewStatusBar = 59393,
  kCmdVisible = 32828,
  kCmdFirstColumn = 32800,  // 32800..32815, one per column flag
  kCmdLastColumn = 32815,
  // Common
  kCmdHardware = 32772,
  kCmdOption = 32773,
  kCmdScanning = 32774,
  kCmdPowerSaving = 32775,
  kCmdFrontPanel = 32776,
  kCmdKeyFunction = 32777,
  kCmdEmergency = 32778,
  kCmdMarketing = 32779,
  kCmdMiscellaneous = 32780,
  // Signalling
  kCmdAni = 32783,
  kCmdDtmf = 32784,
  kCmdDtmfCode = 32785,
  kCmdPagingCode = 32786,
  kCmdTwoTone = 32787,
  kCmdTwoToneTable = 32788,
  // Radio
  kCmdUpload = 32820,
  kCmdDownload = 32821,
  kCmdBasicAlignment = 32822,
  kCmdFineAlignment = 32823,
  kCmdToolbarUpload = 32833,
  kCmdToolbarDownload = 32834,
  // Channel
  kCmdChannelAllocations = 32830,
  // Help
  kCmdHelpTopics = 57667,
  kCmdHelp = 57670,
  kCmdDefaultHelp = 57671,
  kCmdGetStarted = 32840,
  kCmdAbout = 32841,
  kCmdToolbarAbout = 57664,
  kCmdNextPane = 57680,
  kCmdPrevPane = 57681,
  // Status bar clock pane.
  kClockPane = 59142,
};

// Enabled state of a command by the codeplug's option unit and image byte 27 (bit 1 set: no
// DTMF receiver, so no paging). Commands outside the masked groups are always enabled.
bool CommandEnabled(int command_id, int option_unit, std::uint8_t byte27);
bool CommandEnabled(int command_id, const Codeplug& doc);

// Upload, Download and their toolbar twins map to the menu command.
int CanonicalCommand(int command_id);

// The column flag of a View > Item command, or -1.
int ColumnFlagOf(int command_id);

// What the main window runs after a dialog, the last step of every dialog command.
enum class Refresh : int { kNone = 0, kRebuildGrid = 1, kHeader = 2, kBandChange = 4 };

// What a dialog reported.
struct DialogReport {
  bool accepted = false;
  bool band_changed = false;
  bool product_changed = false;
  bool hardware_changed = false;
};

struct AfterDialog {
  Refresh refresh = Refresh::kNone;
  bool reset_group = false;  // the grid goes back to group 1
};

// True for the Common and Signalling commands and Channel Allocations: commands that run a
// dialog over the image.
bool IsDialogCommand(int command_id);
// Before the dialog: the records go into the image, which the dialog decodes.
void BeforeDialog(int command_id, Codeplug& doc);
// After the dialog: the document steps of the command and the refresh to run.
AfterDialog AfterDialogCommand(int command_id, const DialogReport& report, Codeplug& doc);

}  // namespace ql40::shell
