#include "channels/grid_edit.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "channels/pick_lists.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"

namespace ql40 {
namespace {

// Column → View > Item flag (the last column of the grid's column table).
constexpr std::array<int, kGridColumnCount> kColumnFlag = {
    -1, 0, 1, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 14, 14, 15};

enum ColumnFlagIndex : int {
  kFlagPri = 0,
  kFlagWideNarrow,
  kFlagTag,
  kFlagFrequency,
  kFlagSubAudio,
  kFlagPowerSave,
  kFlagPower,
  kFlagScan,
  kFlagTimeOut,
  kFlagSquelch,
  kFlagAni,
  kFlagEncryption,
  kFlagLockOut,
  kFlagCode,
  kFlagClockShift,
  kFlagRchk,
};

constexpr int kFirstChannelTypeWithDcsOnly = 51;  // tone indices from here on are DCS codes
// The characters the tag editor drops. The backquote is not a tag symbol either: taken, it
// would show as typed and be stored as a blank.
constexpr std::string_view kTagRefused = "!\"#$%&',;<>?@^{|}~`";

ChannelRecord& Rec(Codeplug& doc, int channel) {
  return doc.channels.records[static_cast<std::size_t>(channel)];
}

bool ValidChannel(int channel) {
  return channel >= 0 && channel < kChannelCount;
}

bool SubCpu(int unit) {
  return unit == kOptionScb100 || unit == kOptionScbd200;
}

bool SubCpuOrSubsig(int unit) {
  return unit == kOptionSubsig || SubCpu(unit);
}

// Everything of a channel that the grid can change, and the group's priority.
struct ChannelState {
  ChannelRecord record;
  int priority = 0;

  bool operator==(const ChannelState& o) const {
    return priority == o.priority && record == o.record;
  }
};

ChannelState StateOf(const Codeplug& doc, int channel) {
  const int group = doc.channels.GroupOfChannel(channel);
  ChannelState s;
  s.record = doc.channels.records[static_cast<std::size_t>(channel)];
  s.priority = group < kGroupCount ? doc.channels.priority[static_cast<std::size_t>(group)] : 0;
  return s;
}

ChannelContext ContextOf(const Codeplug& doc) {
  return ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
}

void AfterTypeChange(ChannelRecord& r);

// The channel as a save and reopen give it back, with the grid's rule that only DCS has RCHK
// (a DCS channel whose last tone went reads back without a type).
void Settle(Codeplug& doc, int channel) {
  ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(channel)];
  const int type = r.sub_audio_type;
  doc.channels.SettleChannel(channel, ContextOf(doc));
  if (r.sub_audio_type != type) AfterTypeChange(r);
}

// Runs a change, brings the channel to what the image will hold, and sets the modified flag
// when the channel (or its group's priority) is not what it was.
template <typename Change>
bool Changing(Codeplug& doc, int channel, Change change) {
  const ChannelState before = StateOf(doc, channel);
  const bool ok = change();
  if (!ok) return false;
  Settle(doc, channel);
  const bool changed = !(StateOf(doc, channel) == before);
  if (changed) doc.modified = true;
  return true;
}

// After the type changed: DCS indices have no CTCSS tone, RCHK needs DCS.
void AfterTypeChange(ChannelRecord& r) {
  if (r.sub_audio_type == 0) {
    r.clear_tones();
    r.Set(field::kToneFlags, 0);
  }
  if (r.sub_audio_type != 2) {
    if (r.rx_tone() >= kFirstChannelTypeWithDcsOnly ||
        r.tx_tone() >= kFirstChannelTypeWithDcsOnly) {
      r.clear_tones();
    }
    r.set_rchk(false);
  }
}

void SetCode(ChannelRecord& r, int code, int option_unit) {
  r.set_code(code);
  if (SubCpuOrSubsig(option_unit) && code != 0) r.set_ani(false);
}

void SetAni(ChannelRecord& r, bool on, int option_unit) {
  r.set_ani(on);
  if (on && SubCpuOrSubsig(option_unit) && r.Get(field::kCode) != 0) r.set_code(0);
}

void SetTone(ChannelRecord& r, int column, int index) {
  if (column == kColEncode) {
    r.set_tx_tone(index);
    return;
  }
  const bool none_before = r.rx_tone() == 0 && r.tx_tone() == 0;
  r.set_rx_tone(index);
  if (none_before) r.set_tx_tone(index);
}

int ToneListSize(int type) {
  return static_cast<int>((type == 2 ? res::kDcsCodes : res::kCtcssTones).size());
}

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

// Position of text in a list, exact or with the blanks around it ignored.
int FindLoose(res::LabelList list, std::string_view text) {
  const int exact = res::FindLabel(list, text);
  if (exact >= 0) return exact;
  const std::string_view t = Trim(text);
  if (t.empty()) return -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (Trim(list[i]) == t) return static_cast<int>(i);
  }
  return -1;
}

