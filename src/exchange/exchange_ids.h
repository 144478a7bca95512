#pragma once

// String ids of the codeplug as text (JSON, CSV, diff, check) and of frequencies that had to
// move to one the radio can store.

namespace ql40::res {

enum ExchangeStringId : int {
  kStrReceiveMoved = 63000,
  kStrTransmitMoved,
  kStrHardwareMovedReceive,
  kStrHardwareMovedTransmit,
};

}  // namespace ql40::res
