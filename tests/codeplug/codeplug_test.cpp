#include "codeplug/codeplug.h"

#include <gtest/gtest.h>

#include <vector>

namespace ql40 {
namespace {

std::vector<int> Symbols(const Image& image, int offset) {
  return std::vector<int>(image.begin() + offset, image.begin() + offset + 8);
}

TEST(DefaultCodeplug, GroupAndChannelRegions) {
  Codeplug doc;
  doc.ResetToDefaults();
  const Image& im = doc.image;

  EXPECT_TRUE(im[27] & 0x04) << "no option unit";
  EXPECT_EQ(doc.default_split, 0.0);
  for (int i = 17408; i < 17536; ++i) ASSERT_EQ(im[i], 0) << "block 136 at " << i;
  for (int i : {17653, 17654, 17657, 17660, 17661, 17662}) EXPECT_EQ(im[i], 0) << i;
  EXPECT_EQ(im[194], 0);
  EXPECT_EQ(im[195], 0);

  // One group of 16 channels.
  EXPECT_EQ(im[26] & 0x1F, 0);
  EXPECT_EQ(im[30], 16);
  for (int g = 1; g < 20; ++g) EXPECT_EQ(im[30 + g], 0) << g;
  for (int g = 0; g < 20; ++g) EXPECT_EQ(im[50 + g], 0xFF) << "no priority " << g;
  // QTS-off and SCAN-off bits set for every group, fillers set; empty-group bits without filler.
  for (int off : {92, 100}) {
    EXPECT_EQ(im[off], 0xFF);
    EXPECT_EQ(im[off + 1], 0xFF);
    EXPECT_EQ(im[off + 2], 0xFF);
    EXPECT_EQ(im[off + 3], 0xFF);
  }
  EXPECT_EQ(im[96], 0xFF);  // groups 9-16 empty
  EXPECT_EQ(im[97], 0x7F);  // group 1 has channels
  EXPECT_EQ(im[98], 0x00);  // no group maps here
  EXPECT_EQ(im[99], 0xF0);
  // Channel 1 is the only programmed channel; no scan list members.
  EXPECT_EQ(im[512], 0xFE);
  for (int i = 513; i < 576; ++i) ASSERT_EQ(im[i], 0xFF) << i;
  for (int i = 104; i < 168; ++i) ASSERT_EQ(im[i], 0xFF) << i;
  for (int i = 576; i < 640; ++i) ASSERT_EQ(im[i], 0xFF) << i;
  // "GROUP-01" and "GROUP-20" as tag symbols.
  EXPECT_EQ(Symbols(im, 648), (std::vector<int>{16, 27, 24, 30, 25, 40, 0, 1}));
  EXPECT_EQ(Symbols(im, 648 + 19 * 8), (std::vector<int>{16, 27, 24, 30, 25, 40, 2, 0}));
}

TEST(DefaultCodeplug, FirstChannelRecordBytes) {
  Codeplug doc;
  doc.ResetToDefaults();
  const Image& im = doc.image;
  const int c = 1024;
  // 160.1 MHz on VHF, 5 kHz steps, local oscillator 21.8 MHz below: N = 27660 receive,
  // 32020 transmit.
  const std::vector<int> expected = {
      0x01, 0x04, 0x00, 0x00, 0x7F, 0x7F,  // attributes, no tones
      0x40, 0x2A, 0x71, 0x00, 0x6C, 0x0C,  // receive PLL word, tuning, N
      0x40, 0x36, 0x32, 0x00, 0x7D, 0x14,  // transmit PLL word, tuning, N
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // tuning and squelch
      36, 12, 17, 40, 0, 0, 1, 36};        // " CH-001 "
  EXPECT_EQ(std::vector<int>(im.begin() + c, im.begin() + c + 32), expected);
  // Channel 512 carries its own tag.
  EXPECT_EQ(Symbols(im, c + 511 * 32 + 24), (std::vector<int>{36, 12, 17, 40, 5, 1, 2, 36}));
}

TEST(Codeplug, RefreshAndCommitAgreeOnTheDefaultImage) {
  Codeplug doc;
  doc.ResetToDefaults();
  const Image before = doc.image;
  doc.RefreshFromImage();
  doc.CommitToImage();
  EXPECT_EQ(doc.image, before);
  EXPECT_EQ(doc.hardware.band, kBandVhf);
  EXPECT_EQ(doc.hardware.product_type, kPt610);
  EXPECT_NEAR(doc.hardware.first_if, 21.8, 1e-9);
  EXPECT_EQ(doc.hardware.injection, 0);
  EXPECT_EQ(doc.identity.serial_number, "0N010000");
  EXPECT_EQ(doc.channels.total, 16);
  EXPECT_EQ(doc.channels.channels_left, 496);
}

TEST(Codeplug, OptionUnitDecodingSetsTheChangedFlag) {
  EXPECT_EQ(DecodeOptionUnit(0x2C), kOptionNone);
  EXPECT_EQ(DecodeOptionUnit(0x28), kOptionPtTrunk);
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image[27] = 0x28;
  doc.RefreshFromImage();
  EXPECT_EQ(doc.option_unit, kOptionPtTrunk);
  EXPECT_TRUE(doc.option_unit_changed);
  doc.option_unit_changed = false;
  doc.RefreshFromImage();
  EXPECT_FALSE(doc.option_unit_changed);
}

TEST(Codeplug, CommitClearsWhatTheRecordsOwnAndKeepsTheRest) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image[194] = 0x55;
  doc.image[195] = 0x55;
  doc.image[200] = 0x77;    // carried unchanged
  doc.image[17500] = 0x66;  // block 136
  doc.image[17600] = 0x44;  // alignment tables
  doc.CommitToImage();
  EXPECT_EQ(doc.image[194], 0);
  EXPECT_EQ(doc.image[195], 0);
  EXPECT_EQ(doc.image[200], 0x77);
  EXPECT_EQ(doc.image[17500], 0x66);
  EXPECT_EQ(doc.image[17600], 0x44);
}

TEST(Codeplug, BandChangeSetsDefaultsSplitAndChannelFrequencies) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.channels.records[3].status = 0x31;
  doc.ChangeBand(kBandUhf);
  doc.CommitToImage();
  doc.RefreshFromImage();
  EXPECT_EQ(doc.hardware.band, kBandUhf);
  EXPECT_EQ(doc.hardware.channel_spacing, 0);
  EXPECT_NEAR(doc.hardware.first_if, 44.25, 1e-9);
  EXPECT_EQ(doc.default_split, 5.0);
  EXPECT_TRUE(doc.modified);
  for (int i : {0, 1, 15, 511}) {
    EXPECT_EQ(doc.channels.records[i].rx_frequency, 45000000) << i;
    EXPECT_EQ(doc.channels.records[i].tx_frequency, 45000000) << i;
  }
  EXPECT_TRUE(doc.channels.records[0].programmed());
  EXPECT_FALSE(doc.channels.records[3].programmed());
  EXPECT_EQ(doc.channels.records[3].scan_nibble(), 0);
}

}  // namespace
}  // namespace ql40
