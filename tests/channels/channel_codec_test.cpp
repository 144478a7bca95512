// One channel: PLL words, frequency steps and band limits, tones, codes, tags.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "channels/channel_table.h"
#include "codeplug/codecs.h"
#include "resources/channel_labels.h"

namespace ql40 {
namespace {

using Bytes = std::array<std::uint8_t, kChannelRecordSize>;

ChannelContext Context(int band, int spacing, int injection, int option_unit = 0) {
  HardwareSettings hw;
  hw.SetBandDefaults(band);
  hw.channel_spacing = spacing;
  hw.injection = injection;
  return ChannelContext::From(hw, option_unit, 0.0);
}

// The record as the radio would give it back after storing it.
ChannelRecord RoundTrip(const ChannelRecord& r, const ChannelContext& ctx,
                        Bytes* stored = nullptr) {
  ChannelTable table;
  Bytes bytes{};
  table.EncodeChannel(r, bytes, ctx);
  if (stored) *stored = bytes;
  ChannelRecord back;
  table.DecodeChannel(back, bytes, ctx);
  return back;
}

TEST(PllWord, SplitsAndJoinsEveryStorableDivider) {
  std::array<std::uint8_t, 3> word{};
  ASSERT_TRUE(EncodePllWord(29304, word));
  EXPECT_EQ(word, (std::array<std::uint8_t, 3>{0x00, 0x2F, 0x07}));
  for (std::int64_t n = 8768; n < 700000; ++n) {
    ASSERT_TRUE(EncodePllWord(n, word)) << n;
    ASSERT_EQ(DecodePllWord(word), n);
  }
  // Below the synthesizer's range some dividers cannot be split; they leave the bytes alone.
  word = {0xAA, 0xBB, 0xCC};
  EXPECT_FALSE(EncodePllWord(8767, word));  // b would be -1
  EXPECT_FALSE(EncodePllWord(-625, word));
  EXPECT_EQ(word, (std::array<std::uint8_t, 3>{0xAA, 0xBB, 0xCC}));
  EXPECT_GT(DecodePllWord(std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}), 2000000);
}

// Frequencies and step selectors; the other fields are tested below and by the table's.
TEST(ChannelCodec, RoundTripsEveryBandSpacingAndInjection) {
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int band = 0; band < 3; ++band) {
    for (int spacing = 0; spacing < 3; ++spacing) {
      for (int injection = 0; injection < 2; ++injection) {
        const ChannelContext ctx = Context(band, spacing, injection);
        for (int trial = 0; trial < 40; ++trial) {
          const int rx_sel = static_cast<int>(next() >> 8) % 4;
          const int tx_sel = static_cast<int>(next() >> 8) % 4;
          const auto pick = [&](int sel, Frequency lowest) {
            const int step = StepOf(sel, spacing);
            const Frequency f =
                lowest +
                static_cast<Frequency>(next() % ((BandHighest(band) - lowest) / step)) * step;
            return f >= 40600000 && f <= 40610000 ? lowest : f;
          };
          ChannelRecord r;
          // Low VHF below the IF: oscillators under 10.96 MHz have no divider word at all.
          const bool low_lo = band == kBandVhfLo && injection == 0;
          r.rx_frequency = pick(rx_sel, low_lo ? 3300000 : BandLowest(band));
          r.tx_frequency = pick(tx_sel, BandLowest(band));
          r.set_attribute_byte(
              2, static_cast<std::uint8_t>((rx_sel << 6) | (tx_sel << 4) | (trial & 0x0F)));
          const ChannelRecord back = RoundTrip(r, ctx);
          SCOPED_TRACE(testing::Message() << band << spacing << injection << " #" << trial);
          ASSERT_EQ(back.rx_frequency, r.rx_frequency);
          ASSERT_EQ(back.tx_frequency, r.tx_frequency);
          // Low VHF dividers may be stored with a finer step of the same frequency.
          const int selectors = band == kBandVhfLo ? 0x0F : 0xFF;
          EXPECT_EQ(back.attribute_byte(2) & selectors, r.attribute_byte(2) & selectors);
        }
      }
    }
  }
}

TEST(ChannelCodec, FrequenciesTheDividerCannotHoldKeepTheirValue) {
  ChannelRecord r;
  // VHF Lo: 30.0 MHz with 5 kHz steps is N = 6000, which has no PLL word.
  const ChannelContext lo = Context(kBandVhfLo, 0, 1);
  r.rx_frequency = r.tx_frequency = 3000000;
  r.set_attribute_byte(2, 0x00);
  EXPECT_EQ(RoundTrip(r, lo).tx_frequency, 3000000);
  EXPECT_EQ(RoundTrip(r, lo).rx_frequency, 3000000);
  // An oscillator of 8.14 MHz has no word at all: stored as the band's default.
  r.rx_frequency = 2994000;
  r.set_attribute_byte(2, 0);
  EXPECT_EQ(RoundTrip(r, Context(kBandVhfLo, 0, 0)).rx_frequency, BandDefaultFrequency(kBandVhfLo));
  // VHF 349.48 MHz, 5 kHz: N = 65536 stores its low 16 bits as zero, yet it is a frequency.
  const ChannelContext vhf = Context(kBandVhf, 0, 0);
  r.rx_frequency = 34948000;
  r.tx_frequency = 32768000;
  Bytes stored{};
  ChannelRecord back = RoundTrip(r, vhf, &stored);
  EXPECT_EQ(stored[10] | stored[11] | stored[16] | stored[17], 0);
  EXPECT_EQ(back.rx_frequency, 34948000);
  EXPECT_EQ(back.tx_frequency, 32768000);
  // Nothing can hold 1 unit: stored as the band's default, which an empty frequency reads as.
  r.tx_frequency = 1;
  EXPECT_EQ(RoundTrip(r, vhf).tx_frequency, BandDefaultFrequency(kBandVhf));
}

