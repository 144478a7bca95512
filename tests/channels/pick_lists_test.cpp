// The pick lists of the grid: entries, the current value's position and the value of a choice.

#include "channels/pick_lists.h"

#include <gtest/gtest.h>

#include <utility>

#include "channels/grid_text.h"
#include "signalling/paging.h"

namespace ql40 {
namespace {

// The selected entry is the stored value's; a choice's value is what gets stored.
TEST(PickListsTest, SubAudioAndSquelchListsMapValuesAndPositions) {
  const PickListModel ctcss = SubAudioPickList(1, 13, kColDecode);
  const PickListModel dcs = SubAudioPickList(2, 0, kColEncode);
  EXPECT_EQ(ctcss.caption + "|" + dcs.caption, "CTCSS Frequency|DCS Frequency");
  ASSERT_EQ(ctcss.entries.size(), 51u);
  ASSERT_EQ(dcs.entries.size(), 107u);
  EXPECT_EQ(ctcss.entries.front() + ctcss.entries.back() + dcs.entries.back(), "Off254.1754");
  EXPECT_EQ(ctcss.entries[ctcss.selected], "100.0");
  EXPECT_EQ(dcs.entries[dcs.selected], "Off");
  EXPECT_EQ(dcs.ValueAt(106), 106);
  EXPECT_EQ(std::pair(ctcss.help_id, dcs.help_id), std::pair(307, 308));

  const PickListModel minus_zero = SquelchPickList(8);
  ASSERT_EQ(minus_zero.entries.size(), 15u);
  EXPECT_EQ(minus_zero.selected, 0);
  EXPECT_EQ(minus_zero.entries[10], "-3");
  EXPECT_EQ(minus_zero.ValueAt(10), 11);
  EXPECT_EQ(minus_zero.ValueAt(7), 7);
  EXPECT_EQ(SquelchPickList(11).selected, 10);
  EXPECT_EQ(SquelchPickList(15).entries[SquelchPickList(15).selected], "-7");
  EXPECT_EQ(minus_zero.ValueAt(-1), 0);  // no selection counts as the first entry
  EXPECT_EQ(minus_zero.ValueAt(99), 0);
  EXPECT_EQ(ScanPickList(3).selected, 3);
}

TEST(PickListsTest, CodeListByOptionUnit) {
  Codeplug doc;
  doc.ResetToDefaults();
  EmptyAllPagingSlots(doc.image);
  doc.image[kOffsetPagingSlots + 2] = 0x12;   // slot 2 in use
  doc.image[kOffsetPagingSlots + 18] = 0x34;  // slot 10 in use

  doc.option_unit = kOption2Tone;
  PickListModel two_tone = CodePickList(doc, 10);
  EXPECT_EQ(two_tone.caption, "2Tone Code");
  EXPECT_EQ(two_tone.entries, (std::vector<std::string>{"OFF", "2", "0"}));
  EXPECT_EQ(two_tone.selected, 2);
  EXPECT_EQ(two_tone.ValueAt(2), 10);
  EXPECT_EQ(two_tone.help_id, 319);
  // A code whose slot is empty opens on OFF.
  EXPECT_EQ(CodePickList(doc, 3).selected, 0);

  doc.option_unit = kOptionSubsig;
  const PickListModel subsig = CodePickList(doc, 0);
  EXPECT_EQ(subsig.caption, "SUB Signal");
  EXPECT_EQ(subsig.entries.size(), 11u);
  EXPECT_EQ(subsig.help_id, 320);

  doc.option_unit = kOptionScb100;
  const PickListModel sub_cpu = CodePickList(doc, 2);
  EXPECT_EQ(sub_cpu.caption, "Sub CPU");
  EXPECT_EQ(sub_cpu.entries[sub_cpu.selected], "2: MDC-1200");
  EXPECT_EQ(sub_cpu.ValueAt(2), 2);

  // No DTMF receiver fitted: nothing but OFF.
  doc.option_unit = kOptionNone;
  doc.image[kOffsetOptionUnit] |= 0x02;
  EXPECT_EQ(CodePickList(doc, 2).entries, (std::vector<std::string>{"OFF"}));
  doc.image[kOffsetOptionUnit] &= static_cast<std::uint8_t>(~0x02);
  EXPECT_EQ(CodePickList(doc, 2).caption, "Page Code");
  EXPECT_EQ(CodePickList(doc, 2).entries.size(), 3u);

  EXPECT_TRUE(PickListFor(doc, 0, kColTag).empty());
  EXPECT_TRUE(PickListFor(doc, -1, kColScan).empty());
}

}  // namespace
}  // namespace ql40
