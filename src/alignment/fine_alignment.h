#pragma once

// The Channel Fine Alignment dialog's rules: per-channel trims of receiver tuning, transmit
// power and deviations. Apart from RX Tune each trim is kept as a signed offset from the
// matching basic adjustment value; the dialog shows and edits the absolute value. Stored trims
// change the image's channel record (and the ChannelTable's) at once, for the fine write-back.

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "alignment/alignment_state.h"
#include "alignment/slider_session.h"

namespace ql40::alignment {

class FineAlignment : public ChannelSelection {
 public:
  static constexpr int kItemCount = 6;
  static constexpr int kDialogId = 189;
  static constexpr int kHelpContext = 0x200BD;
  static constexpr int kValueId = 5341;  // + item
  static constexpr int kStartId = 5351;  // + item
  static constexpr int kChannelComboId = 5331;
  static constexpr int kGroupComboId = 5332;
  static constexpr int kRxFrequencyId = 5315;
  static constexpr int kTxFrequencyId = 5316;
  static constexpr int kBandwidthId = 5317;
  static constexpr int kRxSubAudioId = 5314;
  static constexpr int kTxSubAudioId = 5313;
  static constexpr int kLoadingId = 5550;

  enum Item : int { kRxTune = 0, kHighPower, kLowPower, kMaxDeviation, kSubAudio, kDa };

  using ChannelSelection::ChannelSelection;

  std::string Label(int item) const;
  std::string ValueText(int item) const;
  bool Enabled(int item) const;
  static bool Visible(int item) { return item != kDa; }

  // The basic value a trim is counted from; nothing for RX Tune and D/A.
  std::optional<int> Base(int item) const;
  // The absolute value shown: base + offset, or the stored RX Tune, or the frequency D/A.
  int Shown(int item) const;
  // Whether a value may be stored as a trim: at most 127 away from the base.
  bool WithinTrim(int item, int value) const;

  // Prepares the radio and opens the item; nothing when the preparation failed.
  std::unique_ptr<SliderSession> BeginSlider(int item);

  // OK needs nothing more (the image already holds the stored trims). Cancel: 0x38.
  void Accept() {}
  void Cancel();

 private:
  void ChannelSelected() override;
  int Low1() const { return state_.values.power[kPowerLow1]; }
  int LowPowerIndex() const;
  bool Prepare(int item, std::optional<int>* signal);
  bool SendLive(int item, int value);
  void Restore(int item, std::optional<int> stored);
  void Store(int item, int value);
  std::optional<int> ReadSignal();

  std::array<bool, kItemCount> failed_{};
  std::array<bool, kItemCount> stored_{};
};

}  // namespace ql40::alignment
