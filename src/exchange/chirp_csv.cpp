#include "exchange/chirp_csv.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <optional>
#include <set>

#include "channels/grid_edit.h"
#include "channels/grid_text.h"
#include "codeplug/codecs.h"
#include "codeplug/prompter.h"
#include "exchange/channel_cells.h"
#include "exchange/channels_csv.h"
#include "exchange/records.h"
#include "resources/channel_labels.h"
#include "settings/allocation_form.h"

namespace ql40::exchange {
namespace {

// The columns this program reads, by their names in the header; the rest (TStep, Comment, the
// digital voice calls, whatever a newer version adds) are read past.
enum Field : int {
  kLocation,
  kName,
  kFrequency,
  kDuplex,
  kOffset,
  kTone,
  kRToneFreq,
  kCToneFreq,
  kDtcsCode,
  kRxDtcsCode,
  kDtcsPolarity,
  kCrossMode,
  kMode,
  kSkip,
  kPower,
  kFieldCount
};

constexpr const char* kFieldNames[kFieldCount] = {
    "Location",     "Name",      "Frequency", "Duplex",   "Offset",
    "Tone",         "rToneFreq", "cToneFreq", "DtcsCode", "RxDtcsCode",
    "DtcsPolarity", "CrossMode", "Mode",      "Skip",     "Power"};

// The header an export writes: every column a reader of the format expects, in its order.
constexpr const char* kExportHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// Offsets further than this are written as a split: other programmers take "+" and "-" for
// repeater offsets only.
constexpr std::int64_t kLargestOffsetHz = 70'000'000;
// Below this a wattage counts as the low power level.
constexpr double kHighPowerWatts = 2.5;

int FieldOfName(std::string_view name) {
  const std::string n = Trim(name);
  for (int f = 0; f < kFieldCount; ++f) {
    if (SameIgnoringCase(n, kFieldNames[f])) return f;
  }
  return -1;
}

// Decimal text (digits, at most one point) scaled by 10^decimals and rounded half up; exact
// is false when digits were dropped. Nothing for anything else.
std::optional<std::int64_t> ParseFixed(std::string_view text, int decimals, bool* exact) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::int64_t whole = 0;
  std::int64_t fraction = 0;
  int places = 0;
  bool point = false;
  bool digits = false;
  bool dropped = false;
  bool round_up = false;
  for (char c : text) {
    if (c == '.') {
      if (point) return std::nullopt;
      point = true;
      continue;
    }
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits = true;
    const int d = c - '0';
    if (!point) {
      whole = whole * 10 + d;
      if (whole > 1'000'000'000'000LL) return std::nullopt;
    } else if (places < decimals) {
      fraction = fraction * 10 + d;
      ++places;
    } else {
      if (!dropped && places == decimals) round_up = d >= 5;
      if (d != 0) dropped = true;
      ++places;
    }
  }
  if (!digits) return std::nullopt;
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  for (int i = std::min(places, decimals); i < decimals; ++i) fraction *= 10;
  if (exact != nullptr) *exact = !dropped;
  return whole * scale + fraction + (round_up ? 1 : 0);
}

// "146.520000": MHz with six decimals, as the format writes frequencies and offsets.
std::string MhzText(std::int64_t hz) {
  const bool minus = hz < 0;
  if (minus) hz = -hz;
  std::string fraction = std::to_string(hz % 1'000'000);
  fraction.insert(0, 6 - fraction.size(), '0');
  return (minus ? "-" : "") + std::to_string(hz / 1'000'000) + "." + fraction;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string Mhz5(Frequency f) {
  return Trim(FrequencyText(f));
}

// The CTCSS list entry of a tone in Hz ("88.5", "100.0", "100"), 0 for none.
int CtcssIndex(std::string_view text) {
  bool exact = false;
  const auto tenths = ParseFixed(Trim(text), 1, &exact);
  if (!tenths || !exact) return 0;
  for (std::size_t i = 1; i < res::kCtcssTones.size(); ++i) {
    if (ParseFixed(Trim(res::kCtcssTones[i]), 1, nullptr) == tenths) return static_cast<int>(i);
  }
  return 0;
}

// The DCS list entry of a code ("023", "23"), 0 for none.
int DcsIndex(std::string_view text) {
  std::string code = Trim(text);
  if (code.empty() || code.size() > 3 || code.find_first_not_of("01234567") != std::string::npos) {
    return 0;
  }
  code.insert(0, 3 - code.size(), '0');
  for (std::size_t i = 1; i < res::kDcsCodes.size(); ++i) {
    if (res::kDcsCodes[i] == code) return static_cast<int>(i);
  }
  return 0;
}

// A plan row turned into grid cell texts, before it meets a channel.
struct Translation {
  std::array<std::optional<std::string>, kGridColumnCount> cells;
  std::int64_t receive_hz = 0;
  std::optional<std::int64_t> transmit_hz;  // none when the transmitter is off
  std::string transmit_from;                // "Duplex +, Offset 0.600000" for the messages
  enum class Scan { kSaysNothing, kScans, kSkipped } scan = Scan::kSaysNothing;
  std::string power_kept;  // a Power the radio cannot take, kept out of the row
  std::vector<std::string> changes;
};

class RowReader {
 public:
  RowReader(const std::vector<std::string>& row, const std::array<int, kFieldCount>& columns)
      : row_(row), columns_(columns) {}
  bool Has(int field) const { return columns_[static_cast<std::size_t>(field)] >= 0; }
  std::string Raw(int field) const {
    const int c = columns_[static_cast<std::size_t>(field)];
    if (c < 0 || static_cast<std::size_t>(c) >= row_.size()) return {};
    return row_[static_cast<std::size_t>(c)];
  }
  std::string Get(int field) const { return Trim(Raw(field)); }

 private:
  const std::vector<std::string>& row_;
  const std::array<int, kFieldCount>& columns_;
};

// Name → tag: upper case, tag symbols only, a point only after the third character, at most
// eight characters. Whatever that changes beyond the case is said.
std::string TranslateName(const std::string& raw, std::vector<std::string>& changes) {
  std::string name = raw;
  name.erase(name.find_last_not_of(' ') + 1);
  std::string tag;
  bool dropped = false;
  bool cut = false;
  std::string dropped_chars;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte >= 0x80) {
      // A character beyond ASCII, whole: the lead byte and its continuation bytes.
      std::size_t j = i + 1;
      while (j < name.size() && (static_cast<unsigned char>(name[j]) & 0xC0) == 0x80) ++j;
      if (dropped_chars.find(name.substr(i, j - i)) == std::string::npos) {
        dropped_chars += name.substr(i, j - i);
      }
      i = j - 1;
      dropped = true;
      continue;
    }
    const char c = static_cast<char>(std::toupper(byte));
    const bool point = c == '.' && tag.size() == 3;
    if (!point && !IsTagChar(c)) {
      if (dropped_chars.find(c) == std::string::npos) dropped_chars += c;
      dropped = true;
      continue;
    }
    tag += c;
  }
  const std::size_t room = tag.size() > 3 && tag[3] == '.' ? 9 : 8;
  if (tag.size() > room) {
    tag.resize(room);
    cut = true;
  }
  tag.erase(tag.find_last_not_of(' ') + 1);
  if (dropped || cut) {
    std::string why;
    if (dropped) why = "\"" + dropped_chars + "\" not tag symbols";
    if (cut) why += std::string(why.empty() ? "" : "; ") + "cut to 8 characters";
    changes.push_back("Name " + Quoted(Trim(raw)) + " is stored as " + Quoted(tag) + " (" + why +
                      ")");
  }
  return tag;
}

