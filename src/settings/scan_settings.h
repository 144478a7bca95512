#pragma once

// How the radio scans: dual watch interval, the two resume times, home channel and its scan,
// talk back, revert channel and the scan beeps.

#include <array>
#include <string>

#include "codeplug/image.h"

namespace ql40 {

// Channel counts of the 20 groups, in group order.
using GroupCounts = std::array<int, 20>;

struct ScanSettings {
  int dual_watch_time = 4;    // "500".."3000": byte 168, written whole
  int resume_time1 = 3;       // byte 169 bits 3-0
  int resume_time2 = 3;       // byte 169 bits 7-4 (byte 169 written whole)
  int home_channel_scan = 0;  // Disabled/Enabled: byte 180 bit 1
  int talk_back = 1;          // Disabled/Enabled: byte 180 bit 0
  int revert_channel = 2;     // Start/Home/PRI/Last Busy: byte 186 bits 4-3
  int scan_edit = 1;          // Disabled/Enabled: byte 187 bit 3
  int scan_beep = 1;          // Disabled/Enabled: byte 187 bit 2
  int pri_beep = 1;           // Disabled/Enabled: byte 187 bit 1
  // Home channel: absolute 1-based channel number over the groups in order, and the 1-based
  // group that holds it (0 when no group does). Stored as group and position (bytes 91, 90).
  int home_channel = 1;
  int home_group = 1;

  void SetDefaults() { *this = ScanSettings{}; }
  void Decode(const Image& image, const GroupCounts& counts);
  // The home channel is stored as group and position; the record is then what the image
  // holds (a number beyond the channels in use lands on the last group, as the radio reads it).
  void Encode(Image& image, const GroupCounts& counts);
  // The same, for a record that cannot change: only the image is written.
  void Encode(Image& image, const GroupCounts& counts) const;

  // Takes a typed home channel: 0 counts as 1; a number above the channels in use or above
  // 255 is refused (false) and nothing changes.
  bool CommitHomeChannel(long long value, const GroupCounts& counts, int total);
  // "%-3d (Group %-2d)".
  std::string HomeChannelText() const;

  bool operator==(const ScanSettings&) const = default;
};

// The 1-based group whose running channel count first reaches channel n, or 0 when none does.
int GroupOfChannelNumber(int n, const GroupCounts& counts);

}  // namespace ql40
