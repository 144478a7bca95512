#include "settings/emergency_form.h"

#include "resources/settings_labels.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {

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
  switch (id) {
    case kChannel:
      return &record_.channel;
    case kAfMute:
      return &record_.af_mute;
    case kLcd:
      return &record_.lcd;
    case kLed:
      return &record_.led;
    case kTime:
      return &record_.time;
    case kRxTime:
      return &record_.rx_time;
    case kTxTime:
      return &record_.tx_time;
    case kKeyHold:
      return &record_.key_hold_time;
    case kMic:
      return &record_.mic;
    default:
      return nullptr;
  }
}

std::vector<std::string> EmergencyForm::Items(int id) const {
  switch (id) {
    case kChannel: {
      std::vector<std::string> items = FormLabels(res::kEmergencyChannels);
      items.resize(static_cast<std::size_t>(
          EmergencySettings::ChannelChoices(doc_.identity.firmware_version)));
      return items;
    }
    case kAfMute:
    case kLcd:
    case kLed:
    case kMic:
      return FormLabels(res::kDisabledEnabled);
    case kTime:
      return res::EmergencyTimeLabels();
    case kRxTime:
      return res::EmergencyRxTimeLabels();
    case kTxTime:
      return res::EmergencyTxTimeLabels();
    case kKeyHold:
      return FormLabels(res::kEmergencyKeyHoldTimes);
    default:
      return {};
  }
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