// The tone fields of a row as cell texts of this radio.
class ToneFields {
 public:
  explicit ToneFields(const RowReader& in) : in_(in), polarity_(Upper(in.Get(kDtcsPolarity))) {
    if (polarity_.empty()) polarity_ = "NN";
  }
  const std::string& polarity() const { return polarity_; }

  std::string Ctcss(int field, std::optional<std::string>& cell) const {
    const std::string text = in_.Get(field);
    const int i = CtcssIndex(text);
    if (i == 0) {
      return text.empty() ? std::string(kFieldNames[field]) + " is empty"
                          : std::string(kFieldNames[field]) + " " + text +
                                " is not a CTCSS tone of this radio";
    }
    cell = Trim(res::kCtcssTones[static_cast<std::size_t>(i)]);
    return {};
  }

  // direction 0 transmit, 1 receive: the polarity's letter for it.
  std::string Dcs(int field, int direction, std::optional<std::string>& cell) const {
    // An older file has one code for both directions.
    const int source = field == kRxDtcsCode && !in_.Has(kRxDtcsCode) ? kDtcsCode : field;
    const std::string text = in_.Get(source);
    const int i = DcsIndex(text);
    if (i == 0) {
      return text.empty() ? std::string(kFieldNames[source]) + " is empty"
                          : std::string(kFieldNames[source]) + " " + text +
                                " is not a DCS code of this radio";
    }
    // An inverted code is heard as the code's complement.
    const bool inverted = polarity_[static_cast<std::size_t>(direction)] == 'R';
    cell = std::string(inverted ? res::kDcsComplementCodes[static_cast<std::size_t>(i)]
                                : res::kDcsCodes[static_cast<std::size_t>(i)]);
    return {};
  }

 private:
  const RowReader& in_;
  std::string polarity_;
};

