#include "signalling/paging_forms.h"

#include <algorithm>

#include "codeplug/codecs.h"
#include "resources/settings_labels.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {
namespace {

constexpr int kDefaultUserTone = 45;  // what a row that has just become USER starts with
constexpr int kPagingFilter = 7;
constexpr int kToneFilter = 6;

std::string RawToneText(int number) {
  return Format(res::kRawToneFormat, number);
}

}  // namespace

// --- Paging Code --------------------------------------------------------------------------

PagingForm::PagingForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitlePagingCode}, &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image);
  for (int n = 0; n < kPagingSlotCount; ++n) {
    flags_[n] = record_.slots[n].enc_dec;
    AddEdit(kFirstCode + n, res::kStrLabelPage1 + n, n, kPagingCodeLength, kPagingFilter, true,
            FormEditCommit::kOnOk);
    AddList(kFirstFlag + n, 0, n, 2);
  }
}

std::vector<std::string> PagingForm::Items(int id) const {
  const int n = id - kFirstFlag;
  if (n < 0 || n >= kPagingSlotCount) return {};
  return FormLabels(res::kPagingFlags);
}

int PagingForm::Selection(int id) const {
  const int n = id - kFirstFlag;
  if (n < 0 || n >= kPagingSlotCount) return -1;
  return Enabled(id) ? flags_[n] : 0;
}

std::string PagingForm::Text(int id) const {
  const int n = id - kFirstCode;
  if (n < 0 || n >= kPagingSlotCount) return {};
  return edited_[n].value_or(record_.slots[n].code);
}

bool PagingForm::Enabled(int id) const {
  const int n = id - kFirstFlag;
  if (n < 0 || n >= kPagingSlotCount) return true;
  return !Text(kFirstCode + n).empty();
}

void PagingForm::Select(int id, int index) {
  const int n = id - kFirstFlag;
  if (n < 0 || n >= kPagingSlotCount || !Enabled(id) || index < 0 || index > 1) return;
  flags_[n] = index;
}

void PagingForm::TextEdited(int id, std::string_view text) {
  const int n = id - kFirstCode;
  if (n < 0 || n >= kPagingSlotCount) return;
  edited_[n] = std::string(text);
  if (text.empty()) flags_[n] = 0;  // a disabled list shows ENC Only
}

bool PagingForm::Ok() {
  const PagingTable opened = record_;
  for (int n = 0; n < kPagingSlotCount; ++n) {
    if (edited_[n]) {
      record_.CommitCode(n, *edited_[n]);
      // A slot that is no longer there cannot be sent from any channel.
      if (record_.slots[n].code.empty()) doc_.channels.ClearPageCodeReferences(n + 1);
    }
    record_.slots[n].enc_dec = record_.slots[n].code.empty() ? 0 : flags_[n];
  }
  if (record_ != opened) MarkChanged();
  record_.Encode(doc_.image, doc_.option_unit);
  return true;
}

// --- 2Tone Parameters ---------------------------------------------------------------------

TwoToneParametersForm::TwoToneParametersForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleTwoToneParameters},
                &doc.modified),
      doc_(doc) {
  record_.Decode(doc_.image);
  opened_ = record_;
  tone_format_ = doc_.tone_format;
  AddList(kAutoReset, res::kStrLabelToneAutoReset, 0);
  AddList(kGroupCall, res::kStrLabelGroupCall, 1);
  AddList(kCallTimes, res::kStrLabelToneCallTimes, 2);
  AddList(kToneFormat, res::kStrLabelToneFormat, 3);
}

std::vector<std::string> TwoToneParametersForm::Items(int id) const {
  switch (id) {
    case kAutoReset:
      return FormLabels(res::kOffOnPlain);
    case kGroupCall:
      return FormLabels(res::kGroupCalls);
    case kCallTimes:
      return FormLabels(res::kCallTimes);
    case kToneFormat:
      return FormLabels(res::kToneFormats);
    default:
      return {};
  }
}

int TwoToneParametersForm::Selection(int id) const {
  switch (id) {
    case kAutoReset:
      return record_.auto_reset;
    case kGroupCall:
      return record_.group_call;
    case kCallTimes:
      return record_.call_times;
    case kToneFormat:
      return tone_format_;
    default:
      return -1;
  }
}

void TwoToneParametersForm::Select(int id, int index) {
  if (index < 0 || index >= static_cast<int>(Items(id).size())) return;
  switch (id) {
    case kAutoReset:
      record_.auto_reset = index;
      break;
    case kGroupCall:
      record_.group_call = index;
      break;
    case kCallTimes:
      record_.call_times = index;
      break;
    case kToneFormat:
      tone_format_ = index;
      break;
    default:
      break;
  }
}

bool TwoToneParametersForm::Ok() {
  if (record_ != opened_) MarkChanged();
  std::array<bool, kPagingSlotCount> used{};
  for (int n = 0; n < kPagingSlotCount; ++n) used[n] = !PagingSlotEmpty(doc_.image, n);
  if (ChangeToneFormat(doc_.image, doc_.tone_format, tone_format_)) {
    format_changed_ = true;
    MarkChanged();
    if (doc_.option_unit == kOption2Tone) {
      for (int n = 0; n < kPagingSlotCount; ++n) {
        if (used[n]) doc_.channels.ClearPageCodeReferences(n + 1);
      }
    }
  }
  record_.Encode(doc_.image);
  return true;
}

// --- 2 Tone Edit --------------------------------------------------------------------------

