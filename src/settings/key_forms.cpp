#include "settings/key_forms.h"

#include <algorithm>

#include "resources/labels.h"
#include "resources/settings_labels.h"
#include "resources/strings.h"
#include "settings/option_settings.h"
#include "settings/settings_text_ids.h"

namespace ql40 {

bool AnyGroupHasPriority(const ChannelTable& channels) {
  return std::any_of(channels.priority.begin(), channels.priority.end(),
                     [](int p) { return p != 0; });
}

// ---- Front Panel ----------------------------------------------------------------------------

FrontPanelForm::FrontPanelForm(Codeplug& doc, Prompter& prompter)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleFrontPanel}, &doc.modified),
      doc_(doc),
      prompter_(prompter) {
  keys_.Decode(doc_.image);
  int row = 0;
  AddList(kSetMode, res::kStrLabelSetMode, row++);
  AddList(kRotaryMode, res::kStrLabelRotaryMode, row++);
  AddList(kPttLock, res::kStrLabelPttLock, row++);
  AddList(kDialLock, res::kStrLabelDialLock, row++);
  AddList(kKeyLock, res::kStrLabelPanelKeyLock, row++);
  AddList(kHoldingTime, res::kStrLabelHoldingTime, row++);
}

int* FrontPanelForm::Field(int id) {
  switch (id) {
    case kSetMode:
      return &keys_.set_mode;
    case kRotaryMode:
      return &keys_.rotary_mode;
    case kPttLock:
      return &keys_.ptt_lock;
    case kDialLock:
      return &keys_.dial_lock;
    case kKeyLock:
      return &keys_.key_lock;
    case kHoldingTime:
      return &keys_.holding_time;
    default:
      return nullptr;
  }
}

std::vector<std::string> FrontPanelForm::Items(int id) const {
  switch (id) {
    case kSetMode:
      return FormLabels(res::kDisabledEnabledPadded);
    case kRotaryMode: {
      // Group mode and group keys exclude each other.
      std::vector<std::string> items;
      for (int mode : keys_.OfferedRotaryModes())
        items.push_back(res::LabelOr(res::kRotaryModes, mode));
      return items;
    }
    case kPttLock:
    case kDialLock:
    case kKeyLock:
      return FormLabels(res::kOffOn);
    case kHoldingTime:
      return FormLabels(res::kKeyHoldingTimes);
    default:
      return {};
  }
}

int FrontPanelForm::Selection(int id) const {
  if (id == kRotaryMode) {
    const auto modes = keys_.OfferedRotaryModes();
    const auto it = std::find(modes.begin(), modes.end(), keys_.rotary_mode);
    return it == modes.end() ? -1 : static_cast<int>(it - modes.begin());
  }
  const int* field = const_cast<FrontPanelForm*>(this)->Field(id);
  if (field == nullptr) return -1;
  const int n = static_cast<int>(Items(id).size());
  return *field >= 0 && *field < n ? *field : -1;
}

void FrontPanelForm::Select(int id, int index) {
  if (index < 0 || index >= static_cast<int>(Items(id).size())) return;
  if (index == Selection(id)) return;
  if (id == kRotaryMode) {
    keys_.rotary_mode = keys_.OfferedRotaryModes()[static_cast<std::size_t>(index)];
  } else {
    int* field = Field(id);
    if (field == nullptr) return;
    *field = index;
  }
  MarkChanged();
}

bool FrontPanelForm::Ok() {
  if (keys_.DualWatchWarningDue(AnyGroupHasPriority(doc_.channels))) {
    prompter_.Show(res::kStrDualWatchNeedsPri, MessageIcon::kQuestion);
  }
  keys_.Encode(doc_.image, doc_.option_unit);
  outcome_.accepted = true;
  return true;
}

// ---- Key Function ---------------------------------------------------------------------------

