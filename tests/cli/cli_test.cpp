// The ql40 program as a user runs it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "codeplug/codeplug.h"
#include "radiosim/radio_sim.h"
#include "support/test_support.h"

extern char** environ;

namespace ql40 {
namespace {

using testing::ReadAll;
using testing::RunQl40;
using testing::TempDir;

TEST(Cli, NewWritesTheBuiltInDefaultCodeplugByteForByte) {
  TempDir dir;
  const auto r = RunQl40(dir, "new -o " + dir.File("x.q40"));
  ASSERT_EQ(r.status, 0) << r.err;
  Codeplug doc;
  doc.ResetToDefaults();
  std::vector<unsigned char> expected(doc.image.begin(), doc.image.end());
  expected.resize(17672, 0);  // split 0.0
  EXPECT_EQ(ReadAll(dir.File("x.q40")), expected);

  const auto uhf = RunQl40(dir, "new --band uhf -o " + dir.File("u.q40"));
  ASSERT_EQ(uhf.status, 0) << uhf.err;
  const auto bytes = ReadAll(dir.File("u.q40"));
  ASSERT_EQ(bytes.size(), 17672u);
  EXPECT_EQ(bytes[25] >> 6, 2);
  // Default split 5.0 in the trailer.
  EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 8, bytes.end()),
            (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0x14, 0x40}));
}

TEST(Cli, InfoAndChannelsDescribeTheCodeplug) {
  TempDir dir;
  ASSERT_EQ(RunQl40(dir, "new --band vhf-lo -o " + dir.File("lo.q40")).status, 0);
  const auto info = RunQl40(dir, "info " + dir.File("lo.q40"));
  ASSERT_EQ(info.status, 0) << info.err;
  // A new codeplug carries no serial number of its own: the zero bytes read as such.
  for (const char* line : {"Serial number:   0B000000\n", "Band:            VHF Lo Band\n",
                           "Product type:    PT-610\n", "Firmware:        0.00\n",
                           "   1  GROUP-01   16 channels\n", "Channels left:   496\n"}) {
    EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
  }

  const auto ch = RunQl40(dir, "channels " + dir.File("lo.q40"));
  ASSERT_EQ(ch.status, 0) << ch.err;
  // 16 lines; channel 1 is programmed at the band's default frequency, tabs between the cells.
  EXPECT_EQ(std::count(ch.out.begin(), ch.out.end(), '\n'), 16);
  EXPECT_EQ(ch.out.substr(0, ch.out.find('\n')),
            "  1\t-\tW\t CH-001 \t 38.00000\t 38.00000\t-----\t-----\t-----\t-\t-\tH\t2\t-\tv\t "
            "0\t-\t-\t--\t-\t-\t-\t-\t-");
  EXPECT_NE(ch.out.find("\n 16\t"), std::string::npos);
  EXPECT_EQ(RunQl40(dir, "channels --group 2 " + dir.File("lo.q40")).out, "");
}