// Tone "Cross": the received and sent tones each of their own, one kind of sub-audio.
std::string TranslateCrossTones(const RowReader& in, const ToneFields& tones, Translation& out) {
  auto& type = out.cells[kColSubAudioType];
  auto& decode = out.cells[kColDecode];
  auto& encode = out.cells[kColEncode];
  const std::string off(Trim(res::kCtcssTones[0]));
  const std::string cross = Lower(in.Get(kCrossMode));
  if (cross == "tone->dtcs" || cross == "dtcs->tone") {
    return "CrossMode " + Quoted(in.Get(kCrossMode)) +
           ": CTCSS one way and DCS the other, and a channel of this radio has one kind of "
           "sub-audio";
  }
  if (cross == "tone->tone" || cross == "->tone") {
    type = std::string(res::kSubAudioTypes[1]);
    std::string why = tones.Ctcss(kCToneFreq, decode);
    if (cross == "->tone") {
      encode = off;
    } else if (why.empty()) {
      why = tones.Ctcss(kRToneFreq, encode);
    }
    return why;
  }
  if (cross == "dtcs->dtcs" || cross == "->dtcs" || cross == "dtcs->") {
    type = std::string(res::kSubAudioTypes[2]);
    std::string why;
    if (cross == "->dtcs") {
      encode = off;
    } else {
      why = tones.Dcs(kDtcsCode, 0, encode);
    }
    if (cross == "dtcs->") {
      decode = off;
    } else if (why.empty()) {
      why = tones.Dcs(kRxDtcsCode, 1, decode);
    }
    return why;
  }
  return "CrossMode " + Quoted(in.Get(kCrossMode)) + " is not a cross mode";
}

// The sub-audio of a row: type, decode and encode cells. "" when the radio can hold it, else
// why not.
std::string TranslateTones(const RowReader& in, Translation& out) {
  const std::string mode = Lower(in.Get(kTone));
  auto& type = out.cells[kColSubAudioType];
  auto& decode = out.cells[kColDecode];
  auto& encode = out.cells[kColEncode];
  const ToneFields tones(in);
  const std::string& polarity = tones.polarity();
  const bool polarity_used =
      mode == "dtcs" ||
      (mode == "cross" && Lower(in.Get(kCrossMode)).find("dtcs") != std::string::npos);
  if (polarity_used &&
      (polarity.size() != 2 || polarity.find_first_not_of("NR") != std::string::npos)) {
    return "DtcsPolarity " + Quoted(in.Get(kDtcsPolarity)) + " is not NN, NR, RN or RR";
  }
  if (mode.empty()) {
    type = std::string(res::kSubAudioTypes[0]);
    return {};
  }
  if (mode == "tone") {
    type = std::string(res::kSubAudioTypes[1]);
    decode = std::string(Trim(res::kCtcssTones[0]));
    return tones.Ctcss(kRToneFreq, encode);
  }
  if (mode == "tsql") {
    type = std::string(res::kSubAudioTypes[1]);
    const std::string why = tones.Ctcss(kCToneFreq, encode);
    decode = encode;
    return why;
  }
  if (mode == "dtcs") {
    type = std::string(res::kSubAudioTypes[2]);
    std::string why = tones.Dcs(kDtcsCode, 0, encode);
    if (why.empty()) why = tones.Dcs(kDtcsCode, 1, decode);
    return why;
  }
  if (mode == "tsql-r" || mode == "dtcs-r") {
    return "Tone " + Quoted(in.Get(kTone)) +
           " (squelch that opens without the tone) is not something this radio does";
  }
  if (mode != "cross") return "Tone " + Quoted(in.Get(kTone)) + " is not a tone mode";
  return TranslateCrossTones(in, tones, out);
}

// Skip and Power, which the radio can always hold: what it changes to fit is named.
void TranslateScanAndPower(const RowReader& in, Translation& out) {
  const std::string skip = Upper(in.Get(kSkip));
  if (skip == "S") {
    out.scan = Translation::Scan::kSkipped;
  } else if (skip.empty() || skip == "P") {
    out.scan = Translation::Scan::kScans;
    if (skip == "P") {
      out.changes.push_back(
          "Skip \"P\" (priority scan) is not kept: the channel is in the scan lists");
    }
  } else {
    out.changes.push_back("Skip " + Quoted(in.Get(kSkip)) +
                          " is not \"\", S or P: the channel keeps its scan lists");
  }

  const std::string power = in.Get(kPower);
  const std::string p = Lower(power);
  if (p == "high" || p == "hi" || p == "h") {
    out.cells[kColPower] = std::string(res::kHighLow[0]);
  } else if (p == "low" || p == "lo" || p == "l") {
    out.cells[kColPower] = std::string(res::kHighLow[1]);
  } else if (!p.empty()) {
    std::string number = p;
    if (number.back() == 'w') number.pop_back();
    const auto milliwatts = ParseFixed(Trim(number), 3, nullptr);
    if (milliwatts) {
      const bool high = static_cast<double>(*milliwatts) >= kHighPowerWatts * 1000;
      out.cells[kColPower] = std::string(res::kHighLow[high ? 0 : 1]);
      out.changes.push_back("Power " + Quoted(power) + " is stored as " + *out.cells[kColPower] +
                            " (the radio has H and L)");
    } else {
      out.power_kept = power;
    }
  }
}

