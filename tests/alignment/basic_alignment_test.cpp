// Basic Alignment against the simulated radio: the channel change, each item's preparation,
// live and restore sequences as the radio received them, and what OK stores.

#include "alignment/basic_alignment.h"

#include <gtest/gtest.h>

#include "alignment/alignment_strings.h"
#include "alignment_bench.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

using testing::AlignmentBench;
using Lines = std::vector<std::string>;

// Adjustment values of the bench radio.
constexpr int kLow1 = 0x30;
constexpr int kFda = 0x7D;
constexpr int kAux = 0x05;
constexpr int kMic = 0x44;
const std::string kRestore = "3B(7F,7D,05,44)";
const std::string kPrepDac = "3B(7F,7D,05,00)";

struct Basic : AlignmentBench {
  Basic() : model(*link, *doc, &prompter, Pause()) {
    EXPECT_TRUE(model.Open());
    EXPECT_EQ(Sent(), (Lines{"35", "30(00,00)"}));
  }
  // Runs a slider item: preparation, the live values, End with or without saving; returns what
  // the radio received in the three phases.
  std::array<Lines, 3> Run(int item, std::vector<int> values, bool save) {
    std::array<Lines, 3> phases;
    auto session = model.BeginSlider(item);
    EXPECT_TRUE(session) << "item " << item;
    phases[0] = Sent();
    if (!session) return phases;
    for (int v : values) session->Move(v);
    phases[1] = Sent();
    session->End(save);
    phases[2] = Sent();
    return phases;
  }
  BasicAlignment model;
};

TEST(BasicAlignment, OpensOnTheFirstChannelAndChangesChannels) {
  Basic b;
  EXPECT_EQ(b.pauses, (std::vector<int>{50}));
  EXPECT_EQ(b.model.GroupList(), (Lines{"  1", "  2"}));
  EXPECT_EQ(b.model.ChannelList(), (Lines{"  1", "  2", "  3"})) << "channel 4 is not programmed";
  const ChannelTexts t = b.model.Texts();
  EXPECT_EQ(t.rx_frequency, "146.520000");
  EXPECT_EQ(t.bandwidth, "Wide");
  EXPECT_EQ(t.rx_sub_audio, "None");

  // A channel that saves power on receive gets 0x3E after the change.
  ASSERT_TRUE(b.model.PickChannel(2));
  EXPECT_EQ(b.Sent(), (Lines{"35", "30(00,02)", "3E"}));
  EXPECT_EQ(b.model.Texts().tx_sub_audio, "D-032");
  ASSERT_TRUE(b.model.PickChannel(1));
  b.Sent();
  EXPECT_EQ(b.model.Texts().bandwidth, "Narrow");
  EXPECT_EQ(b.model.Texts().tx_sub_audio, "C-100.0");

  // A group change selects the group's first channel: group index and position from 0.
  ASSERT_TRUE(b.model.PickGroup(1));
  EXPECT_EQ(b.Sent(), (Lines{"35", "30(01,00)"}));
  EXPECT_EQ(b.model.state().channel_number, 5);
  EXPECT_EQ(b.model.ChannelList(), (Lines{"  5", "  6"}));
  EXPECT_EQ(b.model.group_selection(), 1);
  EXPECT_EQ(b.model.channel_selection(), 0);
  EXPECT_FALSE(b.model.PickChannel(7)) << "not in the list";
  EXPECT_TRUE(b.Sent().empty());
}

