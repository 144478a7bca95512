#pragma once

// What a transfer tells the one who waits for it, and how it is asked to stop.

#include <atomic>

namespace ql40::link {

// The five transfer procedures.
enum class TransferKind : int {
  kUpload = 0,
  kDownload = 1,
  kAlignmentUpload = 2,
  kBasicWriteBack = 3,
  kFineWriteBack = 4,
};

// Progress notices, called on the thread that runs the transfer. Texts are string ids.
class TransferObserver {
 public:
  virtual ~TransferObserver() = default;
  virtual void Title(int /*string_id*/) {}
  virtual void Prompt(int /*string_id*/) {}
  virtual void Range(int /*maximum*/) {}
  virtual void Position(int /*position*/) {}
  // Frames sent whole were refused: the rest of the transfer goes byte by byte.
  virtual void FastRefused() {}
  // The completed end (also after an error that was already reported) and the failed end.
  virtual void Completed() {}
  virtual void Failed() {}
};

// A cancel request. Setting it is safe from any thread and from a signal handler.
class CancelToken {
 public:
  void Request() { requested_.store(true, std::memory_order_relaxed); }
  bool Requested() const { return requested_.load(std::memory_order_relaxed); }
  void Reset() { requested_.store(false, std::memory_order_relaxed); }

 private:
  std::atomic<bool> requested_{false};
};
static_assert(std::atomic<bool>::is_always_lock_free, "the cancel request is set from signals");

// How a procedure ended.
enum class TransferEnd {
  kCompleted,  // the completed end: success, or an error that was already reported
  kFailed,     // the failed end
  kCancelled,  // stopped on a cancel request, no end notice
};

// The progress dialog's results.
enum class DialogResult : int { kOk = 1, kCancel = 2, kFailed = 1179 };

struct TransferOutcome {
  TransferEnd end = TransferEnd::kCancelled;
  bool succeeded = false;     // the procedure reached its own end ("... is completed")
  int message_id = 0;         // the last failure message shown, 0 for none
  bool wait_expired = false;  // the wait for the radio's start byte ran out
  // An upload found the radio marked as being written: its last download did not finish.
  bool radio_half_written = false;
  // A download stopped after it had begun to write: the radio may hold part of the codeplug.
  bool writing_interrupted = false;

  DialogResult Result() const {
    switch (end) {
      case TransferEnd::kCompleted:
        return DialogResult::kOk;
      case TransferEnd::kFailed:
        return DialogResult::kFailed;
      case TransferEnd::kCancelled:
        break;
    }
    return DialogResult::kCancel;
  }
};

}  // namespace ql40::link
