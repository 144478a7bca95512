#include "alignment/basic_alignment.h"

#include "alignment/alignment_strings.h"
#include "alignment/item_commands.h"
#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "link/alignment_link.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

constexpr int kMaxDeviationItem = 5;
constexpr int kSubAudioItem = 6;
constexpr int kMicGainItem = 11;
// While the maximum deviation item runs, 0x3B carries 0xFF instead of the auxiliary value.
constexpr int kDeviationSecond = 0xFF;

}  // namespace

bool BasicAlignment::IsMeasured(int item) {
  return (item >= 7 && item <= 10) || item == 12 || item == 13;
}

std::string BasicAlignment::Label(int item) const {
  if (item == kSubAudioItem) {
    if (state_.error || !state_.has_tx_tone()) return {};
    return res::FormatString(state_.dcs() ? kStrDcsDev : kStrCtcssDev);
  }
  return res::FormatString(kStrBasicItem0 + item);
}

bool BasicAlignment::Enabled(int item) const {
  if (state_.error || item < 0 || item >= kItemCount) return false;
  if (item == kSubAudioItem) return state_.has_tx_tone();
  return true;
}

int* BasicAlignment::ValueSlot(int item) {
  AdjustmentValues& v = state_.values;
  const auto bw = static_cast<std::size_t>(state_.bandwidth());
  switch (item) {
    case 0:
      return &v.frequency_da;
    case 1:
    case 2:
    case 3:
    case 4:
      return &v.power[static_cast<std::size_t>(item - 1)];
    case 5:
      return &v.max_deviation[bw];
    case 6:
      return state_.dcs() ? &v.dcs_deviation[bw] : &v.ctcss_deviation[bw];
    case 7:
      return &v.tight_squelch[bw];
    case 8:
      return &v.threshold_squelch[bw];
    case 9:
      return &v.rssi_squelch[bw];
    case 10:
      return &v.tx_save[bw];
    case 11:
      return &v.mic_gain;
    case 12:
      return &v.battery_warning;
    case 13:
      return &v.alkaline;
    default:
      return nullptr;
  }
}

int BasicAlignment::Value(int item) const {
  const int* slot = const_cast<BasicAlignment*>(this)->ValueSlot(item);
  return slot == nullptr ? 0 : *slot;
}

std::string BasicAlignment::ValueText(int item) const {
  if (state_.error || failed_[static_cast<std::size_t>(item)]) {
    return res::FormatString(kStrValueError);
  }
  return Format(stored_[static_cast<std::size_t>(item)] ? "%3d" : "%d", Value(item));
}

void BasicAlignment::ChannelSelected() {
  failed_.fill(false);
}

bool BasicAlignment::Prepare(int item) {
  ItemCommands c(link_, *this);
  const AdjustmentValues& v = state_.values;
  const int fda = v.frequency_da;
  const int aux = v.auxiliary;
  const auto bw = static_cast<std::size_t>(state_.bandwidth());
  if (!c.Boundary()) return false;
  if (item == kMaxDeviationItem) link_.MaxDeviationItem();
  if (!c.Key()) return false;
  bool ok = true;
  switch (item) {
    case 0:
      ok = c.Load(Low1()) && c.Dac(fda, aux, 0);
      break;
    case 1:
    case 2:
    case 3:
    case 4:
      ok = c.Load(v.power[static_cast<std::size_t>(item - 1)]) && c.Dac(fda, aux, 0);
      break;
    case kMaxDeviationItem:
      ok = c.Load(Low1());
      if (ok) c.Deviation(0, MaxDeviation(), 0, 1, false);
      ok = ok && c.Dac(fda, kDeviationSecond, 0);
      if (ok) link_.MaxDeviation();
      break;
    case kSubAudioItem:
      ok = c.Load(Low1());
      if (!ok) break;
      if (state_.dcs()) {
        c.Deviation(v.dcs_deviation[bw], MaxDeviation(), 0, 1, false);
      } else {
        c.Deviation(0, MaxDeviation(), v.ctcss_deviation[bw], kDeviationTries, false);
      }
      ok = c.Dac(fda, aux, 0);
      if (ok && state_.dcs()) link_.DcsDeviation();
      if (ok && !state_.dcs()) link_.CtcssDeviation();
      break;
    case kMicGainItem:
      ok = c.Load(Low1()) && c.Dac(fda, aux, v.mic_gain);
      break;
    default:
      ok = false;
      break;
  }
  if (!ok) c.Unkey();
  return ok;
}

