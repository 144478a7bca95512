#pragma once

// Power saving (transmit timers, auto power off, receive save, beep level, microphone gain,
// lamp, minimum volume, power-on text) and the miscellaneous switches: one record, because
// the two dialogs share its bytes.

#include <string>
#include <string_view>

#include "codeplug/image.h"

namespace ql40 {

// Microphone gain level bytes, one per list entry (+6 dB to -9 dB).
inline constexpr int kMicGainLevels[] = {244, 172, 122, 86, 60, 43};
inline constexpr int kMicGainStandard = 2;

struct GeneralSettings {
  // Power saving.
  std::string power_on_tag = "SELFTEST";  // bytes 640-647, tag symbols
  int transmit_timer = 3;                 // 0 = 0.5 min, else minutes 1..7: byte 171 bits 7-5
  int penalty_timer = 0;                  // "0 ","6 ","20","60" s: byte 171 bits 3-2
  int release_timer = 0;                  // "0","2","3","5" s: byte 171 bits 1-0
  int apo_time = 0;                       // off, 0.5, 1, 8 h: byte 170 bits 7-6
  int receive_save = 3;                   // ABS, 1:1 .. 1:7: byte 170 bits 2-0
  int beep_level = 10;                    // 1..16: byte 191 = level - 1
  int mic_gain = kMicGainStandard;        // index of kMicGainLevels: byte 190 holds the level byte
  int lamp_mode = 1;                      // Key On, 5 Secs: byte 180 bit 2
  int rx_lamp = 0;                        // Off/On: byte 183 bit 4
  int af_vr_min = 2;                      // 0..255: byte 189
  // Miscellaneous.
  int dcs_complement = 0;      // byte 183 bit 1
  int power_on_condition = 0;  // Back up, Group 1, DW, Scan: byte 186 bits 7-5
  int ptt_delay = 0;           // off, 300 msecs: byte 170 bit 5
  int bell = 0;                // byte 170 bit 4
  int monitor_mode = 1;        // byte 170 bit 3
  int noise_cancel_mic = 0;    // byte 182 bit 1
  int tail_elimination = 0;    // Disabled, 120, 180 degrees: byte 183 bits 6 and 5
  int radio_clone = 0;         // byte 183 bit 0
  int rchk_beep = 1;           // byte 188 bit 7
  int rchk_tx_time = 0;        // 25, 55 Secs: byte 188 bit 6
  int encryption_type = 0;     // KSE-40, Hi Level: byte 183 bit 7
  int byte182_bit7 = 0;        // no control; carried
  int byte187_bit4 = 0;        // no control; carried

  void SetDefaults() { *this = GeneralSettings{}; }
  void Decode(const Image& image);
  // Applies the encryption type rule against the accessories in byte 27 first. The record is
  // then what the image holds, the forced type and clamped values included.
  void Encode(Image& image);
  // The same, for a record that cannot change: only the image is written.
  void Encode(Image& image) const;

  // "Hi Level" needs an encryption device and no DTMF receiver (byte 27); otherwise the type
  // is forced to KSE-40. Returns true when the rule forces it.
  static bool EncryptionTypeForced(const Image& image);
  // Applies the rule to the record; returns true when it forces the type.
  bool ApplyEncryptionTypeRule(const Image& image);

  // Typed values as the dialogs take them.
  void CommitPowerOnTag(std::string_view text);  // upper-cased, cut or padded to 8
  void CommitBeepLevel(long long value);         // 1..16
  void CommitAfVrMin(long long value);           // 0..255
  // Text shown for the power-on tag: "%-8.8s".
  std::string PowerOnTagText() const;

  bool operator==(const GeneralSettings&) const = default;
};

}  // namespace ql40
