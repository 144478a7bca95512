// The grid's editing rules without a display: stepping, picking, the editor, cell paste,
// channel copy, block paste, range fill and copy of a range.

#include "channels/grid_edit.h"

#include <gtest/gtest.h>

#include "channels/pick_lists.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"
#include "signalling/paging.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::ScriptedPrompter;

constexpr ColumnFlags kAllShown = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

class GridEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.ResetToDefaults();
    ChannelTable& t = doc.channels;
    t.count.fill(0);
    t.count[0] = 10;
    t.count[1] = 10;
    t.total = 20;
    t.channels_left = t.capacity - t.total;
    for (int i = 0; i < 20; ++i) Rec(i).status |= 1;
    t.SelectGroup(0);
    doc.image[kOffsetOptionUnit] &= static_cast<std::uint8_t>(~0x01);  // encryption allowed
    doc.modified = false;
  }
  ChannelRecord& Rec(int i) { return doc.channels.records[static_cast<std::size_t>(i)]; }
  std::string Text(int i, int column) { return GridCellText(doc, i, column); }
  PasteResult Paste(int channel, int column, std::string_view text,
                    const ColumnFlags& flags = kAllShown) {
    return PasteCell(doc, channel, column, text, flags, prompter);
  }

  Codeplug doc;
  ScriptedPrompter prompter{{}, Answer::kYes};
};

TEST_F(GridEditTest, SteppingTogglesAndCyclesEveryStepColumn) {
  struct Case {
    int column;
    std::vector<std::string> texts;  // the cell after each press, starting from the default
  };
  const std::vector<Case> cases = {
      {kColWideNarrow, {"N", "W"}},   {kColTransmit, {"---.-----", "160.10000"}},
      {kColRxPowerSave, {"v", "-"}},  {kColTxPowerSave, {"v", "-"}},
      {kColPower, {"L", "H"}},        {kColLowPower, {"1", "3", "2"}},
      {kColTimeOut, {"-", "v"}},      {kColAni, {"v", "-"}},
      {kColEncryption, {"v", "-"}},   {kColLockOut, {"BC", "BT", "--"}},
      {kColClockShiftTx, {"v", "-"}}, {kColClockShiftRx, {"v", "-"}},
  };
  for (const Case& c : cases) {
    for (const std::string& expected : c.texts) {
      doc.modified = false;
      EXPECT_EQ(CycleCell(doc, 4, c.column), CellAction::kChanged) << c.column;
      EXPECT_EQ(Text(4, c.column), expected) << c.column;
      EXPECT_TRUE(doc.modified) << c.column;
    }
  }
}

TEST_F(GridEditTest, SteppingRefusesWhatTheChannelCannotHave) {
  doc.modified = false;
  // Clock shift option needs the SUBSIG unit, RCHK needs DCS, tones need a type.
  EXPECT_EQ(CycleCell(doc, 2, kColClockShiftOption), CellAction::kBeep);
  EXPECT_EQ(CycleCell(doc, 2, kColRchk), CellAction::kBeep);
  EXPECT_EQ(CycleCell(doc, 2, kColDecode), CellAction::kBeep);
  // Encryption cannot be stepped while the option byte forbids it.
  doc.image[kOffsetOptionUnit] |= 0x01;
  EXPECT_EQ(CycleCell(doc, 2, kColEncryption), CellAction::kNone);
  EXPECT_FALSE(doc.modified);
  // An unprogrammed channel taking only its programmed bit is the grid view's test (tests/ui).

  doc.option_unit = kOptionSubsig;
  EXPECT_EQ(CycleCell(doc, 2, kColClockShiftOption), CellAction::kChanged);
  Rec(2).sub_audio_type = 2;
  Rec(2).set_rx_tone(1);  // DCS 023
  EXPECT_EQ(CycleCell(doc, 2, kColRchk), CellAction::kChanged);
  EXPECT_EQ(Text(2, kColRchk), "v");
}

