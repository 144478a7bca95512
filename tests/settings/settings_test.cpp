// The settings records: defaults, round trips over scrambled images, each record's rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "resources/settings_labels.h"
#include "settings/default_settings.h"
#include "settings/emergency_settings.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"
#include "settings/option_settings.h"
#include "settings/scan_settings.h"
#include "signalling/dtmf.h"
#include "signalling/paging.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

GroupCounts Counts(std::initializer_list<int> first) {
  GroupCounts counts{};
  int g = 0;
  for (int c : first) counts[g++] = c;
  return counts;
}

Image PatternImage(std::uint32_t seed) {
  Image image{};
  for (auto& b : image) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(seed >> 24);
  }
  return image;
}

template <typename Record>
Record Decoded(const Image& image) {
  Record r;
  r.Decode(image);
  return r;
}

TEST(DefaultSettings, NewImageHoldsEveryRecordsDefaults) {
  Image image{};
  EncodeDefaultSettings(image, Counts({16}), 16);
  const std::map<int, int> expected = {
      {27, 0x87},  {28, 0x08},  {29, 0x08},  {168, 4},    {169, 0x33}, {170, 0x0B}, {171, 0x60},
      {174, 2},    {175, 1},    {180, 0x95}, {181, 0x30}, {184, 0x33}, {185, 0x82}, {186, 0x15},
      {187, 0x0F}, {188, 0x86}, {189, 2},    {190, 122},  {191, 9},    {384, 0x8D}, {385, 0xE6}};
  for (int offset = 0; offset < 1024; ++offset) {
    int want = 0;
    if (auto it = expected.find(offset); it != expected.end()) want = it->second;
    if (offset >= 482 && offset <= 501) want = 0xFF;  // empty paging slots
    if (offset >= 640 && offset <= 647) want = CharToTagSymbol("SELFTEST"[offset - 640]);
    EXPECT_EQ(image[offset], want) << "byte " << offset;
  }
  // Every record reads its defaults back.
  EXPECT_TRUE(Decoded<OptionSettings>(image) == OptionSettings{});
  EXPECT_TRUE(Decoded<KeyAssignment>(image) == KeyAssignment{});
  EXPECT_TRUE(Decoded<GeneralSettings>(image) == GeneralSettings{});
  EXPECT_TRUE(Decoded<AniSettings>(image) == AniSettings{});
  EXPECT_TRUE(Decoded<DtmfSettings>(image) == DtmfSettings{});
  EXPECT_TRUE(Decoded<TwoToneParameters>(image) == TwoToneParameters{});
  EXPECT_TRUE(Decoded<PagingTable>(image) == PagingTable{});
  ScanSettings scan;
  scan.Decode(image, Counts({16}));
  EXPECT_TRUE(scan == ScanSettings{});
  EmergencySettings emergency;
  emergency.Decode(image, 152);
  EXPECT_TRUE(emergency == EmergencySettings{});
}

// Bits a record owns: bytes first..last under a mask. Everything else must stay as it was.
struct Owned {
  int first, last, mask;
};

int OwnedMask(std::initializer_list<Owned> owned, int offset) {
  int mask = 0;
  for (const Owned& o : owned) {
    if (offset >= o.first && offset <= o.last) mask |= o.mask;
  }
  return mask;
}

// Decode, encode, decode: same record, only owned bits changed, the same bytes a second time.
template <typename Decode, typename Encode>
void ExpectRoundTrip(std::initializer_list<Owned> owned, Decode decode, Encode encode) {
  for (std::uint32_t seed : {1u, 7u, 12345u, 99u}) {
    const Image before = PatternImage(seed);
    const auto first = decode(before);
    Image after = before;
    encode(first, after);
    for (int i = 0; i < kImageSize; ++i) {
      ASSERT_EQ((before[i] ^ after[i]) & ~OwnedMask(owned, i), 0) << "byte " << i;
    }
    const auto second = decode(after);
    ASSERT_TRUE(first == second) << "seed " << seed;
    Image again = after;
    encode(second, again);
    ASSERT_EQ(again, after) << "seed " << seed;
  }
}

template <typename Record>
auto Decoder() {
  return [](const Image& im) { return Decoded<Record>(im); };
}
auto Encoder() {
  return [](const auto& r, Image& im) { r.Encode(im); };
}

