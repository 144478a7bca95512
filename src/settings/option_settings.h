#pragma once

// Display, lighting, beep, scan list, key lock and squelch threshold, and the accessories the
// radio carries: encryption device, 16-key keypad, DTMF receiver and the option unit.

#include <vector>

#include "codeplug/image.h"

namespace ql40 {

// Firmware from which the Sub CPU list offers all six option units.
inline constexpr int kFirmwareAllOptionUnits = 142;

struct OptionSettings {
  int lcd_display = 0;        // 0 Normal, 1 Inverted: byte 28 bit 0
  int lighting = 1;           // Disabled/Enabled: byte 28 bit 2 = 1 - index
  int beep = 1;               // Disabled/Enabled: byte 28 bit 1 = 1 - index
  int scan_list = 1;          // 0 Dealer, 1 User: byte 28 bit 3
  int key_lock = 0;           // Disabled/Enabled: byte 28 bit 5
  int byte28_bit7 = 0;        // no control; carried
  int sq_threshold = 8;       // 0..12: byte 29 (bits 3-0 on decoding)
  int encryption_device = 1;  // 0 Yes, 1 No: byte 27 bit 0 (0 = fitted)
  int keypad_16 = 1;          // 0 Yes, 1 No: byte 27 bit 7
  int dtmf_receiver = 1;      // 0 Yes, 1 No: byte 27 bit 1
  int option_unit = 0;        // code 0..5 (OptionUnitCode): byte 27 bits 6-3, bit 2 = none

  void SetDefaults() { *this = OptionSettings{}; }
  void Decode(const Image& image);
  // Bytes 27, 28 and 29 are written whole.
  void Encode(Image& image) const;

  bool HasEncryptionDevice() const { return encryption_device == 0; }
  bool HasDtmfReceiver() const { return dtmf_receiver == 0; }
  bool HasKeypad16() const { return keypad_16 == 0; }

  bool operator==(const OptionSettings&) const = default;
};

// The accessory bits of byte 27 for records that only need those (0 = fitted in the image).
inline bool EncryptionDeviceFitted(const Image& image) {
  return (image[27] & 0x01) == 0;
}
inline bool DtmfReceiverFitted(const Image& image) {
  return (image[27] & 0x02) == 0;
}
inline bool Keypad16Fitted(const Image& image) {
  return (image[27] & 0x80) == 0;
}

// The Sub CPU list depends on the firmware: from 1.42 it offers all six option units, before
// that only No, 2Tone, SUBSIG and PT-Trunk.
// The option unit codes the list offers, in list order.
std::vector<int> SubCpuCodes(int firmware_version);
// The list index that shows a stored code (older firmware shows codes 3-5 as PT-Trunk), or -1
// for a code that is no option unit.
int SubCpuIndexOfCode(int code, int firmware_version);
// The code a chosen list index stores.
int SubCpuCodeOfIndex(int index, int firmware_version);

}  // namespace ql40
