// The ql40 program as a user runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "codeplug/codeplug.h"
#include "codeplug/files.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const std::string& path) {
  const auto bytes = ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

Result Run(const TempDir& dir, const std::string& args) {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const std::string command = std::string(QL40_CLI_PATH) + " " + args + " >" + out + " 2>" + err +
                              " </dev/null";
  const int raw = std::system(command.c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadText(out);
  r.err = ReadText(err);
  return r;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Cli, NewWritesTheBuiltInDefaultCodeplugByteForByte) {
  TempDir dir;
  const Result r = Run(dir, "new -o " + dir.File("x.q40"));
  ASSERT_EQ(r.status, 0) << r.err;
  Codeplug doc;
  doc.ResetToDefaults();
  std::vector<unsigned char> expected(doc.image.begin(), doc.image.end());
  expected.resize(17672, 0);  // split 0.0
  EXPECT_EQ(ReadAll(dir.File("x.q40")), expected);

  const Result uhf = Run(dir, "new --band uhf -o " + dir.File("u.q40"));
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
  ASSERT_EQ(Run(dir, "new --band vhf-lo -o " + dir.File("lo.q40")).status, 0);
  const Result info = Run(dir, "info " + dir.File("lo.q40"));
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Serial number:   0N010000\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Band:            VHF Lo Band\n"), std::string::npos);
  EXPECT_NE(info.out.find("Product type:    PT-610\n"), std::string::npos);
  EXPECT_NE(info.out.find("Firmware:        0.00\n"), std::string::npos);
  EXPECT_NE(info.out.find("   1  GROUP-01   16 channels\n"), std::string::npos);
  EXPECT_NE(info.out.find("Channels left:   496\n"), std::string::npos);

  const Result ch = Run(dir, "channels " + dir.File("lo.q40"));
  ASSERT_EQ(ch.status, 0) << ch.err;
  const auto lines = Lines(ch.out);
  ASSERT_EQ(lines.size(), 16u);
  // Channel 1 is programmed at the band's default frequency; tabs between the 24 cells.
  EXPECT_EQ(lines[0],
            "  1\t-\tW\t CH-001 \t 38.00000\t 38.00000\t-----\t-----\t-----\t-\t-\tH\t2\t-\tv\t "
            "0\t-\t-\t--\t-\t-\t-\t-\t-");
  EXPECT_EQ(lines[15].substr(0, 4), " 16\t");
  EXPECT_EQ(Run(dir, "channels --group 2 " + dir.File("lo.q40")).out, "");
}

TEST(Cli, BadFilesGiveTheProgramsMessageAndStatusOne) {
  TempDir dir;
  WriteAll(dir.File("short.q40"), std::vector<unsigned char>(17671, 0));
  Result r = Run(dir, "info " + dir.File("short.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The File cannot be Opened.\nThe File's format is invalid or not Supported\n");

  r = Run(dir, "channels " + dir.File("absent.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Problem opening file\nFile Name = " + dir.File("absent.q40") + "\n");

  r = Run(dir, "new -o " + dir.File("no/such/dir/x.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Problem opening file"), std::string::npos);
}

TEST(Cli, UsageErrorsExitTwo) {
  TempDir dir;
  EXPECT_EQ(Run(dir, "").status, 2);
  EXPECT_EQ(Run(dir, "frobnicate").status, 2);
  EXPECT_EQ(Run(dir, "new").status, 2);
  EXPECT_EQ(Run(dir, "new --band marine -o x.q40").status, 2);
  EXPECT_EQ(Run(dir, "channels --group 21 x.q40").status, 2);
  EXPECT_EQ(Run(dir, "--help").status, 0);
}

}  // namespace
}  // namespace ql40
