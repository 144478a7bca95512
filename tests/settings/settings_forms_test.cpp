// The form logic of the Hardware, Option, Front Panel, Key Function and Channel Allocation
// dialogs, driven without a display: lists and their rules, each selection's effect, edit
// commits, OK writing only what its record owns, and Cancel putting everything back.

#include "settings/settings_forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "codeplug/bits.h"
#include "codeplug/codeplug.h"
#include "link/link_rig.h"
#include "resources/strings.h"
#include "settings/allocation_form.h"
#include "settings/hardware_form.h"
#include "settings/key_forms.h"
#include "settings/option_form.h"
#include "settings/settings_text_ids.h"
#include "signalling/paging.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::ScriptedPrompter;

std::unique_ptr<Codeplug> NewDoc() {
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  doc->CommitToImage();
  doc->modified = false;
  return doc;
}

// Offsets whose bytes differ between two images.
std::vector<int> Diff(const Image& a, const Image& b) {
  std::vector<int> out;
  for (int i = 0; i < kImageSize; ++i) {
    if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)]) out.push_back(i);
  }
  return out;
}

void SetCounts(Codeplug& doc, std::initializer_list<int> counts) {
  doc.channels.count = {};
  int g = 0;
  for (int c : counts) doc.channels.count[static_cast<std::size_t>(g++)] = c;
  int total = 0;
  for (int c : doc.channels.count) total += c;
  doc.channels.total = total;
  doc.channels.channels_left = doc.channels.capacity - total;
  for (int i = 0; i < total; ++i) doc.channels.records[static_cast<std::size_t>(i)].status |= 1;
  doc.CommitToImage();
  doc.RefreshFromImage();
  doc.modified = false;
}

// The codeplug as its image reads back.
Codeplug Reread(const Codeplug& doc) {
  Codeplug reread = doc;
  reread.RefreshFromImage();
  return reread;
}

void AssignKeys(Codeplug& doc, std::initializer_list<std::pair<int, int>> keys,
                std::initializer_list<std::pair<int, int>> toggles = {}) {
  KeyAssignment assignment;
  assignment.Decode(doc.image);
  for (const auto& [key, function] : keys) assignment.AssignKey(key, function);
  for (const auto& [toggle, function] : toggles) assignment.AssignToggle(toggle, function);
  assignment.Encode(doc.image, doc.option_unit);
}

