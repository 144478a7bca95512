// Form logic of the Scan Parameters, Power Saving, Emergency, Marketing Parameters and
// Miscellaneous dialogs: what they show, what typed values become, and which bytes OK writes.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "codeplug/codeplug.h"
#include "settings/emergency_form.h"
#include "settings/form_model.h"
#include "settings/key_assignment.h"
#include "settings/marketing_form.h"
#include "settings/misc_form.h"
#include "settings/power_form.h"
#include "settings/scan_form.h"

namespace ql40 {
namespace {

// Bits each dialog may change, by byte; every other bit of the image must stay.
using OwnedBits = std::map<int, int>;

Codeplug NoisyCodeplug(std::uint32_t seed) {
  Codeplug doc;
  doc.ResetToDefaults();
  for (auto& b : doc.image) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(seed >> 24);
  }
  doc.channels.count = {10, 5, 8};
  doc.channels.total = 23;
  return doc;
}

void ExpectOnlyOwnedBitsChanged(const Image& before, const Image& after, const OwnedBits& owned) {
  for (std::size_t i = 0; i < before.size(); ++i) {
    const auto it = owned.find(static_cast<int>(i));
    const int mask = it == owned.end() ? 0 : it->second;
    EXPECT_EQ(before[i] & ~mask & 0xFF, after[i] & ~mask & 0xFF) << "byte " << i;
  }
}

// Moves every enabled list of a form to its last entry, so that OK has something to write.
void SelectLastEverywhere(FormModel& form) {
  for (const FormControl& c : form.Controls()) {
    if (c.kind != FormControlKind::kList || !form.Enabled(c.id)) continue;
    const int count = static_cast<int>(form.Items(c.id).size());
    if (count > 0) form.Select(c.id, count - 1);
  }
}

OwnedBits GeneralSettingsBits() {
  OwnedBits owned = {{170, 0xFF}, {171, 0xFF}, {180, 0x04}, {182, 0x82}, {183, 0xF3}, {186, 0xE0},
                     {187, 0x10}, {188, 0xC0}, {189, 0xFF}, {190, 0xFF}, {191, 0xFF}};
  for (int i = 640; i < 648; ++i) owned[i] = 0xFF;
  return owned;
}

TEST(ScanForm, HomeChannelIsShownOverAllGroupsAndStoredAsGroupAndPosition) {
  Codeplug doc = NoisyCodeplug(1);
  ScanForm form(doc);
  EXPECT_EQ(form.Commit(ScanForm::kHomeChannel, "12").text, "12  (Group 2 )");
  EXPECT_TRUE(doc.modified);
  form.Ok();
  EXPECT_EQ(doc.image[91], 1);
  EXPECT_EQ(doc.image[90], 1);

  // Beyond the 23 channels in use, or beyond 255: not taken, the old number shows again.
  EXPECT_EQ(form.Commit(ScanForm::kHomeChannel, "24").text, "12  (Group 2 )");
  EXPECT_EQ(form.Commit(ScanForm::kHomeChannel, "0").text, "1   (Group 1 )");
  EXPECT_EQ(form.Commit(ScanForm::kHomeChannel, "23").text, "23  (Group 3 )");
  doc.channels.count = {255, 255};
  doc.channels.total = 510;
  EXPECT_EQ(form.Commit(ScanForm::kHomeChannel, "256").text, "23  (Group 3 )");
}

TEST(ScanForm, OkWritesOnlyTheScanBits) {
  Codeplug doc = NoisyCodeplug(2);
  const Image before = doc.image;
  ScanForm form(doc);
  doc.modified = false;
  form.Select(ScanForm::kTalkBack, 1);
  EXPECT_TRUE(doc.modified);  // at once, whatever OK or Cancel do later
  SelectLastEverywhere(form);
  form.Commit(ScanForm::kHomeChannel, "7");
  form.Ok();
  ExpectOnlyOwnedBitsChanged(
      before, doc.image,
      {{90, 0xFF}, {91, 0xFF}, {168, 0xFF}, {169, 0xFF}, {180, 0x03}, {186, 0x18}, {187, 0x0E}});
  EXPECT_EQ(doc.image[168], 10);
  EXPECT_EQ(doc.image[169], 0xFF);
}

TEST(PowerForm, TypedValuesAndTheirCanonicalText) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image[190] = 100;  // no gain level of the list
  PowerForm form(doc);
  EXPECT_EQ(form.Selection(PowerForm::kMicGain), 2);
  EXPECT_EQ(form.Items(PowerForm::kMicGain)[2], "Standard");
  EXPECT_EQ(form.Text(PowerForm::kPowerOnTag), "SELFTEST");
  EXPECT_EQ(form.Commit(PowerForm::kPowerOnTag, "abc").text, "ABC     ");
  EXPECT_EQ(form.Commit(PowerForm::kPowerOnTag, "LONGER THAN 8").text, "LONGER T");
  EXPECT_EQ(form.Commit(PowerForm::kBeepLevel, "0").text, "1 ");
  EXPECT_EQ(form.Commit(PowerForm::kBeepLevel, "99").text, "16");
  EXPECT_EQ(form.Commit(PowerForm::kAfVrMin, "300").text, "255");
  EXPECT_EQ(form.Commit(PowerForm::kAfVrMin, "x").text, "0  ");
  form.Ok();
  EXPECT_EQ(doc.image[191], 15);
  EXPECT_EQ(doc.image[189], 0);
  EXPECT_EQ(doc.image[190], 122);  // the default gain is written, since the list showed it
}

