#include "exchange/channel_cells.h"

#include <cctype>
#include <tuple>

#include "channels/grid_edit.h"
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

// A number of MHz as a file writes it, of any length and sign (what the grid shows of an odd
// image included), for comparing with what a channel holds.
bool IsMhzNumber(std::string_view t) {
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  if (t.empty() || t.size() > 16) return false;
  int points = 0;
  for (char c : t) {
    if (c == '.') {
      ++points;
    } else if (!std::isdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return points <= 1 && t != ".";
}

std::string Mhz(Frequency f) {
  return Trim(FrequencyText(f));
}

// A frequency column: the value must lie in the band and be storable with the hardware
// constants; one off the channel step is taken and lands on the step (the notes say where).
std::string ApplyFrequency(Codeplug& doc, int channel, int column, const std::string& t) {
  if (!IsFrequencyText(t)) return "\"" + t + "\" is not a frequency in MHz";
  const Frequency f = MhzTextTo10Hz(t);
  const int band = doc.hardware.band;
  if (f < BandLowest(band) || f > BandHighest(band)) {
    return t + " is outside the band " + Mhz(BandLowest(band)) + "-" + Mhz(BandHighest(band));
  }
  if (f >= 40600000 && f <= 40610000) return t + " lies in 406.00000-406.10000, never a channel";
  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  Frequency snapped = f;
  const int selector = SnapFrequency(snapped, band, doc.hardware.channel_spacing);
  if (StoreFrequency(snapped, column == kColTransmit, selector, ctx) < 0) {
    Frequency nearest = snapped;
    SnapStorable(nearest, column == kColTransmit, ctx);
    return t + " cannot be stored with these hardware constants (nearest: " + Mhz(nearest) + ")";
  }
  ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(channel)];
  doc.channels.CommitCellText(channel, column, t, ctx);
  if (column == kColTransmit) r.set_tx_inhibit(false);
  return {};
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
  // A JSON file asks this of every cell of every row: the keys come in column order, so the
  // search starts where the last one was found.
  static thread_local int last = 0;
  for (int k = 0; k < kGridColumnCount; ++k) {
    const int c = (last + k) % kGridColumnCount;
    if (key == kKeys[c]) {
      last = c;
      return c;
    }
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
  std::string text = GridCellText(doc, channel, column);
  const auto last = text.find_last_not_of(' ');
  if (last == std::string::npos) return {};
  text.erase(last + 1);
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

bool SameRecord(const ChannelRecord& a, const ChannelRecord& b) {
  return a == b;
}

namespace {

// The code number a text of the code column stands for under the option unit, as CodeText
// shows it ("0" is code 10 where the column counts 1 to 9 and 0), 0 for "-", -1 for none.
int ParseCode(std::string_view t, int option_unit) {
  if (t == res::kNoCode) return 0;
  if (t.empty() || t.size() > 2 || t.find_first_not_of("0123456789") != std::string_view::npos) {
    return -1;
  }
  const int n = static_cast<int>(ParseInteger(t));
  const bool sub_cpu = option_unit == kOptionScb100 || option_unit == kOptionScbd200;
  if (!sub_cpu && t == "0") return 10;
  if (!sub_cpu && n == 10) return -1;  // shown as "0"
  return n >= 1 && n <= 15 && t[0] != '0' ? n : -1;
}

// Whether the text stands for what the cell holds, in any spelling the column takes.
bool Holds(const Codeplug& doc, int channel, int column, const std::string& t) {
  const ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(channel)];
  switch (column) {
    case kColReceive:
      return IsMhzNumber(t) && MhzTextTo10Hz(t) == r.rx_frequency;
    case kColTransmit:
      if (t == res::kTxInhibited) return r.tx_inhibit();
      return !r.tx_inhibit() && IsMhzNumber(t) && MhzTextTo10Hz(t) == r.tx_frequency;
    case kColTag: {
      // Leading blanks are part of a tag (the radio shows them); trailing ones are padding.
      std::string shown = TagText(r);
      shown.erase(shown.find_last_not_of(' ') + 1);
      std::string given = t;
      given.erase(given.find_last_not_of(' ') + 1);
      return given == shown;
    }
    case kColSquelch: {
      const std::string trimmed = Trim(t);
      std::string_view v = trimmed;
      const bool minus = !v.empty() && v[0] == '-';
      if (!v.empty() && (v[0] == '+' || v[0] == '-')) v.remove_prefix(1);
      if (v.size() != 1 || v[0] < '0' || v[0] > '7') return false;
      const int n = v[0] - '0';
      return r.squelch_offset() == n && (n == 0 || r.squelch_negative() == minus);
    }
    case kColCode: {
      const int n = ParseCode(Trim(t), doc.option_unit);
      return n >= 0 && SameWords(t, CellText(doc, channel, column)) &&
             (n == 0 || r.code_number() == n);
    }
    case kColDecode:
    case kColEncode:
      // A channel without sub-audio holds no tone, however the file says it.
      if (r.sub_audio_type == 0 && SameWords(t, res::kCtcssTones[0])) return true;
      return SameWords(t, CellText(doc, channel, column));
    default:
      return SameWords(t, CellText(doc, channel, column));
  }
}

// The reason a file's text does not fit a cell, and the change it makes when it does.
std::string ApplyOwnRules(Codeplug& doc, int channel, int column, const std::string& t,
                          std::string_view text) {
  ChannelTable& table = doc.channels;
  ChannelRecord& r = table.records[static_cast<std::size_t>(channel)];
  if (const FieldColumn* c = FieldColumnOf(column)) {
    const int i = Find(*c->labels, t);
    if (i < 0) return "\"" + t + "\" is not one of " + OneOf(*c->labels);
    r.Set(c->field, i);
    // With a SUBSIG unit or a sub CPU, ANI and a code exclude each other.
    if (column == kColAni && r.ani() && doc.option_unit >= 2 && doc.option_unit <= 4) {
      r.set_code(0);
    }
    return {};
  }
  switch (column) {
    case kColChannel:
      return "the channel number is where the channel stands and cannot be set";
    case kColPriority: {
      const int i = Find(res::kPriorityMarks, t);
      if (i < 0) return "\"" + t + "\" is not one of " + OneOf(res::kPriorityMarks);
      const int group = table.GroupOfChannel(channel);
      if (group >= kGroupCount) return "the channel is in no group";
      if (i == 1) {
        table.priority[static_cast<std::size_t>(group)] =
            channel - table.FirstIndexOfGroup(group) + 1;
      } else if (table.PriorityChannelOf(group) == channel) {
        table.priority[static_cast<std::size_t>(group)] = 0;
      }
      return {};
    }
    case kColTag: {
      std::string tag(text);
      tag.erase(tag.find_last_not_of(' ') + 1);
      const bool point = tag.size() > 3 && tag[3] == '.';
      if (tag.size() > (point ? 9u : 8u)) {
        return "\"" + tag + "\" is longer than 8 characters (9 with a point after the third)";
      }
      for (std::size_t i = 0; i < tag.size(); ++i) {
        const char c = tag[i];
        if (c == '.' && i == 3) continue;
        if (!IsTagChar(c)) {
          return "\"" + tag + "\": '" + std::string(1, c) + "' is not a tag symbol";
        }
      }
      table.CommitCellText(channel, kColTag, tag,
                           ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split));
      return {};
    }
    case kColReceive:
      return ApplyFrequency(doc, channel, kColReceive, t);
    case kColTransmit:
      if (t == res::kTxInhibited) {
        r.set_tx_inhibit(true);
        return {};
      }
      return ApplyFrequency(doc, channel, kColTransmit, t);
    case kColSubAudioType: {
      const int i = Find(res::kSubAudioTypes, t);
      if (i < 0) return "\"" + t + "\" is not one of " + OneOf(res::kSubAudioTypes);
      r.sub_audio_type = i;
      return {};
    }
    case kColDecode:
    case kColEncode: {
      if (r.sub_audio_type == 0) return "the channel has no sub-audio type";
      const res::LabelList list = r.sub_audio_type == 2 ? res::kDcsCodes : res::kCtcssTones;
      // "-----" is how a channel without sub-audio shows its tones: no tone.
      const int i = t == res::kNoSubAudio ? 0 : Find(list, t);
      if (i < 0) return "\"" + t + "\" is not a tone of the channel's sub-audio type";
      r.Set(column == kColDecode ? field::kRxTone : field::kTxTone, i);
      return {};
    }
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
      r.set_squelch_setting(n | (minus && n != 0 ? 0x08 : 0));
      return {};
    }
    case kColCode: {
      const int n = ParseCode(t, doc.option_unit);
      const bool sub_cpu = doc.option_unit == kOptionScb100 || doc.option_unit == kOptionScbd200;
      if (n < 0) {
        return sub_cpu ? "\"" + t + "\" is not a code from 1 to 15, or -"
                       : "\"" + t + "\" is not a code from 1 to 9, 0 for 10, 11 to 15, or -";
      }
      r.set_code(n);
      if (n != 0 && doc.option_unit >= 2 && doc.option_unit <= 4) r.set_ani(false);
      // Without an option unit the radio may have codes switched off: they show as "-".
      if (!SameWords(t, CellText(doc, channel, column))) {
        return "\"" + t + "\" is not a code this radio keeps (it shows \"" +
               CellText(doc, channel, column) + "\")";
      }
      return {};
    }
    default:
      return "no such column";
  }
}

// Columns whose text the grid's own paste takes: a file's cell then changes the channel exactly
// as a paste into that cell would. Tag, frequencies and code keep the stricter file rules (band,
// storable divider, tag symbols, every code the record holds); Chn and Pri are positions, not
// pastes.
bool TakenByGridPaste(int column) {
  return column == kColWideNarrow ||
         (column >= kColSubAudioType && column <= kColRchk && column != kColCode);
}

// A file's text as the cell would show it, for comparing with what it showed: blanks around it
// go, and a frequency reads as its value.
std::string CellTextOfFile(const std::string& t, int column) {
  if ((column == kColReceive || column == kColTransmit) && IsMhzNumber(t)) {
    return Mhz(MhzTextTo10Hz(t));
  }
  return t;
}

// The clock shift flags follow the frequencies as the grid sets them: that a new frequency
// brings its own is no news.
bool DerivedFromFrequencies(int column) {
  return column == kColClockShiftTx || column == kColClockShiftRx || column == kColClockShiftOption;
}

// A cell the program keeps for this channel: the grid does not let the user change it here, but
// the record holds it (worked out from the frequency, or read from the radio).
bool Kept(const Codeplug& doc, const ChannelRecord& r, int column) {
  return (column == kColClockShiftOption && doc.option_unit != kOptionSubsig) ||
         (column == kColRchk && r.sub_audio_type != 2);
}

// One cell, with the reason it is refused ("" when taken). A cell the channel keeps as it is
// gets the reason in *kept.
std::string ApplyCell(Codeplug& doc, int channel, int column, const std::string& text,
                      const std::string& shown_before, std::string* kept) {
  const std::string t = Trim(text);
  if (Holds(doc, channel, column, column == kColTag ? text : t)) return {};
  ChannelTable& table = doc.channels;
  ChannelRecord& r = table.records[static_cast<std::size_t>(channel)];
  if (Kept(doc, r, column)) {
    // What the channel holds or held is taken back; anything else the grid could not set, and
    // the channel keeps what it has.
    if (Find(res::kCheckMarks, t) >= 0 && SameWords(t, shown_before)) {
      r.Set(FieldColumnOf(column)->field, t == "v");
    } else {
      *kept = column == kColRchk ? "RCHK needs a DCS channel"
                                 : "the clock shift option needs the SUBSIG unit";
    }
    return {};
  }
  std::string why;
  if (!TakenByGridPaste(column)) {
    why = ApplyOwnRules(doc, channel, column, t, text);
  } else {
    // Find the reason on a scratch copy, then let the grid's paste make the change.
    const ChannelRecord saved = r;
    const bool modified = doc.modified;
    why = ApplyOwnRules(doc, channel, column, t, text);
    const std::string spelled = why.empty() ? Trim(GridCellText(doc, channel, column)) : "";
    r = saved;
    doc.modified = modified;
    if (why.empty() && PasteCellInRow(doc, channel, column, spelled) != PasteResult::kPasted) {
      r = saved;
      why = "\"" + t + "\" is not accepted in this column for this channel";
    }
  }
  // A cell the file holds as the channel showed it, which the row's other cells left without
  // a place (a tone after the type went, a DCS code on a type now CTCSS), was not set by the
  // user: the channel keeps what it has, and the check names it.
  if (!why.empty() && shown_before == CellTextOfFile(t, column)) {
    *kept = why;
    return {};
  }
  return why;
}

}  // namespace

