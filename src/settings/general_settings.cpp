#include "settings/general_settings.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "settings/option_settings.h"

namespace ql40 {
namespace {

constexpr int kOffsetPowerOnTag = 640;
constexpr int kTagLength = 8;

}  // namespace

void GeneralSettings::Decode(const Image& image) {
  const std::uint8_t b170 = image[170];
  apo_time = bits::Get(b170, 7, 6);
  ptt_delay = bits::Get(b170, 5, 5);
  bell = bits::Get(b170, 4, 4);
  monitor_mode = bits::Get(b170, 3, 3);
  receive_save = bits::Get(b170, 2, 0);
  const std::uint8_t b171 = image[171];
  transmit_timer = bits::Get(b171, 7, 5);
  penalty_timer = bits::Get(b171, 3, 2);
  release_timer = bits::Get(b171, 1, 0);
  lamp_mode = bits::Get(image[180], 2, 2);
  byte182_bit7 = bits::Get(image[182], 7, 7);
  noise_cancel_mic = bits::Get(image[182], 1, 1);
  const std::uint8_t b183 = image[183];
  encryption_type = bits::Get(b183, 7, 7);
  if (bits::Test(b183, 5)) {
    tail_elimination = 2;
  } else {
    tail_elimination = bits::Test(b183, 6) ? 1 : 0;
  }
  rx_lamp = bits::Get(b183, 4, 4);
  dcs_complement = bits::Get(b183, 1, 1);
  radio_clone = bits::Get(b183, 0, 0);
  power_on_condition = bits::Get(image[186], 7, 5);
  byte187_bit4 = bits::Get(image[187], 4, 4);
  rchk_beep = bits::Get(image[188], 7, 7);
  rchk_tx_time = bits::Get(image[188], 6, 6);
  af_vr_min = image[189];
  // A level byte that is not in the table leaves the gain at its default.
  mic_gain = kMicGainStandard;
  const auto* level = std::find(std::begin(kMicGainLevels), std::end(kMicGainLevels), image[190]);
  if (level != std::end(kMicGainLevels)) {
    mic_gain = static_cast<int>(level - std::begin(kMicGainLevels));
  }
  beep_level = image[191] + 1;

  power_on_tag.clear();
  for (int i = 0; i < kTagLength; ++i) {
    const char c = TagSymbolToChar(image[kOffsetPowerOnTag + i]);
    if (c == '\0') break;  // a symbol outside the set ends the text
    power_on_tag += c;
  }
  power_on_tag.resize(kTagLength, ' ');  // shown and written as eight characters anyway
}

void GeneralSettings::Encode(Image& image) const {
  GeneralSettings out = *this;
  out.ApplyEncryptionTypeRule(image);

  std::uint8_t b170 = 0;
  bits::Set(b170, 7, 6, out.apo_time);
  bits::Set(b170, 5, 5, out.ptt_delay);
  bits::Set(b170, 4, 4, out.bell);
  bits::Set(b170, 3, 3, out.monitor_mode);
  bits::Set(b170, 2, 0, out.receive_save);
  image[170] = b170;
  std::uint8_t b171 = 0;
  bits::Set(b171, 7, 5, out.transmit_timer);
  bits::Set(b171, 3, 2, out.penalty_timer);
  bits::Set(b171, 1, 0, out.release_timer);
  image[171] = b171;
  bits::Set(image[180], 2, 2, out.lamp_mode);
  bits::Set(image[182], 7, 7, out.byte182_bit7);
  bits::Set(image[182], 1, 1, out.noise_cancel_mic);
  std::uint8_t& b183 = image[183];
  bits::Set(b183, 7, 7, out.encryption_type);
  bits::Put(b183, 6, out.tail_elimination >= 1);
  bits::Put(b183, 5, out.tail_elimination >= 2);
  bits::Set(b183, 4, 4, out.rx_lamp);
  bits::Set(b183, 1, 1, out.dcs_complement);
  bits::Set(b183, 0, 0, out.radio_clone);
  bits::Set(image[186], 7, 5, out.power_on_condition);
  bits::Set(image[187], 4, 4, out.byte187_bit4);
  bits::Set(image[188], 7, 7, out.rchk_beep);
  bits::Set(image[188], 6, 6, out.rchk_tx_time);
  image[189] = static_cast<std::uint8_t>(std::clamp(out.af_vr_min, 0, 255));
  const int gain = std::clamp(out.mic_gain, 0, static_cast<int>(std::size(kMicGainLevels)) - 1);
  image[190] = static_cast<std::uint8_t>(kMicGainLevels[gain]);
  image[191] = static_cast<std::uint8_t>(std::clamp(out.beep_level, 1, 256) - 1);

  const std::string tag = out.PowerOnTagText();
  for (int i = 0; i < kTagLength; ++i) {
    image[kOffsetPowerOnTag + i] = static_cast<std::uint8_t>(CharToTagSymbol(tag[i]));
  }
}

void GeneralSettings::Encode(Image& image) {
  std::as_const(*this).Encode(image);
  Decode(image);
}

bool GeneralSettings::EncryptionTypeForced(const Image& image) {
  return !EncryptionDeviceFitted(image) || DtmfReceiverFitted(image);
}

bool GeneralSettings::ApplyEncryptionTypeRule(const Image& image) {
  if (!EncryptionTypeForced(image)) return false;
  encryption_type = 0;
  return true;
}

void GeneralSettings::CommitPowerOnTag(std::string_view text) {
  power_on_tag.clear();
  for (char c : text.substr(0, kTagLength)) {
    power_on_tag += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  power_on_tag.resize(kTagLength, ' ');
}

void GeneralSettings::CommitBeepLevel(long long value) {
  beep_level = static_cast<int>(std::clamp<long long>(value, 1, 16));
}

void GeneralSettings::CommitAfVrMin(long long value) {
  af_vr_min = static_cast<int>(std::clamp<long long>(value, 0, 255));
}

std::string GeneralSettings::PowerOnTagText() const {
  std::string text = power_on_tag.substr(0, kTagLength);
  text.resize(kTagLength, ' ');
  return text;
}

}  // namespace ql40
