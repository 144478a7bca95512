// Form logic of the ANI, DTMF, DTMF Code, Paging Code, 2Tone Parameters and 2 Tone Edit
// dialogs: enabling rules, code fields read on OK, digit strings, slot encodings and the
// channel references that an emptied slot takes away.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>

#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "signalling/dtmf_forms.h"
#include "signalling/paging_forms.h"
#include "signalling/signalling_commands.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::ExpectBytes;

Codeplug Fresh() {
  Codeplug doc;
  doc.ResetToDefaults();
  return doc;
}

Codeplug NoisyCodeplug(std::uint32_t seed) {
  Codeplug doc = Fresh();
  for (auto& b : doc.image) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(seed >> 24);
  }
  return doc;
}

void ExpectOnlyOwnedBitsChanged(const Image& before, const Image& after,
                                const std::map<int, int>& owned) {
  for (std::size_t i = 0; i < before.size(); ++i) {
    const auto it = owned.find(static_cast<int>(i));
    const int mask = it == owned.end() ? 0 : it->second;
    EXPECT_EQ(before[i] & ~mask & 0xFF, after[i] & ~mask & 0xFF) << "byte " << i;
  }
}

std::map<int, int> Range(int first, int last, std::map<int, int> more = {}) {
  for (int i = first; i <= last; ++i) more[i] = 0xFF;
  return more;
}

// Channels 1-4 refer to slots 1, 2, 1 and 3; their other bits of a3 must survive.
void ReferSlots(Codeplug& doc) {
  const int slots[] = {1, 2, 1, 3};
  for (int i = 0; i < 4; ++i)
    doc.channels.records[i].set_attribute_byte(3, static_cast<std::uint8_t>(0xE0 | slots[i]));
}

// The a3 bytes of channels 1 to 4.
void ExpectReferences(const Codeplug& doc, std::initializer_list<int> a3) {
  int i = 0;
  for (int want : a3) {
    EXPECT_EQ(doc.channels.records[i].attribute_byte(3), want) << "channel " << i + 1;
    ++i;
  }
}

TEST(AniForm, TypeEnablingAndCodesReadOnOk) {
  Codeplug doc = Fresh();
  doc.image[27] &= ~0x01;  // encryption device fitted
  doc.image[188] |= 0x20;  // Option ANI stored
  {
    AniForm form(doc);
    EXPECT_FALSE(form.Enabled(AniForm::kType));
    EXPECT_EQ(form.Items(AniForm::kType)[form.Selection(AniForm::kType)], "DTMF");
    EXPECT_TRUE(form.Enabled(AniForm::kAniCode));
  }
  doc.image[27] |= 0x01;
  AniForm form(doc);
  EXPECT_EQ(form.Selection(AniForm::kType), 1);
  for (int id : {AniForm::kTransmit, AniForm::kDelay, AniForm::kSpeed, AniForm::kAniCode,
                 AniForm::kEmergencyCode}) {
    EXPECT_FALSE(form.Enabled(id)) << id;
  }
  form.Select(AniForm::kType, 0);
  EXPECT_TRUE(form.Enabled(AniForm::kDelay));
  doc.modified = false;
  form.Select(AniForm::kSpeed, 3);
  EXPECT_FALSE(doc.modified);  // lists reach the record on OK
  form.TextEdited(AniForm::kAniCode, "12a4");
  form.Ok();
  EXPECT_TRUE(doc.modified);
  ExpectBytes(doc.image, {{386, 0x41}, {387, 0x2A}, {388, 0x40}});
  EXPECT_EQ(doc.image[188] & 0x3F, 0x07);  // DTMF, PTT Pressed, 100 msec, 66 msec

  // OK without a change leaves the codeplug unmodified and the image as it was.
  Codeplug noisy = NoisyCodeplug(11);
  noisy.image[27] |= 0x01;
  const Image before = noisy.image;
  AniForm unchanged(noisy);
  unchanged.Ok();
  EXPECT_FALSE(noisy.modified);
  AniForm all(noisy);
  all.Select(AniForm::kType, 0);
  all.Select(AniForm::kTransmit, 1);
  all.TextEdited(AniForm::kEmergencyCode, "");
  all.Ok();
  ExpectOnlyOwnedBitsChanged(before, noisy.image, Range(386, 401, {{188, 0x3F}}));
}