TEST_F(GridEditTest, ProgrammedBitAndPriority) {
  // Channel 1 stays programmed.
  doc.modified = false;
  CycleCell(doc, 0, kColChannel);
  EXPECT_TRUE(Rec(0).programmed());
  EXPECT_FALSE(doc.modified);

  // The priority mark moves, toggles off, and leaves with the programmed bit.
  EXPECT_TRUE(TogglePriority(doc, 2));
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), 2);
  EXPECT_EQ(CycleCell(doc, 6, kColPriority), CellAction::kChanged);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), 6);
  EXPECT_EQ(Text(2, kColPriority), "-");
  EXPECT_EQ(Text(6, kColPriority), "P");
  CycleCell(doc, 6, kColPriority);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), -1);
  CycleCell(doc, 6, kColPriority);
  CycleCell(doc, 6, kColChannel);
  EXPECT_FALSE(Rec(6).programmed());
  EXPECT_EQ(doc.channels.priority[0], 0);
  // An unprogrammed channel never takes the mark; a channel of group 2 marks group 2 only.
  EXPECT_FALSE(TogglePriority(doc, 6));
  TogglePriority(doc, 13);
  EXPECT_EQ(doc.channels.priority[1], 4);
  EXPECT_EQ(doc.channels.priority[0], 0);
}

TEST_F(GridEditTest, SubAudioTypeStepsKeepOrClearTheTones) {
  ChannelRecord& r = Rec(3);
  r.sub_audio_type = 2;
  r.set_rx_tone(80);
  r.set_rx_power_save(true);
  r.set_tx_tone(80);
  r.set_rchk(true);
  r.set_tone_flags(true, true);
  CycleCell(doc, 3, kColSubAudioType);  // to none
  EXPECT_EQ(r.sub_audio_type, 0);
  EXPECT_EQ(r.rx_tone(), 0);
  EXPECT_EQ(r.tx_tone(), 0);
  EXPECT_TRUE(r.rx_power_save());  // the power-save bit stays
  EXPECT_EQ(r.Get(field::kToneFlags), 0);
  EXPECT_FALSE(r.rchk());
  // From none the step asks for a tone: a type is only kept with one.
  EXPECT_EQ(CycleCell(doc, 3, kColSubAudioType), CellAction::kPick);
  EXPECT_EQ(r.sub_audio_type, 0);
  EXPECT_FALSE(ApplyPick(doc, 3, kColSubAudioType, 0));  // "Off" is no tone
  ASSERT_TRUE(ApplyPick(doc, 3, kColSubAudioType, 13));
  EXPECT_EQ(Text(3, kColDecode), "100.0");
  CycleCell(doc, 3, kColSubAudioType);  // CTCSS 100.0 to DCS keeps the index
  EXPECT_EQ(Text(3, kColDecode), "071");
  // From DCS with a code beyond the CTCSS list a CTCSS type cannot keep a tone: refused.
  r.set_rx_tone(60);
  r.set_rx_power_save(false);
  r.set_tx_tone(60);
  r.set_tx_power_save(false);
  EXPECT_EQ(Paste(3, kColSubAudioType, "CTCSS"), PasteResult::kRefused);
  EXPECT_EQ(r.sub_audio_type, 2);
  EXPECT_EQ(r.rx_tone(), 60);
  // Both tones picked off: no sub-audio, and no RCHK without DCS.
  EXPECT_EQ(Paste(3, kColRchk, "v"), PasteResult::kPasted);
  ASSERT_TRUE(ApplyPick(doc, 3, kColDecode, 0) && ApplyPick(doc, 3, kColEncode, 0));
  EXPECT_EQ(Text(3, kColSubAudioType) + Text(3, kColRchk), "------");
}

TEST_F(GridEditTest, PicksStoreTheChoice) {
  ChannelRecord& r = Rec(1);
  r.sub_audio_type = 1;
  EXPECT_EQ(CycleCell(doc, 1, kColDecode), CellAction::kPick);
  // A receive tone on a channel without tones sets the transmit tone too, but not after.
  EXPECT_TRUE(ApplyPick(doc, 1, kColDecode, 13));
  EXPECT_EQ(r.tx_tone(), 13);
  EXPECT_TRUE(ApplyPick(doc, 1, kColDecode, 20));
  EXPECT_EQ(r.rx_tone(), 20);
  EXPECT_EQ(r.tx_tone(), 13);
  EXPECT_TRUE(ApplyPick(doc, 1, kColEncode, 0));
  EXPECT_EQ(Text(1, kColEncode), "Off");
  EXPECT_FALSE(ApplyPick(doc, 1, kColDecode, 51));  // past the CTCSS list

  // Squelch minus 3 is position 10 and value 11; the tag point bit survives.
  r.squelch = 0x10;
  const PickListModel squelch = PickListFor(doc, 1, kColSquelch);
  EXPECT_TRUE(ApplyPick(doc, 1, kColSquelch, squelch.ValueAt(10)));
  EXPECT_EQ(r.squelch, 0x10 | 11);
  EXPECT_EQ(Text(1, kColSquelch), "-3");

  EXPECT_TRUE(ApplyPick(doc, 1, kColScan, 2));
  EXPECT_EQ(Text(1, kColScan), "U");

  // Codes: only those the list offers; a code clears ANI with a sub-CPU unit.
  doc.option_unit = kOptionScb100;
  r.set_ani(true);
  EXPECT_TRUE(ApplyPick(doc, 1, kColCode, 2));
  EXPECT_EQ(Text(1, kColCode), "2");
  EXPECT_FALSE(r.ani());
  EXPECT_FALSE(ApplyPick(doc, 1, kColCode, 7));
  // Setting ANI then clears the code.
  CycleCell(doc, 1, kColAni);
  EXPECT_EQ(r.code_number(), 0);
  EXPECT_TRUE(r.ani());

  doc.modified = false;
  EXPECT_TRUE(ApplyPick(doc, 1, kColScan, 2));  // the same value again
  EXPECT_FALSE(doc.modified);
}

