#include "alignment/item_commands.h"

#include "link/alignment_link.h"

namespace ql40::alignment {

bool ItemCommands::Boundary() {
  if (link_.ItemBoundary()) return true;
  owner_.ShowCommunicationError();
  return false;
}

bool ItemCommands::Key() {
  if (link_.StartTransmit()) return true;
  owner_.ShowCommunicationError();
  return false;
}

bool ItemCommands::Load(int value) {
  return link_.LoadValue(Byte(value));
}

bool ItemCommands::Dac(int frequency, int second, int mic_gain) {
  return link_.LoadFrequency(Byte(frequency), Byte(second), Byte(mic_gain));
}

bool ItemCommands::Deviation(int dcs, int maximum, int ctcss, int tries, bool report) {
  for (int attempt = 0; attempt < tries; ++attempt) {
    if (link_.LoadDeviation(Byte(dcs), Byte(maximum), Byte(ctcss))) return true;
  }
  if (report) owner_.ShowCommunicationError();
  return false;
}

void ItemCommands::RawZero() {
  link_.RawZero();
}

void ItemCommands::Unkey() {
  link_.ItemBoundary();
}

}  // namespace ql40::alignment
