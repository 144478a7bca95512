#include "codeplug/codeplug.h"

#include <algorithm>

#include "channels/frequency_fit.h"
#include "codeplug/bits.h"
#include "settings/default_settings.h"

namespace ql40 {
namespace {

void Clear(Image& image, int first, int last) {
  std::fill(image.begin() + first, image.begin() + last + 1, std::uint8_t{0});
}

}  // namespace

int DecodeOptionUnit(std::uint8_t byte27) {
  if (bits::Test(byte27, 2)) return kOptionNone;
  return (byte27 >> 3) & 0x0F;
}

void Codeplug::ResetToDefaults() {
  // A new codeplug has nothing of the old one: no origin, fresh records.
  image.fill(0);
  file_loaded = false;
  radio_origin = false;

  option_unit = kOptionNone;
  default_split = 0.0;
  bits::Put(image[kOffsetOptionUnit], 3, false);
  bits::Put(image[kOffsetOptionUnit], 2, true);

  hardware.SetDefaults();
  hardware.Encode(image);

  channels = ChannelTable{};
  channels.ResetChannelTable();

  EncodeDefaultSettings(image, channels.count, channels.total);
  tone_format = kToneStandard;

  identity = RadioIdentity{};
  identity.Encode(image);

  channels.EncodeChannelTable(image, hardware, option_unit);
}

void Codeplug::RefreshFromImage() {
  const int unit = DecodeOptionUnit(image[kOffsetOptionUnit]);
  if (unit != option_unit) {
    option_unit = unit;
    option_unit_changed = true;
  }
  hardware.Decode(image);
  channels.DecodeChannelTable(image, hardware, option_unit);
  identity.Decode(image, file_loaded || radio_origin);
  tone_format = DecodeToneFormatSwitch(image, option_unit, tone_format);
}

void Codeplug::CommitToImage() {
  Clear(image, 30, 89);
  Clear(image, 92, 167);
  Clear(image, 192, 195);
  Clear(image, 512, 639);
  Clear(image, 1024, 17407);
  identity.Encode(image);
  hardware.Encode(image);
  channels.EncodeChannelTable(image, hardware, option_unit);
}

void Codeplug::ChangeBand(int band) {
  default_split = hardware.SetBandDefaults(band);
  channels.ApplyBandChange(band);
  FitAllChannels(channels, ChannelContext::From(hardware, option_unit, default_split));
  modified = true;
}

}  // namespace ql40
