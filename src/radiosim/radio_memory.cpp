// The simulated radio's memory: the built-in radio, its identity bytes, and .q40 files.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "codeplug/files.h"
#include "codeplug/hardware.h"
#include "exchange/codeplug_json.h"
#include "link/frame.h"
#include "radiosim/radio_sim.h"

namespace ql40::sim {
namespace {

constexpr int kOffsetSerialFirst = 17657;
constexpr int kOffsetSerialRest = 17660;
constexpr const char* kDtmfDigits = "0123456789ABCD*#";

// The DTMF digit value of a serial number character, -1 when it has none.
int DtmfDigit(char c) {
  if (c >= 'a' && c <= 'd') c = static_cast<char>(c - 'a' + 'A');
  const char* hit = c == '\0' ? nullptr : std::strchr(kDtmfDigits, c);
  return hit == nullptr ? -1 : static_cast<int>(hit - kDtmfDigits);
}

// Frequencies of a band's alignment tables in 100 kHz units: lowest, centre, highest.
struct BandSpan {
  int low;
  int centre;
  int high;
};
constexpr BandSpan kBandSpans[] = {{1360, 1550, 1740}, {297, 420, 540}, {4000, 4350, 4700}};

// Plausible factory adjustment values, image bytes 4-24 (byte 25 is band and model).
constexpr std::uint8_t kAdjustment[] = {
    0x50, 0x40, 0x62, 0x74,  // wide: TX save, RSSI squelch, tight and threshold noise squelch
    0x52, 0x44, 0x66, 0x78,  // the same, narrow
    0x58, 0x86, 0xC8, 0x30,  // power Low2, Low3, High, Low1
    0x5A, 0xA0,              // maximum deviation narrow, wide
    0x1C, 0x32, 0x22, 0x3C,  // CTCSS deviation narrow, wide; DCS deviation narrow, wide
    0x9A, 0x8C,              // alkaline and battery warning levels
    0x7D,                    // frequency D/A
};

// Block 137: centre frequency and value, slopes, eleven breakpoints with ten 9-byte rows.
void WriteAlignmentTables(int band, Image& image) {
  const BandSpan& span = kBandSpans[band];
  int at = kOffsetBlock137;
  bits::SetWordBE(image, at, span.centre);
  image[at + 2] = 0x80;
  image[at + 3] = 0x30;
  image[at + 4] = 0x2C;
  at += 5;
  for (int k = 0; k <= 10; ++k) {
    bits::SetWordBE(image, at, span.low + (span.high - span.low) * k / 10);
    at += 2;
    if (k == 10) break;
    const std::uint8_t row[9] = {
        static_cast<std::uint8_t>(0x40 + 6 * k),          // receive tuning
        static_cast<std::uint8_t>(0x48 + 5 * k),          // transmit tuning
        static_cast<std::uint8_t>(k % 2 ? 0x80 | k : k),  // signed corrections: bit 7 minus
        static_cast<std::uint8_t>(k / 2),
        static_cast<std::uint8_t>(0x80 | (k / 3 + 1)),
        static_cast<std::uint8_t>(k % 3),
        static_cast<std::uint8_t>(k < 5 ? 0x82 : 0x02),
        static_cast<std::uint8_t>(3 - k % 4),
        static_cast<std::uint8_t>(0x80 | (k % 5)),
    };
    std::memcpy(&image[at], row, sizeof row);
    at += 9;
  }
}

// The text of the message a file function showed.
std::string MessageText(const SilentPrompter& prompter) {
  return prompter.messages().empty() ? std::string("file error")
                                     : prompter.messages().back().Text();
}

}  // namespace

std::string ValidateOptions(const RadioOptions& options) {
  if (options.band < 0 || options.band > 2) return "the band must be 0 to 2";
  if (options.model < 0 || options.model > 1) return "the model must be 0 (PT-610) or 1 (PT-410)";
  if (options.firmware_version < 0 || options.firmware_version > 9999) {
    return "the firmware version must be 0 to 9999";
  }
  const std::string& s = options.serial;
  bool serial_ok = s.size() == 8 && s[1] >= 'B' && s[1] <= 'Q';
  for (std::size_t i = 0; serial_ok && i < s.size(); ++i) {
    if (i != 1 && DtmfDigit(s[i]) < 0) serial_ok = false;
  }
  if (!serial_ok) {
    return "the serial number must be 8 characters: a digit, a letter B to Q, six digits "
           "(digits are 0-9, A-D, * and #)";
  }
  if (options.product_code < 0 || options.product_code > 0xFFFF) {
    return "the product code must be 0 to FFFF";
  }
  if (options.power_on_after_ms < -1) return "the power-on delay must be -1 or more";
  for (int level : options.levels) {
    if (level < 0 || level > 255) return "levels must be 0 to 255";
  }
  if (options.level_spread < 0 || options.level_spread > 255) {
    return "the level spread must be 0 to 255";
  }
  if (options.rssi_peak < -1 || options.rssi_peak > 255) {
    return "the signal peak must be 0 to 255 (or -1 for none)";
  }
  const Faults& f = options.faults;
  for (int v : {f.drop_reply_byte_at, f.corrupt_reply_byte_at, f.ignore_frame_at, f.bad_checksum_at,
                f.nak_at, f.silent_after_bytes, f.unplug_after_bytes, f.line_error_at,
                f.nak_clone_at, f.misstore_at}) {
    if (v < 0) return "fault counters must be 0 (never) or more";
  }
  if (f.repeat < 1) return "a fault's repeat count must be 1 or more";
  return {};
}

int AdjustmentSum(const Image& image) {
  int sum = 0;
  for (int w = 2; w <= 12; ++w) sum += bits::GetWordLE(image, 2 * w);
  return sum & 0xFFFF;
}

void ApplyIdentity(const RadioOptions& options, Image& image, unsigned fields) {
  if (fields & kIdentityFirmware) {
    const int fw = std::clamp(options.firmware_version, 0, 9999);
    image[kOffsetFirmware] = bits::ToBcd(fw % 100);
    image[kOffsetFirmware + 1] = bits::ToBcd(fw / 100);
  }
  if (fields & kIdentityBand) {
    bits::Set(image[kOffsetBandModel], 7, 6, std::clamp(options.band, 0, 2));
  }
  if (fields & kIdentityModel) bits::Put(image[kOffsetBandModel], 0, options.model == 1);
  if (fields & (kIdentityBand | kIdentityModel)) {
    bits::SetWordLE(image, kOffsetAdjustSum, AdjustmentSum(image));
  }
  if (fields & kIdentityProductCode) {
    bits::SetWordBE(image, kOffsetProductCode, options.product_code & 0xFFFF);
  }
  const std::string& s = options.serial;
  if ((fields & kIdentitySerial) && s.size() == 8) {
    auto digit = [&](std::size_t i) { return std::max(DtmfDigit(s[i]), 0); };
    const int letter = std::clamp(s[1] - 'B', 0, 15);
    image[kOffsetSerialFirst] = static_cast<std::uint8_t>(digit(0) << 4 | letter);
    for (int i = 0; i < 3; ++i) {
      image[kOffsetSerialRest + i] =
          static_cast<std::uint8_t>(digit(2 + 2 * i) << 4 | digit(3 + 2 * i));
    }
  }
}

Image BuiltInRadioImage(const RadioOptions& options) {
  const int band = std::clamp(options.band, 0, 2);
  // The program's own default codeplug for the band and model...
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  if (band != kBandVhf) doc->ChangeBand(band);
  if (options.model == kPt410) {
    doc->hardware.product_type = kPt410;
    doc->channels.RefitToProduct(kPt410);
  }
  doc->CommitToImage();
  // ...with factory adjustment and alignment tables, from which the channels' tuning bytes
  // are derived once more.
  std::memcpy(&doc->image[4], kAdjustment, sizeof kAdjustment);
  WriteAlignmentTables(band, doc->image);
  doc->RefreshFromImage();
  doc->CommitToImage();

  Image image = doc->image;
  // A radio that was programmed before: its last download completed.
  bits::SetWordLE(image, 2 * frame::kMarkerWord, frame::kMarkerComplete);
  RadioOptions safe = options;
  safe.band = band;
  safe.model = std::clamp(options.model, 0, 1);
  ApplyIdentity(safe, image);
  return image;
}

bool ReadRadioFile(const std::string& path, Image& image, std::optional<double>& trailer,
                   std::string* error) {
  // The radio's memory is exactly an image, with or without the file trailer.
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size != static_cast<std::uintmax_t>(kFileSize) &&
      size != static_cast<std::uintmax_t>(kImageSize)) {
    if (error) {
      *error = Format(
          "%s is %ju bytes; a radio memory file has 17672 (or 17664 without its "
          "trailer)",
          path.c_str(), static_cast<std::uintmax_t>(size));
    }
    return false;
  }
  SilentPrompter prompter(Answer::kOk);
  double value = 0.0;
  Image read{};
  if (!ReadImageFile(path, read, value, prompter)) {
    if (error) *error = MessageText(prompter);
    return false;
  }
  image = read;
  trailer.reset();
  if (size == static_cast<std::uintmax_t>(kFileSize)) trailer = value;
  return true;
}

