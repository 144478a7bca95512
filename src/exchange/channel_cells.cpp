#include "exchange/channel_cells.h"

#include <cctype>
#include <tuple>

#include "channels/grid_text.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "exchange/records.h"
#include "resources/channel_labels.h"

namespace ql40::exchange {
namespace {

constexpr const char* kKeys[kGridColumnCount] = {"channel",
                                                 "priority",
                                                 "width",
                                                 "tag",
                                                 "receive",
                                                 "transmit",
                                                 "sub_audio",
                                                 "decode",
                                                 "encode",
                                                 "rx_power_save",
                                                 "tx_power_save",
                                                 "power",
                                                 "low_power",
                                                 "scan",
                                                 "time_out",
                                                 "squelch",
                                                 "ani",
                                                 "encryption",
                                                 "lock_out",
                                                 "code",
                                                 "clock_shift_tx",
                                                 "clock_shift_rx",
                                                 "clock_shift_option",
                                                 "rchk"};

std::string OneOf(res::LabelList list) {
  std::string out;
  for (std::string_view v : list) {
    if (!out.empty()) out += ", ";
    out += "\"" + Trim(v) + "\"";
  }
  return out;
}

// Index of text in list, blanks and case ignored; -1 when absent.
int Find(res::LabelList list, std::string_view text) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (SameWords(list[i], text)) return static_cast<int>(i);
  }
  return -1;
}

bool IsFrequencyText(std::string_view t) {
  if (t.empty()) return false;
  int points = 0;
  int digits = 0;
  for (char c : t) {
    if (c == '.') {
      ++points;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      ++digits;
    } else {
      return false;
    }
  }
  return points <= 1 && digits > 0 && t.size() <= 9;
}

std::string Mhz(Frequency f) {
  return Trim(FrequencyText(f));
}

// A frequency column: the value must lie in the band and survive a save.
std::string ApplyFrequency(Codeplug& doc, int channel, int column, const std::string& t) {
  if (!IsFrequencyText(t)) return "\"" + t + "\" is not a frequency in MHz";
  const Frequency f = MhzTextTo10Hz(t);
  const int band = doc.hardware.band;
  if (f < BandLowest(band) || f > BandHighest(band)) {
    return t + " is outside the band " + Mhz(BandLowest(band)) + "-" + Mhz(BandHighest(band));
  }
  if (f >= 40600000 && f <= 40610000) return t + " lies in 406.00000-406.10000, never a channel";
  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(channel)];
  const ChannelRecord before = r;
  const std::string moved = doc.channels.CommitCellText(channel, column, t, ctx);
  if (!moved.empty()) {
    const Frequency to = column == 4 ? r.rx_frequency : r.tx_frequency;
    r = before;
    return t + " cannot be stored with these hardware constants (nearest: " + Mhz(to) + ")";
  }
  if (column == 5) bits::Put(r.a0, 5, false);
  return {};
}

bool SameRecord(const ChannelRecord& a, const ChannelRecord& b) {
  const auto tie = [](const ChannelRecord& r) {
    return std::tie(r.rx_frequency, r.tx_frequency, r.a0, r.a1, r.a2, r.a3, r.a4, r.a5, r.tune_rx0,
                    r.tune_tx0, r.tune_rx, r.squelch, r.tune_tx, r.tag, r.sub_audio_type, r.status);
  };
  return tie(a) == tie(b);
}

bool SameGroups(const ChannelTable& a, const ChannelTable& b) {
  if (a.count != b.count || a.priority != b.priority || a.scan_mode != b.scan_mode ||
      a.group_tag != b.group_tag) {
    return false;
  }
  for (int i = 0; i < kChannelCount; ++i) {
    if (a.records[static_cast<std::size_t>(i)].status !=
        b.records[static_cast<std::size_t>(i)].status) {
      return false;
    }
  }
  return true;
}

}  // namespace

const char* ColumnKey(int column) {
  return column >= 0 && column < kGridColumnCount ? kKeys[column] : "";
}

int ColumnOfKey(std::string_view key) {
  for (int c = 0; c < kGridColumnCount; ++c) {
    if (key == kKeys[c]) return c;
  }
  return -1;
}

