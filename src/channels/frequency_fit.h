#pragma once

// Channel frequencies kept to what the radio can store. The synthesizer divider of a channel
// depends on the band, the step family, the first IF and the oscillator side, so a change of
// those hardware constants can leave frequencies that no divider word holds; they move to the
// nearest frequency that can be stored, and the user is told which.

#include <string>
#include <vector>

#include "channels/channel_table.h"
#include "codeplug/codeplug.h"
#include "codeplug/hardware.h"

namespace ql40 {

struct FrequencyMove {
  int channel = 0;  // absolute index
  bool transmit = false;
  Frequency from = 0;
  Frequency to = 0;

  bool operator==(const FrequencyMove&) const = default;
};

// The moves that new hardware constants (same band: oscillator side, IF, step family) force
// on the channels in use (those in a group), in channel order, receive before transmit.
std::vector<FrequencyMove> FrequencyMovesFor(const Codeplug& doc, const HardwareSettings& new_hw);

// Takes new hardware constants into the document and moves every frequency that they leave
// unstorable (all 512 records; only moves of channels in use are returned). Sets the modified
// flag when anything moved.
std::vector<FrequencyMove> ApplyHardwareChange(Codeplug& doc, const HardwareSettings& new_hw);

// One line per move: "Channel 3 receive 30.80000 moves to 32.76000".
std::vector<std::string> FrequencyMoveLines(const std::vector<FrequencyMove>& moves);

// Brings every record's frequencies and step selectors to what the encoder stores (used after
// the band defaults are applied).
void FitAllChannels(ChannelTable& table, const ChannelContext& ctx);

}  // namespace ql40
