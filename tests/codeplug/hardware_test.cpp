#include "codeplug/hardware.h"

#include <gtest/gtest.h>

namespace ql40 {
namespace {

TEST(HardwareSettings, ReferenceOscillatorWordsAreWrittenTwiceKeepingHighNibbles) {
  Image image{};
  for (int off : {293, 297, 301, 305, 309, 313, 317, 321}) image[off] = 0xA0;
  HardwareSettings hw;
  hw.SetDefaults();
  hw.SetBandDefaults(kBandUhf);  // 14.6 MHz
  hw.Encode(image);
  EXPECT_EQ(image[293], 0xA1);
  EXPECT_EQ(image[294], 0x6D);  // R40 = 365
  EXPECT_EQ(image[297], 0xA1);
  EXPECT_EQ(image[298], 0x6D);
  EXPECT_EQ(image[301], 0xA1);  // R50 = 292 = 0x124
  EXPECT_EQ(image[302], 0x24);
  EXPECT_EQ(image[309], 0xA2);  // R20 = 730 = 0x2DA
  EXPECT_EQ(image[310], 0xDA);
  EXPECT_EQ(image[317], 0xA5);  // R10 = 1460 = 0x5B4
  EXPECT_EQ(image[318], 0xB4);
  // First IF 44.25 MHz, lower injection: 8850, 7080, 17700, 35400.
  EXPECT_EQ(image[325], 0x22);
  EXPECT_EQ(image[326], 0x92);
  EXPECT_EQ(image[327], 0x1B);
  EXPECT_EQ(image[328], 0xA8);
  EXPECT_EQ(image[331], 0x0A);  // 35400 = 0x8A48: bit 15 is not part of the 15-bit word
  EXPECT_EQ(image[332], 0x48);
}

TEST(HardwareSettings, DefaultsAndEveryBandSurviveARoundTrip) {
  HardwareSettings hw;
  hw.SetDefaults();
  Image image{};
  hw.Encode(image);
  EXPECT_EQ(image[25], 0x00);
  EXPECT_EQ(image[256], 0x88);  // spacing 2, SQ delay 8
  EXPECT_EQ(image[333], 0x6F);  // RX normal, TX inverted, release 47
  EXPECT_EQ(image[334], 0x18);
  EXPECT_EQ(image[375], 180);
  HardwareSettings back;
  back.Decode(image);
  EXPECT_EQ(back.band, kBandVhf);
  EXPECT_EQ(back.product_type, kPt610);
  EXPECT_NEAR(back.first_if, 21.80, 1e-9);
  EXPECT_EQ(back.injection, 0);

  for (int band : {kBandVhf, kBandVhfLo, kBandUhf}) {
    HardwareSettings in;
    in.SetDefaults();
    const double split = in.SetBandDefaults(band);
    EXPECT_EQ(split, band == kBandUhf ? 5.0 : 0.0);
    in.product_type = kPt410;
    in.sq_delay = 31;
    in.noise_sq_attack = 15;
    in.noise_sq_hysteresis = 0;
    in.dcs_rx_polarity = 1;
    in.dcs_tx_polarity = 0;
    in.scan_pll_b = 255;
    Image img{};
    in.Encode(img);
    HardwareSettings out;
    out.Decode(img);
    EXPECT_EQ(out.band, band);
    EXPECT_EQ(out.product_type, kPt410);
    EXPECT_EQ(out.channel_spacing, in.channel_spacing);
    EXPECT_EQ(out.injection, in.injection);
    EXPECT_NEAR(out.ref_xtal, in.ref_xtal, 0.04);
    EXPECT_NEAR(out.first_if, in.first_if, 0.005);
    EXPECT_EQ(out.sq_release, in.sq_release);
    EXPECT_EQ(out.sq_delay, 31);
    EXPECT_EQ(out.noise_sq_attack, 15);
    EXPECT_EQ(out.dcs_rx_polarity, 1);
    EXPECT_EQ(out.dcs_tx_polarity, 0);
    EXPECT_EQ(out.scan_pll_b, 255);
  }
}

TEST(RadioIdentity, SerialFirmwareAndMarketNumber) {
  Image image{};
  image[17657] = 0x0C;
  image[17660] = 0x01;
  EXPECT_EQ(DecodeSerialNumber(image), "0N010000");
  image[17657] = 0x3A;
  image[17660] = 0x12;
  image[17661] = 0xEF;
  image[17662] = 0x90;
  image[0] = 0x25;
  image[1] = 0x01;
  image[192] = 0x12;
  image[193] = 0x34;
  RadioIdentity id;
  id.Decode(image, true);
  EXPECT_EQ(id.serial_number, "3L12*#90");
  EXPECT_EQ(id.firmware_version, 125);
  EXPECT_EQ(id.FirmwareText(), "1.25");
  EXPECT_EQ(id.market_application, 1234);
  // A codeplug that came from neither a file nor a radio shows the placeholder identity.
  id.Decode(image, false);
  EXPECT_EQ(id.serial_number, "0N010000");
  EXPECT_EQ(id.firmware_version, 0);
  EXPECT_EQ(id.market_application, 1234);

  Image out{};
  id.market_application = 1234;
  id.Encode(out);
  EXPECT_EQ(out[192], 0x12);
  EXPECT_EQ(out[193], 0x34);
  id.market_application = 99999;  // out of range never writes a non-BCD nibble
  id.Encode(out);
  EXPECT_EQ(out[192], 0x99);
  EXPECT_EQ(out[193], 0x99);
}

}  // namespace
}  // namespace ql40