bool BasicAlignment::SendLive(int item, int value) {
  ItemCommands c(link_, *this);
  const AdjustmentValues& v = state_.values;
  switch (item) {
    case 0:
      return c.Dac(value, 0, 0);
    case 1:
    case 2:
    case 3:
    case 4:
      return c.Load(value);
    case kMaxDeviationItem:
      c.RawZero();
      if (!c.Deviation(0, value, 0, kItemRepeatLimit, true)) return false;
      link_.MaxDeviation();
      return true;
    case kSubAudioItem:
      c.RawZero();
      if (state_.dcs()) {
        if (!c.Deviation(value, MaxDeviation(), 0, 1, false)) return false;
        link_.DcsDeviation();
      } else {
        if (!c.Deviation(0, MaxDeviation(), value, kDeviationTries, false)) return false;
        link_.CtcssDeviation();
      }
      return true;
    case kMicGainItem:
      return c.Dac(v.frequency_da, v.auxiliary, value);
    default:
      return false;
  }
}

void BasicAlignment::Restore(int item, std::optional<int> stored) {
  ItemCommands c(link_, *this);
  if (item == kMaxDeviationItem || (item == kSubAudioItem && state_.dcs())) c.RawZero();
  // The restore loads the values the set held while the item ran; a stored value reaches the
  // radio with the write-back.
  const AdjustmentValues& v = state_.values;
  c.Dac(v.frequency_da, v.auxiliary, v.mic_gain);
  link_.ItemBoundary();
  if (stored) {
    if (int* slot = ValueSlot(item)) *slot = ClampByte(*stored);
    stored_[static_cast<std::size_t>(item)] = true;
  }
}

std::unique_ptr<SliderSession> BasicAlignment::BeginSlider(int item) {
  if (!Enabled(item) || IsMeasured(item)) return nullptr;
  const auto index = static_cast<std::size_t>(item);
  if (!Prepare(item)) {
    failed_[index] = true;
    return nullptr;
  }
  failed_[index] = false;
  SliderSession::Hooks hooks;
  hooks.send = [this, item](int value) { return SendLive(item, value); };
  hooks.end = [this, item](std::optional<int> stored) { Restore(item, stored); };
  return std::make_unique<SliderSession>(Value(item), std::move(hooks));
}

int BasicAlignment::InstructionCaption(int item) const {
  switch (item) {
    case 7:
    case 8:
    case 9:
    case 10:
      return kStrInstructionCaption0 + 2 * (item - 7) + state_.bandwidth();
    case 12:
      return kStrInstructionCaption0 + 8;
    case 13:
      return kStrInstructionCaption0 + 9;
    default:
      return 0;
  }
}

int BasicAlignment::InstructionText(int item) {
  if (item >= 7 && item <= 10) return kStrInstructionText0 + item - 7;
  if (item == 12 || item == 13) return kStrInstructionText0 + item - 8;
  return 0;
}

LevelKind BasicAlignment::LevelOf(int item) {
  if (item == 7 || item == 8) return LevelKind::kNoise;
  if (item == 9 || item == 10) return LevelKind::kSignal;
  return LevelKind::kBattery;
}

void BasicAlignment::StoreMeasured(int item, int value) {
  if (!IsMeasured(item) || state_.error) return;
  if (int* slot = ValueSlot(item)) *slot = ClampByte(value);
  stored_[static_cast<std::size_t>(item)] = true;
}

void BasicAlignment::Accept() {
  state_.values.Store(doc_.image);
}

void BasicAlignment::Cancel() {
  link_.End();
}

}  // namespace ql40::alignment
