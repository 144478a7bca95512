#include <gtest/gtest.h>

#include <vector>

#include "alignment/alignment_state.h"
#include "alignment/alignment_strings.h"
#include "alignment/basic_alignment.h"
#include "alignment/fine_alignment.h"
#include "alignment/slider_session.h"
#include "alignment_bench.h"
#include "codeplug/bits.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

using testing::AlignmentBench;
using Lines = std::vector<std::string>;

const std::string kRestore = "3B(7F,7D,05,44)";
const std::string kPrepDac = "3B(7F,7D,05,00)";

// Run drives a slider item and returns what the radio got: preparation, values, End.
template <typename Model>
struct Opened : AlignmentBench {
  Opened() : model(*link, *doc, &prompter, Pause()) { EXPECT_TRUE(model.Open()); }
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
  Model model;
};

struct Basic : Opened<BasicAlignment> {
  explicit Basic(int channel_pick = 0) {
    EXPECT_EQ(Sent(), (Lines{"35", "30(00,00)"}));
    if (channel_pick != 0) {
      EXPECT_TRUE(model.PickChannel(channel_pick));
    }
    Sent();
  }
};

struct Fine : Opened<FineAlignment> {
  explicit Fine(int channel_pick = 0) {
    if (channel_pick != 0) {
      EXPECT_TRUE(model.PickChannel(channel_pick));
    }
    Sent();
  }
  int RecordByte(int channel_index, int offset) const {
    return Byte(kOffsetChannels + kChannelRecordSize * channel_index + offset);
  }
};

TEST(BasicAlignment, OpensOnTheFirstChannelAndChangesChannels) {
  Basic b;
  EXPECT_EQ(b.pauses, (std::vector<int>{50}));
  EXPECT_EQ(b.model.GroupList(), (Lines{"  1", "  2"}));
  EXPECT_EQ(b.model.ChannelList(), (Lines{"  1", "  2", "  3"})) << "channel 4 is not programmed";
  // The first channel's texts and Cancel's 0x38 are the alignment dialogs' tests (tests/ui).

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
}

