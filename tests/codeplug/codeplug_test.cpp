// The image layout: tag and digit codecs, hardware and identity words, the default codeplug.

#include "codeplug/codeplug.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "codeplug/codecs.h"
#include "codeplug/hardware.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

TEST(TagSymbols, NoLowerCaseOnTheRadio) {
  // A typed "a" is a space, not "A"; the other symbols are in the default tags' bytes below.
  for (char c : {'a', '!', '\0'}) EXPECT_EQ(CharToTagSymbol(c), 36) << c;
  EXPECT_FALSE(IsTagChar('a'));
  EXPECT_EQ(TagSymbolToChar(49), '\0');
}

TEST(Rounding, HalvesGoAwayFromZero) {
  for (auto [in, out] : {std::pair{2.5, 3.0}, {-2.5, -3.0}, {2.49, 2.0}})
    EXPECT_EQ(Round(in, 0), out);
  EXPECT_NEAR(Round(1.25, 3), 1.3, 1e-12);  // any positive count means one decimal
  EXPECT_EQ(Round(1.2345, -1), 1.2345);
}

// Half units round away from zero; reading stops at a stranger; nothing overflows.
TEST(FrequencyText, ReadsMhzAsTensOfHertz) {
  const std::pair<const char*, int> cases[] = {{"0.000055", 6},
                                               {"0.000054", 5},
                                               {"-0.000055", -6},
                                               {"abc", 0},
                                               {"  146.51125", 14651125},
                                               {"146.52xyz", 14652000},
                                               {"146.5.2", 14650000},
                                               {"1e400", INT32_MAX},
                                               {"-1e400", INT32_MIN},
                                               {"nan", 0},
                                               {"inf", 0}};
  for (const auto& [text, units] : cases) EXPECT_EQ(MhzTextTo10Hz(text), units) << text;
  EXPECT_EQ(ParseInteger(" 42abc"), 42);
  EXPECT_EQ(ParseInteger("99999999999999999999"), INT32_MAX);
}

// DTMF digit strings, which also cover the digit values 0-9, A-D, * (14) and # (15).
TEST(DigitStrings, EncodeOnlyTheBytesTheDigitsNeed) {
  std::array<std::uint8_t, 8> bytes;
  bytes.fill(0x99);
  EncodeDigitString(bytes, 0, "1234");
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 8>{0x41, 0x23, 0x40, 0x99, 0x99, 0x99, 0x99, 0x99}));
  EXPECT_EQ(DecodeDigitString(bytes, 0), "1234");

  EncodeDigitString(bytes, 0, "*#0123456789aBD");
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 8>{0xFE, 0xF0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBD}));
  EXPECT_EQ(DecodeDigitString(bytes, 0), "*#0123456789ABD");

  // Too long: cut at 15 digits rather than spilling into the next code.
  std::array<std::uint8_t, 9> longer{};
  longer[8] = 0x55;
  EncodeDigitString(longer, 0, "1234567890123456789");
  EXPECT_EQ(longer[0] >> 4, 15);
  EXPECT_EQ(longer[8], 0x55);

  // Empty: only the count goes; the first digit's nibble stays.
  bytes.fill(0x77);
  EncodeDigitString(bytes, 0, "");
  EXPECT_EQ(bytes[0], 0x07);
  EXPECT_EQ(bytes[1], 0x77);
  EXPECT_EQ(DecodeDigitString(bytes, 0), "");
}

TEST(HardwareSettings, ReferenceOscillatorWordsAreWrittenTwiceKeepingHighNibbles) {
  Image image{};
  for (int off : {293, 297, 301, 305, 309, 313, 317, 321}) image[off] = 0xA0;
  HardwareSettings hw;
  hw.SetDefaults();
  hw.SetBandDefaults(kBandUhf);  // 14.6 MHz
  hw.Encode(image);
  // R40 365 twice, R50 292, R20 730, R10 1460; IF words 8850, 7080, 17700, 35400 (bit 15 kept).
  const std::pair<int, int> expected[] = {{293, 0xA1}, {294, 0x6D}, {297, 0xA1}, {298, 0x6D},
                                          {301, 0xA1}, {302, 0x24}, {309, 0xA2}, {310, 0xDA},
                                          {317, 0xA5}, {318, 0xB4}, {325, 0x22}, {326, 0x92},
                                          {327, 0x1B}, {328, 0xA8}, {331, 0x0A}, {332, 0x48}};
  for (const auto& [offset, value] : expected) EXPECT_EQ(image[offset], value) << offset;
}

