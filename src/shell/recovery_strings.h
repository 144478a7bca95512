#pragma once

// String ids of recovering unsaved work and of the radio's own state after an interrupted
// download (texts in resources/strings_recovery.cpp).

namespace ql40::shell {

enum RecoveryStringId : int {
  kStrRecoverOffer = 63600,      // %1 the document, %2 when its copy was made
  kStrRecoveryDamaged,           // %1 where the file went, %2 what is wrong with it
  kStrRecoveryNotKept,           // %1 the document, %2 the backups folder
  kStrRecoveryKept,              // %1 the codeplug file written into the backups folder
  kStrRecoveryWriteFailed,       // %1 the reason
  kStrRecoveryRadioTitle,        // %1 the radio's serial number
  kStrRadioHalfWritten,          // %1 the backup with the last complete codeplug
  kStrRadioHalfWrittenNoBackup,  // %1 the serial number, %2 the backups folder
  kStrDownloadInterrupted,       // %1 the backup of what was being sent
};

}  // namespace ql40::shell