TwoToneEditForm::TwoToneEditForm(Codeplug& doc)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleTwoToneEdit}, &doc.modified),
      doc_(doc) {
  // Decoding settles the format: slots that no standard set can show switch the table to
  // raw numbers, so every stored byte is shown as it is.
  record_.Decode(doc_.image, doc_.tone_format);
  opened_ = record_;
  user_defined_ = doc_.tone_format == kToneUserDefined;
  AddHeading(res::kStrHeadingToneGroup, 1);
  AddHeading(res::kStrHeadingFirstTone, 2);
  AddHeading(res::kStrHeadingSecondTone, 3);
  for (int r = 0; r < kPagingSlotCount; ++r) {
    const int k = GroupId(r);
    const TwoToneRow& row = record_.rows[r];
    if (row.group == kToneGroupUser) {
      edit_text_[r] = {RawToneText(row.first), RawToneText(row.second)};
    }
    AddList(k, res::kStrLabelToneRow1 + r, r, 1);
    AddList(k + kFirstList, 0, r, 2);
    AddList(k + kSecondList, 0, r, 3);
    AddEdit(k + kFirstEdit, 0, r, 3, kToneFilter, false, FormEditCommit::kOnEnter, 2);
    AddEdit(k + kSecondEdit, 0, r, 3, kToneFilter, false, FormEditCommit::kOnEnter, 3);
  }
}

bool TwoToneEditForm::Locate(int id, int& row, int& part) {
  const int offset = id - kFirstRow;
  if (offset < 0 || offset >= kRowStride * kPagingSlotCount) return false;
  row = offset / kRowStride;
  part = offset % kRowStride;
  return true;
}

std::vector<std::string> TwoToneEditForm::Items(int id) const {
  int r = 0, part = 0;
  if (!Locate(id, r, part)) return {};
  if (part == kGroup) {
    if (user_defined_) return FormLabels(res::kUserToneGroups);
    std::vector<std::string> items{std::string(res::kToneGroupOffLabel)};
    for (const res::ToneSet& set : res::kToneSets) items.emplace_back(set.name);
    return items;
  }
  if (part == kFirstList || part == kSecondList) {
    const int group = record_.rows[r].group;
    if (user_defined_ || group < 1 || group > res::kToneSetCount) return {};
    std::vector<std::string> items;
    for (double hz : res::kToneSets[static_cast<std::size_t>(group - 1)].tones) {
      items.push_back(res::ToneText(hz));
    }
    return items;
  }
  return {};
}

int TwoToneEditForm::Selection(int id) const {
  int r = 0, part = 0;
  if (!Locate(id, r, part)) return -1;
  const TwoToneRow& row = record_.rows[r];
  switch (part) {
    case kGroup:
      if (user_defined_) return row.group == kToneGroupOff ? 0 : 1;
      return row.group;
    case kFirstList:
      return Enabled(id) ? row.first : -1;
    case kSecondList:
      return Enabled(id) ? row.second : -1;
    default:
      return -1;
  }
}

std::string TwoToneEditForm::Text(int id) const {
  int r = 0, part = 0;
  if (!Locate(id, r, part)) return {};
  if (part == kFirstEdit) return edit_text_[r][0];
  if (part == kSecondEdit) return edit_text_[r][1];
  return {};
}

bool TwoToneEditForm::Enabled(int id) const {
  int r = 0, part = 0;
  if (!Locate(id, r, part)) return false;
  return part == kGroup || record_.rows[r].group != kToneGroupOff;
}

bool TwoToneEditForm::Visible(int id) const {
  int r = 0, part = 0;
  if (!Locate(id, r, part)) return false;
  if (part == kFirstList || part == kSecondList) return !user_defined_;
  if (part == kFirstEdit || part == kSecondEdit) return user_defined_;
  return true;
}

void TwoToneEditForm::Select(int id, int index) {
  int r = 0, part = 0;
  if (!Locate(id, r, part) || !Enabled(id)) return;
  if (index < 0 || index >= static_cast<int>(Items(id).size())) return;
  TwoToneRow& row = record_.rows[r];
  if (part == kGroup) {
    if (user_defined_) {
      row.group = index == 0 ? kToneGroupOff : kToneGroupUser;
      if (row.group == kToneGroupUser) {
        for (std::string& text : edit_text_[r]) {
          if (text.empty()) text = RawToneText(kDefaultUserTone);
        }
      }
    } else if (index != row.group) {
      row.group = index;
      row.first = 0;
      row.second = 0;
    }
    return;
  }
  if (part == kFirstList) row.first = index;
  if (part == kSecondList) row.second = index;
}

FormCommit TwoToneEditForm::Commit(int id, std::string_view text) {
  int r = 0, part = 0;
  if (!Locate(id, r, part) || (part != kFirstEdit && part != kSecondEdit)) {
    return {std::string(text)};
  }
  const long long value = std::clamp<long long>(ParseInteger(text), 0, res::kToneNumberEnd);
  std::string& stored = edit_text_[r][part == kFirstEdit ? 0 : 1];
  stored = RawToneText(static_cast<int>(value));
  return {stored};
}

bool TwoToneEditForm::Ok() {
  for (int r = 0; r < kPagingSlotCount; ++r) {
    TwoToneRow& row = record_.rows[r];
    if (row.group == kToneGroupOff) {
      if (opened_.rows[r].group != kToneGroupOff) doc_.channels.ClearPageCodeReferences(r + 1);
      row = TwoToneRow{};
      continue;
    }
    if (row.group == kToneGroupUser) {
      // Numbers that were never edited are taken as they were read, beyond 240 or not, so that
      // OK never changes a slot the user did not touch.
      row.first = static_cast<int>(ParseInteger(edit_text_[r][0]));
      row.second = static_cast<int>(ParseInteger(edit_text_[r][1]));
    }
  }
  if (record_ != opened_) MarkChanged();
  record_.Encode(doc_.image, doc_.option_unit);
  return true;
}

}  // namespace ql40
