// Helpers for serving several simulated radios at once.

#include "radiosim/radio_sim.h"

namespace ql40::sim {

std::string SerialPlus(const std::string& serial, int n) {
  if (serial.size() != 8 || n < 0) return {};
  long long value = 0;
  for (std::size_t i = 2; i < 8; ++i) {
    if (serial[i] < '0' || serial[i] > '9') return {};
    value = value * 10 + (serial[i] - '0');
  }
  value += n;
  if (value > 999999) return {};
  std::string out = serial;
  for (std::size_t i = 7; i >= 2; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return out;
}

}  // namespace ql40::sim
