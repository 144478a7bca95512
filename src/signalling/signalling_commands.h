#pragma once

// The Signalling menu: which of its commands the codeplug allows, the form each one opens,
// and what the document does after it.

#include <memory>

#include "codeplug/codeplug.h"
#include "settings/form_model.h"

namespace ql40 {

enum SignallingCommand : int {
  kCmdAni = 32783,
  kCmdDtmf = 32784,
  kCmdDtmfCode = 32785,
  kCmdPagingCode = 32786,
  kCmdTwoTone = 32787,
  kCmdTwoToneTable = 32788,
};

// By the option unit (2Tone offers the tone tables instead of the paging codes, SUBSIG
// neither) and, for the paging codes, the DTMF receiver (byte 27 bit 1 clear).
bool SignallingCommandEnabled(int command_id, const Codeplug& doc);

// The form of a Signalling command, decoded from the document's image; nothing for an id that
// is no Signalling command.
std::unique_ptr<FormModel> MakeSignallingForm(int command_id, Codeplug& doc);

// After the dialog: the tables that clear channel references write the channel table back
// into the image (the grid must then be rebuilt; true is returned for that).
bool FinishSignallingCommand(int command_id, Codeplug& doc, bool accepted);

}  // namespace ql40