KeyFunctionForm::KeyFunctionForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleKeyFunction}, &doc.modified),
      doc_(doc) {
  keys_.Decode(doc_.image);
  OptionSettings option;
  option.Decode(doc_.image);
  if (option.option_unit != doc_.option_unit) {
    doc_.option_unit = option.option_unit;
    doc_.option_unit_changed = true;
  }
  // The lists show what the image holds after the option unit's pruning.
  keys_.PruneForOptionUnit(doc_.option_unit);
  keys_.Encode(doc_.image, doc_.option_unit);

  static constexpr int kLabels[] = {
      res::kStrLabelKeyMonitor,   res::kStrLabelKeyLamp, res::kStrLabelKeyTopSel,
      res::kStrLabelKeySideSel,   res::kStrLabelKeyA,    res::kStrLabelKeyB,
      res::kStrLabelKeyC,         res::kStrLabelKeyD,    res::kStrLabelToggleA,
      res::kStrLabelToggleCentre, res::kStrLabelToggleB};
  for (int k = 0; k < kKeyCount; ++k) AddList(kFirstKey + k, kLabels[k], k);
  for (int t = 0; t < kTogglePositionCount; ++t) {
    AddList(kFirstToggle + t, kLabels[kKeyCount + t], t, 3);
  }
}

std::vector<int> KeyFunctionForm::Offered(int id) const {
  std::vector<int> offered;
  int current = 0;
  int limit = 0;
  if (id >= kFirstKey && id < kFirstToggle) {
    const int key = id - kFirstKey;
    offered = keys_.OfferedKeyFunctions(key, doc_.hardware.product_type, doc_.option_unit);
    current = keys_.keys[static_cast<std::size_t>(key)];
    limit = kKeyFunctionCount;
  } else if (id >= kFirstToggle && id <= kLastToggle) {
    const int position = id - kFirstToggle;
    offered = keys_.OfferedToggleFunctions(position, doc_.hardware.product_type);
    current = keys_.toggles[static_cast<std::size_t>(position)];
    limit = kToggleFunctionCount;
  } else {
    return offered;
  }
  if ((current < 0 || current >= limit) &&
      std::find(offered.begin(), offered.end(), current) == offered.end()) {
    offered.push_back(current);
  }
  return offered;
}

std::vector<std::string> KeyFunctionForm::Items(int id) const {
  const res::LabelList list = id >= kFirstToggle ? res::kToggleFunctions : res::kKeyFunctions;
  std::vector<std::string> items;
  for (int f : Offered(id)) items.push_back(res::LabelOr(list, f));
  return items;
}

int KeyFunctionForm::Selection(int id) const {
  const std::vector<int> offered = Offered(id);
  int current = 0;
  if (id >= kFirstKey && id < kFirstToggle) {
    current = keys_.keys[static_cast<std::size_t>(id - kFirstKey)];
  } else if (id >= kFirstToggle && id <= kLastToggle) {
    current = keys_.toggles[static_cast<std::size_t>(id - kFirstToggle)];
  } else {
    return -1;
  }
  const auto it = std::find(offered.begin(), offered.end(), current);
  return it == offered.end() ? -1 : static_cast<int>(it - offered.begin());
}

void KeyFunctionForm::Select(int id, int index) {
  const std::vector<int> offered = Offered(id);
  if (index < 0 || index >= static_cast<int>(offered.size())) return;
  const int f = offered[static_cast<std::size_t>(index)];
  bool changed = false;
  if (id >= kFirstKey && id < kFirstToggle) {
    changed = keys_.AssignKey(id - kFirstKey, f);
  } else if (id >= kFirstToggle && id <= kLastToggle) {
    changed = keys_.AssignToggle(id - kFirstToggle, f);
  }
  if (changed) MarkChanged();
}

bool KeyFunctionForm::Ok() {
  keys_.Encode(doc_.image, doc_.option_unit);
  outcome_.accepted = true;
  return true;
}

}  // namespace ql40
