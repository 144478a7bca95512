#pragma once

// The short acknowledged commands that drive a radio in alignment: channel change, transmitter
// keying, value loads into the radio's D/A converters, and the radio's level readings.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "link/serial_port.h"

namespace ql40 {
class Prompter;
}

namespace ql40::link {

// Alignment command bytes.
enum AlignmentCommand : std::uint8_t {
  kCmdChangeChannel = 0x30,
  kCmdReadLevels = 0x31,
  kCmdLoadValue = 0x32,
  kCmdLoadDeviation = 0x33,
  kCmdStartTransmit = 0x34,
  kCmdItemBoundary = 0x35,
  kCmdMaxDeviation = 0x36,
  kCmdDcsDeviation = 0x37,
  kCmdEnd = 0x38,
  kCmdMaxDeviationItem = 0x39,
  kCmdLoadFrequency = 0x3B,
  kCmdPowerSaveReceive = 0x3E,
  kCmdCtcssDeviation = 0x3F,
};

// Raw bytes that follow command 0x38 to switch the radio's mode.
inline constexpr std::uint8_t kEnterAlignmentMode = 0x30;
inline constexpr std::uint8_t kLeaveAlignmentMode = 0x40;

// Results of the frame operations.
enum : int { kLinkOk = 0, kLinkFailed = 1, kLinkNoReply = 2, kLinkNak = 4 };

// The radio's level readings (command 0x31).
struct Levels {
  int battery = 0;
  int noise = 0;
  int signal = 0;
};

class AlignmentLink {
 public:
  // The prompter shows the channel change and communication failures; it may be null.
  AlignmentLink(SerialPort& port, Prompter* prompter) : port_(port), prompter_(prompter) {}

  // Commands that are repeated until the radio accepts them give up after this many tries
  // and show "Communication Error!": a pulled cable must not hang the program.
  static constexpr int kRepeatLimit = 10;

  // --- frame operations: 0 success, 1 failure, 2 no reply byte, 4 NAK ---
  int SendCommand(std::uint8_t command, std::uint8_t length, std::span<const std::uint8_t> data);
  // The same frame with its data sent byte by byte (command 0x33).
  int SendCommandBytewise(std::uint8_t command, std::uint8_t length,
                          std::span<const std::uint8_t> data);
  // The radio's answer frame to a command (it has no command byte): 0 after a valid frame
  // (and the ACK sent), 2 when part of it did not arrive, 1 otherwise.
  int ReceiveReply(std::uint8_t command, std::uint8_t* length, std::vector<std::uint8_t>* data);
  int SendRawByte(std::uint8_t byte) { return port_.SendByte(byte); }

  // Sends count bytes (at most 132) with echo, adding them to *sum; 1 at the first failure.
  int SendSummed(const std::uint8_t* data, int count, std::uint32_t* sum);
  // Reads count bytes in pieces of 16, appending to *buffer and adding to *sum (mod 256);
  // on a failed piece keeps what came and returns that piece's result (1 or 2).
  int ReceiveSummed(int count, std::vector<std::uint8_t>* buffer, int* received, std::uint8_t* sum);

  // --- commands: true when the radio accepted ---
  // Group index and position within the group; a refusal shows "Change Channel  Error.".
  bool ChangeChannel(int group, int position);
  bool ReadLevels(Levels* levels);
  bool LoadValue(std::uint8_t value);
  bool LoadDeviation(std::uint8_t dcs, std::uint8_t maximum, std::uint8_t ctcss);
  bool StartTransmit() { return Simple(kCmdStartTransmit); }
  bool ItemBoundary() { return Simple(kCmdItemBoundary); }
  bool MaxDeviation() { return Simple(kCmdMaxDeviation); }
  bool DcsDeviation() { return Simple(kCmdDcsDeviation); }
  // Ends an alignment or a write-back; the result does not matter.
  void End() { Simple(kCmdEnd); }
  bool MaxDeviationItem() { return Simple(kCmdMaxDeviationItem); }
  // 0x7F, the frequency D/A value, the auxiliary value, the microphone gain.
  bool LoadFrequency(std::uint8_t frequency, std::uint8_t auxiliary, std::uint8_t mic_gain);
  bool PowerSaveReceive() { return Simple(kCmdPowerSaveReceive); }
  bool CtcssDeviation() { return Simple(kCmdCtcssDeviation); }
  // Raw 0x00 and a 10 ms pause, around deviation values.
  bool RawZero();
  // 0x38, the raw mode byte with echo, and the 1500 ms the radio needs to switch.
  bool EnterAlignmentMode() { return SwitchMode(kEnterAlignmentMode); }
  bool LeaveAlignmentMode() { return SwitchMode(kLeaveAlignmentMode); }

 private:
  int Send(std::uint8_t command, std::uint8_t length, std::span<const std::uint8_t> data,
           bool bytewise);
  bool Simple(std::uint8_t command);
  bool Repeat(std::uint8_t command, std::uint8_t length, std::span<const std::uint8_t> data);
  bool SwitchMode(std::uint8_t mode);
  void ShowCommunicationError();

  SerialPort& port_;
  Prompter* prompter_;
};

}  // namespace ql40::link
