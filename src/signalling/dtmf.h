#pragma once

// DTMF signalling: the ANI the radio sends with its transmissions, the emergency code, the
// DTMF transmit and decode settings, and the ten stored DTMF codes. Codes are digit strings
// of 0-9, A-D, * and # (at most 15).

#include <array>
#include <string>
#include <string_view>

#include "codeplug/image.h"

namespace ql40 {

inline constexpr int kOffsetAniCode = 386;
inline constexpr int kOffsetEmergencyCode = 394;
inline constexpr int kOffsetDtmfCodes = 402;
inline constexpr int kDtmfCodeCount = 10;

// Reads a typed code the way the code fields take it: letters upper-cased, characters that
// are not DTMF digits dropped, at most 15 digits.
std::string CleanDtmfCode(std::string_view text);

struct AniSettings {
  int type = 0;          // DTMF, Option ANI: byte 188 bit 5 (always DTMF with an encryption device)
  int transmit = 0;      // PTT Pressed, PTT Released: byte 188 bit 4
  int delay = 1;         // 50/100/300/500 msec: byte 188 bits 3-2
  int speed = 2;         // 25/33/50/66 msec: byte 188 bits 1-0
  std::string ani_code;  // bytes 386-393
  std::string emergency_code;  // bytes 394-401

  void SetDefaults() { *this = AniSettings{}; }
  void Decode(const Image& image);
  // Byte 188 bits 7-6 stay as they are.
  void Encode(Image& image) const;

  bool operator==(const AniSettings&) const = default;
};

// No pause character: byte 384 bit 7 set.
inline constexpr char kNoPauseCharacter = '\0';

struct DtmfSettings {
  char pause_character = kNoPauseCharacter;  // byte 384 bits 3-0 and bit 7
  int pause_time = 0;   // 0.5 .. 7 sec: byte 384 bits 6-4 (byte 384 written whole)
  int speed = 0;        // 50, 100 msec: byte 385 bit 4
  int monitor = 1;      // Disable, Enable: byte 187 bit 0
  int answer_back = 1;  // Off, On: byte 385 bit 7
  int auto_reset = 1;   // Off, On: byte 385 bit 6 (shared with the two-tone parameters)
  int call_times = 2;   // Off, 1, 3, 5 times: byte 385 bits 1-0 (shared)
  int keypad = 1;       // Disable, Enable: byte 385 bit 5

  void SetDefaults() { *this = DtmfSettings{}; }
  void Decode(const Image& image);
  // Byte 385 bits 3-2 (group call) and the other bits of byte 187 stay as they are.
  void Encode(Image& image) const;

  // Takes the typed pause field: its first DTMF digit, or none when empty.
  void CommitPauseCharacter(std::string_view text);
  std::string PauseText() const;

  bool operator==(const DtmfSettings&) const = default;
};

struct DtmfCodeList {
  std::array<std::string, kDtmfCodeCount> codes{};  // code n at 402 + 8 (n - 1)

  void SetDefaults() { *this = DtmfCodeList{}; }
  void Decode(const Image& image);
  void Encode(Image& image) const;

  bool operator==(const DtmfCodeList&) const = default;
};

}  // namespace ql40
