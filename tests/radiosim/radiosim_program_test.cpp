// The ql40-radiosim program as a user runs it: device path first on stdout, Enter switches the
// radio on, SIGTERM stops it cleanly, bad options are refused.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "codeplug/hardware.h"
#include "link/frame.h"
#include "radiosim/radio_sim.h"
#include "support/test_support.h"

extern char** environ;

namespace ql40::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Program {
 public:
  Program(std::vector<std::string> args, const std::string& stderr_path) {
    int in[2];
    int out[2];
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
    if (stdin_ >= 0) close(stdin_);
    if (stdout_ >= 0) close(stdout_);
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
  int stdin_ = -1;
  int stdout_ = -1;
};

// Opens the device raw, sends a frame and reads what comes back within the bound.
Bytes Talk(const std::string& path, const Bytes& request, std::size_t expect) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return {};
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  tcsetattr(fd, TCSANOW, &tio);
  Bytes got;
  if (write(fd, request.data(), request.size()) == ssize_t(request.size())) {
    pollfd p{fd, POLLIN, 0};
    std::uint8_t buffer[256];
    while (got.size() < expect && poll(&p, 1, 3000) > 0) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
  }
  close(fd);
  return got;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(RadiosimProgram, ServesUntilStoppedAndCleansUp) {
  testing::TempDir dir;
  const std::string link = dir.File("radio");
  const std::string saved = dir.File("saved.q40");
  Program program({"--power-cycle", "--model", "pt-410", "--band", "uhf", "--serial", "0N010000",
                   "--link", link, "--save", saved},
                  dir.File("err.txt"));
  const std::string device = program.FirstLine();
  ASSERT_EQ(device.rfind("/dev/", 0), 0u) << Slurp(dir.File("err.txt"));
  EXPECT_EQ(std::filesystem::read_symlink(link), device);

  const Bytes read_word = frame::Build(frame::kReadWord, Bytes{12});
  EXPECT_EQ(Talk(link, read_word, 4), read_word);  // switched off: echo only
  program.Type("\n");                              // Enter switches it on
  EXPECT_EQ(Talk(link, {}, 1), Bytes{frame::kRadioStart});
  EXPECT_EQ(Talk(link, {frame::kProgramStart}, 1), Bytes{frame::kProgramStart});
  const Bytes got = Talk(link, read_word, 9);
  ASSERT_EQ(got.size(), 9u);
  EXPECT_EQ(got[6], 0x81);  // word 12 high byte: UHF (2 << 6), PT-410 (bit 0)

  const Bytes done = frame::Build(frame::kWriteWord, Bytes{127, 0xA5, 0x5A});
  EXPECT_EQ(Talk(link, done, 11).size(), 11u);
  program.Signal(SIGTERM);
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  Image image{};
  std::optional<double> trailer;
  std::string error;
  ASSERT_TRUE(ReadRadioFile(saved, image, trailer, &error)) << error;
  EXPECT_EQ(trailer, 5.0);  // the UHF default split
  EXPECT_EQ(DecodeSerialNumber(image), "0N010000");
  const std::string log = Slurp(dir.File("err.txt"));
  EXPECT_NE(log.find("download completed"), std::string::npos) << log;
  EXPECT_NE(log.find("PT-410 UHF"), std::string::npos) << log;
}

TEST(RadiosimProgram, RefusesBadOptionsAndFiles) {
  testing::TempDir dir;
  testing::WriteAll(dir.File("short.q40"), std::vector<unsigned char>(1000, 0));
  const std::vector<std::pair<std::vector<std::string>, int>> cases = {
      {{"--serial", "12345678"}, 2},          {{"--product-code", "xyz"}, 2},
      {{"--band", "shortwave"}, 2},           {{"--levels", "1,2,3,300"}, 2},
      {{"--file", dir.File("short.q40")}, 1},
  };
  for (const auto& [args, status] : cases) {
    Program program(args, dir.File("err.txt"));
    EXPECT_EQ(program.FirstLine(), "") << args[0];
    EXPECT_EQ(program.Wait(), status) << args[0];
    EXPECT_FALSE(Slurp(dir.File("err.txt")).empty()) << args[0];
  }
  // A link name that is a real file is left alone.
  testing::WriteAll(dir.File("taken"), {1, 2, 3});
  Program program({"--link", dir.File("taken")}, dir.File("err.txt"));
  EXPECT_EQ(program.Wait(), 1);
  EXPECT_EQ(testing::ReadAll(dir.File("taken")), (std::vector<unsigned char>{1, 2, 3}));
}

}  // namespace
}  // namespace ql40::sim