// The squelch column's texts: a sign and a digit, " 0", or a bare digit.
bool ParseSquelch(std::string_view t, int& value) {
  t = Trim(t);
  if (t.empty()) return false;
  bool minus = false;
  if (t.front() == '+' || t.front() == '-') {
    minus = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.size() != 1 || t[0] < '0' || t[0] > '7') return false;
  const int magnitude = t[0] - '0';
  value = magnitude == 0 ? 0 : magnitude | (minus ? 0x08 : 0);
  return true;
}

// A field column this channel cannot change: the clock shift option needs the SUBSIG unit,
// RCHK a DCS channel.
bool FieldLocked(const Codeplug& doc, const ChannelRecord& r, int column) {
  return (column == kColClockShiftOption && doc.option_unit != kOptionSubsig) ||
         (column == kColRchk && r.sub_audio_type != 2);
}

// A field column set to entry i of its list; ANI gives way to a code where the unit has one.
bool SetFieldCell(Codeplug& doc, ChannelRecord& r, int column, int i) {
  const FieldColumn* c = FieldColumnOf(column);
  if (c == nullptr || FieldLocked(doc, r, column)) return false;
  if (column == kColAni) {
    SetAni(r, i == 1, doc.option_unit);
  } else {
    r.Set(c->field, i);
  }
  return true;
}

bool PasteFrequency(Codeplug& doc, int channel, int column, std::string_view t, std::string* note) {
  if (t.size() > static_cast<std::size_t>(kEditorMaxLength)) return false;
  if (Trim(t).empty()) return false;
  for (char c : t) {
    const auto ch = static_cast<unsigned char>(c);
    if (ch >= 0x80 || !FrequencyCharAccepted(ch)) return false;
  }
  std::string moved = doc.channels.CommitCellText(channel, column, t, ContextOf(doc));
  if (note != nullptr) *note = std::move(moved);
  return true;
}

// "P" makes the channel its group's priority, "-" takes the mark away.
bool PastePriority(Codeplug& doc, int channel, std::string_view t) {
  const ChannelTable& table = doc.channels;
  const int group = table.GroupOfChannel(channel);
  if (group >= kGroupCount || (t != "P" && t != "-")) return false;
  const bool is_priority = table.PriorityChannelOf(group) == channel;
  if (is_priority != (t == "P")) TogglePriority(doc, channel);
  return true;
}

bool PasteTag(Codeplug& doc, int channel, std::string_view t) {
  if (t.size() > static_cast<std::size_t>(kEditorMaxLength) || t.empty()) return false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const auto ch = static_cast<unsigned char>(t[i]);
    if (ch >= 0x80 || !TagCharAccepted(ch, static_cast<int>(i))) return false;
  }
  // The editor makes letters upper case as they are typed; a pasted tag is the same text,
  // and the radio has no lower-case letters (they would be stored as blanks).
  doc.channels.CommitCellText(channel, kColTag, Upper(t), ContextOf(doc));
  return true;
}

bool PasteCode(Codeplug& doc, ChannelRecord& r, std::string_view t) {
  const std::string_view s = Trim(t);
  if (s == "-") {
    SetCode(r, 0, doc.option_unit);
    return true;
  }
  if (s.size() != 1 || s[0] < '0' || s[0] > '9') return false;
  const int code = s[0] == '0' ? 10 : s[0] - '0';
  // Only codes the column's pick list offers: a paging slot in use, or one of the
  // sub-CPU's three signalling formats.
  const PickListModel list = CodePickList(doc, r.code_number());
  if (std::find(list.values.begin() + 1, list.values.end(), code) == list.values.end()) {
    return false;
  }
  SetCode(r, code, doc.option_unit);
  return true;
}