bool ReadRadioJson(const std::string& path, const RadioOptions& options, Image& image,
                   std::optional<double>& trailer, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = path + ": cannot be read";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  RadioOptions radio = options;
  if (const int band = exchange::JsonBand(text.str()); band >= 0) radio.band = band;
  // The built-in radio brings what only a radio holds (identity, adjustment, alignment tables);
  // the file brings what a dealer programs.
  auto base = std::make_unique<Codeplug>(exchange::DefaultCodeplug(std::clamp(radio.band, 0, 2)));
  base->image = BuiltInRadioImage(radio);
  base->RefreshFromImage();
  auto out = std::make_unique<Codeplug>();
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportJson(text.str(), *base, *out, errors, warnings)) {
    if (error) {
      error->clear();
      for (const std::string& e : errors) *error += (error->empty() ? "" : "\n") + path + ": " + e;
    }
    return false;
  }
  image = out->image;
  trailer = out->default_split;
  // What the radio holds other than the file gives it is told, as an import tells it.
  if (error) {
    error->clear();
    for (const std::string& w : warnings) {
      *error += (error->empty() ? "" : "\n") + path + ": warning: " + w;
    }
  }
  return true;
}

bool WriteRadioFile(const std::string& path, const Image& image, double trailer,
                    std::string* error) {
  SilentPrompter prompter(Answer::kOk);
  if (WriteImageFile(path, image, trailer, prompter)) return true;
  if (error) *error = MessageText(prompter);
  return false;
}

}  // namespace ql40::sim