TEST(DtmfCodeForm, DigitStringsAtEveryLengthThatMatters) {
  struct Case {
    std::string typed;
    std::map<int, int> bytes;  // offsets from the field start
  };
  const Case cases[] = {
      {"", {{0, 0x05}, {1, 0xAA}}},  // count 0; the rest kept (byte 0 low nibble too)
      {"7", {{0, 0x17}, {1, 0xAA}}},
      {"*#", {{0, 0x2E}, {1, 0xF0}, {2, 0xAA}}},
      {"12345678901234", {{0, 0xE1}, {1, 0x23}, {6, 0x23}, {7, 0x40}}},
      {"123456789ABCD*#", {{0, 0xF1}, {1, 0x23}, {6, 0xCD}, {7, 0xEF}}},
      {"123456789ABCD*#9", {{0, 0xF1}, {7, 0xEF}}},  // a 16th digit is cut
  };
  for (const Case& c : cases) {
    Codeplug doc = Fresh();
    for (int i = 402; i < 482; ++i) doc.image[i] = 0xAA;
    doc.image[402 + 8 * 4] = 0x35;  // code 5 holds "5" ...
    const Image before = doc.image;
    DtmfCodeForm form(doc);
    EXPECT_EQ(form.Text(3205), "5AA");  // ... and two more digits of the 0xAA filler
    form.TextEdited(3205, c.typed);
    form.Ok();
    for (const auto& [offset, value] : c.bytes) {
      EXPECT_EQ(doc.image[402 + 32 + offset], value) << c.typed << " byte " << offset;
    }
    // Unedited codes are written back as they read.
    for (int n = 0; n < 10; ++n) {
      if (n == 4) continue;
      EXPECT_EQ(DecodeDigitString(doc.image, 402 + 8 * n), DecodeDigitString(before, 402 + 8 * n));
    }
  }
}

TEST(DtmfForm, PauseCharacterAndTheAccessoryRules) {
  // A typed pause character enabling the time is the DTMF dialog's test (tests/ui).
  Codeplug doc = Fresh();
  doc.image[384] = 0x3E;
  DtmfForm star(doc);
  EXPECT_EQ(star.Text(DtmfForm::kPauseCode), "*");
  EXPECT_EQ(star.Items(DtmfForm::kPauseTime)[star.Selection(DtmfForm::kPauseTime)], "3 sec");
  star.TextEdited(DtmfForm::kPauseCode, "");
  star.Ok();
  EXPECT_EQ(doc.image[384], 0xBD);

  struct Case {
    int option_unit;
    std::uint8_t byte27;
    bool answer_back, call_times, keypad;
  };
  // Byte 27: bit 1 set = no DTMF receiver, bit 7 set = no 16-key keypad.
  for (const Case& c :
       {Case{kOption2Tone, 0x00, false, false, true}, Case{kOptionNone, 0x00, true, true, true},
        Case{kOptionNone, 0x02, false, true, true}, Case{kOptionSubsig, 0x80, true, true, false}}) {
    doc.option_unit = c.option_unit;
    doc.image[27] = c.byte27;
    DtmfForm f(doc);
    EXPECT_EQ(f.Enabled(DtmfForm::kAnswerBack), c.answer_back) << c.option_unit;
    EXPECT_EQ(f.Enabled(DtmfForm::kAutoReset), c.answer_back) << c.option_unit;
    EXPECT_EQ(f.Enabled(DtmfForm::kCallTimes), c.call_times) << c.option_unit;
    EXPECT_EQ(f.Enabled(DtmfForm::kKeypad), c.keypad) << c.option_unit;
  }

  Codeplug noisy = NoisyCodeplug(12);
  noisy.image[27] = 0;
  const Image before = noisy.image;
  DtmfForm all(noisy);
  for (int id = DtmfForm::kPauseTime; id <= DtmfForm::kKeypad; ++id) all.Select(id, 1);
  all.TextEdited(DtmfForm::kPauseCode, "5");
  all.Ok();
  ExpectOnlyOwnedBitsChanged(before, noisy.image, {{384, 0xFF}, {385, 0xF3}, {187, 0x01}});
}

