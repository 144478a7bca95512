#include "alignment/fine_alignment.h"

#include <cstdlib>

#include "alignment/alignment_strings.h"
#include "alignment/item_commands.h"
#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "link/alignment_link.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

// Bytes of a stored channel record that hold the trims.
constexpr int kRxTuneByte = 18;
constexpr int kTxTrimByte = 20;  // + 0 high power, 1 low power, 2 max deviation, 3 sub-audio
constexpr int kDeviationSecond = 0xFF;

}  // namespace

int FineAlignment::LowPowerIndex() const {
  // Levels 0, 1 and 2 are Low3, Low2 and Low1; the unused level 3 is trimmed against the
  // lowest power, where a radio that meets it transmits.
  switch (state_.low_power_level()) {
    case 0:
      return kPowerLow3;
    case 1:
      return kPowerLow2;
    default:
      return kPowerLow1;
  }
}

std::string FineAlignment::Label(int item) const {
  if (item == kLowPower) {
    const int level = state_.low_power_level();
    if (state_.error || level > 2) return {};
    return res::FormatString(kStrLowLevel0 + level);
  }
  if (item == kSubAudio) {
    if (state_.error || !state_.has_tx_tone()) return {};
    return res::FormatString(state_.dcs() ? kStrDcsDev : kStrCtcssDev);
  }
  return res::FormatString(kStrFineItem0 + item);
}

bool FineAlignment::Enabled(int item) const {
  if (state_.error || item < 0 || item >= kItemCount) return false;
  if (item == kHighPower) return !state_.low_power();
  if (item == kSubAudio) return state_.has_tx_tone();
  return true;
}

std::optional<int> FineAlignment::Base(int item) const {
  const AdjustmentValues& v = state_.values;
  const auto bw = static_cast<std::size_t>(state_.bandwidth());
  switch (item) {
    case kHighPower:
      return v.power[kPowerHigh];
    case kLowPower:
      return v.power[static_cast<std::size_t>(LowPowerIndex())];
    case kMaxDeviation:
      return v.max_deviation[bw];
    case kSubAudio:
      return state_.dcs() ? v.dcs_deviation[bw] : v.ctcss_deviation[bw];
    default:
      return std::nullopt;
  }
}

int FineAlignment::Shown(int item) const {
  const ChannelRecord& r = state_.record;
  if (item == kRxTune) return r.tune_rx;
  if (item == kDa) return state_.values.frequency_da;
  const auto base = Base(item);
  if (!base) return 0;
  return ClampByte(*base + DecodeOffset(r.tune_tx[static_cast<std::size_t>(item - 1)]));
}

bool FineAlignment::WithinTrim(int item, int value) const {
  const auto base = Base(item);
  return !base || std::abs(value - *base) <= kMaxOffset;
}

std::string FineAlignment::ValueText(int item) const {
  if (state_.error || failed_[static_cast<std::size_t>(item)]) {
    return res::FormatString(kStrValueError);
  }
  return Format(stored_[static_cast<std::size_t>(item)] ? "%3d" : "%d", Shown(item));
}

void FineAlignment::ChannelSelected() {
  failed_.fill(false);
  stored_.fill(false);
}

std::optional<int> FineAlignment::ReadSignal() {
  link::Levels levels;
  if (!link_.ReadLevels(&levels)) return std::nullopt;
  return levels.signal;
}

bool FineAlignment::Prepare(int item, std::optional<int>* signal) {
  ItemCommands c(link_, *this);
  const AdjustmentValues& v = state_.values;
  const int fda = v.frequency_da;
  const int aux = v.auxiliary;
  const int value = Shown(item);
  if (!c.Boundary()) return false;
  if (item == kRxTune) {
    // The receiver item does not key the transmitter.
    if (!c.Load(value)) return false;
    *signal = ReadSignal();
    return signal->has_value();
  }
  if (item == kMaxDeviation) link_.MaxDeviationItem();
  if (!c.Key()) return false;
  bool ok = true;
  switch (item) {
    case kHighPower:
    case kLowPower:
      ok = c.Load(value) && c.Dac(fda, aux, 0);
      break;
    case kMaxDeviation:
      ok = c.Load(Low1());
      if (!ok) break;
      if (state_.record.sub_audio_type != 0) c.RawZero();
      c.Deviation(0, value, 0, 1, false);
      ok = c.Dac(fda, kDeviationSecond, 0);
      if (ok) link_.MaxDeviation();
      break;
    case kSubAudio: {
      ok = c.Load(Low1());
      if (!ok) break;
      const int maximum = Shown(kMaxDeviation);
      if (state_.dcs()) {
        c.Deviation(value, maximum, 0, 1, false);
      } else {
        c.Deviation(0, maximum, value, kDeviationTries, false);
      }
      ok = c.Dac(fda, aux, 0);
      if (ok && state_.dcs()) link_.DcsDeviation();
      if (ok && !state_.dcs()) link_.CtcssDeviation();
      break;
    }
    case kDa:
      ok = c.Load(Low1()) && c.Dac(fda, aux, 0);
      break;
    default:
      ok = false;
      break;
  }
  if (!ok) c.Unkey();
  return ok;
}