TEST(SettingsRecords, RoundTripsKeepBitsTheyDoNotOwn) {
  // clang-format off
  ExpectRoundTrip({{27, 29, 0xFF}}, Decoder<OptionSettings>(), Encoder());
  ExpectRoundTrip({{188, 188, 0x3F}, {386, 401, 0xFF}}, Decoder<AniSettings>(), Encoder());
  ExpectRoundTrip({{187, 187, 0x01}, {384, 384, 0xFF}, {385, 385, 0xF3}},
                  Decoder<DtmfSettings>(), Encoder());
  ExpectRoundTrip({{402, 481, 0xFF}}, Decoder<DtmfCodeList>(), Encoder());
  ExpectRoundTrip({{385, 385, 0x4F}}, Decoder<TwoToneParameters>(), Encoder());
  ExpectRoundTrip({{482, 501, 0xFF}}, Decoder<PagingTable>(),
                  [](const PagingTable& r, Image& im) { r.Encode(im, kOptionNone); });
  for (int unit : {kOptionNone, kOptionPtTrunk}) {
    ExpectRoundTrip({{172, 179, 0xFF}, {180, 180, 0xF8}, {181, 181, 0xFF}, {183, 183, 0x0C},
                     {186, 186, 0x07}, {187, 187, 0x20}},
                    [unit](const Image& im) {
                      auto r = Decoded<KeyAssignment>(im);
                      r.PruneForOptionUnit(unit);
                      return r;
                    },
                    [unit](const KeyAssignment& r, Image& im) { r.Encode(im, unit); });
  }
  const GroupCounts counts = Counts({10, 5, 8, 0, 30});
  ExpectRoundTrip({{90, 91, 0xFF}, {168, 169, 0xFF}, {180, 180, 0x03}, {186, 186, 0x18},
                   {187, 187, 0x0E}},
                  [&](const Image& im) {
                    ScanSettings r;
                    r.Decode(im, counts);
                    r.home_channel = std::min(r.home_channel, 23);  // may lie beyond: clip
                    r.home_group = GroupOfChannelNumber(r.home_channel, counts);
                    return r;
                  },
                  [&](const ScanSettings& r, Image& im) { r.Encode(im, counts); });
  ExpectRoundTrip({{170, 171, 0xFF}, {180, 180, 0x04}, {182, 182, 0x82}, {183, 183, 0xF3},
                   {186, 186, 0xE0}, {187, 187, 0x10}, {188, 188, 0xC0}, {189, 191, 0xFF},
                   {640, 647, 0xFF}},
                  [](const Image& im) {
                    auto r = Decoded<GeneralSettings>(im);
                    r.ApplyEncryptionTypeRule(im);
                    return r;
                  },
                  Encoder());
  for (int firmware : {151, 152}) {
    ExpectRoundTrip({{182, 182, 0x11}, {184, 185, 0xFF}, {187, 187, 0xC0}},
                    [firmware](const Image& im) {
                      EmergencySettings r;
                      r.Decode(im, firmware);
                      return r;
                    },
                    Encoder());
  }
  for (int format : {kToneStandard, kToneUserDefined}) {
    ExpectRoundTrip({{482, 501, 0xFF}},
                    [format](const Image& im) {
                      int f = format;
                      TwoToneTable r;
                      r.Decode(im, f);
                      return r;
                    },
                    [](const TwoToneTable& r, Image& im) { r.Encode(im, kOption2Tone); });
  }
  // clang-format on
}

TEST(OptionSettings, AccessoryByteAndSubCpuList) {
  Image image{};
  image[27] = 0x2C;  // bit 2 set: no option unit, whatever bits 6-3 say
  OptionSettings option;
  option.Decode(image);
  EXPECT_EQ(option.option_unit, kOptionNone);
  EXPECT_TRUE(option.HasEncryptionDevice());
  option.Encode(image);
  EXPECT_EQ(image[27], 0x04);
  image[27] = 0x28;
  option.Decode(image);
  EXPECT_EQ(option.option_unit, kOptionPtTrunk);

  EXPECT_EQ(SubCpuCodeOfIndex(3, 142), kOptionScb100);
  EXPECT_EQ(SubCpuIndexOfCode(9, 150), -1);
  EXPECT_EQ(SubCpuCodeOfIndex(99, 141), kOptionPtTrunk);
}

TEST(ScanSettings, HomeChannelIsStoredAsGroupAndPosition) {
  const GroupCounts counts = Counts({10, 5, 8});
  ScanSettings scan;
  EXPECT_TRUE(scan.CommitHomeChannel(12, counts, 23));
  EXPECT_EQ(scan.HomeChannelText(), "12  (Group 2 )");
  EXPECT_FALSE(scan.CommitHomeChannel(-3, counts, 23));  // refused, the number stays
  EXPECT_EQ(scan.home_channel, 12);

  // A home channel in group 18 reads back in group 18.
  GroupCounts many{};
  many.fill(1);
  EXPECT_TRUE(scan.CommitHomeChannel(18, many, 20));
  Image image{};
  scan.Encode(image, many);
  EXPECT_EQ(image[91], 17);
  ScanSettings back;
  back.Decode(image, many);
  EXPECT_EQ(back.home_channel, 18);
  EXPECT_EQ(back.home_group, 18);
}

