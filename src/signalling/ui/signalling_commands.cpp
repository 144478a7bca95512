#include "signalling/signalling_commands.h"

#include "settings/ui/settings_dialog.h"
#include "shell/ui/hooks.h"

namespace ql40::ui {

std::optional<DialogOutcome> RunSignallingCommand(int command_id, QWidget* parent,
                                                  shell::AppContext& app) {
  if (command_id < kCmdAni || command_id > kCmdTwoToneTable) return std::nullopt;
  DialogOutcome outcome;
  // A command the option unit does not offer does nothing, as its greyed menu item would.
  if (!SignallingCommandEnabled(command_id, app.doc)) return outcome;
  app.doc.CommitToImage();
  std::unique_ptr<FormModel> form = MakeSignallingForm(command_id, app.doc);
  if (!form) return std::nullopt;
  outcome.accepted = RunFormDialog(*form, parent).accepted;
  FinishSignallingCommand(command_id, app.doc, outcome.accepted);
  return outcome;
}

}  // namespace ql40::ui
