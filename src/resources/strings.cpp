#include "resources/strings.h"

#include <algorithm>
#include <vector>

namespace ql40::res {
namespace {

struct Entry {
  int id;
  std::string_view text;
};

// Sorted by id.
constexpr Entry kTable[] = {
    {kStrTooManyChannels, "Too many channels"},
    {kStrProblemOpeningFileName, "Problem opening file\r\nFile Name = %1"},
    {kStrProblemWritingFile, "Problem writing to file"},
    {kStrProblemReadingFile, "Problem reading from file\r\nFile Name = %1"},
    {kStrProblemOpeningFile, "Problem opening file\r\n%1"},
    {kStrWriteDefaultFile, "Do  you want to write default file?"},
    {kStrFileFormatInvalid,
     "The File cannot be Opened.\r\nThe File's format is invalid or not Supported"},
    {kStrFileReadOnly, "The File's attribute is Read_Only.\r\nFile Name = %1"},
    {kStrChangeBand, "Change frequency band?\r\nFrequencies will be invalid"},
    {kStrChangeProductType, "Change producr type?\r\nSome channels will be invalid"},
    {kStrDualWatchNeedsPri,
     "One of key function is set to Dual Watch,\r\nPlease make sure at least one Group is PRI\r\n"
     "Enabled.  To set PRI, please click ChAnnel\r\nfrom top of main screen, next select Channel\r\n"
     "Allocations, then press <SPACE> to Enable PRI."},
    {kStrCopyChannel, "Do you copy Ch%1 data to Ch %2?\n(Only visible columns)"},
    {kStrVersionNumber, "1.25.1"},
    {kStrDocTemplate,
     "QL40Win for PT-410/610(M)\n\nQL40 for PT-410/610 (M)\n\n\nQL40.Document\nQL40 Document"},
    {kStrMainTitle, "QL40Win for PT-410/PT-610"},
    {kStrAboutTitle, "QL40 Ver%1w"},
    {kStrKeyOperation, "[ Key Operation ]"},
    {kStrUploadFunction, "Upload Function"},
    {kStrDownloadFunction, "Download Function"},
    {kStrSwitchOffOnUpload, "Switch radio OFF, then back ON to start uploading"},
    {kStrSwitchOffOnDownload, "Switch radio OFF, then back ON to start downloading"},
    {kStrPleaseWait, "Please wait"},
    {kStrProblemWithComPort, "Problem with COM port"},
    {kStrCheckLead, "Check that lead is connected to COM%1"},
    {kStrUploadError, "Upload Error!"},
    {kStrDownloadError, "Download Error!"},
    {kStrProductCodeDetected, "Product Code was detected."},
    {kStrHardwareMismatch1, "Hardware configuration mismatched! 1"},
    {kStrHardwareMismatch, "Hardware configuration mismatched!"},
    {kStrHardwareMismatch2, "Hardware configuration mismatched! 2"},
    {kStrAdjustChecksumMismatch, "Adjustment Data Checksum mismatched!"},
    {kStrCommunicationError, "Communication Error!"},
    {kStrUploadCompleted, "Upload is completed"},
    {kStrDownloadCompleted, "Download is completed"},
    {kStrChangeChannelError, "Change Channel  Error."},
    {kStrAdjustmentTitle, "Adjustment"},
    {kStrUpdateChannels, "Update Channels"},
    {kStrNowUploadingChannels, "Now Channel Data Uploading..."},
    {kStrProductCodeLog, "Product Code = %1\n"},
};

constexpr bool IsSorted() {
  for (std::size_t i = 1; i < std::size(kTable); ++i) {
    if (kTable[i - 1].id >= kTable[i].id) return false;
  }
  return true;
}
static_assert(IsSorted(), "string table must be sorted by id without duplicates");

}  // namespace

std::optional<std::string_view> LoadString(int id) {
  auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                             [](const Entry& e, int v) { return e.id < v; });
  if (it == std::end(kTable) || it->id != id) return std::nullopt;
  return it->text;
}

std::string FormatText(std::string_view text, const std::vector<std::string>& list) {
  std::string out;
  out.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < list.size()) {
        out += list[n];
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string FormatString(int id, std::initializer_list<std::string_view> args) {
  auto text = LoadString(id);
  if (!text) return {};
  return FormatText(*text, std::vector<std::string>(args.begin(), args.end()));
}

}  // namespace ql40::res