int IndexOf(const std::vector<std::string>& items, const std::string& text) {
  const auto it = std::find(items.begin(), items.end(), text);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

// ---- Hardware -------------------------------------------------------------------------------

TEST(HardwareForm, BandListIsShortOutsideMaintenanceUnlessVhfLo) {
  auto doc = NewDoc();
  doc->ChangeBand(kBandUhf);
  doc->CommitToImage();
  ScriptedPrompter prompter({Answer::kYes});
  HardwareForm dealer(*doc, prompter, false);
  EXPECT_EQ(dealer.Items(HardwareForm::kBand), (std::vector<std::string>{"VHF", "UHF"}));
  EXPECT_EQ(dealer.Selection(HardwareForm::kBand), 1);
  dealer.Select(HardwareForm::kBand, 0);
  EXPECT_TRUE(prompter.Saw(res::kStrChangeBand));
  EXPECT_EQ(doc->hardware.band, kBandVhf);
  EXPECT_EQ(doc->hardware.channel_spacing, 2);
  EXPECT_EQ(dealer.Text(HardwareForm::kFirstIf), "21.80MHz");
  EXPECT_TRUE(dealer.outcome().band_changed);
  // The split waits for OK; then the image holds the band, its split and its frequencies.
  EXPECT_EQ(doc->default_split, BandDefaultSplit(kBandUhf));
  ASSERT_TRUE(dealer.Ok());
  EXPECT_EQ(doc->default_split, BandDefaultSplit(kBandVhf));
  EXPECT_EQ(bits::Get(doc->image[kOffsetBandModel], 7, 6), kBandVhf);
  EXPECT_EQ(Reread(*doc).channels.records[3].rx_frequency, BandDefaultFrequency(kBandVhf));

  auto lo = NewDoc();
  lo->ChangeBand(kBandVhfLo);
  lo->CommitToImage();
  HardwareForm lo_dealer(*lo, prompter, false);
  EXPECT_EQ(lo_dealer.Items(HardwareForm::kBand).size(), 3u);
  EXPECT_EQ(lo_dealer.Selection(HardwareForm::kBand), 1);
  HardwareForm service(*doc, prompter, true);
  EXPECT_EQ(service.Items(HardwareForm::kBand).size(), 3u);
}

TEST(HardwareForm, NewOscillatorSideMovesAndNamesUnstorableFrequenciesOnOk) {
  auto doc = NewDoc();
  doc->ChangeBand(kBandVhfLo);
  doc->hardware.injection = 1;  // oscillator above: 30.8 MHz can be stored
  const ChannelContext ctx =
      ChannelContext::From(doc->hardware, doc->option_unit, doc->default_split);
  doc->channels.CommitCellText(0, 4, " 30.80000", ctx);
  doc->channels.CommitCellText(1, 4, " 45.00000", ctx);
  doc->CommitToImage();
  ScriptedPrompter prompter;
  HardwareForm form(*doc, prompter, true);
  form.Select(HardwareForm::kLocalOffset, 0);
  EXPECT_FALSE(prompter.Saw(res::kStrFrequenciesMoved));  // nothing moves before OK
  ASSERT_TRUE(form.Ok());
  ASSERT_TRUE(prompter.Saw(res::kStrFrequenciesMoved));
  EXPECT_NE(prompter.messages().back().args.at(0).find("Channel 1 receive 30.80000 moves to"),
            std::string::npos);
  EXPECT_EQ(prompter.messages().back().args.at(0).find("Channel 2"), std::string::npos);
  // What the grid shows now is what the image holds.
  const Codeplug reread = Reread(*doc);
  EXPECT_NE(doc->channels.records[0].rx_frequency, 3080000);
  EXPECT_EQ(reread.channels.records[0].rx_frequency, doc->channels.records[0].rx_frequency);
  EXPECT_EQ(reread.channels.records[1].rx_frequency, 4500000);
}

TEST(HardwareForm, DeclinedBandChangeChangesNothing) {
  auto doc = NewDoc();
  const Image before = doc->image;
  const auto channels_before = doc->channels.records[5].rx_frequency;
  ScriptedPrompter prompter({Answer::kNo});
  HardwareForm form(*doc, prompter, true);
  form.Select(HardwareForm::kBand, 2);
  EXPECT_EQ(doc->hardware.band, kBandVhf);
  EXPECT_EQ(doc->channels.records[5].rx_frequency, channels_before);
  EXPECT_FALSE(doc->modified || form.outcome().band_changed);
  EXPECT_EQ(form.Selection(HardwareForm::kBand), 0);
  EXPECT_EQ(doc->image, before);
}

TEST(HardwareForm, ProductChangeRefitsGroupsAndPrunesKeys) {
  auto doc = NewDoc();
  SetCounts(*doc, {20, 20, 20, 5, 5});
  AssignKeys(*doc, {{kKeyA, kKeyFnLcdInvert}});
  ScriptedPrompter prompter({Answer::kYes});
  HardwareForm form(*doc, prompter, false);
  form.Select(HardwareForm::kProduct, kPt410);
  EXPECT_TRUE(prompter.Saw(res::kStrChangeProductType));
  EXPECT_EQ(std::vector<int>(doc->channels.count.begin(), doc->channels.count.begin() + 5),
            (std::vector<int>{16, 16, 16, 0, 0}));
  EXPECT_EQ(doc->channels.total, 48);
  // Lamp, [A]'s and toggle [B]'s LCD Invert go.
  EXPECT_EQ(form.keys().keys[kKeyLamp], kKeyFnNone);
  EXPECT_EQ(form.keys().keys[kKeyA], kKeyFnNone);
  EXPECT_EQ(form.keys().toggles[kToggleB], kToggleFnNone);
  EXPECT_TRUE(form.outcome().product_changed);
  // Back to the PT-610: no question, capacity grows again.
  form.Select(HardwareForm::kProduct, kPt610);
  EXPECT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(doc->channels.capacity, 512);
  ASSERT_TRUE(form.Ok());
  testing::ExpectBytes(doc->image, {{177, kKeyFnNone}, {174, kKeyFnNone}});
}

TEST(HardwareForm, EditsAreClampedAndShownCanonically) {
  auto doc = NewDoc();
  ScriptedPrompter prompter;
  HardwareForm form(*doc, prompter, true);
  EXPECT_EQ(form.Commit(HardwareForm::kSqRelease, "400").text, "320 msec");
  EXPECT_EQ(doc->hardware.sq_release, 63);
  EXPECT_EQ(form.Commit(HardwareForm::kSqRelease, "12").text, "10  msec");
  EXPECT_EQ(form.Commit(HardwareForm::kSqRelease, "").text, "5   msec");
  EXPECT_EQ(doc->hardware.sq_release, 0);
  EXPECT_EQ(form.Commit(HardwareForm::kScanPllB, "-7").text, "0  ");
  EXPECT_EQ(form.Commit(HardwareForm::kScanPllB, "999").text, "255");
  EXPECT_EQ(form.Commit(HardwareForm::kRefXtal, "123.4").text, "99.96MHz");   // 40 kHz steps
  EXPECT_EQ(form.Commit(HardwareForm::kFirstIf, "45.055").text, "45.06MHz");  // half up
  EXPECT_DOUBLE_EQ(doc->hardware.first_if, 45.055);
  EXPECT_TRUE(form.outcome().hardware_changed);
  EXPECT_TRUE(doc->modified);
}

TEST(HardwareForm, DealerMayOnlyChangeBandAndModel) {
  auto doc = NewDoc();
  ScriptedPrompter prompter;
  HardwareForm dealer(*doc, prompter, false);
  for (const FormControl& c : dealer.Controls()) {
    const bool open = c.id == HardwareForm::kBand || c.id == HardwareForm::kProduct;
    EXPECT_EQ(dealer.Enabled(c.id), open) << c.id;
  }
}

TEST(HardwareForm, CancelPutsBandChannelsAndConstantsBack) {
  auto doc = NewDoc();
  const HardwareSettings hw = doc->hardware;
  const auto rx = doc->channels.records[7].rx_frequency;
  const auto status = doc->channels.records[7].status;
  const Image before = doc->image;
  ScriptedPrompter prompter({Answer::kYes, Answer::kYes});
  HardwareForm form(*doc, prompter, true);
  form.Select(HardwareForm::kBand, 2);
  form.Select(HardwareForm::kProduct, kPt410);
  form.Commit(HardwareForm::kFirstIf, "10");
  form.Cancel();
  EXPECT_EQ(std::tuple(doc->hardware.band, doc->hardware.product_type, doc->hardware.first_if),
            std::tuple(hw.band, hw.product_type, hw.first_if));
  EXPECT_EQ(std::pair(doc->channels.records[7].rx_frequency, doc->channels.records[7].status),
            std::pair(rx, status));
  EXPECT_EQ(doc->channels.capacity, 512);
  EXPECT_FALSE(form.outcome().band_changed || form.outcome().product_changed ||
               form.outcome().hardware_changed);
  EXPECT_EQ(doc->image, before);
}

TEST(HardwareForm, OkWritesOnlyWhatChanged) {
  auto doc = NewDoc();
  const Image before = doc->image;
  ScriptedPrompter prompter;
  HardwareForm form(*doc, prompter, true);
  form.Commit(HardwareForm::kScanPllB, "77");
  form.Select(HardwareForm::kDcsRx, 1);
  ASSERT_TRUE(form.Ok());
  EXPECT_EQ(Diff(before, doc->image), (std::vector<int>{333, 375}));
  EXPECT_TRUE(doc->image[375] == 77 && bits::Test(doc->image[333], 7));
}

// ---- Option ---------------------------------------------------------------------------------

TEST(OptionForm, SubCpuListFollowsTheFirmware) {
  auto doc = NewDoc();
  doc->image[27] = static_cast<std::uint8_t>(4 << 3);  // SCBD-200, bit 2 clear
  doc->identity.firmware_version = 141;
  OptionForm old_fw(*doc, true);
  const auto items = old_fw.Items(OptionForm::kSubCpu);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[static_cast<std::size_t>(old_fw.Selection(OptionForm::kSubCpu))], "PT-Trunk");
  doc->identity.firmware_version = 142;
  OptionForm new_fw(*doc, true);
  EXPECT_EQ(new_fw.Items(OptionForm::kSubCpu).size(), 6u);
  EXPECT_EQ(new_fw.Selection(OptionForm::kSubCpu), 4);
  // On old firmware the fourth entry stores PT-Trunk.
  doc->image[27] = 0x04;
  doc->identity.firmware_version = 141;
  OptionForm choose(*doc, true);
  choose.Select(OptionForm::kSubCpu, 3);
  EXPECT_EQ(choose.record().option_unit, kOptionPtTrunk);
}