TEST(HardwareSettings, DefaultsAndEveryBandSurviveARoundTrip) {
  HardwareSettings hw;
  hw.SetDefaults();
  Image image{};
  hw.Encode(image);
  // Spacing 2 and SQ delay 8; RX normal, TX inverted, release 47.
  testing::ExpectBytes(image, {{25, 0x00}, {256, 0x88}, {333, 0x6F}, {334, 0x18}, {375, 180}});

  // Every band with fields at their limits: decoding and encoding again changes no byte.
  for (int band : {kBandVhf, kBandVhfLo, kBandUhf}) {
    HardwareSettings in;
    in.SetDefaults();
    EXPECT_EQ(in.SetBandDefaults(band), band == kBandUhf ? 5.0 : 0.0);
    in.product_type = kPt410;
    in.sq_delay = 31;
    in.noise_sq_attack = 15;
    in.dcs_rx_polarity = 1;
    in.dcs_tx_polarity = 0;
    in.scan_pll_b = 255;
    Image first{}, again{};
    in.Encode(first);
    HardwareSettings out;
    out.Decode(first);
    out.Encode(again);
    EXPECT_EQ(again, first) << band;
    EXPECT_EQ(out.band, band);
    EXPECT_EQ(out.sq_delay, 31);
    EXPECT_NEAR(out.first_if, in.first_if, 0.005);
  }

  // Each IF word holds the IF exactly in its own step (8.075 MHz / 6.25 kHz is 1292, not 1291).
  HardwareSettings odd;
  odd.first_if = 8.075;
  Image image_if{};
  odd.Encode(image_if);
  EXPECT_EQ(image_if[327] * 256 + image_if[328] - (odd.injection << 15), 1292);
  EXPECT_EQ(image_if[331] * 256 + image_if[332] - (odd.injection << 15), 6460);
  EXPECT_EQ(odd.AsStored().first_if, 8.075);
}

TEST(RadioIdentity, SerialFirmwareAndMarketNumber) {
  Image image{};
  image[17657] = 0x0C;
  image[17660] = 0x01;
  EXPECT_EQ(DecodeSerialNumber(image), "0N010000");
  for (auto [at, value] : {std::pair{17657, 0x3A},
                           {17660, 0x12},
                           {17661, 0xEF},
                           {17662, 0x90},
                           {0, 0x25},
                           {1, 0x01},
                           {192, 0x12},
                           {193, 0x34}}) {
    image[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
  }
  RadioIdentity id;
  id.Decode(image, true);
  EXPECT_EQ(id.serial_number, "3L12*#90");
  EXPECT_EQ(id.FirmwareText(), "1.25");
  EXPECT_EQ(id.market_application, 1234);
  // A codeplug that came from neither a file nor a radio shows the placeholder identity.
  id.Decode(image, false);
  EXPECT_EQ(id.serial_number, "0N010000");
  EXPECT_EQ(id.firmware_version, 0);

  Image out{};
  id.Encode(out);
  testing::ExpectBytes(out, {{192, 0x12}, {193, 0x34}});
  id.market_application = 99999;  // out of range never writes a non-BCD nibble
  id.Encode(out);
  testing::ExpectBytes(out, {{192, 0x99}, {193, 0x99}});
}

std::vector<int> Bytes(const Image& image, int offset, int count) {
  return std::vector<int>(image.begin() + offset, image.begin() + offset + count);
}

struct DefaultCodeplug : ::testing::Test {
  DefaultCodeplug() { doc.ResetToDefaults(); }
  Codeplug doc;
  const Image& im = doc.image;
};

TEST_F(DefaultCodeplug, GroupAndChannelRegions) {
  EXPECT_TRUE(im[27] & 0x04) << "no option unit";
  EXPECT_EQ(doc.default_split, 0.0);
  EXPECT_EQ(Bytes(im, 17408, 128), std::vector<int>(128, 0)) << "block 136";
  for (int i : {194, 195, 17653, 17654, 17657, 17660, 17661, 17662}) EXPECT_EQ(im[i], 0) << i;

  // One group of 16 channels, no priority channels.
  EXPECT_EQ(im[26] & 0x1F, 0);
  std::vector<int> counts(20, 0);
  counts[0] = 16;
  EXPECT_EQ(Bytes(im, 30, 20), counts);
  EXPECT_EQ(Bytes(im, 50, 20), std::vector<int>(20, 0xFF));
  // QTS-off and SCAN-off bits set for every group, fillers set; empty-group bits without filler.
  EXPECT_EQ(Bytes(im, 92, 12), (std::vector<int>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0xF0,
                                                 0xFF, 0xFF, 0xFF, 0xFF}));
  // Channel 1 is the only programmed channel; no scan list members.
  EXPECT_EQ(im[512], 0xFE);
  EXPECT_EQ(Bytes(im, 513, 63), std::vector<int>(63, 0xFF));
  EXPECT_EQ(Bytes(im, 104, 64), std::vector<int>(64, 0xFF));
  EXPECT_EQ(Bytes(im, 576, 64), std::vector<int>(64, 0xFF));
  // "GROUP-01" and "GROUP-20" as tag symbols.
  EXPECT_EQ(Bytes(im, 648, 8), (std::vector<int>{16, 27, 24, 30, 25, 40, 0, 1}));
  EXPECT_EQ(Bytes(im, 648 + 19 * 8, 8), (std::vector<int>{16, 27, 24, 30, 25, 40, 2, 0}));
}

