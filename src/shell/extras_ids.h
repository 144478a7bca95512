#pragma once
// Command and string ids of the codeplug-as-text commands (File menu) and of programming several
// radios at once (Radio menu). A command's status prompt is the string of the command's id.

namespace ql40::shell {

enum ExtrasCommandId : int {
  kCmdExportJson = 62152,
  kCmdImportJson = 62153,
  kCmdExportCsv = 62154,
  kCmdImportCsv = 62155,
  kCmdCompareFile = 62156,
  kCmdFleet = 62157,
};

enum ExtrasStringId : int {
  // Menu items.
  kStrItemExportJson = 62171,
  kStrItemImportJson,
  kStrItemExportCsv,
  kStrItemImportCsv,
  kStrItemCompareFile,
  kStrItemFleet,
  // File dialogs and messages.
  kStrJsonFilter,
  kStrCsvFilter,
  kStrCannotOpen,
  kStrCannotRead,
  kStrCannotWrite,
  kStrRefusedOne,
  kStrRefusedMany,
  kStrImported,
  kStrExported,
  kStrSameAsFile,
  kStrCompareHeading,
  // Program Several Radios.
  kStrFleetVerify,
  kStrFleetStart,
  kStrFleetClose,
  kStrFleetCancel,
  kStrFleetFolder,
  kStrFleetProgress,
  kStrFleetBrowse,
  kStrFleetSource,
  kStrFleetNoPorts,
  kStrProgramDespiteErrors,
  kStrImportedWithWarnings,
};

// Import of a CHIRP channel plan: the file dialogs and the preview of where each row goes.
enum ChirpStringId : int {
  kStrChannelsExportFilter = 62220,
  kStrChirpTitle,
  kStrChirpGroup,
  kStrChirpStart,
  kStrChirpHeadings,
  kStrChirpSkipped,
  kStrChirpGroupItem,
  kStrChirpReplaces,
};

}  // namespace ql40::shell
