#include "channels/frequency_fit.h"

#include "codeplug/bits.h"
#include "exchange/exchange_ids.h"
#include "resources/strings.h"

namespace ql40 {
namespace {

std::string Trim(std::string text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

struct Fitted {
  Frequency rx = 0;
  int rx_selector = 0;
  Frequency tx = 0;
  int tx_selector = 0;
};

// The flags carry "nothing in the band can be stored" from one record to the next.
struct Hopeless {
  bool rx = false;
  bool tx = false;
};

// A frequency inside the band that a step stores exactly (its own step first) stays as it is;
// anything else is snapped and moved to what can be stored.
void Fit(Frequency& f, int& selector, bool transmit, const ChannelContext& ctx, bool& hopeless) {
  if (f == 0) return;
  Frequency probe = f;
  const bool in_band =
      f >= BandLowest(ctx.band) && f <= BandHighest(ctx.band) && !(f >= 40600000 && f <= 40610000);
  if (in_band) {
    const int used = StoreFrequency(probe, transmit, selector, ctx);
    if (used >= 0) {
      selector = used;
      return;
    }
  }
  selector = SnapStorable(f, transmit, ctx, nullptr, &hopeless);
}

Fitted FitRecord(const ChannelRecord& r, const ChannelContext& ctx, Hopeless& hopeless) {
  Fitted out{r.rx_frequency, r.rx_step(), r.tx_frequency, r.tx_step()};
  Fit(out.rx, out.rx_selector, false, ctx, hopeless.rx);
  Fit(out.tx, out.tx_selector, true, ctx, hopeless.tx);
  return out;
}

}  // namespace

std::vector<FrequencyMove> FrequencyMovesFor(const Codeplug& doc, const HardwareSettings& new_hw) {
  const ChannelContext ctx = ChannelContext::From(new_hw, doc.option_unit, doc.default_split);
  std::vector<FrequencyMove> moves;
  Hopeless hopeless;
  const int in_use = std::min(doc.channels.total, kChannelCount);
  for (int i = 0; i < in_use; ++i) {
    const ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(i)];
    const Fitted f = FitRecord(r, ctx, hopeless);
    if (f.rx != r.rx_frequency) moves.push_back({i, false, r.rx_frequency, f.rx});
    if (f.tx != r.tx_frequency) moves.push_back({i, true, r.tx_frequency, f.tx});
  }
  return moves;
}

std::vector<FrequencyMove> ApplyHardwareChange(Codeplug& doc, const HardwareSettings& new_hw) {
  std::vector<FrequencyMove> moves = FrequencyMovesFor(doc, new_hw);
  doc.hardware = new_hw;
  const ChannelContext ctx = ChannelContext::From(new_hw, doc.option_unit, doc.default_split);
  bool any = false;
  Hopeless hopeless;
  for (int i = 0; i < kChannelCount; ++i) {
    ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(i)];
    const Fitted f = FitRecord(r, ctx, hopeless);
    if (f.rx != r.rx_frequency && hopeless.rx) {
      // Nothing can be stored: the channel shows what the encoder will write.
      r.rx_frequency = f.rx;
      r.set_rx_step(f.rx_selector);
      doc.channels.ComputeRxTuning(r);
      any = true;
    } else if (f.rx != r.rx_frequency) {
      // The receive commit also sets the transmit frequency from the split and marks the
      // channel programmed: keep what the channel had.
      const ChannelRecord before = r;
      doc.channels.CommitCellText(i, 4, FrequencyText(f.rx), ctx);
      r.tx_frequency = before.tx_frequency;
      r.CopyField(before, field::kTxStep);
      r.CopyField(before, field::kTxClockShift);
      r.tune_tx0 = before.tune_tx0;
      r.tune_tx = before.tune_tx;
      r.status = before.status;
      any = true;
    } else if (r.rx_frequency != 0) {
      r.set_rx_step(f.rx_selector);
    }
    if (f.tx != r.tx_frequency && hopeless.tx) {
      r.tx_frequency = f.tx;
      r.set_tx_step(f.tx_selector);
      doc.channels.ComputeTxTuning(r);
      any = true;
    } else if (f.tx != r.tx_frequency) {
      doc.channels.CommitCellText(i, 5, FrequencyText(f.tx), ctx);
      any = true;
    } else if (r.tx_frequency != 0) {
      r.set_tx_step(f.tx_selector);
    }
  }
  if (any) doc.modified = true;
  return moves;
}

std::vector<std::string> FrequencyMoveLines(const std::vector<FrequencyMove>& moves) {
  std::vector<std::string> lines;
  lines.reserve(moves.size());
  for (const FrequencyMove& m : moves) {
    lines.push_back(res::FormatString(
        m.transmit ? res::kStrHardwareMovedTransmit : res::kStrHardwareMovedReceive,
        {std::to_string(m.channel + 1), Trim(FrequencyText(m.from)), Trim(FrequencyText(m.to))}));
  }
  return lines;
}

void FitAllChannels(ChannelTable& table, const ChannelContext& ctx) {
  Hopeless hopeless;
  for (ChannelRecord& r : table.records) {
    const Fitted f = FitRecord(r, ctx, hopeless);
    r.rx_frequency = f.rx;
    r.tx_frequency = f.tx;
    if (f.rx != 0) r.set_rx_step(f.rx_selector);
    if (f.tx != 0) r.set_tx_step(f.tx_selector);
  }
}

}  // namespace ql40
