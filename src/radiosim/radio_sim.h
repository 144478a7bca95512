#pragma once

// A simulated PT-410/PT-610 radio on its programming cable: the radio's side of the clone and
// alignment protocols, with faults to provoke every failure path of the program's side.
//
// Wire facts both sides rely on:
// - The single-wire cable echoes every byte the program sends; the radio's own bytes are not
//   echoed back to the radio. Radio::Receive returns the echo first, then any reply.
// - Word w is image bytes 2w (low) and 2w+1 (high) and travels high byte first.
// - Radio block r is image block r + 2 (r = 0..135). Block 136 is never transferred.
// - Clone frames (F0-F3) are never ACKed or NAKed. A write-block frame is answered by exactly
//   one byte (0x06). A clone frame with a wrong length or checksum gets no answer at all.
// - Alignment frames (0x30-0x3F) are answered by one byte: 0x06 ACK, 0x15 NAK, or (with
//   RadioOptions::ack_with_command_byte) the command byte itself. 0x31 is then followed by an
//   answer frame without command byte: length 5, four level bytes, checksum over
//   0x31 + length + data. The radio then waits for the program's 0x06 (done) or 0x15 (sends
//   the answer frame again); any other byte starts a new frame.
// - Alignment commands other than 0x38 are NAKed unless the radio is in alignment mode. After
//   the 0x38 frame, a raw 0x30 enters alignment mode and a raw 0x40 leaves it; any other byte
//   leaves it too and is taken as the start of a frame. Raw bytes get only the echo.
// - With need_power_cycle the radio ignores everything (the cable still echoes) until it is
//   switched off and on. Switched on, it sends the start byte 0x50 and ignores everything but
//   the program's 0x40, after which it answers frames. It has no time-outs of its own, so a
//   program that pauses 1800 ms after its 0x40 is served normally.
// - Word 127 is the download marker: the radio stores what the program writes (0xFFFF while a
//   download writes, 0xA55A when it completed). On 0xA55A the radio counts a completed download
//   and, with save_on_download, writes its memory as a .q40 file.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "codeplug/image.h"