std::string ColumnName(int column, int option_unit) {
  if (column < 0 || column >= kGridColumnCount) return {};
  const std::string top = Trim(res::kGridHeadingRow0Shown[static_cast<std::size_t>(column)]);
  std::string bottom = Trim(GridHeading(1, column, option_unit));
  if (column == kColCode && bottom.empty()) bottom = "Code";
  if (column == kColLockOut) return "Lock Out";
  return top.empty() ? bottom : top + " " + bottom;
}

int ColumnOfName(std::string_view name, int option_unit) {
  for (int c = 0; c < kGridColumnCount; ++c) {
    if (SameWords(name, ColumnName(c, option_unit)) || SameWords(name, kKeys[c])) return c;
  }
  if (SameWords(name, "Code") || SameWords(name, "Page") || SameWords(name, "2Ton") ||
      SameWords(name, "SIG")) {
    return kColCode;
  }
  return -1;
}

std::string CellText(const Codeplug& doc, int channel, int column) {
  return Trim(GridCellText(doc, channel, column));
}

std::string ApplyCellText(Codeplug& doc, int channel, int column, std::string_view text) {
  if (channel < 0 || channel >= kChannelCount) return "no such channel";
  const std::string t = Trim(text);
  if (SameWords(t, CellText(doc, channel, column)) && column != kColTag) return {};
  if (column == kColTag && t == CellText(doc, channel, column)) return {};
  ChannelTable& table = doc.channels;
  ChannelRecord& r = table.records[static_cast<std::size_t>(channel)];
  const auto mark = [&](std::uint8_t& byte, int bit) -> std::string {
    const int i = Find(res::kCheckMarks, t);
    if (i < 0) return "\"" + t + "\" is not one of " + OneOf(res::kCheckMarks);
    bits::Put(byte, bit, i == 1);
    return {};
  };
  const auto pick = [&](res::LabelList list, std::uint8_t& byte, int hi, int lo) -> std::string {
    const int i = Find(list, t);
    if (i < 0) return "\"" + t + "\" is not one of " + OneOf(list);
    bits::Set(byte, hi, lo, i);
    return {};
  };
  switch (column) {
    case kColChannel:
      return "the channel number is where the channel stands and cannot be set";
    case kColPriority: {
      const int i = Find(res::kPriorityMarks, t);
      if (i < 0) return "\"" + t + "\" is not one of " + OneOf(res::kPriorityMarks);
      const int group = table.GroupOfChannel(channel);
      if (group >= kGroupCount) return "the channel is in no group";
      if (i == 1) {
        if (!r.programmed()) return "a priority channel must be programmed";
        table.priority[static_cast<std::size_t>(group)] =
            channel - table.FirstIndexOfGroup(group) + 1;
      } else if (table.PriorityChannelOf(group) == channel) {
        table.priority[static_cast<std::size_t>(group)] = 0;
      }
      return {};
    }
    case kColWideNarrow:
      return pick(res::kWideNarrow, r.a0, 3, 3);
    case kColTag: {
      if (t.size() > 9) return "\"" + t + "\" is longer than 9 characters";
      for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '.' && i == 3) continue;
        if (!IsTagChar(c)) {
          return "\"" + t + "\": '" + std::string(1, c) + "' is not a tag symbol";
        }
      }
      if (t.size() == 9 && t[3] != '.') return "\"" + t + "\" is longer than 8 characters";
      table.CommitCellText(channel, kColTag,
                           std::string(text.substr(0, text.find_last_not_of(' ') + 1)),
                           ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split));
      return {};
    }
    case kColReceive:
      return ApplyFrequency(doc, channel, 4, t);
    case kColTransmit:
      if (t == res::kTxInhibited) {
        bits::Put(r.a0, 5, true);
        return {};
      }
      return ApplyFrequency(doc, channel, 5, t);
    case kColSubAudioType: {
      const int i = Find(res::kSubAudioTypes, t);
      if (i < 0) return "\"" + t + "\" is not one of " + OneOf(res::kSubAudioTypes);
      r.sub_audio_type = i;
      if (i == 0) {
        r.a4 &= 0x80;
        r.a5 &= 0x80;
        bits::Put(r.a3, 5, false);
        bits::Put(r.a3, 6, false);
      }
      if (i != 2) {
        bits::Put(r.a1, 3, false);
        if (r.rx_tone() >= 51) r.a5 &= 0x80;
        if (r.tx_tone() >= 51) r.a4 &= 0x80;
      }
      return {};
    }
    case kColDecode:
    case kColEncode: {
      if (r.sub_audio_type == 0) return "the channel has no sub-audio type";
      const res::LabelList list = r.sub_audio_type == 2 ? res::kDcsCodes : res::kCtcssTones;
      const int i = Find(list, t);
      if (i < 0) return "\"" + t + "\" is not a tone of the channel's sub-audio type";
      std::uint8_t& tone = column == kColDecode ? r.a5 : r.a4;
      tone = static_cast<std::uint8_t>((tone & 0x80) | i);
      return {};
    }
    case kColRxPowerSave:
      return mark(r.a5, 7);
    case kColTxPowerSave:
      return mark(r.a4, 7);
    case kColPower:
      return pick(res::kHighLow, r.a0, 2, 2);
    case kColLowPower:
      return pick(res::kLowPowerLevels, r.a0, 1, 0);
    case kColScan: {
      const int i = Find(res::kScanLetters, t);
      if (i < 0) return "\"" + t + "\" is not one of " + OneOf(res::kScanLetters);
      r.status = static_cast<std::uint8_t>((r.status & 0xCF) | (i << 4));
      return {};
    }
    case kColTimeOut:
      return mark(r.a1, 2);
    case kColSquelch: {
      std::string_view v = t;
      bool minus = false;
      if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
        minus = v[0] == '-';
        v.remove_prefix(1);
      }
      if (v.size() != 1 || v[0] < '0' || v[0] > '7')
        return "\"" + t + "\" is not a squelch offset from -7 to +7";
      const int n = v[0] - '0';
      r.squelch = static_cast<std::uint8_t>((r.squelch & 0xF0) | n | (minus && n != 0 ? 0x08 : 0));
      return {};
    }
    case kColAni: {
      const std::string why = mark(r.a3, 7);
      if (why.empty() && bits::Test(r.a3, 7) && doc.option_unit >= 2 && doc.option_unit <= 4) {
        bits::Set(r.a3, 4, 0, 0);
      }
      return why;
    }
    case kColEncryption:
      return mark(r.a0, 4);
    case kColLockOut:
      return pick(res::kLockOuts, r.a1, 1, 0);
    case kColCode: {
      if (t == "-") {
        bits::Set(r.a3, 4, 0, 0);
        return {};
      }
      if (t.size() != 1 || !std::isdigit(static_cast<unsigned char>(t[0]))) {
        return "\"" + t + "\" is not a code from 1 to 9, 0 for 10, or -";
      }
      const int n = t[0] == '0' ? 10 : t[0] - '0';
      bits::Set(r.a3, 4, 0, 0x10 | n);
      if (doc.option_unit >= 2 && doc.option_unit <= 4) bits::Put(r.a3, 7, false);
      return {};
    }
    case kColClockShiftTx:
      return mark(r.a1, 6);
    case kColClockShiftRx:
      return mark(r.a1, 5);
    case kColClockShiftOption:
      if (doc.option_unit != kOptionSubsig && t != "-")
        return "the clock shift option needs the SUBSIG unit";
      return mark(r.a1, 7);
    case kColRchk:
      if (r.sub_audio_type != 2 && t != "-") return "RCHK needs a DCS channel";
      return mark(r.a1, 3);
    default:
      return "no such column";
  }
}

void StoreTableChanges(Codeplug& doc, const ChannelTable& before) {
  ChannelTable& table = doc.channels;
  Image scratch = doc.image;
  table.EncodeChannelTable(scratch, doc.hardware, doc.option_unit);
  if (!SameGroups(table, before)) {
    for (const auto& [from, to] : {std::pair{26, 26}, std::pair{30, 103}, std::pair{104, 167},
                                   std::pair{512, 639}, std::pair{648, 807}}) {
      std::copy(scratch.begin() + from, scratch.begin() + to + 1, doc.image.begin() + from);
    }
  }
  for (int i = 0; i < kChannelCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (SameRecord(table.records[k], before.records[k])) continue;
    const int at = kOffsetChannels + kChannelRecordSize * i;
    std::copy(scratch.begin() + at, scratch.begin() + at + kChannelRecordSize,
              doc.image.begin() + at);
  }
}

}  // namespace ql40::exchange
