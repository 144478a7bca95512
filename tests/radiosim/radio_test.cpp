// The radio state machine, the built-in memory and the radio's files, without any port.

#include <gtest/gtest.h>

#include <vector>

#include "codeplug/bits.h"
#include "codeplug/hardware.h"
#include "link/frame.h"
#include "radiosim/radio_sim.h"
#include "support/test_support.h"

namespace ql40::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sends bytes as the program does and splits what comes back into the echo and the rest.
struct Exchange {
  Bytes echo;
  Bytes reply;
};
Exchange Send(Radio& radio, const Bytes& bytes) {
  Exchange x;
  Bytes out;
  for (auto b : bytes) {
    out.clear();
    radio.Receive(b, out);
    if (out.empty()) continue;  // unplugged
    x.echo.push_back(out.front());
    x.reply.insert(x.reply.end(), out.begin() + 1, out.end());
  }
  return x;
}
Bytes Frame(std::uint8_t command, const Bytes& data) {
  return frame::Build(command, data);
}
Bytes Payload(const Bytes& reply_frame) {
  return Bytes(reply_frame.begin() + 2, reply_frame.end() - 1);
}

Image TestMemory() {
  Image image{};
  for (int i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return image;
}

TEST(Radio, AnswersCloneFramesFromAndIntoItsMemory) {
  const Image memory = TestMemory();
  Radio radio({}, memory);

  // Read word: high byte first on the wire, the echo comes back byte for byte.
  auto x = Send(radio, Frame(frame::kReadWord, {12}));
  EXPECT_EQ(x.echo, Frame(frame::kReadWord, {12}));
  EXPECT_EQ(x.reply, Frame(frame::kReadWord, {memory[25], memory[24]}));

  // Write word: stored low byte first, the reply repeats what the radio now holds.
  x = Send(radio, Frame(frame::kWriteWord, {40, 0x12, 0x34}));
  EXPECT_EQ(x.reply, Frame(frame::kWriteWord, {0x12, 0x34}));
  EXPECT_EQ(radio.memory()[80], 0x34);
  EXPECT_EQ(radio.memory()[81], 0x12);

  // Read block r is image block r + 2; block 135 carries the product code.
  x = Send(radio, Frame(frame::kReadBlock, {135}));
  ASSERT_EQ(x.reply.size(), 131u);
  EXPECT_EQ(x.reply[1], 0x81);
  EXPECT_EQ(Payload(x.reply), Bytes(memory.begin() + 137 * 128, memory.end()));
  EXPECT_EQ(x.reply, Frame(frame::kReadBlock, Payload(x.reply)));

  // Write block: exactly one byte back, memory changed, counted per block.
  Bytes block(129, 0xA5);
  block[0] = 0;
  x = Send(radio, Frame(frame::kWriteBlock, block));
  EXPECT_EQ(x.reply, Bytes{frame::kAck});
  EXPECT_EQ(radio.memory()[256], 0xA5);
  EXPECT_EQ(radio.memory()[383], 0xA5);
  EXPECT_EQ(radio.memory()[384], memory[384]);
  EXPECT_EQ(radio.stats().block_writes[0], 1);
  EXPECT_EQ(radio.stats().block_writes[1], 0);

  // The marker word: writing, then complete.
  Send(radio, Frame(frame::kWriteWord, {127, 0xFF, 0xFF}));
  EXPECT_EQ(radio.marker(), 0xFFFF);
  EXPECT_EQ(radio.stats().downloads_started, 1);
  Send(radio, Frame(frame::kWriteWord, {127, 0xA5, 0x5A}));
  EXPECT_EQ(radio.marker(), 0xA55A);
  EXPECT_EQ(radio.stats().downloads_completed, 1);

  // Damaged or impossible frames get the echo and no answer; the next frame is served.
  Bytes bad = Frame(frame::kReadWord, {3});
  bad.back() ^= 1;
  EXPECT_TRUE(Send(radio, bad).reply.empty());
  EXPECT_TRUE(Send(radio, Frame(frame::kReadWord, {128})).reply.empty());
  EXPECT_TRUE(Send(radio, Frame(frame::kReadBlock, {136})).reply.empty());
  EXPECT_TRUE(Send(radio, Frame(frame::kReadWord, {1, 2})).reply.empty());  // wrong length
  EXPECT_TRUE(Send(radio, {frame::kReadBlock, 0x00}).reply.empty());        // zero length
  EXPECT_EQ(radio.stats().bad_frames, 5);
  EXPECT_EQ(Send(radio, Frame(frame::kReadWord, {3})).reply,
            Frame(frame::kReadWord, {memory[7], memory[6]}));

  // A frame cut short is dropped once the line goes quiet, so the next one is understood.
  Send(radio, {frame::kReadBlock, 0x02});
  EXPECT_TRUE(radio.mid_frame());
  radio.LineQuiet();
  EXPECT_EQ(Send(radio, Frame(frame::kReadWord, {0})).reply,
            Frame(frame::kReadWord, {memory[1], memory[0]}));
}

TEST(Radio, NeedsPowerCycleAndHandshakeBeforeAnswering) {
  RadioOptions options;
  options.need_power_cycle = true;
  Radio radio(options, TestMemory());
  EXPECT_FALSE(radio.PowerOnPending());
  auto x = Send(radio, Frame(frame::kReadWord, {0}));
  EXPECT_EQ(x.echo.size(), 4u);  // the cable still echoes
  EXPECT_TRUE(x.reply.empty());
  EXPECT_TRUE(radio.PowerOnPending());

  Bytes out;
  radio.PowerCycle(out);
  EXPECT_EQ(out, Bytes{frame::kRadioStart});
  EXPECT_FALSE(radio.PowerOnPending());
  // Switched on, it waits for the program's answer and ignores frames until then.
  EXPECT_TRUE(Send(radio, Frame(frame::kReadWord, {0})).reply.empty());
  x = Send(radio, {frame::kProgramStart});
  EXPECT_EQ(x.echo, Bytes{frame::kProgramStart});
  EXPECT_TRUE(x.reply.empty());
  EXPECT_EQ(Send(radio, Frame(frame::kReadWord, {0})).reply.size(), 5u);
  EXPECT_EQ(radio.stats().handshakes, 1);
  EXPECT_EQ(radio.stats().power_cycles, 1);
}

TEST(Radio, AlignmentCommandsModesAndLevelAnswers) {
  RadioOptions options;
  options.levels = {200, 17, 99, 3};
  Radio radio(options, TestMemory());
  const Bytes change = Frame(0x30, {2, 5});

  // Outside alignment mode every command but 0x38 is refused.
  EXPECT_EQ(Send(radio, change).reply, Bytes{frame::kNak});
  EXPECT_EQ(Send(radio, Frame(0x38, {})).reply, Bytes{frame::kAck});
  EXPECT_TRUE(Send(radio, {0x30}).reply.empty());  // raw mode byte: echo only
  EXPECT_TRUE(radio.alignment_mode());

  EXPECT_EQ(Send(radio, change).reply, Bytes{frame::kAck});
  EXPECT_EQ(radio.alignment().group, 2);
  EXPECT_EQ(radio.alignment().position, 5);
  Send(radio, Frame(0x32, {0x44}));
  Send(radio, Frame(0x33, {1, 2, 3}));
  Send(radio, Frame(0x3B, {0x7F, 0x80, 0x05, 0x60}));
  Send(radio, Frame(0x34, {}));
  EXPECT_EQ(radio.alignment().value, 0x44);
  EXPECT_EQ(radio.alignment().deviation, (std::array<int, 3>{1, 2, 3}));
  EXPECT_EQ(radio.alignment().dac, (std::array<int, 4>{0x7F, 0x80, 0x05, 0x60}));
  EXPECT_TRUE(radio.alignment().transmitting);
  EXPECT_EQ(Send(radio, Frame(0x33, {1, 2})).reply, Bytes{frame::kNak});  // wrong length
  EXPECT_EQ(Send(radio, Frame(0x3A, {})).reply, Bytes{frame::kNak});      // no such command
  Bytes damaged = Frame(0x35, {});
  damaged.back() ^= 0x10;
  EXPECT_EQ(Send(radio, damaged).reply, Bytes{frame::kNak});

  // 0x31: ACK, then an answer frame that starts with its length and sums in 0x31.
  const Bytes answer = {5, 200, 17, 99, 3, static_cast<std::uint8_t>(0x31 + 5 + 200 + 17 + 99 + 3)};
  Bytes expected = {frame::kAck};
  expected.insert(expected.end(), answer.begin(), answer.end());
  EXPECT_EQ(Send(radio, Frame(0x31, {})).reply, expected);
  EXPECT_EQ(Send(radio, {frame::kNak}).reply, answer);  // refused: sent again
  EXPECT_TRUE(Send(radio, {frame::kAck}).reply.empty());
  EXPECT_EQ(radio.stats().answer_naks, 1);
  EXPECT_EQ(radio.stats().answer_acks, 1);
  // A program that never acknowledges moves on with its next command.
  Send(radio, Frame(0x31, {}));
  EXPECT_EQ(Send(radio, Frame(0x35, {})).reply, Bytes{frame::kAck});
  EXPECT_FALSE(radio.alignment().transmitting);

  // Raw 0x00 bytes between frames get only the echo.
  EXPECT_TRUE(Send(radio, {0x00}).reply.empty());
  EXPECT_EQ(radio.stats().raw_zero_bytes, 1);

  // 0x38 + raw 0x40 leaves alignment mode; clone frames are served there.
  Send(radio, Frame(0x38, {}));
  Send(radio, {0x40});
  EXPECT_FALSE(radio.alignment_mode());
  EXPECT_EQ(Send(radio, change).reply, Bytes{frame::kNak});
  EXPECT_EQ(Send(radio, Frame(frame::kReadWord, {1})).reply.size(), 5u);
  // 0x38 alone: the next byte starts a frame.
  Send(radio, Frame(0x38, {}));
  EXPECT_EQ(Send(radio, Frame(frame::kReadWord, {1})).reply.size(), 5u);

  // Some radios acknowledge with the command byte itself.
  options.ack_with_command_byte = true;
  Radio echoing(options, TestMemory());
  EXPECT_EQ(Send(echoing, Frame(0x38, {})).reply, Bytes{0x38});
}

TEST(Radio, FaultsDoWhatTheySay) {
  const Image memory = TestMemory();
  const Bytes read_word = Frame(frame::kReadWord, {2});
  const Bytes good = Frame(frame::kReadWord, {memory[5], memory[4]});
  auto radio_with = [&](Faults f) {
    RadioOptions options;
    options.faults = f;
    return Radio(options, memory);
  };

  {  // The 2nd byte the radio sends is dropped, the 3rd corrupted.
    Radio radio = radio_with({.drop_reply_byte_at = 2});
    Bytes expected = good;
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(Send(radio, read_word).reply, expected);
    EXPECT_EQ(Send(radio, read_word).reply, good);
    Radio corrupt = radio_with({.corrupt_reply_byte_at = 3});
    expected = good;
    expected[2] = static_cast<std::uint8_t>(~expected[2]);
    EXPECT_EQ(Send(corrupt, read_word).reply, expected);
  }
  {  // Frames 2 and 3 are ignored (repeat 2), the 4th is answered.
    Radio radio = radio_with({.ignore_frame_at = 2, .repeat = 2});
    EXPECT_EQ(Send(radio, read_word).reply, good);
    EXPECT_TRUE(Send(radio, read_word).reply.empty());
    EXPECT_TRUE(Send(radio, read_word).reply.empty());
    EXPECT_EQ(Send(radio, read_word).reply, good);
    EXPECT_EQ(radio.stats().frames_ignored, 2);
  }
  {  // A wrong checksum on the first reply frame only.
    Radio radio = radio_with({.bad_checksum_at = 1});
    Bytes expected = good;
    ++expected.back();
    EXPECT_EQ(Send(radio, read_word).reply, expected);
    EXPECT_EQ(Send(radio, read_word).reply, good);
  }
  {  // NAK for the 2nd alignment command, even a valid one.
    Radio radio = radio_with({.nak_at = 2});
    EXPECT_EQ(Send(radio, Frame(0x38, {})).reply, Bytes{frame::kAck});
    Send(radio, {0x30});
    EXPECT_EQ(Send(radio, Frame(0x35, {})).reply, Bytes{frame::kNak});
    EXPECT_EQ(Send(radio, Frame(0x35, {})).reply, Bytes{frame::kAck});
  }
  {  // Silent after 6 bytes: echo goes on, no answers, not even after a power cycle.
    Radio radio = radio_with({.silent_after_bytes = 6});
    EXPECT_EQ(Send(radio, read_word).reply, good);
    auto x = Send(radio, read_word);
    EXPECT_EQ(x.echo, read_word);
    EXPECT_TRUE(x.reply.empty());
    Bytes out;
    radio.PowerCycle(out);
    EXPECT_TRUE(out.empty());
  }
  {  // Unplugged after 5 bytes: the 6th byte and later get nothing back at all.
    Radio radio = radio_with({.unplug_after_bytes = 5});
    Send(radio, read_word);
    Bytes out;
    radio.Receive(0x00, out);
    EXPECT_EQ(out, Bytes{0x00});
    radio.Receive(0x00, out);
    EXPECT_EQ(out, Bytes{0x00});  // nothing appended
  }
  {  // The wire reports a line error before the 3rd byte, once, and loses nothing.
    RadioOptions options;
    options.faults.line_error_at = 3;
    Radio radio(options, memory);
    Wire wire(radio);
    wire.Send(read_word);
    Bytes got;
    int errors = 0;
    std::uint8_t b = 0;
    for (Wire::ReadResult r; (r = wire.Read(b)) != Wire::ReadResult::kNothing;) {
      if (r == Wire::ReadResult::kLineError) {
        ++errors;
        EXPECT_EQ(got.size(), 2u);
      } else {
        got.push_back(b);
      }
    }
    EXPECT_EQ(errors, 1);
    Bytes expected = read_word;
    expected.insert(expected.end(), good.begin(), good.end());
    EXPECT_EQ(got, expected);
    wire.PowerCycle();
    EXPECT_EQ(wire.available(), 1u);
    wire.PurgeReceive();
    EXPECT_EQ(wire.available(), 0u);
  }
}

TEST(RadioMemory, BuiltInRadioIsConsistentAndIdentified) {
  RadioOptions options;
  options.band = kBandUhf;
  options.model = kPt410;
  options.firmware_version = 1234;
  options.serial = "0N010000";
  options.product_code = 0x1267;
  const Image image = BuiltInRadioImage(options);

  EXPECT_EQ(image[0], 0x34);
  EXPECT_EQ(image[1], 0x12);
  EXPECT_EQ(image[17657], 0x0C);
  EXPECT_EQ(image[17660], 0x01);
  EXPECT_EQ(image[17661], 0x00);
  EXPECT_EQ(image[17662], 0x00);
  EXPECT_EQ(DecodeSerialNumber(image), "0N010000");
  options.serial = "2Q#*D9a0";
  EXPECT_EQ(DecodeSerialNumber(BuiltInRadioImage(options)), "2Q#*D9A0");
  EXPECT_EQ(image[17653], 0x12);
  EXPECT_EQ(image[17654], 0x67);
  EXPECT_EQ(bits::GetWordLE(image, 2), AdjustmentSum(image));
  EXPECT_NE(AdjustmentSum(image), 0);
  EXPECT_EQ(bits::GetWordLE(image, 254), frame::kMarkerComplete);

  HardwareSettings hw;
  hw.Decode(image);
  EXPECT_EQ(hw.band, kBandUhf);
  EXPECT_EQ(hw.product_type, kPt410);
  EXPECT_NEAR(hw.first_if, 44.25, 0.01);

  // Alignment tables: the centre lies inside ascending breakpoints; rows are not all zero.
  const int centre = bits::GetWordBE(image, kOffsetBlock137);
  int previous = 0;
  for (int k = 0; k <= 10; ++k) {
    const int at = kOffsetBlock137 + 5 + 11 * k;
    const int breakpoint = bits::GetWordBE(image, at);
    EXPECT_GT(breakpoint, previous);
    previous = breakpoint;
  }
  EXPECT_GT(centre, bits::GetWordBE(image, kOffsetBlock137 + 5));
  EXPECT_LT(centre, previous);
  EXPECT_GE(previous, 4000);  // UHF, in 100 kHz units
  EXPECT_NE(image[kOffsetBlock137 + 7 + 11 * 9], 0);

  // Re-stamping a file's memory keeps its checksum consistent.
  Image copy = image;
  options.band = kBandVhf;
  ApplyIdentity(options, copy);
  EXPECT_EQ(bits::Get(copy[25], 7, 6), kBandVhf);
  EXPECT_EQ(bits::GetWordLE(copy, 2), AdjustmentSum(copy));

  for (auto bad : {"0N01000", "0A010000", "0NX10000", "0N01000E", "0R010000"}) {
    RadioOptions o;
    o.serial = bad;
    EXPECT_FALSE(ValidateOptions(o).empty()) << bad;
  }
  RadioOptions o;
  EXPECT_TRUE(ValidateOptions(o).empty());
  o.faults.repeat = 0;
  EXPECT_FALSE(ValidateOptions(o).empty());
  o = {};
  o.levels[2] = 256;
  EXPECT_FALSE(ValidateOptions(o).empty());
}

TEST(RadioMemory, FilesAndSaveOnDownload) {
  testing::TempDir dir;
  const Image memory = TestMemory();
  std::string error;
  ASSERT_TRUE(WriteRadioFile(dir.File("a.q40"), memory, -12.5, &error)) << error;
  const auto bytes = testing::ReadAll(dir.File("a.q40"));
  ASSERT_EQ(bytes.size(), 17672u);
  EXPECT_EQ(bytes[17671], 0xC0);  // -12.5, little-endian double: sign in the last byte

  Image read{};
  std::optional<double> trailer;
  ASSERT_TRUE(ReadRadioFile(dir.File("a.q40"), read, trailer, &error)) << error;
  EXPECT_EQ(read, memory);
  EXPECT_EQ(trailer, -12.5);

  testing::WriteAll(dir.File("bare.q40"), std::vector<unsigned char>(memory.begin(), memory.end()));
  EXPECT_TRUE(ReadRadioFile(dir.File("bare.q40"), read, trailer, &error));
  EXPECT_FALSE(trailer.has_value());
  for (std::size_t size : {0u, 100u, 17665u, 17671u, 17673u, 40000u}) {
    testing::WriteAll(dir.File("odd.q40"), std::vector<unsigned char>(size, 1));
    read = memory;
    EXPECT_FALSE(ReadRadioFile(dir.File("odd.q40"), read, trailer, &error)) << size;
    EXPECT_EQ(read, memory) << size;
    EXPECT_NE(error.find("odd.q40"), std::string::npos);
  }
  EXPECT_FALSE(ReadRadioFile(dir.File("missing.q40"), read, trailer, &error));

  // A completed download saves the memory with the trailer, or the band's default split.
  RadioOptions options;
  options.save_on_download = dir.File("saved.q40");
  Image uhf = memory;
  uhf[25] = 0x80;
  Radio radio(options, uhf);
  Send(radio, Frame(frame::kWriteWord, {127, 0xFF, 0xFF}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("saved.q40")));
  Send(radio, Frame(frame::kWriteWord, {127, 0xA5, 0x5A}));
  ASSERT_TRUE(ReadRadioFile(dir.File("saved.q40"), read, trailer, &error)) << error;
  EXPECT_EQ(read, radio.memory());
  EXPECT_EQ(trailer, 5.0);

  options.save_on_download = dir.File("no/such/folder/saved.q40");
  Radio failing(options, memory);
  Send(failing, Frame(frame::kWriteWord, {127, 0xA5, 0x5A}));
  EXPECT_FALSE(failing.save_error().empty());
  EXPECT_EQ(failing.stats().downloads_completed, 1);
}

}  // namespace
}  // namespace ql40::sim
