#include "codeplug/codecs.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace ql40 {
namespace {

TEST(TagSymbols, MapBothWaysAndRejectWhatTheRadioCannotShow) {
  const std::string all = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ()+-=*/[\\]:_";
  ASSERT_EQ(all.size(), 49u);
  for (int i = 0; i < 49; ++i) {
    EXPECT_EQ(TagSymbolToChar(i), all[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(CharToTagSymbol(all[static_cast<std::size_t>(i)]), i) << i;
  }
  EXPECT_EQ(TagSymbolToChar(49), '\0');
  EXPECT_EQ(TagSymbolToChar(63), '\0');
  EXPECT_EQ(TagSymbolToChar(-1), '\0');
  // No lower case on the radio: a typed "a" is a space, not "A".
  EXPECT_EQ(CharToTagSymbol('a'), 36);
  EXPECT_EQ(CharToTagSymbol('!'), 36);
  EXPECT_EQ(CharToTagSymbol('.'), 36);
  EXPECT_EQ(CharToTagSymbol('\0'), 36);
  EXPECT_FALSE(IsTagChar('a'));
  EXPECT_TRUE(IsTagChar('\\'));
}

TEST(DtmfDigits, MapBothWays) {
  EXPECT_EQ(DtmfValueToChar(0), '0');
  EXPECT_EQ(DtmfValueToChar(9), '9');
  EXPECT_EQ(DtmfValueToChar(10), 'A');
  EXPECT_EQ(DtmfValueToChar(13), 'D');
  EXPECT_EQ(DtmfValueToChar(14), '*');
  EXPECT_EQ(DtmfValueToChar(15), '#');
  EXPECT_EQ(DtmfValueToChar(16), '-');
  EXPECT_EQ(CharToDtmfValue('*'), 14);
  EXPECT_EQ(CharToDtmfValue('#'), 15);
  EXPECT_EQ(CharToDtmfValue('7'), 7);
  EXPECT_EQ(CharToDtmfValue('a'), 10);
  EXPECT_EQ(CharToDtmfValue('D'), 13);
  EXPECT_EQ(CharToDtmfValue('E'), 0);
  EXPECT_EQ(CharToDtmfValue('z'), 0);
}

TEST(Rounding, HalvesGoAwayFromZero) {
  EXPECT_EQ(Round(2.5, 0), 3.0);
  EXPECT_EQ(Round(-2.5, 0), -3.0);
  EXPECT_EQ(Round(2.49, 0), 2.0);
  EXPECT_NEAR(Round(1.25, 1), 1.3, 1e-12);
  EXPECT_NEAR(Round(1.25, 3), 1.3, 1e-12);  // any positive count means one decimal
  EXPECT_EQ(Round(1.2345, -1), 1.2345);
}

TEST(FrequencyText, ReadsMhzAsTensOfHertz) {
  EXPECT_EQ(MhzTextTo10Hz("0.000055"), 6);
  EXPECT_EQ(MhzTextTo10Hz("0.000054"), 5);
  EXPECT_EQ(MhzTextTo10Hz("-0.000055"), -6);
  EXPECT_EQ(MhzTextTo10Hz(""), 0);
  EXPECT_EQ(MhzTextTo10Hz("abc"), 0);
  EXPECT_EQ(MhzTextTo10Hz("  146.52"), 14652000);
  EXPECT_EQ(MhzTextTo10Hz("146.51125"), 14651125);
  EXPECT_EQ(MhzTextTo10Hz("146.52xyz"), 14652000);  // reading stops at the first stranger
  EXPECT_EQ(MhzTextTo10Hz("146.5.2"), 14650000);
  EXPECT_EQ(MhzTextTo10Hz("+38"), 3800000);
  // Nothing a user can type overflows or turns into garbage.
  EXPECT_EQ(MhzTextTo10Hz("1e400"), INT32_MAX);
  EXPECT_EQ(MhzTextTo10Hz("-1e400"), INT32_MIN);
  EXPECT_EQ(MhzTextTo10Hz("nan"), 0);
  EXPECT_EQ(MhzTextTo10Hz("inf"), 0);
  EXPECT_EQ(ParseInteger(" 42abc"), 42);
  EXPECT_EQ(ParseInteger("-7"), -7);
  EXPECT_EQ(ParseInteger("x"), 0);
  EXPECT_EQ(ParseInteger("99999999999999999999"), INT32_MAX);
}

TEST(DigitStrings, EncodeOnlyTheBytesTheDigitsNeed) {
  std::array<std::uint8_t, 8> bytes;
  bytes.fill(0x99);
  EncodeDigitString(bytes, 0, "1234");
  EXPECT_EQ(bytes[0], 0x41);
  EXPECT_EQ(bytes[1], 0x23);
  EXPECT_EQ(bytes[2], 0x40);
  for (int i = 3; i < 8; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i)], 0x99) << i;
  EXPECT_EQ(DecodeDigitString(bytes, 0), "1234");

  EncodeDigitString(bytes, 0, "*#0123456789ABC");
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0xF0);
  EXPECT_EQ(bytes[7], 0xBC);
  EXPECT_EQ(DecodeDigitString(bytes, 0), "*#0123456789ABC");

  // Too long: cut at 15 digits rather than spilling into the next code.
  std::array<std::uint8_t, 9> longer{};
  longer[8] = 0x55;
  EncodeDigitString(longer, 0, "1234567890123456789");
  EXPECT_EQ(longer[0] >> 4, 15);
  EXPECT_EQ(longer[8], 0x55);

  // Empty: only the count goes; the first digit's nibble stays.
  bytes.fill(0x77);
  EncodeDigitString(bytes, 0, "");
  EXPECT_EQ(bytes[0], 0x07);
  EXPECT_EQ(bytes[1], 0x77);
  EXPECT_EQ(DecodeDigitString(bytes, 0), "");
}

}  // namespace
}  // namespace ql40
