// The Common menu's dialogs and Channel Allocations.

#include <QApplication>

#include "link/serial_port.h"
#include "settings/settings_forms.h"
#include "settings/ui/channel_update.h"
#include "settings/ui/more_settings.h"
#include "settings/ui/settings_dialog.h"
#include "shell/ui/hooks.h"
#include "shell/ui/qt_prompter.h"

namespace ql40::ui {

std::optional<DialogOutcome> RunSettingsCommand(int command_id, QWidget* parent,
                                                shell::AppContext& app) {
  switch (command_id) {
    case kCmdHardware:
    case kCmdOption:
    case kCmdFrontPanel:
    case kCmdKeyFunction:
    case kCmdChannelAllocation:
      break;
    default:
      return RunMoreSettingsCommand(command_id, parent, app);
  }
  Codeplug& doc = app.doc;
  // The dialogs decode from the image, and Hardware's and Channel Allocation's Cancel decode
  // the document again from it: it must hold the records as they are now.
  doc.CommitToImage();
  QtPrompter prompter(parent);
  const link::PortOpener open_port = [&app](int read_constant_ms, link::PortOpenError* error) {
    return link::OpenSystemPort(app.port_names.DeviceOf(app.com_port), read_constant_ms, error);
  };
  auto update = [&doc, open_port, parent](int old_total, int new_total) {
    QWidget* active = QApplication::activeModalWidget();
    RunChannelUpdate(active != nullptr ? active : parent, doc, open_port, old_total, new_total);
  };
  std::unique_ptr<FormModel> form =
      MakeSettingsForm(command_id, doc, prompter, app.maintenance, update);
  if (!form) return std::nullopt;
  return ToDialogOutcome(RunFormDialog(*form, parent, &prompter));
}

}  // namespace ql40::ui
