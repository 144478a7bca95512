#include "link/transfer_runner.h"

#include "settings/default_settings.h"

namespace ql40::link {

TransferRunner::~TransferRunner() {
  if (worker_.joinable()) worker_.join();
}

void TransferRunner::Start(TransferKind kind) {
  if (worker_.joinable()) worker_.join();
  cancelled_ = false;
  outcome_ = {};
  worker_ = std::thread([this, kind] { outcome_ = session_.Run(kind); });
}

void TransferRunner::RequestCancel(CancelToken& token) {
  cancelled_ = true;
  token.Request();
}

TransferOutcome TransferRunner::Wait() {
  if (worker_.joinable()) worker_.join();
  result_ = cancelled_ ? DialogResult::kCancel : outcome_.Result();
  return outcome_;
}

TransferOutcome RunOnWorker(CloneSession& session, TransferKind kind) {
  TransferRunner runner(session);
  runner.Start(kind);
  return runner.Wait();
}

TransferOutcome UploadCommand(Codeplug& doc, const TransferFunction& transfer) {
  const TransferOutcome outcome = transfer(TransferKind::kUpload);
  if (outcome.succeeded) {
    doc.file_loaded = false;
    doc.radio_origin = true;
    doc.path = "<none>";
  }
  doc.RefreshFromImage();
  doc.channels.SelectGroup(0);
  return outcome;
}

TransferOutcome DownloadCommand(Codeplug& doc, const TransferFunction& transfer) {
  doc.CommitToImage();
  ReencodeKeyAssignment(doc.image, doc.option_unit);
  const TransferOutcome outcome = transfer(TransferKind::kDownload);
  doc.RefreshFromImage();
  return outcome;
}

DialogResult AlignmentCommand(Codeplug& doc, bool fine, const TransferFunction& transfer,
                              std::unique_ptr<SerialPort>& link, Prompter* prompter,
                              const AlignmentDialog& dialog) {
  const auto saved = std::make_unique<Image>(doc.image);
  const TransferOutcome upload = transfer(TransferKind::kAlignmentUpload);
  DialogResult result = upload.Result();
  // Only a radio that was read completely may be driven: after a failed upload the document
  // is not the radio's.
  if (upload.succeeded && link) {
    AlignmentLink alignment(*link, prompter);
    alignment.EnterAlignmentMode();
    doc.RefreshFromImage();
    doc.channels.SelectGroup(0);
    if (dialog && dialog(alignment, doc)) {
      alignment.LeaveAlignmentMode();
      result =
          transfer(fine ? TransferKind::kFineWriteBack : TransferKind::kBasicWriteBack).Result();
    }
  } else if (result == DialogResult::kOk) {
    result = DialogResult::kFailed;
  }
  doc.image = *saved;
  doc.RefreshFromImage();
  doc.channels.SelectGroup(0);
  link.reset();
  return result;
}

}  // namespace ql40::link