TEST_F(DefaultCodeplug, FirstChannelRecordBytes) {
  const int c = 1024;
  // 160.1 MHz, 5 kHz steps, oscillator 21.8 MHz below: N = 27660 receive, 32020 transmit.
  const std::vector<int> expected = {
      0x01, 0x04, 0x00, 0x00, 0x7F, 0x7F,          // attributes, no tones
      0x40, 0x2A, 0x71, 0x00, 0x6C, 0x0C,          // receive PLL word, tuning, N
      0x40, 0x36, 0x32, 0x00, 0x7D, 0x14,          // transmit PLL word, tuning, N
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00,          // tuning and squelch
      36,   12,   17,   40,   0,    0,    1, 36};  // " CH-001 "
  EXPECT_EQ(Bytes(im, c, 32), expected);
  // Channel 512 carries its own tag.
  EXPECT_EQ(Bytes(im, c + 511 * 32 + 24, 8), (std::vector<int>{36, 12, 17, 40, 5, 1, 2, 36}));
}

TEST_F(DefaultCodeplug, RefreshAndCommitAgreeOnTheDefaultImage) {
  const Image before = doc.image;
  doc.RefreshFromImage();
  doc.CommitToImage();
  EXPECT_EQ(doc.image, before);
  EXPECT_EQ(doc.channels.channels_left, 496);
}

TEST_F(DefaultCodeplug, OptionUnitDecodingSetsTheChangedFlag) {
  doc.image[27] = 0x28;
  doc.RefreshFromImage();
  EXPECT_EQ(doc.option_unit, kOptionPtTrunk);
  EXPECT_TRUE(doc.option_unit_changed);
  doc.option_unit_changed = false;
  doc.RefreshFromImage();
  EXPECT_FALSE(doc.option_unit_changed);
}

TEST_F(DefaultCodeplug, CommitClearsWhatTheRecordsOwnAndKeepsTheRest) {
  doc.image[194] = doc.image[195] = 0x55;
  doc.image[200] = 0x77;    // carried unchanged
  doc.image[17500] = 0x66;  // block 136
  doc.image[17600] = 0x44;  // alignment tables
  doc.CommitToImage();
  testing::ExpectBytes(doc.image, {{194, 0}, {195, 0}, {200, 0x77}, {17500, 0x66}, {17600, 0x44}});
}

TEST_F(DefaultCodeplug, BandChangeSetsDefaultsSplitAndChannelFrequencies) {
  doc.channels.records[3].status = 0x31;
  doc.ChangeBand(kBandUhf);
  doc.CommitToImage();
  doc.RefreshFromImage();
  EXPECT_EQ(doc.hardware.band, kBandUhf);
  EXPECT_EQ(std::pair(doc.hardware.channel_spacing, doc.default_split), std::pair(0, 5.0));
  EXPECT_NEAR(doc.hardware.first_if, 44.25, 1e-9);
  EXPECT_TRUE(doc.modified);
  for (int i : {0, 15, 511}) {
    EXPECT_EQ(std::pair(doc.channels.records[i].rx_frequency, doc.channels.records[i].tx_frequency),
              std::pair(45000000, 45000000))
        << i;
  }
  EXPECT_TRUE(doc.channels.records[0].programmed());
  EXPECT_FALSE(doc.channels.records[3].programmed());
  EXPECT_EQ(doc.channels.records[3].scan_nibble(), 0);
}

}  // namespace
}  // namespace ql40