bool PasteIntoCell(Codeplug& doc, int channel, int column, std::string_view t, std::string* note) {
  ChannelRecord& r = Rec(doc, channel);
  switch (column) {
    case kColPriority:
      return PastePriority(doc, channel, t);
    case kColTag:
      return PasteTag(doc, channel, t);
    case kColReceive:
      return PasteFrequency(doc, channel, column, t, note);
    case kColTransmit:
      if (t == res::kTxInhibited) {
        r.set_tx_inhibit(true);
        return true;
      }
      if (!PasteFrequency(doc, channel, column, t, note)) return false;
      r.set_tx_inhibit(false);
      return true;
    case kColSubAudioType: {
      const int type = FindLoose(res::kSubAudioTypes, t);
      if (type < 0) return false;
      r.sub_audio_type = type;
      AfterTypeChange(r);
      return true;
    }
    case kColDecode:
    case kColEncode: {
      // A channel without sub-audio has no tone: a copied row of one pastes as it is.
      if (r.sub_audio_type == 0) {
        return Trim(t) == res::kNoSubAudio || Trim(t) == Trim(res::kCtcssTones[0]);
      }
      const int index = FindLoose(r.sub_audio_type == 2 ? res::kDcsCodes : res::kCtcssTones, t);
      if (index < 0) return false;
      SetTone(r, column, index);
      return true;
    }
    case kColSquelch: {
      int value = 0;
      if (!ParseSquelch(t, value)) return false;
      r.set_squelch_setting(value);
      return true;
    }
    case kColCode:
      return PasteCode(doc, r, t);
    default: {
      const FieldColumn* c = FieldColumnOf(column);
      if (c == nullptr) return false;
      const int i = res::FindLabel(*c->labels, Trim(t));
      return i >= 0 && SetFieldCell(doc, r, column, i);
    }
  }
}

void Restore(Codeplug& doc, int channel, const ChannelState& state, bool modified) {
  doc.channels.records[static_cast<std::size_t>(channel)] = state.record;
  const int group = doc.channels.GroupOfChannel(channel);
  if (group < kGroupCount) doc.channels.priority[static_cast<std::size_t>(group)] = state.priority;
  doc.modified = modified;
}

std::string CellName(int channel, int column, int option_unit) {
  return res::FormatString(
      kStrCellName, {std::to_string(channel + 1), Trim(GridHeading(1, column, option_unit))});
}

}  // namespace

int ColumnFlagOf(int column) {
  if (column < 0 || column >= kGridColumnCount) return -1;
  return kColumnFlag[static_cast<std::size_t>(column)];
}

bool ColumnShown(const ColumnFlags& flags, int column) {
  if (column < 0 || column >= kGridColumnCount) return false;
  const int flag = ColumnFlagOf(column);
  return flag < 0 || flags[static_cast<std::size_t>(flag)] != 0;
}

int NextShownColumn(const ColumnFlags& flags, int column, int step) {
  if (step == 0) return column;
  for (int c = column + step; c >= 0 && c < kGridColumnCount; c += step) {
    if (ColumnShown(flags, c)) return c;
  }
  return column;
}

int GridHelpId(int column, int option_unit) {
  if (column < 0) column = 0;
  if (column <= 18) return 300 + column;
  if (column == kColCode) {
    if (option_unit == kOption2Tone) return 320;
    if (option_unit >= kOptionSubsig && option_unit <= kOptionScbd200) return 321;
    return 319;
  }
  return 302 + std::min(column, kGridColumnCount - 1);
}

bool TogglePriority(Codeplug& doc, int channel) {
  if (!ValidChannel(channel) || !Rec(doc, channel).programmed()) return false;
  ChannelTable& table = doc.channels;
  const int group = table.GroupOfChannel(channel);
  if (group >= kGroupCount) return false;
  auto& priority = table.priority[static_cast<std::size_t>(group)];
  const int entry = channel - table.FirstIndexOfGroup(group) + 1;
  priority = table.PriorityChannelOf(group) == channel ? 0 : entry;
  doc.modified = true;
  return true;
}

