// What the grid shows after an edit is what a save and reopen give back: frequencies whose
// synthesizer divider cannot be stored move to the nearest storable one, with a status text,
// and records that prune or normalise a value on encode hold what they wrote.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "channels/channel_table.h"
#include "channels/frequency_fit.h"
#include "channels/grid_edit.h"
#include "codeplug/bits.h"
#include "codeplug/codeplug.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"
#include "settings/scan_settings.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using Bytes = std::array<std::uint8_t, kChannelRecordSize>;

ChannelContext Context(int band, int spacing, int injection) {
  HardwareSettings hw;
  hw.SetBandDefaults(band);
  hw.channel_spacing = spacing;
  hw.injection = injection;
  return ChannelContext::From(hw, 0, 0.0);
}

ChannelRecord RoundTrip(const ChannelTable& table, const ChannelRecord& r,
                        const ChannelContext& ctx) {
  Bytes bytes{};
  table.EncodeChannel(r, bytes, ctx);
  ChannelRecord back;
  table.DecodeChannel(back, bytes, ctx);
  return back;
}

Codeplug VhfLo() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.ChangeBand(kBandVhfLo);
  return doc;
}

// Commits, reopens and compares every channel with what the grid showed before.
void ExpectReopenedAsShown(Codeplug& doc, const std::string& label) {
  const ChannelTable shown = doc.channels;
  doc.CommitToImage();
  doc.RefreshFromImage();
  for (std::size_t i = 0; i < shown.records.size(); ++i) {
    const ChannelRecord& a = doc.channels.records[i];
    const ChannelRecord& b = shown.records[i];
    ASSERT_EQ(a.rx_frequency, b.rx_frequency) << label << " " << i;
    ASSERT_EQ(a.tx_frequency, b.tx_frequency) << label << " " << i;
    ASSERT_EQ(a.a2 & 0xF0, b.a2 & 0xF0) << label << " " << i;
  }
}

// Every step value of band 1 (where low dividers occur) and a dense sample of the others,
// under every spacing option and both oscillator sides: after the commit the record equals
// what the image gives back, frequency and step selector.
TEST(ShownIsStored, EveryCommittedFrequencySurvivesSaveAndReopen) {
  for (int band = 0; band <= 2; ++band) {
    const int stride = band == kBandVhfLo ? 125 : 125 * 37;
    for (int spacing = 0; spacing <= 2; ++spacing) {
      for (int side = 0; side <= 1; ++side) {
        const ChannelContext ctx = Context(band, spacing, side);
        ChannelTable table;
        int failures = 0;
        std::string first_failure;
        for (Frequency f = BandLowest(band); f <= BandHighest(band); f += stride) {
          table.CommitCellText(0, 4, FrequencyText(f), ctx);
          const ChannelRecord& r = table.records[0];
          const ChannelRecord back = RoundTrip(table, r, ctx);
          const bool same = back.rx_frequency == r.rx_frequency &&
                            back.tx_frequency == r.tx_frequency &&
                            bits::Get(back.a2, 7, 4) == bits::Get(r.a2, 7, 4);
          if (!same && failures++ == 0) {
            first_failure = FrequencyText(f) + " shows " + FrequencyText(r.rx_frequency) +
                            " stores " + FrequencyText(back.rx_frequency);
          }
        }
        EXPECT_EQ(failures, 0) << "band " << band << " spacing " << spacing << " side " << side
                               << ": " << first_failure;
      }
    }
  }
}

