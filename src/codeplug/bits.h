#pragma once

// Small helpers for the bit fields, words, BCD numbers and nibble digit strings of the
// codeplug image. Encoders use them so that every bit they do not own stays as it was.

#include <cstdint>
#include <span>

namespace ql40::bits {

// Bits hi..lo (inclusive, 7 = most significant) of a byte, shifted down.
constexpr int Get(std::uint8_t byte, int hi, int lo) {
  const int width = hi - lo + 1;
  return (byte >> lo) & ((1 << width) - 1);
}

// Replaces bits hi..lo of a byte with value (extra high bits of value are dropped).
constexpr void Set(std::uint8_t& byte, int hi, int lo, int value) {
  const int width = hi - lo + 1;
  const int mask = ((1 << width) - 1) << lo;
  byte = static_cast<std::uint8_t>((byte & ~mask) | ((value << lo) & mask));
}

constexpr bool Test(std::uint8_t byte, int bit) {
  return ((byte >> bit) & 1) != 0;
}

constexpr void Put(std::uint8_t& byte, int bit, bool on) {
  Set(byte, bit, bit, on ? 1 : 0);
}

// 16-bit words: big-endian (high byte first) and little-endian (low byte first).
inline int GetWordBE(std::span<const std::uint8_t> data, int offset) {
  return (data[offset] << 8) | data[offset + 1];
}
inline void SetWordBE(std::span<std::uint8_t> data, int offset, int value) {
  data[offset] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  data[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}
inline int GetWordLE(std::span<const std::uint8_t> data, int offset) {
  return data[offset] | (data[offset + 1] << 8);
}
inline void SetWordLE(std::span<std::uint8_t> data, int offset, int value) {
  data[offset] = static_cast<std::uint8_t>(value & 0xFF);
  data[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Two BCD digits in one byte, tens in the high nibble.
constexpr int FromBcd(std::uint8_t byte) {
  return (byte >> 4) * 10 + (byte & 0x0F);
}
constexpr std::uint8_t ToBcd(int value) {
  return static_cast<std::uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

// Channel bit sets: channel n is bit (n mod 8) of byte start + n div 8, least significant first.
inline bool GetChannelBit(std::span<const std::uint8_t> data, int start, int channel) {
  return Test(data[start + channel / 8], channel % 8);
}
inline void SetChannelBit(std::span<std::uint8_t> data, int start, int channel, bool on) {
  Put(data[start + channel / 8], channel % 8, on);
}

// Group bit sets (4 bytes): groups 1-8 in the second byte, 9-16 in the first, 17-20 in bits
// 7-4 of the fourth, most significant bit first. group is 0-based.
inline int GroupBitByte(int group) {
  if (group < 8) return 1;
  if (group < 16) return 0;
  return 3;
}
inline int GroupBitIndex(int group) {
  return 7 - (group % 8);
}
inline bool GetGroupBit(std::span<const std::uint8_t> data, int start, int group) {
  return Test(data[start + GroupBitByte(group)], GroupBitIndex(group));
}
inline void SetGroupBit(std::span<std::uint8_t> data, int start, int group, bool on) {
  Put(data[start + GroupBitByte(group)], GroupBitIndex(group), on);
}

}  // namespace ql40::bits
