#include "settings/key_assignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "codeplug/codeplug.h"
#include "resources/settings_labels.h"
#include "settings/default_settings.h"

namespace ql40 {
namespace {

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
  EXPECT_EQ(image[175], 0);
  EXPECT_EQ(image[177], 0);
  EXPECT_EQ(image[173], kKeyFnAcc1);
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
  EXPECT_EQ(image[180], 0x0F);  // toggle [B] None, rotary Group, bits 2-0 kept
  EXPECT_EQ(image[187], 0x00);
  EXPECT_EQ(image[183], 0x0C);
  EXPECT_EQ(image[186], 0x02);

  EXPECT_FALSE(keys.DualWatchWarningDue(false));
  keys.AssignToggle(kToggleCentre, kToggleFnDualWatch);
  EXPECT_TRUE(keys.DualWatchWarningDue(false));
  EXPECT_FALSE(keys.DualWatchWarningDue(true));
  keys.AssignToggle(kToggleCentre, kToggleFnNone);
  keys.AssignKey(kKeyB, kKeyFnDualWatch);
  EXPECT_TRUE(keys.DualWatchWarningDue(false));
}

}  // namespace
}  // namespace ql40
