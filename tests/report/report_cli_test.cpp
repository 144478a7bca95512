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

using testing::TempDir;

std::string ReadText(const std::string& path) {
  const auto bytes = testing::ReadAll(path);
  return std::string(bytes.begin(), bytes.end());
}

// Runs ql40 and returns its exit status; stdout and stderr land in out and err.
int RunQl40(const TempDir& dir, const std::string& args, std::string& out, std::string& err) {
  const std::string command = std::string(QL40_CLI_PATH) + " " + args + " >" + dir.File("out") +
                              " 2>" + dir.File("err") + " </dev/null";
  const int raw = std::system(command.c_str());
  out = ReadText(dir.File("out"));
  err = ReadText(dir.File("err"));
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(ReportCli, PrintsOrWritesTheReportAndSaysWhyWhenItCannot) {
  TempDir dir;
  std::string out, err;
  const std::string file = dir.File("fleet.q40");
  ASSERT_EQ(RunQl40(dir, "new --band uhf -o " + file, out, err), 0) << err;
  Codeplug doc;
  testing::ScriptedPrompter prompter;
  LoadCodeplug(doc, file, FileEnvironment{}, prompter);
  ASSERT_TRUE(doc.file_loaded);
  const std::string expected = Report(doc).Text();
  ASSERT_NE(expected.find("File Name: fleet.q40\n"), std::string::npos);

  EXPECT_EQ(RunQl40(dir, "report " + file, out, err), 0) << err;
  EXPECT_EQ(out, expected);
  EXPECT_EQ(RunQl40(dir, "report " + file + " -o " + dir.File("fleet.txt"), out, err), 0) << err;
  EXPECT_EQ(out, "");
  EXPECT_EQ(ReadText(dir.File("fleet.txt")), expected);

  EXPECT_EQ(RunQl40(dir, "report " + dir.File("absent.q40"), out, err), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "Problem opening file\nFile Name = " + dir.File("absent.q40") + "\n");
  EXPECT_EQ(RunQl40(dir, "report " + file + " -o " + dir.File("fleet.PDF"), out, err), 2);
  EXPECT_NE(err.find("PDF"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("fleet.PDF")));
  EXPECT_EQ(RunQl40(dir, "report " + file + " -o " + dir.File("no/folder/x.txt"), out, err), 1);
  EXPECT_NE(err.find("cannot"), std::string::npos);
  EXPECT_EQ(RunQl40(dir, "report", out, err), 2);
}

}  // namespace
}  // namespace ql40