TEST(GeneralSettings, TagPaddingAndEncryptionRule) {
  Image image{};
  image[27] = 0x02;  // encryption device fitted, no DTMF receiver
  GeneralSettings general;
  general.Decode(image);
  general.encryption_type = 1;
  general.CommitPowerOnTag("abc");
  general.Encode(image);
  EXPECT_EQ(image[183] & 0x80, 0x80);  // Hi Level
  EXPECT_EQ(image[640 + 3], 36);       // padded with the space symbol

  image[27] = 0x00;  // a DTMF receiver forces KSE-40
  EXPECT_TRUE(GeneralSettings::EncryptionTypeForced(image));
  general.Encode(image);
  EXPECT_EQ(image[183] & 0x80, 0);
  EXPECT_EQ(general.encryption_type, 0);  // the record holds what the image got
  image[27] = 0x03;                       // no DTMF receiver, no encryption device: forced too
  EXPECT_TRUE(GeneralSettings::EncryptionTypeForced(image));
}

bool Offers(const std::vector<int>& list, int function) {
  return std::find(list.begin(), list.end(), function) != list.end();
}

TEST(KeyAssignment, OfferedFunctionsFollowTheRules) {
  KeyAssignment keys;  // defaults: Monitor, Lamp, toggles Lo Power / None / LCD Invert
  EXPECT_EQ(keys.OfferedKeyFunctions(kKeyA, kPt610, kOptionNone),
            (std::vector<int>{0, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 19, 20}));
  EXPECT_EQ(keys.OfferedKeyFunctions(kKeyMonitor, kPt610, kOptionNone),
            (std::vector<int>{0, 1, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 20}));
  EXPECT_TRUE(Offers(keys.OfferedKeyFunctions(kKeyTopSel, kPt610, kOptionNone), kKeyFnEmergency));

  // A function on a toggle position is not offered to a key, and the other way round.
  EXPECT_TRUE(keys.AssignToggle(kToggleA, kToggleFnScan));
  EXPECT_FALSE(Offers(keys.OfferedKeyFunctions(kKeyC, kPt610, kOptionNone), kKeyFnScan));
  EXPECT_TRUE(keys.AssignKey(kKeyC, kKeyFnLoPower));
  EXPECT_FALSE(Offers(keys.OfferedToggleFunctions(kToggleCentre, kPt610), kToggleFnLoPower));
  EXPECT_TRUE(Offers(keys.OfferedToggleFunctions(kToggleA, kPt610), kToggleFnScan));

  // Group keys and group toggle positions exclude each other and the rotary Group mode.
  EXPECT_TRUE(Offers(keys.OfferedToggleFunctions(kToggleCentre, kPt610), kToggleFnGroup1));
  keys.AssignKey(kKeyA, kKeyFnGroupUp);
  EXPECT_FALSE(Offers(keys.OfferedToggleFunctions(kToggleCentre, kPt610), kToggleFnGroup1));
  EXPECT_EQ(keys.OfferedRotaryModes(), std::vector<int>{0});
  keys.AssignKey(kKeyA, kKeyFnNone);
  EXPECT_EQ(keys.OfferedRotaryModes(), (std::vector<int>{0, 1}));
  keys.rotary_mode = 1;
  for (int k = 0; k < kKeyCount; ++k) {
    EXPECT_FALSE(Offers(keys.OfferedKeyFunctions(k, kPt610, kOptionNone), kKeyFnGroupUp));
  }
  EXPECT_FALSE(Offers(keys.OfferedToggleFunctions(kToggleCentre, kPt610), kToggleFnGroup1));

  // PT-410 has no LCD inversion; PT-Trunk keeps ACC 1 for the SEL keys and drops ACC 2.
  keys.AssignToggle(kToggleB, kToggleFnNone);
  EXPECT_FALSE(Offers(keys.OfferedKeyFunctions(kKeyB, kPt410, kOptionNone), kKeyFnLcdInvert));
  EXPECT_FALSE(Offers(keys.OfferedToggleFunctions(kToggleB, kPt410), kToggleFnLcdInvert));
  EXPECT_FALSE(Offers(keys.OfferedKeyFunctions(kKeyB, kPt610, kOptionPtTrunk), kKeyFnAcc1));
  EXPECT_TRUE(Offers(keys.OfferedKeyFunctions(kKeySideSel, kPt610, kOptionPtTrunk), kKeyFnAcc1));
  EXPECT_FALSE(Offers(keys.OfferedKeyFunctions(kKeySideSel, kPt610, kOptionPtTrunk), kKeyFnAcc2));

  // Out-of-range requests are refused without effect.
  EXPECT_FALSE(keys.AssignKey(8, kKeyFnScan));
  EXPECT_FALSE(keys.AssignKey(kKeyA, 21));
  EXPECT_FALSE(keys.AssignToggle(kToggleA, 13));
  EXPECT_TRUE(keys.OfferedKeyFunctions(-1, kPt610, kOptionNone).empty());
}

