// The report command: the printed report of a codeplug as text, on stdout or into a file, or as
// a PDF file that prints just as the desktop program's pages do.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "cli.h"
#include "codeplug/files.h"
#include "report/pdf_writer.h"
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

int RunReport(const std::string& path, const std::string& out, const std::string& paper_name,
              Prompter& prompter) {
  PdfOptions pdf;
  if (!PaperSizeByName(paper_name, &pdf.paper)) {
    std::cerr << "ql40: unknown paper size \"" << paper_name << "\"; use a4 or letter\n";
    return kExitUsage;
  }
  const bool as_pdf = !out.empty() && HasPdfExtension(out);
  Codeplug doc;
  if (!OpenCodeplugFile(path, doc, prompter)) return kExitFailure;
  const Report report(doc);
  if (as_pdf) {
    pdf.title = BaseName(path);
    std::string error;
    if (!WriteReportPdf(report, out, pdf, &error)) {
      std::cerr << "ql40: " << error << "\n";
      return kExitFailure;
    }
    return kExitOk;
  }
  const std::string text = report.Text();
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
  static std::string paper = "a4";
  auto* cmd = app.add_subcommand(
      "report", "Print the codeplug report: settings, channels by group, signalling tables");
  cmd->add_option("FILE", file, "Codeplug file (.q40)")->required();
  cmd->add_option("-o,--output", out,
                  "Write the report to this file instead of standard output: a PDF when the "
                  "name ends in .pdf, else text");
  cmd->add_option("--paper", paper, "Paper of a PDF report: a4 (default) or letter");
  cmd->footer(
      "As text, pages are separated by a line holding only a form feed and lines keep their "
      "trailing blanks. As PDF, each report page is one sheet in Courier.");
  cmd->callback([&exit_status] { exit_status = RunReport(file, out, paper, prompter); });
}

}  // namespace ql40::cli
