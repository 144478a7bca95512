#include "settings/misc_form.h"

#include <algorithm>

#include "codeplug/codecs.h"
#include "resources/settings_labels.h"
#include "resources/strings.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {

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
  switch (id) {
    case kDcsComplement:
      return &record_.dcs_complement;
    case kPowerOnCondition:
      return &record_.power_on_condition;
    case kPttDelay:
      return &record_.ptt_delay;
    case kBell:
      return &record_.bell;
    case kMonitorMode:
      return &record_.monitor_mode;
    case kNoiseCancelMic:
      return &record_.noise_cancel_mic;
    case kTailElimination:
      return &record_.tail_elimination;
    case kRadioClone:
      return &record_.radio_clone;
    case kRchkBeep:
      return &record_.rchk_beep;
    case kRchkTxTime:
      return &record_.rchk_tx_time;
    case kEncryptionType:
      return &record_.encryption_type;
    default:
      return nullptr;
  }
}

std::vector<std::string> MiscForm::Items(int id) const {
  switch (id) {
    case kPowerOnCondition:
      return FormLabels(res::kPowerOnConditions);
    case kPttDelay:
      return FormLabels(res::kPttDelays);
    case kTailElimination:
      return FormLabels(res::kTailEliminations);
    case kRchkTxTime:
      return FormLabels(res::kRchkTxTimes);
    case kEncryptionType:
      return FormLabels(res::kEncryptionTypes);
    case kDcsComplement:
    case kBell:
    case kMonitorMode:
    case kNoiseCancelMic:
    case kRadioClone:
    case kRchkBeep:
      return FormLabels(res::kDisabledEnabledPadded);
    default:
      return {};
  }
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
