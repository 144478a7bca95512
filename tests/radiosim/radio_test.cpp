// The simulated radio: its state machine, memory and files; served on a pseudo-terminal; and
// the ql40-radiosim program.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codeplug/bits.h"
#include "codeplug/codeplug.h"
#include "codeplug/hardware.h"
#include "link/frame.h"
#include "link/ports/posix_serial_port.h"
#include "radiosim/radio_sim.h"
#include "support/test_support.h"

extern char** environ;

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

// JSON on the built-in radio: its identity stays, the band is the file's, errors name it.
TEST(RadioMemory, CodeplugJsonOnTheBuiltInRadio) {
  testing::TempDir dir;
  const std::string good = dir.File("site.json"), bad = dir.File("bad.json");
  std::ofstream(good) << R"({"hardware": {"band": "UHF"}, "groups": [{"channels": 3}],
    "channels": [{"channel": 2, "programmed": true, "tag": "YARD", "receive": "451.50000"}]})";
  std::ofstream(bad) << R"({"channels": [{"channel": 1, "receive": "999.00000"}]})";
  RadioOptions options;
  options.serial = "1K000077";
  Image image{};
  std::optional<double> trailer;
  std::string error;
  ASSERT_TRUE(ReadRadioJson(good, options, image, trailer, &error)) << error;
  EXPECT_EQ(bits::Get(image[25], 7, 6), kBandUhf);
  EXPECT_EQ(DecodeSerialNumber(image), "1K000077");
  EXPECT_EQ(trailer, 5.0);
  EXPECT_EQ(bits::GetWordLE(image, 2), AdjustmentSum(image));
  auto doc = std::make_unique<Codeplug>();
  doc->image = image;
  doc->RefreshFromImage();
  EXPECT_EQ(doc->channels.count[0], 3);
  EXPECT_EQ(doc->channels.records[1].rx_frequency, 45150000);
  EXPECT_TRUE(doc->channels.records[1].status & 1);
  const Image before = image;
  EXPECT_FALSE(ReadRadioJson(bad, options, image, trailer, &error));
  EXPECT_NE(error.find("bad.json: channels[0].receive"), std::string::npos) << error;
  EXPECT_EQ(image, before);
  EXPECT_FALSE(ReadRadioJson(dir.File("none.json"), options, image, trailer, &error));
}

// The program's own termios port on the radio's device (or a link to it).
struct Client {
  explicit Client(const std::string& path)
      : port(link::OpenSystemPort(path, link::kCloneReadConstantMs, &error)) {}
  bool ok() const { return port != nullptr; }
  // Sends the bytes and returns what comes back, echo included, up to count bytes.
  Bytes Exchange(const Bytes& bytes, std::size_t count) {
    if (!port || (!bytes.empty() && port->Write(bytes.data(), bytes.size()) != 1)) return {};
    Bytes got(count);
    std::size_t received = 0;
    port->ReadCounted(got.data(), count, &received);
    got.resize(received);
    return got;
  }
  // A byte the radio sends by itself, waited for over several read time-outs.
  Bytes AwaitByte() {
    Bytes got;
    for (int i = 0; i < 10 && got.empty(); ++i) got = Exchange({}, 1);
    return got;
  }
  link::PortOpenError error;
  std::unique_ptr<link::SerialPort> port;
};

TEST(PtyRadio, SwitchesItselfOnAfterTheProgramWaits) {
  std::string error;
  RadioOptions options;
  options.need_power_cycle = true;
  options.power_on_after_ms = 100;
  auto radio = PtyRadio::Start(options, BuiltInRadioImage(options), &error);
  ASSERT_NE(radio, nullptr) << error;
  Client client(radio->device_path());
  ASSERT_TRUE(client.ok());

  // Off: echo only. Once the line has been quiet it switches on and sends its start byte.
  const Bytes read_word = frame::Build(frame::kReadWord, Bytes{0});
  EXPECT_EQ(client.Exchange(read_word, 4), read_word);
  EXPECT_EQ(client.AwaitByte(), Bytes{frame::kRadioStart});
  EXPECT_EQ(client.Exchange({frame::kProgramStart}, 1), Bytes{frame::kProgramStart});
  EXPECT_EQ(client.Exchange(read_word, 4 + 5).size(), 9u);

  // The user switches it off and on: start byte again, frames wait for the handshake.
  radio->PowerCycle();
  EXPECT_EQ(client.Exchange({}, 1), Bytes{frame::kRadioStart});
  EXPECT_EQ(client.Exchange(read_word, 4 + 1), read_word);
  EXPECT_EQ(radio->stats().power_cycles, 2);
}

