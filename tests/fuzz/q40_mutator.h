#pragma once

// libFuzzer's mutator for .q40 files. Byte-level mutations of a 17672-byte file mostly change
// bytes nothing reads or break its length, and every input of another length is refused by the
// size check. This one keeps the length and changes fields where the image keeps them: channel
// attribute bits, PLL divider words and their band-offset numbers, tuning bytes, tag symbols,
// group counts, priorities and bit sets, settings bytes, hardware words, digit strings, the
// alignment tables and the trailer. Now and then it hands the file, or a field of it, to
// libFuzzer's own mutations, and once in a while lets a wrong length through.
//
// Only the libFuzzer programs have one (QL40_LIBFUZZER); the corpus replay needs none.

#if defined(QL40_LIBFUZZER)

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>

#include "channels/channel_table.h"
#include "codeplug/hardware.h"
#include "q40_fuzz.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t max_size);

namespace ql40::fuzz::q40 {

constexpr std::size_t kFile = kFileSize;

class Mutator {
 public:
  Mutator(std::uint8_t* data, unsigned seed) : d_(data), rng_(seed) {}

  unsigned Below(unsigned n) { return n == 0 ? 0 : static_cast<unsigned>(rng_() % n); }
  bool OneIn(unsigned n) { return Below(n) == 0; }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(rng_()); }

