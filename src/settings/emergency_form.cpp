#include "settings/emergency_form.h"

#include "resources/settings_labels.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {
namespace {

using Lists = FormListField<EmergencySettings>;
constexpr auto kDisabledEnabled = ListLabels<res::kDisabledEnabled>;
constexpr Lists kLists[] = {
    // Cut to what the firmware offers; see Items().
    {EmergencyForm::kChannel, &EmergencySettings::channel, ListLabels<res::kEmergencyChannels>},
    {EmergencyForm::kAfMute, &EmergencySettings::af_mute, kDisabledEnabled},
    {EmergencyForm::kLcd, &EmergencySettings::lcd, kDisabledEnabled},
    {EmergencyForm::kLed, &EmergencySettings::led, kDisabledEnabled},
    {EmergencyForm::kTime, &EmergencySettings::time, res::EmergencyTimeLabels},
    {EmergencyForm::kRxTime, &EmergencySettings::rx_time, res::EmergencyRxTimeLabels},
    {EmergencyForm::kTxTime, &EmergencySettings::tx_time, res::EmergencyTxTimeLabels},
    {EmergencyForm::kKeyHold, &EmergencySettings::key_hold_time,
     ListLabels<res::kEmergencyKeyHoldTimes>},
    {EmergencyForm::kMic, &EmergencySettings::mic, kDisabledEnabled},
};

}  // namespace

EmergencyForm::EmergencyForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleEmergency}, &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image, doc_.identity.firmware_version);
  const int labels[] = {
      res::kStrLabelEmergencyChannel, res::kStrLabelEmergencyAfMute,  res::kStrLabelEmergencyLcd,
      res::kStrLabelEmergencyLed,     res::kStrLabelEmergencyTime,    res::kStrLabelEmergencyRxTime,
      res::kStrLabelEmergencyTxTime,  res::kStrLabelEmergencyKeyHold, res::kStrLabelEmergencyMic};
  for (int i = 0; i < 9; ++i) AddList(kChannel + i, labels[i], i);
}

const int* EmergencyForm::Field(int id) const {
  const auto* list = FindListField(kLists, id);
  return list ? &(record_.*list->field) : nullptr;
}

std::vector<std::string> EmergencyForm::Items(int id) const {
  const auto* list = FindListField(kLists, id);
  if (list == nullptr) return {};
  std::vector<std::string> items = list->items();
  if (id == kChannel) {
    items.resize(static_cast<std::size_t>(
        EmergencySettings::ChannelChoices(doc_.identity.firmware_version)));
  }
  return items;
}

int EmergencyForm::Selection(int id) const {
  const int* field = Field(id);
  return field ? *field : -1;
}

void EmergencyForm::Select(int id, int index) {
  const int* field = Field(id);
  if (field == nullptr || index < 0 || index >= static_cast<int>(Items(id).size())) return;
  *const_cast<int*>(field) = index;
  MarkChanged();
}

bool EmergencyForm::Ok() {
  record_.Encode(doc_.image);
  return true;
}

}  // namespace ql40
