#include "resources/strings.h"

#include <algorithm>
#include <array>
#include <vector>

#include "resources/string_areas.h"

// The release number (string 120) is the build's project version.
#ifndef QL40_PROJECT_VERSION
#error "the build defines QL40_PROJECT_VERSION"
#endif

namespace ql40::res {
namespace {

// Sorted by id.
constexpr StringEntry kTable[] = {
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
     "Enabled.  To set PRI, please click ChAnnel\r\nfrom top of main screen, next select "
     "Channel\r\n"
     "Allocations, then press <SPACE> to Enable PRI."},
    {kStrCopyChannel, "Do you copy Ch%1 data to Ch %2?\n(Only visible columns)"},
    {kStrVersionNumber, QL40_PROJECT_VERSION},
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
    // Transfer dialog and printing (ui::kStrAccessGauge, ui::kStrReportNotWritten, ...).
    {63400, "Access Gauge"},
    {63401, "The report could not be written.\r\nFile Name = %1\r\n%2"},
    {63402, "The report could not be printed.\r\nThe printer %1 could not be started."},
    {63403, "Sending whole frames"},
    {63404, "The radio refused whole frames: going on byte by byte"},
};

static_assert(SortedById(kTable), "string table must be sorted by id without duplicates");

}  // namespace

std::span<const StringEntry> CoreStrings() { return kTable; }

std::span<const std::span<const StringEntry>> StringAreas() {
  static const std::array<std::span<const StringEntry>, 9> areas = {
      CoreStrings(),     ShellStrings(),      ChannelStrings(),
      SettingsStrings(), SignallingStrings(), AlignmentStrings(),
      ExchangeStrings(), FleetStrings(),      RecoveryStrings()};
  return areas;
}

std::optional<std::string_view> LoadString(int id) {
  for (auto area : StringAreas()) {
    auto it = std::lower_bound(area.begin(), area.end(), id,
                               [](const StringEntry& e, int v) { return e.id < v; });
    if (it != area.end() && it->id == id) return it->text;
  }
  return std::nullopt;
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