TEST(ShownIsStored, UnstorableDividerMovesToNearestStorableWithStatusText) {
  // VHF Lo, IF 21.8 MHz, oscillator below: 30.8 MHz needs a divider the PLL word cannot hold.
  const ChannelContext ctx = Context(kBandVhfLo, 0, 0);
  ChannelTable table;
  const std::string status = table.CommitCellText(4, 4, " 30.80000", ctx);
  const ChannelRecord& r = table.records[4];
  EXPECT_NE(r.rx_frequency, 3080000);
  EXPECT_NE(r.rx_frequency, BandDefaultFrequency(kBandVhfLo));
  EXPECT_EQ(RoundTrip(table, r, ctx).rx_frequency, r.rx_frequency);
  EXPECT_NE(status.find("Channel 5"), std::string::npos) << status;
  std::string shown = FrequencyText(r.rx_frequency);
  shown.erase(0, shown.find_first_not_of(' '));
  EXPECT_NE(status.find(shown), std::string::npos) << status;
  // Nearest on the step grid: no storable frequency lies closer to 30.8 MHz.
  const Frequency distance = std::abs(r.rx_frequency - 3080000);
  for (Frequency f = 3080000 - distance + 125; f < 3080000 + distance; f += 125) {
    Frequency probe = f;
    const int selector = SnapFrequency(probe, ctx.band, ctx.channel_spacing);
    if (probe != f) continue;  // not a frequency this step family offers
    EXPECT_LT(StoreFrequency(probe, false, selector, ctx), 0) << FrequencyText(f);
  }

  // A storable frequency says nothing; the transmit column moves and reports alike.
  EXPECT_EQ(table.CommitCellText(4, 4, " 45.00000", ctx), "");
  ChannelContext high_if = ctx;
  high_if.first_if = 40.0;  // receive 45 MHz needs an oscillator of 5 MHz: unstorable
  const std::string rx_status = table.CommitCellText(6, 4, " 45.00000", high_if);
  EXPECT_NE(rx_status.find("Channel 7"), std::string::npos);
  EXPECT_EQ(RoundTrip(table, table.records[6], high_if).rx_frequency,
            table.records[6].rx_frequency);
}

TEST(ShownIsStored, HardwareChangeNamesAndMovesWhatCanNoLongerBeStored) {
  Codeplug doc = VhfLo();
  doc.hardware.injection = 1;  // oscillator above: every frequency of the band is storable
  ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  doc.channels.CommitCellText(0, 4, " 30.80000", ctx);
  doc.channels.CommitCellText(1, 4, " 45.00000", ctx);
  doc.channels.CommitCellText(2, 4, " 31.50000", ctx);
  ASSERT_EQ(doc.channels.records[0].rx_frequency, 3080000);

  HardwareSettings below = doc.hardware;
  below.injection = 0;
  const std::vector<FrequencyMove> preview = FrequencyMovesFor(doc, below);
  ASSERT_FALSE(preview.empty());
  EXPECT_EQ(preview[0].channel, 0);
  EXPECT_FALSE(preview[0].transmit);
  for (const FrequencyMove& m : preview) EXPECT_NE(m.channel, 1);  // 45 MHz stays
  const std::vector<std::string> lines = FrequencyMoveLines(preview);
  EXPECT_EQ(lines[0].rfind("Channel 1 receive 30.80000 moves to ", 0), 0u) << lines[0];

  doc.modified = false;
  const std::vector<FrequencyMove> applied = ApplyHardwareChange(doc, below);
  EXPECT_EQ(applied, preview);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.channels.records[0].rx_frequency, preview[0].to);
  EXPECT_EQ(doc.channels.records[1].rx_frequency, 4500000);
  EXPECT_TRUE(FrequencyMovesFor(doc, below).empty());

  ExpectReopenedAsShown(doc, "moved");
}

TEST(ShownIsStored, ConstantsThatLeaveNothingStorableShowWhatIsWritten) {
  // An IF far above the band with the oscillator below: no receive divider exists at all.
  Codeplug doc = VhfLo();
  doc.channels.CommitCellText(
      0, 4, " 45.00000", ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split));
  HardwareSettings odd = doc.hardware;
  odd.injection = 0;
  odd.first_if = 150.0;
  const std::vector<FrequencyMove> moves = ApplyHardwareChange(doc, odd);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves[0].to, BandDefaultFrequency(kBandVhfLo));
  ExpectReopenedAsShown(doc, "no divider");
}

