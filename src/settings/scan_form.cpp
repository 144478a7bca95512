#include "settings/scan_form.h"

#include "codeplug/codecs.h"
#include "resources/settings_labels.h"
#include "signalling/dialog_text_ids.h"
#include "signalling/form_labels.h"

namespace ql40 {

ScanForm::ScanForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleScan, .ok_needs_focus = true},
                &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image, doc_.channels.count);
  int row = 0;
  AddList(kDualWatch, res::kStrLabelDualWatch, row++);
  AddList(kResume1, res::kStrLabelResume1, row++);
  AddList(kResume2, res::kStrLabelResume2, row++);
  AddList(kHomeScan, res::kStrLabelHomeScan, row++);
  AddEdit(kHomeChannel, res::kStrLabelHomeChannel, row++, 3, 2, false, FormEditCommit::kOnEnter);
  AddList(kTalkBack, res::kStrLabelTalkBack, row++);
  AddList(kRevert, res::kStrLabelRevert, row++);
  AddList(kScanEdit, res::kStrLabelScanEdit, row++);
  AddList(kScanBeep, res::kStrLabelScanBeep, row++);
  AddList(kPriBeep, res::kStrLabelPriBeep, row++);
}

int* ScanForm::Field(int id) {
  switch (id) {
    case kDualWatch:
      return &record_.dual_watch_time;
    case kResume1:
      return &record_.resume_time1;
    case kResume2:
      return &record_.resume_time2;
    case kHomeScan:
      return &record_.home_channel_scan;
    case kTalkBack:
      return &record_.talk_back;
    case kRevert:
      return &record_.revert_channel;
    case kScanEdit:
      return &record_.scan_edit;
    case kScanBeep:
      return &record_.scan_beep;
    case kPriBeep:
      return &record_.pri_beep;
    default:
      return nullptr;
  }
}

std::vector<std::string> ScanForm::Items(int id) const {
  switch (id) {
    case kDualWatch:
      return FormatLabels(res::kDualWatchFormat, res::kDualWatchTimes);
    case kResume1:
      return FormatLabels(res::kScanResumeFormat, res::kScanResumeTimes1);
    case kResume2:
      return FormatLabels(res::kScanResumeFormat, res::kScanResumeTimes2);
    case kRevert:
      return FormLabels(res::kRevertChannels);
    case kHomeScan:
    case kTalkBack:
    case kScanEdit:
    case kScanBeep:
    case kPriBeep:
      return FormLabels(res::kDisabledEnabledPadded);
    default:
      return {};
  }
}

int ScanForm::Selection(int id) const {
  int* field = const_cast<ScanForm*>(this)->Field(id);
  return field ? *field : -1;
}

std::string ScanForm::Text(int id) const {
  return id == kHomeChannel ? record_.HomeChannelText() : std::string();
}

void ScanForm::Select(int id, int index) {
  int* field = Field(id);
  if (field == nullptr || index < 0 || index >= static_cast<int>(Items(id).size())) return;
  *field = index;
  MarkChanged();
}

FormCommit ScanForm::Commit(int id, std::string_view text) {
  if (id != kHomeChannel) return {std::string(text)};
  // A number beyond the channels in use is not taken; the field shows the old one again.
  if (record_.CommitHomeChannel(ParseInteger(text), doc_.channels.count, doc_.channels.total)) {
    MarkChanged();
  }
  return {record_.HomeChannelText()};
}

bool ScanForm::Ok() {
  record_.Encode(doc_.image, doc_.channels.count);
  return true;
}

}  // namespace ql40
