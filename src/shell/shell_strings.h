#pragma once

// String ids of the main window's own texts that had no number of their own.

#include <string>

namespace ql40::shell {

enum ShellStringId : int {
  kStrSaveChanges = 62000,  // the save question, naming the current path
  kStrNotAvailableYet = 62001,
  kStrBackupFailed = 62002,
  kStrBackupWritten = 62003,
  kStrHelpWindowTitle = 62004,
  kStrHelpMissing = 62005,
  kStrFileFilter = 62006,
  kStrOpenTitle = 62007,
  kStrSaveAsTitle = 62008,
  kStrExportPdfTitle = 62009,
  kStrPdfFilter = 62010,
  kStrIdlePrompt = 62011,

  // Top-level menus.
  kStrMenuFile = 62020,
  kStrMenuEdit,
  kStrMenuView,
  kStrMenuItem,
  kStrMenuCommon,
  kStrMenuSignalling,
  kStrMenuRadio,
  kStrMenuChannel,
  kStrMenuHelp,

  // Menu items.
  kStrItemNew = 62040,
  kStrItemOpen,
  kStrItemSave,
  kStrItemSaveAs,
  kStrItemPrint,
  kStrItemPrintPreview,
  kStrItemPrintSetup,
  kStrItemConfigure,
  kStrItemExportPdf,
  kStrItemExit,
  kStrItemCopy,
  kStrItemPaste,
  kStrItemToolbar,
  kStrItemStatusBar,
  kStrItemVisible,
  kStrItemHardware,
  kStrItemOption,
  kStrItemScanning,
  kStrItemPowerSaving,
  kStrItemFrontPanel,
  kStrItemKeyFunction,
  kStrItemEmergency,
  kStrItemMarketing,
  kStrItemMiscellaneous,
  kStrItemAni,
  kStrItemDtmf,
  kStrItemDtmfCode,
  kStrItemPagingCode,
  kStrItemTwoTone,
  kStrItemTwoToneTable,
  kStrItemUpload,
  kStrItemDownload,
  kStrItemBasicAlignment,
  kStrItemFineAlignment,
  kStrItemChannelAllocations,
  kStrItemHelpTopics,
  kStrItemGetStarted,
  kStrItemAbout,
  kStrItemOpenBackups,

  // Dialogs.
  kStrConfigurationTitle = 62100,
  kStrSelectComPort,
  kStrCom1,
  kStrCom2,
  kStrCom3,
  kStrCom4,
  kStrComDevice,
  kStrVisibleTitle,
  kStrGetStartedTitle,
  kStrAboutCaption,
  kStrAboutProduct,
  kStrAboutRegion,
  kStrPasswordTitle,
  kStrPasswordLabel,
  kStrFileDataTitle,
  kStrFileDataReadOnly,
  kStrPaneCap,
  kStrPaneNum,
  kStrPaneScrl,
  kStrClockInitial,
  kStrFastTransfer,

  // Prompts of the commands that are new in this program; the id is the command's.
  kStrPromptExportPdf = 62150,
  kStrPromptOpenBackups = 62151,
};

// The status-bar prompt of a command: its string's text before "\n" (all of it when there is
// no "\n"); the tool tip: the text after it. Empty when the command has no string.
std::string CommandPrompt(int command_id);
std::string CommandToolTip(int command_id);

// The Get Started dialog's text: strings 100 to 111 with their paragraph breaks.
std::string GetStartedText();

}  // namespace ql40::shell