TEST(BasicAlignment, DeviationItemsTakeTheChannelsBandwidthAndTone) {
  using L = Lines;
  {  // CTCSS, narrow: maximum deviation 0x5A, CTCSS deviation 0x1C.
    Basic b(1);
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
    Basic b(2);
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
  EXPECT_EQ(res::FormatString(b.model.InstructionCaption(7)), "Tight NSQL Level(Wide)");
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

TEST(FineAlignment, ShowsTrimsAgainstTheirBasesAndLabelsByChannel) {
  {  // Wide, high power, no tone: High(5W) 0xC8 + 5, Low3 is the base of level 0.
    Fine f;
    EXPECT_EQ(f.model.Shown(FineAlignment::kRxTune), 0x70);
    EXPECT_EQ(f.model.Shown(FineAlignment::kHighPower), 0xCD);
    EXPECT_EQ(f.model.Shown(FineAlignment::kLowPower), 0x86 - 3);
    EXPECT_EQ(f.model.Shown(FineAlignment::kMaxDeviation), 0xA2);
    EXPECT_EQ(f.model.Shown(FineAlignment::kDa), 0x7D);
    EXPECT_EQ(f.model.Label(FineAlignment::kLowPower), "Low3 (LH)");
    EXPECT_TRUE(f.model.Enabled(FineAlignment::kHighPower));
    EXPECT_FALSE(f.model.Enabled(FineAlignment::kSubAudio));
    EXPECT_EQ(f.model.Label(FineAlignment::kSubAudio), "");
    EXPECT_FALSE(FineAlignment::Visible(FineAlignment::kDa));
  }
  {  // Narrow CTCSS on low power level 1: Low2 base, narrow deviations, High Power off.
    Fine f(1);
    EXPECT_FALSE(f.model.Enabled(FineAlignment::kHighPower));
    EXPECT_EQ(f.model.Label(FineAlignment::kLowPower), "Low2 (LM)");
    EXPECT_EQ(f.model.Shown(FineAlignment::kLowPower), 0x58 - 3);
    EXPECT_EQ(f.model.Shown(FineAlignment::kMaxDeviation), 0x5A + 2);
    EXPECT_EQ(f.model.Shown(FineAlignment::kSubAudio), 0x1C - 4);
    EXPECT_EQ(f.model.Label(FineAlignment::kSubAudio), "CTCSS Dev");
  }
  {  // DCS on level 2: Low1 base, DCS wide deviation.
    Fine f(2);
    EXPECT_EQ(f.model.Label(FineAlignment::kLowPower), "Low1 (EL)");
    EXPECT_EQ(f.model.Base(FineAlignment::kLowPower), 0x30);
    EXPECT_EQ(f.model.Shown(FineAlignment::kSubAudio), 0x3C - 4);
    EXPECT_EQ(f.model.Label(FineAlignment::kSubAudio), "DCS Dev");
  }
  {  // The unused level 3: no label, trimmed against Low1.
    Fine f;
    ASSERT_TRUE(f.model.PickGroup(1));
    EXPECT_EQ(f.model.Label(FineAlignment::kLowPower), "");
    EXPECT_EQ(f.model.Base(FineAlignment::kLowPower), 0x30);
  }
}

TEST(FineAlignment, ReceiverAndPowerItems) {
  using L = Lines;
  Fine f(1);
  f.radio->QueueLevels({{0, 0, 0x61, 0}, {0, 0, 0x66, 0}});
  auto session = f.model.BeginSlider(FineAlignment::kRxTune);
  ASSERT_TRUE(session);
  EXPECT_EQ(f.Sent(), (L{"35", "32(70)", "31"})) << "RX Tune does not key the transmitter";
  EXPECT_EQ(session->signal(), 0x61);
  EXPECT_EQ(session->Move(0x74), SliderSession::MoveResult::kAccepted);
  EXPECT_EQ(f.Sent(), (L{"32(74)", "31"}));
  EXPECT_EQ(session->signal(), 0x66);
  session->End(true);
  EXPECT_EQ(f.Sent(), (L{"35"}));
  EXPECT_EQ(f.RecordByte(1, 18), 0x74) << "RX Tune is stored as it is";
  EXPECT_EQ(f.doc->channels.records[1].tune_rx, 0x74);

  auto p = f.Run(FineAlignment::kLowPower, {0x60}, true);
  EXPECT_EQ(p[0], (L{"35", "34", "32(55)", kPrepDac}));
  EXPECT_EQ(p[1], (L{"32(60)"}));
  EXPECT_EQ(p[2], (L{kRestore, "35"}));
  EXPECT_EQ(f.RecordByte(1, 21), 0x08) << "0x60 - Low2 0x58";
  EXPECT_EQ(f.doc->channels.records[1].tune_tx[1], 0x08);
  EXPECT_EQ(f.model.ValueText(FineAlignment::kLowPower), " 96");

  // Cancelled: the trim stays, the radio is restored.
  const Image before = f.doc->image;
  p = f.Run(FineAlignment::kLowPower, {0x20}, false);
  EXPECT_EQ(p[2], (L{kRestore, "35"}));
  EXPECT_EQ(f.doc->image, before);

  // The D/A item is sent live and stored nowhere.
  p = f.Run(FineAlignment::kDa, {0x80}, true);
  EXPECT_EQ(p[0], (L{"35", "34", "32(30)", kPrepDac}));
  EXPECT_EQ(p[1], (L{"3B(7F,80,00,00)"}));
  EXPECT_EQ(p[2], (L{kRestore, "35"}));
  EXPECT_EQ(f.doc->image, before);
}

TEST(FineAlignment, TrimsStayWithin127OfTheirBase) {
  Fine f;  // High(5W) base 200
  auto session = f.model.BeginSlider(FineAlignment::kHighPower);
  ASSERT_TRUE(session);
  f.Sent();
  EXPECT_EQ(session->Move(73), SliderSession::MoveResult::kAccepted);
  EXPECT_EQ(session->Move(72), SliderSession::MoveResult::kNotAllowed);
  EXPECT_EQ(f.Sent(), (Lines{"32(49)"})) << "a value too far away is never sent";
  EXPECT_EQ(session->value(), 73);
  session->End(true);
  EXPECT_EQ(f.RecordByte(0, 20), 0xFF) << "-127";
  EXPECT_EQ(f.model.Shown(FineAlignment::kHighPower), 73);
}

TEST(FineAlignment, DeviationItems) {
  using L = Lines;
  {  // Wide, no tone: maximum deviation without the raw 0x00 of a toned channel.
    Fine f;
    auto p = f.Run(FineAlignment::kMaxDeviation, {0xA6}, true);
    EXPECT_EQ(p[0], (L{"35", "39", "34", "32(30)", "33(00,A2,00)", "3B(7F,7D,FF,00)", "36"}));
    EXPECT_EQ(p[1], (L{"raw00", "33(00,A6,00)", "36"}));
    EXPECT_EQ(p[2], (L{"raw00", kRestore, "35"}));
    EXPECT_EQ(f.RecordByte(0, 22), 0x06);
  }
  {  // Narrow CTCSS: raw 0x00 in the preparation; the sub-audio item uses the channel's own
     // maximum deviation.
    Fine f(1);
    auto p = f.Run(FineAlignment::kMaxDeviation, {0x50}, true);
    EXPECT_EQ(p[0],
              (L{"35", "39", "34", "32(30)", "raw00", "33(00,5C,00)", "3B(7F,7D,FF,00)", "36"}));
    EXPECT_EQ(f.RecordByte(1, 22), 0x8A) << "0x50 - 0x5A";
    p = f.Run(FineAlignment::kSubAudio, {0x1A}, true);
    EXPECT_EQ(p[0], (L{"35", "34", "32(30)", "33(00,50,18)", kPrepDac, "3F"}));
    EXPECT_EQ(p[1], (L{"raw00", "33(00,50,1A)", "3F"}));
    EXPECT_EQ(p[2], (L{kRestore, "35"}));
    EXPECT_EQ(f.RecordByte(1, 23), 0x82);
  }
  {  // DCS: the DCS value first, 0x37, and raw 0x00 at the end.
    Fine f(2);
    auto p = f.Run(FineAlignment::kSubAudio, {0x3A}, true);
    EXPECT_EQ(p[0], (L{"35", "34", "32(30)", "33(38,A2,00)", kPrepDac, "37"}));
    EXPECT_EQ(p[1], (L{"raw00", "33(3A,A2,00)", "37"}));
    EXPECT_EQ(p[2], (L{"raw00", kRestore, "35"}));
    EXPECT_EQ(f.RecordByte(2, 23), 0x82);
  }
  {  // A CTCSS value the radio refuses five times is refused; 0x3F is not sent then.
    Fine f(1);
    f.radio->set_refuse(
        [](std::uint8_t c, std::span<const std::uint8_t> d) { return c == 0x33 && d[2] == 0x30; });
    auto session = f.model.BeginSlider(FineAlignment::kSubAudio);
    ASSERT_TRUE(session);
    f.Sent();
    EXPECT_EQ(session->Move(0x30), SliderSession::MoveResult::kRefused);
    const Lines refused(5, "33(00,5C,30)!");
    Lines expected = {"raw00"};
    expected.insert(expected.end(), refused.begin(), refused.end());
    EXPECT_EQ(f.Sent(), expected);
    EXPECT_EQ(session->value(), 0x18);
  }
}

// The mapping and OK's high clamp are the models' tests; here the low clamp and the sum.
TEST(AdjustmentValues, StoreClampsLowKeepsByte191AndTheChecksumWraps) {
  Image image{};
  for (int i = 0; i < 256; ++i) image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  AdjustmentValues changed = AdjustmentValues::Load(image);
  EXPECT_EQ(changed.auxiliary, 191 & 0x0F);
  changed.tight_squelch = {300, -4};
  changed.auxiliary = 0;
  changed.Store(image);
  testing::ExpectBytes(image, {{6, 255}, {10, 0}, {191, 191}, {25, 25}, {26, 26}, {192, 192}});
  int sum = 0;  // word 1 is the sum of words 2 to 12
  for (int w = 2; w <= 12; ++w) sum += bits::GetWordLE(image, 2 * w);
  EXPECT_EQ(bits::GetWordLE(image, 2), sum & 0xFFFF);
  Image full{};
  for (int i = 4; i < 26; ++i) full[static_cast<std::size_t>(i)] = 0xFF;
  EXPECT_EQ(AdjustmentChecksum(full), (11 * 0xFFFF) & 0xFFFF);
}

// The bytes of single trims are checked through the models above; here the whole range.
TEST(Trims, SignMagnitudeOffsetsWithinOneHundredTwentySeven) {
  for (int offset = -127; offset <= 127; ++offset) {
    EXPECT_EQ(DecodeOffset(*EncodeOffset(offset)), offset);
  }
  EXPECT_FALSE(EncodeOffset(128));
  EXPECT_FALSE(EncodeOffset(-128));
  EXPECT_EQ(DecodeOffset(0x80), 0) << "minus zero";
}

TEST(Levels, TrimmedMeanDropsOneLargestAndOneSmallest) {
  std::vector<int> readings = {10, 200};
  readings.insert(readings.end(), 18, 100);
  EXPECT_EQ(TrimmedMean(readings), 100);
  // Ties drop only one of each; the division truncates.
  std::vector<int> ties(20, 7);
  ties[3] = 8;
  EXPECT_EQ(TrimmedMean(ties), 7);
  EXPECT_EQ(TrimmedMean(std::vector<int>{}), 0);
  EXPECT_EQ(TrimmedMean(std::vector<int>{4, 9}), 6);
}

TEST(SliderSession, TypedValuesAreNumbersClampedToAByte) {
  for (auto [text, value] : {std::pair{"42", 42},
                             {"  7 ", 7},
                             {"+12", 12},
                             {"300", 255},
                             {"-5", 0},
                             {"99999999999999999999", 255}}) {
    EXPECT_EQ(SliderSession::ParseTyped(text), value) << text;
  }
  // Anything else is refused rather than sent as 0 to a transmitting radio.
  for (const char* bad : {"", "  ", "abc", "12x", "1.5", "0x10", "--1"}) {
    EXPECT_FALSE(SliderSession::ParseTyped(bad)) << bad;
  }
}

TEST(SliderSession, RefusedValuesLeaveTheLastAcceptedAndEndingAlwaysRestores) {
  std::vector<int> sent;
  std::vector<std::optional<int>> ends;
  auto make = [&](int start) {
    SliderSession::Hooks hooks;
    hooks.send = [&](int v) {
      sent.push_back(v);
      return v != 99;
    };
    hooks.allowed = [](int v) { return v >= 10; };
    hooks.end = [&](std::optional<int> stored) { ends.push_back(stored); };
    return std::make_unique<SliderSession>(start, hooks);
  };
  auto s = make(50);
  EXPECT_EQ(s->Move(60), SliderSession::MoveResult::kAccepted);
  EXPECT_EQ(s->Move(99), SliderSession::MoveResult::kRefused);
  EXPECT_EQ(s->value(), 60);
  EXPECT_EQ(s->Move(5), SliderSession::MoveResult::kNotAllowed);
  EXPECT_EQ(s->Move(60), SliderSession::MoveResult::kUnchanged);
  EXPECT_EQ(s->Move(1000), SliderSession::MoveResult::kAccepted);
  EXPECT_EQ(s->value(), 255);
  EXPECT_EQ(sent, (std::vector<int>{60, 99, 255})) << "a value not allowed is never sent";
  s->End(true);
  s->End(false);
  EXPECT_EQ(s->Move(70), SliderSession::MoveResult::kUnchanged) << "nothing after the end";
  s.reset();
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0], 255);

  // Dropped without End (the dialog went away): the radio is restored, nothing stored.
  make(20).reset();
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_FALSE(ends[1]);
}

}  // namespace
}  // namespace ql40::alignment