namespace {

// Space on a column that is not a field column; kNone when it does not step at all (the tag and
// the receive frequency are edited instead).
CellAction StepOtherCell(Codeplug& doc, int channel, int column) {
  ChannelRecord& r = Rec(doc, channel);
  ChannelTable& table = doc.channels;
  switch (column) {
    case kColChannel: {
      if (!r.programmed()) {
        r.set_programmed(true);
      } else if (channel != 0) {  // channel 1 is always programmed
        const int group = table.GroupOfChannel(channel);
        if (table.PriorityChannelOf(group) == channel) {
          table.priority[static_cast<std::size_t>(group)] = 0;
        }
        r.Set(field::kStatusFlags, 0);
      }
      return CellAction::kChanged;
    }
    case kColPriority:
      return TogglePriority(doc, channel) ? CellAction::kChanged : CellAction::kNone;
    case kColTransmit:
      r.set_tx_inhibit(!r.tx_inhibit());
      return CellAction::kChanged;
    case kColSubAudioType:
      // The radio keeps a sub-audio type only with a tone: from none, the step asks for the
      // receive tone of CTCSS (which sets the transmit tone as well).
      if (r.sub_audio_type == 0) return CellAction::kPick;
      r.sub_audio_type = (r.sub_audio_type + 1) % 3;
      AfterTypeChange(r);
      return CellAction::kChanged;
    case kColDecode:
    case kColEncode:
      return r.sub_audio_type == 0 ? CellAction::kBeep : CellAction::kPick;
    case kColSquelch:
    case kColCode:
      return CellAction::kPick;
    default:
      return CellAction::kNone;
  }
}

// Space on a field column: the next entry of its list (a bit flips), where the channel can
// have the field.
CellAction StepFieldCell(Codeplug& doc, int channel, int column, const FieldColumn& c) {
  ChannelRecord& r = Rec(doc, channel);
  if (FieldLocked(doc, r, column)) return CellAction::kBeep;
  // Encryption only with no encryption device restriction in the option byte.
  if (column == kColEncryption && bits::Test(doc.image[kOffsetOptionUnit], 0)) {
    return CellAction::kNone;
  }
  if (column == kColScan) return CellAction::kPick;
  const int next = (r.Get(c.field) + 1) % static_cast<int>(c.labels->size());
  if (column == kColAni) {
    SetAni(r, next == 1, doc.option_unit);
  } else {
    r.Set(c.field, next);
  }
  return CellAction::kChanged;
}

}  // namespace

CellAction CycleCell(Codeplug& doc, int channel, int column) {
  if (!ValidChannel(channel) || column < 0 || column >= kGridColumnCount) return CellAction::kNone;
  if (column != kColChannel && !Rec(doc, channel).programmed()) return CellAction::kNone;
  CellAction action = CellAction::kNone;
  Changing(doc, channel, [&] {
    const FieldColumn* c = FieldColumnOf(column);
    action = c != nullptr ? StepFieldCell(doc, channel, column, *c)
                          : StepOtherCell(doc, channel, column);
    return action == CellAction::kChanged;
  });
  return action;
}

CellAction DoubleClickCell(Codeplug& doc, int channel, int column) {
  if (column == kColTag || column == kColReceive || column == kColTransmit) {
    return CanEditCell(doc, channel, column) ? CellAction::kEdit : CellAction::kNone;
  }
  return CycleCell(doc, channel, column);
}

bool ApplyPick(Codeplug& doc, int channel, int column, int value) {
  if (!ValidChannel(channel)) return false;
  ChannelRecord& r = Rec(doc, channel);
  if (!r.programmed()) return false;
  return Changing(doc, channel, [&] {
    switch (column) {
      case kColSubAudioType:
        if (r.sub_audio_type != 0 || value <= 0 || value >= ToneListSize(1)) return false;
        r.sub_audio_type = 1;
        SetTone(r, kColDecode, value);
        return true;
      case kColDecode:
      case kColEncode:
        if (r.sub_audio_type == 0 || value < 0 || value >= ToneListSize(r.sub_audio_type)) {
          return false;
        }
        SetTone(r, column, value);
        return true;
      case kColScan:
        if (value < 0 || value > 3) return false;
        r.set_scan_nibble(value);
        return true;
      case kColSquelch:
        if (value < 0 || value > 15) return false;
        r.set_squelch_setting(value == 8 ? 0 : value);
        return true;
      case kColCode: {
        const PickListModel list = CodePickList(doc, r.code_number());
        if (std::find(list.values.begin(), list.values.end(), value) == list.values.end()) {
          return false;
        }
        SetCode(r, value, doc.option_unit);
        return true;
      }
      default:
        return false;
    }
  });
}

