// The report as a PDF, read back the way a dealer's PDF reader sees it (pdftotext), and the
// layout that keeps every line on its sheet.

#include "report/pdf_writer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "codeplug/files.h"
#include "report/pdf_reader.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using Lines = std::vector<std::string>;

Codeplug FleetDoc() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.path = "/home/dealer/fleet/fleet.q40";
  return doc;
}

// Every channel of the radio allocated and programmed: 19 pages.
Codeplug FullDoc() {
  Codeplug doc = FleetDoc();
  doc.channels.count.fill(0);
  doc.channels.count[0] = doc.channels.count[1] = 255;
  doc.channels.count[2] = 2;
  doc.channels.total = kChannelCount;
  for (int n = 0; n < kChannelCount; ++n) {
    auto& r = doc.channels.records[static_cast<std::size_t>(n)];
    r.rx_frequency = r.tx_frequency = 14400000 + 2500 * n;
    r.status |= 1;
  }
  return doc;
}

// Where the writer puts the report's grid on the sheet.
testing::PdfGrid GridOf(const Report& report, const PdfOptions& options) {
  const auto layout =
      FitReportLayout(options.paper.width - 2 * options.margin,
                      options.paper.height - 2 * options.margin, MeasureReport(report));
  return {options.margin + layout.left, options.margin, layout.char_width, layout.line_height};
}

std::vector<Lines> PdfPages(const std::string& pdf, const Report& report,
                            const PdfOptions& options) {
  return testing::PdfGridPages(pdf, GridOf(report, options));
}

void ExpectSameText(const Report& report, const std::string& pdf, const PdfOptions& options) {
  ASSERT_EQ(testing::PdfPageCount(pdf), report.PageCount());
  const auto pages = PdfPages(pdf, report, options);
  ASSERT_EQ(static_cast<int>(pages.size()), report.PageCount());
  for (int page = 1; page <= report.PageCount(); ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    EXPECT_EQ(testing::Trimmed(pages[static_cast<std::size_t>(page - 1)]),
              testing::Trimmed(report.PageLines(page)));
  }
}

