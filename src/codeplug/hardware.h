#pragma once

// What the radio is, rather than how it is programmed: band, model, synthesiser constants
// (HardwareSettings) and firmware version, serial number and market number (RadioIdentity).

#include <string>

#include "codeplug/image.h"

namespace ql40 {

enum Band : int { kBandVhf = 0, kBandVhfLo = 1, kBandUhf = 2 };
enum ProductType : int { kPt610 = 0, kPt410 = 1 };

struct HardwareSettings {
  int band = kBandVhf;          // byte 25 bits 7-6
  int product_type = kPt610;    // byte 25 bit 0
  int channel_spacing = 2;      // byte 256 bits 7-6: step family 0..2 (3 only from radios)
  int sq_delay = 8;             // byte 256 bits 4-0, 5..31 msec
  double ref_xtal = 21.6;       // MHz, bytes 293-322
  double first_if = 21.8;       // MHz, bytes 325-332
  int injection = 0;            // 0 lower, 1 upper: bit 7 of bytes 325, 327, 329, 331
  int dcs_rx_polarity = 0;      // byte 333 bit 7
  int dcs_tx_polarity = 1;      // byte 333 bit 6
  int sq_release = 47;          // byte 333 bits 5-0: time = (r + 1) x 5 msec
  int noise_sq_attack = 1;      // byte 334 bits 7-4: time = 5 + 5a msec
  int noise_sq_hysteresis = 8;  // byte 334 bits 3-0
  int scan_pll_b = 180;         // byte 375

  // The default codeplug's values (VHF).
  void SetDefaults();
  // Applies the band's row of defaults (ref XTAL, first IF, injection, spacing, SQ release)
  // and returns that band's default split in MHz, which the caller stores in the trailer.
  double SetBandDefaults(int new_band);
  void Decode(const Image& image);
  void Encode(Image& image) const;
  // The record as an image gives it back: the frequencies in the steps their words hold (Ref
  // XTAL 40 kHz, first IF 5 kHz), every field within its bits.
  HardwareSettings AsStored() const;

  // Limits that follow from the product type.
  int MaxChannels() const { return product_type == kPt410 ? 48 : 512; }
  int MaxGroups() const { return product_type == kPt410 ? 3 : 20; }
  int MaxPerGroup() const { return product_type == kPt410 ? 16 : 255; }
};

// Default split of a band in MHz.
double BandDefaultSplit(int band);

struct RadioIdentity {
  int firmware_version = 0;                // bytes 0-1, BCD; never written by the program
  std::string serial_number = "0N010000";  // block 137; never written by the program
  int market_application = 0;              // bytes 192-193, BCD 0..9999

  // Decodes all three. Unless the image came from a file or a radio, the serial number
  // becomes "0N010000" and the firmware version 0.
  void Decode(const Image& image, bool from_file_or_radio);
  // Writes only the market application number.
  void Encode(Image& image) const;
  // "1.25" style text of the firmware version.
  std::string FirmwareText() const;
};

// The serial number text held by an image, whatever its origin.
std::string DecodeSerialNumber(const Image& image);

}  // namespace ql40
