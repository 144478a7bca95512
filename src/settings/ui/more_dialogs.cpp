#include "settings/ui/more_dialogs.h"

#include <memory>

#include "settings/emergency_form.h"
#include "settings/marketing_form.h"
#include "settings/misc_form.h"
#include "settings/power_form.h"
#include "settings/scan_form.h"
#include "signalling/ui/form_dialog.h"

namespace ql40::ui {
namespace {

enum MoreSettingsCommand : int {
  kCmdScanning = 32774,
  kCmdPowerSaving = 32775,
  kCmdEmergency = 32778,
  kCmdMarketing = 32779,
  kCmdMiscellaneous = 32780,
};

std::unique_ptr<DialogForm> MakeForm(int command_id, Codeplug& doc) {
  switch (command_id) {
    case kCmdScanning:
      return std::make_unique<ScanForm>(doc);
    case kCmdPowerSaving:
      return std::make_unique<PowerForm>(doc);
    case kCmdEmergency:
      return std::make_unique<EmergencyForm>(doc);
    case kCmdMarketing:
      return std::make_unique<MarketingForm>(doc);
    case kCmdMiscellaneous:
      return std::make_unique<MiscForm>(doc);
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<DialogOutcome> RunMoreSettingsDialog(int command_id, QWidget* parent,
                                                   shell::AppContext& app) {
  Codeplug& doc = app.doc;
  doc.CommitToImage();
  std::unique_ptr<DialogForm> form = MakeForm(command_id, doc);
  if (!form) return std::nullopt;
  DialogOutcome outcome;
  outcome.accepted = RunFormDialog(*form, parent);
  // The marketing dialog keeps the identity record itself (its Cancel reads it back); the
  // others leave the image as the only truth and the document reads it again.
  if (command_id != kCmdMarketing) doc.RefreshFromImage();
  return outcome;
}

}  // namespace ql40::ui
