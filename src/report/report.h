#pragma once

// The printed report of a codeplug as lines of text, page by page: one page of radio
// settings, the channels group by group, and a page of signalling tables. Printing, print
// preview, PDF and the command line all show these same lines.

#include <array>
#include <string>
#include <vector>

#include "channels/channel_table.h"
#include "codeplug/codeplug.h"
#include "codeplug/hardware.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"
#include "settings/option_settings.h"
#include "settings/scan_settings.h"
#include "signalling/dtmf.h"
#include "signalling/paging.h"

namespace ql40 {

inline constexpr int kReportChannelsPerPage = 32;

class Report {
 public:
  // Takes what printing needs when it begins: the settings and signalling records decoded
  // from the document's image, a copy of the channel table and the file name of the path
  // (its folder removed). The document is not changed, and later changes to it do not reach
  // the report.
  Report(const Codeplug& doc, const std::string& path, const ChannelTable& table);
  explicit Report(const Codeplug& doc) : Report(doc, doc.path, doc.channels) {}

  // 2 + the channel pages: 32 printable channels a page, each group on pages of its own.
  int PageCount() const { return static_cast<int>(channel_pages_.size()) + 2; }

  // The lines of a page (1-based), without line ends and with their trailing blanks; no lines
  // for a page outside 1..PageCount().
  std::vector<std::string> PageLines(int page) const;

  // Every page: each line ends in "\n", and each page after the first starts with a line
  // holding only a form feed.
  std::string Text() const;

  // A channel that is programmed and has a receive or a transmit frequency.
  static bool Printable(const ChannelRecord& record);

 private:
  struct ChannelPage {
    int group = 0;
    int chunk = 0;  // pages of the group before this one
  };

  std::vector<std::string> SettingsPage() const;
  std::vector<std::string> ChannelSection(const ChannelPage& page, bool first) const;
  std::vector<std::string> SignallingPage() const;
  std::string ChannelLine(int index, int priority_index) const;

  std::string file_name_;
  std::string serial_number_;
  int tone_format_ = kToneStandard;
  HardwareSettings hardware_;
  OptionSettings option_;
  GeneralSettings general_;
  ScanSettings scan_;
  KeyAssignment keys_;
  AniSettings ani_;
  DtmfSettings dtmf_;
  DtmfCodeList dtmf_codes_;
  PagingTable paging_;
  TwoToneTable two_tone_;

  ChannelTable table_;
  // Absolute indices of each group's printable channels, in order.
  std::array<std::vector<int>, kGroupCount> printable_{};
  // Absolute index of each group's priority channel, -1 for none.
  std::array<int, kGroupCount> priority_index_{};
  std::vector<ChannelPage> channel_pages_;
};

// The report of the document as one text (Report(doc).Text()).
std::string ReportText(const Codeplug& doc);

}  // namespace ql40
