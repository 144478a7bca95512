#pragma once

// Which form model serves which menu command: Hardware (32772), Option (32773), Front Panel
// (32776), Key Function (32777) and Channel Allocations (32830).

#include <functional>
#include <memory>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "settings/form_model.h"

namespace ql40 {

enum SettingsCommand : int {
  kCmdHardware = 32772,
  kCmdOption = 32773,
  kCmdFrontPanel = 32776,
  kCmdKeyFunction = 32777,
  kCmdChannelAllocation = 32830,
};

// Called by Channel Allocation's OK when the total has grown.
using ChannelUpdateFunction = std::function<void(int old_total, int new_total)>;

// The form of a command, decoded from the document's image; null for other commands. The
// document and the prompter outlive the form.
std::unique_ptr<FormModel> MakeSettingsForm(int command_id, Codeplug& doc, Prompter& prompter,
                                            bool maintenance,
                                            ChannelUpdateFunction update_channels = {});

}  // namespace ql40
