#include "channels/channel_table.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "exchange/exchange_ids.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"

namespace ql40 {
namespace {

// Image regions of the channel and group tables.
constexpr int kOffsetFirstGroup = 26;
constexpr int kOffsetCounts = 30;
constexpr int kOffsetPriorities = 50;
constexpr int kOffsetGroupExtra = 70;
constexpr int kOffsetQtsOff = 92;
constexpr int kOffsetEmptyGroups = 96;
constexpr int kOffsetScanOff = 100;
constexpr int kOffsetUserScan = 104;
constexpr int kOffsetProgrammed = 512;
constexpr int kOffsetDealerScan = 576;
constexpr int kOffsetGroupTags = 648;
constexpr int kOffsetAlignmentBase = 12;
constexpr int kTagLength = 8;

// Stored channel record layout.
constexpr int kRxPll = 6;
constexpr int kRxTune0 = 9;
constexpr int kRxDivider = 10;
constexpr int kTxPll = 12;
constexpr int kTxTune0 = 15;
constexpr int kTxDivider = 16;
constexpr int kRxTune = 18;
constexpr int kSquelch = 19;
constexpr int kTxTune = 20;
constexpr int kTag = 24;
constexpr int kNoTone = 0x7F;

struct BandInfo {
  Frequency lowest;
  Frequency highest;
  Frequency default_frequency;
};
constexpr BandInfo kBands[] = {
    {13400000, 60000000, 15000000},  // VHF
    {2970000, 5400000, 3800000},     // VHF Lo Band
    {40000000, 60000000, 45000000},  // UHF
};
// 406.0 to 406.1 MHz is never a channel frequency.
constexpr Frequency kExcludedLow = 40600000;
constexpr Frequency kExcludedHigh = 40610000;

const BandInfo& InfoOf(int band) {
  return kBands[KnownBand(band)];
}

Frequency ClampToFrequency(std::int64_t value) {
  return static_cast<Frequency>(std::clamp<std::int64_t>(
      value, std::numeric_limits<Frequency>::min(), std::numeric_limits<Frequency>::max()));
}

// The first IF in 10 Hz units. Every IF the program holds is a whole number of units, so it is
// rounded: truncating the double product would lose a unit for values such as 0.145 MHz.
std::int64_t IfUnits(double mhz) {
  if (!std::isfinite(mhz)) return 0;
  return static_cast<std::int64_t>(Round(std::clamp(mhz, -20000.0, 20000.0) * 100000.0, 0));
}

int RxSelector(std::uint8_t a2) {
  return bits::Get(a2, 7, 6);
}
int TxSelector(std::uint8_t a2) {
  return bits::Get(a2, 5, 4);
}

bool IsSubCpu(int option_unit) {
  return option_unit == 3 || option_unit == 4;
}

// Writes the divider of base (an oscillator or transmit frequency) with the step of selector.
// Alternative selectors must divide base exactly; the channel's own selector truncates as it
// always has. Fails when N has no PLL word, or when the word would be all zero, which with a
// zero divider reads back as "no frequency". This is the encoder's path: it writes back what an
// image held, small dividers included; new frequencies go through ExactDivider first.
bool TryDivider(std::int64_t base, int selector, bool exact, const ChannelContext& ctx,
                std::span<std::uint8_t> stored, int pll_offset, int divider_offset) {
  const int step = StepOf(selector, ctx.channel_spacing);
  if (base <= 0 || (exact && base % step != 0)) return false;
  const std::int64_t n = base / step;
  std::array<std::uint8_t, 3> word{};
  if (!EncodePllWord(n, word) || (word[0] | word[1] | word[2]) == 0) return false;
  std::copy(word.begin(), word.end(), stored.begin() + pll_offset);
  const std::int64_t divider = n - BandOffset(ctx.band, ctx.channel_spacing, selector);
  bits::SetWordBE(stored, divider_offset, static_cast<int>(divider & 0xFFFF));
  return true;
}

// Stores base with the channel's selector, or, where that has no PLL word (low VHF dividers
// below the synthesizer's range), with another selector that gives the same frequency
// exactly. Returns the selector used, -1 for none.
int StoreDivider(std::int64_t base, int selector, const ChannelContext& ctx,
                 std::span<std::uint8_t> stored, int pll_offset, int divider_offset) {
  if (TryDivider(base, selector, false, ctx, stored, pll_offset, divider_offset)) return selector;
  for (int other = 0; other < 4; ++other) {
    if (other != selector &&
        TryDivider(base, other, true, ctx, stored, pll_offset, divider_offset)) {
      return other;
    }
  }
  return -1;
}

// Whether a new frequency's base divides exactly by the step of selector into a divider the
// synthesizer takes.
bool ExactDivider(std::int64_t base, int selector, const ChannelContext& ctx) {
  const int step = StepOf(selector, ctx.channel_spacing);
  if (base <= 0 || base % step != 0) return false;
  const std::int64_t n = base / step;
  if (n < kMinDivider) return false;
  std::array<std::uint8_t, 3> word{};
  return EncodePllWord(n, word) && (word[0] | word[1] | word[2]) != 0;
}

std::string Trimmed(std::string text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

// Status text of a frequency that had to move to one the radio can store.
std::string MoveText(int channel, bool transmit, Frequency to) {
  return res::FormatString(transmit ? res::kStrTransmitMoved : res::kStrReceiveMoved,
                           {std::to_string(channel + 1), Trimmed(FrequencyText(to))});
}

// An empty frequency is stored as five zero bytes. The divider alone is not enough: its low
// 16 bits are zero for some real frequencies (N = 65536 at 5 kHz is 327.68 MHz).
bool IsEmptyFrequency(std::span<const std::uint8_t> in, int pll_offset, int divider_offset) {
  for (int i = 0; i < 3; ++i) {
    if (in[static_cast<std::size_t>(pll_offset + i)] != 0) return false;
  }
  return in[static_cast<std::size_t>(divider_offset)] == 0 &&
         in[static_cast<std::size_t>(divider_offset + 1)] == 0;
}

// Row of the alignment table for t (100 kHz units): how many of thresholds 1-9 t exceeds,
// counted until the first it does not.
int TuningRow(const AlignmentReference& ref, std::int64_t t) {
  int k = 0;
  for (int i = 1; i <= 9 && t > ref.thresholds[static_cast<std::size_t>(i)]; ++i) ++k;
  return k;
}

// Keeps a sign-magnitude correction r inside the byte range around b.
std::uint8_t Limit(int b, int r) {
  const int size = r & 0x7F;
  if ((r & 0x80) != 0) {
    return size > b ? static_cast<std::uint8_t>(0x80 | b) : static_cast<std::uint8_t>(r);
  }
  return size > 255 - b ? static_cast<std::uint8_t>(255 - b) : static_cast<std::uint8_t>(r);
}

// Hz truncated (as the radio software has it) of a frequency in 10 Hz units.
double Hz(Frequency f) {
  return static_cast<double>(f) * 10.0;
}

bool RxClockShift(Frequency f) {
  if (f == 0) return false;
  const double h = Hz(f);
  const double c = 921600.0 * std::trunc(h / 921600.0 + 0.5);
  return c >= (h - 15000.0) * (1.0 - 0.0001) && c <= (h + 15000.0) * (1.0 + 0.0001);
}

bool TxClockShift(Frequency f) {
  if (f == 0) return false;
  const double h = Hz(f);
  const double c = 80139.13043478261 * std::trunc(h * 1.2478298611111112e-5 + 0.5);
  return c >= (h - 10000.0) * (1.0 - 0.00005) && c <= (h + 10000.0) * (1.0 + 0.00005);
}

bool NearWholeMhz(Frequency f) {
  const std::int64_t m = (static_cast<std::int64_t>(f) * 10) % 1000000;
  return m > 990000 || m < 10000;
}

// Characters of a tag up to its end (a terminating zero ends it early).
std::string_view TagChars(const std::string& tag) {
  const std::string_view view(tag);
  return view.substr(0, std::min(view.find('\0'), view.size()));
}

void WriteTag(std::span<std::uint8_t> out, const std::string& tag) {
  const std::string_view chars = TagChars(tag);
  for (int i = 0; i < kTagLength; ++i) {
    const char c =
        static_cast<std::size_t>(i) < chars.size() ? chars[static_cast<std::size_t>(i)] : ' ';
    out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(CharToTagSymbol(c));
  }
}

// TagSymbolToChar as a table, for the reading of 532 tags per image.
const std::array<char, kTagSymbolCount> kTagSymbolChars = [] {
  std::array<char, kTagSymbolCount> chars{};
  for (int i = 0; i < kTagSymbolCount; ++i) chars[static_cast<std::size_t>(i)] = TagSymbolToChar(i);
  return chars;
}();

void ReadTag(std::span<const std::uint8_t, kTagLength> in, int mask, std::string& tag) {
  // A code past the symbols ends the text; what follows reads as the blanks a save writes
  // there, so that the tag (and where its point shows) is the same before a save and after.
  char text[kTagLength];
  std::fill_n(text, kTagLength, ' ');
  for (std::size_t i = 0; i < kTagLength; ++i) {
    const int symbol = in[i] & mask;
    if (symbol >= kTagSymbolCount) break;
    text[i] = kTagSymbolChars[static_cast<std::size_t>(symbol)];
  }
  tag.assign(text, kTagLength);
}

// SnapFrequency from step 3 on, in 10 Hz units. early is set when a fine step kept the
// frequency as typed.
int SnapUnits(Frequency& n, int band, int spacing, bool& early) {
  early = false;
  const int s5 = StepOf(0, spacing);
  const int s625 = StepOf(1, spacing);
  for (;;) {
    if (n == 0) return 0;
    int selector;
    if (n % s625 == 0) {
      selector = 1;
    } else if (n % s5 == 0) {
      selector = 0;
    } else if (spacing == 1 && n % 250 == 0) {
      early = true;
      return 2;
    } else if (spacing == 2 && n % 125 == 0) {
      early = true;
      return 3;
    } else {
      const std::int64_t u5 = static_cast<std::int64_t>(s5) * (n / s5 + 1);
      const std::int64_t u625 = static_cast<std::int64_t>(s625) * (n / s625 + 1);
      if (u5 - n > u625 - n) {
        n = ClampToFrequency(u625);
        selector = 1;
      } else {
        n = ClampToFrequency(u5);
        selector = 0;
      }
    }
    if (n < kExcludedLow || n > kExcludedHigh) return selector;
    n = InfoOf(band).lowest;
  }
}

// What the divider counts for a frequency: the local oscillator for receive, the frequency
// itself for transmit.
std::int64_t BaseOf(Frequency f, bool transmit, const ChannelContext& ctx) {
  const std::int64_t if_units = IfUnits(ctx.first_if);
  std::int64_t base = f;
  if (transmit) {
    if (base % 5 == 4) ++base;
  } else {
    base = ctx.injection != 0 ? base + if_units : base - if_units;
    if (base % 10 == 9) ++base;
  }
  return base;
}

// What the encoder writes for f with selector, truncating as it does: f becomes what the image
// gives back, and the selector the record carries is returned (selector itself when nothing can
// be written; the image then holds the empty frequency, which reads back as f only when f is
// the band's default).
int EncoderFrequency(Frequency& f, bool transmit, int selector, const ChannelContext& ctx) {
  std::array<std::uint8_t, kChannelRecordSize> scratch{};
  const std::span<std::uint8_t> out(scratch);
  const int pll = transmit ? kTxPll : kRxPll;
  const int used = StoreDivider(BaseOf(f, transmit, ctx), selector, ctx, out, pll,
                                transmit ? kTxDivider : kRxDivider);
  if (used < 0) return selector;
  const std::int64_t if_units = IfUnits(ctx.first_if);
  const std::int64_t value =
      DecodePllWord(std::span<const std::uint8_t, 3>(scratch.data() + pll, 3)) *
      StepOf(used, ctx.channel_spacing);
  f = ClampToFrequency(transmit ? value : ctx.injection != 0 ? value - if_units : value + if_units);
  return used;
}

}  // namespace

// ---- value codecs ---------------------------------------------------------------------------

int KnownBand(int band) {
  return band >= 0 && band <= 2 ? band : 0;
}

Frequency BandDefaultFrequency(int band) {
  return InfoOf(band).default_frequency;
}
Frequency BandLowest(int band) {
  return InfoOf(band).lowest;
}
Frequency BandHighest(int band) {
  return InfoOf(band).highest;
}

int StepOf(int selector, int channel_spacing) {
  switch (selector & 3) {
    case 0:
      return channel_spacing == 3 ? 1000 : 500;
    case 1:
      return channel_spacing == 3 ? 1250 : 625;
    case 2:
      return 250;
    default:
      return 125;
  }
}

int BandOffset(int band, int channel_spacing, int selector) {
  if (band == kBandUhf && channel_spacing != 3) return 0x8000;
  if (band == kBandVhf && channel_spacing == 1 && selector == 2) return 0x2000;
  if (band == kBandVhf && channel_spacing == 2 && selector == 3) return 0x13000;
  return 0;
}

bool EncodePllWord(std::int64_t n, std::span<std::uint8_t, 3> bytes) {
  if (n < 64) return false;
  const std::int64_t a = n % 8;
  const std::int64_t x = n / 8;
  const std::int64_t y = (x - 8) % 64;
  const std::int64_t c = y / 8;
  const std::int64_t d = y % 8;
  const std::int64_t b = (x - 8) / 64 - c - d - 3;
  if (b < 0 || b > 0xFFF) return false;
  bytes[0] = static_cast<std::uint8_t>(a * 16 + b / 256);
  bytes[1] = static_cast<std::uint8_t>(b % 256);
  bytes[2] = static_cast<std::uint8_t>(c * 16 + d);
  return true;
}

std::int64_t DecodePllWord(std::span<const std::uint8_t, 3> bytes) {
  const std::int64_t a = bytes[0] >> 4;
  const std::int64_t b = (bytes[0] & 0x0F) * 256 + bytes[1];
  const std::int64_t c = bytes[2] >> 4;
  const std::int64_t d = bytes[2] & 0x0F;
  return a + 8 * (d + 200 + 8 * (c + 8 * (b + c + d)));
}

int SnapFrequency(Frequency& f, int band, int channel_spacing) {
  const BandInfo& info = InfoOf(band);
  Frequency n = std::clamp(f, info.lowest, info.highest);
  if (n >= kExcludedLow && n <= kExcludedHigh) n = info.lowest;
  bool early = false;
  const int selector = SnapUnits(n, band, channel_spacing, early);
  f = n;
  return selector;
}

int SnapFrequency(double& mhz, int band, int channel_spacing) {
  const BandInfo& info = InfoOf(band);
  const double lowest = info.lowest * 0.00001;
  const double highest = info.highest * 0.00001;
  double f = std::isnan(mhz) ? lowest : mhz;
  if (f < lowest) f = lowest;
  if (f > highest) f = highest;
  if (f >= 406.0 && f <= 406.1) f = lowest;
  Frequency n = MhzTo10Hz(f);
  bool early = false;
  const int selector = SnapUnits(n, band, channel_spacing, early);
  // A fine step keeps the frequency as it was given; otherwise it lands on the step.
  mhz = early || n == 0 ? f : n * 0.00001;
  return selector;
}

int StoreFrequency(Frequency& f, bool transmit, int selector, const ChannelContext& ctx) {
  const std::int64_t base = BaseOf(f, transmit, ctx);
  if (ExactDivider(base, selector, ctx)) return selector;
  for (int other = 0; other < 4; ++other) {
    if (other != selector && ExactDivider(base, other, ctx)) return other;
  }
  return -1;
}

int SnapStorable(Frequency& f, bool transmit, const ChannelContext& ctx, bool* moved,
                 bool* band_unstorable) {
  const Frequency asked = f;
  if (moved != nullptr) *moved = false;
  const int selector = SnapFrequency(f, ctx.band, ctx.channel_spacing);
  if (f == 0) return selector;
  int used = StoreFrequency(f, transmit, selector, ctx);
  if (used >= 0) {
    if (moved != nullptr) *moved = f != asked;
    return used;
  }
  // Walk outwards over every frequency the grid can hold (the finest step, kept by
  // SnapFrequency), nearest first, the lower side first on a tie.
  const BandInfo& info = InfoOf(ctx.band);
  const std::int64_t step = 125;
  // Under constants that leave nothing in the band storable every search fails alike; a
  // caller refitting many channels passes the flag so that the band is walked once.
  const bool hopeless = band_unstorable != nullptr && *band_unstorable;
  const std::int64_t reach = hopeless ? 0 : (info.highest - info.lowest) / step + 1;
  for (std::int64_t k = 1; k <= reach; ++k) {
    for (const std::int64_t candidate : {f - k * step, f + k * step}) {
      if (candidate < info.lowest || candidate > info.highest) continue;
      Frequency snapped = static_cast<Frequency>(candidate);
      const int s = SnapFrequency(snapped, ctx.band, ctx.channel_spacing);
      if (snapped != candidate) continue;
      used = StoreFrequency(snapped, transmit, s, ctx);
      if (used >= 0) {
        f = snapped;
        if (moved != nullptr) *moved = true;
        return used;
      }
    }
  }
  // Nothing in the band can be stored with these constants: the channel shows what the
  // encoder writes for it, the band's default frequency (or the empty frequency that reads
  // back as it).
  if (band_unstorable != nullptr) *band_unstorable = true;
  if (moved != nullptr) *moved = true;
  f = info.default_frequency;
  const int s = SnapFrequency(f, ctx.band, ctx.channel_spacing);
  used = StoreFrequency(f, transmit, s, ctx);
  if (used >= 0) return used;
  return EncoderFrequency(f, transmit, s, ctx);
}

std::string FrequencyText(Frequency f) {
  // "%9.5f" of the MHz value, written from the whole number of 10 Hz: the grid, the report and
  // every file ask for it cell by cell, and printf's floating point is the slow part of that.
  // f is exact in 10 Hz, so the five decimals are its last five digits.
  static_assert(std::string_view(res::kFrequencyFormat) == "%9.5f");
  std::int64_t v = f;
  const bool minus = v < 0;
  if (minus) v = -v;
  char buffer[24];
  char* end = buffer + sizeof buffer;
  char* p = end;
  std::int64_t frac = v % 100000;
  for (int i = 0; i < 5; ++i) {
    *--p = static_cast<char>('0' + frac % 10);
    frac /= 10;
  }
  *--p = '.';
  std::int64_t whole = v / 100000;
  do {
    *--p = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  if (minus) *--p = '-';
  std::string out(p, end);
  if (out.size() < 9) out.insert(0, 9 - out.size(), ' ');
  return out;
}

std::string TagText(const ChannelRecord& record) {
  // "%-8.8s" of the tag, or "%-3.3s.%-5.5s" padded with "%-9.9s" when it has its point.
  static_assert(std::string_view(res::kTagFormat) == "%-8.8s" &&
                std::string_view(res::kPointTagFormat) == "%-3.3s.%-5.5s" &&
                std::string_view(res::kPointTagPadFormat) == "%-9.9s");
  const std::string_view tag = TagChars(record.tag);
  if (record.tag_point() && tag.size() >= 3) {
    std::string out(tag.substr(0, 3));
    out += '.';
    out += tag.substr(3, 5);
    out.resize(9, ' ');
    return out;
  }
  std::string out(tag.substr(0, 8));
  out.resize(8, ' ');
  return out;
}

int DcsComplementIndex(int index) {
  if (index <= 0 || static_cast<std::size_t>(index) >= res::kDcsCodes.size()) return index;
  const int found =
      res::FindLabel(res::kDcsCodes, res::kDcsComplementCodes[static_cast<std::size_t>(index)]);
  return found > 0 ? found : index;
}

ChannelContext ChannelContext::From(const HardwareSettings& hw, int option_unit,
                                    double default_split) {
  ChannelContext ctx;
  ctx.band = hw.band;
  ctx.channel_spacing = hw.channel_spacing;
  ctx.injection = hw.injection;
  ctx.first_if = hw.first_if;
  ctx.option_unit = option_unit;
  ctx.default_split = default_split;
  return ctx;
}

// ---- one channel ----------------------------------------------------------------------------

void ChannelTable::ComputeRxTuning(ChannelRecord& record) const {
  const AlignmentReference& ref = alignment;
  const std::int64_t t = record.rx_frequency / 10000;
  record.tune_rx0 = ref.rows[static_cast<std::size_t>(TuningRow(ref, t))][0];
  if (t <= ref.reference) {
    const std::int64_t d = (ref.slope_below * (ref.reference - t)) / 100;
    record.tune_rx = d > ref.base_value ? 0 : static_cast<std::uint8_t>(ref.base_value - d);
  } else {
    const std::int64_t d = (ref.slope_above * (t - ref.reference)) / 100;
    record.tune_rx = static_cast<std::uint8_t>(std::min<std::int64_t>(ref.base_value + d, 255));
  }
}

void ChannelTable::ComputeTxTuning(ChannelRecord& record) const {
  const AlignmentReference& ref = alignment;
  const std::int64_t t = record.tx_frequency / 10000;
  const auto& row = ref.rows[static_cast<std::size_t>(TuningRow(ref, t))];
  const auto base = [&](int i) { return static_cast<int>(ref.base[static_cast<std::size_t>(i)]); };
  const int p = record.low_power_level();
  const int w = record.narrow() ? 1 : 0;
  // The deviation of the sub-audio kind the channel is stored with.
  const int s = record.sub_audio_type == 2 ? 1 : 0;
  record.tune_tx0 = row[1];
  record.tune_tx[0] = Limit(base(2), row[2]);
  record.tune_tx[1] = Limit(base(p), row[static_cast<std::size_t>(3 + p)]);
  record.tune_tx[2] = Limit(base(5 - w), row[6]);
  record.tune_tx[3] = Limit(base(7 + 2 * s - w), row[static_cast<std::size_t>(7 + s)]);
}

namespace {

// The frequencies of a stored record (its words and the step selectors of byte 2). True when a
// frequency word is one the program never writes (a nibble past 7, an all-zero word beside a
// divider), gives no frequency a frequency holds (0, or past 32 bits), or is empty (read as the
// band's default, which the channel's step may not hold): a save may then not write it back as
// it reads.
bool DecodeStoredFrequencies(std::span<const std::uint8_t, kChannelRecordSize> s,
                             const ChannelContext& ctx, Frequency& rx, Frequency& tx) {
  const Frequency band_default = BandDefaultFrequency(ctx.band);
  bool odd = false;
  const auto frequency = [&](std::span<const std::uint8_t, 3> word, std::int64_t value) {
    odd = odd || (word[0] >> 4) > 7 || (word[2] >> 4) > 7 || (word[2] & 0x0F) > 7 ||
          (word[0] | word[1] | word[2]) == 0 || value == 0 || ClampToFrequency(value) != value;
    return ClampToFrequency(value);
  };
  if (IsEmptyFrequency(s, kRxPll, kRxDivider)) {
    rx = band_default;
    odd = true;
  } else {
    const std::int64_t lo =
        DecodePllWord(s.subspan<kRxPll, 3>()) * StepOf(RxSelector(s[2]), ctx.channel_spacing);
    const std::int64_t if_units = IfUnits(ctx.first_if);
    rx = frequency(s.subspan<kRxPll, 3>(), ctx.injection != 0 ? lo - if_units : lo + if_units);
  }
  if (IsEmptyFrequency(s, kTxPll, kTxDivider)) {
    tx = band_default;
    odd = true;
  } else {
    tx = frequency(s.subspan<kTxPll, 3>(), DecodePllWord(s.subspan<kTxPll, 3>()) *
                                               StepOf(TxSelector(s[2]), ctx.channel_spacing));
  }
  return odd;
}

// What a save writes of a record's frequencies: the words and dividers, and the step selectors
// they take (the record's own for a frequency of 0, which is stored empty, or -1 when not even
// the band's default fits).
struct StoredWords {
  int rx_selector = -1;
  int tx_selector = -1;
  bool rx_default = false;  // no word holds the frequency: the band's default was stored
  bool tx_default = false;

  // Attribute byte 2 with the step selectors the words took.
  std::uint8_t StepsIn(std::uint8_t byte2) const {
    if (rx_selector >= 0) bits::Set(byte2, 7, 6, rx_selector);
    if (tx_selector >= 0) bits::Set(byte2, 5, 4, tx_selector);
    return byte2;
  }
};

StoredWords StoreFrequencies(const ChannelRecord& record, std::span<std::uint8_t> stored,
                             const ChannelContext& ctx) {
  // A frequency that no divider word can hold is stored as the band's default frequency,
  // which is what an empty frequency reads back as: the image never holds a different one.
  const Frequency band_default = BandDefaultFrequency(ctx.band);
  StoredWords words;
  words.rx_selector = record.rx_step();
  if (record.rx_frequency != 0) {
    const std::int64_t if_units = IfUnits(ctx.first_if);
    const auto store_rx = [&](Frequency rx) {
      std::int64_t lo =
          ctx.injection != 0 ? std::int64_t{rx} + if_units : std::int64_t{rx} - if_units;
      if (lo % 10 == 9) ++lo;
      return StoreDivider(lo, record.rx_step(), ctx, stored, kRxPll, kRxDivider);
    };
    words.rx_selector = store_rx(record.rx_frequency);
    if (words.rx_selector < 0) {
      words.rx_default = true;
      words.rx_selector = store_rx(band_default);
    }
  }
  words.tx_selector = record.tx_step();
  if (record.tx_frequency != 0) {
    const auto store_tx = [&](Frequency tx) {
      std::int64_t f = tx;
      if (f % 5 == 4) ++f;
      return StoreDivider(f, record.tx_step(), ctx, stored, kTxPll, kTxDivider);
    };
    words.tx_selector = store_tx(record.tx_frequency);
    if (words.tx_selector < 0) {
      words.tx_default = true;
      words.tx_selector = store_tx(band_default);
    }
  }
  return words;
}

// The stored record as it reads; true when a frequency word is odd (see above).
bool DecodeStoredChannel(ChannelRecord& record, std::span<const std::uint8_t> stored,
                         const ChannelContext& ctx) {
  // A short buffer reads as zeros beyond its end.
  std::array<std::uint8_t, kChannelRecordSize> in{};
  std::copy_n(stored.begin(), std::min<std::size_t>(stored.size(), in.size()), in.begin());
  const std::span<const std::uint8_t, kChannelRecordSize> s(in);
  const bool odd = DecodeStoredFrequencies(s, ctx, record.rx_frequency, record.tx_frequency);

  // The tone indices are 1-based in memory, 0 for none.
  const auto tone = [](std::uint8_t byte) {
    return (byte & 0x7F) == kNoTone ? static_cast<std::uint8_t>(byte & 0x80)
                                    : static_cast<std::uint8_t>(byte + 1);
  };
  record.set_attribute_bytes({in[0], in[1], in[2], in[3], tone(in[4]), tone(in[5])});
  record.tune_rx = in[kRxTune];
  record.squelch = in[kSquelch];
  std::copy_n(in.begin() + kTxTune, 4, record.tune_tx.begin());

  if (!IsSubCpu(ctx.option_unit)) {
    if (!bits::Test(in[3], 4) || (in[3] & 0x0F) == 0x0F) {
      // No code; a stored 15 would be code 16, which has no place in the nibble.
      record.set_code(0);
    } else {
      record.Set(field::kCodeNumber, (in[3] & 0x0F) + 1);
    }
  }

  record.tune_rx0 = in[kRxTune0];
  record.tune_tx0 = in[kTxTune0];

  const int kind = bits::Test(in[1], 4) ? 2 : 1;
  record.sub_audio_type = 0;
  if (bits::Test(in[3], 5) && record.rx_tone() != 0) {
    record.sub_audio_type = kind;
  } else {
    record.set_rx_tone(0);
  }
  if (bits::Test(in[3], 6) && record.tx_tone() != 0) {
    record.sub_audio_type = kind;
  } else {
    record.set_tx_tone(0);
  }

  ReadTag(s.subspan<kTag, kTagLength>(), 0x3F, record.tag);
  return odd;
}

}  // namespace

void ChannelTable::SettleOddWords(ChannelRecord& record, const ChannelContext& ctx) const {
  // An odd or empty word's frequency reads as what a save and reopen give (with the step the
  // save stores), so that the grid shows what the file keeps. What a save writes is a word of its
  // own; a frequency of 0 takes one round more, to none.
  // Only the frequencies are saved and read back: nothing else of a record changes them.
  bool odd = true;
  for (int round = 0; odd && round < 3; ++round) {
    std::array<std::uint8_t, kChannelRecordSize> saved{};
    saved[2] = StoreFrequencies(record, saved, ctx).StepsIn(record.attribute_byte(2));
    odd = DecodeStoredFrequencies(saved, ctx, record.rx_frequency, record.tx_frequency);
    record.Set(field::kSteps, bits::Get(saved[2], 7, 4));
  }
}

void ChannelTable::DecodeChannel(ChannelRecord& record, std::span<const std::uint8_t> stored,
                                 const ChannelContext& ctx) const {
  if (DecodeStoredChannel(record, stored, ctx)) SettleOddWords(record, ctx);
}

void ChannelTable::EncodeChannel(const ChannelRecord& record, std::span<std::uint8_t> stored,
                                 const ChannelContext& ctx) const {
  if (stored.size() < static_cast<std::size_t>(kChannelRecordSize)) return;
  std::fill_n(stored.begin(), kChannelRecordSize, std::uint8_t{0});
  ChannelRecord tuned = record;  // tuning bytes follow the frequencies

  const StoredWords words = StoreFrequencies(record, stored, ctx);
  if (record.rx_frequency != 0) {
    if (words.rx_default) tuned.rx_frequency = BandDefaultFrequency(ctx.band);
    ComputeRxTuning(tuned);
  }
  if (record.tx_frequency != 0) {
    if (words.tx_default) tuned.tx_frequency = BandDefaultFrequency(ctx.band);
    ComputeTxTuning(tuned);
  }

  const std::array<std::uint8_t, 6>& a = record.attributes_;
  std::copy_n(a.begin(), 4, stored.begin());
  stored[2] = words.StepsIn(a[2]);
  if (record.tx_tone() == 0) {
    stored[4] = static_cast<std::uint8_t>(a[4] | kNoTone);
    bits::Put(stored[3], 6, false);
  } else {
    stored[4] = static_cast<std::uint8_t>((a[4] & 0x80) | (record.tx_tone() - 1));
  }
  if (record.rx_tone() == 0) {
    stored[5] = static_cast<std::uint8_t>(a[5] | kNoTone);
    bits::Put(stored[3], 5, false);
  } else {
    stored[5] = static_cast<std::uint8_t>((a[5] & 0x80) | (record.rx_tone() - 1));
  }
  stored[kRxTune] = tuned.tune_rx;
  stored[kSquelch] = record.squelch;
  std::copy(tuned.tune_tx.begin(), tuned.tune_tx.end(), stored.begin() + kTxTune);

  const int code = record.code_number();
  if (IsSubCpu(ctx.option_unit)) {
    bits::Set(stored[3], 4, 0, code == 0 ? 0 : 0x10 | code);
  } else {
    bits::Set(stored[3], 4, 0, code == 0 ? 0 : 0x10 | (code - 1));
  }

  stored[kRxTune0] = tuned.tune_rx0;
  stored[kTxTune0] = tuned.tune_tx0;
  bits::Put(stored[1], 4, record.sub_audio_type == 2);
  if (record.sub_audio_type != 0) {
    if (record.rx_tone() != 0) bits::Put(stored[3], 5, true);
    if (record.tx_tone() != 0) bits::Put(stored[3], 6, true);
  }
  WriteTag(stored.subspan(kTag, kTagLength), record.tag);
}

// ---- the table ------------------------------------------------------------------------------

void ChannelTable::SetLimits(int product_type) {
  const bool small = product_type == kPt410;
  max_per_group = small ? 16 : 255;
  capacity = small ? 48 : kChannelCount;
  group_count = small ? 3 : kGroupCount;
}

void ChannelTable::ResetChannelTable() {
  SetLimits(kPt610);
  count.fill(0);
  count[0] = 16;
  total = 16;
  channels_left = capacity - total;
  priority.fill(0);
  scan_mode.fill(0);
  group_extra.fill(0);
  current_group = 0;
  current_channel = 0;
  first_of_group = 1;
  last_of_group = count[0];
  for (int i = 0; i < kChannelCount; ++i) {
    ChannelRecord& r = records[static_cast<std::size_t>(i)];
    r.tag = Format(res::kDefaultChannelTagFormat, i + 1);
    r.status = 0;
  }
  records[0].status = 1;
  for (int g = 0; g < kGroupCount; ++g) {
    group_tag[static_cast<std::size_t>(g)] = Format(res::kDefaultGroupTagFormat, g + 1);
  }
  alignment = AlignmentReference{};
}

bool ChannelTable::CutCountsToLimits() {
  bool changed = false;
  for (int g = 0; g < kGroupCount; ++g) {
    int& c = count[static_cast<std::size_t>(g)];
    const int allowed = g < group_count ? max_per_group : 0;
    if (c > allowed || c < 0) {
      c = std::clamp(c, 0, allowed);
      changed = true;
    }
  }
  return changed;
}

void ChannelTable::DecodeAlignment(const Image& image) {
  std::copy_n(image.begin() + kOffsetAlignmentBase, alignment.base.size(), alignment.base.begin());
  const std::span<const std::uint8_t> t(image.data() + kOffsetBlock137, kBlockSize);
  alignment.reference = bits::GetWordBE(t, 0);
  alignment.base_value = t[2];
  alignment.slope_above = t[3];
  alignment.slope_below = t[4];
  int at = 5;
  for (int i = 0; i < 11; ++i) {
    alignment.thresholds[static_cast<std::size_t>(i)] = bits::GetWordBE(t, at);
    at += 2;
    if (i < 10) {
      auto& row = alignment.rows[static_cast<std::size_t>(i)];
      std::copy_n(t.begin() + at, row.size(), row.begin());
      at += static_cast<int>(row.size());
    }
  }
}

void ChannelTable::DecodeChannelTable(const Image& image, const HardwareSettings& hw,
                                      int option_unit) {
  const std::span<const std::uint8_t> img(image);
  current_channel = 0;
  first_of_group = 1;
  SetLimits(hw.product_type);
  channels_left = capacity;

  for (int i = 0; i < kChannelCount; ++i) {
    const bool user_off = bits::GetChannelBit(img, kOffsetUserScan, i);
    const bool dealer_off = bits::GetChannelBit(img, kOffsetDealerScan, i);
    const int scan = (user_off ? 0 : 2) | (dealer_off ? 0 : 1);
    const bool programmed = !bits::GetChannelBit(img, kOffsetProgrammed, i);
    records[static_cast<std::size_t>(i)].status =
        static_cast<std::uint8_t>((scan << 4) | (programmed ? 1 : 0));
  }

  for (int g = 0; g < kGroupCount; ++g) {
    const bool qts = !bits::GetGroupBit(img, kOffsetQtsOff, g) && option_unit == 5;
    const bool scan = !bits::GetGroupBit(img, kOffsetScanOff, g);
    scan_mode[static_cast<std::size_t>(g)] = (qts ? 1 : 0) | (scan ? 2 : 0);
    ReadTag(img.subspan(static_cast<std::size_t>(kOffsetGroupTags + kTagLength * g))
                .first<kTagLength>(),
            0xFF, group_tag[static_cast<std::size_t>(g)]);
  }

  total = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    count[static_cast<std::size_t>(g)] = image[static_cast<std::size_t>(kOffsetCounts + g)];
    total += count[static_cast<std::size_t>(g)];
  }
  if (total > capacity) {
    total = 0;
    count[0] = 0;
  } else if (CutCountsToLimits()) {
    // A smaller model cannot hold groups beyond its limits: keep what fits, as a model change
    // would.
    total = 0;
    for (int c : count) total += c;
  }
  if (total == 0 && count[0] == 0) {
    count.fill(0);
    count[0] = max_per_group;
    total = max_per_group;
  }
  channels_left = capacity - total;

  for (int g = 0; g < kGroupCount; ++g) {
    const std::uint8_t stored = image[static_cast<std::size_t>(kOffsetPriorities + g)];
    priority[static_cast<std::size_t>(g)] = stored == 0xFF ? 0 : stored + 1;
    group_extra[static_cast<std::size_t>(g)] =
        image[static_cast<std::size_t>(kOffsetGroupExtra + g)];
  }
  DropLostPriorities();

  DecodeAlignment(image);

  // Settling an odd word costs a save and a reading; what it gives depends only on the
  // frequencies and steps read (under this table's constants), and most odd records of an image
  // are alike (empty channels read as the band's default), so the last few are remembered.
  struct Settled {
    Frequency rx_read = 0, tx_read = 0;
    int steps_read = -1;
    Frequency rx = 0, tx = 0;
    int steps = 0;
  };
  std::array<Settled, 4> settled{};
  std::size_t next_settled = 0;
  const ChannelContext ctx = ChannelContext::From(hw, option_unit, 0.0);
  for (int i = 0; i < kChannelCount; ++i) {
    ChannelRecord& r = records[static_cast<std::size_t>(i)];
    if (!DecodeStoredChannel(
            r,
            img.subspan(static_cast<std::size_t>(kOffsetChannels + kChannelRecordSize * i),
                        kChannelRecordSize),
            ctx)) {
      continue;
    }
    const int steps = r.Get(field::kSteps);
    const auto known = std::find_if(settled.begin(), settled.end(), [&](const Settled& s) {
      return s.steps_read == steps && s.rx_read == r.rx_frequency && s.tx_read == r.tx_frequency;
    });
    if (known != settled.end()) {
      r.rx_frequency = known->rx;
      r.tx_frequency = known->tx;
      r.Set(field::kSteps, known->steps);
      continue;
    }
    Settled& s = settled[next_settled++ % settled.size()];
    s.rx_read = r.rx_frequency;
    s.tx_read = r.tx_frequency;
    s.steps_read = steps;
    SettleOddWords(r, ctx);
    s.rx = r.rx_frequency;
    s.tx = r.tx_frequency;
    s.steps = r.Get(field::kSteps);
  }
}

void ChannelTable::EncodeChannelTable(Image& image, const HardwareSettings& hw, int option_unit) {
  EncodeGroupTables(image);
  const std::span<std::uint8_t> img(image);
  const ChannelContext ctx = ChannelContext::From(hw, option_unit, 0.0);
  for (int i = 0; i < kChannelCount; ++i) {
    EncodeChannel(records[static_cast<std::size_t>(i)],
                  img.subspan(static_cast<std::size_t>(kOffsetChannels + kChannelRecordSize * i),
                              kChannelRecordSize),
                  ctx);
  }
}

void ChannelTable::EncodeGroupTables(Image& image) {
  const std::span<std::uint8_t> img(image);
  int first_used = kGroupCount;
  for (int g = 0; g < kGroupCount; ++g) {
    if (count[static_cast<std::size_t>(g)] != 0) {
      first_used = g;
      break;
    }
  }
  bits::Set(image[kOffsetFirstGroup], 4, 0, first_used);

  for (int i = 0; i < kChannelCount; ++i) {
    const ChannelRecord& r = records[static_cast<std::size_t>(i)];
    const int scan = r.scan_nibble();
    bits::SetChannelBit(img, kOffsetUserScan, i, (scan & 2) == 0);
    bits::SetChannelBit(img, kOffsetDealerScan, i, (scan & 1) == 0);
    bits::SetChannelBit(img, kOffsetProgrammed, i, !r.programmed());
  }

  // Every byte of the three group bit sets is written, fillers included.
  for (int offset : {kOffsetQtsOff, kOffsetEmptyGroups, kOffsetScanOff}) {
    std::fill_n(img.begin() + offset, 4, std::uint8_t{0});
  }
  for (int g = 0; g < kGroupCount; ++g) {
    const int mode = scan_mode[static_cast<std::size_t>(g)];
    bits::SetGroupBit(img, kOffsetQtsOff, g, (mode & 1) == 0);
    bits::SetGroupBit(img, kOffsetScanOff, g, (mode & 2) == 0);
    bits::SetGroupBit(img, kOffsetEmptyGroups, g, count[static_cast<std::size_t>(g)] == 0);
  }
  for (int offset : {kOffsetQtsOff, kOffsetScanOff}) {
    image[static_cast<std::size_t>(offset + 2)] = 0xFF;
    image[static_cast<std::size_t>(offset + 3)] |= 0x0F;
  }

  for (int g = 0; g < kGroupCount; ++g) {
    WriteTag(img.subspan(static_cast<std::size_t>(kOffsetGroupTags + kTagLength * g), kTagLength),
             group_tag[static_cast<std::size_t>(g)]);
  }

  DropLostPriorities();
  for (int g = 0; g < kGroupCount; ++g) {
    const int p = priority[static_cast<std::size_t>(g)];
    image[static_cast<std::size_t>(kOffsetPriorities + g)] =
        p == 0 ? std::uint8_t{0xFF} : static_cast<std::uint8_t>(p - 1);
    image[static_cast<std::size_t>(kOffsetGroupExtra + g)] =
        static_cast<std::uint8_t>(group_extra[static_cast<std::size_t>(g)]);
  }
  for (int g = 0; g < kGroupCount; ++g) {
    image[static_cast<std::size_t>(kOffsetCounts + g)] =
        static_cast<std::uint8_t>(std::clamp(count[static_cast<std::size_t>(g)], 0, 255));
  }
}

// ---- edits ----------------------------------------------------------------------------------

std::string ChannelTable::CommitCellText(int channel, int column, std::string_view text,
                                         const ChannelContext& ctx) {
  if (channel < 0 || channel >= kChannelCount) return {};
  ChannelRecord& r = records[static_cast<std::size_t>(channel)];
  text = text.substr(0, std::min(text.find('\0'), text.size()));

  std::string status;
  const auto set_tx = [&](Frequency tx) {
    bool moved = false;
    r.set_tx_step(SnapStorable(tx, true, ctx, &moved));
    if (moved) status += (status.empty() ? "" : "  ") + MoveText(channel, true, tx);
    r.tx_frequency = tx;
    if (ctx.band == kBandVhf) r.set_tx_clock_shift(TxClockShift(tx));
    ComputeTxTuning(r);
  };

  switch (column) {
    case 3: {
      std::string padded(text);
      if (padded.size() < kTagLength) padded.resize(kTagLength, ' ');
      const bool point = padded[3] == '.';
      std::string tag = point ? padded.substr(0, 3) + padded.substr(4, 5) : padded.substr(0, 8);
      tag.resize(kTagLength, ' ');
      r.tag = tag;
      r.set_tag_point(point);
      break;
    }
    case 4: {
      Frequency rx = MhzTextTo10Hz(text);
      r.set_programmed(true);
      bool moved = false;
      r.set_rx_step(SnapStorable(rx, false, ctx, &moved));
      if (moved) status = MoveText(channel, false, rx);
      r.rx_frequency = rx;
      r.set_clock_shift_option(NearWholeMhz(rx));
      r.set_rx_clock_shift(RxClockShift(rx));
      ComputeRxTuning(r);
      if (rx != 0) set_tx(MhzTo10Hz(rx * 0.00001 + ctx.default_split));
      break;
    }
    case 5:
      set_tx(text == res::kTxInhibited ? r.tx_frequency : MhzTextTo10Hz(text));
      break;
    default:
      break;
  }
  return status;
}

void ChannelTable::SettleChannel(int channel, const ChannelContext& ctx) {
  if (channel < 0 || channel >= kChannelCount) return;
  ChannelRecord& r = records[static_cast<std::size_t>(channel)];
  std::array<std::uint8_t, kChannelRecordSize> stored{};
  EncodeChannel(r, stored, ctx);
  ChannelRecord back;
  DecodeChannel(back, stored, ctx);
  back.status = r.status;
  r = back;
}

void ChannelTable::DcsComplement(int channel, int column) {
  if (channel < 0 || channel >= kChannelCount || (column != 7 && column != 8)) return;
  ChannelRecord& r = records[static_cast<std::size_t>(channel)];
  if (!r.programmed() || r.sub_audio_type != 2) return;
  if (column == 7) {
    r.set_rx_tone(DcsComplementIndex(r.rx_tone()));
  } else {
    r.set_tx_tone(DcsComplementIndex(r.tx_tone()));
  }
}

void ChannelTable::ClearPageCodeReferences(int code) {
  for (ChannelRecord& r : records) {
    if (r.code_number() == code) r.set_code(0);
  }
}

void ChannelTable::ApplyOptionUnitChange(int option_unit) {
  constexpr int kPtTrunk = 5;
  constexpr int kPriorityGroupsCleared = 10;
  for (int code = 1; code <= 10; ++code) ClearPageCodeReferences(code);
  if (option_unit != kPtTrunk) {
    for (int g = 0; g < kPriorityGroupsCleared; ++g) priority[static_cast<std::size_t>(g)] = 0;
  }
}

void ChannelTable::ClearEncryption() {
  for (ChannelRecord& r : records) r.set_encryption(false);
}

void ChannelTable::ApplyBandChange(int band) {
  const Frequency f = BandDefaultFrequency(band);
  for (ChannelRecord& r : records) {
    r.rx_frequency = f;
    r.tx_frequency = f;
    r.status = 0;
  }
  records[0].status = 1;
}

void ChannelTable::RefitToProduct(int product_type) {
  SetLimits(product_type);
  CutCountsToLimits();
  // Counts that fitted the old limits fit the new ones; a table that did not is cut from its
  // end so that no group reaches past the last channel.
  int room = capacity;
  for (int& c : count) {
    c = std::min(c, room);
    room -= c;
  }
  total = capacity - room;
  if (total == 0) {
    count[0] = 1;
    total = 1;
  }
  channels_left = capacity - total;
  SelectGroup(current_group);
}

// ---- groups ---------------------------------------------------------------------------------

int ChannelTable::FirstIndexOfGroup(int group) const {
  const int end = std::clamp(group, 0, kGroupCount);
  int sum = 0;
  for (int g = 0; g < end; ++g) sum += count[static_cast<std::size_t>(g)];
  return sum;
}

int ChannelTable::GroupOfChannel(int index) const {
  int sum = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    sum += count[static_cast<std::size_t>(g)];
    if (sum > index) return g;
  }
  return kGroupCount;
}

int ChannelTable::ChannelNumberOfEntry(int group, int entry) const {
  if (entry == 0) return 0;
  return FirstIndexOfGroup(group) + entry;
}

int ChannelTable::EntryOfChannelNumber(int group, int number) const {
  if (number == 0) return 0;
  return number - FirstIndexOfGroup(group);
}

void ChannelTable::DropLostPriorities() {
  for (int g = 0; g < kGroupCount; ++g) {
    if (PriorityChannelOf(g) < 0) priority[static_cast<std::size_t>(g)] = 0;
  }
}

int ChannelTable::PriorityChannelOf(int group) const {
  if (group < 0 || group >= kGroupCount) return -1;
  const int p = priority[static_cast<std::size_t>(group)];
  if (p <= 0 || p > count[static_cast<std::size_t>(group)]) return -1;
  const int index = FirstIndexOfGroup(group) + p - 1;
  if (index < 0 || index >= kChannelCount || !records[static_cast<std::size_t>(index)].programmed())
    return -1;
  return index;
}

void ChannelTable::SelectGroup(int group) {
  current_group = group >= 0 && group < kGroupCount ? group : 0;
  // With no channel anywhere there is no group to move to: stay on group 1.
  for (int tries = 0; tries < kGroupCount && count[static_cast<std::size_t>(current_group)] == 0;
       ++tries) {
    current_group = (current_group + 1) % kGroupCount;
  }
  if (count[static_cast<std::size_t>(current_group)] == 0) current_group = 0;
  first_of_group = 1 + FirstIndexOfGroup(current_group);
  last_of_group = first_of_group + count[static_cast<std::size_t>(current_group)] - 1;
  current_channel = first_of_group - 1;
}

void ChannelTable::NextGroup() {
  SelectGroup(current_group + 1);
}

int ChannelTable::LastBlock() const {
  if (total <= 0) return 8;
  return std::min(8 + (total - 1) / 4, 135);
}

}  // namespace ql40
