// The report command: the printed report of a codeplug as text, on stdout or into a file.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "cli.h"
#include "report/report.h"

namespace ql40::cli {
namespace {

bool HasPdfExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".pdf";
}

// Writes the whole text to a file beside the target and moves it into place only when every
// byte is written, so a failed write never leaves a half report or loses the old file.
bool WriteTextFile(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temp = target;
  temp += ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
      std::cerr << "ql40: cannot create " << temp.string() << "\n";
      return false;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temp, ignored);
      std::cerr << "ql40: cannot write " << temp.string() << "\n";
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    std::cerr << "ql40: cannot write " << path << ": " << ec.message() << "\n";
    return false;
  }
  return true;
}

int RunReport(const std::string& path, const std::string& out, Prompter& prompter) {
  if (!out.empty() && HasPdfExtension(out)) {
    std::cerr << "ql40: PDF output is made by the desktop program's printing; "
                 "write a text file (-o FILE.txt) or print from ql40win\n";
    return kExitUsage;
  }
  Codeplug doc;
  if (!OpenCodeplugFile(path, doc, prompter)) return kExitFailure;
  const std::string text = Report(doc).Text();
  if (out.empty()) {
    std::cout << text << std::flush;
    return std::cout ? kExitOk : kExitFailure;
  }
  return WriteTextFile(out, text) ? kExitOk : kExitFailure;
}

}  // namespace

void RegisterReportCommands(CLI::App& app, int& exit_status) {
  static TerminalPrompter prompter;
  static std::string file;
  static std::string out;
  auto* cmd = app.add_subcommand(
      "report", "Print the codeplug report: settings, channels by group, signalling tables");
  cmd->add_option("FILE", file, "Codeplug file (.q40)")->required();
  cmd->add_option("-o,--output", out,
                  "Write the report to this text file instead of standard output");
  cmd->footer(
      "Pages are separated by a line holding only a form feed; lines keep their trailing "
      "blanks.");
  cmd->callback([&exit_status] { exit_status = RunReport(file, out, prompter); });
}

}  // namespace ql40::cli