TEST(PagingForm, CodesPaddedListsFollowTheirEditsAndEmptiedSlotsLoseTheirChannels) {
  Codeplug doc = NoisyCodeplug(13);
  doc.option_unit = kOptionNone;
  for (int n = 0; n < 10; ++n) EmptyPagingSlot(doc.image, n);
  doc.image[482] = 0x01;  // slot 1: "123"
  doc.image[483] = 0x23;
  doc.image[484] = 0x24;  // slot 2: "456" ENC & DEC
  doc.image[485] = 0x56;
  ReferSlots(doc);
  const Image before = doc.image;

  PagingForm form(doc);
  EXPECT_EQ(form.Text(3301), "123");
  EXPECT_EQ(form.Selection(3312), 1);
  EXPECT_FALSE(form.Enabled(3313));
  EXPECT_EQ(form.Selection(3313), 0);
  form.TextEdited(3303, "12B");
  EXPECT_TRUE(form.Enabled(3313));
  form.Select(3313, 1);
  form.TextEdited(3302, "");  // the list goes back to ENC Only
  EXPECT_FALSE(form.Enabled(3312));
  EXPECT_EQ(form.Selection(3312), 0);
  form.TextEdited(3301, "7");
  form.Ok();

  ExpectBytes(doc.image,
              {{482, 0x07}, {483, 0x00}, {484, 0xFF}, {485, 0xFF}, {486, 0x21}, {487, 0x2B}});
  ExpectOnlyOwnedBitsChanged(before, doc.image, Range(482, 501));
  ExpectReferences(doc, {0xE1, 0xE0, 0xE1, 0xE3});  // emptied slot 2 loses its channel
  EXPECT_TRUE(doc.modified);
}

TEST(TwoToneParametersForm, FormatSwitchEmptiesEverySlot) {
  Codeplug doc = NoisyCodeplug(14);
  doc.option_unit = kOption2Tone;
  doc.tone_format = kToneStandard;
  EmptyAllPagingSlots(doc.image);
  doc.image[482] = 0x17;
  doc.image[483] = 0x18;
  doc.image[486] = 0x00;
  doc.image[487] = 0x01;
  ReferSlots(doc);
  const Image before = doc.image;
  {
    TwoToneParametersForm form(doc);
    form.Select(TwoToneParametersForm::kGroupCall, 2);
    form.Ok();
    EXPECT_FALSE(form.format_changed());
    EXPECT_EQ(doc.image[482], 0x17);
    ExpectOnlyOwnedBitsChanged(before, doc.image, {{385, 0x4F}});
    EXPECT_EQ(doc.channels.records[0].attribute_byte(3), 0xE1);
  }
  TwoToneParametersForm form(doc);
  EXPECT_EQ(form.Selection(TwoToneParametersForm::kToneFormat), 0);
  form.Select(TwoToneParametersForm::kToneFormat, 1);
  form.Ok();
  EXPECT_EQ(doc.tone_format, kToneUserDefined);
  for (int n = 0; n < 10; ++n) EXPECT_TRUE(PagingSlotEmpty(doc.image, n)) << n;
  ExpectOnlyOwnedBitsChanged(before, doc.image, Range(482, 501, {{385, 0x4F}}));
  ExpectReferences(doc, {0xE0, 0xE2, 0xE0, 0xE0});  // slot 2 was empty already
}

TEST(TwoToneEditForm, StandardRowsAndTheirLists) {
  Codeplug doc = Fresh();
  doc.option_unit = kOption2Tone;
  EmptyAllPagingSlots(doc.image);
  doc.image[482] = 0x17;
  doc.image[483] = 0x18;
  ReferSlots(doc);
  TwoToneEditForm form(doc);
  EXPECT_FALSE(form.user_defined());
  const int row1 = TwoToneEditForm::GroupId(0), row2 = TwoToneEditForm::GroupId(1);
  EXPECT_EQ(form.Items(row1).size(), 19u);
  EXPECT_EQ(form.Items(row1)[0], "OFF        ");
  // The stored pair shown as MOTOROLA 3, 313.0 and 953.7 is the dialog's test (tests/ui).
  EXPECT_TRUE(form.Visible(row1 + 1));
  EXPECT_FALSE(form.Visible(row1 + 3));
  EXPECT_FALSE(form.Enabled(row2 + 1));

  form.Select(row2, 13);  // PLECTRON: 56 tones, the first selected
  EXPECT_EQ(form.Items(row2 + 1).size(), 56u);
  EXPECT_EQ(form.Selection(row2 + 2), 0);
  form.Select(row2 + 2, 55);
  form.Select(row1, 0);  // row 1 OFF
  form.Ok();
  ExpectBytes(doc.image, {{482, 0xFF}, {483, 0xFF}, {484, 131}, {485, 186}});
  ExpectReferences(doc, {0xE0, 0xE2, 0xE0});  // slot 2 was filled, not emptied
}