TEST(Cli, BadFilesGiveTheProgramsMessageAndStatusOne) {
  TempDir dir;
  testing::WriteAll(dir.File("short.q40"), std::vector<unsigned char>(17671, 0));
  auto r = RunQl40(dir, "info " + dir.File("short.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The File cannot be Opened.\nThe File's format is invalid or not Supported\n");

  r = RunQl40(dir, "channels " + dir.File("absent.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Problem opening file\nFile Name = " + dir.File("absent.q40") + "\n");

  r = RunQl40(dir, "new -o " + dir.File("no/such/dir/x.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Problem opening file"), std::string::npos);
}

TEST(Cli, UsageErrorsExitTwo) {
  TempDir dir;
  for (const char* args : {"", "frobnicate", "new", "new --band marine -o x.q40",
                           "channels --group 21 x.q40", "report"}) {
    EXPECT_EQ(RunQl40(dir, args).status, 2) << args;
  }
  EXPECT_EQ(RunQl40(dir, "--help").status, 0);
}

namespace fs = std::filesystem;

// Runs ql40 in the folder (where it keeps its logs and backups); stdin is empty.
testing::ProgramResult RunIn(const TempDir& dir, const std::string& args) {
  const std::string out = dir.File("out.txt"), err = dir.File("err.txt");
  const std::string command = "cd '" + dir.path().string() + "' && " + QL40_CLI_PATH + " " + args +
                              " </dev/null >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::ReadText(out), testing::ReadText(err)};
}

struct Radios {
  std::vector<std::unique_ptr<sim::PtyRadio>> pty;
  std::string ports;  // " --port A --port B ..."
};

Radios Start(std::vector<sim::RadioOptions> options) {
  Radios r;
  for (std::size_t i = 0; i < options.size(); ++i) {
    options[i].serial = sim::SerialPlus("2K000500", static_cast<int>(i));
    std::string error;
    r.pty.push_back(sim::PtyRadio::Start(options[i], sim::BuiltInRadioImage(options[i]), &error));
    EXPECT_TRUE(r.pty.back()) << error;
    if (r.pty.back()) r.ports += " --port " + r.pty.back()->device_path();
  }
  return r;
}

std::size_t Lines(const std::string& path) {
  const std::string text = testing::ReadText(path);
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FleetCli, DownloadTableExitStatusAndTheFleetLog) {
  std::vector<sim::RadioOptions> options(3);
  options[1].faults.bad_checksum_at = 3;
  options[1].faults.repeat = 1 << 30;
  auto radios = Start(options);
  TempDir dir;
  ASSERT_EQ(RunIn(dir, "new -o brigade.q40").status, 0);
  const auto r = RunIn(dir, "download brigade.q40" + radios.ports);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Port"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("2 of 3 radios succeeded"), std::string::npos) << r.err;
  // The table pads the port column to the longest port name (/dev/pts/9 beside /dev/pts/10).
  const std::size_t row = r.err.rfind(radios.pty[1]->device_path() + " ");
  ASSERT_NE(row, std::string::npos) << r.err;
  const std::string line = r.err.substr(row, r.err.find('\n', row) - row);
  EXPECT_NE(line.find(" 2K000501  PT-610"), std::string::npos) << line;
  EXPECT_NE(r.err.find("Upload Error!"), std::string::npos) << r.err;
  EXPECT_EQ(Lines(dir.File("ql40-fleet.csv")), 4u);
  EXPECT_EQ(radios.pty[0]->stats().downloads_completed, 1);
  EXPECT_EQ(radios.pty[2]->stats().downloads_completed, 1);
  EXPECT_GT(radios.pty[2]->stats().blocks_read, 5) << "several ports verify by default";

  // All good radios: status 0; --no-verify reads nothing back.
  auto good = Start(std::vector<sim::RadioOptions>(2));
  const auto ok = RunIn(dir, "download brigade.q40 --no-verify --fast" + good.ports);
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(good.pty[0]->stats().blocks_read, 3) << "only the identity (twice) and step blocks";
  EXPECT_EQ(Lines(dir.File("ql40-fleet.csv")), 6u);

  // One port: the single transfer, also recorded.
  const auto one = RunIn(dir, "download brigade.q40 --port " + good.pty[0]->device_path());
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_NE(one.err.find("Download is completed"), std::string::npos) << one.err;
  EXPECT_EQ(Lines(dir.File("ql40-fleet.csv")), 7u);
}

TEST(FleetCli, UploadIntoAFolderAndQuestionsPerRadio) {
  std::vector<sim::RadioOptions> options(2);
  auto radios = Start(options);
  TempDir dir;
  const auto up = RunIn(dir, "upload -o radios" + radios.ports);
  ASSERT_EQ(up.status, 0) << up.err;
  EXPECT_TRUE(fs::exists(dir.path() / "radios" / "2K000500.q40"));
  EXPECT_TRUE(fs::exists(dir.path() / "radios" / "2K000501.q40"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "backups"), fs::directory_iterator()),
            2);

  // A PT-410 file into a PT-610 radio and a PT-410 radio: only the first asks, naming its port.
  std::vector<sim::RadioOptions> mixed(2);
  mixed[1].model = 1;
  auto fleet = Start(mixed);
  ASSERT_EQ(RunIn(dir, "new -o small.q40").status, 0);
  auto bytes = testing::ReadAll(dir.File("small.q40"));
  bytes[25] |= 1;  // PT-410
  testing::WriteAll(dir.File("small.q40"), bytes);
  const auto asked = RunIn(dir, "download small.q40 --no" + fleet.ports);
  EXPECT_EQ(asked.status, 1) << asked.err;
  EXPECT_NE(asked.err.find("Radio on " + fleet.pty[0]->device_path() +
                           ": Hardware configuration mismatched!"),
            std::string::npos)
      << asked.err;
  EXPECT_EQ(asked.err.find("Radio on " + fleet.pty[1]->device_path()), std::string::npos);
  EXPECT_EQ(fleet.pty[0]->stats().words_written, 0);
  EXPECT_EQ(fleet.pty[1]->stats().downloads_completed, 1);
}

TEST(FleetCli, BadFleetOptionsAreRefusedBeforeAnyRadioIsTouched) {
  auto radios = Start(std::vector<sim::RadioOptions>(1));
  TempDir dir;
  ASSERT_EQ(RunIn(dir, "new -o a.q40").status, 0);
  const std::string port = " --port " + radios.pty[0]->device_path();
  const auto twice = RunIn(dir, "download a.q40" + port + port);
  EXPECT_EQ(twice.status, 2);
  EXPECT_NE(twice.err.find("named twice"), std::string::npos) << twice.err;
  const auto trace = RunIn(dir, "download a.q40 --trace t.txt" + port + " --port COM4");
  EXPECT_EQ(trace.status, 2);
  EXPECT_EQ(RunIn(dir, "download a.q40 --verify --no-verify" + port).status, 2);
  EXPECT_EQ(radios.pty[0]->stats().bytes_received, 0);
}

TEST(FleetCli, CtrlCCancelsEveryRadioAndWritesNoFile) {
  // Both radios are switched off: the program asks for a power cycle and waits.
  std::vector<sim::RadioOptions> options(2);
  for (auto& o : options) o.need_power_cycle = true;
  auto radios = Start(options);
  TempDir dir;
  const std::string err = dir.File("err.txt");
  std::vector<std::string> args = {QL40_CLI_PATH, "upload", "-o", dir.File("radios")};
  for (const auto& r : radios.pty) {
    args.push_back("--port");
    args.push_back(r->device_path());
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);

  const std::string prompt = "Switch radio OFF, then back ON to start uploading";
  auto count = [&] {
    const std::string text = testing::ReadText(err);
    std::size_t n = 0;
    for (auto at = text.find(prompt); at != std::string::npos; at = text.find(prompt, at + 1)) ++n;
    return n;
  };
  for (int i = 0; i < 500 && count() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(count(), 2u) << testing::ReadText(err);
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130) << testing::ReadText(err);
  const std::string text = testing::ReadText(err);
  EXPECT_NE(text.find("0 of 2 radios succeeded"), std::string::npos) << text;
  EXPECT_NE(text.find("interrupted"), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(dir.path() / "radios" / "2K000500.q40"));
  EXPECT_FALSE(fs::exists(dir.path() / "backups"));
  EXPECT_EQ(Lines(dir.File("ql40-fleet.csv")), 3u) << "cancelled radios are recorded";
}

}  // namespace
}  // namespace ql40
