#include "signalling/dtmf_forms.h"

#include "resources/settings_labels.h"
#include "settings/option_settings.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {
namespace {

constexpr int kCodeLength = 15;
constexpr int kDtmfFilter = 3;

using AniLists = FormListField<AniSettings>;
constexpr AniLists kAniLists[] = {
    {AniForm::kType, &AniSettings::type, ListLabels<res::kAniTypes>},
    {AniForm::kTransmit, &AniSettings::transmit, ListLabels<res::kAniTransmits>},
    {AniForm::kDelay, &AniSettings::delay, ListLabels<res::kAniDelays>},
    {AniForm::kSpeed, &AniSettings::speed, ListLabels<res::kAniSpeeds>},
};

using DtmfLists = FormListField<DtmfSettings>;
constexpr DtmfLists kDtmfLists[] = {
    {DtmfForm::kPauseTime, &DtmfSettings::pause_time, ListLabels<res::kDtmfPauseTimes>},
    {DtmfForm::kSpeed, &DtmfSettings::speed, ListLabels<res::kDtmfSpeeds>},
    {DtmfForm::kMonitor, &DtmfSettings::monitor, ListLabels<res::kDisableEnable>},
    {DtmfForm::kAnswerBack, &DtmfSettings::answer_back, ListLabels<res::kOffOnPlain>},
    {DtmfForm::kAutoReset, &DtmfSettings::auto_reset, ListLabels<res::kOffOnPlain>},
    {DtmfForm::kCallTimes, &DtmfSettings::call_times, ListLabels<res::kCallTimes>},
    {DtmfForm::kKeypad, &DtmfSettings::keypad, ListLabels<res::kDisableEnable>},
};

}  // namespace

// --- ANI Setting --------------------------------------------------------------------------

AniForm::AniForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleAni}, &doc.modified), doc_(doc) {
  record_.Decode(doc_.image);
  opened_ = record_;
  encryption_device_ = EncryptionDeviceFitted(doc_.image);
  AddList(kType, res::kStrLabelAniType, 0);
  AddList(kTransmit, res::kStrLabelAniTransmit, 1);
  AddList(kDelay, res::kStrLabelAniDelay, 2);
  AddList(kSpeed, res::kStrLabelAniSpeed, 3);
  AddEdit(kAniCode, res::kStrLabelAniCode, 4, kCodeLength, kDtmfFilter, true,
          FormEditCommit::kOnOk);
  AddEdit(kEmergencyCode, res::kStrLabelEmergencyCode, 5, kCodeLength, kDtmfFilter, true,
          FormEditCommit::kOnOk);
}

int* AniForm::Field(AniSettings& s, int id) const {
  const auto* list = FindListField(kAniLists, id);
  return list ? &(s.*list->field) : nullptr;
}

std::vector<std::string> AniForm::Items(int id) const {
  const auto* list = FindListField(kAniLists, id);
  return list ? list->items() : std::vector<std::string>{};
}

int AniForm::Selection(int id) const {
  const int* field = Field(const_cast<AniSettings&>(record_), id);
  return field ? *field : -1;
}

std::string AniForm::Text(int id) const {
  if (id == kAniCode) return ani_text_.value_or(record_.ani_code);
  if (id == kEmergencyCode) return emergency_text_.value_or(record_.emergency_code);
  return {};
}

bool AniForm::Enabled(int id) const {
  // The encryption device uses the accessory connector, so only DTMF ANI is possible with it.
  if (id == kType) return !encryption_device_;
  return record_.type == 0;
}

void AniForm::Select(int id, int index) {
  int* field = Field(record_, id);
  if (field == nullptr || !Enabled(id) || index < 0 ||
      index >= static_cast<int>(Items(id).size())) {
    return;
  }
  *field = index;
}

void AniForm::TextEdited(int id, std::string_view text) {
  if (id == kAniCode) ani_text_ = std::string(text);
  if (id == kEmergencyCode) emergency_text_ = std::string(text);
}

