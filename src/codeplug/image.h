#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ql40 {

// The radio's whole memory: 138 blocks of 128 bytes.
inline constexpr int kBlockSize = 128;
inline constexpr int kBlockCount = 138;
inline constexpr int kImageSize = kBlockSize * kBlockCount;  // 17664
// Files carry 8 more bytes after the image: the default split as a little-endian double.
inline constexpr int kTrailerSize = 8;
inline constexpr int kFileSize = kImageSize + kTrailerSize;  // 17672

using Image = std::array<std::uint8_t, kImageSize>;

// Offsets into the image that more than one subsystem needs.
inline constexpr int kOffsetFirmware = 0;     // 2 bytes BCD
inline constexpr int kOffsetAdjustSum = 2;    // word 1
inline constexpr int kOffsetBandModel = 25;   // band bits 7-6, product type bit 0
inline constexpr int kOffsetOptionUnit = 27;  // accessories and option unit
inline constexpr int kOffsetChannels = 1024;  // 512 records of 32 bytes
inline constexpr int kChannelRecordSize = 32;
inline constexpr int kOffsetBlock137 = 137 * kBlockSize;  // alignment tables
inline constexpr int kOffsetProductCode = 17653;          // 16 bits, high byte first

}  // namespace ql40