TEST(TwoToneEditForm, UserDefinedRowsShowTheStoredNumbers) {
  Codeplug doc = NoisyCodeplug(15);
  doc.option_unit = kOption2Tone;
  doc.tone_format = kToneStandard;
  EmptyAllPagingSlots(doc.image);
  doc.image[482] = 0x17;  // row 1: a standard pair
  doc.image[483] = 0x18;
  doc.image[484] = 0x00;  // row 2: sets 1 and 2, switches the format
  doc.image[485] = 0x0A;
  doc.image[486] = 250;  // row 3: beyond the last set
  doc.image[487] = 0x05;
  ReferSlots(doc);
  const Image before = doc.image;
  TwoToneEditForm form(doc);
  EXPECT_TRUE(form.user_defined());
  EXPECT_EQ(doc.tone_format, kToneUserDefined);
  const int row1 = TwoToneEditForm::GroupId(0), row2 = TwoToneEditForm::GroupId(1),
            row3 = TwoToneEditForm::GroupId(2), row4 = TwoToneEditForm::GroupId(3);
  EXPECT_EQ(form.Items(row1)[form.Selection(row1)], "USER");
  EXPECT_EQ(form.Text(row1 + 3), "023");  // the standard row read earlier shows raw too
  EXPECT_EQ(form.Text(row1 + 4), "024");
  EXPECT_EQ(form.Text(row2 + 3), "000");
  EXPECT_EQ(form.Text(row2 + 4), "010");
  EXPECT_EQ(form.Text(row3 + 3), "250");
  EXPECT_FALSE(form.Visible(row1 + 1));
  EXPECT_TRUE(form.Visible(row1 + 3));
  EXPECT_FALSE(form.Enabled(row4 + 3));
  EXPECT_EQ(form.Text(row4 + 3), "");

  // OK without a change writes the slots back exactly, 250 included.
  form.Ok();
  EXPECT_EQ(doc.image, before);
  EXPECT_FALSE(doc.modified);

  TwoToneEditForm edit(doc);
  edit.Select(row4, 1);
  EXPECT_EQ(edit.Text(row4 + 3), "045");
  EXPECT_TRUE(edit.Enabled(row4 + 4));
  EXPECT_EQ(edit.Commit(row4 + 4, "300").text, "240");
  EXPECT_EQ(edit.Commit(row3 + 3, "7").text, "007");
  edit.Select(row2, 0);
  edit.Ok();
  ExpectBytes(doc.image,
              {{482, 0x17}, {484, 0xFF}, {485, 0xFF}, {486, 7}, {487, 5}, {488, 45}, {489, 240}});
  ExpectOnlyOwnedBitsChanged(before, doc.image, Range(482, 501));
  ExpectReferences(doc, {0xE1, 0xE0, 0xE1, 0xE3});

  // Without the 2Tone unit the table is not written at all.
  doc.option_unit = kOptionNone;
  const Image kept = doc.image;
  TwoToneEditForm other(doc);
  other.Select(row1, 0);
  other.Ok();
  EXPECT_EQ(doc.image, kept);
}

TEST(SignallingCommands, EnabledByOptionUnitAndDtmfReceiver) {
  Codeplug doc = Fresh();
  doc.image[27] &= ~0x02;  // DTMF receiver fitted
  struct Case {
    int option_unit;
    bool paging, two_tone;
  };
  for (const Case& c : {Case{kOptionNone, true, false}, Case{kOption2Tone, false, true},
                        Case{kOptionSubsig, false, false}, Case{kOptionPtTrunk, true, false}}) {
    doc.option_unit = c.option_unit;
    for (int always : {32783, 32784, 32785}) EXPECT_TRUE(SignallingCommandEnabled(always, doc));
    EXPECT_EQ(SignallingCommandEnabled(32786, doc), c.paging) << c.option_unit;
    EXPECT_EQ(SignallingCommandEnabled(32787, doc), c.two_tone) << c.option_unit;
    EXPECT_EQ(SignallingCommandEnabled(32788, doc), c.two_tone) << c.option_unit;
  }
  doc.option_unit = kOptionNone;
  doc.image[27] |= 0x02;
  EXPECT_FALSE(SignallingCommandEnabled(32786, doc));
  EXPECT_FALSE(SignallingCommandEnabled(32789, doc));
}

}  // namespace
}  // namespace ql40
