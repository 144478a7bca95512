#include "signalling/signalling_commands.h"

#include "settings/option_settings.h"
#include "signalling/dtmf_forms.h"
#include "signalling/paging_forms.h"

namespace ql40 {
namespace {

// Bits over the six commands from ANI on, one mask per option-unit table.
constexpr int kMaskOther = 0x0F;
constexpr int kMask2Tone = 0x37;
constexpr int kMaskSubsig = 0x07;

}  // namespace

bool SignallingCommandEnabled(int command_id, const Codeplug& doc) {
  const int bit = command_id - kCmdAni;
  if (bit < 0 || bit > kCmdTwoToneTable - kCmdAni) return false;
  const int mask = doc.option_unit == kOption2Tone    ? kMask2Tone
                   : doc.option_unit == kOptionSubsig ? kMaskSubsig
                                                      : kMaskOther;
  if ((mask >> bit & 1) == 0) return false;
  if (command_id == kCmdPagingCode && !DtmfReceiverFitted(doc.image)) return false;
  return true;
}

std::unique_ptr<FormModel> MakeSignallingForm(int command_id, Codeplug& doc) {
  switch (command_id) {
    case kCmdAni:
      return std::make_unique<AniForm>(doc);
    case kCmdDtmf:
      return std::make_unique<DtmfForm>(doc);
    case kCmdDtmfCode:
      return std::make_unique<DtmfCodeForm>(doc);
    case kCmdPagingCode:
      return std::make_unique<PagingForm>(doc);
    case kCmdTwoTone:
      return std::make_unique<TwoToneParametersForm>(doc);
    case kCmdTwoToneTable:
      return std::make_unique<TwoToneEditForm>(doc);
    default:
      return nullptr;
  }
}

bool FinishSignallingCommand(int command_id, Codeplug& doc, bool accepted) {
  // Paging Code and 2 Tone Edit always commit (their Cancel changes nothing, so this is
  // harmless); the tone format switch clears references only when it was accepted.
  if (command_id == kCmdPagingCode || command_id == kCmdTwoToneTable ||
      (command_id == kCmdTwoTone && accepted)) {
    doc.CommitToImage();
    return command_id != kCmdTwoTone || accepted;
  }
  return false;
}

}  // namespace ql40