namespace ql40::sim {

// Faults, each counted from 1 over its own kind of event; 0 = never.
struct Faults {
  int drop_reply_byte_at = 0;     // the Nth byte the radio sends (not echoes) is not sent
  int corrupt_reply_byte_at = 0;  // the Nth byte the radio sends has all its bits flipped
  int ignore_frame_at = 0;        // the Nth well-formed frame received gets no answer at all
  int bad_checksum_at = 0;        // the Nth reply frame (F0-F2 replies, 0x31 answers) is off by one
  int nak_at = 0;                 // the Nth alignment command is answered NAK
  int silent_after_bytes = 0;     // after N received bytes the radio answers nothing more (the
                                  // cable still echoes; a power cycle still sends the start byte)
  int unplug_after_bytes = 0;     // from the (N+1)th received byte on nothing comes back, not
                                  // even the echo or a start byte
  int line_error_at = 0;          // Wire only: the Nth byte that reaches the program arrives
                                  // with a line error
  int repeat = 1;                 // every *_at fault hits this many events in a row from its Nth
  // Faults of a fleet of radios.
  int nak_clone_at = 0;            // the Nth well-formed clone frame is answered by one NAK byte
  int misstore_at = 0;             // the Nth block byte written is stored with bit 0 flipped
  bool drop_back_to_back = false;  // a byte arriving right behind the previous one is lost to
                                   // the radio (the cable still echoes it)
};

// What the radio reports about itself as it happens. Detail events are one per frame.
struct RadioEvent {
  bool detail = false;
  std::string text;
};

struct RadioOptions {
  int band = 0;                     // 0 VHF, 1 VHF Lo Band, 2 UHF (built-in memory)
  int model = 0;                    // 0 PT-610, 1 PT-410 (built-in memory)
  int firmware_version = 125;       // 0..9999, BCD in image bytes 0-1 (built-in memory)
  std::string serial = "1K000042";  // 8 characters, see ValidateOptions (built-in memory)
  int product_code = 0xC014;        // image bytes 17653-17654, high byte first (built-in memory)
  bool pace = false;                // PtyRadio: every byte on the wire takes 10 bit times at 9600
  bool need_power_cycle = false;    // answers nothing until switched off and on
  int power_on_after_ms = -1;       // PtyRadio, with need_power_cycle: switches itself on once
                                    // the program has addressed it and then left the line quiet
                                    // this long (-1: only by PowerCycle()). Keep it above the
                                    // program's read time-out, or the start byte arrives while
                                    // the program still waits for a reply frame.
  bool ack_with_command_byte = false;             // acknowledge alignment commands with their byte
  std::array<int, 4> levels = {168, 42, 201, 0};  // battery, noise, signal, spare (0x31)
  std::string save_on_download;   // write the memory as a .q40 file when a download completes
  std::optional<double> trailer;  // the saved file's trailer; unset: the band's default split
  std::function<void(const RadioEvent&)> on_event;  // called on the serving thread
  Faults faults;
  // Level readings for trying the measurements: each reading varies by up to this much around
  // `levels` (a fixed pseudo-random sequence), and with rssi_peak >= 0 the signal strength
  // falls by 2 for every step the last 0x32 value lies away from it, as a receiver does off
  // its tuning peak.
  int level_spread = 0;
  int rssi_peak = -1;
};

// One thing the radio received in alignment: an alignment frame with its data bytes (accepted
// or refused), or a raw byte between frames (0x00 around deviations, the mode byte after 0x38).
struct AlignmentRecord {
  bool raw = false;
  std::uint8_t command = 0;  // the command byte, or the raw byte itself
  std::vector<std::uint8_t> data;
  bool accepted = false;
  bool operator==(const AlignmentRecord&) const = default;
};

// An empty string when the options can make a radio, else what is wrong with them.
std::string ValidateOptions(const RadioOptions& options);

struct RadioStats {
  std::int64_t bytes_received = 0;  // program → radio, echoed or not
  std::int64_t bytes_sent = 0;      // radio → program, echoes excluded
  std::int64_t frames_served = 0;   // frames answered (clone and alignment)
  std::int64_t frames_ignored = 0;  // well-formed frames left unanswered by ignore_frame_at
  std::int64_t bad_frames = 0;      // wrong length or checksum, unknown address
  std::int64_t words_read = 0;
  std::int64_t words_written = 0;
  std::int64_t blocks_read = 0;
  std::int64_t blocks_written = 0;
  std::array<std::int64_t, 128> word_writes{};  // per word
  std::array<int, 136> block_writes{};          // per radio block
  std::array<int, 136> block_reads{};           // per radio block
  int alignment_commands = 0;                   // alignment frames received, NAKed ones included
  int naks_sent = 0;
  int answer_acks = 0;          // the program's ACKs of 0x31 answer frames
  int answer_naks = 0;          // ... and its NAKs
  int downloads_started = 0;    // marker 0xFFFF written
  int downloads_completed = 0;  // marker 0xA55A written
  int power_cycles = 0;
  int handshakes = 0;      // 0x40 received after the start byte
  int raw_zero_bytes = 0;  // raw 0x00 bytes between frames
  int faults_fired = 0;
  std::int64_t bytes_lost = 0;  // received bytes the radio missed (drop_back_to_back)
};

// What the alignment commands have set, for tests that drive the radio in alignment.
struct AlignmentState {
  int group = -1;  // 0x30: group index and channel position
  int position = -1;
  bool transmitting = false;                    // 0x34 on, 0x35 off
  int value = -1;                               // 0x32
  std::array<int, 3> deviation = {-1, -1, -1};  // 0x33: DCS, maximum, CTCSS
  std::array<int, 4> dac = {-1, -1, -1, -1};    // 0x3B: 0x7F, frequency D/A, second, mic gain
  int last_command = -1;
  int power_save_commands = 0;  // 0x3E
};

// The radio's protocol state machine, no port I/O: bytes in, bytes out (echo included).
class Radio {
 public:
  Radio(RadioOptions options, const Image& memory);