TEST(ReportPdf, ReadsBackAsTheReportLinesOnEveryPaper) {
  struct Case {
    const char* name;
    Codeplug doc;
    PaperSize paper;
  };
  Codeplug odd = FleetDoc();
  // Characters that PDF strings must escape, and a byte outside ASCII from a damaged file.
  for (int n = 0; n < 3; ++n) odd.channels.records[static_cast<std::size_t>(n)].status |= 1;
  odd.channels.records[0].tag = "A(B)C\\D";
  odd.channels.records[1].tag = "X\xB5Y";
  const Case cases[] = {{"new, A4", FleetDoc(), kPaperA4},
                        {"full, letter", FullDoc(), kPaperLetter},
                        {"escapes", odd, kPaperA4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const Report report(c.doc);
    PdfOptions options;
    options.paper = c.paper;
    options.title = "fleet.q40";
    std::string error;
    const std::string path = dir.File("fleet.pdf");
    ASSERT_TRUE(WriteReportPdf(report, path, options, &error)) << error;
    if (std::string(c.name) == "escapes") {
      const auto pages = PdfPages(path, report, options);
      ASSERT_GE(pages.size(), 2u);
      bool parentheses = false, micro = false;
      for (const auto& line : pages[1]) {
        parentheses |= line.find("A(B)C\\D") != std::string::npos;
        micro |= line.find("X\xC2\xB5Y") != std::string::npos;  // WinAnsi µ, read back as UTF-8
      }
      EXPECT_TRUE(parentheses);
      EXPECT_TRUE(micro);
      continue;
    }
    ExpectSameText(report, path, options);
    EXPECT_EQ(report.PageCount(), std::string(c.name) == "new, A4" ? 3 : 19);
  }
}

TEST(ReportPdf, LayoutKeepsEveryLineOnItsSheet) {
  const Report report(FullDoc());
  const ReportExtent extent = MeasureReport(report);
  EXPECT_GE(extent.columns, 80);  // the channel lines and their rule
  EXPECT_GE(extent.lines, 55);    // the settings page is the fullest

  // Ten points where the page has room; smaller where it has not, never larger.
  const auto a4 = FitReportLayout(kPaperA4.width - 72, kPaperA4.height - 72, extent);
  EXPECT_DOUBLE_EQ(a4.font_size, kReportFontSize);
  EXPECT_DOUBLE_EQ(a4.left, 5 * a4.char_width);
  struct Area {
    double width, height;
  };
  for (const Area area : {Area{540, 720}, Area{300, 800}, Area{500, 200}, Area{100, 100}}) {
    const auto layout = FitReportLayout(area.width, area.height, extent);
    EXPECT_LE(layout.font_size, kReportFontSize);
    EXPECT_LE(extent.lines * layout.line_height, area.height + 1e-9);
    EXPECT_LE(layout.left + extent.columns * layout.char_width, area.width + 1e-9);
  }
  // A font drawn wider than Courier shrinks further to keep the columns on the sheet.
  const auto wide = FitReportLayout(300, 800, extent, FontShape{0.8, 1.2});
  EXPECT_LE(wide.left + extent.columns * wide.char_width, 300 + 1e-9);
  EXPECT_DOUBLE_EQ(wide.char_width, wide.font_size * 0.8);
}

TEST(ReportPdf, FileIsWellFormedAndTheSameWhateverTheLocale) {
  const Report report(FullDoc());
  PdfOptions options;
  options.paper = kPaperLetter;
  const std::string bytes = ReportPdf(report, options);
  EXPECT_EQ(bytes.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\n");
  EXPECT_NE(bytes.find("/BaseFont /Courier"), std::string::npos);
  EXPECT_NE(bytes.find("/MediaBox [0 0 612 792]"), std::string::npos);
  // Every cross-reference entry points at its object.
  const std::size_t xref = std::stoul(bytes.substr(bytes.rfind("startxref\n") + 10));
  ASSERT_EQ(bytes.compare(xref, 5, "xref\n"), 0);
  std::istringstream table(bytes.substr(xref + 5));
  int first = 0, count = 0;
  table >> first >> count;
  ASSERT_EQ(count, 3 + 2 * report.PageCount() + 1 + 1);
  std::string offset, generation, kind;
  table >> offset >> generation >> kind;  // the free entry
  for (int n = 1; n < count; ++n) {
    table >> offset >> generation >> kind;
    EXPECT_EQ(bytes.compare(std::stoul(offset), std::to_string(n).size() + 6,
                            std::to_string(n) + " 0 obj"),
              0)
        << "object " << n;
  }
  // The same report gives the same bytes, also where the decimal mark is a comma.
  EXPECT_EQ(ReportPdf(report, options), bytes);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
    EXPECT_EQ(ReportPdf(report, options), bytes);
    std::setlocale(LC_NUMERIC, "C");
  }
}

TEST(ReportPdf, AFailedWriteKeepsTheEarlierFile) {
  testing::TempDir dir;
  const Report report(FleetDoc());
  std::string error;
  EXPECT_FALSE(WriteReportPdf(report, dir.File("no/such/folder/x.pdf"), {}, &error));
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;

  // A folder in the way of the target: the rename fails, the folder and its file stay.
  const std::string blocked = dir.File("blocked.pdf");
  std::filesystem::create_directory(blocked);
  testing::WriteAll(blocked + "/keep", {1, 2, 3});
  error.clear();
  EXPECT_FALSE(WriteReportPdf(report, blocked, {}, &error));
  EXPECT_NE(error.find("cannot replace"), std::string::npos) << error;
  EXPECT_EQ(testing::ReadAll(blocked + "/keep").size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(blocked + ".part"));

  PaperSize paper;
  EXPECT_TRUE(PaperSizeByName("Letter", &paper));
  EXPECT_DOUBLE_EQ(paper.height, 792);
  EXPECT_FALSE(PaperSizeByName("b5", &paper));
}

TEST(ReportPdfCli, WritesTheSamePdfAsTheDesktopExport) {
  testing::TempDir dir;
  const std::string file = dir.File("fleet.q40");
  ASSERT_EQ(testing::RunQl40(dir, "new --band uhf -o " + file).status, 0);
  Codeplug doc;
  testing::ScriptedPrompter prompter;
  LoadCodeplug(doc, file, FileEnvironment{}, prompter);
  ASSERT_TRUE(doc.file_loaded);
  const Report report(doc);

  auto r = testing::RunQl40(dir, "report " + file + " -o " + dir.File("fleet.PDF"));
  ASSERT_EQ(r.status, 0) << r.err;
  PdfOptions options;
  options.title = "fleet.q40";
  EXPECT_EQ(testing::ReadText(dir.File("fleet.PDF")), ReportPdf(report, options));
  ExpectSameText(report, dir.File("fleet.PDF"), options);

  r = testing::RunQl40(dir, "report " + file + " --paper letter -o " + dir.File("l.pdf"));
  ASSERT_EQ(r.status, 0) << r.err;
  options.paper = kPaperLetter;
  EXPECT_EQ(testing::ReadText(dir.File("l.pdf")), ReportPdf(report, options));

  r = testing::RunQl40(dir, "report " + file + " --paper b5 -o " + dir.File("b.pdf"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("paper"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.pdf")));
  r = testing::RunQl40(dir, "report " + file + " -o " + dir.File("no/folder/x.pdf"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot"), std::string::npos) << r.err;
  r = testing::RunQl40(dir, "report " + dir.File("missing.q40") + " -o " + dir.File("m.pdf"));
  EXPECT_NE(r.status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("m.pdf")));
}

}  // namespace
}  // namespace ql40
