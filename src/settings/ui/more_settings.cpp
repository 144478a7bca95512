#include "settings/ui/more_settings.h"

#include <memory>

#include "settings/emergency_form.h"
#include "settings/marketing_form.h"
#include "settings/misc_form.h"
#include "settings/power_form.h"
#include "settings/scan_form.h"
#include "settings/ui/settings_dialog.h"

namespace ql40::ui {
namespace {

enum MoreSettingsCommand : int {
  kCmdScanning = 32774,
  kCmdPowerSaving = 32775,
  kCmdEmergency = 32778,
  kCmdMarketing = 32779,
  kCmdMiscellaneous = 32780,
};

std::unique_ptr<FormModel> MakeForm(int command_id, Codeplug& doc) {
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

std::optional<DialogOutcome> RunMoreSettingsCommand(int command_id, QWidget* parent,
                                                    shell::AppContext& app) {
  Codeplug& doc = app.doc;
  if (command_id != kCmdScanning && command_id != kCmdPowerSaving && command_id != kCmdEmergency &&
      command_id != kCmdMarketing && command_id != kCmdMiscellaneous) {
    return std::nullopt;
  }
  // The dialogs read their records from the image, so it must hold the latest edits.
  doc.CommitToImage();
  std::unique_ptr<FormModel> form = MakeForm(command_id, doc);
  DialogOutcome outcome;
  outcome.accepted = RunFormDialog(*form, parent).accepted;
  // The marketing dialog keeps the identity record itself (its Cancel reads it back); after
  // the others the document reads the image again.
  if (command_id != kCmdMarketing) doc.RefreshFromImage();
  return outcome;
}

}  // namespace ql40::ui