TEST(OptionForm, AccessoryAnswersReachKeysEncryptionTypeAndAni) {
  auto doc = NewDoc();
  doc->image[183] |= 0x80;  // Hi Level
  doc->image[188] |= 0x20;  // Option ANI
  AssignKeys(*doc, {{kKeyTopSel, kKeyFnAcc1}, {kKeyA, kKeyFnAcc2}});
  OptionForm form(*doc, true);
  EXPECT_EQ(form.encryption_type(), 1);
  form.Select(OptionForm::kEncryptionDevice, 0);  // Yes, no receiver: Hi Level may stay
  EXPECT_EQ(form.encryption_type(), 1);
  EXPECT_EQ(form.ani().type, 0);
  EXPECT_EQ(form.keys().keys[kKeyTopSel], kKeyFnAcc1);
  form.Select(OptionForm::kDtmfReceiver, 0);  // both fitted: KSE-40, the keys lose ACC
  EXPECT_EQ(form.encryption_type(), 0);
  EXPECT_EQ(form.keys().keys[kKeyTopSel], kKeyFnNone);
  EXPECT_EQ(form.keys().keys[kKeyA], kKeyFnNone);
  ASSERT_TRUE(form.Ok());
  EXPECT_FALSE(bits::Test(doc->image[183], 7) || bits::Test(doc->image[188], 5));  // Hi, ANI
  EXPECT_EQ(doc->image[173], kKeyFnNone);
  EXPECT_EQ(doc->image[27] & 0x03, 0);  // both fitted
}

