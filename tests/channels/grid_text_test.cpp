// Cell, heading and panel texts of the channel grid.

#include "channels/grid_text.h"

#include <gtest/gtest.h>

namespace ql40 {
namespace {

TEST(GridText, CellsOfRepresentativeChannels) {
  Codeplug doc;
  doc.ResetToDefaults();
  ChannelTable& t = doc.channels;
  ChannelRecord& r = t.records[2];
  r.status = 0x31;  // programmed, both scan lists
  r.rx_frequency = 3800000;
  r.tx_frequency = 14652000;
  r.a0 = 0x1E;  // low level 2 ("1"), low power, narrow, encryption
  r.a1 = 0xEE;  // busy tone, TOT, RCHK, clock shift TX/RX/option
  r.a3 = 0x8A;  // ANI, code 10
  r.sub_audio_type = 1;
  r.a5 = 0x80 | 13;
  r.a4 = 0;
  r.squelch = 0x0B;
  r.tag = "14652000";
  r.squelch |= 0x10;
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

  r.a0 |= 0x23;  // transmit inhibit, low level 3 (no such text)
  r.a1 = 0x03;
  r.sub_audio_type = 2;
  r.a5 = 107;  // beyond the DCS list
  r.a4 = 106;
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
  EXPECT_EQ(GridHeading(0, 0, 0), " ");
  EXPECT_EQ(GridHeading(1, 5, 0), "Transmit");
  const char* code[] = {"Page", "2Ton", "SIG", "SIG", "SIG", "Page", "Page"};
  for (int unit = 0; unit < 7; ++unit) EXPECT_EQ(GridHeading(1, 19, unit), code[unit]) << unit;

  ChannelTable t;
  t.ResetChannelTable();
  EXPECT_EQ(GroupHeaderText(t, 0), " Group   1  TAG [GROUP-01]  (  16  Channels )");
  t.group_tag[1] = "AB";
  EXPECT_EQ(GroupHeaderText(t, 1), " Group   2  TAG [AB      ]  (   0  Channels )");
  EXPECT_EQ(ChannelsLeftText(t), "496  Channels Left ");

  RadioIdentity id;
  EXPECT_EQ(SerialNoText(id), "0N010000");
  EXPECT_EQ(FreqBandText(0, 2), "VHF 1.25kHz");
  EXPECT_EQ(FreqBandText(1, 2), "VHF Lo 1.25kHz");
  EXPECT_EQ(FreqBandText(2, 0), "UHF");
  EXPECT_EQ(FreqBandText(3, 0), "?(3)");
  EXPECT_EQ(ProductTypeText(1), "PT-410       ");
  EXPECT_EQ(FirmwareVersionText(125), "1.25");
  EXPECT_EQ(ComPortText(2), "COM2");
}

}  // namespace
}  // namespace ql40