TEST_F(GridEditTest, EditorCharacterRules) {
  for (char c : std::string_view("!\"#$%&',;<>?@^{|}~`")) {
    EXPECT_FALSE(TagCharAccepted(static_cast<unsigned char>(c), 0)) << c;
  }
  for (char c : std::string_view("AZ09-+*/()=_[] ")) {
    EXPECT_TRUE(TagCharAccepted(static_cast<unsigned char>(c), 5)) << c;
  }
  EXPECT_TRUE(TagCharAccepted('.', 3));
  EXPECT_FALSE(TagCharAccepted('.', 2));
  EXPECT_FALSE(TagCharAccepted('.', 4));
  EXPECT_TRUE(TagCharAccepted(0x80 | 'A', 0));  // only the low 7 bits count
  for (char c : std::string_view("0123456789. ")) EXPECT_TRUE(FrequencyCharAccepted(c)) << c;
  for (char c : std::string_view("aA-+,e")) EXPECT_FALSE(FrequencyCharAccepted(c)) << c;

  EXPECT_EQ(FilterEditorInput(0, "ab.c!d", 0, 9), "ABCD");
  EXPECT_EQ(FilterEditorInput(0, "abc.de", 0, 9), "ABC.DE");
  EXPECT_EQ(FilterEditorInput(1, "146.52x000", 0, 9), "146.52000");
  EXPECT_EQ(FilterEditorInput(1, "146.520001234", 0, 4), "146.");
  EXPECT_EQ(FilterEditorInput(1, "1\t4\r\n6", 0, 9), "146");
  EXPECT_EQ(FilterEditorInput(0, "a\u00e9b", 0, 9), "AB");  // nothing outside ASCII
}

TEST_F(GridEditTest, EditorCommitAndItsSeed) {
  ChannelRecord& r = Rec(4);
  // Nothing typed: nothing changes, and the transmit frequency is not reset from the split.
  doc.default_split = 0.6;
  r.tx_frequency = 14700000;
  EXPECT_FALSE(CommitEditorText(doc, 4, kColReceive, Text(4, kColReceive)));
  EXPECT_EQ(r.tx_frequency, 14700000);
  EXPECT_FALSE(doc.modified);

  EXPECT_TRUE(CommitEditorText(doc, 4, kColReceive, "146.52"));
  EXPECT_EQ(r.rx_frequency, 14652000);
  EXPECT_EQ(r.tx_frequency, 14712000);
  EXPECT_TRUE(doc.modified);

  EXPECT_TRUE(CommitEditorText(doc, 4, kColTag, "146.52000"));
  EXPECT_EQ(Text(4, kColTag), "146.52000");

  // An inhibited transmit frequency is edited from its stored value.
  r.set_tx_inhibit(true);
  EXPECT_EQ(EditorSeed(doc, 4, kColTransmit), "147.12000");
  EXPECT_EQ(EditorMode(kColTransmit), 1);
  EXPECT_EQ(EditorMode(kColDecode), -1);
  r.status = 0;
  EXPECT_FALSE(CanEditCell(doc, 4, kColTag));
  EXPECT_FALSE(CommitEditorText(doc, 4, kColTag, "NEW"));
}

