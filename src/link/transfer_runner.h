#pragma once

// Runs a transfer on a worker thread while the caller shows progress, and the Radio menu
// commands around it: what happens to the document before and after Upload, Download and the
// alignment commands. The desktop program only has to show a progress dialog.

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "codeplug/codeplug.h"
#include "link/alignment_link.h"
#include "link/clone_session.h"
#include "link/transfer.h"

namespace ql40::link {

// One transfer on its own thread. The observer's calls arrive on that thread; a desktop
// program forwards them to its user-interface thread.
class TransferRunner {
 public:
  // The session must have been made with this runner's cancel token (see cancel()) and an
  // observer that forwards to the caller's; the runner adds nothing to the session.
  explicit TransferRunner(CloneSession& session) : session_(session) {}
  ~TransferRunner();
  TransferRunner(const TransferRunner&) = delete;
  TransferRunner& operator=(const TransferRunner&) = delete;

  void Start(TransferKind kind);
  // The dialog's Cancel: asks the worker to stop; Wait() then gives Cancel whatever the
  // worker's own end was.
  void RequestCancel(CancelToken& token);
  // Waits for the worker and gives the dialog's result and the procedure's outcome.
  TransferOutcome Wait();
  DialogResult result() const { return result_; }

 private:
  CloneSession& session_;
  std::thread worker_;
  TransferOutcome outcome_;
  bool cancelled_ = false;
  DialogResult result_ = DialogResult::kCancel;
};

// Runs one transfer kind to its end and gives its outcome; the caller decides how progress
// is shown (a dialog around a TransferRunner, a progress bar, nothing).
using TransferFunction = std::function<TransferOutcome(TransferKind)>;

// Runs the kind on a worker thread and waits for it.
TransferOutcome RunOnWorker(CloneSession& session, TransferKind kind);

// Radio > Upload: the radio's codeplug becomes the document. Path, title and origin change
// only after a successful upload; the image is decoded again in every case.
TransferOutcome UploadCommand(Codeplug& doc, const TransferFunction& transfer);

// Radio > Download: the records are committed and the key assignment pruned for the option
// unit before the image goes out; the image is decoded again afterwards.
TransferOutcome DownloadCommand(Codeplug& doc, const TransferFunction& transfer);

// The alignment dialog of an alignment command: runs on the open link, true for OK. It sends
// its own 0x38 when cancelled.
using AlignmentDialog = std::function<bool(AlignmentLink& link, Codeplug& doc)>;

// Radio > Basic Alignment (fine = false) and Radio > Channel Fine Alignment (fine = true):
// alignment upload, mode switch, the dialog, and on OK the write-back. The document is
// exactly what it was afterwards; the link is closed at the end.
DialogResult AlignmentCommand(Codeplug& doc, bool fine, const TransferFunction& transfer,
                              std::unique_ptr<SerialPort>& link, Prompter* prompter,
                              const AlignmentDialog& dialog);

}  // namespace ql40::link
