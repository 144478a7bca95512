#include "settings/scan_form.h"

#include "codeplug/codecs.h"
#include "resources/settings_labels.h"
#include "signalling/dialog_text_ids.h"
#include "signalling/form_labels.h"

namespace ql40 {
namespace {

using Lists = FormListField<ScanSettings>;
constexpr auto kDisabledEnabled = ListLabels<res::kDisabledEnabledPadded>;
constexpr Lists kLists[] = {
    {ScanForm::kDualWatch, &ScanSettings::dual_watch_time,
     FormattedLabels<res::kDualWatchFormat, res::kDualWatchTimes>},
    {ScanForm::kResume1, &ScanSettings::resume_time1,
     FormattedLabels<res::kScanResumeFormat, res::kScanResumeTimes1>},
    {ScanForm::kResume2, &ScanSettings::resume_time2,
     FormattedLabels<res::kScanResumeFormat, res::kScanResumeTimes2>},
    {ScanForm::kHomeScan, &ScanSettings::home_channel_scan, kDisabledEnabled},
    {ScanForm::kTalkBack, &ScanSettings::talk_back, kDisabledEnabled},
    {ScanForm::kRevert, &ScanSettings::revert_channel, ListLabels<res::kRevertChannels>},
    {ScanForm::kScanEdit, &ScanSettings::scan_edit, kDisabledEnabled},
    {ScanForm::kScanBeep, &ScanSettings::scan_beep, kDisabledEnabled},
    {ScanForm::kPriBeep, &ScanSettings::pri_beep, kDisabledEnabled},
};

}  // namespace

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
  const auto* list = FindListField(kLists, id);
  return list ? &(record_.*list->field) : nullptr;
}

std::vector<std::string> ScanForm::Items(int id) const {
  const auto* list = FindListField(kLists, id);
  return list ? list->items() : std::vector<std::string>{};
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