bool FineAlignment::SendLive(int item, int value) {
  ItemCommands c(link_, *this);
  switch (item) {
    case kRxTune:
    case kHighPower:
    case kLowPower:
      return c.Load(value);
    case kMaxDeviation:
      c.RawZero();
      if (!c.Deviation(0, value, 0, 1, false)) return false;
      link_.MaxDeviation();
      return true;
    case kSubAudio: {
      c.RawZero();
      const int maximum = Shown(kMaxDeviation);
      if (state_.dcs()) {
        if (!c.Deviation(value, maximum, 0, 1, false)) return false;
        link_.DcsDeviation();
      } else {
        if (!c.Deviation(0, maximum, value, kDeviationTries, false)) return false;
        link_.CtcssDeviation();
      }
      return true;
    }
    case kDa:
      return c.Dac(value, 0, 0);
    default:
      return false;
  }
}

void FineAlignment::Restore(int item, std::optional<int> stored) {
  ItemCommands c(link_, *this);
  if (item == kMaxDeviation || (item == kSubAudio && state_.dcs())) c.RawZero();
  if (item != kRxTune) {
    const AdjustmentValues& v = state_.values;
    c.Dac(v.frequency_da, v.auxiliary, v.mic_gain);
  }
  link_.ItemBoundary();
  if (stored && item != kDa) Store(item, ClampByte(*stored));
}

void FineAlignment::Store(int item, int value) {
  std::uint8_t byte = 0;
  int offset_in_record = kRxTuneByte;
  if (item == kRxTune) {
    byte = static_cast<std::uint8_t>(value);
  } else {
    const auto encoded = EncodeOffset(value - Base(item).value_or(0));
    if (!encoded) return;  // the slider never accepts such a value
    byte = *encoded;
    offset_in_record = kTxTrimByte + item - 1;
  }
  const int index = state_.channel_number - 1;
  if (index < 0 || index >= kChannelCount) return;
  doc_.image[static_cast<std::size_t>(kOffsetChannels + kChannelRecordSize * index +
                                      offset_in_record)] = byte;
  ChannelRecord& table_record = doc_.channels.records[static_cast<std::size_t>(index)];
  for (ChannelRecord* r : {&table_record, &state_.record}) {
    if (item == kRxTune) {
      r->tune_rx = byte;
    } else {
      r->tune_tx[static_cast<std::size_t>(item - 1)] = byte;
    }
  }
  stored_[static_cast<std::size_t>(item)] = true;
}

std::unique_ptr<SliderSession> FineAlignment::BeginSlider(int item) {
  if (!Enabled(item)) return nullptr;
  const auto index = static_cast<std::size_t>(item);
  std::optional<int> signal;
  if (!Prepare(item, &signal)) {
    failed_[index] = true;
    return nullptr;
  }
  failed_[index] = false;
  SliderSession::Hooks hooks;
  hooks.send = [this, item](int value) { return SendLive(item, value); };
  if (Base(item)) hooks.allowed = [this, item](int value) { return WithinTrim(item, value); };
  if (item == kRxTune) hooks.read_signal = [this] { return ReadSignal(); };
  hooks.end = [this, item](std::optional<int> stored) { Restore(item, stored); };
  return std::make_unique<SliderSession>(Shown(item), std::move(hooks), signal);
}

void FineAlignment::Cancel() {
  link_.End();
}

}  // namespace ql40::alignment