  // One byte from the program. Appends the cable's echo, then whatever the radio answers.
  void Receive(std::uint8_t byte, std::vector<std::uint8_t>& out);
  // The same for a byte that arrived right behind the previous one, with no gap on the line.
  void Receive(std::uint8_t byte, std::vector<std::uint8_t>& out, bool back_to_back);
  // The user switches the radio off and on: appends the start byte 0x50 (unless unplugged).
  void PowerCycle(std::vector<std::uint8_t>& out);
  // The line has been quiet a while: a half-received frame is dropped, as a real radio's
  // receiver gives up on one.
  void LineQuiet();

  // Off (need_power_cycle), and the program has sent it something since: a host that
  // switches the radio on by itself does so once the line has been quiet.
  bool PowerOnPending() const;
  bool powered_on() const { return state_ != State::kOff; }
  bool alignment_mode() const { return alignment_mode_; }
  bool mid_frame() const { return !frame_.empty(); }

  const Image& memory() const { return memory_; }
  int marker() const;  // word 127 as the radio holds it
  const RadioStats& stats() const { return stats_; }
  const AlignmentState& alignment() const { return alignment_; }
  const RadioOptions& options() const { return options_; }
  void set_levels(const std::array<int, 4>& levels) { options_.levels = levels; }
  // Readings the next 0x31 answers give, one each, before `levels` applies again.
  void QueueLevels(const std::vector<std::array<int, 4>>& readings);
  // Every alignment frame and raw byte received, in order, until cleared.
  const std::vector<AlignmentRecord>& alignment_log() const { return alignment_log_; }
  void ClearAlignmentLog() { alignment_log_.clear(); }
  // Alignment commands for which this says true are answered NAK (a refused value).
  void set_refuse(std::function<bool(std::uint8_t command, std::span<const std::uint8_t> data)> f) {
    refuse_ = std::move(f);
  }
  // The last save_on_download failure, empty when the last save worked.
  const std::string& save_error() const { return save_error_; }

 private:
  enum class State { kOff, kStarting, kOn, kAwaitAnswerAck, kAwaitModeByte };

  void HandleByte(std::uint8_t byte, std::vector<std::uint8_t>& out);
  void HandleFrame(std::vector<std::uint8_t>& out);
  void ServeClone(std::vector<std::uint8_t>& out);
  void ServeAlignment(std::vector<std::uint8_t>& out);
  void SendAnswerFrame(std::vector<std::uint8_t>& out, bool again);
  std::array<int, 4> NextLevels();
  void LogRaw(std::uint8_t byte);
  void SendFrame(std::uint8_t command, std::span<const std::uint8_t> data,
                 std::vector<std::uint8_t>& out);
  void SendByte(std::uint8_t byte, std::vector<std::uint8_t>& out);
  void WriteWord(int word, int value);
  bool Hits(int at, std::int64_t count);
  void Emit(bool detail, std::string text);

