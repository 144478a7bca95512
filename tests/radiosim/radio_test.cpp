// The radio state machine, the built-in memory and the radio's files, without any port. The
// protocols as the program uses them, and the faults, are proven by the link's tests against
// this radio; here are garbage on the line and what those tests do not reach.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "codeplug/bits.h"
#include "codeplug/codeplug.h"
#include "codeplug/hardware.h"
#include "link/frame.h"
#include "radiosim/radio_sim.h"
#include "support/test_support.h"

namespace ql40::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sends bytes as the program does; what the radio answers besides each byte's echo.
Bytes Send(Radio& radio, const Bytes& bytes) {
  Bytes reply;
  for (auto b : bytes) {
    Bytes out;
    radio.Receive(b, out);
    if (!out.empty()) reply.insert(reply.end(), out.begin() + 1, out.end());
  }
  return reply;
}

Bytes Frame(std::uint8_t command, const Bytes& data) {
  return frame::Build(command, data);
}

// The options with the changes the function makes.
template <typename F>
RadioOptions Options(F change) {
  RadioOptions options;
  change(options);
  return options;
}

Image TestMemory() {
  Image image{};
  for (int i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return image;
}

const Image kMemory = TestMemory();
const Bytes kReadWord2 = Frame(frame::kReadWord, {2});
const Bytes kWord2 = Frame(frame::kReadWord, {kMemory[5], kMemory[4]});  // high byte first

TEST(Radio, GarbageNeverBreaksItAndAPowerCycleRecovers) {
  std::mt19937 random(4711);
  Radio radio(Options([](auto& o) {
                o.faults = {.drop_reply_byte_at = 50,
                            .ignore_frame_at = 3,
                            .bad_checksum_at = 7,
                            .nak_at = 2,
                            .repeat = 5};
              }),
              kMemory);
  Bytes out;
  // Valid frames of every kind with random contents, between random and likely bytes.
  const Bytes likely = {0xF0, 0xF1, 0xF2, 0xF3, 0x30, 0x31, 0x38, 0x3B,
                        0x40, 0x06, 0x15, 0x00, 0x01, 0x02, 0x82, 0xFF};
  const std::pair<std::uint8_t, int> kinds[] = {{0xF0, 1}, {0xF1, 3}, {0xF2, 1}, {0xF3, 129},
                                                {0x30, 2}, {0x31, 0}, {0x33, 3}, {0x38, 0}};
  for (int i = 0; i < 20000; ++i) {
    Bytes bytes;
    const unsigned r = random();
    if (r % 4 == 0) {
      const auto& [command, size] = kinds[r / 4 % std::size(kinds)];
      Bytes data(size);
      for (auto& b : data) b = static_cast<std::uint8_t>(random() % 140);
      bytes = Frame(command, data);
    } else {
      bytes = {r % 3 ? likely[r / 3 % likely.size()] : static_cast<std::uint8_t>(r >> 8)};
    }
    for (auto b : bytes) {
      out.clear();
      radio.Receive(b, out);
      ASSERT_FALSE(out.empty());
      ASSERT_EQ(out.front(), b);
    }
    if (i % 500 == 0) radio.LineQuiet();
    if (i % 4000 == 3999) radio.PowerCycle(out);
  }
  EXPECT_GT(radio.stats().frames_served, 100);
  EXPECT_GT(radio.stats().bad_frames, 100);
  out.clear();
  radio.PowerCycle(out);
  Send(radio, {frame::kProgramStart});
  const Image& now = radio.memory();
  EXPECT_EQ(Send(radio, kReadWord2), Frame(frame::kReadWord, {now[5], now[4]}));
}

TEST(RadioMemory, BuiltInRadioIsConsistentAndIdentified) {
  RadioOptions options = Options([](auto& o) {
    o.band = kBandUhf;
    o.model = kPt410;
    o.firmware_version = 1234;
    o.serial = "0N010000";
    o.product_code = 0x1267;
  });
  const Image image = BuiltInRadioImage(options);
  EXPECT_EQ(image[0], 0x34);
  EXPECT_EQ(image[1], 0x12);
  EXPECT_EQ(image[17653], 0x12);
  EXPECT_EQ(image[17654], 0x67);
  EXPECT_EQ(DecodeSerialNumber(image), "0N010000");
  EXPECT_EQ(DecodeSerialNumber(BuiltInRadioImage(Options([](auto& o) { o.serial = "2Q#*D9a0"; }))),
            "2Q#*D9A0");
  EXPECT_EQ(bits::GetWordLE(image, 2), AdjustmentSum(image));
  EXPECT_EQ(bits::GetWordLE(image, 254), frame::kMarkerComplete);

  // The program reads it with non-trivial tuning bytes derived from the alignment tables.
  auto doc = std::make_unique<Codeplug>();
  doc->image = image;
  doc->radio_origin = true;
  doc->RefreshFromImage();
  EXPECT_EQ(doc->channels.records[0].rx_frequency, BandDefaultFrequency(kBandUhf));
  EXPECT_NE(doc->channels.records[0].tune_rx, 0);
  EXPECT_NE(doc->channels.records[0].tune_rx0, 0);

  // Re-stamping a file's memory keeps its checksum consistent.
  Image copy = image;
  options.band = kBandVhf;
  ApplyIdentity(options, copy, kIdentityBand);
  EXPECT_EQ(bits::Get(copy[25], 7, 6), kBandVhf);
  EXPECT_EQ(copy[25] & 1, kPt410);
  EXPECT_EQ(bits::GetWordLE(copy, 2), AdjustmentSum(copy));

  for (auto bad : {"0N01000", "0A010000", "0NX10000", "0N01000E", "0R010000"}) {
    EXPECT_FALSE(ValidateOptions(Options([&](auto& o) { o.serial = bad; })).empty()) << bad;
  }
  EXPECT_TRUE(ValidateOptions({}).empty());
  EXPECT_FALSE(ValidateOptions(Options([](auto& o) { o.band = 3; })).empty());
  EXPECT_FALSE(ValidateOptions(Options([](auto& o) { o.faults.repeat = 0; })).empty());
}

// Saved files as the program reads them: see the ql40-radiosim program test.
TEST(RadioMemory, FilesWithoutTrailerAndAFailedSaveOnDownload) {
  testing::TempDir dir;
  testing::WriteAll(dir.File("bare.q40"), {kMemory.begin(), kMemory.end()});
  Image read{};
  std::optional<double> trailer = 1.0;
  std::string error;
  EXPECT_TRUE(ReadRadioFile(dir.File("bare.q40"), read, trailer, &error)) << error;
  EXPECT_EQ(read, kMemory);
  EXPECT_FALSE(trailer.has_value());
  testing::WriteAll(dir.File("odd.q40"), std::vector<unsigned char>(17673, 1));
  EXPECT_FALSE(ReadRadioFile(dir.File("odd.q40"), read, trailer, &error));
  EXPECT_NE(error.find("odd.q40"), std::string::npos);

  Radio failing(Options([&](auto& o) { o.save_on_download = dir.File("no/such/folder/x.q40"); }),
                kMemory);
  Send(failing, Frame(frame::kWriteWord, {127, 0xA5, 0x5A}));
  EXPECT_FALSE(failing.save_error().empty());
  EXPECT_EQ(failing.stats().downloads_completed, 1);
}

}  // namespace
}  // namespace ql40::sim
