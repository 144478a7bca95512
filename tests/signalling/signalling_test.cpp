#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "codeplug/codeplug.h"
#include "settings/default_settings.h"
#include "signalling/dtmf.h"
#include "signalling/paging.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::ExpectBytes;

TEST(DtmfCodes, RecordsKeepTheirPlaceAndTheBytesTheyDoNotNeed) {
  Image image{};
  std::fill(image.begin() + 386, image.begin() + 402, std::uint8_t{0xAA});
  AniSettings ani;
  ani.Decode(image);
  ani.ani_code = "1234";
  ani.emergency_code = "*#0123456789abcd";  // lower case taken, the 16th digit cut
  ani.Encode(image);
  ExpectBytes(image, {{386, 0x41}, {387, 0x23}, {388, 0x40}, {389, 0xAA}, {393, 0xAA}});
  AniSettings back;
  back.Decode(image);
  EXPECT_EQ(back.ani_code, "1234");
  EXPECT_EQ(back.emergency_code, "*#0123456789ABC");

  DtmfCodeList codes;
  codes.codes[9] = "x9a";  // a character that is no DTMF digit is dropped
  codes.Encode(image);
  ExpectBytes(image, {{474, 0x29}, {475, 0xA0}});
  codes.Decode(image);
  EXPECT_EQ(codes.codes[9], "9A");
}

TEST(AniAndDtmfSettings, BitFieldsAndPauseCharacter) {
  Image image{};
  image[384] = 0x3E;
  DtmfSettings dtmf;
  dtmf.Decode(image);
  dtmf.CommitPauseCharacter("d");  // lower case taken
  dtmf.Encode(image);
  EXPECT_EQ(image[384], 0x3D);

  // With an encryption device (byte 27 bit 0 clear) the ANI type always reads DTMF.
  image[188] = 0xFF;
  image[27] = 0x00;
  AniSettings ani;
  ani.Decode(image);
  EXPECT_EQ(ani.type, 0);
  EXPECT_EQ(ani.speed, 3);
}

TEST(PagingTable, DtmfFormSlots) {
  Image image{};
  EmptyAllPagingSlots(image);
  PagingTable paging;
  paging.Decode(image);
  EXPECT_TRUE(paging.slots[0].code.empty());
  EXPECT_TRUE(paging.CommitCode(0, "12b"));
  paging.slots[0].enc_dec = 1;
  EXPECT_TRUE(paging.CommitCode(1, "7"));
  EXPECT_EQ(paging.slots[1].code, "700");
  EXPECT_FALSE(paging.CommitCode(10, "1"));
  paging.Encode(image, kOptionNone);
  ExpectBytes(image, {{482, 0x21}, {483, 0x2B}, {484, 0x07}, {485, 0x00}, {486, 0xFF}});

  PagingTable back;  // how the codes read back, the report tests show
  back.Decode(image);
  back.CommitCode(1, "");
  back.Encode(image, kOptionNone);
  EXPECT_TRUE(PagingSlotEmpty(image, 1));

  // With the 2Tone unit the used slots hold tone numbers: only emptying reaches the image.
  image[482] = 0x17;
  image[483] = 0x18;
  back.Decode(image);
  back.CommitCode(2, "");
  back.Encode(image, kOption2Tone);
  ExpectBytes(image, {{482, 0x17}, {483, 0x18}});
}

// Numbers of no set read raw; no switch without the 2Tone unit or to the format held.
TEST(TwoToneTable, NumbersOfNoSetSwitchToUserDefined) {
  Image image{};
  TwoToneTable table;
  for (int first : {30, 62, 188, 240, 254}) {  // gaps and beyond the last set
    EmptyAllPagingSlots(image);
    image[482] = image[483] = static_cast<std::uint8_t>(first);
    int format = kToneStandard;
    table.Decode(image, format);
    EXPECT_EQ(format, kToneUserDefined) << first;
    EXPECT_EQ(table.ToneNumbers(0)[0], first);
  }
  image[484] = 0x00;  // tones of two different sets in row 2
  image[485] = 0x0A;
  EXPECT_EQ(DecodeToneFormatSwitch(image, kOptionNone, kToneStandard), kToneStandard);
  int tone_format = kToneUserDefined;
  EXPECT_FALSE(ChangeToneFormat(image, tone_format, kToneUserDefined));
  EXPECT_FALSE(PagingSlotEmpty(image, 0));
}

TEST(TwoToneTable, ToneSetLookupAndParameters) {
  int group = 0, index = 0;
  EXPECT_TRUE(FindStandardTone(239, group, index));
  EXPECT_EQ(group, 18);
  EXPECT_EQ(index, 9);
  EXPECT_TRUE(FindStandardTone(114, group, index));  // a set of eleven tones
  for (int gap : {30, 31, 62, 63, 187, 189, 240}) EXPECT_FALSE(FindStandardTone(gap, group, index));

  Image image{};
  image[385] = 0xB0;  // DTMF bits only
  TwoToneParameters parameters;
  parameters.Encode(image);
  EXPECT_EQ(image[385], 0xF6);
}

}  // namespace
}  // namespace ql40