  RadioOptions options_;
  Image memory_;
  State state_;
  bool alignment_mode_ = false;
  bool addressed_while_off_ = false;
  std::vector<std::uint8_t> frame_;  // bytes of the frame being received
  RadioStats stats_;
  AlignmentState alignment_;
  std::string save_error_;
  std::vector<AlignmentRecord> alignment_log_;
  std::deque<std::array<int, 4>> queued_levels_;
  std::array<std::uint8_t, 4> last_answer_{};  // a NAKed answer is sent again unchanged
  std::function<bool(std::uint8_t, std::span<const std::uint8_t>)> refuse_;
  std::uint32_t spread_state_ = 12345;
  // Event counters for the faults.
  std::int64_t sent_count_ = 0;
  std::int64_t frame_count_ = 0;
  std::int64_t reply_frame_count_ = 0;
  std::int64_t alignment_count_ = 0;
  std::int64_t clone_frame_count_ = 0;
  std::int64_t stored_count_ = 0;
};

// The memory of a built-in radio: the default codeplug of the band and model with the serial
// number, product code and firmware version of the options, a consistent adjustment checksum
// (word 1 = sum of words 2-12) and plausible alignment tables in block 137.
Image BuiltInRadioImage(const RadioOptions& options);

// Stamps the options' identity into an image (all of it, or the fields named), keeping the
// adjustment checksum consistent.
enum IdentityField : unsigned {
  kIdentityFirmware = 1,
  kIdentitySerial = 2,
  kIdentityProductCode = 4,
  kIdentityBand = 8,
  kIdentityModel = 16,
  kIdentityAll = 31,
};
void ApplyIdentity(const RadioOptions& options, Image& image, unsigned fields = kIdentityAll);

// The sum of words 2-12 that word 1 holds in a consistent image.
int AdjustmentSum(const Image& image);

// .q40 files: the image and the default split as a little-endian double (8 bytes). A file of
// exactly 17664 bytes has no trailer (trailer left unset). Anything else is refused.
bool ReadRadioFile(const std::string& path, Image& image, std::optional<double>& trailer,
                   std::string* error);
// A codeplug JSON file (the format of `ql40 export`, docs/codeplug-json.md) as a radio's
// memory: the built-in radio of the options, in the band the file names (the options' band
// when it names none), with the file's settings and channels on top. Every refused value is
// named in *error; on success *error holds the import's warnings, one per line (or nothing).
bool ReadRadioJson(const std::string& path, const RadioOptions& options, Image& image,
                   std::optional<double>& trailer, std::string* error);
// Written whole to a temporary file that then replaces the target.
bool WriteRadioFile(const std::string& path, const Image& image, double trailer,
                    std::string* error);

// An in-process cable for tests with a fake port: what the program sends reaches the radio at
// once, what comes back (echo included) queues for the program. No time, no threads.
class Wire {
 public:
  explicit Wire(Radio& radio) : radio_(radio) {}

  enum class ReadResult { kByte, kLineError, kNothing };

  void Send(std::span<const std::uint8_t> bytes);
  // The next byte for the program. A line error is reported once, consuming nothing; the byte
  // it came with is delivered by the next read (faults.line_error_at).
  ReadResult Read(std::uint8_t& byte);
  std::size_t available() const { return pending_.size(); }
  void PurgeReceive() { pending_.clear(); }
  void PowerCycle();
  Radio& radio() { return radio_; }

 private:
  Radio& radio_;
  std::deque<std::uint8_t> pending_;
  std::int64_t delivered_ = 0;
  bool error_reported_ = false;
};

// Serves a Radio on a pseudo-terminal from its own thread. The pty stays open for the life of
// the object, so a program can open and close the device as often as it likes.
class PtyRadio {
 public:
  static std::unique_ptr<PtyRadio> Start(const RadioOptions& options, const Image& memory,
                                         std::string* error);
  ~PtyRadio();  // stops the thread, closes the pty
  PtyRadio(const PtyRadio&) = delete;
  PtyRadio& operator=(const PtyRadio&) = delete;

  const std::string& device_path() const;  // the pty's device, e.g. /dev/pts/7
  void PowerCycle();                       // the user switches the radio off and on
  void SetLevels(const std::array<int, 4>& levels);
  void QueueLevels(const std::vector<std::array<int, 4>>& readings);
  std::vector<AlignmentRecord> alignment_log() const;
  void ClearAlignmentLog();
  // Thread-safe copies of the radio's state.
  Image memory() const;
  int marker() const;
  RadioStats stats() const;
  AlignmentState alignment() const;
  bool alignment_mode() const;
  std::string save_error() const;

  class Impl;

 private:
  explicit PtyRadio(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace ql40::sim

namespace ql40::sim {

// The serial number n places further on: the six digits after the letter count up, so a fleet
// of simulated radios gets 1K000042, 1K000043, ... Empty when the serial does not end in six
// decimal digits or the count would run past 999999.
std::string SerialPlus(const std::string& serial, int n);

}  // namespace ql40::sim
