#include "settings/scan_settings.h"

#include <algorithm>
#include <utility>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "resources/settings_labels.h"

namespace ql40 {
namespace {

int CountBefore(int group, const GroupCounts& counts) {
  int sum = 0;
  for (int g = 0; g < group && g < static_cast<int>(counts.size()); ++g) sum += counts[g];
  return sum;
}

}  // namespace

int GroupOfChannelNumber(int n, const GroupCounts& counts) {
  int running = 0;
  for (int g = 0; g < static_cast<int>(counts.size()); ++g) {
    running += counts[g];
    if (running >= n) return g + 1;
  }
  return 0;
}

void ScanSettings::Decode(const Image& image, const GroupCounts& counts) {
  dual_watch_time = image[168];
  resume_time1 = bits::Get(image[169], 3, 0);
  resume_time2 = bits::Get(image[169], 7, 4);
  talk_back = bits::Get(image[180], 0, 0);
  home_channel_scan = bits::Get(image[180], 1, 1);
  revert_channel = bits::Get(image[186], 4, 3);
  pri_beep = bits::Get(image[187], 1, 1);
  scan_beep = bits::Get(image[187], 2, 2);
  scan_edit = bits::Get(image[187], 3, 3);
  // The group index is written as a whole byte 0..19; groups 17 to 20 need bit 4 as well.
  const int group_index = std::min(bits::Get(image[91], 4, 0), 19);
  home_group = group_index + 1;
  home_channel = (image[90] + 1 + CountBefore(group_index, counts)) % 256;
}

void ScanSettings::Encode(Image& image, const GroupCounts& counts) const {
  image[168] = static_cast<std::uint8_t>(std::clamp(dual_watch_time, 0, 255));
  std::uint8_t b169 = 0;
  bits::Set(b169, 3, 0, resume_time1);
  bits::Set(b169, 7, 4, resume_time2);
  image[169] = b169;
  bits::Set(image[180], 0, 0, talk_back);
  bits::Set(image[180], 1, 1, home_channel_scan);
  bits::Set(image[186], 4, 3, revert_channel);
  bits::Set(image[187], 1, 1, pri_beep);
  bits::Set(image[187], 2, 2, scan_beep);
  bits::Set(image[187], 3, 3, scan_edit);

  // Walk the groups, taking each group's channels off while the number lies beyond it; the
  // walk stops at the last group so that the group byte stays a group.
  int position = std::clamp(home_channel, 0, 1 << 16);
  int group = 0;
  while (group < static_cast<int>(counts.size()) - 1 && position > counts[group]) {
    position -= counts[group];
    ++group;
  }
  image[90] = static_cast<std::uint8_t>((position - 1) & 0xFF);
  image[91] = static_cast<std::uint8_t>(group);
}

void ScanSettings::Encode(Image& image, const GroupCounts& counts) {
  std::as_const(*this).Encode(image, counts);
  Decode(image, counts);
}

bool ScanSettings::CommitHomeChannel(long long value, const GroupCounts& counts, int total) {
  if (value == 0) value = 1;
  if (value < 0 || value > total || value >= 256) return false;
  home_channel = static_cast<int>(value);
  home_group = GroupOfChannelNumber(home_channel, counts);
  return true;
}

std::string ScanSettings::HomeChannelText() const {
  return Format(res::kHomeChannelFormat, home_channel, home_group);
}

}  // namespace ql40
