#pragma once

// The program's string table: every message, prompt and caption by its id.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql40::res {

// Ids the radio software has always used keep their numbers; texts that never had a number
// of their own are numbered from 61440 up.
enum StringId : int {
  kStrTooManyChannels = 6,
  kStrProblemOpeningFileName = 32,
  kStrProblemWritingFile = 33,
  kStrProblemReadingFile = 34,
  kStrProblemOpeningFile = 35,
  kStrWriteDefaultFile = 36,
  kStrFileFormatInvalid = 37,
  kStrFileReadOnly = 49,
  kStrChangeBand = 50,
  kStrChangeProductType = 51,
  kStrDualWatchNeedsPri = 52,
  kStrCopyChannel = 53,
  kStrVersionNumber = 120,
  kStrDocTemplate = 128,
  kStrMainTitle = 129,
  kStrAboutTitle = 1006,
  kStrKeyOperation = 59143,

  // Clone protocol and transfer dialog.
  kStrUploadFunction = 61440,
  kStrDownloadFunction,
  kStrSwitchOffOnUpload,
  kStrSwitchOffOnDownload,
  kStrPleaseWait,
  kStrProblemWithComPort,
  kStrCheckLead,
  kStrUploadError,
  kStrDownloadError,
  kStrProductCodeDetected,
  kStrHardwareMismatch1,
  kStrHardwareMismatch,
  kStrHardwareMismatch2,
  kStrAdjustChecksumMismatch,
  kStrCommunicationError,
  kStrUploadCompleted,
  kStrDownloadCompleted,
  kStrChangeChannelError,
  kStrAdjustmentTitle,
  kStrUpdateChannels,
  kStrNowUploadingChannels,
  kStrProductCodeLog,
};

// The text of a string id, or nothing when the table has no such string.
std::optional<std::string_view> LoadString(int id);

// The text of a string id with "%1", "%2", ... replaced by the arguments; "" when missing.
std::string FormatString(int id, std::initializer_list<std::string_view> args = {});

// Replaces "%1", "%2", ... in a text by the arguments (a missing argument leaves the marker).
std::string FormatText(std::string_view text, const std::vector<std::string>& args);

}  // namespace ql40::res