TEST_F(GridEditTest, PasteCellByColumn) {
  struct Case {
    int column;
    std::string text;
    bool ok;
    std::string shown;  // the cell afterwards ("" to skip)
  };
  const std::vector<Case> cases = {
      {kColWideNarrow, "N", true, "N"},
      {kColWideNarrow, "X", false, "N"},
      {kColTag, "abc.defgh", true, "ABC.DEFGH"},
      {kColTag, "ab.cd", false, ""},
      {kColTag, "TOOLONGTAG", false, ""},
      {kColTag, "A@B", false, ""},
      {kColTag, "A`B", false, ""},
      {kColTag, "", false, ""},
      {kColTag, "CAF\xc9", false, ""},
      {kColReceive, "146.52000", true, "146.52000"},
      {kColReceive, "146,52", false, "146.52000"},
      {kColReceive, "", false, "146.52000"},
      {kColTransmit, "---.-----", true, "---.-----"},
      {kColTransmit, "147.00000", true, "147.00000"},
      {kColSubAudioType, "DCS", true, "DCS"},  // from CTCSS 100.0: DCS 071
      {kColDecode, "754", true, "754"},
      {kColEncode, "Off", true, "Off"},
      {kColDecode, "67.0", false, ""},
      {kColSubAudioType, "CTCSS", false, "DCS"},  // 754 has no CTCSS tone: none would be left
      {kColDecode, "023", true, "023"},
      {kColSubAudioType, "CTCSS", true, "CTCSS"},
      {kColDecode, "67.0", true, " 67.0"},  // a spreadsheet drops the leading blank
      {kColEncode, "Off", true, "Off"},
      {kColDecode, "Off", true, "-----"},  // no tone left: no sub-audio
      {kColSubAudioType, "CTCSS", false, "-----"},
      {kColRxPowerSave, "v", true, "v"},
      {kColRxPowerSave, "V", false, "v"},
      {kColPower, "L", true, "L"},
      {kColLowPower, "1", true, "1"},
      {kColLowPower, "4", false, "1"},
      {kColScan, "B", true, "B"},
      {kColLockOut, "BT", true, "BT"},
      {kColSquelch, "-3", true, "-3"},
      {kColSquelch, "+7", true, "+7"},
      {kColSquelch, " 0", true, " 0"},
      {kColSquelch, "8", false, " 0"},
      {kColSquelch, "--3", false, " 0"},
      {kColClockShiftOption, "v", false, "-"},  // needs the SUBSIG unit
      {kColRchk, "v", false, "-"},              // needs DCS
      {kColCode, "3", false, "-"},              // no paging slot in use
      {kColCode, "-", true, "-"},
  };
  doc.image[kOffsetOptionUnit] &= static_cast<std::uint8_t>(~0x02);
  EmptyAllPagingSlots(doc.image);
  ASSERT_TRUE(ApplyPick(doc, 3, kColSubAudioType, 13));  // CTCSS 100.0 both ways
  for (const Case& c : cases) {
    const Codeplug before_doc = doc;
    doc.modified = false;
    EXPECT_EQ(Paste(3, c.column, c.text) == PasteResult::kPasted, c.ok)
        << c.column << " " << c.text;
    if (!c.shown.empty()) {
      EXPECT_EQ(Text(3, c.column), c.shown) << c.column << " " << c.text;
    }
    if (!c.ok) {  // a refusal leaves the record and the flag alone
      EXPECT_FALSE(doc.modified) << c.column << " " << c.text;
      EXPECT_EQ(GridRowText(doc, 3), GridRowText(before_doc, 3)) << c.column << " " << c.text;
    }
  }
  // An unprogrammed channel takes no paste but the channel number.
  Rec(7).status = 0;
  EXPECT_EQ(Paste(7, kColWideNarrow, "N"), PasteResult::kRefused);
}

TEST_F(GridEditTest, PastePriorityMovesTheMark) {
  TogglePriority(doc, 2);
  EXPECT_EQ(Paste(6, kColPriority, "P"), PasteResult::kPasted);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), 6);
  EXPECT_EQ(Text(2, kColPriority), "-");
  EXPECT_EQ(Paste(2, kColPriority, "-"), PasteResult::kPasted);  // not the mark: nothing
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), 6);
  EXPECT_EQ(Paste(6, kColPriority, "-"), PasteResult::kPasted);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), -1);
  EXPECT_EQ(Paste(6, kColPriority, "x"), PasteResult::kRefused);
}

