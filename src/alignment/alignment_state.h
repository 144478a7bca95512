#pragma once

// What both alignment dialogs share: the radio's factory adjustment values as the image holds
// them, the selected channel with the channel-change sequence, the texts that describe the
// channel, and the little arithmetic of the per-channel offsets and the level readings.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "channels/channel_table.h"
#include "codeplug/image.h"

namespace ql40 {
struct Codeplug;
class Prompter;
namespace link {
class AlignmentLink;
}
}  // namespace ql40

namespace ql40::alignment {

// The factory adjustment values in words 2 to 12 and 95 of the image. Pairs hold the wide
// value first, the narrow one second.
struct AdjustmentValues {
  int auxiliary = 0;  // low 4 bits of byte 191: loaded, sent with 0x3B, never stored
  int mic_gain = 0;
  int battery_warning = 0;
  int alkaline = 0;
  std::array<int, 2> rssi_squelch{};
  std::array<int, 2> tx_save{};
  std::array<int, 2> threshold_squelch{};
  std::array<int, 2> tight_squelch{};
  std::array<int, 4> power{};  // High(5W), Low3(2.5W), Low2(1W), Low1(250mW)
  std::array<int, 2> max_deviation{};
  std::array<int, 2> ctcss_deviation{};
  std::array<int, 2> dcs_deviation{};
  int frequency_da = 0;

  static AdjustmentValues Load(const Image& image);
  // Writes every value (clamped to a byte) and then word 1, the checksum of words 2 to 12.
  // Byte 191 keeps its bits.
  void Store(Image& image) const;
  bool operator==(const AdjustmentValues&) const = default;
};

// Indices into AdjustmentValues::power.
enum PowerIndex : int { kPowerHigh = 0, kPowerLow3 = 1, kPowerLow2 = 2, kPowerLow1 = 3 };

// Word 1: the sum of the 11 little-endian words at bytes 4 to 25, modulo 65536.
int AdjustmentChecksum(const Image& image);

// A value the radio takes as one byte.
inline int ClampByte(int value) {
  return value < 0 ? 0 : (value > 255 ? 255 : value);
}

// Per-channel trims are sign-magnitude bytes: bit 7 negative, bits 6-0 the size.
inline constexpr int kMaxOffset = 127;
int DecodeOffset(std::uint8_t byte);
// Nothing when the offset lies beyond 127 either way.
std::optional<std::uint8_t> EncodeOffset(int offset);

// The level the radio reports: 20 readings without the largest and the smallest, averaged
// (integer division). Fewer than three readings give their plain average.
inline constexpr int kReadingCount = 20;
int TrimmedMean(std::span<const int> readings);

// The bytes of the 0x31 answer a measurement uses.
enum class LevelKind { kBattery, kNoise, kSignal };

// Waits without blocking anything but the caller; replaced by tests that count pauses.
using PauseFunction = std::function<void(int milliseconds)>;

// The selected channel and what the dialogs show about it. The channel record is a copy of
// the ChannelTable's; fine alignment keeps both up to date when it stores a trim.
struct AlignmentState {
  int channel_number = 0;  // 1-based in the ChannelTable, 0 when none
  int position = 0;        // 0-based place within its group, sent with 0x30
  ChannelRecord record;
  bool error = false;  // the current group holds no programmed channel
  AdjustmentValues values;
  bool channel_changed = false;

  bool narrow() const { return record.narrow(); }
  int bandwidth() const { return narrow() ? 1 : 0; }
  bool tx_tone_present() const { return record.tx_tone_on(); }
  bool power_save_receive() const { return record.rx_power_save(); }
  int low_power_level() const { return record.low_power_level(); }
  bool low_power() const { return record.low_power(); }
  // The sub-audio deviation items need a tone to deviate with and a kind to pick the value.
  bool has_tx_tone() const { return tx_tone_present() && record.sub_audio_type != 0; }
  bool dcs() const { return record.sub_audio_type == 2; }
};

// The channel texts of both dialogs, "Error" while the error flag is set.
struct ChannelTexts {
  std::string rx_frequency, tx_frequency, bandwidth, rx_sub_audio, tx_sub_audio;
};
ChannelTexts DescribeChannel(const AlignmentState& state);

// The common part of both dialog models: groups and channels to choose from, the channel
// change on the radio, and the messages a failure shows.
class ChannelSelection {
 public:
  ChannelSelection(link::AlignmentLink& link, Codeplug& doc, Prompter* prompter,
                   PauseFunction pause);
  virtual ~ChannelSelection() = default;

  // Loads the adjustment values and selects the first programmed channel of the current
  // group (or of the first group that has one) in the radio. False when the radio refused
  // the channel every time; the dialog stays usable and can try again.
  bool Open();

  // "%3d" of the groups 1 to 20 that hold a programmed channel, and of the programmed
  // channels of the current group.
  std::vector<std::string> GroupList() const;
  std::vector<std::string> ChannelList() const;
  int group_selection() const;    // index into GroupList, -1 when none
  int channel_selection() const;  // index into ChannelList, -1 when none
  // A pick from the lists; each changes the channel in the radio. False when it refused.
  bool PickGroup(int index);
  bool PickChannel(int index);

  const AlignmentState& state() const { return state_; }
  ChannelTexts Texts() const { return DescribeChannel(state_); }

  // The radio refused a command that is not repeated: "Communication Error!".
  void ShowCommunicationError() const;

 protected:
  // The channel change: 0x35, 50 ms, 0x30 (group, position), and 0x3E for a channel that
  // saves power on receive. "Change Channel Error.\n" when the radio refused.
  bool ChangeChannel();
  virtual void ChannelSelected() {}

  link::AlignmentLink& link_;
  Codeplug& doc_;
  Prompter* prompter_;
  PauseFunction pause_;
  AlignmentState state_;

 private:
  std::vector<int> ProgrammedGroups() const;
  std::vector<int> ProgrammedChannels(int group) const;  // absolute indices
  void Select(int index);
  void SetError();
};

// How many times the opening channel change is tried before the dialog opens without it.
inline constexpr int kOpeningChannelTries = 3;
// Commands the item sequences repeat "until the radio accepts" give up after this many tries.
inline constexpr int kItemRepeatLimit = 10;
// The sub-audio deviation load is tried this often.
inline constexpr int kDeviationTries = 5;

}  // namespace ql40::alignment
