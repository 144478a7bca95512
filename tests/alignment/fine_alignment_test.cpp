// Channel Fine Alignment against the simulated radio: the trims shown from their bases, each
// item's sequences, the 127 limit, and the stored channel bytes.

#include "alignment/fine_alignment.h"

#include <gtest/gtest.h>

#include "alignment_bench.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

using testing::AlignmentBench;
using Lines = std::vector<std::string>;

const std::string kRestore = "3B(7F,7D,05,44)";
const std::string kPrepDac = "3B(7F,7D,05,00)";

struct Fine : AlignmentBench {
  explicit Fine(int channel_pick = 0) : model(*link, *doc, &prompter, Pause()) {
    EXPECT_TRUE(model.Open());
    if (channel_pick != 0) {
      EXPECT_TRUE(model.PickChannel(channel_pick));
    }
    Sent();
  }
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
  int RecordByte(int channel_index, int offset) const {
    return Byte(kOffsetChannels + kChannelRecordSize * channel_index + offset);
  }
  FineAlignment model;
};

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

}  // namespace
}  // namespace ql40::alignment
