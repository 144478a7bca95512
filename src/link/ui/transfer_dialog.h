#pragma once

// The "Access Gauge" dialog: caption, prompt line, progress bar and Cancel, in front of one
// clone transfer that runs on a worker thread. The worker's notices reach the dialog as queued
// calls on the user-interface thread; its messages and questions go through the session's own
// prompter (a QtPrompter is safe from the worker).

#include <QDialog>
#include <atomic>
#include <memory>
#include <thread>

#include "codeplug/prompter.h"
#include "link/clone_session.h"
#include "link/transfer.h"
#include "shell/app_context.h"
#include "shell/ui/hooks.h"

class QEventLoop;
class QLabel;
class QProgressBar;
class QPushButton;

namespace ql40::ui {

// The dialog's caption until the worker names the transfer.
inline constexpr int kStrAccessGauge = 63400;
// The status line of a transfer that sends whole frames, and of one that had to fall back.
inline constexpr int kStrSendingWholeFrames = 63403;
inline constexpr int kStrWholeFramesRefused = 63404;

// Controls by their resource ids.
inline constexpr int kGaugeCancelId = 1178;
inline constexpr int kGaugePromptId = 1190;
inline constexpr int kGaugeProgressId = 100;
inline constexpr const char* kGaugeStatusName = "fastStatus";

// What the dialog hands back. A cancel wins over the worker's own end, except when the worker
// had already finished its procedure: then the document (or the radio) has changed, and the
// caller must treat it as done, or a Save after an upload would write the radio's codeplug
// over the file that was open.
link::TransferOutcome GaugeOutcome(const link::TransferOutcome& worker, bool cancel_requested);

class TransferDialog : public QDialog {
  Q_OBJECT
 public:
  TransferDialog(QWidget* parent, link::TransferKind kind);
  ~TransferDialog() override;

  // Makes the session with the dialog's observer and cancel token, runs it on the worker while
  // the dialog is shown modally, and waits for the worker. Nothing runs when the factory gives
  // no session (the outcome is then a cancel).
  link::TransferOutcome Run(const SessionFactory& make_session);

  QLabel* prompt() const { return prompt_; }
  // Empty unless frames are sent whole: then it says so, or that the radio refused them.
  QLabel* status() const { return status_; }
  QPushButton* cancel_button() const { return cancel_; }
  QProgressBar* gauge() const { return gauge_; }  // null until the first range notice
  bool cancel_requested() const { return cancel_requested_; }

 public slots:
  // Cancel and Escape: the worker is asked to stop, and the dialog stays (handling the
  // worker's notices and messages) until the worker has ended.
  void reject() override;

 signals:
  void workerFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class Forwarder;

  void OnTitle(int string_id);
  void OnPrompt(int string_id);
  void OnRange(int maximum);
  void OnPosition(int position);
  void OnFastRefused();
  void OnEnd(link::DialogResult result);
  void OnWorkerFinished();

  link::TransferKind kind_;
  QLabel* prompt_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* gauge_ = nullptr;
  std::unique_ptr<Forwarder> forwarder_;
  link::CancelToken cancel_token_;
  std::thread worker_;
  link::TransferOutcome worker_outcome_;
  bool cancel_requested_ = false;
  bool finished_ = false;
  QEventLoop* wait_loop_ = nullptr;  // waits for the worker after the dialog has closed
};

// The session factory of the Radio commands: a clone session on the application's document
// over the configured COM port (its device from the port names), messages and questions
// through the prompter, the product-code log in the working folder. The link slot keeps the
// port open between an alignment upload and its write-back.
SessionFactory MakeSessionFactory(shell::AppContext& app, std::unique_ptr<link::SerialPort>& link,
                                  Prompter& prompter);

}  // namespace ql40::ui
