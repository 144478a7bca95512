#include "settings/key_assignment.h"

#include <algorithm>
#include <utility>

#include "codeplug/bits.h"
#include "codeplug/codeplug.h"

namespace ql40 {
namespace {

constexpr int kKeyByte[kKeyCount] = {175, 174, 173, 172, 177, 176, 179, 178};

constexpr int kToggleIdentity[kToggleFunctionCount] = {0, 3, 4, 5, 6, 7, 8, 20, 19, 18, 21, 22, 23};

bool IsSelKey(int key) {
  return key == kKeyTopSel || key == kKeySideSel;
}

}  // namespace

int KeyFunctionIdentity(int key_function) {
  if (key_function <= kKeyFnNone || key_function >= kKeyFunctionCount) return 0;
  if (key_function == kKeyFnAcc1) return 25;
  if (key_function == kKeyFnAcc2) return 26;
  return key_function;
}

int ToggleFunctionIdentity(int toggle_function) {
  if (toggle_function < 0 || toggle_function >= kToggleFunctionCount) return 0;
  return kToggleIdentity[toggle_function];
}

int KeyByteOffset(int key) {
  return kKeyByte[std::clamp(key, 0, kKeyCount - 1)];
}

void KeyAssignment::SetDefaults() {
  keys.fill(kKeyFnNone);
  keys[kKeyMonitor] = kKeyFnMonitor;
  keys[kKeyLamp] = kKeyFnLamp;
  toggles = {kToggleFnLoPower, kToggleFnNone, kToggleFnLcdInvert};
  set_mode = 1;
  rotary_mode = 0;
  ptt_lock = 0;
  dial_lock = 1;
  key_lock = 1;
  holding_time = 0;
  RebuildMarks();
}

void KeyAssignment::Decode(const Image& image) {
  for (int k = 0; k < kKeyCount; ++k) keys[k] = image[kKeyByte[k]];
  toggles[kToggleA] = bits::Get(image[181], 7, 4);
  toggles[kToggleCentre] = bits::Get(image[181], 3, 0);
  toggles[kToggleB] = bits::Get(image[180], 7, 4);
  rotary_mode = bits::Get(image[180], 3, 3);
  holding_time = bits::Get(image[183], 3, 2);
  key_lock = bits::Get(image[186], 0, 0);
  ptt_lock = bits::Get(image[186], 1, 1);
  dial_lock = bits::Get(image[186], 2, 2);
  set_mode = 1 - bits::Get(image[187], 5, 5);
  RebuildMarks();
}

void KeyAssignment::Encode(Image& image, int option_unit) const {
  KeyAssignment out = *this;
  out.PruneForOptionUnit(option_unit);
  for (int k = 0; k < kKeyCount; ++k) {
    image[kKeyByte[k]] = static_cast<std::uint8_t>(std::clamp(out.keys[k], 0, 255));
  }
  std::uint8_t b181 = 0;
  bits::Set(b181, 7, 4, out.toggles[kToggleA]);
  bits::Set(b181, 3, 0, out.toggles[kToggleCentre]);
  image[181] = b181;
  bits::Set(image[180], 7, 4, out.toggles[kToggleB]);
  bits::Set(image[180], 3, 3, rotary_mode);
  bits::Set(image[183], 3, 2, holding_time);
  bits::Set(image[186], 0, 0, key_lock);
  bits::Set(image[186], 1, 1, ptt_lock);
  bits::Set(image[186], 2, 2, dial_lock);
  bits::Put(image[187], 5, set_mode == 0);  // the bit means disabled
}

void KeyAssignment::Encode(Image& image, int option_unit) {
  std::as_const(*this).Encode(image, option_unit);
  Decode(image);
}

bool KeyAssignment::PruneForOptionUnit(int option_unit) {
  if (option_unit != kOptionPtTrunk) return false;
  bool changed = false;
  for (int k = 0; k < kKeyCount; ++k) {
    const bool loses = keys[k] == kKeyFnAcc2 || (k >= kKeyA && keys[k] == kKeyFnAcc1);
    if (loses) {
      keys[k] = kKeyFnNone;
      changed = true;
    }
  }
  if (changed) RebuildMarks();
  return changed;
}

bool KeyAssignment::PruneForPt410() {
  bool changed = keys[kKeyLamp] != kKeyFnNone;
  keys[kKeyLamp] = kKeyFnNone;
  for (int& key : keys) {
    if (key == kKeyFnLcdInvert) {
      key = kKeyFnNone;
      changed = true;
    }
  }
  for (int& toggle : toggles) {
    if (toggle == kToggleFnLcdInvert) {
      toggle = kToggleFnNone;
      changed = true;
    }
  }
  if (changed) RebuildMarks();
  return changed;
}

bool KeyAssignment::RemoveAccFunctions() {
  bool changed = false;
  for (int& key : keys) {
    if (key == kKeyFnAcc1 || key == kKeyFnAcc2) {
      key = kKeyFnNone;
      changed = true;
    }
  }
  if (changed) RebuildMarks();
  return changed;
}

std::vector<int> KeyAssignment::OfferedKeyFunctions(int key, int product_type,
                                                    int option_unit) const {
  std::vector<int> offered;
  if (key < 0 || key >= kKeyCount) return offered;
  const bool group_keys_allowed = rotary_mode == 0 && !GroupTogglesAssigned();
  for (int f = 0; f < kKeyFunctionCount; ++f) {
    if (f == kKeyFnNone) {
      offered.push_back(f);
      continue;
    }
    if ((f == kKeyFnGroupUp || f == kKeyFnGroupDown) && !group_keys_allowed) continue;
    if (f == kKeyFnLcdInvert && product_type == kPt410) continue;
    if (f == kKeyFnEmergency && !IsSelKey(key)) continue;
    if (f == kKeyFnAcc1) {
      if (key == kKeyMonitor || key == kKeyLamp) continue;
      if (option_unit == kOptionPtTrunk && !IsSelKey(key)) continue;
    }
    if (f == kKeyFnAcc2 && option_unit == kOptionPtTrunk) continue;
    if (InUse(KeyFunctionIdentity(f)) && keys[key] != f) continue;
    offered.push_back(f);
  }
  return offered;
}

std::vector<int> KeyAssignment::OfferedToggleFunctions(int position, int product_type) const {
  std::vector<int> offered;
  if (position < 0 || position >= kTogglePositionCount) return offered;
  const bool group_toggles_allowed = rotary_mode == 0 && !GroupKeysAssigned();
  for (int f = 0; f < kToggleFunctionCount; ++f) {
    if (f == kToggleFnNone) {
      offered.push_back(f);
      continue;
    }
    if (f >= kToggleFnGroup1 && f <= kToggleFnGroup3 && !group_toggles_allowed) continue;
    if (f == kToggleFnLcdInvert && product_type == kPt410) continue;
    if (InUse(ToggleFunctionIdentity(f)) && toggles[position] != f) continue;
    offered.push_back(f);
  }
  return offered;
}

bool KeyAssignment::AssignKey(int key, int key_function) {
  if (key < 0 || key >= kKeyCount) return false;
  if (key_function < 0 || key_function >= kKeyFunctionCount) return false;
  if (keys[key] == key_function) return false;
  keys[key] = key_function;
  RebuildMarks();
  return true;
}

bool KeyAssignment::AssignToggle(int position, int toggle_function) {
  if (position < 0 || position >= kTogglePositionCount) return false;
  if (toggle_function < 0 || toggle_function >= kToggleFunctionCount) return false;
  if (toggles[position] == toggle_function) return false;
  toggles[position] = toggle_function;
  RebuildMarks();
  return true;
}

bool KeyAssignment::InUse(int identity) const {
  return identity > 0 && identity < kFunctionIdentityCount && in_use[identity];
}

bool KeyAssignment::GroupKeysAssigned() const {
  return std::any_of(keys.begin(), keys.end(),
                     [](int f) { return f == kKeyFnGroupUp || f == kKeyFnGroupDown; });
}

bool KeyAssignment::GroupTogglesAssigned() const {
  return std::any_of(toggles.begin(), toggles.end(),
                     [](int f) { return f >= kToggleFnGroup1 && f <= kToggleFnGroup3; });
}

std::vector<int> KeyAssignment::OfferedRotaryModes() const {
  if (rotary_mode == 0 && (GroupKeysAssigned() || GroupTogglesAssigned())) return {0};
  return {0, 1};
}

bool KeyAssignment::DualWatchWarningDue(bool any_group_has_priority) const {
  if (any_group_has_priority) return false;
  const bool on_key = std::find(keys.begin(), keys.end(), kKeyFnDualWatch) != keys.end();
  const bool on_toggle =
      std::find(toggles.begin(), toggles.end(), kToggleFnDualWatch) != toggles.end();
  return on_key || on_toggle;
}

void KeyAssignment::RebuildMarks() {
  // Rebuilt from scratch so that an image holding one function twice cannot leave a stale mark.
  in_use.fill(false);
  for (int f : keys) in_use[KeyFunctionIdentity(f)] = true;
  for (int f : toggles) in_use[ToggleFunctionIdentity(f)] = true;
  in_use[0] = false;
}

}  // namespace ql40