// A whole row: "" with the cells, or why the row cannot be stored.
std::string Translate(const RowReader& in, const Codeplug& doc, Translation& out) {
  const int band = doc.hardware.band;
  const auto in_band = [&](std::int64_t hz) {
    return hz >= std::int64_t{BandLowest(band)} * 10 && hz <= std::int64_t{BandHighest(band)} * 10;
  };
  const std::string band_text = Mhz5(BandLowest(band)) + "-" + Mhz5(BandHighest(band)) + " MHz";

  const std::string frequency = in.Get(kFrequency);
  if (frequency.empty()) return "no Frequency";
  const auto rx = ParseFixed(frequency, 6, nullptr);
  if (!rx) return "Frequency " + Quoted(frequency) + " is not a frequency in MHz";
  if (!in_band(*rx)) {
    return "Frequency " + frequency + " MHz is outside the band of this codeplug (" + band_text +
           ")";
  }
  out.receive_hz = *rx;
  out.cells[kColReceive] = Mhz5(static_cast<Frequency>((*rx + 5) / 10));

  const std::string duplex = Lower(in.Get(kDuplex));
  const std::string offset_text = in.Get(kOffset);
  const auto offset = ParseFixed(offset_text, 6, nullptr);
  if (duplex == "off") {
    out.cells[kColTransmit] = std::string(res::kTxInhibited);
  } else {
    std::int64_t tx = *rx;
    if (duplex == "+" || duplex == "-" || duplex == "split") {
      if (!offset) {
        return "Duplex " + in.Get(kDuplex) + " needs an Offset in MHz" +
               (offset_text.empty() ? "" : ", not " + Quoted(offset_text));
      }
      tx = duplex == "split" ? *offset : duplex == "+" ? *rx + *offset : *rx - *offset;
      out.transmit_from = "Duplex " + in.Get(kDuplex) + ", Offset " + offset_text;
    } else if (!duplex.empty()) {
      return "Duplex " + Quoted(in.Get(kDuplex)) + " is not \"\", +, -, split or off";
    }
    if (!in_band(tx)) {
      return "the transmit frequency " + MhzText(tx) + " MHz (" + out.transmit_from +
             ") is outside the band of this codeplug (" + band_text + ")";
    }
    out.transmit_hz = tx;
    out.cells[kColTransmit] = Mhz5(static_cast<Frequency>((tx + 5) / 10));
  }

  const std::string mode = Upper(in.Get(kMode));
  if (mode == "FM") {
    out.cells[kColWideNarrow] = std::string(res::kWideNarrow[0]);
  } else if (mode == "NFM") {
    out.cells[kColWideNarrow] = std::string(res::kWideNarrow[1]);
  } else if (!mode.empty()) {
    return "Mode " + in.Get(kMode) + " is not a mode of this radio (FM or NFM)";
  }

  if (const std::string why = TranslateTones(in, out); !why.empty()) return why;

  out.cells[kColTag] = TranslateName(in.Raw(kName), out.changes);

  TranslateScanAndPower(in, out);
  return {};
}

// What a row's messages call a grid column.
std::string FieldOfColumn(int column, int option_unit) {
  switch (column) {
    case kColTag:
      return "Name";
    case kColWideNarrow:
      return "Mode";
    case kColSubAudioType:
    case kColDecode:
    case kColEncode:
      return "Tone (" + ColumnName(column, option_unit) + ")";
    case kColPower:
      return "Power";
    case kColScan:
      return "Skip";
    case kColReceive:
      return "Frequency";
    case kColTransmit:
      return "Duplex/Offset";
    default:
      return ColumnName(column, option_unit);
  }
}

// Gives group g `needed` channels by the channel allocation rules. The groups after it keep
// their channels: their records move up with them, and the free records the group takes come
// from just past the last allocated channel. "" when done, else why not.
std::string GrowGroup(Codeplug& work, int g, int needed) {
  ChannelTable& t = work.channels;
  const auto gi = static_cast<std::size_t>(g);
  const int old_count = t.count[gi];
  if (needed <= old_count) return {};
  Codeplug scratch = work.WithoutHistory();
  SilentPrompter prompter;
  ChannelAllocationForm form(scratch, prompter);
  const FormCommit commit =
      form.Commit(ChannelAllocationForm::kFirstCount + g, std::to_string(needed));
  if (!commit.accepted || scratch.channels.count[gi] != needed) {
    return "the channel allocation refuses " + std::to_string(needed) + " channels in group " +
           std::to_string(g + 1);
  }
  int old_total = 0;
  for (int c : t.count) old_total += c;
  const int grow = needed - old_count;
  const int first_after = t.FirstIndexOfGroup(g) + old_count;
  std::rotate(t.records.begin() + first_after, t.records.begin() + old_total,
              t.records.begin() + old_total + grow);
  t.count[gi] = needed;
  t.total = scratch.channels.total;
  t.channels_left = scratch.channels.channels_left;
  return {};
}

