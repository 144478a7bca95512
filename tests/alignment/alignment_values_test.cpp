// The arithmetic of alignment: adjustment bytes and their checksum, sign-magnitude trims,
// the trimmed mean of the level readings, typed slider values.

#include <gtest/gtest.h>

#include <vector>

#include "alignment/alignment_state.h"
#include "alignment/slider_session.h"
#include "codeplug/bits.h"

namespace ql40::alignment {
namespace {

TEST(AdjustmentValues, LoadAndStoreKeepTheImageConsistent) {
  Image image{};
  for (int i = 0; i < 256; ++i) image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  const AdjustmentValues v = AdjustmentValues::Load(image);
  EXPECT_EQ(v.auxiliary, 191 & 0x0F);
  EXPECT_EQ(v.mic_gain, 190);
  EXPECT_EQ(v.power, (std::array<int, 4>{14, 13, 12, 15}));
  EXPECT_EQ(v.tight_squelch, (std::array<int, 2>{6, 10}));
  EXPECT_EQ(v.max_deviation, (std::array<int, 2>{17, 16}));
  EXPECT_EQ(v.dcs_deviation, (std::array<int, 2>{21, 20}));
  EXPECT_EQ(v.frequency_da, 24);

  // Storing writes each value to its own byte, clamped, then word 1; byte 191 and every byte
  // that is not an adjustment value stay as they were.
  AdjustmentValues changed = v;
  changed.tight_squelch = {300, -4};
  changed.mic_gain = 0x33;
  changed.auxiliary = 0;
  Image stored = image;
  changed.Store(stored);
  EXPECT_EQ(stored[6], 255);
  EXPECT_EQ(stored[10], 0);
  EXPECT_EQ(stored[190], 0x33);
  EXPECT_EQ(stored[191], 191);
  EXPECT_EQ(stored[25], 25) << "band and model";
  for (int i : {0, 1, 26, 100, 189, 192}) EXPECT_EQ(stored[static_cast<std::size_t>(i)], i);
  int sum = 0;
  for (int w = 2; w <= 12; ++w) sum += bits::GetWordLE(stored, 2 * w);
  EXPECT_EQ(bits::GetWordLE(stored, 2), sum & 0xFFFF);
  EXPECT_EQ(AdjustmentValues::Load(stored).tight_squelch, (std::array<int, 2>{255, 0}));

  // The checksum wraps at 65536.
  Image full{};
  for (int i = 4; i < 26; ++i) full[static_cast<std::size_t>(i)] = 0xFF;
  EXPECT_EQ(AdjustmentChecksum(full), (11 * 0xFFFF) & 0xFFFF);
}

TEST(Trims, SignMagnitudeOffsetsWithinOneHundredTwentySeven) {
  EXPECT_EQ(EncodeOffset(0), 0x00);
  EXPECT_EQ(EncodeOffset(127), 0x7F);
  EXPECT_EQ(EncodeOffset(-1), 0x81);
  EXPECT_EQ(EncodeOffset(-127), 0xFF);
  EXPECT_FALSE(EncodeOffset(128));
  EXPECT_FALSE(EncodeOffset(-128));
  // Base 100, value 90.
  EXPECT_EQ(EncodeOffset(90 - 100), 0x8A);
  EXPECT_EQ(100 + DecodeOffset(0x8A), 90);
  EXPECT_EQ(DecodeOffset(0x80), 0) << "minus zero";
  for (int offset = -127; offset <= 127; ++offset) {
    EXPECT_EQ(DecodeOffset(*EncodeOffset(offset)), offset);
  }
}

TEST(Levels, TrimmedMeanDropsOneLargestAndOneSmallest) {
  std::vector<int> readings = {10, 200};
  readings.insert(readings.end(), 18, 100);
  EXPECT_EQ(TrimmedMean(readings), 100);
  // Ties drop only one of each; the division truncates.
  std::vector<int> ties(20, 7);
  ties[3] = 8;
  EXPECT_EQ(TrimmedMean(ties), 7);
  std::vector<int> ramp;
  for (int i = 0; i < 20; ++i) ramp.push_back(i * 13);
  EXPECT_EQ(TrimmedMean(ramp), (190 * 13 - 0 - 19 * 13) / 18);
  EXPECT_EQ(TrimmedMean(std::vector<int>{}), 0);
  EXPECT_EQ(TrimmedMean(std::vector<int>{4, 9}), 6);
}

TEST(SliderSession, TypedValuesAreNumbersClampedToAByte) {
  EXPECT_EQ(SliderSession::ParseTyped("42"), 42);
  EXPECT_EQ(SliderSession::ParseTyped("  7 "), 7);
  EXPECT_EQ(SliderSession::ParseTyped("+12"), 12);
  EXPECT_EQ(SliderSession::ParseTyped("300"), 255);
  EXPECT_EQ(SliderSession::ParseTyped("-5"), 0);
  EXPECT_EQ(SliderSession::ParseTyped("99999999999999999999"), 255);
  // Anything else is refused rather than sent as 0 to a transmitting radio.
  for (const char* bad : {"", "  ", "abc", "12x", "1.5", "0x10", "--1"}) {
    EXPECT_FALSE(SliderSession::ParseTyped(bad)) << bad;
  }
  EXPECT_EQ(SliderSession::MinimumLabel(false), "  0");
  EXPECT_EQ(SliderSession::MinimumLabel(true), "0  ");
  EXPECT_EQ(SliderSession::MaximumLabel(true), "255");
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