TEST(PowerForm, OkKeepsTheBytesOfOtherRecords) {
  Codeplug doc = NoisyCodeplug(3);
  doc.image[182] |= 0x10;  // emergency channel CURRENT
  const Image before = doc.image;
  PowerForm form(doc);
  SelectLastEverywhere(form);
  form.Commit(PowerForm::kPowerOnTag, "HELLO");
  form.Ok();
  ExpectOnlyOwnedBitsChanged(before, doc.image, GeneralSettingsBits());
  EXPECT_TRUE(doc.image[182] & 0x10);
}

TEST(EmergencyForm, CurrentChannelOnlyFromFirmware152) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image[185] = 0x80;  // HOME
  doc.image[182] = 0x10;  // CURRENT
  doc.identity.firmware_version = 151;
  EmergencyForm old_radio(doc);
  EXPECT_EQ(old_radio.Items(EmergencyForm::kChannel).size(), 2u);
  EXPECT_EQ(old_radio.Selection(EmergencyForm::kChannel), 1);
  old_radio.Select(EmergencyForm::kChannel, 2);  // no such entry here
  EXPECT_EQ(old_radio.Selection(EmergencyForm::kChannel), 1);

  doc.identity.firmware_version = 152;
  EmergencyForm form(doc);
  EXPECT_EQ(form.Items(EmergencyForm::kChannel).back(), "CURRENT");
  EXPECT_EQ(form.Selection(EmergencyForm::kChannel), 2);

  Codeplug noisy = NoisyCodeplug(4);
  noisy.identity.firmware_version = 152;
  const Image before = noisy.image;
  EmergencyForm all(noisy);
  SelectLastEverywhere(all);
  all.Ok();
  ExpectOnlyOwnedBitsChanged(before, noisy.image,
                             {{182, 0x11}, {184, 0xFF}, {185, 0xFF}, {187, 0xC0}});
  EXPECT_EQ(noisy.image[185] & 0x80, 0);  // CURRENT is not HOME
  EXPECT_EQ(noisy.image[182] & 0x10, 0x10);
}