std::string SubAudioSummary(const Codeplug& doc, int channel) {
  const std::string type = CellText(doc, channel, kColSubAudioType);
  if (type == Trim(res::kSubAudioTypes[0])) return {};
  return type + " " + CellText(doc, channel, kColDecode) + "/" + CellText(doc, channel, kColEncode);
}

// Applies a translated row to a channel. "" when it took, else why not (the channel is then as
// it was).
std::string ApplyTranslation(Codeplug& work, int channel, const Translation& tr, ChirpRow& row) {
  ChannelRecord& r = work.channels.records[static_cast<std::size_t>(channel)];
  const ChannelRecord saved = r;
  const int option_unit = work.option_unit;
  std::vector<std::string> changes = tr.changes;
  std::array<std::string, kGridColumnCount> texts;
  RowCells cells{};
  for (int c = 1; c < kGridColumnCount; ++c) {
    if (tr.cells[static_cast<std::size_t>(c)]) {
      texts[static_cast<std::size_t>(c)] = *tr.cells[static_cast<std::size_t>(c)];
      cells[static_cast<std::size_t>(c)] = &texts[static_cast<std::size_t>(c)];
    }
  }
  // A channel not yet in a scan list scans in both; one that is keeps its lists.
  const bool in_scan = CellText(work, channel, kColScan) != Trim(res::kScanLetters[0]);
  if (tr.scan == Translation::Scan::kSkipped ||
      (tr.scan == Translation::Scan::kScans && !in_scan)) {
    texts[kColScan] =
        std::string(res::kScanLetters[tr.scan == Translation::Scan::kSkipped ? 0 : 3]);
    cells[kColScan] = &texts[kColScan];
  }
  if (!tr.power_kept.empty()) {
    changes.push_back("Power " + Quoted(tr.power_kept) +
                      " is not High, Low or watts: the channel keeps " +
                      CellText(work, channel, kColPower));
  }
  if (!r.programmed()) CycleCell(work, channel, kColChannel);
  for (const CellNote& note : ApplyRow(work, channel, cells)) {
    if (note.refused) {
      r = saved;
      return FieldOfColumn(note.column, option_unit) + ": " + note.text;
    }
    // The frequencies are compared with the file's own values below.
    if (note.column == kColReceive || note.column == kColTransmit) continue;
    changes.push_back(FieldOfColumn(note.column, option_unit) + ": " + note.text);
  }
  const std::string receive = CellText(work, channel, kColReceive);
  if (std::int64_t{MhzTextTo10Hz(receive)} * 10 != tr.receive_hz) {
    changes.push_back("Frequency " + MhzText(tr.receive_hz) + " MHz is stored as " + receive);
  }
  const std::string transmit = CellText(work, channel, kColTransmit);
  // A simplex channel's transmit frequency moves with its receive frequency: said once.
  const bool simplex = tr.transmit_from.empty() && transmit == receive;
  if (tr.transmit_hz && !simplex && std::int64_t{MhzTextTo10Hz(transmit)} * 10 != *tr.transmit_hz) {
    changes.push_back("the transmit frequency " + MhzText(*tr.transmit_hz) + " MHz" +
                      (tr.transmit_from.empty() ? "" : " (" + tr.transmit_from + ")") +
                      " is stored as " + transmit);
  }
  row.changes = std::move(changes);
  row.tag = TagText(r);
  row.tag.erase(row.tag.find_last_not_of(' ') + 1);
  row.receive = receive;
  row.transmit = transmit;
  row.sub_audio = SubAudioSummary(work, channel);
  return {};
}

std::string Plural(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ChirpRow::Where() const {
  std::string where = "row " + std::to_string(row) + " (Location " +
                      (location.empty() ? std::string("none") : location);
  if (!name.empty()) where += ", " + Quoted(name);
  return where + ")";
}

int ChirpImport::Imported() const {
  return static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](const ChirpRow& r) { return r.channel >= 0; }));
}

int ChirpImport::Skipped() const {
  return static_cast<int>(rows.size()) - Imported();
}

int ChirpImport::Changed() const {
  int n = 0;
  for (const ChirpRow& r : rows) n += static_cast<int>(r.changes.size());
  return n;
}

std::vector<std::string> ChirpImport::Messages() const {
  std::vector<std::string> lines = errors;
  for (const ChirpRow& r : rows) {
    if (r.channel < 0) lines.push_back(r.Where() + ": skipped: " + r.skipped);
    for (const std::string& c : r.changes) lines.push_back(r.Where() + ": " + c);
  }
  return lines;
}

