#include "settings/misc_form.h"

#include <algorithm>

#include "codeplug/codecs.h"
#include "resources/settings_labels.h"
#include "resources/strings.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {
namespace {

using Lists = FormListField<GeneralSettings>;
constexpr auto kDisabledEnabled = ListLabels<res::kDisabledEnabledPadded>;
constexpr Lists kLists[] = {
    {MiscForm::kDcsComplement, &GeneralSettings::dcs_complement, kDisabledEnabled},
    {MiscForm::kPowerOnCondition, &GeneralSettings::power_on_condition,
     ListLabels<res::kPowerOnConditions>},
    {MiscForm::kPttDelay, &GeneralSettings::ptt_delay, ListLabels<res::kPttDelays>},
    {MiscForm::kBell, &GeneralSettings::bell, kDisabledEnabled},
    {MiscForm::kMonitorMode, &GeneralSettings::monitor_mode, kDisabledEnabled},
    {MiscForm::kNoiseCancelMic, &GeneralSettings::noise_cancel_mic, kDisabledEnabled},
    {MiscForm::kTailElimination, &GeneralSettings::tail_elimination,
     ListLabels<res::kTailEliminations>},
    {MiscForm::kRadioClone, &GeneralSettings::radio_clone, kDisabledEnabled},
    {MiscForm::kRchkBeep, &GeneralSettings::rchk_beep, kDisabledEnabled},
    {MiscForm::kRchkTxTime, &GeneralSettings::rchk_tx_time, ListLabels<res::kRchkTxTimes>},
    {MiscForm::kEncryptionType, &GeneralSettings::encryption_type,
     ListLabels<res::kEncryptionTypes>},
};

}  // namespace

MiscForm::MiscForm(Codeplug& doc)
    : FormModel(
          {.dialog_id = kDialogId, .title_id = res::kStrTitleMiscellaneous, .ok_needs_focus = true},
          &doc.modified),
      doc_(doc) {
  split_at_open_ = doc_.default_split;
  record_.Decode(doc_.image);
  keys_.Decode(doc_.image);
  encryption_forced_ = record_.ApplyEncryptionTypeRule(doc_.image);
  AddEdit(kDefaultSplit, res::kStrLabelDefaultSplit, 0, 5, 5, false, FormEditCommit::kOnEnter);
  const int labels[] = {res::kStrLabelDcsComplement,   res::kStrLabelPowerOnCondition,
                        res::kStrLabelPttDelay,        res::kStrLabelBell,
                        res::kStrLabelMonitorMode,     res::kStrLabelNoiseCancelMic,
                        res::kStrLabelTailElimination, res::kStrLabelRadioClone,
                        res::kStrLabelRchkBeep,        res::kStrLabelRchkTxTime,
                        res::kStrLabelEncryptionType};
  for (int i = 0; i < 11; ++i) AddList(kDcsComplement + i, labels[i], i + 1);
}

const int* MiscForm::Field(int id) const {
  const auto* list = FindListField(kLists, id);
  return list ? &(record_.*list->field) : nullptr;
}

std::vector<std::string> MiscForm::Items(int id) const {
  const auto* list = FindListField(kLists, id);
  return list ? list->items() : std::vector<std::string>{};
}

int MiscForm::Selection(int id) const {
  const int* field = Field(id);
  return field ? *field : -1;
}

std::string MiscForm::Text(int id) const {
  if (id != kDefaultSplit) return {};
  const auto format = res::LoadString(res::kStrDefaultSplitFormat);
  return Format(std::string(format.value_or("%-5.1f MHz")).c_str(), doc_.default_split);
}

bool MiscForm::Enabled(int id) const {
  return !(id == kEncryptionType && encryption_forced_);
}

void MiscForm::Select(int id, int index) {
  const int* field = Field(id);
  if (field == nullptr || !Enabled(id) || index < 0 ||
      index >= static_cast<int>(Items(id).size())) {
    return;
  }
  *const_cast<int*>(field) = index;
  MarkChanged();
}

FormCommit MiscForm::Commit(int id, std::string_view text) {
  if (id != kDefaultSplit) return {std::string(text)};
  // The field shows one decimal, so the split keeps one: what the user sees is what the
  // channel editor adds to a transmit frequency.
  const double split = Round(std::clamp(ParseDecimal(text), -kSplitLimit, kSplitLimit), 1);
  doc_.default_split = split;
  MarkChanged();
  return {Text(id)};
}

bool MiscForm::Ok() {
  record_.Encode(doc_.image);
  keys_.Encode(doc_.image, doc_.option_unit);
  return true;
}

void MiscForm::Cancel() {
  doc_.default_split = split_at_open_;
}

}  // namespace ql40