TEST(MarketingForm, NumberClampedStoredInBcdAndPutBackByCancel) {
  Codeplug doc = NoisyCodeplug(5);
  doc.file_loaded = true;
  doc.image[192] = 0x00;
  doc.image[193] = 0x42;
  const Image before = doc.image;
  {
    MarketingForm form(doc);
    EXPECT_EQ(form.Text(MarketingForm::kMarketApplication), "42  ");
    EXPECT_FALSE(form.Enabled(MarketingForm::kSerialNumber));
    EXPECT_EQ(form.Find(MarketingForm::kSerialNumber)->commit, FormEditCommit::kReadOnly);
    EXPECT_EQ(form.Commit(MarketingForm::kMarketApplication, "5555").text, "5555");
    EXPECT_EQ(doc.identity.market_application, 5555);
    form.Cancel();
    EXPECT_EQ(doc.identity.market_application, 42);
    EXPECT_EQ(doc.image, before);
  }
  MarketingForm form(doc);
  EXPECT_EQ(form.Commit(MarketingForm::kMarketApplication, "1234").text, "1234");
  EXPECT_EQ(form.Commit(MarketingForm::kMarketApplication, "99999").text, "9999");
  form.Commit(MarketingForm::kMarketApplication, "1234");
  form.Ok();
  ExpectOnlyOwnedBitsChanged(before, doc.image, {{192, 0xFF}, {193, 0xFF}});
  EXPECT_EQ(doc.image[192], 0x12);
  EXPECT_EQ(doc.image[193], 0x34);
}

TEST(MiscForm, EncryptionTypeRuleAndDefaultSplit) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.default_split = 5.0;
  doc.image[27] &= ~0x03;  // encryption device and DTMF receiver fitted
  doc.image[183] |= 0x80;  // Hi Level stored
  {
    MiscForm form(doc);
    EXPECT_FALSE(form.Enabled(MiscForm::kEncryptionType));
    EXPECT_EQ(form.Items(MiscForm::kEncryptionType)[form.Selection(MiscForm::kEncryptionType)],
              "KSE-40  ");
    form.Select(MiscForm::kEncryptionType, 1);
    EXPECT_EQ(form.Selection(MiscForm::kEncryptionType), 0);
    EXPECT_EQ(form.Text(MiscForm::kDefaultSplit), "5.0   MHz");
    EXPECT_EQ(form.Commit(MiscForm::kDefaultSplit, "-150").text, "-99.9 MHz");
    EXPECT_DOUBLE_EQ(doc.default_split, -99.9);
    EXPECT_EQ(form.Commit(MiscForm::kDefaultSplit, "1.26").text, "1.3   MHz");
    EXPECT_DOUBLE_EQ(doc.default_split, 1.3);  // the split is what the field shows
    form.Cancel();
    EXPECT_DOUBLE_EQ(doc.default_split, 5.0);
  }
  doc.image[27] |= 0x02;  // no DTMF receiver: Hi Level possible
  MiscForm form(doc);
  EXPECT_TRUE(form.Enabled(MiscForm::kEncryptionType));
  EXPECT_EQ(form.Selection(MiscForm::kEncryptionType), 1);
  form.Select(MiscForm::kTailElimination, 2);
  form.Ok();
  EXPECT_EQ(doc.image[183] & 0xE0, 0xE0);
}

TEST(MiscForm, OkWritesGeneralSettingsAndKeysOnly) {
  Codeplug doc = NoisyCodeplug(6);
  doc.option_unit = kOptionPtTrunk;
  const Image before = doc.image;
  MiscForm form(doc);
  SelectLastEverywhere(form);
  form.Ok();
  OwnedBits owned = GeneralSettingsBits();
  for (int key = 0; key < kKeyCount; ++key) owned[KeyByteOffset(key)] = 0xFF;
  owned[181] = 0xFF;
  owned[180] |= 0xF8;  // key record bits written with the key codes
  owned[183] |= 0x0C;
  owned[186] |= 0x07;
  owned[187] |= 0x20;
  ExpectOnlyOwnedBitsChanged(before, doc.image, owned);
}

}  // namespace
}  // namespace ql40
