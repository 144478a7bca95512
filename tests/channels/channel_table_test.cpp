// The whole table: group regions, decode fallbacks, edits, groups, garbage images, and the
// texts of the channel grid.

#include "channels/channel_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "channels/grid_text.h"
#include "codeplug/codeplug.h"
#include "resources/channel_labels.h"

namespace ql40 {
namespace {

Codeplug NewCodeplug() {
  Codeplug doc;
  doc.ResetToDefaults();
  return doc;
}

TEST(ChannelTableImage, GroupAndChannelBitSets) {
  Codeplug doc = NewCodeplug();
  ChannelTable& t = doc.channels;
  t.count = {10, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 3};
  t.total = 18;
  t.scan_mode[8] = 2;          // SCAN on group 9
  t.scan_mode[16] = 3;         // SCAN and QTS on group 17
  t.records[9].status = 0x21;  // programmed, user list only
  t.records[11].status = 0x01;
  t.priority[8] = 2;  // channel 12 (index 11)
  t.priority[0] = 4;  // channel 4 is not programmed: dropped
  doc.CommitToImage();
  const Image& im = doc.image;
  EXPECT_EQ(im[26] & 0x1F, 0);
  // QTS off everywhere but group 17; groups 1, 9 and 17 hold channels; SCAN on 9 and 17.
  const std::uint8_t group_bits[] = {0xFF, 0xFF, 0xFF, 0x7F, 0x7F, 0x7F,
                                     0x00, 0x70, 0x7F, 0xFF, 0xFF, 0x7F};
  EXPECT_TRUE(std::equal(std::begin(group_bits), std::end(group_bits), im.begin() + 92));
  EXPECT_EQ(im[30], 10);
  EXPECT_EQ(im[38], 5);
  EXPECT_EQ(im[50], 0xFF);
  EXPECT_EQ(im[58], 1);
  EXPECT_EQ(im[512 + 1] & 0x02, 0);  // channel 10 programmed
  EXPECT_EQ(im[104 + 1] & 0x02, 0);  // in the user list
  EXPECT_EQ(im[576 + 1] & 0x02, 2);  // not in the dealer list
  EXPECT_EQ(im[512] & 0x01, 0);      // channel 1 always programmed in a new codeplug
  EXPECT_EQ(im[512] & 0x02, 2);

  doc.RefreshFromImage();
  EXPECT_EQ(t.priority[8], 2);
  EXPECT_EQ(t.priority[0], 0);
  EXPECT_EQ(t.records[9].status, 0x21);
  EXPECT_EQ(t.scan_mode[16], 2);  // QTS is only kept with the PT-Trunk unit
  Image first = doc.image;
  first[95] = 0xFF;  // the dropped QTS flag
  doc.CommitToImage();
  EXPECT_EQ(doc.image, first);
}

TEST(ChannelTableImage, DecodeFallbacks) {
  Codeplug doc = NewCodeplug();
  const std::uint8_t too_many[] = {255, 255, 90};  // 600 channels on a PT-610
  std::copy(std::begin(too_many), std::end(too_many), doc.image.begin() + 30);
  doc.RefreshFromImage();
  EXPECT_EQ(doc.channels.count[0], 255);
  EXPECT_EQ(doc.channels.count[1], 0);
  EXPECT_EQ(doc.channels.total, 255);
  EXPECT_EQ(doc.channels.channels_left, 257);

  doc.image[25] |= 0x01;  // PT-410: 3 groups of 16
  const std::uint8_t counts[] = {20, 10, 10, 5};
  std::copy(std::begin(counts), std::end(counts), doc.image.begin() + 30);
  doc.image[51] = 9;   // priority entry 10 of a 10-channel group: kept
  doc.image[52] = 10;  // entry 11: beyond the count
  std::fill(doc.image.begin() + 512, doc.image.begin() + 576, std::uint8_t{0});
  doc.RefreshFromImage();
  const ChannelTable& t = doc.channels;
  EXPECT_EQ(t.capacity, 48);
  EXPECT_EQ(t.count[0], 16);
  EXPECT_EQ(t.count[3], 0);
  EXPECT_EQ(t.total, 36);
  EXPECT_EQ(t.priority[1], 10);
  EXPECT_EQ(t.priority[2], 0);

  std::fill(doc.image.begin() + 30, doc.image.begin() + 50, std::uint8_t{0});
  doc.RefreshFromImage();
  EXPECT_EQ(t.count[0], 16);
  EXPECT_EQ(t.channels_left, 32);
}

TEST(ChannelTableEdits, CommitCellText) {
  ChannelTable t;
  t.ResetChannelTable();
  ChannelContext ctx;
  ctx.default_split = 0.6;
  ChannelRecord& r = t.records[3];
  t.CommitCellText(3, 4, "146.52", ctx);
  EXPECT_TRUE(r.programmed());
  EXPECT_EQ(r.rx_frequency, 14652000);
  EXPECT_EQ(r.tx_frequency, 14712000);
  EXPECT_EQ(r.Get(field::kSteps), 0);
  EXPECT_FALSE(r.clock_shift_option());
  t.CommitCellText(3, 4, "147.456", ctx);  // a multiple of 921.6 kHz, 6.25 kHz step
  EXPECT_TRUE(r.rx_clock_shift());
  EXPECT_EQ(r.rx_step(), 1);
  t.CommitCellText(3, 4, "148.005", ctx);
  EXPECT_TRUE(r.clock_shift_option());
  EXPECT_FALSE(r.rx_clock_shift());
  t.CommitCellText(3, 5, "146.975", ctx);  // near a multiple of 80.139 kHz
  EXPECT_TRUE(r.tx_clock_shift());
  r.set_tx_inhibit(true);
  t.CommitCellText(3, 5, "---.-----", ctx);
  EXPECT_EQ(r.tx_frequency, 14697500);
  EXPECT_TRUE(r.tx_inhibit());
  ctx.band = kBandUhf;
  ctx.channel_spacing = 0;
  t.CommitCellText(3, 5, "700", ctx);
  EXPECT_EQ(r.tx_frequency, 60000000);
  EXPECT_TRUE(r.tx_clock_shift());  // the transmit clock shift is only worked out on VHF
  t.CommitCellText(3, 4, "406.05", ctx);
  EXPECT_EQ(r.rx_frequency, 40000000);
}

TEST(ChannelTableEdits, DcsComplementAndCodeReferences) {
  EXPECT_EQ(res::kDcsCodes[DcsComplementIndex(res::FindLabel(res::kDcsCodes, "243"))], "351");
  for (int i = 1; i < 107; ++i) EXPECT_GT(DcsComplementIndex(i), 0) << i;
  EXPECT_EQ(DcsComplementIndex(0), 0);
  EXPECT_EQ(DcsComplementIndex(120), 120);

  ChannelTable t;
  t.ResetChannelTable();
  ChannelRecord& r = t.records[0];
  r.sub_audio_type = 2;
  r.set_rx_tone(res::FindLabel(res::kDcsCodes, "435"));
  r.set_rx_power_save(true);
  r.set_tx_tone(1);
  t.DcsComplement(0, 7);
  EXPECT_EQ(res::kDcsCodes[r.rx_tone()], "243");
  EXPECT_TRUE(r.rx_power_save());
  t.DcsComplement(0, 8);
  EXPECT_EQ(res::kDcsCodes[r.tx_tone()], "047");
  r.sub_audio_type = 1;
  t.DcsComplement(0, 8);
  EXPECT_EQ(res::kDcsCodes[r.tx_tone()], "047");

  t.records[5].set_code(3);
  t.records[5].set_ani(true);
  t.records[6].set_code(4);
  t.ClearPageCodeReferences(3);
  EXPECT_EQ(t.records[5].Get(field::kCode), 0);
  EXPECT_TRUE(t.records[5].ani());  // ANI kept
  EXPECT_EQ(t.records[6].code_number(), 4);
}

TEST(ChannelTableGroups, ArithmeticAndSelection) {
  ChannelTable t;
  t.ResetChannelTable();
  t.count = {};
  t.count[0] = 10;
  t.count[2] = 10;
  t.count[5] = 10;
  t.total = 30;
  EXPECT_EQ(t.GroupOfChannel(15), 2);
  EXPECT_EQ(t.GroupOfChannel(30), kGroupCount);
  EXPECT_EQ(t.ChannelNumberOfEntry(2, 3), 13);
  EXPECT_EQ(t.EntryOfChannelNumber(2, 13), 3);
  t.SelectGroup(1);
  EXPECT_EQ(t.current_group, 2);
  EXPECT_EQ(t.first_of_group, 11);
  EXPECT_EQ(t.last_of_group, 20);
  EXPECT_EQ(t.current_channel, 10);
  t.NextGroup();
  EXPECT_EQ(t.current_group, 5);
  t.NextGroup();
  EXPECT_EQ(t.current_group, 0);
  t.count = {};
  t.SelectGroup(7);  // no group holds channels: no endless search
  EXPECT_EQ(t.current_group, 0);

  for (auto [total, block] : {std::pair{0, 8}, {5, 9}, {512, 135}}) {
    t.total = total;
    EXPECT_EQ(t.LastBlock(), block) << total;
  }
}

TEST(ChannelTableImage, GarbageDecodesSafely) {
  Codeplug doc = NewCodeplug();
  std::uint32_t seed = 7;
  for (int round = 0; round < 6; ++round) {
    for (auto& b : doc.image) b = static_cast<std::uint8_t>((seed = seed * 69069u + 1u) >> 24);
    if (round == 0) doc.image.fill(0xFF);
    doc.RefreshFromImage();
    const ChannelTable& t = doc.channels;
    ASSERT_LE(t.total, t.capacity);
    ASSERT_EQ(t.channels_left, t.capacity - t.total);
    for (int i = 0; i < kChannelCount; ++i) {
      for (int c = 0; c < kGridColumnCount; ++c) (void)GridCellText(doc, i, c);
    }
    doc.CommitToImage();
    doc.RefreshFromImage();
    const Image once = doc.image;
    doc.CommitToImage();
    EXPECT_EQ(doc.image, once) << round;  // one pass settles any damage
  }
}

TEST(GridText, CellsOfRepresentativeChannels) {
  Codeplug doc;
  doc.ResetToDefaults();
  ChannelTable& t = doc.channels;
  ChannelRecord& r = t.records[2];
  r.status = 0x31;  // programmed, both scan lists
  r.rx_frequency = 3800000;
  r.tx_frequency = 14652000;
  r.set_attribute_bytes({
      0x1E,  // low level 2 ("1"), low power, narrow, encryption
      0xEE,  // busy tone, TOT, RCHK, clock shift TX/RX/option
      r.attribute_bytes()[2],
      0x8A,      // ANI, code 10
      0,         // no transmit tone
      0x80 | 13  // receive power save, tone 100.0
  });
  r.sub_audio_type = 1;
  r.squelch = 0x0B;
  r.tag = "14652000";
  r.squelch |= 0x10;  // tag with a decimal point
  t.priority[0] = 3;
  doc.option_unit = kOption2Tone;
  EXPECT_EQ(GridRowText(doc, 2),
            "  3\tP\tN\t146.52000\t 38.00000\t146.52000\tCTCSS\t100.0\tOff\tv\t-\tL\t1\tB\t"
            "v\t-3\tv\tv\tBT\t0\tv\tv\tv\tv");
  EXPECT_EQ(GridCellText(doc, 1, kColPriority), "-");

  doc.option_unit = kOptionScb100;
  EXPECT_EQ(GridCellText(doc, 2, kColCode), "10");
  doc.option_unit = kOptionNone;
  doc.image[kOffsetOptionUnit] |= 0x02;  // no DTMF receiver: paging codes are not shown
  EXPECT_EQ(GridCellText(doc, 2, kColCode), "-");

  r.set_tx_inhibit(true);
  r.set_low_power_level(3);  // no such text
  r.Set(field::kClockShifts, 0);
  r.set_rchk(false);
  r.set_time_out_timer(false);
  r.set_lock_out(3);
  r.sub_audio_type = 2;
  r.set_rx_tone(107);  // beyond the DCS list
  r.set_rx_power_save(false);
  r.set_tx_tone(106);
  r.squelch = 0x08;  // minus zero
  EXPECT_EQ(GridCellText(doc, 2, kColTransmit), "---.-----");
  EXPECT_EQ(GridCellText(doc, 2, kColLowPower), "?(3)");
  EXPECT_EQ(GridCellText(doc, 2, kColLockOut), "?(3)");
  EXPECT_EQ(GridCellText(doc, 2, kColDecode), "?(107)");
  EXPECT_EQ(GridCellText(doc, 2, kColEncode), "754");
  EXPECT_EQ(GridCellText(doc, 2, kColSquelch), " 0");
  r.sub_audio_type = 0;
  EXPECT_EQ(GridCellText(doc, 2, kColDecode), "-----");
  r.sub_audio_type = 1;
  EXPECT_EQ(GridCellText(doc, 2, kColEncode), "?(106)");
  EXPECT_EQ(GridCellText(doc, 512, 0), "");
  EXPECT_EQ(GridCellText(doc, 0, 24), "");
}

TEST(GridText, HeadingsHeaderAndPanel) {
  EXPECT_EQ(GridHeading(0, 6, 0), "SUB AUDIO");
  EXPECT_EQ(GridHeading(1, 19, kOption2Tone), "2Ton");

  ChannelTable t;
  t.ResetChannelTable();
  EXPECT_EQ(GroupHeaderText(t, 0), " Group   1  TAG [GROUP-01]  (  16  Channels )");
  t.group_tag[1] = "AB";
  EXPECT_EQ(GroupHeaderText(t, 1), " Group   2  TAG [AB      ]  (   0  Channels )");
  EXPECT_EQ(ChannelsLeftText(t), "496  Channels Left ");
  EXPECT_EQ(FreqBandText(3, 0), "?(3)");
}

}  // namespace
}  // namespace ql40