TEST(PtyRadio, PacingTakesAtLeastTheWireTime) {
  std::string error;
  RadioOptions options;
  options.pace = true;
  auto radio = PtyRadio::Start(options, Image{}, &error);
  ASSERT_NE(radio, nullptr) << error;
  Client client(radio->device_path());
  // 4 echoed bytes and a 131-byte reply: 135 bytes of 10 bit times cannot arrive sooner.
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(client.Exchange(frame::Build(frame::kReadBlock, Bytes{7}), 135).size(), 135u);
  const auto elapsed = std::chrono::steady_clock::now() - begin;
  EXPECT_GE(elapsed, std::chrono::microseconds(135 * 1'000'000 / 960));
}

class Program {
 public:
  Program(std::vector<std::string> args, const std::string& stderr_path) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), std::string(QL40_BIN_DIR) + "/ql40-radiosim");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    stdin_ = in[1];
    stdout_ = out[0];
  }
  ~Program() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    close(stdin_);
    close(stdout_);
  }

  // The first line on stdout, or "" when none came within a generous bound.
  std::string FirstLine() {
    std::string line;
    char c = 0;
    pollfd p{stdout_, POLLIN, 0};
    while (poll(&p, 1, 10000) > 0 && read(stdout_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  void Type(const std::string& text) {
    ASSERT_EQ(write(stdin_, text.data(), text.size()), ssize_t(text.size()));
  }
  void Signal(int signo) { kill(pid_, signo); }
  // The exit status, or -1 for a program that did not exit normally.
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1, stdout_ = -1;
};

TEST(RadiosimProgram, ServesUntilStoppedAndCleansUp) {
  testing::TempDir dir;
  const std::string link = dir.File("radio"), saved = dir.File("saved.q40");
  Program program({"--power-cycle", "--model", "pt-410", "--band", "uhf", "--serial", "0N010000",
                   "--link", link, "--save", saved},
                  dir.File("err.txt"));
  const std::string device = program.FirstLine();
  ASSERT_EQ(device.rfind("/dev/", 0), 0u) << testing::ReadText(dir.File("err.txt"));
  EXPECT_EQ(std::filesystem::read_symlink(link), device);

  // The port stays open over the power cycle: opening purges, which would lose the start byte.
  Client client(link);
  ASSERT_TRUE(client.ok());
  const Bytes read_word = frame::Build(frame::kReadWord, Bytes{12});
  EXPECT_EQ(client.Exchange(read_word, 4 + 1), read_word);  // switched off: echo only
  program.Type("\n");                                       // Enter switches it on
  EXPECT_EQ(client.AwaitByte(), Bytes{frame::kRadioStart});
  EXPECT_EQ(client.Exchange({frame::kProgramStart}, 1), Bytes{frame::kProgramStart});
  const Bytes got = client.Exchange(read_word, 4 + 5);
  ASSERT_EQ(got.size(), 9u);
  EXPECT_EQ(got[6], 0x81);  // word 12 high byte: UHF (2 << 6), PT-410 (bit 0)

  // A completed download is saved with the band's default split when the program stops.
  const Bytes done = frame::Build(frame::kWriteWord, Bytes{127, 0xA5, 0x5A});
  EXPECT_EQ(client.Exchange(done, 6 + 5).size(), 11u);
  client.port.reset();
  program.Signal(SIGTERM);
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  Image image{};
  std::optional<double> trailer;
  std::string error;
  ASSERT_TRUE(ReadRadioFile(saved, image, trailer, &error)) << error;
  EXPECT_EQ(trailer, 5.0);
  EXPECT_EQ(DecodeSerialNumber(image), "0N010000");
  const std::string log = testing::ReadText(dir.File("err.txt"));
  EXPECT_NE(log.find("download completed"), std::string::npos) << log;
  EXPECT_NE(log.find("PT-410 UHF"), std::string::npos) << log;
}

TEST(RadiosimProgram, RefusesBadOptionsAndFiles) {
  testing::TempDir dir;
  testing::WriteAll(dir.File("short.q40"), std::vector<unsigned char>(1000, 0));
  testing::WriteAll(dir.File("taken"), {1, 2, 3});
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"--serial", "12345678"}, 2},
      {{"--product-code", "xyz"}, 2},
      {{"--file", dir.File("short.q40")}, 1},
      {{"--link", dir.File("taken")}, 1},  // a link name that is a real file is left alone
      {{"--level-spread", "256"}, 2},
      {{"--rssi-peak", "-3"}, 2},
      {{"--levels", "1,2,3"}, 2},  // four levels
  };
  for (const auto& [args, status] : cases) {
    Program program(args, dir.File("err.txt"));
    EXPECT_EQ(program.FirstLine(), "") << args[0];
    EXPECT_EQ(program.Wait(), status) << args[0];
    EXPECT_NE(testing::ReadText(dir.File("err.txt")), "") << args[0];
  }
  EXPECT_EQ(testing::ReadAll(dir.File("taken")), (std::vector<unsigned char>{1, 2, 3}));
  EXPECT_EQ(Program({"--help"}, dir.File("err.txt")).Wait(), 0);
}