bool ComplementDcs(Codeplug& doc, int channel, int column) {
  if (!ValidChannel(channel) || (column != kColDecode && column != kColEncode)) return false;
  const ChannelRecord& r = Rec(doc, channel);
  if (!r.programmed() || r.sub_audio_type != 2) return false;
  return Changing(doc, channel, [&] {
    doc.channels.DcsComplement(channel, column);
    return true;
  });
}

int EditorMode(int column) {
  if (column == kColTag) return 0;
  if (column == kColReceive || column == kColTransmit) return 1;
  return -1;
}

bool CanEditCell(const Codeplug& doc, int channel, int column) {
  return ValidChannel(channel) && EditorMode(column) >= 0 &&
         doc.channels.records[static_cast<std::size_t>(channel)].programmed();
}

bool TagCharAccepted(char32_t ch, int position) {
  const auto c = static_cast<char>(ch & 0x7F);
  if (c == '\b') return true;
  if (c < 0x20 || c == 0x7F) return false;
  if (kTagRefused.find(c) != std::string_view::npos) return false;
  if (c == '.') return position == 3;
  return true;
}

bool FrequencyCharAccepted(char32_t ch) {
  const auto c = static_cast<char>(ch & 0x7F);
  return c == '\b' || (c >= '0' && c <= '9') || c == '.' || c == ' ';
}

bool EditorCharAccepted(int mode, char32_t ch, int position) {
  if (mode == 0) return TagCharAccepted(ch, position);
  if (mode == 1) return FrequencyCharAccepted(ch);
  return false;
}

std::string EditorSeed(const Codeplug& doc, int channel, int column) {
  if (!ValidChannel(channel)) return {};
  const ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(channel)];
  if (column == kColTransmit && r.tx_inhibit()) return FrequencyText(r.tx_frequency);
  return GridCellText(doc, channel, column);
}

std::string FilterEditorInput(int mode, std::string_view text, int position, int room) {
  std::string out;
  for (char c : text) {
    if (static_cast<int>(out.size()) >= room) break;
    if (c == '\b' || c == '\r' || c == '\n' || c == '\t') continue;
    const auto ch = static_cast<unsigned char>(c);
    if (ch >= 0x80) continue;  // the radio's character set is plain ASCII
    if (!EditorCharAccepted(mode, ch, position + static_cast<int>(out.size()))) continue;
    out += static_cast<char>(std::toupper(ch));
  }
  return out;
}

bool CommitEditorText(Codeplug& doc, int channel, int column, std::string_view text,
                      std::string* note) {
  if (!CanEditCell(doc, channel, column)) return false;
  // Opening and closing the editor without typing must not move the transmit frequency
  // (a committed receive frequency sets it from the split) or snap a frequency.
  if (text == EditorSeed(doc, channel, column)) return false;
  bool changed = false;
  Changing(doc, channel, [&] {
    const ChannelState before = StateOf(doc, channel);
    std::string moved = doc.channels.CommitCellText(channel, column, text, ContextOf(doc));
    if (note != nullptr) *note = std::move(moved);
    changed = !(StateOf(doc, channel) == before);
    return true;
  });
  return changed;
}

