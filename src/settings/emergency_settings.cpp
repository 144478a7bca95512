#include "settings/emergency_settings.h"

#include "codeplug/bits.h"

namespace ql40 {

void EmergencySettings::Decode(const Image& image, int firmware_version) {
  const std::uint8_t b185 = image[185];
  channel = bits::Test(b185, 7) ? kEmergencyHome : kEmergencyPri;
  if (firmware_version >= kFirmwareEmergencyCurrent && bits::Test(image[182], 4)) {
    channel = kEmergencyCurrent;
  }
  af_mute = bits::Get(b185, 6, 6);
  lcd = bits::Get(b185, 5, 5);
  led = bits::Get(b185, 4, 4);
  time = bits::Get(b185, 3, 0);
  rx_time = bits::Get(image[184], 7, 4);
  tx_time = bits::Get(image[184], 3, 0);
  key_hold_time = bits::Get(image[187], 7, 6);
  mic = bits::Get(image[182], 0, 0);
}

void EmergencySettings::Encode(Image& image) const {
  std::uint8_t b185 = 0;
  bits::Put(b185, 7, channel == kEmergencyHome);
  bits::Set(b185, 6, 6, af_mute);
  bits::Set(b185, 5, 5, lcd);
  bits::Set(b185, 4, 4, led);
  bits::Set(b185, 3, 0, time);
  image[185] = b185;
  std::uint8_t b184 = 0;
  bits::Set(b184, 7, 4, rx_time);
  bits::Set(b184, 3, 0, tx_time);
  image[184] = b184;
  bits::Set(image[187], 7, 6, key_hold_time);
  bits::Put(image[182], 4, channel == kEmergencyCurrent);
  bits::Set(image[182], 0, 0, mic);
}

int EmergencySettings::ChannelChoices(int firmware_version) {
  return firmware_version >= kFirmwareEmergencyCurrent ? 3 : 2;
}

}  // namespace ql40
