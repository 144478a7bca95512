#pragma once

// The clone protocol: the five transfer procedures that move the codeplug between the
// document and the radio, built on four framed commands (read and write a word, read and
// write a block).

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "codeplug/codeplug.h"
#include "link/serial_port.h"
#include "link/transfer.h"

namespace ql40 {
class Prompter;
}

namespace ql40::link {

// Results of the frame commands: 0 success, 1 failed, 2 the read call failed mid-reply
// (retried without counting), 3 cancelled.
enum : int { kFrameOk = 0, kFrameFailed = 1, kFrameReadFailed = 2, kFrameCancelled = 3 };

// The document image's layout as the protocol sees it.
inline constexpr int kWordCount = 128;
inline constexpr int kRadioBlockOffset = 2;  // radio block r is image block r + 2
inline constexpr int kProductBlock = 137;    // image block with the product code
inline constexpr int kProductCodeInBlock = 117;
inline constexpr int kWordLimit = 10;  // error count limits of word and block steps
inline constexpr int kBlockLimit = 20;
inline constexpr int kHandshakePauseMs = 1800;
// The product-code log, appended in the working folder.
inline constexpr const char* kProductLogName = "QL40.LOG";

bool ProductCodeAccepted(int code);

// Everything a session needs besides the document.
struct CloneEnvironment {
  PortOpener open_port;    // opens the configured port
  std::string port_label;  // follows "Check that lead is connected to COM"
  Prompter* prompter = nullptr;
  TransferObserver* observer = nullptr;  // may be null
  const CancelToken* cancel = nullptr;   // may be null
  bool maintenance = false;              // a download also writes radio block 0
  std::filesystem::path log_folder;      // where QL40.LOG goes; empty: the working folder
  // Takes each product-code line instead of QL40.LOG (a fuzzer or test that keeps no files);
  // empty: the lines are appended to the log file.
  std::function<void(const std::string& line)> product_log;
  // Bound on the wait for the radio's start byte; none: until cancelled.
  std::optional<std::chrono::milliseconds> start_byte_wait;
  // Sends each frame whole and checks its echo afterwards instead of byte by byte. The first
  // echo mismatch or refused frame turns it off for the rest of the transfer, so a radio that
  // cannot take bytes back to back still gets programmed.
  bool fast = false;
};

// What a transfer learnt about the radio at the other end, for records of every radio touched.
struct RadioFacts {
  bool known = false;  // the product block was read
  int product_code = 0;
  std::string serial;
  int band = -1;    // from word 12; -1 when it was not read
  int model = -1;   // 1 PT-410, 0 PT-610
  int marker = -1;  // the download marker word as an upload read it; -1 when not read
};

class CloneSession {
 public:
  // The link slot holds the open port between the alignment upload and the write-backs; the
  // caller closes it (resets the pointer) when the alignment ends.
  CloneSession(Codeplug& doc, std::unique_ptr<SerialPort>& link, CloneEnvironment env);

  // Runs one procedure to its end; the observer has seen the end notice (none on cancel).
  TransferOutcome Run(TransferKind kind);

  // Frame commands on the open link.
  int ReadWord(int word, int* value);
  int WriteWord(int word, int value);
  int ReadBlock(int radio_block, std::uint8_t* out);  // 128 bytes
  int WriteBlock(int radio_block, const std::uint8_t* data);
  // Up to three reads of image block b into the image; "Communication Error!" after three
  // failures (1); 3 on a cancel request.
  int ReadBlockWithRetry(int image_block, Image& image);

  int error_count() const { return errors_; }
  // Whether frames are to go out whole, whether they still do, and whether a fast transfer
  // had to fall back.
  bool fast_requested() const { return env_.fast; }
  bool fast_active() const { return fast_; }
  bool fell_back() const { return fell_back_; }
  const RadioFacts& radio() const { return radio_; }
  // The image the last download sent (the document clamped for a smaller radio, when it was)
  // and the image blocks it wrote; null before a download reached its writing steps.
  const Image* sent_image() const { return sent_.get(); }
  int sent_first_block() const { return sent_first_block_; }
  int sent_last_block() const { return sent_last_block_; }
  const PortOpenError& open_error() const { return open_error_; }

 private:
  enum class Step { kGo, kStop };

  TransferOutcome Upload();
  TransferOutcome Download();
  TransferOutcome AlignmentUpload();
  TransferOutcome WriteBack(bool fine);

  bool OpenPort(int read_constant_ms);
  void ClosePort();
  bool Cancelled() const { return env_.cancel != nullptr && env_.cancel->Requested(); }
  // The power-cycle handshake. kGo when the radio is ready; otherwise outcome_ is set.
  Step Handshake(int prompt_id, TransferEnd lead_failure_end);
  // Counts a failed result; kStop (with the message shown) when E passes the limit.
  Step Count(int result, int limit, int message_id, TransferEnd end);
  // Retries a frame command until it succeeds, counting failures against the limit.
  template <typename Command>
  Step Retry(Command command, int limit, int message_id, TransferEnd end);
  Step ReadUploadWord(Image& work, int w, TransferEnd end);
  Step ReadProductBlock(std::uint8_t* block, bool log);
  void ReadMarker();
  // The download's phases, in order.
  Step ReachRadioForDownload(int* w12);
  Step CheckDownloadHardware(int w12, bool* clamp);
  Step TakeAdjustmentData(int w12);
  Step TakeAlignmentTables();
  Step WriteDownload(const Image& send, int last);
  void AppendProductLog(int code) const;
  TransferOutcome End(TransferEnd end, int message_id = 0);
  TransferOutcome Cancel();
  TransferOutcome Fail(int message_id, TransferEnd end);
  TransferOutcome Succeed(int message_id);
  int SendFrame(const std::uint8_t* bytes, std::size_t count);
  int ReceiveFrame(std::uint8_t command, std::uint8_t length, std::uint8_t* data);
  int ReceiveFrameBytes(std::uint8_t command, std::uint8_t length, std::uint8_t* data);
  // A frame that went out whole and was not answered as it should be ends fast sending.
  int Answered(int result);
  void FallBack();
  void NoteWord12(int value);
  void Title(int id) {
    if (env_.observer) env_.observer->Title(id);
  }
  void Prompt(int id) {
    if (env_.observer) env_.observer->Prompt(id);
  }
  void Range(int n) {
    if (env_.observer) env_.observer->Range(n);
  }
  void Position(int n) {
    if (env_.observer) env_.observer->Position(n);
  }

  Codeplug& doc_;
  std::unique_ptr<SerialPort>& link_;
  CloneEnvironment env_;
  PortOpenError open_error_;
  int errors_ = 0;
  int read_failures_ = 0;  // uncounted failed read calls in a row
  TransferOutcome outcome_;
  bool fast_ = false;
  bool fell_back_ = false;
  bool last_send_fast_ = false;
  RadioFacts radio_;
  std::unique_ptr<Image> sent_;
  int sent_first_block_ = 0;
  int sent_last_block_ = 0;
};

}  // namespace ql40::link