std::vector<CellNote> ApplyRow(Codeplug& doc, int channel, const RowCells& cells) {
  std::vector<CellNote> notes;
  if (channel < 0 || channel >= kChannelCount) {
    notes.push_back({kColChannel, true, "no such channel"});
    return notes;
  }
  ChannelTable& table = doc.channels;
  ChannelRecord& r = table.records[static_cast<std::size_t>(channel)];
  // A row that says what the channel holds (an export imported back) is done at once.
  bool all_held = true;
  for (int c = 1; c < kGridColumnCount && all_held; ++c) {
    const std::string* text = cells[static_cast<std::size_t>(c)];
    all_held = text == nullptr || Holds(doc, channel, c, c == kColTag ? *text : Trim(*text));
  }
  if (all_held) return notes;
  const ChannelRecord record_before = r;
  std::array<std::string, kGridColumnCount> before;
  for (int c = 1; c < kGridColumnCount; ++c) {
    before[static_cast<std::size_t>(c)] = CellText(doc, channel, c);
  }

  // The grid's rules are those of a programmed channel; one that is not keeps its attributes
  // all the same and is programmed by a new receive frequency only.
  const bool programmed = r.programmed();
  r.set_programmed(true);
  std::array<bool, kGridColumnCount> refused{};
  static constexpr int kOrder[] = {
      kColReceive,      kColTransmit,         kColPriority, kColWideNarrow,  kColTag,
      kColSubAudioType, kColDecode,           kColEncode,   kColRxPowerSave, kColTxPowerSave,
      kColPower,        kColLowPower,         kColScan,     kColTimeOut,     kColSquelch,
      kColAni,          kColEncryption,       kColLockOut,  kColCode,        kColClockShiftTx,
      kColClockShiftRx, kColClockShiftOption, kColRchk};
  std::array<std::string, kGridColumnCount> kept;  // why a cell stays as the channel has it
  const int group = table.GroupOfChannel(channel);
  const int priority_before =
      group < kGroupCount ? table.priority[static_cast<std::size_t>(group)] : 0;
  bool new_receive = false;
  for (const int c : kOrder) {
    const auto k = static_cast<std::size_t>(c);
    const std::string* text = cells[k];
    if (text == nullptr) continue;
    if (c == kColPriority && !programmed && !new_receive && Trim(*text) == "P") {
      kept[k] = "a priority channel must be programmed";
      continue;
    }
    const std::string why = ApplyCell(doc, channel, c, *text, before[k], &kept[k]);
    new_receive = new_receive ||
                  (c == kColReceive && why.empty() && r.rx_frequency != record_before.rx_frequency);
    if (!why.empty()) {
      refused[k] = true;
      notes.push_back({c, true, why});
    }
  }
  if (!programmed && !new_receive) r.Set(field::kStatusFlags, 0);
  const bool priority_changed =
      group < kGroupCount && table.priority[static_cast<std::size_t>(group)] != priority_before;
  // A row that changed nothing leaves the channel's bytes alone.
  if (!SameRecord(r, record_before) || priority_changed) SettleRow(doc, channel);

  for (int c = 1; c < kGridColumnCount; ++c) {
    const auto k = static_cast<std::size_t>(c);
    if (refused[k]) continue;
    const std::string now = CellText(doc, channel, c);
    const std::string* text = cells[k];
    if (text != nullptr) {
      if (!Holds(doc, channel, c, c == kColTag ? *text : Trim(*text))) {
        notes.push_back({c, false,
                         "\"" + Trim(*text) + "\" is stored as \"" + now + "\"" +
                             (kept[k].empty() ? "" : " (" + kept[k] + ")")});
      }
    } else if (now != before[k] && !DerivedFromFrequencies(c)) {
      notes.push_back({c, false, "changes from \"" + before[k] + "\" to \"" + now + "\""});
    }
  }
  if (r.tx_inhibit() && record_before.tx_inhibit() &&
      r.tx_frequency != record_before.tx_frequency) {
    notes.push_back({kColTransmit, false,
                     "the inhibited transmit frequency changes from " +
                         Mhz(record_before.tx_frequency) + " to " + Mhz(r.tx_frequency)});
  }
  return notes;
}

