#include "settings/option_form.h"

#include <algorithm>

#include "codeplug/bits.h"
#include "resources/labels.h"
#include "resources/settings_labels.h"
#include "settings/settings_text_ids.h"
#include "signalling/paging.h"

namespace ql40 {
namespace {

constexpr int kYes = 0;

}  // namespace

OptionForm::OptionForm(Codeplug& doc, bool maintenance)
    : FormModel({.dialog_id = kDialogId, .title_id = res::kStrTitleOption, .ok_needs_focus = true},
                &doc.modified),
      doc_(doc),
      maintenance_(maintenance),
      paging_(std::make_unique<PagingTable>()),
      opened_channels_(doc.channels),
      opened_option_unit_changed_(doc.option_unit_changed) {
  record_.Decode(doc_.image);
  keys_.Decode(doc_.image);
  encryption_type_ = bits::Get(doc_.image[183], 7, 7);
  ani_.Decode(doc_.image);
  paging_->Decode(doc_.image);
  int row = 0;
  AddList(kLcd, res::kStrLabelLcdDisplay, row++);
  AddList(kLighting, res::kStrLabelLighting, row++);
  AddList(kBeep, res::kStrLabelBeep, row++);
  AddList(kScanList, res::kStrLabelScanList, row++);
  AddList(kKeyLock, res::kStrLabelOptionKeyLock, row++);
  AddList(kSqThreshold, res::kStrLabelSqThreshold, row++);
  row = 0;
  AddList(kEncryptionDevice, res::kStrLabelEncryptionDevice, row++, 3);
  AddList(kKeypad16, res::kStrLabelKeypad16, row++, 3);
  AddList(kDtmfReceiver, res::kStrLabelDtmfReceiver, row++, 3);
  AddList(kSubCpu, res::kStrLabelSubCpu, row++, 3);
}

OptionForm::~OptionForm() = default;

int* OptionForm::Field(int id) {
  switch (id) {
    case kLcd:
      return &record_.lcd_display;
    case kLighting:
      return &record_.lighting;
    case kBeep:
      return &record_.beep;
    case kScanList:
      return &record_.scan_list;
    case kKeyLock:
      return &record_.key_lock;
    case kSqThreshold:
      return &record_.sq_threshold;
    case kEncryptionDevice:
      return &record_.encryption_device;
    case kKeypad16:
      return &record_.keypad_16;
    case kDtmfReceiver:
      return &record_.dtmf_receiver;
    default:
      return nullptr;
  }
}

std::vector<std::string> OptionForm::Items(int id) const {
  switch (id) {
    case kLcd:
      return FormLabels(res::kNormalInverted);
    case kLighting:
    case kBeep:
    case kKeyLock:
      return FormLabels(res::kDisabledEnabledPadded);
    case kScanList:
      return FormLabels(res::kScanListKinds);
    case kSqThreshold:
      return res::SqThresholdLabels();
    case kEncryptionDevice:
    case kKeypad16:
    case kDtmfReceiver:
      return FormLabels(res::kYesNo);
    case kSubCpu: {
      std::vector<std::string> items;
      for (int code : SubCpuCodes(doc_.identity.firmware_version)) {
        items.push_back(res::LabelOr(res::kOptionUnits, code));
      }
      return items;
    }
    default:
      return {};
  }
}

int OptionForm::Selection(int id) const {
  if (id == kSubCpu) return SubCpuIndexOfCode(record_.option_unit, doc_.identity.firmware_version);
  const int* field = const_cast<OptionForm*>(this)->Field(id);
  if (field == nullptr) return -1;
  const int n = static_cast<int>(Items(id).size());
  return *field >= 0 && *field < n ? *field : -1;
}

bool OptionForm::Enabled(int id) const {
  // The accessories are what the radio was built with; only service work changes them.
  return maintenance_ || (id >= kLcd && id <= kSqThreshold);
}

void OptionForm::Select(int id, int index) {
  if (index < 0 || index >= static_cast<int>(Items(id).size())) return;
  if (index == Selection(id)) return;
  if (id == kSubCpu) {
    ChangeSubCpu(SubCpuCodeOfIndex(index, doc_.identity.firmware_version));
    MarkChanged();
    return;
  }
  int* field = Field(id);
  if (field == nullptr) return;
  *field = index;
  MarkChanged();
  const bool device = record_.encryption_device == kYes;
  const bool receiver = record_.dtmf_receiver == kYes;
  if (id == kEncryptionDevice) {
    // "Hi Level" needs the device without a DTMF receiver.
    if (!device || receiver) encryption_type_ = 0;
    if (device) ani_.type = 0;  // the encryption device leaves only DTMF ANI
  } else if (id == kDtmfReceiver) {
    if (!device || receiver) encryption_type_ = 0;
    // With the KSE-40 device the accessory connector is taken.
    if (device && encryption_type_ == 0) keys_.RemoveAccFunctions();
  }
}

void OptionForm::ChangeSubCpu(int code) {
  record_.option_unit = code;
  for (PagingSlot& slot : paging_->slots) slot = PagingSlot{};
  doc_.channels.ApplyOptionUnitChange(code);
  if (code == kOptionPtTrunk) keys_.PruneForOptionUnit(kOptionPtTrunk);
  doc_.option_unit_changed = true;
}

bool OptionForm::Ok() {
  const int unit = record_.option_unit;
  if (record_.encryption_device != kYes) {
    doc_.channels.ClearEncryption();
    doc_.option_unit_changed = true;
  }
  doc_.channels.EncodeChannelTable(doc_.image, doc_.hardware, unit);
  record_.Encode(doc_.image);
  KeyAssignment keys = keys_;
  keys.PruneForOptionUnit(unit);
  for (int k = 0; k < kKeyCount; ++k) {
    doc_.image[static_cast<std::size_t>(KeyByteOffset(k))] =
        static_cast<std::uint8_t>(std::clamp(keys.keys[static_cast<std::size_t>(k)], 0, 255));
  }
  bits::Put(doc_.image[183], 7, encryption_type_ != 0);
  ani_.Encode(doc_.image);
  paging_->Encode(doc_.image, unit);
  outcome_.option_unit_changed = doc_.option_unit_changed;
  outcome_.accepted = true;
  return true;
}

void OptionForm::Cancel() {
  // A Sub CPU change cleared channel references and priorities in the table; none of it
  // stays when the user cancels.
  doc_.channels = opened_channels_;
  doc_.option_unit_changed = opened_option_unit_changed_;
  outcome_ = FormOutcome{};
}

}  // namespace ql40