std::string ChirpImport::Summary() const {
  if (!errors.empty()) return errors.front();
  const int imported = Imported();
  std::string text;
  if (imported == 0) {
    text = "no row can be imported";
  } else {
    int first = -1;
    int last = -1;
    int replaced = 0;
    for (const ChirpRow& r : rows) {
      if (r.channel < 0) continue;
      if (first < 0) first = r.channel;
      last = r.channel;
      if (!r.replaces.empty()) ++replaced;
    }
    text = Plural(imported, "row", "rows") + " into group " + std::to_string(group + 1) +
           (imported == 1
                ? ", channel " + std::to_string(first + 1)
                : ", channels " + std::to_string(first + 1) + "-" + std::to_string(last + 1));
    if (replaced > 0) {
      text += " (" + std::to_string(replaced) + " of them " +
              (replaced == 1 ? "replaces a programmed channel" : "replace programmed channels") +
              ")";
    }
  }
  if (Skipped() > 0) text += "; " + Plural(Skipped(), "row", "rows") + " skipped";
  if (Changed() > 0) text += "; " + Plural(Changed(), "value", "values") + " changed to fit";
  if (grown > 0) {
    text += "; group " + std::to_string(group + 1) + " grows by " +
            Plural(grown, "free channel", "free channels");
    if (later_groups > 0) {
      text += " and the " + Plural(later_groups, "group", "groups") + " after it move up";
    }
  }
  return text;
}

bool IsChirpCsv(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::size_t start = text.find_first_not_of("\r\n");
  if (start == std::string_view::npos) return false;
  const std::size_t end = text.find_first_of("\r\n", start);
  std::vector<std::vector<std::string>> rows;
  std::string why;
  if (!ParseCsv(
          text.substr(start, end == std::string_view::npos ? text.size() - start : end - start),
          rows, why) ||
      rows.empty()) {
    return false;
  }
  bool frequency = false;
  bool other = false;
  for (const std::string& name : rows.front()) {
    const int f = FieldOfName(name);
    frequency = frequency || f == kFrequency;
    other = other || f == kLocation || f == kDuplex || f == kTone;
  }
  return frequency && other;
}

