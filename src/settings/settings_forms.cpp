#include "settings/settings_forms.h"

#include "settings/allocation_form.h"
#include "settings/hardware_form.h"
#include "settings/key_forms.h"
#include "settings/option_form.h"

namespace ql40 {

std::unique_ptr<FormModel> MakeSettingsForm(int command_id, Codeplug& doc, Prompter& prompter,
                                            bool maintenance,
                                            ChannelUpdateFunction update_channels) {
  switch (command_id) {
    case kCmdHardware:
      return std::make_unique<HardwareForm>(doc, prompter, maintenance);
    case kCmdOption:
      return std::make_unique<OptionForm>(doc, maintenance);
    case kCmdFrontPanel:
      return std::make_unique<FrontPanelForm>(doc, prompter);
    case kCmdKeyFunction:
      return std::make_unique<KeyFunctionForm>(doc);
    case kCmdChannelAllocation:
      return std::make_unique<ChannelAllocationForm>(doc, prompter, std::move(update_channels));
    default:
      return nullptr;
  }
}

}  // namespace ql40