TEST(OptionForm, NewOptionUnitEmptiesPagingAndClearsPrioritiesAndReferences) {
  auto doc = NewDoc();
  SetCounts(*doc, std::initializer_list<int>{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
  for (auto& p : doc->channels.priority) p = 0;
  for (int g = 0; g < 11; ++g) doc->channels.priority[static_cast<std::size_t>(g)] = 1;
  doc->channels.records[0].set_attribute_byte(3, 0x13);  // code 3
  doc->channels.records[1].set_attribute_byte(3, 0x1C);  // code 12: no paging slot
  PagingTable paging;
  paging.CommitCode(2, "123");
  paging.Encode(doc->image, doc->option_unit);
  doc->CommitToImage();
  ASSERT_EQ(doc->channels.priority[10], 1);
  OptionForm form(*doc, true);
  form.Select(OptionForm::kSubCpu, kOption2Tone);
  for (int g = 0; g < 10; ++g) EXPECT_EQ(doc->channels.priority[static_cast<std::size_t>(g)], 0);
  EXPECT_EQ(doc->channels.priority[10], 1);
  EXPECT_EQ(doc->channels.records[0].attribute_byte(3) & 0x1F, 0);
  EXPECT_EQ(doc->channels.records[1].attribute_byte(3), 0x1C);
  EXPECT_TRUE(doc->option_unit_changed);
  ASSERT_TRUE(form.Ok());
  for (int s = 0; s < kPagingSlotCount; ++s) EXPECT_TRUE(PagingSlotEmpty(doc->image, s)) << s;
  EXPECT_EQ(DecodeOptionUnit(doc->image[27]), kOption2Tone);
  EXPECT_TRUE(form.outcome().option_unit_changed);
}

TEST(OptionForm, PtTrunkKeepsPrioritiesAndPrunesAccessoryKeys) {
  auto doc = NewDoc();
  SetCounts(*doc, {4});
  doc->channels.priority[0] = 2;
  AssignKeys(*doc, {{kKeySideSel, kKeyFnAcc1}, {kKeyB, kKeyFnAcc2}});
  doc->CommitToImage();
  doc->identity.firmware_version = 150;
  OptionForm form(*doc, true);
  form.Select(OptionForm::kSubCpu, 5);
  EXPECT_EQ(doc->channels.priority[0], 2);
  EXPECT_EQ(form.keys().keys[kKeySideSel], kKeyFnAcc1);
  EXPECT_EQ(form.keys().keys[kKeyB], kKeyFnNone);
}

TEST(OptionForm, CancelLeavesTableFlagAndImageAsTheyWere) {
  auto doc = NewDoc();
  SetCounts(*doc, {4});
  doc->channels.priority[0] = 3;
  doc->channels.records[2].set_attribute_byte(3, 0x11);
  doc->CommitToImage();
  const Image before = doc->image;
  const ChannelTable table = doc->channels;
  OptionForm form(*doc, true);
  form.Select(OptionForm::kSubCpu, kOptionSubsig);
  form.Select(OptionForm::kLcd, 1);
  form.Cancel();
  EXPECT_EQ(doc->channels.priority, table.priority);
  EXPECT_EQ(doc->channels.records[2].attribute_byte(3), table.records[2].attribute_byte(3));
  EXPECT_FALSE(doc->option_unit_changed);
  EXPECT_FALSE(form.outcome().option_unit_changed);
  EXPECT_EQ(doc->image, before);
  EXPECT_TRUE(doc->modified);  // a change marks the codeplug even when cancelled
}

TEST(OptionForm, OkWritesOnlyItsBytesAndClearsEncryptionWithoutTheDevice) {
  auto doc = NewDoc();
  const Image before = doc->image;
  OptionForm form(*doc, false);
  EXPECT_FALSE(form.Enabled(OptionForm::kSubCpu));
  EXPECT_TRUE(form.Enabled(OptionForm::kSqThreshold));
  form.Select(OptionForm::kLcd, 1);
  form.Select(OptionForm::kSqThreshold, 12);
  ASSERT_TRUE(form.Ok());
  EXPECT_EQ(Diff(before, doc->image), (std::vector<int>{28, 29}));
  EXPECT_EQ(doc->image[29], 12);

  doc->channels.records[0].set_encryption(true);
  doc->CommitToImage();
  doc->option_unit_changed = false;
  OptionForm again(*doc, false);
  ASSERT_TRUE(again.Ok());
  const Codeplug reread = Reread(*doc);
  EXPECT_FALSE(reread.channels.records[0].encryption());
  EXPECT_TRUE(doc->option_unit_changed);
}

// ---- Front Panel ----------------------------------------------------------------------------

TEST(FrontPanelForm, RotaryModeExcludesGroupKeysAndOkWritesOnlyItsBits) {
  auto doc = NewDoc();
  AssignKeys(*doc, {{kKeyA, kKeyFnGroupUp}});
  ScriptedPrompter prompter;
  FrontPanelForm form(*doc, prompter);
  EXPECT_EQ(form.Items(FrontPanelForm::kRotaryMode), (std::vector<std::string>{"Channel"}));
  const Image before = doc->image;
  form.Select(FrontPanelForm::kSetMode, 0);
  form.Select(FrontPanelForm::kPttLock, 1);
  form.Select(FrontPanelForm::kHoldingTime, 3);
  ASSERT_TRUE(form.Ok());
  EXPECT_EQ(Diff(before, doc->image), (std::vector<int>{183, 186, 187}));
  EXPECT_TRUE(bits::Test(doc->image[187], 5) && bits::Get(doc->image[183], 3, 2) == 3);
  EXPECT_TRUE(prompter.messages().empty());
}

TEST(FrontPanelForm, DualWatchWithoutPriorityWarnsButSaves) {
  auto doc = NewDoc();
  for (auto& p : doc->channels.priority) p = 0;
  AssignKeys(*doc, {}, {{kToggleCentre, kToggleFnDualWatch}});
  ScriptedPrompter prompter;
  FrontPanelForm form(*doc, prompter);
  form.Select(FrontPanelForm::kDialLock, 0);
  ASSERT_TRUE(form.Ok());
  ASSERT_EQ(prompter.ids(), (std::vector<int>{res::kStrDualWatchNeedsPri}));
  EXPECT_EQ(prompter.messages()[0].icon, MessageIcon::kQuestion);
  EXPECT_FALSE(bits::Test(doc->image[186], 2));
  // With a priority channel somewhere there is nothing to say.
  SetCounts(*doc, {3});
  doc->channels.priority[0] = 1;
  ScriptedPrompter quiet;
  FrontPanelForm again(*doc, quiet);
  again.Ok();
  EXPECT_TRUE(quiet.messages().empty());
}

// ---- Key Function ---------------------------------------------------------------------------

TEST(KeyFunctionForm, ListsOfferEachFunctionOnce) {
  auto doc = NewDoc();
  KeyFunctionForm form(*doc);
  const int toggle_a = KeyFunctionForm::kFirstToggle;
  const int key_c = KeyFunctionForm::kFirstKey + kKeyC;
  form.Select(toggle_a, IndexOf(form.Items(toggle_a), "Scan            "));
  EXPECT_EQ(IndexOf(form.Items(key_c), "Scan            "), -1);
  EXPECT_GE(IndexOf(form.Items(toggle_a), "Scan            "), 0);  // its own stays
  EXPECT_EQ(form.Items(toggle_a)[static_cast<std::size_t>(form.Selection(toggle_a))],
            "Scan            ");
  // A group key takes the group positions off the toggle lists.
  form.Select(key_c, IndexOf(form.Items(key_c), "Group Down      "));
  EXPECT_EQ(IndexOf(form.Items(toggle_a + 1), "Group 1         "), -1);
  EXPECT_TRUE(doc->modified);
  ASSERT_TRUE(form.Ok());
  EXPECT_EQ(doc->image[179], kKeyFnGroupDown);
}

TEST(KeyFunctionForm, GroupRotaryModeAndPt410NarrowTheLists) {
  auto doc = NewDoc();
  KeyAssignment keys;
  keys.Decode(doc->image);
  keys.rotary_mode = 1;
  keys.Encode(doc->image, doc->option_unit);
  doc->hardware.product_type = kPt410;
  KeyFunctionForm form(*doc);
  for (int id = KeyFunctionForm::kFirstKey; id <= KeyFunctionForm::kLastToggle; ++id) {
    const auto items = form.Items(id);
    EXPECT_EQ(IndexOf(items, "Group UP        "), -1) << id;
    EXPECT_EQ(IndexOf(items, "Group 1         "), -1) << id;
    EXPECT_EQ(IndexOf(items, "LCD Invert      "), -1) << id;
  }
}

TEST(KeyFunctionForm, OpeningPrunesForPtTrunkAndKeepsUnknownValues) {
  auto doc = NewDoc();
  doc->image[175] = kKeyFnAcc2;  // [Monitor]
  {
    KeyFunctionForm form(*doc);
    const int monitor = KeyFunctionForm::kFirstKey + kKeyMonitor;
    EXPECT_EQ(form.Items(monitor)[static_cast<std::size_t>(form.Selection(monitor))],
              "ACC 2           ");
  }
  doc->image[27] = static_cast<std::uint8_t>(kOptionPtTrunk << 3);
  doc->image[176] = 30;  // [B]: no such function
  KeyFunctionForm trunk(*doc);
  EXPECT_EQ(doc->option_unit, kOptionPtTrunk);
  EXPECT_TRUE(doc->option_unit_changed);
  EXPECT_EQ(doc->image[175], 0);
  const int key_b = KeyFunctionForm::kFirstKey + kKeyB;
  const auto items = trunk.Items(key_b);
  ASSERT_GE(trunk.Selection(key_b), 0);
  EXPECT_EQ(items[static_cast<std::size_t>(trunk.Selection(key_b))], items.back());
  trunk.Ok();
  EXPECT_EQ(doc->image[176], 30);  // written back as it was
}

// ---- Channel Allocation ---------------------------------------------------------------------

constexpr int kCount1 = ChannelAllocationForm::kFirstCount;

TEST(ChannelAllocationForm, PrioritiesFollowTheirChannelsWhenGroupsMove) {
  auto doc = NewDoc();
  SetCounts(*doc, {10, 10, 10, 10});
  doc->channels.priority = {};
  doc->channels.priority[1] = 3;  // channel 13
  doc->channels.priority[2] = 9;  // channel 29
  doc->channels.priority[3] = 0;  // none: must not gain one
  ScriptedPrompter prompter;
  ChannelAllocationForm form(*doc, prompter);
  EXPECT_EQ(form.Commit(kCount1, "5").text, "005");
  EXPECT_EQ(form.Commit(kCount1 + 2, "4").text, "004");
  ASSERT_TRUE(form.Ok());
  // Still channel 13; channel 29 left group 3 (now 16..19); none stays none.
  EXPECT_EQ(std::tuple(doc->channels.priority[1], doc->channels.priority[2],
                       doc->channels.priority[3], doc->channels.total),
            std::tuple(8, 0, 0, 29));
  const Codeplug reread = Reread(*doc);
  EXPECT_EQ(std::pair(reread.channels.count[0], reread.channels.priority[1]), std::pair(5, 8));
}

TEST(ChannelAllocationForm, CountRuleClampsRefusesAndKeepsOneChannel) {
  auto doc = NewDoc();
  SetCounts(*doc, {255, 255, 2});
  ScriptedPrompter prompter;
  ChannelAllocationForm form(*doc, prompter);
  // Full: any rise is refused with the typed text kept.
  const FormCommit refused = form.Commit(kCount1 + 3, "1");
  EXPECT_FALSE(refused.accepted);
  EXPECT_EQ(refused.text, "1");
  EXPECT_EQ(prompter.ids(), (std::vector<int>{res::kStrTooManyChannels}));
  EXPECT_EQ(doc->channels.count[3], 0);
  EXPECT_EQ(doc->channels.channels_left, 0);
  // The per-group maximum is applied before the room is checked.
  EXPECT_EQ(form.Commit(kCount1 + 1, "100").text, "100");
  EXPECT_FALSE(form.Commit(kCount1 + 3, "300").accepted);
  EXPECT_EQ(form.Commit(kCount1 + 3, "150").text, "150");
  EXPECT_EQ(doc->channels.channels_left, 5);
  EXPECT_EQ(prompter.messages().size(), 2u);

  auto small = NewDoc();
  SetCounts(*small, {10, 5});
  small->channels.priority[1] = 2;
  ScriptedPrompter quiet;
  ChannelAllocationForm cut(*small, quiet);
  EXPECT_EQ(cut.Commit(kCount1, "300").text, "255");
  EXPECT_EQ(cut.Commit(kCount1 + 1, "-4").text, "000");  // an empty group has no priority
  EXPECT_EQ(small->channels.priority[1], 0);
  EXPECT_EQ(cut.Commit(kCount1, "0").text, "001");  // the last channel stays allocated
  EXPECT_EQ(small->channels.total, 1);
  EXPECT_TRUE(quiet.messages().empty());
}

TEST(ChannelAllocationForm, Pt410HasThreeGroupsOfSixteen) {
  auto doc = NewDoc();
  doc->hardware.product_type = kPt410;
  doc->channels.RefitToProduct(kPt410);
  doc->CommitToImage();
  doc->RefreshFromImage();
  ScriptedPrompter prompter;
  ChannelAllocationForm form(*doc, prompter);
  EXPECT_TRUE(form.Enabled(kCount1 + 2));
  for (int id :
       {kCount1 + 3, ChannelAllocationForm::kFirstTag + 3, ChannelAllocationForm::kFirstScan + 3})
    EXPECT_FALSE(form.Enabled(id)) << id;
  EXPECT_EQ(form.Commit(kCount1 + 1, "40").text, "016");
  // A disabled group's field takes nothing.
  form.Commit(kCount1 + 5, "9");
  EXPECT_EQ(doc->channels.count[5], 0);
}

TEST(ChannelAllocationForm, ScanListOffersWhatTheGroupCanDo) {
  auto doc = NewDoc();
  SetCounts(*doc, {4, 4});
  doc->channels.scan_mode[0] = 3;  // SCAN QTS from some image
  doc->channels.records[0].status |= 0x10;
  const int scan1 = ChannelAllocationForm::kFirstScan, scan2 = scan1 + 1;
  ScriptedPrompter prompter;
  {
    ChannelAllocationForm form(*doc, prompter);
    EXPECT_EQ(doc->channels.scan_mode[0], 2);  // no QTS without PT-Trunk
    EXPECT_EQ(form.Items(scan1), (std::vector<std::string>{"NONE    ", "SCAN    "}));
    EXPECT_EQ(form.Selection(scan1), 1);
    EXPECT_FALSE(form.Enabled(scan2));  // no channel of group 2 scans
    form.Cancel();
  }
  doc->option_unit = kOptionPtTrunk;
  ChannelAllocationForm trunk(*doc, prompter);
  EXPECT_EQ(trunk.Items(scan2), (std::vector<std::string>{"NONE    ", "QTS     "}));
  EXPECT_TRUE(trunk.Enabled(scan2));
  trunk.Select(scan2, 1);
  EXPECT_EQ(doc->channels.scan_mode[1], 1);
  EXPECT_EQ(doc->channels.current_group, 1);
  // A group emptied loses its scan mode.
  trunk.Commit(kCount1 + 1, "0");
  EXPECT_EQ(doc->channels.scan_mode[1], 0);
  EXPECT_FALSE(trunk.Enabled(scan2));
}

TEST(ChannelAllocationForm, CancelPutsCountsTagsAndScanModesBack) {
  auto doc = NewDoc();
  SetCounts(*doc, {6, 6, 6});
  doc->channels.records[7].status |= 0x20;
  doc->channels.scan_mode[1] = 2;
  doc->channels.SelectGroup(2);
  doc->CommitToImage();
  const ChannelTable before = doc->channels;
  const Image image = doc->image;
  ScriptedPrompter prompter;
  ChannelAllocationForm form(*doc, prompter);
  form.Commit(kCount1, "50");
  form.Commit(ChannelAllocationForm::kFirstTag + 1, "NEWTAG");
  form.Select(ChannelAllocationForm::kFirstScan + 1, 0);
  form.Cancel();
  const ChannelTable& t = doc->channels;
  EXPECT_EQ(std::tie(t.count, t.group_tag, t.scan_mode, t.current_group),
            std::tie(before.count, before.group_tag, before.scan_mode, before.current_group));
  EXPECT_EQ(doc->image, image);
}

TEST(ChannelAllocationForm, TagsAreCutAndUpperCased) {
  auto doc = NewDoc();
  ScriptedPrompter prompter;
  ChannelAllocationForm form(*doc, prompter);
  const int tag1 = ChannelAllocationForm::kFirstTag;
  EXPECT_EQ(form.Commit(tag1, "police dept").text, "POLICE D");
  EXPECT_EQ(form.Commit(tag1 + 1, "AB").text, "AB");
  ASSERT_TRUE(form.Ok());
  const Codeplug reread = Reread(*doc);
  EXPECT_EQ(reread.channels.group_tag[0], "POLICE D");
  EXPECT_EQ(reread.channels.group_tag[1].substr(0, 2), "AB");
}

TEST(ChannelAllocationForm, OkAsksForTheUpdateOnlyWhenTheTotalGrows) {
  auto doc = NewDoc();
  SetCounts(*doc, {10, 10});
  std::vector<std::pair<int, int>> calls;
  ScriptedPrompter prompter;
  {
    ChannelAllocationForm form(*doc, prompter, [&](int a, int b) { calls.emplace_back(a, b); });
    form.Commit(kCount1, "4");
    form.Commit(kCount1 + 1, "16");
    form.Ok();
  }
  EXPECT_TRUE(calls.empty());  // 20 again
  {
    ChannelAllocationForm form(*doc, prompter, [&](int a, int b) { calls.emplace_back(a, b); });
    form.Commit(kCount1 + 2, "7");
    form.Ok();
  }
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{20, 27}}));
}

