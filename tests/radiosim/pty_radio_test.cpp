// The radio served on a pseudo-terminal, talked to by a plain termios client.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "link/frame.h"
#include "radiosim/radio_sim.h"
#include "support/test_support.h"

namespace ql40::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A raw 9600 8N1 client, the way a serial program opens a port.
class Client {
 public:
  explicit Client(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tcsetattr(fd_, TCSANOW, &tio);
    tcflush(fd_, TCIOFLUSH);
  }
  ~Client() {
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  void Write(const Bytes& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }
  // Reads up to count bytes, giving up after the wait (a bound, not a measurement).
  Bytes Read(std::size_t count, int wait_ms = 3000) {
    Bytes got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (got.size() < count) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t buffer[256];
      const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }
  // Sends a frame and returns the echo plus the reply of the given size.
  Bytes Exchange(const Bytes& frame, std::size_t reply_size) {
    Write(frame);
    return Read(frame.size() + reply_size);
  }

 private:
  int fd_ = -1;
};

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PtyRadio, PassesEveryByteUnalteredAndSurvivesReopening) {
  Image memory{};
  // Bytes a line discipline would eat or change, inside the radio's memory.
  const Bytes tricky = {0x00, 0x11, 0x13, 0x0D, 0x0A, 0xFF, 0x03, 0x1A, 0x7F, 0x04};
  std::copy(tricky.begin(), tricky.end(), memory.begin() + 2 * 128);
  std::string error;
  auto radio = PtyRadio::Start({}, memory, &error);
  ASSERT_NE(radio, nullptr) << error;
  ASSERT_EQ(radio->device_path().rfind("/dev/", 0), 0u);

  for (int round = 0; round < 3; ++round) {
    Client client(radio->device_path());
    ASSERT_TRUE(client.ok());
    // Raw bytes: the echo is exact and nothing else comes back.
    client.Write(tricky);
    EXPECT_EQ(client.Read(tricky.size()), tricky);
    EXPECT_TRUE(client.Read(1, 50).empty());
    // A block with those bytes in it comes back whole.
    const Bytes request = frame::Build(frame::kReadBlock, Bytes{0});
    const Bytes got = client.Exchange(request, 131);
    ASSERT_EQ(got.size(), 135u);
    EXPECT_EQ(Bytes(got.begin() + 6, got.begin() + 6 + tricky.size()), tricky);
    // A write with them lands in the memory unchanged.
    const Bytes write = frame::Build(frame::kWriteWord, Bytes{5, 0x11, 0x13});
    EXPECT_EQ(client.Exchange(write, 5),
              Concat(write, frame::Build(frame::kWriteWord, Bytes{0x11, 0x13})));
  }
  EXPECT_EQ(radio->memory()[10], 0x13);
  EXPECT_EQ(radio->memory()[11], 0x11);
  EXPECT_EQ(radio->stats().blocks_read, 3);
}

TEST(PtyRadio, SwitchesItselfOnAfterTheProgramWaitsAndSavesADownload) {
  testing::TempDir dir;
  RadioOptions options;
  options.need_power_cycle = true;
  options.power_on_after_ms = 100;
  options.save_on_download = dir.File("radio.q40");
  options.trailer = 1.5;
  std::vector<std::string> events;
  options.on_event = [&](const RadioEvent& e) {
    if (!e.detail) events.push_back(e.text);
  };
  std::string error;
  const Image memory = BuiltInRadioImage(options);
  auto radio = PtyRadio::Start(options, memory, &error);
  ASSERT_NE(radio, nullptr) << error;
  Client client(radio->device_path());
  ASSERT_TRUE(client.ok());

  // Off: echo only. Once the line has been quiet it switches on and sends its start byte.
  const Bytes read_word = frame::Build(frame::kReadWord, Bytes{0});
  EXPECT_EQ(client.Exchange(read_word, 0), read_word);
  EXPECT_EQ(client.Read(1), Bytes{frame::kRadioStart});
  EXPECT_EQ(client.Exchange({frame::kProgramStart}, 0), Bytes{frame::kProgramStart});
  EXPECT_EQ(client.Exchange(read_word, 5).size(), 9u);

  // A download: marker writing, then complete; the radio saves its memory.
  const Bytes start = frame::Build(frame::kWriteWord, Bytes{127, 0xFF, 0xFF});
  const Bytes done = frame::Build(frame::kWriteWord, Bytes{127, 0xA5, 0x5A});
  EXPECT_EQ(client.Exchange(start, 5).size(), 11u);
  EXPECT_EQ(radio->marker(), 0xFFFF);
  EXPECT_EQ(client.Exchange(done, 5).size(), 11u);
  EXPECT_EQ(radio->marker(), 0xA55A);
  Image saved{};
  std::optional<double> trailer;
  ASSERT_TRUE(ReadRadioFile(dir.File("radio.q40"), saved, trailer, &error)) << error;
  EXPECT_EQ(saved, radio->memory());
  EXPECT_EQ(trailer, 1.5);

  // The user switches it off and on: start byte again, frames wait for the handshake.
  radio->PowerCycle();
  EXPECT_EQ(client.Read(1), Bytes{frame::kRadioStart});
  EXPECT_EQ(client.Exchange(read_word, 0), read_word);
  EXPECT_TRUE(client.Read(1, 50).empty());
  EXPECT_EQ(radio->stats().power_cycles, 2);

  radio.reset();  // delivers the remaining events
  const std::vector<std::string> expected_order = {"switched on: start byte sent",
                                                   "download completed"};
  auto it = events.begin();
  for (const auto& e : expected_order) {
    it = std::find(it, events.end(), e);
    EXPECT_NE(it, events.end()) << e;
  }
}

TEST(PtyRadio, PacingTakesAtLeastTheWireTime) {
  RadioOptions options;
  options.pace = true;
  std::string error;
  auto radio = PtyRadio::Start(options, Image{}, &error);
  ASSERT_NE(radio, nullptr) << error;
  Client client(radio->device_path());
  ASSERT_TRUE(client.ok());
  // 4 echoed bytes and a 131-byte reply: 135 bytes of 10 bit times cannot arrive sooner.
  const auto begin = std::chrono::steady_clock::now();
  const Bytes got = client.Exchange(frame::Build(frame::kReadBlock, Bytes{7}), 131);
  const auto elapsed = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(got.size(), 135u);
  EXPECT_GE(elapsed, std::chrono::microseconds(135 * 1'000'000 / 960));
}

TEST(PtyRadio, RefusesBadOptions) {
  RadioOptions options;
  options.band = 3;
  std::string error;
  EXPECT_EQ(PtyRadio::Start(options, Image{}, &error), nullptr);
  EXPECT_NE(error.find("band"), std::string::npos);
}

}  // namespace
}  // namespace ql40::sim