  void Mutate() {
    switch (Below(20)) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
      case 6:
        Channel();
        break;
      case 7:
      case 8:
      case 9:
        Groups();
        break;
      case 10:
      case 11:
        ChannelBits();
        break;
      case 12:
      case 13:
        Settings();
        break;
      case 14:
        Hardware();
        break;
      case 15:
        DigitString();
        break;
      case 16:
        Block137();
        break;
      case 17:
        Trailer();
        break;
      default:
        Window();
        break;
    }
  }

 private:
  // Channels the group counts allocate; mutations favour them, as only they are shown.
  int InUse() const {
    int total = 0;
    for (int g = 0; g < kGroupCount; ++g) total += d_[30 + g];
    return std::clamp(total, 1, kChannelCount);
  }
  int SomeChannel() {
    return static_cast<int>(OneIn(5) ? Below(kChannelCount)
                                     : Below(static_cast<unsigned>(InUse())));
  }
  // A small change of a byte: a new value, a bit flipped, one up or down, or a bit field set.
  void Tweak(std::uint8_t& b) {
    switch (Below(5)) {
      case 0:
        b = Byte();
        break;
      case 1:
        b ^= static_cast<std::uint8_t>(1u << Below(8));
        break;
      case 2:
        b = static_cast<std::uint8_t>(b + (OneIn(2) ? 1 : -1));
        break;
      case 3:
        b = static_cast<std::uint8_t>(OneIn(2) ? 0x00 : 0xFF);
        break;
      default: {
        const unsigned lo = Below(8);
        const unsigned width = 1 + Below(8 - lo);
        const unsigned mask = ((1u << width) - 1) << lo;
        b = static_cast<std::uint8_t>((b & ~mask) | ((Below(1u << width) << lo) & mask));
      }
    }
  }
  std::uint8_t TagSymbol() {
    // Mostly the 49 symbols; sometimes a code past them or with its top bits set.
    if (OneIn(16)) return Byte();
    return static_cast<std::uint8_t>(OneIn(3) ? 10 + Below(26) : Below(49));
  }
  void Tag(std::uint8_t* tag, int length) {
    if (OneIn(3)) {
      tag[Below(static_cast<unsigned>(length))] = TagSymbol();
    } else {
      for (int i = 0; i < length; ++i) tag[i] = TagSymbol();
    }
  }

  HardwareSettings Hw() const {
    HardwareSettings hw;
    Image image;
    std::memcpy(image.data(), d_, kImageSize);
    hw.Decode(image);
    return hw;
  }

  // A divider number for a frequency near or in the band: mostly one the radio takes, with
  // the step its selector names, sometimes any 20-bit number.
  std::int64_t Divider(bool transmit, int selector, const HardwareSettings& hw) {
    if (OneIn(8)) return Below(1u << 20);
    const int band = KnownBand(hw.band);
    const int step = std::max(1, StepOf(selector, hw.channel_spacing));
    Frequency low = BandLowest(band);
    Frequency high = BandHighest(band);
    if (OneIn(6)) {  // just outside the band, or in the refused 406.0-406.1 MHz
      low = OneIn(2) ? low - 200000 : 40600000;
      high = low + 20000;
    }
    const Frequency f = low + static_cast<Frequency>(Below(static_cast<unsigned>(high - low + 1)));
    std::int64_t lo = f;
    if (!transmit) {
      const std::int64_t i_f = static_cast<std::int64_t>(hw.first_if * 100000.0);
      lo = hw.injection == 1 ? f + i_f : f - i_f;
    }
    return std::max<std::int64_t>(0, lo / step + (OneIn(4) ? static_cast<int>(Below(3)) - 1 : 0));
  }

  void StoredFrequency(std::uint8_t* r, bool transmit) {
    const HardwareSettings hw = Hw();
    const int selector = transmit ? (r[2] >> 4) & 3 : (r[2] >> 6) & 3;
    std::uint8_t* word = r + (transmit ? 12 : 6);
    std::uint8_t* number = r + (transmit ? 16 : 10);
    if (OneIn(10)) {  // an empty frequency
      number[0] = number[1] = 0;
      return;
    }
    const std::int64_t n = Divider(transmit, selector, hw);
    std::array<std::uint8_t, 3> bytes{word[0], word[1], word[2]};
    if (!EncodePllWord(n, bytes) || OneIn(10)) {
      for (auto& b : bytes) b = Byte();
    }
    std::copy(bytes.begin(), bytes.end(), word);
    const std::int64_t stored = n - BandOffset(hw.band, hw.channel_spacing, selector);
    number[0] = static_cast<std::uint8_t>(stored >> 8);
    number[1] = static_cast<std::uint8_t>(stored);
    if (number[0] == 0 && number[1] == 0) number[1] = 1;
  }

  void Channel() {
    std::uint8_t* r = d_ + kOffsetChannels + 32 * SomeChannel();
    switch (Below(12)) {
      case 0:
      case 1:
        Tweak(r[Below(6)]);
        break;  // attribute bytes
      case 2:
        r[2] = static_cast<std::uint8_t>((r[2] & 0x0F) | (Below(16) << 4));
        break;  // steps
      case 3:
      case 4:
        StoredFrequency(r, false);
        break;
      case 5:
      case 6:
        StoredFrequency(r, true);
        break;
      case 7: {  // a tone index of the CTCSS or DCS list, none, or past the list
        const int at = 4 + static_cast<int>(Below(2));
        const unsigned index = OneIn(4) ? 0x7F : OneIn(6) ? 50 + Below(78) : Below(106);
        r[at] = static_cast<std::uint8_t>((r[at] & 0x80) | index);
        r[3] = static_cast<std::uint8_t>(r[3] | (at == 5 ? 0x20 : 0x40));
        if (OneIn(2)) r[1] ^= 0x10;  // CTCSS or DCS
        break;
      }
      case 8: {  // tuning and squelch bytes
        static constexpr int kTune[] = {9, 15, 18, 19, 20, 21, 22, 23};
        Tweak(r[kTune[Below(8)]]);
        break;
      }
      case 9:
      case 10:
        Tag(r + 24, 8);
        break;
      default: {  // a copy of another channel
        const std::uint8_t* from = d_ + kOffsetChannels + 32 * SomeChannel();
        std::memmove(r, from, 32);
      }
    }
  }

  void Groups() {
    const unsigned g = OneIn(4) ? Below(kGroupCount) : Below(4);
    switch (Below(8)) {
      case 0:
      case 1:  // counts that fit, overflow or empty a group
        d_[30 + g] = static_cast<std::uint8_t>(OneIn(8) ? Byte() : Below(40));
        break;
      case 2: {  // a fresh layout: a few groups whose counts add up to a total
        std::fill(d_ + 30, d_ + 50, 0);
        unsigned left = OneIn(4) ? Below(600) : 1 + Below(64);
        for (unsigned i = 0; i < 1 + Below(6) && left > 0; ++i) {
          const unsigned n = std::min(left, 1 + Below(std::min(left, 255u)));
          d_[30 + i] = static_cast<std::uint8_t>(n);
          left -= n;
        }
        break;
      }
      case 3:  // priority: none, within the group, or past it
        d_[50 + g] = static_cast<std::uint8_t>(OneIn(3) ? 0xFF : Below(d_[30 + g] + 2u));
        break;
      case 4:
        Tweak(d_[70 + g]);
        break;  // the group's extra byte
      case 5:
        Tweak(d_[92 + Below(12)]);
        break;  // QTS, empty and SCAN bit sets
      case 6:
        Tag(d_ + 648 + 8 * g, 8);
        break;  // group tag
      default:
        Tweak(d_[26]);
        break;  // first group with channels
    }
  }

  void ChannelBits() {
    static constexpr int kSets[] = {104, 512, 576};
    const int c = SomeChannel();
    d_[kSets[Below(3)] + c / 8] ^= static_cast<std::uint8_t>(1u << (c % 8));
  }

  void Settings() {
    // Settings and signalling bytes, hardware words and the clone words.
    static constexpr std::pair<int, int> kRegions[] = {
        {0, 29}, {90, 91}, {168, 195}, {196, 255}, {256, 256}, {293, 334}, {375, 375}, {384, 511}};
    const auto& [first, last] = kRegions[Below(std::size(kRegions))];
    Tweak(d_[first + static_cast<int>(Below(static_cast<unsigned>(last - first + 1)))]);
  }

  void Hardware() {
    switch (Below(5)) {
      case 0:
        d_[25] = static_cast<std::uint8_t>((d_[25] & 0x3F) | (Below(4) << 6));
        break;
      case 1:
        d_[25] ^= 0x01;
        break;  // PT-610 or PT-410
      case 2:
        d_[256] = static_cast<std::uint8_t>((d_[256] & 0x3F) | (Below(4) << 6));
        break;
      case 3: {  // option unit: none, or a unit in bits 6-3
        d_[27] = OneIn(3) ? static_cast<std::uint8_t>(d_[27] | 0x04)
                          : static_cast<std::uint8_t>((d_[27] & 0x83) | (Below(16) << 3));
        break;
      }
      default: {  // a reference-crystal (12-bit) or first-IF (15-bit) word, high byte first
        const bool xtal = OneIn(2);
        const int at =
            xtal ? 293 + 2 * static_cast<int>(Below(15)) : 325 + 2 * static_cast<int>(Below(5));
        const unsigned value = Below(xtal ? 1u << 12 : 1u << 15);
        d_[at] = static_cast<std::uint8_t>((d_[at] & (xtal ? 0xF0 : 0x80)) | (value >> 8));
        d_[at + 1] = static_cast<std::uint8_t>(value);
      }
    }
  }

  void DigitString() {
    // ANI, emergency and DTMF codes (8 bytes each) or a paging slot (2 bytes).
    if (OneIn(4)) {
      const int at = 482 + 2 * static_cast<int>(Below(10));
      if (OneIn(3)) {
        d_[at] = d_[at + 1] = 0xFF;
      } else {
        Tweak(d_[at + Below(2)]);
      }
      return;
    }
    std::uint8_t* s = d_ + 386 + 8 * Below(12);
    const unsigned length = Below(16);
    s[0] = static_cast<std::uint8_t>((length << 4) | Below(16));
    for (int i = 1; i < 8; ++i) s[i] = static_cast<std::uint8_t>((Below(16) << 4) | Below(16));
  }

  void Block137() {
    std::uint8_t* b = d_ + kOffsetBlock137;
    switch (Below(4)) {
      case 0: {  // a threshold or the reference frequency, in 100 kHz, near the bands
        static constexpr int kWords[] = {0, 5, 16, 27, 38, 49, 60, 71, 82, 93, 104, 115};
        const int at = kWords[Below(12)];
        const unsigned value = OneIn(4) ? Below(1u << 16) : 290 + Below(3200);
        b[at] = static_cast<std::uint8_t>(value >> 8);
        b[at + 1] = static_cast<std::uint8_t>(value);
        break;
      }
      case 1:
        Tweak(b[Below(117)]);
        break;
      case 2: {  // product code
        static constexpr std::uint16_t kCodes[] = {0xC014, 0xC015, 0x1234};
        const unsigned code = OneIn(4) ? Below(1u << 16) : kCodes[Below(3)];
        b[117] = static_cast<std::uint8_t>(code >> 8);
        b[118] = static_cast<std::uint8_t>(code);
        break;
      }
      default:
        Tweak(b[119 + Below(9)]);
        break;  // serial number nibbles and neighbours
    }
  }

  void Trailer() {
    static constexpr double kSplits[] = {0.0,   5.0,     -5.0,  0.6,   -99.9, 99.9,
                                         100.0, -1000.0, 1e308, 0.125, 12.34};
    double split = kSplits[Below(std::size(kSplits))];
    if (OneIn(4)) split = (static_cast<double>(Below(2000)) - 1000.0) / 10.0;
    auto raw = std::bit_cast<std::uint64_t>(split);
    if (OneIn(8)) raw = (static_cast<std::uint64_t>(rng_()) << 32) | rng_();  // NaN, inf, ...
    for (int i = 0; i < kTrailerSize; ++i) {
      d_[kImageSize + i] = static_cast<std::uint8_t>(raw & 0xFF);
      raw >>= 8;
    }
  }

  // libFuzzer's own mutations (its dictionary and compare hints among them) on one record,
  // block or settings region, which keeps its length.
  void Window() {
    int at = 0;
    int length = 32;
    if (OneIn(2)) {
      at = kOffsetChannels + 32 * SomeChannel();
    } else if (OneIn(2)) {
      at = 128 * static_cast<int>(Below(kBlockCount));
      length = 128;
    } else {
      at = static_cast<int>(Below(kFile - 16));
      length = 16;
    }
    std::uint8_t window[128];
    std::memcpy(window, d_ + at, static_cast<std::size_t>(length));
    const std::size_t got = LLVMFuzzerMutate(window, static_cast<std::size_t>(length),
                                             static_cast<std::size_t>(length));
    std::memcpy(d_ + at, window, std::min(got, static_cast<std::size_t>(length)));
  }

  std::uint8_t* d_;
  std::minstd_rand rng_;
};

}  // namespace ql40::fuzz::q40

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t max_size, unsigned seed) {
  using namespace ql40::fuzz::q40;
  std::minstd_rand pick(seed);
  // Other lengths now and then, so that the size check and short files stay covered.
  if (max_size < kFile || pick() % 64 == 0) return LLVMFuzzerMutate(data, size, max_size);
  if (size != kFile) {
    // A file of the wrong length becomes one of the right length: its bytes, then the rest
    // of a fresh document's file.
    const std::string fresh = ql40::fuzz::FileBytes(ql40::fuzz::FreshDocument());
    if (size < kFile) std::memcpy(data + size, fresh.data() + size, kFile - size);
    size = kFile;
  }
  Mutator mutator(data, static_cast<unsigned>(pick()));
  const unsigned count = 1 + static_cast<unsigned>(pick() % 4);
  for (unsigned i = 0; i < count; ++i) mutator.Mutate();
  return kFile;
}

// Crossing two files: whole channel records or blocks of the second go into the first.
extern "C" std::size_t LLVMFuzzerCustomCrossOver(const std::uint8_t* data1, std::size_t size1,
                                                 const std::uint8_t* data2, std::size_t size2,
                                                 std::uint8_t* out, std::size_t max_out_size,
                                                 unsigned seed) {
  using namespace ql40::fuzz::q40;
  const std::size_t size = std::min(size1, max_out_size);
  std::memcpy(out, data1, size);
  if (size != kFile || size2 != kFile) return size;
  std::minstd_rand pick(seed);
  const bool records = pick() % 2 == 0;
  const std::size_t unit = records ? 32 : 128;
  const std::size_t first = records ? ql40::kOffsetChannels / unit : 0;
  const std::size_t units = records ? ql40::kChannelCount : ql40::kBlockCount;
  const std::size_t count = 1 + pick() % 8;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = (first + pick() % units) * unit;
    std::memcpy(out + at, data2 + at, unit);
  }
  return size;
}

#endif  // QL40_LIBFUZZER
