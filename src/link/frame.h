#pragma once

// Frames of the clone and alignment protocols, in both directions: command byte, length byte,
// length - 1 data bytes, checksum. The length counts the data bytes plus the checksum; the
// checksum is the sum of command, length and data bytes, modulo 256. Shared by the program's
// side and the simulated radio.

#include <cstdint>
#include <span>
#include <vector>

namespace ql40::frame {

// Clone commands.
inline constexpr std::uint8_t kReadWord = 0xF0;
inline constexpr std::uint8_t kWriteWord = 0xF1;
inline constexpr std::uint8_t kReadBlock = 0xF2;
inline constexpr std::uint8_t kWriteBlock = 0xF3;

// Handshake bytes: the radio's start byte after it is switched on, and the program's answer.
inline constexpr std::uint8_t kRadioStart = 0x50;  // 'P'
inline constexpr std::uint8_t kProgramStart = 0x40;

// Alignment replies.
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;

// Product codes the program accepts.
inline constexpr int kProductCodeA = 0xC014;
inline constexpr int kProductCodeB = 0x1267;

// The download marker word: 0xFFFF while a download writes, 0xA55A when it completed.
inline constexpr int kMarkerWord = 127;
inline constexpr int kMarkerWriting = 0xFFFF;
inline constexpr int kMarkerComplete = 0xA55A;

inline std::uint8_t Checksum(std::uint8_t command, std::uint8_t length,
                             std::span<const std::uint8_t> data) {
  unsigned sum = command + length;
  for (auto b : data) sum += b;
  return static_cast<std::uint8_t>(sum & 0xFF);
}

// The whole frame for the given command and data.
inline std::vector<std::uint8_t> Build(std::uint8_t command, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(data.size() + 3);
  const auto length = static_cast<std::uint8_t>(data.size() + 1);
  out.push_back(command);
  out.push_back(length);
  out.insert(out.end(), data.begin(), data.end());
  out.push_back(Checksum(command, length, data));
  return out;
}

}  // namespace ql40::frame
