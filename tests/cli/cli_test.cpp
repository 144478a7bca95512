// The ql40 program as a user runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "codeplug/codeplug.h"
#include "support/test_support.h"

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

}  // namespace
}  // namespace ql40
