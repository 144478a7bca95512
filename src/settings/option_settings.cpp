#include "settings/option_settings.h"

#include <algorithm>

#include "codeplug/bits.h"
#include "codeplug/codeplug.h"

namespace ql40 {

void OptionSettings::Decode(const Image& image) {
  const std::uint8_t b27 = image[27];
  const std::uint8_t b28 = image[28];
  lcd_display = bits::Get(b28, 0, 0);
  lighting = 1 - bits::Get(b28, 2, 2);
  beep = 1 - bits::Get(b28, 1, 1);
  scan_list = bits::Get(b28, 3, 3);
  key_lock = bits::Get(b28, 5, 5);
  byte28_bit7 = bits::Get(b28, 7, 7);
  sq_threshold = bits::Get(image[29], 3, 0);
  encryption_device = bits::Get(b27, 0, 0);
  keypad_16 = bits::Get(b27, 7, 7);
  dtmf_receiver = bits::Get(b27, 1, 1);
  option_unit = DecodeOptionUnit(b27);
}

void OptionSettings::Encode(Image& image) const {
  std::uint8_t b28 = 0;
  bits::Set(b28, 0, 0, lcd_display);
  bits::Put(b28, 1, beep == 0);  // the bits mean disabled
  bits::Put(b28, 2, lighting == 0);
  bits::Set(b28, 3, 3, scan_list);
  bits::Set(b28, 5, 5, key_lock);
  bits::Set(b28, 7, 7, byte28_bit7);
  image[28] = b28;
  image[29] = static_cast<std::uint8_t>(std::clamp(sq_threshold, 0, 15));

  std::uint8_t b27 = 0;
  bits::Set(b27, 0, 0, encryption_device);
  bits::Set(b27, 1, 1, dtmf_receiver);
  bits::Set(b27, 7, 7, keypad_16);
  bits::Set(b27, 6, 3, option_unit);
  bits::Put(b27, 2, option_unit == kOptionNone);
  image[27] = b27;
}

std::vector<int> SubCpuCodes(int firmware_version) {
  if (firmware_version >= kFirmwareAllOptionUnits) {
    return {kOptionNone,   kOption2Tone,   kOptionSubsig,
            kOptionScb100, kOptionScbd200, kOptionPtTrunk};
  }
  return {kOptionNone, kOption2Tone, kOptionSubsig, kOptionPtTrunk};
}

int SubCpuIndexOfCode(int code, int firmware_version) {
  if (code < kOptionNone || code > kOptionPtTrunk) return -1;  // a code no list offers
  if (firmware_version >= kFirmwareAllOptionUnits) return code;
  return std::min(code, 3);
}

int SubCpuCodeOfIndex(int index, int firmware_version) {
  const std::vector<int> codes = SubCpuCodes(firmware_version);
  return codes[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(codes.size()) - 1))];
}

}  // namespace ql40
