#include "codeplug/hardware.h"

#include <algorithm>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"

namespace ql40 {
namespace {

struct BandDefaults {
  double ref_xtal;
  double first_if;
  int injection;
  int channel_spacing;
  int sq_release;
  double default_split;
};

constexpr BandDefaults kBandDefaults[] = {
    {21.6, 21.8, 0, 2, 47, 0.0},   // VHF
    {21.6, 21.8, 1, 2, 47, 0.0},   // VHF Lo Band
    {14.6, 44.25, 0, 0, 31, 5.0},  // UHF
};

const BandDefaults& DefaultsOf(int band) {
  return kBandDefaults[std::clamp(band, 0, 2)];
}

// A 12-bit word: bits 11-8 into the low nibble of the first byte (its high nibble kept),
// bits 7-0 into the second.
void Put12(Image& image, int offset, int value) {
  bits::Set(image[offset], 3, 0, (value >> 8) & 0x0F);
  image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// A 15-bit word with the injection flag in bit 7 of the high byte.
void Put15(Image& image, int offset, int value, int injection) {
  image[offset] = static_cast<std::uint8_t>(((value >> 8) & 0x7F) | (injection ? 0x80 : 0));
  image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

int Truncate(double v) {
  // Frequencies are at most 99.99 MHz here, so the words always fit an int. The products are
  // decimal values held in binary: 8.075 MHz / 6.25 kHz comes out as 1291.9999..., which is
  // 1292. A true fraction is never below 0.001 here, so a millionth is only binary noise.
  const double nudged = v + (v >= 0 ? 1e-6 : -1e-6);
  return static_cast<int>(std::clamp(nudged, -1.0e9, 1.0e9));
}

}  // namespace

double BandDefaultSplit(int band) {
  return DefaultsOf(band).default_split;
}

void HardwareSettings::SetDefaults() {
  *this = HardwareSettings{};
  SetBandDefaults(kBandVhf);
}

double HardwareSettings::SetBandDefaults(int new_band) {
  const BandDefaults& d = DefaultsOf(new_band);
  band = new_band;
  ref_xtal = d.ref_xtal;
  first_if = d.first_if;
  injection = d.injection;
  channel_spacing = d.channel_spacing;
  sq_release = d.sq_release;
  return d.default_split;
}

void HardwareSettings::Decode(const Image& image) {
  band = bits::Get(image[25], 7, 6);
  product_type = bits::Get(image[25], 0, 0);
  channel_spacing = bits::Get(image[256], 7, 6);
  sq_delay = bits::Get(image[256], 4, 0);
  ref_xtal = (((image[293] & 0x0F) * 256) + image[294]) * 40 * 0.001;
  first_if = (((image[325] & 0x7F) * 256) + image[326]) * 5 * 0.001;
  injection = bits::Get(image[325], 7, 7);
  dcs_rx_polarity = bits::Get(image[333], 7, 7);
  dcs_tx_polarity = bits::Get(image[333], 6, 6);
  sq_release = bits::Get(image[333], 5, 0);
  noise_sq_attack = bits::Get(image[334], 7, 4);
  noise_sq_hysteresis = bits::Get(image[334], 3, 0);
  scan_pll_b = image[375];
}

void HardwareSettings::Encode(Image& image) const {
  image[25] = static_cast<std::uint8_t>(((band & 3) << 6) | (product_type & 1));
  image[256] = static_cast<std::uint8_t>(((channel_spacing & 3) << 6) | (sq_delay & 0x1F));

  const double khz = ref_xtal * 1000;
  const int r40 = Truncate(khz * 0.025);
  const int r50 = Truncate(khz * 0.02);
  const int r20 = Truncate(khz * 0.05);
  const int r10 = Truncate(khz * 0.1);
  Put12(image, 293, r40);
  Put12(image, 297, r40);
  Put12(image, 301, r50);
  Put12(image, 305, r50);
  Put12(image, 309, r20);
  Put12(image, 313, r20);
  Put12(image, 317, r10);
  Put12(image, 321, r10);

  const double if_khz = first_if * 1000;
  Put15(image, 325, Truncate(if_khz * 0.2), injection);
  Put15(image, 327, Truncate(if_khz * 0.16), injection);
  Put15(image, 329, Truncate(if_khz * 0.4), injection);
  Put15(image, 331, Truncate(if_khz * 0.8), injection);

  image[333] = static_cast<std::uint8_t>(((dcs_rx_polarity & 1) << 7) |
                                         ((dcs_tx_polarity & 1) << 6) | (sq_release & 0x3F));
  image[334] =
      static_cast<std::uint8_t>(((noise_sq_attack & 0x0F) << 4) | (noise_sq_hysteresis & 0x0F));
  image[375] = static_cast<std::uint8_t>(scan_pll_b & 0xFF);
}

HardwareSettings HardwareSettings::AsStored() const {
  Image scratch{};
  Encode(scratch);
  HardwareSettings back;
  back.Decode(scratch);
  return back;
}

std::string DecodeSerialNumber(const Image& image) {
  const std::uint8_t first = image[17657];
  std::string serial;
  serial += DtmfValueToChar(first >> 4);
  serial += static_cast<char>('B' + (first & 0x0F));
  for (int offset : {17660, 17661, 17662}) {
    serial += DtmfValueToChar(image[offset] >> 4);
    serial += DtmfValueToChar(image[offset] & 0x0F);
  }
  return serial;
}

void RadioIdentity::Decode(const Image& image, bool from_file_or_radio) {
  firmware_version =
      (image[1] >> 4) * 1000 + (image[1] & 0x0F) * 100 + (image[0] >> 4) * 10 + (image[0] & 0x0F);
  serial_number = DecodeSerialNumber(image);
  market_application = (image[192] >> 4) * 1000 + (image[192] & 0x0F) * 100 +
                       (image[193] >> 4) * 10 + (image[193] & 0x0F);
  if (!from_file_or_radio) {
    serial_number = "0N010000";
    firmware_version = 0;
  }
}

void RadioIdentity::Encode(Image& image) const {
  const int n = std::clamp(market_application, 0, 9999);
  image[192] = bits::ToBcd(n / 100);
  image[193] = bits::ToBcd(n % 100);
}

std::string RadioIdentity::FirmwareText() const {
  return Format("%d.%2.2d", firmware_version / 100, firmware_version % 100);
}

}  // namespace ql40
