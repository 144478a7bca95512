#pragma once

// The building blocks of the items' preparation, live and restore sequences, with the bounds
// that keep a silent radio from holding the program: every "until the radio accepts" gives
// up after kItemRepeatLimit tries with "Communication Error!".

#include <cstdint>

#include "alignment/alignment_state.h"

namespace ql40::alignment {

class ItemCommands {
 public:
  ItemCommands(link::AlignmentLink& link, const ChannelSelection& owner)
      : link_(link), owner_(owner) {}

  // 0x35 and 0x34 are sent once; a refusal ends a preparation, so it is reported here.
  bool Boundary();
  bool Key();
  // 0x32, repeated by the link (which reports its own give-up).
  bool Load(int value);
  // 0x3B with 0x7F first, repeated by the link.
  bool Dac(int frequency, int second, int mic_gain);
  // 0x33 with the DCS, maximum and CTCSS deviation values, up to tries times. With
  // report the last failure says "Communication Error!".
  bool Deviation(int dcs, int maximum, int ctcss, int tries, bool report);
  // Raw 0x00 and its 10 ms pause.
  void RawZero();
  // Items that end early still take the transmitter off the air.
  void Unkey();

  link::AlignmentLink& link() { return link_; }

 private:
  link::AlignmentLink& link_;
  const ChannelSelection& owner_;
};

inline std::uint8_t Byte(int value) {
  return static_cast<std::uint8_t>(ClampByte(value));
}

}  // namespace ql40::alignment
