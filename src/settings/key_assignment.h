#pragma once

// What the eight programmable keys and the three toggle switch positions do, with the front
// panel locks and modes that are stored beside them. Values are indices of the key and toggle
// function lists; keys and toggle positions share one space of function identities, and a
// function may be held by only one of them.

#include <array>
#include <vector>

#include "codeplug/image.h"

namespace ql40 {

enum KeyId : int {
  kKeyMonitor = 0,
  kKeyLamp = 1,
  kKeyTopSel = 2,
  kKeySideSel = 3,
  kKeyA = 4,
  kKeyB = 5,
  kKeyC = 6,
  kKeyD = 7,
};
inline constexpr int kKeyCount = 8;

enum TogglePosition : int { kToggleA = 0, kToggleCentre = 1, kToggleB = 2 };
inline constexpr int kTogglePositionCount = 3;

// Indices of the key function list that the rules name.
enum KeyFunction : int {
  kKeyFnNone = 0,
  kKeyFnMonitor = 1,
  kKeyFnLamp = 2,
  kKeyFnScan = 3,
  kKeyFnDualWatch = 4,
  kKeyFnLoPower = 5,
  kKeyFnGroupUp = 10,
  kKeyFnGroupDown = 11,
  kKeyFnEmergency = 17,
  kKeyFnLcdInvert = 18,
  kKeyFnAcc1 = 19,
  kKeyFnAcc2 = 20,
};
inline constexpr int kKeyFunctionCount = 21;

// Indices of the toggle function list that the rules name.
enum ToggleFunction : int {
  kToggleFnNone = 0,
  kToggleFnScan = 1,
  kToggleFnDualWatch = 2,
  kToggleFnLoPower = 3,
  kToggleFnLcdInvert = 9,
  kToggleFnGroup1 = 10,
  kToggleFnGroup2 = 11,
  kToggleFnGroup3 = 12,
};
inline constexpr int kToggleFunctionCount = 13;

// Function identities run 1..26 (none has 24); 0 stands for None and for unknown values.
inline constexpr int kFunctionIdentityCount = 27;
int KeyFunctionIdentity(int key_function);
int ToggleFunctionIdentity(int toggle_function);

// Image byte of each key (not in key order).
int KeyByteOffset(int key);

struct KeyAssignment {
  // A stored value outside its list is kept as it is (shown as unknown, written back unchanged).
  std::array<int, kKeyCount> keys{};
  std::array<int, kTogglePositionCount> toggles{};
  // Front panel.
  int set_mode = 1;      // 0 Disabled, 1 Enabled: byte 187 bit 5 = 1 - index
  int rotary_mode = 0;   // 0 Channel, 1 Group: byte 180 bit 3
  int ptt_lock = 0;      // Off/On: byte 186 bit 1
  int dial_lock = 1;     // Off/On: byte 186 bit 2
  int key_lock = 1;      // Off/On: byte 186 bit 0
  int holding_time = 0;  // 50/150/300/650 ms: byte 183 bits 3-2
  // In-use marks by function identity; not stored, rebuilt from the assignments.
  std::array<bool, kFunctionIdentityCount> in_use{};

  KeyAssignment() { SetDefaults(); }
  void SetDefaults();
  void Decode(const Image& image);
  // Writes the assignment as the option unit allows it (see PruneForOptionUnit). Key bytes
  // and byte 181 are written whole. The record is then what the image holds (pruned keys
  // and their in-use marks included), so a dialog that shows it again shows the radio.
  void Encode(Image& image, int option_unit);
  // The same, for a record that cannot change: only the image is written.
  void Encode(Image& image, int option_unit) const;

  // With PT-Trunk, [Monitor], [Lamp], [TOP SEL] and [SIDE SEL] lose ACC 2 and [A] to [D] lose
  // ACC 1 and ACC 2. Returns true when anything changed.
  bool PruneForOptionUnit(int option_unit);
  // The PT-410 has no lamp key and no LCD inversion. Returns true when anything changed.
  bool PruneForPt410();
  // Every key loses ACC 1 and ACC 2 (the accessory connector belongs to the encryption device).
  bool RemoveAccFunctions();

  // Functions a key or toggle position may be given now, as list indices in list order.
  std::vector<int> OfferedKeyFunctions(int key, int product_type, int option_unit) const;
  std::vector<int> OfferedToggleFunctions(int position, int product_type) const;
  // Stores a function and updates the marks; false when nothing changed or the key or index
  // is out of range. The caller sets the modified flag on true.
  bool AssignKey(int key, int key_function);
  bool AssignToggle(int position, int toggle_function);

  bool InUse(int identity) const;
  // True when a key holds Group UP/Down or a toggle position Group 1/2/3.
  bool GroupKeysAssigned() const;
  bool GroupTogglesAssigned() const;
  // Rotary switch modes the front panel may offer: only Channel while group functions are
  // assigned and the switch is in Channel mode.
  std::vector<int> OfferedRotaryModes() const;
  // Whether the Dual Watch warning (message 52) is due: a key or position holds Dual Watch
  // and no group has a priority channel.
  bool DualWatchWarningDue(bool any_group_has_priority) const;

  void RebuildMarks();

  bool operator==(const KeyAssignment&) const = default;
};

}  // namespace ql40