// ---- Channel update from the radio ----------------------------------------------------------

std::vector<Frequency> Frequencies(const Codeplug& doc) {
  std::vector<Frequency> out;
  for (const auto& r : doc.channels.records) out.push_back(r.rx_frequency);
  return out;
}

// A radio whose channels 24 to 35 are at 146.52 MHz.
Image RadioWithChannels(int band) {
  auto radio = std::make_unique<Codeplug>();
  radio->ResetToDefaults();
  radio->ChangeBand(band);
  radio->channels.count = {};
  radio->channels.count[0] = 40;
  for (int i = 0; i < 40; ++i) {
    auto& r = radio->channels.records[static_cast<std::size_t>(i)];
    r.status |= 1;
    if (i >= 24 && i < 36) r.rx_frequency = r.tx_frequency = band == kBandUhf ? 46052000 : 14652000;
  }
  radio->CommitToImage();
  return radio->image;
}

TEST(ChannelUpdate, ReadsTheNewChannelsFromARadioOfTheSameBand) {
  testing::LinkRig rig(sim::RadioOptions{}, RadioWithChannels(kBandVhf));
  SetCounts(rig.doc, {26});
  int reading = 0;
  const auto report =
      UpdateChannelsFromRadio(rig.doc, rig.Env().open_port, 26, 33, [&] { ++reading; });
  EXPECT_TRUE(report.same_band);
  EXPECT_EQ(std::tuple(reading, report.channels_read, report.failures), std::tuple(1, 7, 0));
  for (int i = 26; i < 33; ++i) {
    EXPECT_EQ(rig.doc.channels.records[static_cast<std::size_t>(i)].rx_frequency, 14652000) << i;
  }
  EXPECT_NE(rig.doc.channels.records[25].rx_frequency, 14652000);  // not asked for
  EXPECT_NE(rig.doc.channels.records[33].rx_frequency, 14652000);
  // Blocks 6 + 26/4 = 12 and 13: the first one once for channels 26 and 27, then 28..31, 32.
  const auto& reads = rig.radio->stats().block_reads;
  EXPECT_EQ(std::tuple(reads[12], reads[13], reads[14]), std::tuple(1, 1, 1));
  EXPECT_TRUE(rig.prompter.messages().empty());
}

