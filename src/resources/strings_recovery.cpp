// Texts of recovering unsaved work and of radios left partly programmed.

#include "resources/string_areas.h"
#include "shell/recovery_strings.h"

namespace ql40::res {
namespace {

using namespace ql40::shell;

constexpr StringEntry kTable[] = {
    {kStrRecoverOffer,
     "QL40Win did not close normally. Recover the unsaved changes to %1 from %2?"},
    {kStrRecoveryDamaged,
     "Unsaved changes left by an earlier run cannot be recovered: their recovery file is "
     "damaged (%2).\r\nThe file was moved to\r\n%1"},
    {kStrRecoveryNotKept,
     "The unsaved changes to %1 could not be written into the backups folder\r\n%2\r\n"
     "They will be offered again at the next start."},
    {kStrRecoveryKept, "Unsaved changes kept in %1"},
    {kStrRecoveryWriteFailed, "Unsaved changes cannot be kept for recovery: %1"},
    {kStrRecoveryRadioTitle, "the codeplug read from radio %1"},
    {kStrRadioHalfWritten,
     "This radio was not completely programmed: a download to it was interrupted, so its "
     "memory is partly old and partly new.\r\nThe last complete codeplug for it is kept in\r\n"
     "%1\r\nOpen it and download it again."},
    {kStrRadioHalfWrittenNoBackup,
     "This radio was not completely programmed: a download to it was interrupted, so its "
     "memory is partly old and partly new.\r\nNo backup of a complete codeplug for serial "
     "number %1 was found in\r\n%2"},
    {kStrDownloadInterrupted,
     "The radio was left partly programmed; what was being sent is kept in %1"},
};
static_assert(SortedById(kTable));

}  // namespace

std::span<const StringEntry> RecoveryStrings() {
  return kTable;
}

}  // namespace ql40::res