TEST(ShownIsStored, BandDefaultsAreStoredAsShown) {
  for (int band = 0; band <= 2; ++band) {
    Codeplug doc;
    doc.ResetToDefaults();
    for (ChannelRecord& r : doc.channels.records) r.a2 = 0x50;  // a step the default may not fit
    doc.ChangeBand(band);
    ExpectReopenedAsShown(doc, "band " + std::to_string(band));
  }
}

// Each record that prunes or normalises on encode: afterwards it equals a fresh decode.
TEST(RecordsHoldWhatTheyWrote, KeysPrunedByTheTrunkingUnit) {
  Image image{};
  KeyAssignment keys;
  ASSERT_TRUE(keys.AssignKey(kKeyMonitor, kKeyFnAcc2));
  ASSERT_TRUE(keys.AssignKey(kKeyA, kKeyFnAcc1));
  keys.Encode(image, kOptionPtTrunk);
  KeyAssignment fresh;
  fresh.Decode(image);
  EXPECT_EQ(keys, fresh);
  EXPECT_EQ(keys.keys[kKeyMonitor], kKeyFnNone);
  EXPECT_FALSE(keys.InUse(KeyFunctionIdentity(kKeyFnAcc2)));

  // A record that cannot change still writes the pruned image.
  Image image2{};
  KeyAssignment held;
  held.AssignKey(kKeyMonitor, kKeyFnAcc2);
  const KeyAssignment& constant = held;
  constant.Encode(image2, kOptionPtTrunk);
  EXPECT_EQ(image2, image);
}

TEST(RecordsHoldWhatTheyWrote, EncryptionTypeWithoutDeviceAndClampedValues) {
  Image image{};
  image[kOffsetOptionUnit] = 0x05;  // no option unit, encryption device not fitted (bit 0 set)
  GeneralSettings general;
  general.encryption_type = 1;
  general.af_vr_min = 400;
  general.beep_level = 0;
  general.Encode(image);
  GeneralSettings fresh;
  fresh.Decode(image);
  EXPECT_EQ(general, fresh);
  EXPECT_EQ(general.encryption_type, 0);
}

TEST(RecordsHoldWhatTheyWrote, HomeChannelBeyondTheChannelsInUse) {
  Image image{};
  GroupCounts counts{};
  counts[0] = 10;
  counts[1] = 5;
  ScanSettings scan;
  scan.home_channel = 40;
  scan.home_group = 1;
  scan.Encode(image, counts);
  ScanSettings fresh;
  fresh.Decode(image, counts);
  EXPECT_EQ(scan, fresh);
}

// The grid's editor and its pastes tell the status bar when a frequency had to move.
TEST(ShownIsStored, GridEditsAndPastesNameAMovedFrequency) {
  Codeplug doc = VhfLo();
  doc.hardware.injection = 0;
  doc.CommitToImage();
  std::string note;
  ASSERT_TRUE(CommitEditorText(doc, 0, 4, "30.80000", &note));
  EXPECT_NE(note.find("moved to"), std::string::npos) << note;
  note.clear();
  EXPECT_TRUE(CommitEditorText(doc, 0, 4, "45.00000", &note));
  EXPECT_EQ(note, "");

  ColumnFlags flags;
  flags.fill(1);
  testing::ScriptedPrompter prompter;
  const CellRange one{0, 0, 4, 4};
  const BlockPasteReport single = PasteBlock(doc, one, "30.80000", flags, prompter);
  EXPECT_NE(single.StatusText().find("moved to"), std::string::npos);
  const BlockPasteReport two = PasteBlock(doc, one, "30.80000\t45.00000", flags, prompter);
  EXPECT_TRUE(two.refused.empty());
  EXPECT_NE(two.StatusText().find("moved to"), std::string::npos) << two.StatusText();
}

}  // namespace
}  // namespace ql40
