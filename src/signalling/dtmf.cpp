#include "signalling/dtmf.h"

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "settings/option_settings.h"

namespace ql40 {
namespace {

constexpr int kPauseNone = 13;  // digit nibble written when there is no pause character

bool IsDtmfDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#';
}

}  // namespace

std::string CleanDtmfCode(std::string_view text) {
  std::string code;
  for (char c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (IsDtmfDigit(c) && code.size() < kDigitStringMaxDigits) code += c;
  }
  return code;
}

void AniSettings::Decode(const Image& image) {
  const std::uint8_t b188 = image[188];
  type = EncryptionDeviceFitted(image) ? 0 : bits::Get(b188, 5, 5);
  transmit = bits::Get(b188, 4, 4);
  delay = bits::Get(b188, 3, 2);
  speed = bits::Get(b188, 1, 0);
  ani_code = DecodeDigitString(image, kOffsetAniCode);
  emergency_code = DecodeDigitString(image, kOffsetEmergencyCode);
}

void AniSettings::Encode(Image& image) const {
  std::uint8_t& b188 = image[188];
  bits::Set(b188, 5, 5, type);
  bits::Set(b188, 4, 4, transmit);
  bits::Set(b188, 3, 2, delay);
  bits::Set(b188, 1, 0, speed);
  EncodeDigitString(image, kOffsetAniCode, CleanDtmfCode(ani_code));
  EncodeDigitString(image, kOffsetEmergencyCode, CleanDtmfCode(emergency_code));
}

void DtmfSettings::Decode(const Image& image) {
  const std::uint8_t b384 = image[384];
  pause_time = bits::Get(b384, 6, 4);
  pause_character =
      bits::Test(b384, 7) ? kNoPauseCharacter : DtmfValueToChar(bits::Get(b384, 3, 0));
  const std::uint8_t b385 = image[385];
  answer_back = bits::Get(b385, 7, 7);
  auto_reset = bits::Get(b385, 6, 6);
  keypad = bits::Get(b385, 5, 5);
  speed = bits::Get(b385, 4, 4);
  call_times = bits::Get(b385, 1, 0);
  monitor = bits::Get(image[187], 0, 0);
}

void DtmfSettings::Encode(Image& image) const {
  std::uint8_t b384 = 0;
  const bool has_pause = pause_character != kNoPauseCharacter;
  bits::Put(b384, 7, !has_pause);
  bits::Set(b384, 6, 4, pause_time);
  bits::Set(b384, 3, 0, has_pause ? CharToDtmfValue(pause_character) : kPauseNone);
  image[384] = b384;
  std::uint8_t& b385 = image[385];
  bits::Set(b385, 7, 7, answer_back);
  bits::Set(b385, 6, 6, auto_reset);
  bits::Set(b385, 5, 5, keypad);
  bits::Set(b385, 4, 4, speed);
  bits::Set(b385, 1, 0, call_times);
  bits::Set(image[187], 0, 0, monitor);
}

void DtmfSettings::CommitPauseCharacter(std::string_view text) {
  const std::string code = CleanDtmfCode(text);
  pause_character = code.empty() ? kNoPauseCharacter : code[0];
}

std::string DtmfSettings::PauseText() const {
  return pause_character == kNoPauseCharacter ? std::string() : std::string(1, pause_character);
}

void DtmfCodeList::Decode(const Image& image) {
  for (int n = 0; n < kDtmfCodeCount; ++n) {
    codes[n] = DecodeDigitString(image, kOffsetDtmfCodes + kDigitStringBytes * n);
  }
}

void DtmfCodeList::Encode(Image& image) const {
  for (int n = 0; n < kDtmfCodeCount; ++n) {
    EncodeDigitString(image, kOffsetDtmfCodes + kDigitStringBytes * n, CleanDtmfCode(codes[n]));
  }
}

}  // namespace ql40
