// What the grid shows after an edit is what a save and reopen give back: frequencies whose
// synthesizer divider cannot be stored move to the nearest storable one, with a status text,
// and records that prune or normalise a value on encode hold what they wrote.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "channels/channel_table.h"
#include "channels/frequency_fit.h"
#include "channels/grid_edit.h"
#include "channels/grid_text.h"
#include "channels/pick_lists.h"
#include "codeplug/bits.h"
#include "codeplug/codeplug.h"
#include "exchange/compare.h"
#include "resources/channel_labels.h"
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
    ASSERT_EQ(a.attribute_byte(2) & 0xF0, b.attribute_byte(2) & 0xF0) << label << " " << i;
  }
}

// After a commit the record is what the image gives back, on every step of every band.
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
                            back.Get(field::kSteps) == r.Get(field::kSteps);
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
    for (ChannelRecord& r : doc.channels.records)
      r.set_attribute_byte(2, 0x50);  // a step the default may not fit
    doc.ChangeBand(band);
    ExpectReopenedAsShown(doc, "band " + std::to_string(band));
  }
}

// Each record that prunes or normalises on encode holds afterwards what a fresh decode gives.
TEST(RecordsHoldWhatTheyWrote, PrunedKeysEncryptionTypeClampedValuesAndHomeChannel) {
  Image image{}, image2{};
  KeyAssignment keys, held, fresh_keys;
  for (KeyAssignment* k : {&keys, &held}) ASSERT_TRUE(k->AssignKey(kKeyMonitor, kKeyFnAcc2));
  ASSERT_TRUE(keys.AssignKey(kKeyA, kKeyFnAcc1));
  keys.Encode(image, kOptionPtTrunk);
  fresh_keys.Decode(image);
  EXPECT_EQ(keys, fresh_keys);
  EXPECT_EQ(keys.keys[kKeyMonitor], kKeyFnNone);
  EXPECT_FALSE(keys.InUse(KeyFunctionIdentity(kKeyFnAcc2)));
  std::as_const(held).Encode(image2, kOptionPtTrunk);  // a record that cannot change still prunes
  EXPECT_EQ(image2, image);

  image = {};
  image[kOffsetOptionUnit] = 0x05;  // no option unit, encryption device not fitted (bit 0 set)
  GeneralSettings general, fresh_general;
  general.encryption_type = 1;
  general.af_vr_min = 400;
  general.beep_level = 0;
  general.Encode(image);
  fresh_general.Decode(image);
  EXPECT_EQ(general, fresh_general);
  EXPECT_EQ(general.encryption_type, 0);

  const GroupCounts counts{10, 5};
  ScanSettings scan, fresh_scan;
  scan.home_channel = 40;  // beyond the channels in use
  scan.home_group = 1;
  scan.Encode(image, counts);
  fresh_scan.Decode(image, counts);
  EXPECT_EQ(scan, fresh_scan);
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

// Dividers below 8768 move up with a status text; one already stored is kept and reported.
TEST(ShownIsStored, DividersBelowTheSmallestMoveAndStoredOnesAreReported) {
  const ChannelContext ctx = Context(kBandVhfLo, 2, 0);
  const std::int64_t if_units = 2180000;
  int storable = 0;
  for (Frequency f = BandLowest(kBandVhfLo); f <= BandHighest(kBandVhfLo); f += 125) {
    Frequency probe = f;
    const int used = StoreFrequency(probe, false, SnapFrequency(probe, kBandVhfLo, 2), ctx);
    if (used < 0) continue;
    ++storable;
    ASSERT_GE((f - if_units) / StepOf(used, 2), kMinDivider) << FrequencyText(f);
  }
  EXPECT_GT(storable, 0);
  ChannelTable table;
  EXPECT_NE(table.CommitCellText(0, 4, " 30.00000", ctx), "");
  const Frequency moved = table.records[0].rx_frequency;
  EXPECT_GE((moved - if_units) / 125, kMinDivider);
  EXPECT_EQ(RoundTrip(table, table.records[0], ctx).rx_frequency, moved);

  // N = 8000 at 1.25 kHz: an oscillator of 10 MHz, receive 31.8 MHz.
  Codeplug doc = VhfLo();
  doc.hardware.injection = 0;
  doc.CommitToImage();
  const std::size_t at = kOffsetChannels;
  std::array<std::uint8_t, 3> word{};
  ASSERT_TRUE(EncodePllWord(8000, word));
  std::copy(word.begin(), word.end(), doc.image.begin() + at + 6);
  doc.image[at + 2] = 0xF0;  // both step selectors 1.25 kHz
  doc.image[at + 10] = 8000 >> 8;
  doc.image[at + 11] = 8000 & 0xFF;
  doc.RefreshFromImage();
  EXPECT_EQ(doc.channels.records[0].rx_frequency, 3180000);
  const Image held = doc.image;
  doc.CommitToImage();
  EXPECT_TRUE(
      std::equal(held.begin() + at + 6, held.begin() + at + 12, doc.image.begin() + at + 6));
  bool reported = false;
  for (const exchange::Finding& f : exchange::CheckCodeplug(doc)) {
    reported = reported || f.why.find("below the synthesizer's smallest") != std::string::npos;
  }
  EXPECT_TRUE(reported);
}

// A first IF off the 6.25 kHz grid: exact frequencies stay, moved ones are named as stored.
TEST(ShownIsStored, FirstIfOffTheCoarseGridStoresExactlyAndMovesAsNamed) {
  for (int spacing = 0; spacing <= 2; ++spacing) {
    ChannelContext ctx = Context(kBandVhf, spacing, 0);
    ctx.first_if = 21.81;
    ChannelTable table;
    EXPECT_EQ(table.CommitCellText(0, 4, "146.50625", ctx), "") << spacing;
    EXPECT_EQ(table.records[0].rx_frequency, 14650625);
    EXPECT_EQ(RoundTrip(table, table.records[0], ctx).rx_frequency, 14650625);
    table.CommitCellText(1, 4, "134.00000", ctx);
    EXPECT_GE(table.records[1].rx_frequency, BandLowest(kBandVhf));
    EXPECT_EQ(RoundTrip(table, table.records[1], ctx).rx_frequency, table.records[1].rx_frequency);
  }
  std::mt19937 rng(7);
  for (int n = 0; n < 12; ++n) {
    Codeplug doc;
    doc.ResetToDefaults();
    const int band = n % 3;
    doc.ChangeBand(band);
    ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
    for (int i = 0; i < 16; ++i) {
      const Frequency f = BandLowest(band) + static_cast<Frequency>(rng() % 2000000);
      doc.channels.CommitCellText(i, 4, FrequencyText(f), ctx);
    }
    HardwareSettings odd = doc.hardware;
    static const double kIfs[] = {21.81, 45.05, 10.7, 21.4};
    odd.first_if = kIfs[rng() % 4];
    odd.injection = static_cast<int>(rng() % 2);
    odd.channel_spacing = band == kBandUhf ? 0 : static_cast<int>(rng() % 3);
    const std::vector<FrequencyMove> preview = FrequencyMovesFor(doc, odd);
    const ChannelTable was = doc.channels;
    EXPECT_EQ(ApplyHardwareChange(doc, odd), preview);
    doc.CommitToImage();
    doc.RefreshFromImage();
    for (int i = 0; i < 16; ++i) {
      const auto k = static_cast<std::size_t>(i);
      for (const bool tx : {false, true}) {
        Frequency expected = tx ? was.records[k].tx_frequency : was.records[k].rx_frequency;
        for (const FrequencyMove& m : preview) {
          if (m.channel == i && m.transmit == tx) expected = m.to;
        }
        EXPECT_EQ(tx ? doc.channels.records[k].tx_frequency : doc.channels.records[k].rx_frequency,
                  expected)
            << "case " << n << " channel " << i + 1 << (tx ? " transmit" : " receive");
      }
    }
  }
}

// Random cell operations of every kind: after each the grid shows what a reopen shows.
TEST(ShownIsStored, EveryGridCommitShowsWhatAReopenShows) {
  std::mt19937 rng(20261209);
  ColumnFlags flags;
  flags.fill(1);
  testing::ScriptedPrompter prompter({}, Answer::kYes);
  const std::vector<std::string> words = {
      "CTCSS", "DCS", "-----", " 67.0", "100.0", "023",  "754", "Off",       "v",  "-",
      "W",     "N",   "H",     "L",     "1",     "3",    "D",   "B",         "+3", "-2",
      "0",     "BC",  "--",    "5",     "P",     "AB`C", "ab",  "146.52000", "12"};
  for (int round = 0; round < 30; ++round) {
    Codeplug doc;
    doc.ResetToDefaults();
    const int band = round % 3;
    doc.ChangeBand(band);
    doc.image[kOffsetOptionUnit] =
        static_cast<std::uint8_t>((round % 6 == 0 ? 0x04 : 0) | ((round % 6) << 3));
    doc.hardware.channel_spacing = band == kBandUhf ? 0 : static_cast<int>(rng() % 3);
    doc.CommitToImage();
    doc.RefreshFromImage();
    for (int i = 0; i < 16; ++i) doc.channels.records[static_cast<std::size_t>(i)].status |= 1;
    const auto frequency = [&] {
      return FrequencyText(BandLowest(band) + static_cast<Frequency>(rng() % 3000000));
    };
    for (int op = 0; op < 120; ++op) {
      const int ch = static_cast<int>(rng() % 16);
      const int col = 1 + static_cast<int>(rng() % (kGridColumnCount - 1));
      const std::string word = words[rng() % words.size()];
      std::string what;
      switch (rng() % 6) {
        case 0:
          what = "step";
          if (CycleCell(doc, ch, col) == CellAction::kPick) {
            const PickListModel list = PickListFor(doc, ch, col);
            if (!list.empty()) ApplyPick(doc, ch, col, list.ValueAt(static_cast<int>(rng() % 8)));
          }
          break;
        case 1:
          what = "paste " + word;
          PasteCell(doc, ch, col, word, flags, prompter);
          break;
        case 2:
          what = "editor";
          CommitEditorText(doc, ch, 3 + static_cast<int>(rng() % 3),
                           rng() % 2 ? frequency() : word);
          break;
        case 3: {
          what = "row";
          const std::string row =
              words[rng() % 3] + "\t" + words[3 + rng() % 5] + "\t" + words[3 + rng() % 5];
          PasteBlock(doc, CellRange{ch, ch, kColSubAudioType, kColSubAudioType}, row, flags,
                     prompter);
          break;
        }
        case 4:
          what = "F3";
          ComplementDcs(doc, ch, rng() % 2 ? kColDecode : kColEncode);
          break;
        default:
          what = "fill " + word;
          PasteBlock(doc, CellRange{ch, std::min(ch + 3, 15), col, col}, word, flags, prompter);
          break;
      }
      Codeplug reopened = doc;
      reopened.CommitToImage();
      reopened.RefreshFromImage();
      for (int i = 0; i < 16; ++i) {
        ASSERT_EQ(GridRowText(doc, i), GridRowText(reopened, i))
            << "round " << round << " op " << op << " (" << what << " on channel " << ch + 1
            << " column " << col << ")";
      }
    }
  }
}

// Damaged frequency words and empty words read as a save and reopen give them back.
TEST(ShownIsStored, OddStoredWordsAndTagsReadAsASaveKeepsThem) {
  std::mt19937 rng(27);
  ChannelTable table;
  for (int n = 0; n < 4000; ++n) {
    const ChannelContext ctx = Context(static_cast<int>(rng() % 3), static_cast<int>(rng() % 4),
                                       static_cast<int>(rng() % 2));
    Bytes stored{};
    for (auto& b : stored) b = static_cast<std::uint8_t>(rng());
    for (int word : {6, 12}) {
      const auto at = static_cast<std::size_t>(word);
      if (n % 4 == 0) stored[at] = stored[at + 1] = stored[at + 2] = 0;  // beside a divider
      if (n % 4 == 1) stored[at] |= 0xF0;                                // high nibble a
      if (n % 4 == 2) stored[at + 2] |= 0x88;                            // nibbles c and d
    }
    stored[11] |= 1;  // a divider: not an empty frequency
    stored[17] |= 1;
    if (n % 5 == 4) {  // empty: the band's default, which not every step holds
      std::fill_n(stored.begin() + 6, 3, 0);
      std::fill_n(stored.begin() + 10, 2, 0);
      std::fill_n(stored.begin() + 12, 3, 0);
      std::fill_n(stored.begin() + 16, 2, 0);
    }
    ChannelRecord shown;
    table.DecodeChannel(shown, stored, ctx);
    const ChannelRecord reopened = RoundTrip(table, shown, ctx);
    ASSERT_EQ(reopened.rx_frequency, shown.rx_frequency) << n;
    ASSERT_EQ(reopened.tx_frequency, shown.tx_frequency) << n;
    ASSERT_EQ(reopened.Get(field::kSteps), shown.Get(field::kSteps)) << n;
    ASSERT_EQ(TagText(reopened), TagText(shown)) << n;
  }
}

// A tag cut short by a code past the symbols reads with the blanks a save writes after it.
TEST(ShownIsStored, TagsCutShortReadAsASaveKeepsThem) {
  ChannelTable table;
  Bytes stored{};
  ChannelRecord r;
  r.squelch = 0x10;
  table.EncodeChannel(r, stored, Context(kBandVhf, 0, 0));
  const std::uint8_t tag[] = {10, 11, 60, 12, 13, 14, 15, 16};
  std::copy(std::begin(tag), std::end(tag), stored.begin() + 24);
  ChannelRecord shown;
  table.DecodeChannel(shown, stored, Context(kBandVhf, 0, 0));
  EXPECT_EQ(shown.tag, "AB      ");
  EXPECT_EQ(TagText(shown), "AB .     ");

  // Group tags alike.
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image[648] = 10;
  doc.image[649] = 55;
  doc.RefreshFromImage();
  EXPECT_EQ(doc.channels.group_tag[0], "A       ");
  const std::string header = GroupHeaderText(doc.channels, 0);
  doc.CommitToImage();
  doc.RefreshFromImage();
  EXPECT_EQ(GroupHeaderText(doc.channels, 0), header);
}

}  // namespace
}  // namespace ql40