// Back-to-back loss and misstored bytes are proven by the fleet tests.
TEST(FleetFaults, OneNakThenAnswersAgainAndSerialsCountUp) {
  const Bytes read_word = frame::Build(frame::kReadWord, Bytes{12});
  RadioOptions options;
  options.faults.nak_clone_at = 2;
  Radio radio(options, BuiltInRadioImage(options));
  Wire wire(radio);
  for (int i = 0; i < 3; ++i) {
    wire.PurgeReceive();
    wire.Send(read_word);
    EXPECT_EQ(wire.available(), read_word.size() + (i == 1 ? 1 : 5)) << i;
  }
  EXPECT_EQ(radio.stats().naks_sent, 1);
  EXPECT_EQ(SerialPlus("1K000042", 0), "1K000042");
  EXPECT_EQ(SerialPlus("1K000099", 3), "1K000102");
  EXPECT_EQ(SerialPlus("1K999999", 1), "");
  EXPECT_EQ(SerialPlus("1K00004*", 1), "");
  EXPECT_NE(ValidateOptions(Options([](auto& o) { o.faults.misstore_at = -1; })), "");
}

TEST(RadiosimProgram, CountServesSeveralRadiosWithSerialsCountedUp) {
  testing::TempDir dir;
  const std::string prefix = dir.File("radio");
  Program program({"--count", "3", "--link-prefix", prefix, "--faulty", "2", "--nak-clone", "1",
                   "--repeat", "1000"},
                  dir.File("err.txt"));
  std::vector<std::string> devices;
  for (int i = 0; i < 3; ++i) devices.push_back(program.FirstLine());
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(devices[i].rfind("/dev/", 0), 0u) << testing::ReadText(dir.File("err.txt"));
    const std::string link = prefix + std::to_string(i + 1);
    EXPECT_EQ(std::filesystem::read_symlink(link), devices[i]);
    Client client(link);
    ASSERT_TRUE(client.ok());
    const Bytes read_block = frame::Build(frame::kReadBlock, Bytes{135});
    const Bytes got = client.Exchange(read_block, 4 + 131);
    if (i == 1) {  // only the faulty one refuses
      EXPECT_EQ(got, (Bytes{0xF2, 0x02, 135, static_cast<std::uint8_t>(0xF2 + 2 + 135), 0x15}));
      continue;
    }
    ASSERT_EQ(got.size(), 135u);
    Image image{};
    std::copy(got.begin() + 6, got.begin() + 134, image.begin() + kOffsetBlock137);
    EXPECT_EQ(DecodeSerialNumber(image), SerialPlus("1K000042", i));
  }
  program.Signal(SIGTERM);
  EXPECT_EQ(program.Wait(), 0);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FALSE(
        std::filesystem::exists(std::filesystem::symlink_status(prefix + std::to_string(i))));
  }

  const std::vector<std::string> refused[] = {
      {"--count", "3", "--faulty", "4"},
      {"--count", "2", "--link", dir.File("one")},
      {"--count", "2", "--serial", "1K99999*"},
  };
  for (const auto& args : refused) {
    Program bad(args, dir.File("err.txt"));
    EXPECT_EQ(bad.FirstLine(), "") << args.back();
    EXPECT_EQ(bad.Wait(), 2) << args.back();
  }
}

}  // namespace
}  // namespace ql40::sim