namespace {

using Columns = std::array<int, kFieldCount>;

// The file's column of each field the header names (-1 for none); a field named twice and a
// missing Frequency column are errors.
Columns ReadHeader(const std::vector<std::string>& header, ChirpImport& plan) {
  Columns columns;
  columns.fill(-1);
  for (std::size_t i = 0; i < header.size(); ++i) {
    const int f = FieldOfName(header[i]);
    if (f < 0) continue;
    if (columns[static_cast<std::size_t>(f)] >= 0) {
      plan.errors.push_back("header, column " + std::to_string(i + 1) + ": " +
                            Quoted(Trim(header[i])) + " appears twice");
    }
    columns[static_cast<std::size_t>(f)] = static_cast<int>(i);
  }
  if (columns[kFrequency] < 0) plan.errors.push_back("header: no \"Frequency\" column");
  return columns;
}

// The group must exist and the rows start within it or right after its last channel.
void CheckPlace(const ChannelTable& table, ChirpImport& plan) {
  const int group = plan.group;
  const int start = plan.start;
  if (group < 0 || group >= table.group_count) {
    plan.errors.push_back("group " + std::to_string(group + 1) + ": this radio has groups 1-" +
                          std::to_string(table.group_count));
    return;
  }
  const int count = table.count[static_cast<std::size_t>(group)];
  const int last_start = std::min(count + 1, table.max_per_group);
  if (start < 1 || start > last_start) {
    plan.errors.push_back(
        "first channel " + std::to_string(start) + ": group " + std::to_string(group + 1) +
        " has " + Plural(count, "channel", "channels") +
        ", so the rows can start at its channel 1 to " + std::to_string(last_start));
  }
}

// Every row that is not blank, with its translation into cells or the reason it is skipped.
std::vector<Translation> ReadRows(const std::vector<std::vector<std::string>>& rows,
                                  std::size_t header_row, const Columns& columns,
                                  const Codeplug& doc, ChirpImport& plan) {
  const std::vector<std::string>& header = rows[header_row];
  std::vector<Translation> translations;
  for (std::size_t r = header_row + 1; r < rows.size(); ++r) {
    const std::vector<std::string>& fields = rows[r];
    if (std::all_of(fields.begin(), fields.end(),
                    [](const std::string& f) { return Trim(f).empty(); })) {
      continue;
    }
    const RowReader in(fields, columns);
    ChirpRow row;
    row.row = static_cast<int>(r + 1);
    row.location = in.Get(kLocation);
    row.name = in.Get(kName);
    row.frequency = in.Get(kFrequency);
    Translation tr;
    const auto extra = std::find_if(
        fields.begin() + static_cast<std::ptrdiff_t>(std::min(fields.size(), header.size())),
        fields.end(), [](const std::string& f) { return !Trim(f).empty(); });
    if (extra != fields.end()) {
      row.skipped = std::to_string(fields.size()) + " fields, the header has " +
                    std::to_string(header.size());
    } else {
      row.skipped = Translate(in, doc, tr);
    }
    plan.rows.push_back(std::move(row));
    translations.push_back(std::move(tr));
  }
  return translations;
}

// Before saying how many rows fit, the rows the channel itself refuses are found: each tried on
// a scratch channel, put back after.
void FindRefusedRows(const Codeplug& base, const std::vector<Translation>& translations,
                     ChirpImport& plan) {
  Codeplug scratch = base.WithoutHistory();
  const ChannelRecord kept = scratch.channels.records[0];
  for (std::size_t i = 0; i < plan.rows.size(); ++i) {
    if (!plan.rows[i].skipped.empty()) continue;
    ChirpRow trial;
    plan.rows[i].skipped = ApplyTranslation(scratch, 0, translations[i], trial);
    scratch.channels.records[0] = kept;
  }
}

// The rows that take, one after another from the first channel; a row the channel refuses (a
// frequency these hardware constants cannot store) takes no channel. True when one was refused.
bool ApplyRowsInOrder(Codeplug& work, const ChannelTable& table,
                      const std::vector<Translation>& translations, ChirpImport& plan) {
  const int count = table.count[static_cast<std::size_t>(plan.group)];
  const int first = work.channels.FirstIndexOfGroup(plan.group) + plan.start - 1;
  int next = first;
  bool refused_any = false;
  for (std::size_t i = 0; i < plan.rows.size(); ++i) {
    ChirpRow& row = plan.rows[i];
    if (!row.skipped.empty()) continue;
    const ChannelRecord& target = work.channels.records[static_cast<std::size_t>(next)];
    row.replaces.clear();
    if (next < first - (plan.start - 1) + count && target.programmed()) {
      row.replaces = Trim(TagText(target));
      if (row.replaces.empty()) row.replaces = "channel " + std::to_string(next + 1);
    }
    if (std::string refused = ApplyTranslation(work, next, translations[i], row);
        !refused.empty()) {
      row.skipped = std::move(refused);
      row.replaces.clear();
      refused_any = true;
      continue;  // the channel is as it was and takes the next row
    }
    row.channel = next++;
  }
  return refused_any;
}

// Places the rows into the group, growing it from the free channels where it must; the result
// is the codeplug the import gives.
void PlaceRows(const Codeplug& doc, const std::vector<Translation>& translations,
               ChirpImport& plan) {
  const ChannelTable& table = doc.channels;
  const int group = plan.group;
  const int start = plan.start;
  bool tried = false;
  for (int attempt = 0;; ++attempt) {
    int wanted = 0;
    for (const ChirpRow& row : plan.rows) wanted += row.skipped.empty() ? 1 : 0;
    for (ChirpRow& row : plan.rows) row.channel = -1;
    if (wanted == 0) return;
    const int count = table.count[static_cast<std::size_t>(group)];
    const int needed = start - 1 + wanted;
    int allocated = 0;
    for (int c : table.count) allocated += c;
    const int free = std::max(0, table.capacity - allocated);
    const int room = std::min(table.max_per_group, count + free) - (start - 1);
    if (needed > count && wanted > room && !tried) {
      tried = true;
      FindRefusedRows(doc, translations, plan);
      continue;
    }
    if (needed > count && wanted > room) {
      plan.errors.push_back("group " + std::to_string(group + 1) + " can take " +
                            std::to_string(room) + " of the " + Plural(wanted, "row", "rows") +
                            " from its channel " + std::to_string(start) + " (it has " +
                            std::to_string(count) + ", holds at most " +
                            std::to_string(table.max_per_group) + ", and the radio has " +
                            Plural(free, "free channel", "free channels") + "); nothing imported");
      return;
    }
    // The rows go straight into the result (the document's data without its undo steps); it
    // only counts when the plan is importable.
    Codeplug& work = plan.result;
    static_cast<CodeplugData&>(work) = doc;
    const ChannelTable before = work.channels;
    if (const std::string refused = GrowGroup(work, group, needed); !refused.empty()) {
      plan.errors.push_back(refused);
      return;
    }
    plan.grown = std::max(0, needed - count);
    plan.later_groups = 0;
    for (int g = group + 1; g < kGroupCount && plan.grown > 0; ++g) {
      plan.later_groups += table.count[static_cast<std::size_t>(g)] > 0 ? 1 : 0;
    }
    const bool again = ApplyRowsInOrder(work, table, translations, plan);
    // Without growth the rows that took stand where they are; a grown group took a channel
    // for each refused row too many, so it is worked out again with the rows that take.
    if (again && plan.grown > 0 && attempt < 3) continue;
    StoreTableChanges(work, before);
    work.RefreshFromImage();
    work.channels.SelectGroup(group);
    work.modified = true;
    return;
  }
}

}  // namespace