PasteResult PasteCell(Codeplug& doc, int channel, int column, std::string_view text,
                      const ColumnFlags& flags, Prompter& prompter, std::string* note) {
  if (!ValidChannel(channel) || column < 0 || column >= kGridColumnCount) {
    return PasteResult::kRefused;
  }
  ChannelTable& table = doc.channels;
  if (column == kColChannel) {
    if (text.find('.') != std::string_view::npos) return PasteResult::kRefused;
    const std::string_view digits = Trim(text);
    if (digits.empty() || digits.size() > 3) return PasteResult::kRefused;
    int n = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return PasteResult::kRefused;
      n = n * 10 + (c - '0');
    }
    const int source = n - 1;
    if (n == 0 || source >= table.capacity || source == channel) return PasteResult::kRefused;
    const std::string here = GridCellText(doc, channel, kColChannel);
    if (prompter.Ask(res::kStrCopyChannel, MessageIcon::kQuestion, MessageButtons::kYesNo,
                     {text, here}) != Answer::kYes) {
      return PasteResult::kDeclined;
    }
    Changing(doc, channel, [&] {
      CopyChannelFields(doc, source, channel, flags);
      return true;
    });
    return PasteResult::kPasted;
  }
  if (!Rec(doc, channel).programmed()) return PasteResult::kRefused;
  const ChannelState before = StateOf(doc, channel);
  const bool modified = doc.modified;
  const bool ok =
      Changing(doc, channel, [&] { return PasteIntoCell(doc, channel, column, text, note); });
  if (!ok) return PasteResult::kRefused;
  // A value the image cannot hold on its own (a sub-audio type without a tone) is not pasted.
  if (!ShowsPasted(doc, channel, column, text)) {
    Restore(doc, channel, before, modified);
    if (note != nullptr) note->clear();
    return PasteResult::kRefused;
  }
  return PasteResult::kPasted;
}

PasteResult PasteCellInRow(Codeplug& doc, int channel, int column, std::string_view text,
                           std::string* note) {
  if (!ValidChannel(channel) || column <= kColChannel || column >= kGridColumnCount) {
    return PasteResult::kRefused;
  }
  if (!Rec(doc, channel).programmed()) return PasteResult::kRefused;
  const ChannelState before = StateOf(doc, channel);
  if (!PasteIntoCell(doc, channel, column, text, note)) return PasteResult::kRefused;
  if (!(StateOf(doc, channel) == before)) doc.modified = true;
  return PasteResult::kPasted;
}

void SettleRow(Codeplug& doc, int channel) {
  if (!ValidChannel(channel)) return;
  const ChannelState before = StateOf(doc, channel);
  Settle(doc, channel);
  if (!(StateOf(doc, channel) == before)) doc.modified = true;
}

bool ShowsPasted(const Codeplug& doc, int channel, int column, std::string_view text) {
  if (!ValidChannel(channel)) return false;
  std::string shown = GridCellText(doc, channel, column);
  const std::string_view t = Trim(text);
  switch (column) {
    case kColChannel:
    case kColReceive:
    case kColTransmit:
      // A frequency that had to move says so in its own note.
      return true;
    case kColTag: {
      // Letters become capitals as they are typed; trailing blanks are padding.
      std::string typed = Upper(text);
      typed.erase(typed.find_last_not_of(' ') + 1);
      shown.erase(shown.find_last_not_of(' ') + 1);
      return typed == shown;
    }
    case kColSquelch: {
      int a = 0;
      int b = 0;
      return ParseSquelch(t, a) && ParseSquelch(shown, b) && a == b;
    }
    case kColDecode:
    case kColEncode:
      // "Off" on both tones leaves no sub-audio type, and the tones then show as none.
      if (t == Trim(res::kCtcssTones[0]) && Trim(shown) == res::kNoSubAudio) return true;
      return t == Trim(shown);
    default:
      return t == Trim(shown);
  }
}