TEST_F(GridEditTest, PasteOfAChannelNumberAsksAndCopiesShownGroups) {
  Rec(11).tag = "SOURCE  ";
  Rec(11).rx_frequency = 14652000;
  Rec(11).set_narrow(true);
  ScriptedPrompter yes({}, Answer::kYes);
  EXPECT_EQ(PasteCell(doc, 4, kColChannel, " 12", kAllShown, yes), PasteResult::kPasted);
  ASSERT_EQ(yes.messages().size(), 1u);
  EXPECT_EQ(yes.messages()[0].string_id, res::kStrCopyChannel);
  EXPECT_EQ(yes.messages()[0].args, (std::vector<std::string>{" 12", "  5"}));
  EXPECT_EQ(Rec(4).tag, "SOURCE  ");
  EXPECT_EQ(Rec(4).rx_frequency, 14652000);
  EXPECT_TRUE(doc.modified);

  // Hidden Frequency: the destination keeps its frequencies.
  ColumnFlags no_frequency = kAllShown;
  no_frequency[3] = 0;
  Rec(11).rx_frequency = 14800000;
  Rec(11).tag = "OTHER   ";
  EXPECT_EQ(PasteCell(doc, 4, kColChannel, "12", no_frequency, yes), PasteResult::kPasted);
  EXPECT_EQ(Rec(4).rx_frequency, 14652000);
  EXPECT_EQ(Rec(4).tag, "OTHER   ");

  // Its own row, beyond the capacity, zero or with a point: no question at all.
  ScriptedPrompter never;
  for (const char* t : {"5", "513", "0", "3.0", "abc", ""}) {
    EXPECT_EQ(PasteCell(doc, 4, kColChannel, t, kAllShown, never), PasteResult::kRefused) << t;
  }
  EXPECT_TRUE(never.messages().empty());
  // No leaves the channel as it was.
  ScriptedPrompter no({Answer::kNo});
  doc.modified = false;
  EXPECT_EQ(PasteCell(doc, 4, kColChannel, "1", kAllShown, no), PasteResult::kDeclined);
  EXPECT_EQ(Rec(4).tag, "OTHER   ");
  EXPECT_FALSE(doc.modified);
}

TEST_F(GridEditTest, CopyChannelFieldsKeepsOtherChannelsPriority) {
  TogglePriority(doc, 2);
  // The source is not the priority: the copy must not take channel 3's mark away.
  CopyChannelFields(doc, 8, 5, kAllShown);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), 2);
  // The source is the priority: the destination becomes it.
  CopyChannelFields(doc, 2, 5, kAllShown);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), 5);
  // The destination's own mark goes when a non-priority channel is copied onto it.
  CopyChannelFields(doc, 8, 5, kAllShown);
  EXPECT_EQ(doc.channels.PriorityChannelOf(0), -1);

  // Channel 1 stays programmed; the squelch offset and tag point belong to their columns.
  Rec(9).status = 0;
  CopyChannelFields(doc, 9, 0, kAllShown);
  EXPECT_TRUE(Rec(0).programmed());
  Rec(8).squelch = 0x13;
  Rec(6).squelch = 0x05;
  ColumnFlags frequency_only{};
  frequency_only[3] = 1;
  CopyChannelFields(doc, 8, 6, frequency_only);
  EXPECT_EQ(Rec(6).squelch, 0x05);
  // With unit 2, a copied code clears the destination's ANI.
  doc.option_unit = kOptionSubsig;
  Rec(8).set_attribute_byte(3, 0x13);
  Rec(6).set_attribute_byte(3, 0x80);
  ColumnFlags code_only{};
  code_only[13] = 1;
  CopyChannelFields(doc, 8, 6, code_only);
  EXPECT_EQ(Rec(6).attribute_byte(3), 0x13);
}

TEST_F(GridEditTest, ColumnFlagsNavigationAndHelp) {
  ColumnFlags flags = kAllShown;
  flags[3] = 0;  // Frequency: columns 4 and 5
  EXPECT_EQ(NextShownColumn(flags, kColTag, 1), kColSubAudioType);
  EXPECT_EQ(NextShownColumn(flags, kColSubAudioType, -1), kColTag);
  EXPECT_EQ(NextShownColumn(flags, kColRchk, 1), kColRchk);
  EXPECT_TRUE(ColumnShown(ColumnFlags{}, kColChannel));
  EXPECT_FALSE(ColumnShown(ColumnFlags{}, kColRchk));

  EXPECT_EQ(GridHelpId(0, 0), 300);
  EXPECT_EQ(GridHelpId(19, kOption2Tone), 320);
  EXPECT_EQ(GridHelpId(19, kOptionScbd200), 321);
  EXPECT_EQ(GridHelpId(19, kOptionPtTrunk), 319);
  EXPECT_EQ(GridHelpId(23, 0), 325);
}