ChirpImport PlanChirpImport(std::string_view text, const Codeplug& doc, int group, int start) {
  ChirpImport plan;
  plan.group = group;
  plan.start = start;
  std::vector<std::vector<std::string>> rows;
  std::string why;
  if (!ParseCsv(text, rows, why)) {
    plan.errors.push_back("CSV: " + why);
    return plan;
  }
  std::size_t header_row = 0;
  while (header_row < rows.size() && rows[header_row].empty()) ++header_row;
  if (header_row == rows.size()) {
    plan.errors.push_back("CSV: no header line");
    return plan;
  }
  const Columns columns = ReadHeader(rows[header_row], plan);
  CheckPlace(doc.channels, plan);
  if (!plan.errors.empty()) return plan;
  const std::vector<Translation> translations = ReadRows(rows, header_row, columns, doc, plan);
  PlaceRows(doc, translations, plan);
  return plan;
}

std::string ExportChirpCsv(const Codeplug& doc) {
  std::string out = std::string(kExportHeader) + "\r\n";
  const ChannelTable& table = doc.channels;
  const int in_use = std::min(table.total, kChannelCount);
  const std::string off(Trim(res::kCtcssTones[0]));
  const std::string dcs(Trim(res::kSubAudioTypes[2]));
  int location = 0;
  for (int i = 0; i < in_use; ++i) {
    const ChannelRecord& r = table.records[static_cast<std::size_t>(i)];
    if (!r.programmed()) continue;
    const std::string receive = CellText(doc, i, kColReceive);
    const std::string transmit = CellText(doc, i, kColTransmit);
    const std::int64_t rx = std::int64_t{MhzTextTo10Hz(receive)} * 10;
    std::string duplex;
    std::int64_t offset = 0;
    if (transmit == res::kTxInhibited) {
      duplex = "off";
    } else {
      const std::int64_t tx = std::int64_t{MhzTextTo10Hz(transmit)} * 10;
      if (tx - rx > kLargestOffsetHz || rx - tx > kLargestOffsetHz) {
        duplex = "split";
        offset = tx;
      } else if (tx != rx) {
        duplex = tx > rx ? "+" : "-";
        offset = tx > rx ? tx - rx : rx - tx;
      }
    }
    // Tone fields a mode does not use hold the format's usual defaults.
    std::string tone;
    std::string r_tone = "88.5";
    std::string c_tone = "88.5";
    std::string dtcs = "023";
    std::string rx_dtcs = "023";
    std::string cross = "Tone->Tone";
    const std::string type = CellText(doc, i, kColSubAudioType);
    const std::string dec = CellText(doc, i, kColDecode);
    const std::string enc = CellText(doc, i, kColEncode);
    if (type == dcs) {
      if (enc != off) dtcs = enc;
      if (dec != off) rx_dtcs = dec;
      if (enc != off && dec == enc) {
        tone = "DTCS";
      } else if (enc != off || dec != off) {
        tone = "Cross";
        cross = enc == off ? "->DTCS" : dec == off ? "DTCS->" : "DTCS->DTCS";
      }
    } else if (type == Trim(res::kSubAudioTypes[1])) {
      if (enc != off) r_tone = enc;
      if (dec != off) c_tone = dec;
      if (enc != off && dec == off) {
        tone = "Tone";
      } else if (enc != off && dec == enc) {
        tone = "TSQL";
        c_tone = enc;
      } else if (dec != off) {
        tone = "Cross";
        cross = enc == off ? "->Tone" : "Tone->Tone";
      }
    }
    Frequency snapped = r.rx_frequency;
    const int selector = SnapFrequency(snapped, doc.hardware.band, doc.hardware.channel_spacing);
    const int step = StepOf(selector, doc.hardware.channel_spacing);  // 10 Hz
    std::string name = TagText(r);
    name.erase(name.find_last_not_of(' ') + 1);
    std::string step_text = std::to_string(step / 100) + ".";
    const std::string hundredths = std::to_string(step % 100);
    step_text += std::string(2 - hundredths.size(), '0') + hundredths;
    const bool high = CellText(doc, i, kColPower) == Trim(res::kHighLow[0]);
    const bool narrow = CellText(doc, i, kColWideNarrow) == Trim(res::kWideNarrow[1]);
    const bool skipped = CellText(doc, i, kColScan) == Trim(res::kScanLetters[0]);
    std::string quoted_name = name;
    if (name.find_first_of(",\"") != std::string::npos || (!name.empty() && name[0] == ' ')) {
      quoted_name = "\"";
      for (char c : name) {
        if (c == '"') quoted_name += '"';
        quoted_name += c;
      }
      quoted_name += "\"";
    }
    out += std::to_string(++location) + "," + quoted_name + "," + MhzText(rx) + "," + duplex + "," +
           MhzText(offset) + "," + tone + "," + r_tone + "," + c_tone + "," + dtcs + ",NN," +
           rx_dtcs + "," + cross + "," + (narrow ? "NFM" : "FM") + "," + step_text + "," +
           (skipped ? "S" : "") + "," + (high ? "High" : "Low") + ",,,,,\r\n";
  }
  return out;
}

}  // namespace ql40::exchange
