#include "report/report.h"

#include <algorithm>
#include <cstdint>

#include "channels/grid_text.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/files.h"
#include "resources/channel_labels.h"
#include "resources/labels.h"
#include "resources/report_labels.h"
#include "resources/settings_labels.h"

namespace ql40 {
namespace {

bool InList(res::LabelList list, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

// The format with the precision of its conversions taken out ("%-4.4s" becomes "%-4s").
std::string WithoutPrecision(const char* format) {
  std::string out;
  for (const char* p = format; *p != '\0'; ++p) {
    out += *p;
    if (*p != '%') continue;
    while (p[1] == '-' || (p[1] >= '0' && p[1] <= '9')) out += *++p;
    if (p[1] == '.') {
      ++p;
      while (p[1] >= '0' && p[1] <= '9') ++p;
    }
  }
  return out;
}

// A value of a list in its line. An index outside the list prints the list's unknown marker,
// which names the stored value; a precision in the format must not cut that marker short.
std::string ListLine(const char* format, res::LabelList list, int index) {
  const std::string text = res::LabelOr(list, index);
  if (InList(list, index)) return Format(format, text.c_str());
  return Format(WithoutPrecision(format).c_str(), text.c_str());
}

std::string PadRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string Mark(bool on) {
  return res::LabelOr(res::kReportMarks, on ? 1 : 0);
}

// Signalling slots are numbered 1 to 9, then 0 for the tenth.
int SlotNumber(int slot) {
  return (slot + 1) % 10;
}

res::LabelList HeadingsOf(int option_unit) {
  switch (option_unit) {
    case kOption2Tone:
      return res::kReportTwoToneHeadings;
    case kOptionSubsig:
    case kOptionScb100:
    case kOptionScbd200:
      return res::kReportSignalHeadings;
    default:  // no option unit, PT-Trunk and codes no unit has: paging codes
      return res::kReportPageHeadings;
  }
}

std::string SubAudioField(const ChannelRecord& r) {
  switch (r.sub_audio_type) {
    case 0:
      return std::string(res::kReportNoSubAudio);
    case 1:
      // "Off" is printed as it stands, like the dealer's reports have always shown it.
      return Format(res::kReportCtcssFormat, res::LabelOr(res::kCtcssTones, r.rx_tone()).c_str(),
                    res::LabelOr(res::kCtcssTones, r.tx_tone()).c_str());
    case 2:
      return Format(res::kReportDcsFormat, res::LabelOr(res::kDcsCodes, r.rx_tone()).c_str(),
                    res::LabelOr(res::kDcsCodes, r.tx_tone()).c_str());
    default: {
      std::string field(res::kReportNoSubAudio);
      const std::size_t width = res::kSubAudioTypes[1].size();
      return field.replace(0, width,
                           PadRight(res::LabelOr(res::kSubAudioTypes, r.sub_audio_type), width));
    }
  }
}

// The signalling code of a channel: "-" for none, 10 as "0".
std::string CodeField(const ChannelRecord& r) {
  const int n = r.code_number();
  if (n == 0) return std::string(res::kNoCode);
  return Format("%d", n == 10 ? 0 : n);
}

}  // namespace

bool Report::Printable(const ChannelRecord& record) {
  return record.programmed() && (record.rx_frequency != 0 || record.tx_frequency != 0);
}

Report::Report(const Codeplug& doc, const std::string& path, const ChannelTable& table)
    : file_name_(BaseName(path)),
      serial_number_(doc.identity.serial_number),
      tone_format_(doc.tone_format),
      table_(table) {
  const Image& image = doc.image;
  hardware_.Decode(image);
  option_.Decode(image);
  general_.Decode(image);
  // The home channel is not printed; its decoding only needs counts it can add up safely.
  GroupCounts counts{};
  for (int g = 0; g < kGroupCount; ++g) counts[g] = std::clamp(table_.count[g], 0, kChannelCount);
  scan_.Decode(image, counts);
  keys_.Decode(image);
  ani_.Decode(image);
  dtmf_.Decode(image);
  dtmf_codes_.Decode(image);
  paging_.Decode(image);
  int format = tone_format_;
  two_tone_.Decode(image, format);

  // Groups are consecutive slices of the channel array; counts that run past its end (or are
  // negative) are cut to what the array holds.
  long long start = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    const long long first = std::clamp<long long>(start, 0, kChannelCount);
    const long long end =
        std::clamp<long long>(first + std::max(table_.count[g], 0), 0, kChannelCount);
    start = end;
    const int priority = table_.priority[g];
    priority_index_[g] =
        priority > 0 && first + priority - 1 < end ? static_cast<int>(first + priority - 1) : -1;
    for (long long i = first; i < end; ++i) {
      if (Printable(table_.records[static_cast<std::size_t>(i)])) {
        printable_[g].push_back(static_cast<int>(i));
      }
    }
    const int pages = static_cast<int>((printable_[g].size() + kReportChannelsPerPage - 1) /
                                       kReportChannelsPerPage);
    for (int chunk = 0; chunk < pages; ++chunk) channel_pages_.push_back({g, chunk});
  }
}

std::vector<std::string> Report::PageLines(int page) const {
  if (page < 1 || page > PageCount()) return {};
  if (page == 1) return SettingsPage();
  if (page == PageCount()) return SignallingPage();
  return ChannelSection(channel_pages_[static_cast<std::size_t>(page - 2)], page == 2);
}

std::string Report::Text() const {
  std::string text;
  for (int page = 1; page <= PageCount(); ++page) {
    if (page > 1) text += "\f\n";
    for (const std::string& line : PageLines(page)) {
      text += line;
      text += '\n';
    }
  }
  return text;
}

std::vector<std::string> Report::SettingsPage() const {
  std::vector<std::string> lines(res::kReportTitleLines.begin(), res::kReportTitleLines.end());
  lines.emplace_back();
  lines.push_back(Format(res::kReportFileNameFormat, file_name_.c_str()));
  lines.insert(lines.end(), 2, "");
  lines.push_back(Format(res::kReportSerialNoFormat, serial_number_.c_str()));
  lines.insert(lines.end(), 2, "");

  lines.emplace_back(res::kReportHardwareHeading);
  lines.emplace_back();
  lines.push_back(ListLine(res::kReportBandFormat, res::kBandNames, hardware_.band));
  lines.push_back(Format(res::kReportRefXtalFormat, hardware_.ref_xtal));
  lines.push_back(Format(res::kReportFirstIfFormat, hardware_.first_if));
  lines.push_back(ListLine(res::kReportLocalOffsetFormat, res::kLocalOffsets, hardware_.injection));
  lines.push_back(
      ListLine(res::kReportChannelSpacingFormat, res::kChannelSpacings, hardware_.channel_spacing));
  lines.emplace_back();
  lines.push_back(ListLine(res::kReportEncryptionFormat, res::kYesNo, option_.encryption_device));
  lines.push_back(ListLine(res::kReportKeypadFormat, res::kYesNo, option_.keypad_16));
  lines.push_back(ListLine(res::kReportSubCpuFormat, res::kOptionUnits, option_.option_unit));
  lines.insert(lines.end(), 2, "");

  lines.emplace_back(res::kReportPowerSavingHeading);
  lines.emplace_back();
  lines.push_back(general_.transmit_timer == 0
                      ? std::string(res::kReportTxTimerHalfMinute)
                      : Format(res::kReportTxTimerFormat, general_.transmit_timer));
  lines.push_back(ListLine(res::kReportPenaltyFormat, res::kPenaltyTimes, general_.penalty_timer));
  lines.push_back(ListLine(res::kReportReleaseFormat, res::kReleaseTimes, general_.release_timer));
  // Entry 0 of the auto power-off list is "off": then neither line is printed.
  if (general_.apo_time != 0) {
    lines.push_back(ListLine(res::kReportApoFormat, res::kApoTimes, general_.apo_time));
    lines.push_back(
        ListLine(res::kReportReceiveSaveFormat, res::kReceiveSaveRatios, general_.receive_save));
  }
  lines.insert(lines.end(), 2, "");

  lines.emplace_back(res::kReportScanHeading);
  lines.emplace_back();
  lines.push_back(
      ListLine(res::kReportDualWatchFormat, res::kDualWatchTimes, scan_.dual_watch_time));
  lines.push_back(ListLine(res::kReportResume1Format, res::kScanResumeTimes1, scan_.resume_time1));
  lines.push_back(ListLine(res::kReportResume2Format, res::kScanResumeTimes2, scan_.resume_time2));
  lines.push_back(
      ListLine(res::kReportTalkBackFormat, res::kDisabledEnabledPadded, scan_.talk_back));
  lines.push_back(ListLine(res::kReportRevertFormat, res::kRevertChannels, scan_.revert_channel));
  lines.insert(lines.end(), 2, "");

  lines.emplace_back(res::kReportKeyHeading);
  lines.emplace_back();
  lines.push_back(ListLine(res::kReportSetModeFormat, res::kDisabledEnabledPadded, keys_.set_mode));
  const int locks[] = {keys_.ptt_lock, keys_.dial_lock, keys_.key_lock};
  for (std::size_t i = 0; i < res::kReportLockFormats.size(); ++i) {
    lines.push_back(ListLine(res::kReportLockFormats[i], res::kOffOn, locks[i]));
  }
  for (std::size_t k = 0; k < res::kReportKeyFormats.size(); ++k) {
    lines.push_back(ListLine(res::kReportKeyFormats[k], res::kKeyFunctions, keys_.keys[k]));
  }
  for (std::size_t t = 0; t < res::kReportToggleFormats.size(); ++t) {
    lines.push_back(
        ListLine(res::kReportToggleFormats[t], res::kToggleFunctions, keys_.toggles[t]));
  }
  lines.insert(lines.end(), 2, "");
  lines.push_back(
      ListLine(res::kReportPowerOnFormat, res::kPowerOnConditions, general_.power_on_condition));
  return lines;
}

std::vector<std::string> Report::ChannelSection(const ChannelPage& page, bool first) const {
  std::vector<std::string> lines;
  if (first) {
    lines.emplace_back(res::kReportChannelDataLead);
    lines.emplace_back(res::kReportChannelDataTitle);
  }
  const auto g = static_cast<std::size_t>(page.group);
  lines.push_back(Format(res::kReportGroupFormat, page.group + 1,
                         res::LabelOr(res::kReportQtsMarks, table_.scan_mode[g] & 1).c_str()));
  const res::LabelList headings = HeadingsOf(option_.option_unit);
  lines.insert(lines.end(), headings.begin(), headings.end());
  lines.emplace_back(res::kReportRule);

  const std::vector<int>& channels = printable_[g];
  const std::size_t begin = static_cast<std::size_t>(page.chunk) * kReportChannelsPerPage;
  const std::size_t end = std::min(channels.size(), begin + kReportChannelsPerPage);
  for (std::size_t i = begin; i < end; ++i) {
    lines.push_back(ChannelLine(channels[i], priority_index_[g]));
  }
  return lines;
}

std::string Report::ChannelLine(int index, int priority_index) const {
  const ChannelRecord& r = table_.records[static_cast<std::size_t>(index)];
  // The columns that show one field of the record, as the grid shows them but for the flags,
  // which the report marks its own way.
  const auto text = [&](int column) {
    const FieldColumn& c = *FieldColumnOf(column);
    return c.labels == &res::kCheckMarks ? Mark(r.Get(c.field) != 0) : FieldColumnText(r, c);
  };
  std::string line = Format(res::kReportChannelNumberFormat, index + 1);
  line += Format(res::kReportFieldFormat,
                 res::LabelOr(res::kPriorityMarks, index == priority_index ? 1 : 0).c_str());
  line += Format(res::kReportFieldFormat, text(kColWideNarrow).c_str());
  // Ten characters with or without the tag's decimal point.
  line += PadRight(TagText(r), 10);
  line += Format(res::kReportFieldFormat, FrequencyText(r.rx_frequency).c_str());
  line += Format(res::kReportFieldFormat, r.tx_inhibit() ? std::string(res::kTxInhibited).c_str()
                                                         : FrequencyText(r.tx_frequency).c_str());
  line += SubAudioField(r);
  line +=
      Format(res::kReportPairFormat, text(kColRxPowerSave).c_str(), text(kColTxPowerSave).c_str());
  line += Format(res::kReportPowerFormat, text(kColPower).c_str(), text(kColLowPower).c_str());
  line += Format(res::kReportFieldFormat, text(kColScan).c_str());
  line += Format(res::kReportFieldFormat, text(kColTimeOut).c_str());
  line += Format(res::kReportFieldFormat, SquelchText(r.squelch_setting()).c_str());
  line += Format(res::kReportFlagsFormat, text(kColAni).c_str(), text(kColEncryption).c_str(),
                 text(kColLockOut).c_str());
  line += CodeField(r);
  return line;
}

std::vector<std::string> Report::SignallingPage() const {
  std::vector<std::string> lines;
  lines.emplace_back(res::kReportAniHeading);
  lines.emplace_back();
  lines.push_back(ListLine(res::kReportAniTypeFormat, res::kReportAniTypes, ani_.type));
  lines.push_back(ListLine(res::kReportAniTransmitFormat, res::kReportAniTransmits, ani_.transmit));
  lines.push_back(ListLine(res::kReportAniDelayFormat, res::kReportAniDelays, ani_.delay));
  lines.push_back(ListLine(res::kReportAniSpeedFormat, res::kAniSpeeds, ani_.speed));
  lines.push_back(Format(res::kReportAniCodeFormat, ani_.ani_code.c_str()));
  lines.push_back(Format(res::kReportEmergencyCodeFormat, ani_.emergency_code.c_str()));
  lines.emplace_back();

  lines.emplace_back(res::kReportDtmfHeading);
  lines.emplace_back();
  lines.push_back(ListLine(res::kReportDtmfSpeedFormat, res::kReportDtmfSpeeds, dtmf_.speed));
  lines.push_back(ListLine(res::kReportAnswerBackFormat, res::kOffOn, dtmf_.answer_back));
  lines.push_back(ListLine(res::kReportCallTimesFormat, res::kReportCallTimes, dtmf_.call_times));
  lines.push_back(ListLine(res::kReportDtmfKeysFormat, res::kDisabledEnabledPadded, dtmf_.keypad));
  for (int n = 0; n < kDtmfCodeCount; ++n) {
    lines.push_back(Format(res::kReportDtmfCodeFormat, SlotNumber(n),
                           dtmf_codes_.codes[static_cast<std::size_t>(n)].c_str()));
  }
  lines.emplace_back();

  const bool two_tone = option_.option_unit == kOption2Tone;
  lines.emplace_back(two_tone ? res::kReportTwoToneHeading : res::kReportPageHeading);
  lines.emplace_back();
  for (int n = 0; n < kPagingSlotCount; ++n) {
    const auto slot = static_cast<std::size_t>(n);
    if (!two_tone) {
      const PagingSlot& s = paging_.slots[slot];
      lines.push_back(s.code.empty()
                          ? Format(res::kReportEmptyPageCodeFormat, SlotNumber(n), "")
                          : Format(res::kReportPageCodeFormat, SlotNumber(n), s.code.c_str(),
                                   res::LabelOr(res::kReportPagingFlags, s.enc_dec).c_str()));
      continue;
    }
    const int group = two_tone_.rows[slot].group;
    if (group == kToneGroupOff) {
      lines.push_back(Format(res::kReportEmptyToneFormat, SlotNumber(n)));
    } else if (group >= 1 && group <= res::kToneSetCount) {
      lines.push_back(Format(res::kReportStandardToneFormat, SlotNumber(n),
                             two_tone_.GroupName(n).c_str(), two_tone_.ToneText(n, false).c_str(),
                             two_tone_.ToneText(n, true).c_str()));
    } else {
      const auto numbers = two_tone_.ToneNumbers(n);
      lines.push_back(Format(res::kReportUserToneFormat, SlotNumber(n),
                             res::LabelOr(res::kToneFormats, kToneUserDefined).c_str(), numbers[0],
                             numbers[1]));
    }
  }
  lines.emplace_back();
  lines.emplace_back();
  return lines;
}

std::string ReportText(const Codeplug& doc) {
  return Report(doc).Text();
}

}  // namespace ql40
