#pragma once

// The Basic Alignment dialog's rules: the radio's factory adjustment values, item by item,
// each driven live on the radio, and on OK the set stored into the image with its checksum
// for the basic write-back.

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "alignment/alignment_state.h"
#include "alignment/slider_session.h"

namespace ql40::alignment {

class BasicAlignment : public ChannelSelection {
 public:
  static constexpr int kItemCount = 14;
  static constexpr int kDialogId = 191;
  static constexpr int kHelpContext = 0x200BF;
  // Control ids: item i has the label kLabelId + i, the value box kValueId + i and the START
  // button kStartId + i.
  static constexpr int kLabelId = 4800;
  static constexpr int kValueId = 5030;
  static constexpr int kStartId = 4990;
  static constexpr int kChannelComboId = 1225;
  static constexpr int kGroupComboId = 1226;
  static constexpr int kRxFrequencyId = 1233;
  static constexpr int kTxFrequencyId = 1231;
  static constexpr int kBandwidthId = 1229;
  static constexpr int kRxSubAudioId = 1232;
  static constexpr int kTxSubAudioId = 1230;
  static constexpr int kLoadingId = 1240;

  using ChannelSelection::ChannelSelection;

  static bool IsMeasured(int item);
  std::string Label(int item) const;
  std::string ValueText(int item) const;
  bool Enabled(int item) const;
  static bool Visible(int item) { return item != 13; }
  // The value the item edits, for the selected channel's bandwidth.
  int Value(int item) const;

  // Slider items (0 to 6 and 11): prepares the radio; nothing when the preparation failed
  // (the value then shows "Error"). The session sends live values and restores on End.
  std::unique_ptr<SliderSession> BeginSlider(int item);

  // Measured items (7 to 10, 12, 13): the instruction's caption and text, what to read, and
  // the store of the measured value.
  int InstructionCaption(int item) const;
  static int InstructionText(int item);
  static LevelKind LevelOf(int item);
  void StoreMeasured(int item, int value);

  // OK: the adjustment set goes into the image with word 1. Cancel: 0x38.
  void Accept();
  void Cancel();

 private:
  void ChannelSelected() override;
  int* ValueSlot(int item);
  int Low1() const { return state_.values.power[kPowerLow1]; }
  int MaxDeviation() const {
    return state_.values.max_deviation[static_cast<std::size_t>(state_.bandwidth())];
  }
  bool Prepare(int item);
  bool SendLive(int item, int value);
  void Restore(int item, std::optional<int> stored);

  std::array<bool, kItemCount> failed_{};
  std::array<bool, kItemCount> stored_{};
};

}  // namespace ql40::alignment