TEST_F(GridEditTest, ClipboardTextSplitsIntoRowsAndCells) {
  using Rows = std::vector<std::vector<std::string>>;
  EXPECT_EQ(SplitClipboardText("a\tb\r\nc\td\r\n"), (Rows{{"a", "b"}, {"c", "d"}}));
  EXPECT_EQ(SplitClipboardText("P"), Rows{{"P"}});
  EXPECT_EQ(SplitClipboardText("P\n"), Rows{{"P"}});
  EXPECT_EQ(SplitClipboardText(""), Rows{{""}});
  EXPECT_EQ(SplitClipboardText("a\t\tb"), (Rows{{"a", "", "b"}}));
}

TEST_F(GridEditTest, BlockPasteGoesCellByCellAndStopsAtTheGroupsEnd) {
  // Three rows of W/N, TAG, receive; the last row lands past group 1's ten channels.
  const std::string block = "N\tONE\t146.10000\nQ\tTWO\t146.20000\nN\tTHREE\t146.30000\n";
  const BlockPasteReport report =
      PasteBlock(doc, CellRange{8, 8, kColWideNarrow, kColWideNarrow}, block, kAllShown, prompter);
  EXPECT_FALSE(report.single);
  EXPECT_EQ(report.pasted, 5);
  ASSERT_EQ(report.refused.size(), 1u);
  EXPECT_EQ(report.refused[0].channel, 9);
  EXPECT_EQ(report.refused[0].column, kColWideNarrow);
  EXPECT_EQ(report.rows_left_out, 1);
  EXPECT_EQ(Text(8, kColTag), "ONE     ");
  EXPECT_EQ(Text(9, kColReceive), "146.20000");
  EXPECT_EQ(Text(9, kColWideNarrow), "W");
  EXPECT_EQ(Text(10, kColTag), " CH-011 ");  // group 2 untouched
  EXPECT_EQ(report.StatusText(),
            "5 cells pasted, 1 refused: Ch10 W/N; 1 rows past the group's "
            "last channel left out");
  EXPECT_TRUE(doc.modified);
}

TEST_F(GridEditTest, BlockPasteSkipsHiddenColumnsAndChannelNumbers) {
  ColumnFlags flags = kAllShown;
  flags[1] = 0;  // W/N hidden: the copied block has no W/N cell either
  Rec(2).set_narrow(true);
  const std::string block = CopyRangeText(doc, CellRange{2, 3, 0, kColReceive}, flags);
  doc.modified = false;
  const BlockPasteReport report = PasteBlock(doc, CellRange{6, 6, 0, 0}, block, flags, prompter);
  EXPECT_TRUE(report.refused.empty());
  EXPECT_TRUE(prompter.messages().empty());  // no channel-copy question inside a block
  EXPECT_EQ(Text(6, kColTag), Text(2, kColTag));
  EXPECT_EQ(Text(7, kColTag), Text(3, kColTag));
  EXPECT_EQ(Text(6, kColWideNarrow), "W");  // hidden: left alone
}

TEST_F(GridEditTest, OneCellOverARangeFillsIt) {
  EmptyAllPagingSlots(doc.image);
  const BlockPasteReport fill =
      PasteBlock(doc, CellRange{1, 5, kColPower, kColScan}, "L", kAllShown, prompter);
  // H/L takes it; the power level and scan columns refuse it.
  EXPECT_EQ(fill.pasted, 5);
  EXPECT_EQ(fill.refused.size(), 10u);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(Text(i, kColPower), "L");
  EXPECT_EQ(Text(6, kColPower), "H");

  // A one-cell paste onto one cell is PasteCell alone, channel number included.
  const BlockPasteReport one = PasteBlock(doc, CellRange{4, 4, 0, 0}, "2\r\n", kAllShown, prompter);
  EXPECT_TRUE(one.single);
  EXPECT_EQ(one.single_result, PasteResult::kPasted);
  EXPECT_EQ(prompter.messages().size(), 1u);
}

}  // namespace
}  // namespace ql40