TEST(ChannelCodec, StoredBytesOfTonesCodesAndTags) {
  ChannelRecord r;
  r.sub_audio_type = 1;
  r.set_attribute_byte(5, 0x80);  // receive "Off", power save on
  r.set_attribute_byte(4, 13);    // transmit "100.0"
  Bytes stored{};
  const ChannelContext ctx = Context(kBandVhf, 2, 0, 1);
  ChannelRecord back = RoundTrip(r, ctx, &stored);
  EXPECT_EQ(stored[5], 0xFF);
  EXPECT_EQ(stored[4], 12);
  EXPECT_EQ(stored[3] & 0x60, 0x40);
  EXPECT_EQ(back.sub_audio_type, 1);
  EXPECT_EQ(back.rx_tone(), 0);
  EXPECT_EQ(back.tx_tone(), 13);

  // Code number 3: stored one lower with the 2Tone unit, as it is with a sub CPU.
  r.set_attribute_byte(3, 3);
  EXPECT_EQ(RoundTrip(r, ctx, &stored).code_number(), 3);
  EXPECT_EQ(stored[3] & 0x1F, 0x12);
  const ChannelContext scb = Context(kBandVhf, 2, 0, 3);
  EXPECT_EQ(RoundTrip(r, scb, &stored).code_number(), 3);
  EXPECT_EQ(stored[3] & 0x1F, 0x13);
  // A stored 15 would be code 16: read as no code instead of spilling into the tone flags.
  stored[3] = 0x1F;
  ChannelTable table;
  table.DecodeChannel(back, stored, ctx);
  EXPECT_EQ(back.attribute_byte(3), 0x00);

  table.CommitCellText(0, 3, "146.52000", ctx);
  EXPECT_EQ(table.records[0].tag, "14652000");
  EXPECT_EQ(TagText(table.records[0]), "146.52000");
  table.EncodeChannel(table.records[0], stored, ctx);
  EXPECT_EQ(stored[19] & 0x10, 0x10);
  EXPECT_EQ(stored[24], 1);
  EXPECT_EQ(stored[26], 6);
  table.CommitCellText(0, 3, "ab", ctx);  // not tag symbols: stored as spaces
  table.EncodeChannel(table.records[0], stored, ctx);
  EXPECT_EQ(stored[24], 36);
  EXPECT_FALSE(table.records[0].tag_point());
}

TEST(SnapFrequency, StepsLimitsAndExclusion) {
  struct Case {
    double in;
    int band, spacing;
    double out;
    int selector;
  };
  const Case cases[] = {
      {146.52, 0, 0, 146.52, 0},       {146.50625, 0, 0, 146.50625, 1},
      {146.51125, 0, 0, 146.5125, 1},  {146.523, 0, 0, 146.525, 0},
      {146.5025, 0, 1, 146.5025, 2},   {146.5025, 0, 0, 146.505, 0},
      {146.51125, 0, 2, 146.51125, 3}, {406.05, 2, 0, 400.0, 1},
      {700.0, 2, 0, 600.0, 1},         {10.0, 1, 2, 29.7, 1},
      {406.099, 2, 0, 400.0, 1},  // lands on 406.1 and moves to the band's lowest
  };
  for (const Case& c : cases) {
    double f = c.in;
    EXPECT_EQ(SnapFrequency(f, c.band, c.spacing), c.selector) << c.in;
    EXPECT_NEAR(f, c.out, 1e-9) << c.in;
  }
  Frequency units = 14651125;
  EXPECT_EQ(SnapFrequency(units, 0, 0), 1);
  EXPECT_EQ(units, 14651250);
}

// The text forms are those of their printf formats, character for character.
TEST(ChannelTexts, FrequencyAndTagTextsAreThoseOfTheirFormats) {
  for (const Frequency f : {0, 1, -1, 5, 99999, 100000, 14652000, 3800000, 60000000, -3800000,
                            2147483647, -2147483647 - 1}) {
    EXPECT_EQ(FrequencyText(f), Format(res::kFrequencyFormat, f * 0.00001)) << f;
  }
  for (Frequency f = 2970000; f <= 60000000; f += 99991) {
    ASSERT_EQ(FrequencyText(f), Format(res::kFrequencyFormat, f * 0.00001)) << f;
  }
  ChannelRecord r;
  for (const char* tag : {"", "AB", "ABC", "ABCD", "14652000", "ABCDEFGHIJ"}) {
    for (const bool point : {false, true}) {
      r.tag = tag;
      r.squelch = point ? 0x10 : 0;
      const std::string t(tag);
      const std::string expected =
          point && t.size() >= 3
              ? Format(res::kPointTagPadFormat,
                       Format(res::kPointTagFormat, t.c_str(), t.c_str() + 3).c_str())
              : Format(res::kTagFormat, t.c_str());
      EXPECT_EQ(TagText(r), expected) << tag << " " << point;
    }
  }
}

}  // namespace
}  // namespace ql40
