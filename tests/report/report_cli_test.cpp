// ql40 report as a dealer runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "codeplug/files.h"
#include "report/report.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::ReadAll;
using testing::ScriptedPrompter;
using testing::TempDir;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const std::string& path) {
  const auto bytes = ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

Result RunQl40(const TempDir& dir, const std::string& args) {
  const std::string out = dir.File("stdout.txt");
  const std::string err = dir.File("stderr.txt");
  const std::string command =
      std::string(QL40_CLI_PATH) + " " + args + " >" + out + " 2>" + err + " </dev/null";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
}

TEST(ReportCli, PrintsEveryPageOrWritesThemToATextFile) {
  TempDir dir;
  const std::string file = dir.File("fleet.q40");
  ASSERT_EQ(RunQl40(dir, "new --band uhf -o " + file).status, 0);
  Codeplug doc;
  ScriptedPrompter prompter;
  LoadCodeplug(doc, file, FileEnvironment{}, prompter);
  ASSERT_TRUE(doc.file_loaded);
  const std::string expected = Report(doc).Text();
  ASSERT_NE(expected.find("\n\f\n     \n"), std::string::npos);
  ASSERT_NE(expected.find("File Name: fleet.q40\n"), std::string::npos);

  const Result printed = RunQl40(dir, "report " + file);
  EXPECT_EQ(printed.status, 0) << printed.err;
  EXPECT_EQ(printed.out, expected);
  EXPECT_EQ(printed.err, "");

  const Result written = RunQl40(dir, "report " + file + " -o " + dir.File("fleet.txt"));
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(written.out, "");
  EXPECT_EQ(ReadText(dir.File("fleet.txt")), expected);
}

TEST(ReportCli, FailuresSayWhyAndLeaveNoFile) {
  TempDir dir;
  const std::string file = dir.File("fleet.q40");
  ASSERT_EQ(RunQl40(dir, "new -o " + file).status, 0);

  Result r = RunQl40(dir, "report " + dir.File("absent.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Problem opening file\nFile Name = " + dir.File("absent.q40") + "\n");

  r = RunQl40(dir, "report " + file + " -o " + dir.File("fleet.PDF"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("PDF"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("fleet.PDF")));

  r = RunQl40(dir, "report " + file + " -o " + dir.File("no/such/folder/fleet.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot"), std::string::npos);

  EXPECT_EQ(RunQl40(dir, "report").status, 2);
}

}  // namespace
}  // namespace ql40