// No port at all is the dialog's test (tests/ui); here a radio that cannot or does not help.
TEST(ChannelUpdate, OtherBandSwitchedOffOrBadLineLeaveTheChannels) {
  const Image vhf = RadioWithChannels(kBandVhf);
  {
    testing::LinkRig rig(sim::RadioOptions{}, RadioWithChannels(kBandUhf));
    const auto before = Frequencies(rig.doc);
    const auto report = UpdateChannelsFromRadio(rig.doc, rig.Env().open_port, 26, 30);
    EXPECT_TRUE(report.radio_answered);
    EXPECT_FALSE(report.same_band);
    EXPECT_EQ(Frequencies(rig.doc), before);
  }
  {
    // A radio that needs switching on does not answer: nothing is read, nothing is asked.
    testing::LinkRig rig(testing::Options([](sim::RadioOptions& o) { o.need_power_cycle = true; }),
                         vhf);
    const auto report = UpdateChannelsFromRadio(rig.doc, rig.Env().open_port, 26, 30);
    EXPECT_TRUE(report.port_opened);
    EXPECT_FALSE(report.radio_answered);
    EXPECT_EQ(rig.radio->stats().block_reads[12], 0);
    EXPECT_TRUE(rig.prompter.messages().empty());
  }
  {
    // The line dies after the band check: the reading gives up after six failures.
    testing::LinkRig rig(sim::RadioOptions{}, vhf);
    rig.configure = [](testing::WirePort& port) { port.fail_reads_from = 12; };
    const auto report = UpdateChannelsFromRadio(rig.doc, rig.Env().open_port, 26, 40);
    EXPECT_TRUE(report.same_band);
    EXPECT_EQ(std::pair(report.failures, report.channels_read), std::pair(6, 0));
  }
}

}  // namespace
}  // namespace ql40