TEST(KeyAssignment, MarksFollowAssignmentsAndDecoding) {
  KeyAssignment keys;
  EXPECT_TRUE(keys.InUse(KeyFunctionIdentity(kKeyFnMonitor)));
  EXPECT_TRUE(keys.InUse(18));  // LCD Invert on toggle [B]
  keys.AssignKey(kKeyMonitor, kKeyFnScan);
  EXPECT_FALSE(keys.InUse(KeyFunctionIdentity(kKeyFnMonitor)));
  EXPECT_TRUE(keys.InUse(ToggleFunctionIdentity(kToggleFnScan)));

  // A function held twice by a damaged image stays marked while either still holds it.
  Image image{};
  image[177] = kKeyFnScan;
  image[176] = kKeyFnScan;
  image[172] = 200;  // no such function: kept as it is
  keys.Decode(image);
  keys.AssignKey(kKeyA, kKeyFnNone);
  EXPECT_TRUE(keys.InUse(KeyFunctionIdentity(kKeyFnScan)));
  EXPECT_EQ(res::LabelOr(res::kKeyFunctions, keys.keys[kKeySideSel]), "?(200)");
  keys.Encode(image, kOptionNone);
  EXPECT_EQ(image[172], 200);
}

TEST(KeyAssignment, PruningForOptionUnitAndModel) {
  Image image{};
  image[175] = kKeyFnAcc2;  // [Monitor]
  image[177] = kKeyFnAcc1;  // [A]
  image[173] = kKeyFnAcc1;  // [TOP SEL]
  KeyAssignment keys;
  keys.Decode(image);
  EXPECT_EQ(res::LabelOr(res::kKeyFunctions, keys.keys[kKeyMonitor]), "ACC 2           ");
  ReencodeKeyAssignment(image, kOptionNone);
  EXPECT_EQ(image[175], kKeyFnAcc2);
  ReencodeKeyAssignment(image, kOptionPtTrunk);
  testing::ExpectBytes(image, {{175, 0}, {177, 0}, {173, kKeyFnAcc1}});
  // Encoding prunes what it writes, not the record.
  EXPECT_EQ(keys.keys[kKeyMonitor], kKeyFnAcc2);
  EXPECT_TRUE(keys.PruneForOptionUnit(kOptionPtTrunk));
  EXPECT_EQ(keys.keys[kKeyMonitor], kKeyFnNone);
  EXPECT_FALSE(keys.InUse(26));

  keys.SetDefaults();
  keys.AssignToggle(kToggleB, kToggleFnNone);
  keys.AssignKey(kKeyD, kKeyFnLcdInvert);
  keys.AssignToggle(kToggleCentre, kToggleFnLcdInvert);
  EXPECT_TRUE(keys.PruneForPt410());
  EXPECT_EQ(keys.keys[kKeyLamp], kKeyFnNone);
  EXPECT_EQ(keys.keys[kKeyD], kKeyFnNone);
  EXPECT_EQ(keys.toggles[kToggleCentre], kToggleFnNone);
  EXPECT_FALSE(keys.InUse(18));
  EXPECT_FALSE(keys.PruneForPt410());
}

// The warning for Dual Watch on the centre toggle is the Front Panel form's test; on a key here.
TEST(KeyAssignment, FrontPanelBitsAndDualWatchCheck) {
  Image image{};
  image[180] = 0x07;
  image[187] = 0x20;  // set mode disabled
  KeyAssignment keys;
  keys.Decode(image);
  EXPECT_EQ(keys.set_mode, 0);
  keys.set_mode = 1;
  keys.rotary_mode = 1;
  keys.holding_time = 3;
  keys.ptt_lock = 1;
  keys.Encode(image, kOptionNone);
  // Toggle [B] None, rotary Group, bits 2-0 of byte 180 kept.
  testing::ExpectBytes(image, {{180, 0x0F}, {187, 0x00}, {183, 0x0C}, {186, 0x02}});
  EXPECT_FALSE(keys.DualWatchWarningDue(false));
  keys.AssignKey(kKeyB, kKeyFnDualWatch);
  EXPECT_TRUE(keys.DualWatchWarningDue(false));
  EXPECT_FALSE(keys.DualWatchWarningDue(true));
}

}  // namespace
}  // namespace ql40
