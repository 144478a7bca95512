#pragma once

// What the radio does in an emergency call: channel, muting, display, timers, key hold time
// and microphone.

#include "codeplug/image.h"

namespace ql40 {

enum EmergencyChannel : int { kEmergencyPri = 0, kEmergencyHome = 1, kEmergencyCurrent = 2 };
// Firmware from which the radio knows the CURRENT emergency channel.
inline constexpr int kFirmwareEmergencyCurrent = 152;

struct EmergencySettings {
  int channel = kEmergencyHome;  // byte 185 bit 7 = HOME; byte 182 bit 4 = CURRENT
  int af_mute = 0;               // Disabled/Enabled: byte 185 bit 6
  int lcd = 0;                   // byte 185 bit 5
  int led = 0;                   // byte 185 bit 4
  int time = 2;                  // 10..160 min in 10s: byte 185 bits 3-0 (byte 185 whole)
  int rx_time = 3;               // 10..160 s in 10s: byte 184 bits 7-4
  int tx_time = 3;               // 5..80 s in 5s: byte 184 bits 3-0 (byte 184 whole)
  int key_hold_time = 0;         // 0.5, 1, 2, 3 s: byte 187 bits 7-6
  int mic = 0;                   // byte 182 bit 0

  void SetDefaults() { *this = EmergencySettings{}; }
  // CURRENT is read only from firmware 1.52 on.
  void Decode(const Image& image, int firmware_version);
  void Encode(Image& image) const;

  // Entries of the channel list for the firmware: PRI and HOME, and CURRENT from 1.52 on.
  static int ChannelChoices(int firmware_version);

  bool operator==(const EmergencySettings&) const = default;
};

}  // namespace ql40