void CopyChannelFields(Codeplug& doc, int source, int destination, const ColumnFlags& flags) {
  if (!ValidChannel(source) || !ValidChannel(destination) || source == destination) return;
  ChannelTable& table = doc.channels;
  const ChannelRecord& s = table.records[static_cast<std::size_t>(source)];
  ChannelRecord& d = Rec(doc, destination);
  const auto shown = [&](int flag) { return flags[static_cast<std::size_t>(flag)] != 0; };
  const auto copy = [&](auto... fields) { (d.CopyField(s, fields), ...); };

  if (destination != 0) copy(field::kStatusFlags);
  const int group = table.GroupOfChannel(destination);
  if (shown(kFlagPri) && group < kGroupCount) {
    const bool source_is_priority = table.PriorityChannelOf(table.GroupOfChannel(source)) == source;
    auto& priority = table.priority[static_cast<std::size_t>(group)];
    if (source_is_priority) {
      priority = destination - table.FirstIndexOfGroup(group) + 1;
    } else if (table.PriorityChannelOf(group) == destination) {
      // Only the destination's own mark goes: another channel's priority is not this copy's.
      priority = 0;
    }
  }
  if (shown(kFlagWideNarrow)) copy(field::kNarrow);
  if (shown(kFlagTag)) {
    d.tag = s.tag;
    copy(field::kTagPoint);
  }
  if (shown(kFlagFrequency)) {
    d.rx_frequency = s.rx_frequency;
    d.tx_frequency = s.tx_frequency;
    copy(field::kTxInhibit, field::kClockShifts, field::kSteps);
    d.tune_rx0 = s.tune_rx0;
    d.tune_tx0 = s.tune_tx0;
    d.tune_rx = s.tune_rx;
    // The squelch offset and the tag's point have columns of their own.
    copy(field::kSquelchHigh);
    for (std::size_t i = 0; i < 3; ++i) d.tune_tx[i] = s.tune_tx[i];
  }
  if (shown(kFlagSubAudio)) {
    d.sub_audio_type = s.sub_audio_type;
    copy(field::kToneFlags, field::kTxTone, field::kRxTone);
  }
  if (shown(kFlagPowerSave)) {
    copy(field::kTxPowerSave, field::kRxPowerSave);
  }
  if (shown(kFlagPower)) copy(field::kPowerSetting);
  if (shown(kFlagScan)) copy(field::kStatusHigh);
  if (shown(kFlagTimeOut)) copy(field::kTimeOutTimer);
  if (shown(kFlagSquelch)) copy(field::kSquelch);
  if (shown(kFlagAni)) SetAni(d, s.ani(), doc.option_unit);
  if (shown(kFlagEncryption)) copy(field::kEncryption);
  if (shown(kFlagLockOut)) copy(field::kLockOut);
  if (shown(kFlagCode)) {
    copy(field::kCode);
    if (SubCpuOrSubsig(doc.option_unit) && d.Get(field::kCode) != 0) d.set_ani(false);
  }
  if (shown(kFlagClockShift)) copy(field::kClockShifts);
  if (shown(kFlagRchk)) copy(field::kRchk);
  // An unprogrammed channel cannot stay the group's priority.
  if (!d.programmed() && group < kGroupCount && table.PriorityChannelOf(group) < 0) {
    table.priority[static_cast<std::size_t>(group)] = 0;
  }
}