TEST(BasicAlignment, TransmitterItemsOnAWideChannelWithoutTone) {
  Basic b;
  using L = Lines;
  // Frequency D/A.
  auto p = b.Run(0, {0x90}, true);
  EXPECT_EQ(p[0], (L{"35", "34", "32(30)", kPrepDac}));
  EXPECT_EQ(p[1], (L{"3B(7F,90,00,00)"}));
  EXPECT_EQ(p[2], (L{kRestore, "35"})) << "the restore loads the values the item started with";
  EXPECT_EQ(b.model.state().values.frequency_da, 0x90);
  EXPECT_EQ(b.model.ValueText(0), "144");

  // The power items load their own value; 0x3B now carries the new frequency D/A.
  p = b.Run(2, {0x90, 0x91}, true);
  EXPECT_EQ(p[0], (L{"35", "34", "32(86)", "3B(7F,90,05,00)"}));
  EXPECT_EQ(p[1], (L{"32(90)", "32(91)"}));
  EXPECT_EQ(p[2], (L{"3B(7F,90,05,44)", "35"}));
  EXPECT_EQ(b.model.state().values.power[kPowerLow3], 0x91);

  // Maximum deviation (wide value 0xA0): 0x39 before keying, 0xFF in 0x3B, raw 0x00 around.
  p = b.Run(5, {0xA4}, false);
  EXPECT_EQ(p[0], (L{"35", "39", "34", "32(30)", "33(00,A0,00)", "3B(7F,90,FF,00)", "36"}));
  EXPECT_EQ(p[1], (L{"raw00", "33(00,A4,00)", "36"}));
  EXPECT_EQ(p[2], (L{"raw00", "3B(7F,90,05,44)", "35"}));
  EXPECT_EQ(b.model.state().values.max_deviation[0], 0xA0) << "No leaves the value";
  EXPECT_EQ(b.model.ValueText(5), "160");

  // Microphone gain.
  p = b.Run(11, {0x50}, true);
  EXPECT_EQ(p[0], (L{"35", "34", "32(30)", "3B(7F,90,05,44)"}));
  EXPECT_EQ(p[1], (L{"3B(7F,90,05,50)"}));
  EXPECT_EQ(p[2], (L{"3B(7F,90,05,44)", "35"}));

  // No transmit tone: the sub-audio item is off and unlabelled.
  EXPECT_FALSE(b.model.Enabled(6));
  EXPECT_EQ(b.model.Label(6), "");
  EXPECT_FALSE(b.model.BeginSlider(6));
  EXPECT_TRUE(b.Sent().empty());
  (void)kLow1, (void)kFda, (void)kAux, (void)kMic;
}

TEST(BasicAlignment, DeviationItemsTakeTheChannelsBandwidthAndTone) {
  using L = Lines;
  {  // CTCSS, narrow: maximum deviation 0x5A, CTCSS deviation 0x1C.
    Basic b;
    ASSERT_TRUE(b.model.PickChannel(1));
    b.Sent();
    EXPECT_EQ(b.model.Label(6), "CTCSS Dev");
    auto p = b.Run(6, {0x20}, true);
    EXPECT_EQ(p[0], (L{"35", "34", "32(30)", "33(00,5A,1C)", kPrepDac, "3F"}));
    EXPECT_EQ(p[1], (L{"raw00", "33(00,5A,20)", "3F"}));
    EXPECT_EQ(p[2], (L{kRestore, "35"}));
    EXPECT_EQ(b.model.state().values.ctcss_deviation, (std::array<int, 2>{0x32, 0x20}));
    p = b.Run(5, {0x60}, true);
    EXPECT_EQ(p[0][4], "33(00,5A,00)");
    EXPECT_EQ(b.model.state().values.max_deviation, (std::array<int, 2>{0xA0, 0x60}));
  }
  {  // DCS, wide: DCS deviation 0x3C; the item ends with raw 0x00 as well.
    Basic b;
    ASSERT_TRUE(b.model.PickChannel(2));
    b.Sent();
    EXPECT_EQ(b.model.Label(6), "DCS Dev");
    auto p = b.Run(6, {0x40}, true);
    EXPECT_EQ(p[0], (L{"35", "34", "32(30)", "33(3C,A0,00)", kPrepDac, "37"}));
    EXPECT_EQ(p[1], (L{"raw00", "33(40,A0,00)", "37"}));
    EXPECT_EQ(p[2], (L{"raw00", kRestore, "35"}));
    EXPECT_EQ(b.model.state().values.dcs_deviation, (std::array<int, 2>{0x40, 0x22}));
  }
  {  // A receive tone alone does not enable it.
    Basic b;
    ASSERT_TRUE(b.model.PickGroup(1));
    ASSERT_TRUE(b.model.PickChannel(1));
    EXPECT_FALSE(b.model.Enabled(6));
  }
}

