#include "link/transfer_runner.h"
#include "shell/ui/hooks.h"

namespace ql40::ui {

link::TransferOutcome RunTransferDialog(QWidget*, const SessionFactory& make_session,
                                        link::TransferKind kind) {
  auto session = make_session(nullptr, nullptr);
  return link::RunOnWorker(*session, kind);
}

}  // namespace ql40::ui