std::vector<std::vector<std::string>> SplitClipboardText(std::string_view text) {
  if (text.ends_with("\r\n")) {
    text.remove_suffix(2);
  } else if (text.ends_with('\n') || text.ends_with('\r')) {
    text.remove_suffix(1);
  }
  std::vector<std::vector<std::string>> rows;
  std::size_t start = 0;
  while (true) {
    std::size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::vector<std::string> cells;
    std::size_t cell_start = 0;
    while (true) {
      const std::size_t tab = line.find('\t', cell_start);
      cells.emplace_back(
          line.substr(cell_start, tab == std::string_view::npos ? line.npos : tab - cell_start));
      if (tab == std::string_view::npos) break;
      cell_start = tab + 1;
    }
    rows.push_back(std::move(cells));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return rows;
}

std::string BlockPasteReport::StatusText() const {
  if (single) return moved.empty() ? std::string() : moved.front();
  std::string text;
  if (refused.empty()) {
    text = res::FormatString(kStrCellsPasted, {std::to_string(pasted + unchanged)});
  } else {
    std::string names;
    const std::size_t shown = std::min<std::size_t>(refused.size(), 6);
    for (std::size_t i = 0; i < shown; ++i) {
      if (i > 0) names += ", ";
      names += CellName(refused[i].channel, refused[i].column, option_unit);
    }
    if (refused.size() > shown) names += ", ...";
    text = res::FormatString(kStrCellsPastedRefused, {std::to_string(pasted + unchanged),
                                                      std::to_string(refused.size()), names});
  }
  if (rows_left_out > 0)
    text += res::FormatString(kStrRowsLeftOut, {std::to_string(rows_left_out)});
  // A frequency moved to one the radio can store is never silent; the first one is named.
  if (!moved.empty()) text += "  " + moved.front();
  return text;
}

BlockPasteReport PasteBlock(Codeplug& doc, const CellRange& range, std::string_view text,
                            const ColumnFlags& flags, Prompter& prompter) {
  BlockPasteReport report;
  report.option_unit = doc.option_unit;
  const ChannelTable& table = doc.channels;
  const int group = table.GroupOfChannel(range.first_channel);
  if (group >= kGroupCount) return report;
  const int group_last =
      table.FirstIndexOfGroup(group) + table.count[static_cast<std::size_t>(group)] - 1;
  const int last_channel = std::min(range.last_channel, group_last);
  const auto rows = SplitClipboardText(text);
  const bool one_cell = rows.size() == 1 && rows[0].size() == 1;

  const auto paste_one = [&](int channel, int column, const std::string& cell) {
    const ChannelState before = StateOf(doc, channel);
    std::string note;
    const PasteResult result = PasteCell(doc, channel, column, cell, flags, prompter, &note);
    if (!note.empty()) report.moved.push_back(std::move(note));
    if (result != PasteResult::kPasted) {
      report.refused.push_back({channel, column});
    } else if (StateOf(doc, channel) == before) {
      ++report.unchanged;
    } else {
      ++report.pasted;
    }
  };

  if (range.single() && one_cell) {
    report.single = true;
    std::string note;
    report.single_result =
        PasteCell(doc, range.first_channel, range.first_column, rows[0][0], flags, prompter, &note);
    if (!note.empty()) report.moved.push_back(std::move(note));
    return report;
  }
  if (one_cell) {
    // Range fill: the one cell into every shown cell of the range.
    for (int ch = range.first_channel; ch <= last_channel; ++ch) {
      for (int col = std::max(range.first_column, 1); col <= range.last_column; ++col) {
        if (ColumnShown(flags, col)) paste_one(ch, col, rows[0][0]);
      }
    }
    return report;
  }
  int channel = range.first_channel;
  for (const auto& row : rows) {
    if (channel > group_last) {
      ++report.rows_left_out;
      continue;
    }
    int column = ColumnShown(flags, range.first_column)
                     ? range.first_column
                     : NextShownColumn(flags, range.first_column, 1);
    // The cells of a row go in together (a sub-audio type with its tones) and the channel is
    // then brought to what the image holds; a cell that does not show afterwards was refused.
    struct Taken {
      int column;
      std::string text;
      std::string before;
    };
    std::vector<Taken> taken;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (column >= kGridColumnCount || !ColumnShown(flags, column)) break;
      // A copied channel number says where the row came from, not what to write.
      if (column != kColChannel) {
        const std::string before = GridCellText(doc, channel, column);
        std::string note;
        if (PasteCellInRow(doc, channel, column, row[i], &note) == PasteResult::kPasted) {
          taken.push_back({column, row[i], before});
        } else {
          report.refused.push_back({channel, column});
        }
        if (!note.empty()) report.moved.push_back(std::move(note));
      }
      const int next = NextShownColumn(flags, column, 1);
      if (next == column) break;
      column = next;
    }
    SettleRow(doc, channel);
    for (const Taken& cell : taken) {
      if (!ShowsPasted(doc, channel, cell.column, cell.text)) {
        report.refused.push_back({channel, cell.column});
      } else if (GridCellText(doc, channel, cell.column) == cell.before) {
        ++report.unchanged;
      } else {
        ++report.pasted;
      }
    }
    ++channel;
  }
  return report;
}

std::string CopyRangeText(const Codeplug& doc, const CellRange& range, const ColumnFlags& flags) {
  std::string text;
  const bool one = range.single();
  for (int ch = range.first_channel; ch <= range.last_channel; ++ch) {
    bool first = true;
    for (int col = range.first_column; col <= range.last_column; ++col) {
      if (!ColumnShown(flags, col)) continue;
      if (!first) text += '\t';
      text += GridCellText(doc, ch, col);
      first = false;
    }
    if (!one) text += '\n';
  }
  return text;
}

}  // namespace ql40