TEST(BasicAlignment, MeasuredItemsStoreByBandwidthAndOkWritesTheSet) {
  Basic b;
  EXPECT_TRUE(BasicAlignment::IsMeasured(7));
  EXPECT_FALSE(BasicAlignment::IsMeasured(11));
  EXPECT_FALSE(BasicAlignment::Visible(13));
  EXPECT_EQ(res::FormatString(b.model.InstructionCaption(7)), "Tight NSQL Level(Wide)");
  EXPECT_EQ(res::FormatString(BasicAlignment::InstructionText(8)),
            "Set Your SG output level to -10 dBuV EMF (0.16uV) for factory default");
  EXPECT_EQ(BasicAlignment::LevelOf(9), LevelKind::kSignal);
  EXPECT_EQ(BasicAlignment::LevelOf(8), LevelKind::kNoise);
  EXPECT_EQ(BasicAlignment::LevelOf(13), LevelKind::kBattery);
  b.model.StoreMeasured(7, 0x11);  // wide: byte 6
  ASSERT_TRUE(b.model.PickChannel(1));
  EXPECT_EQ(res::FormatString(b.model.InstructionCaption(7)), "Tight SQL NSQ Level(Narrow)");
  b.model.StoreMeasured(7, 0x22);  // narrow: byte 10
  b.model.StoreMeasured(12, 400);  // clamped
  const Image before = b.doc->image;
  b.model.Accept();
  EXPECT_EQ(b.Byte(6), 0x11);
  EXPECT_EQ(b.Byte(10), 0x22);
  EXPECT_EQ(b.Byte(23), 255);
  EXPECT_EQ(b.Byte(191), 0xA5);
  EXPECT_EQ(bits::GetWordLE(b.doc->image, 2), AdjustmentChecksum(b.doc->image));
  for (int i = 26; i < kImageSize; ++i) {
    if (i == 190) continue;
    ASSERT_EQ(b.doc->image[static_cast<std::size_t>(i)], before[static_cast<std::size_t>(i)])
        << "byte " << i;
  }
  b.Sent();
  b.model.Cancel();
  EXPECT_EQ(b.Sent(), (Lines{"38"}));
}

TEST(BasicAlignment, RefusalsAndAGroupWithoutChannels) {
  {  // The radio refuses high power values: the slider keeps the last accepted value.
    Basic b;
    b.radio->set_refuse([](std::uint8_t command, std::span<const std::uint8_t> data) {
      return command == 0x32 && data[0] > 0xE0;
    });
    auto session = b.model.BeginSlider(1);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->Move(0xD0), SliderSession::MoveResult::kAccepted);
    EXPECT_EQ(session->Move(0xF0), SliderSession::MoveResult::kRefused);
    EXPECT_EQ(session->value(), 0xD0);
    EXPECT_TRUE(b.prompter.Saw(res::kStrCommunicationError)) << "after the bounded repeats";
    session->End(true);
    EXPECT_EQ(b.model.state().values.power[kPowerHigh], 0xD0);
  }
  {  // A refused 0x34 ends the preparation: no slider, the value shows "Error".
    Basic b;
    b.radio->set_refuse([](std::uint8_t command, auto) { return command == 0x34; });
    EXPECT_FALSE(b.model.BeginSlider(1));
    EXPECT_EQ(b.Sent(), (Lines{"35", "34!"}));
    EXPECT_EQ(b.model.ValueText(1), "Error");
    EXPECT_TRUE(b.prompter.Saw(res::kStrCommunicationError));
    ASSERT_TRUE(b.model.PickChannel(0));
    EXPECT_EQ(b.model.ValueText(1), "200") << "a fresh channel clears the error";
  }
  {  // No programmed channel anywhere: every value and text shows "Error", nothing is sent.
    AlignmentBench bench;
    for (auto& r : bench.doc->channels.records) r.status = 0;
    BasicAlignment model(*bench.link, *bench.doc, &bench.prompter, bench.Pause());
    EXPECT_FALSE(model.Open());
    EXPECT_TRUE(model.state().error);
    EXPECT_EQ(model.ValueText(3), "Error");
    EXPECT_EQ(model.Texts().rx_frequency, "Error");
    EXPECT_TRUE(model.GroupList().empty());
    EXPECT_FALSE(model.Enabled(0));
    EXPECT_FALSE(model.BeginSlider(0));
    EXPECT_TRUE(bench.Sent().empty());
  }
  {  // The radio refuses every channel change: the opening tries a few times, then the dialog
     // opens anyway with the messages shown.
    AlignmentBench bench;
    bench.radio->set_refuse([](std::uint8_t command, auto) { return command == 0x30; });
    BasicAlignment model(*bench.link, *bench.doc, &bench.prompter, bench.Pause());
    EXPECT_FALSE(model.Open());
    int changes = 0;
    for (const auto& line : bench.Sent()) changes += line.rfind("30(", 0) == 0;
    EXPECT_EQ(changes, kOpeningChannelTries);
    int dialog_messages = 0;
    for (int id : bench.prompter.ids()) dialog_messages += id == kStrChangeChannelFailed;
    EXPECT_EQ(dialog_messages, kOpeningChannelTries);
    EXPECT_EQ(bench.prompter.messages().back().title_id, kStrAlignmentTitle);
    EXPECT_TRUE(bench.prompter.Saw(res::kStrChangeChannelError)) << "the link's own message";
  }
}

}  // namespace
}  // namespace ql40::alignment