bool CellHolds(const Codeplug& doc, int channel, int column, const std::string& text) {
  if (channel < 0 || channel >= kChannelCount) return false;
  return Holds(doc, channel, column, column == kColTag ? text : Trim(text));
}

std::string ApplyCellText(Codeplug& doc, int channel, int column, std::string_view text) {
  if (column <= kColChannel || column >= kGridColumnCount) {
    return ApplyOwnRules(doc, channel, kColChannel, std::string(text), text);
  }
  const std::string cell(text);
  RowCells cells{};
  cells[static_cast<std::size_t>(column)] = &cell;
  for (const CellNote& note : ApplyRow(doc, channel, cells)) {
    if (note.refused) return note.text;
  }
  return {};
}

void StoreTableChanges(Codeplug& doc, const ChannelTable& before) {
  ChannelTable& table = doc.channels;
  table.DropLostPriorities();  // as the table's own encoding does
  if (!SameGroups(table, before)) {
    Image scratch = doc.image;
    table.EncodeGroupTables(scratch);
    for (const auto& [from, to] : {std::pair{26, 26}, std::pair{30, 103}, std::pair{104, 167},
                                   std::pair{512, 639}, std::pair{648, 807}}) {
      std::copy(scratch.begin() + from, scratch.begin() + to + 1, doc.image.begin() + from);
    }
  }
  // Only the records that changed are written: an import of a few rows does not encode the
  // other five hundred.
  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, 0.0);
  const std::span<std::uint8_t> image(doc.image);
  for (int i = 0; i < kChannelCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (SameRecord(table.records[k], before.records[k])) continue;
    table.EncodeChannel(table.records[k],
                        image.subspan(static_cast<std::size_t>(kOffsetChannels) +
                                          static_cast<std::size_t>(kChannelRecordSize) * k,
                                      kChannelRecordSize),
                        ctx);
  }
}

}  // namespace ql40::exchange
