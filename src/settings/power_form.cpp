#include "settings/power_form.h"

#include "codeplug/codecs.h"
#include "resources/settings_labels.h"
#include "signalling/dialog_text_ids.h"
#include "signalling/form_labels.h"

namespace ql40 {
namespace {

using Lists = FormListField<GeneralSettings>;
constexpr Lists kLists[] = {
    {PowerForm::kTransmitTimer, &GeneralSettings::transmit_timer, res::TransmitTimerLabels},
    {PowerForm::kPenaltyTimer, &GeneralSettings::penalty_timer,
     FormattedLabels<res::kTimerSecondsFormat, res::kPenaltyTimes>},
    {PowerForm::kReleaseTimer, &GeneralSettings::release_timer,
     FormattedLabels<res::kTimerSecondsFormat, res::kReleaseTimes>},
    {PowerForm::kApo, &GeneralSettings::apo_time, ListLabels<res::kApoTimes>},
    {PowerForm::kReceiveSave, &GeneralSettings::receive_save, ListLabels<res::kReceiveSaveRatios>},
    {PowerForm::kMicGain, &GeneralSettings::mic_gain, ListLabels<res::kMicGains>},
    {PowerForm::kLampMode, &GeneralSettings::lamp_mode, ListLabels<res::kLampModes>},
    {PowerForm::kRxLamp, &GeneralSettings::rx_lamp, ListLabels<res::kOffOn>},
};

}  // namespace

PowerForm::PowerForm(Codeplug& doc)
    : FormModel(
          {.dialog_id = kDialogId, .title_id = res::kStrTitlePowerSaving, .ok_needs_focus = true},
          &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image);
  int row = 0;
  AddEdit(kPowerOnTag, res::kStrLabelPowerOnTag, row++, 8, 4, true, FormEditCommit::kOnEnter);
  AddList(kTransmitTimer, res::kStrLabelTransmitTimer, row++);
  AddList(kPenaltyTimer, res::kStrLabelPenaltyTimer, row++);
  AddList(kReleaseTimer, res::kStrLabelReleaseTimer, row++);
  AddList(kApo, res::kStrLabelApo, row++);
  AddList(kReceiveSave, res::kStrLabelReceiveSave, row++);
  AddEdit(kBeepLevel, res::kStrLabelBeepLevel, row++, 2, 2, true, FormEditCommit::kOnEnter);
  AddList(kMicGain, res::kStrLabelMicGain, row++);
  AddList(kLampMode, res::kStrLabelLampMode, row++);
  AddList(kRxLamp, res::kStrLabelRxLamp, row++);
  AddEdit(kAfVrMin, res::kStrLabelAfVrMin, row++, 3, 2, true, FormEditCommit::kOnEnter);
}

const int* PowerForm::Field(int id) const {
  const auto* list = FindListField(kLists, id);
  return list ? &(record_.*list->field) : nullptr;
}

std::vector<std::string> PowerForm::Items(int id) const {
  const auto* list = FindListField(kLists, id);
  return list ? list->items() : std::vector<std::string>{};
}

int PowerForm::Selection(int id) const {
  const int* field = Field(id);
  return field ? *field : -1;
}

std::string PowerForm::Text(int id) const {
  switch (id) {
    case kPowerOnTag:
      return record_.PowerOnTagText();
    case kBeepLevel:
      return Format("%-2d", record_.beep_level);
    case kAfVrMin:
      return Format("%-3d", record_.af_vr_min);
    default:
      return {};
  }
}

void PowerForm::Select(int id, int index) {
  const int* field = Field(id);
  if (field == nullptr || index < 0 || index >= static_cast<int>(Items(id).size())) return;
  *const_cast<int*>(field) = index;
  MarkChanged();
}

FormCommit PowerForm::Commit(int id, std::string_view text) {
  switch (id) {
    case kPowerOnTag: {
      // The radio can show only its tag symbols; anything else would be stored as a blank,
      // so the field shows it as one.
      record_.CommitPowerOnTag(text);
      for (char& c : record_.power_on_tag) {
        if (!IsTagChar(c)) c = ' ';
      }
      break;
    }
    case kBeepLevel:
      record_.CommitBeepLevel(ParseInteger(text));
      break;
    case kAfVrMin:
      record_.CommitAfVrMin(ParseInteger(text));
      break;
    default:
      return {std::string(text)};
  }
  MarkChanged();
  return {Text(id)};
}

bool PowerForm::Ok() {
  record_.Encode(doc_.image);
  return true;
}

}  // namespace ql40