bool AniForm::Ok() {
  if (ani_text_) record_.ani_code = CleanDtmfCode(*ani_text_);
  if (emergency_text_) record_.emergency_code = CleanDtmfCode(*emergency_text_);
  if (record_ != opened_) MarkChanged();
  record_.Encode(doc_.image);
  return true;
}

// --- DTMF Setting -------------------------------------------------------------------------

DtmfForm::DtmfForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleDtmf, .ok_needs_focus = true},
                &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image);
  opened_ = record_;
  AddEdit(kPauseCode, res::kStrLabelPauseCode, 0, 1, kDtmfFilter, true, FormEditCommit::kOnOk);
  const int labels[] = {res::kStrLabelPauseTime,   res::kStrLabelDtmfSpeed,
                        res::kStrLabelDtmfMonitor, res::kStrLabelAnswerBack,
                        res::kStrLabelAutoReset,   res::kStrLabelCallTimes,
                        res::kStrLabelDtmfKeypad};
  for (int i = 0; i < 7; ++i) AddList(kPauseTime + i, labels[i], i + 1);
}

int* DtmfForm::Field(DtmfSettings& s, int id) const {
  const auto* list = FindListField(kDtmfLists, id);
  return list ? &(s.*list->field) : nullptr;
}

std::vector<std::string> DtmfForm::Items(int id) const {
  const auto* list = FindListField(kDtmfLists, id);
  return list ? list->items() : std::vector<std::string>{};
}

int DtmfForm::Selection(int id) const {
  const int* field = Field(const_cast<DtmfSettings&>(record_), id);
  return field ? *field : -1;
}

std::string DtmfForm::Text(int id) const {
  return id == kPauseCode ? pause_text_.value_or(record_.PauseText()) : std::string();
}

bool DtmfForm::Enabled(int id) const {
  switch (id) {
    case kPauseTime:
      return !Text(kPauseCode).empty();
    case kAnswerBack:
    case kAutoReset:
      return doc_.option_unit != kOption2Tone && DtmfReceiverFitted(doc_.image);
    case kCallTimes:
      return doc_.option_unit != kOption2Tone;
    case kKeypad:
      return Keypad16Fitted(doc_.image);
    default:
      return true;
  }
}

void DtmfForm::Select(int id, int index) {
  int* field = Field(record_, id);
  if (field == nullptr || !Enabled(id) || index < 0 ||
      index >= static_cast<int>(Items(id).size())) {
    return;
  }
  *field = index;
}

void DtmfForm::TextEdited(int id, std::string_view text) {
  if (id == kPauseCode) pause_text_ = std::string(text);
}

bool DtmfForm::Ok() {
  if (pause_text_) record_.CommitPauseCharacter(*pause_text_);
  if (record_ != opened_) MarkChanged();
  record_.Encode(doc_.image);
  return true;
}

// --- DTMF Code ----------------------------------------------------------------------------

DtmfCodeForm::DtmfCodeForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleDtmfCode}, &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image);
  for (int n = 0; n < kDtmfCodeCount; ++n) {
    AddEdit(kFirstCode + n, res::kStrLabelDtmfCode1 + n, n, kCodeLength, kDtmfFilter, true,
            FormEditCommit::kOnOk);
  }
}

std::string DtmfCodeForm::Text(int id) const {
  const int n = id - kFirstCode;
  if (n < 0 || n >= kDtmfCodeCount) return {};
  return edited_[n].value_or(record_.codes[n]);
}

void DtmfCodeForm::TextEdited(int id, std::string_view text) {
  const int n = id - kFirstCode;
  if (n >= 0 && n < kDtmfCodeCount) edited_[n] = std::string(text);
}

bool DtmfCodeForm::Ok() {
  const DtmfCodeList opened = record_;
  for (int n = 0; n < kDtmfCodeCount; ++n) {
    if (edited_[n]) record_.codes[n] = CleanDtmfCode(*edited_[n]);
  }
  if (record_ != opened) MarkChanged();
  record_.Encode(doc_.image);
  return true;
}

}  // namespace ql40
