// The report as a PDF, read back the way a PDF reader sees it, and the layout that keeps every
// line on its sheet.

#include "report/pdf_writer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "codeplug/files.h"
#include "report/pdf_reader.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using testing::FleetCodeplug;

void ExpectReportText(const Report& report, const std::string& pdf, const PdfOptions& options) {
  const auto layout =
      FitReportLayout(options.paper.width - 2 * options.margin,
                      options.paper.height - 2 * options.margin, MeasureReport(report));
  const testing::PdfGrid grid{options.margin + layout.left, options.margin, layout.char_width,
                              layout.line_height};
  ASSERT_EQ(testing::PdfPageCount(pdf), report.PageCount());
  const auto pages = testing::PdfGridPages(pdf, grid);
  ASSERT_EQ(static_cast<int>(pages.size()), report.PageCount());
  for (int page = 1; page <= report.PageCount(); ++page) {
    EXPECT_EQ(pages[static_cast<std::size_t>(page - 1)], testing::Trimmed(report.PageLines(page)))
        << "page " << page;
  }
}

TEST(ReportPdf, ReadsBackAsTheReportLinesInTheirColumns) {
#if defined(_WIN32)
  GTEST_SKIP() << "reads the PDF back with poppler's pdftotext, a Linux program";
#endif
  Codeplug odd = FleetCodeplug(false);
  for (int n = 0; n < 2; ++n) odd.channels.records[static_cast<std::size_t>(n)].status |= 1;
  odd.channels.records[0].tag = "A(B)C\\D";  // must be escaped in a PDF string
  odd.channels.records[1].tag = "X\xB5Y";    // a byte beyond ASCII from a damaged file
  struct Case {
    Codeplug doc;
    PaperSize paper;
  };
  for (const auto& c :
       {Case{FleetCodeplug(false), kPaperA4}, Case{FleetCodeplug(true), kPaperLetter}}) {
    testing::TempDir dir;
    const Report report(c.doc);
    PdfOptions options;
    options.paper = c.paper;
    std::string error;
    ASSERT_TRUE(WriteReportPdf(report, dir.File("r.pdf"), options, &error)) << error;
    ExpectReportText(report, dir.File("r.pdf"), options);
  }
  testing::TempDir dir;
  ASSERT_TRUE(WriteReportPdf(Report(odd), dir.File("odd.pdf"), {}, nullptr));
  const std::string text = testing::RunCommand("pdftotext " + dir.File("odd.pdf") + " -");
  EXPECT_NE(text.find("A(B)C\\D"), std::string::npos);
  EXPECT_NE(text.find("X\xC2\xB5Y"), std::string::npos);  // WinAnsi µ, read back as UTF-8
}

TEST(ReportPdf, FontShrinksOnlyToKeepEveryLineOnTheSheet) {
  const ReportExtent extent = MeasureReport(Report(FleetCodeplug(true)));
  EXPECT_GE(extent.lines, 55);  // the settings page
  EXPECT_GE(extent.columns, 80);
  EXPECT_DOUBLE_EQ(FitReportLayout(523, 770, extent).font_size, kReportFontSize);  // A4
  struct Area {
    double width, height;
    FontShape shape;
  };
  for (const Area a : {Area{540, 600, {}}, Area{300, 800, {}}, Area{500, 200, {}},
                       Area{300, 800, FontShape{0.8, 1.2}}}) {
    const auto layout = FitReportLayout(a.width, a.height, extent, a.shape);
    EXPECT_LT(layout.font_size, kReportFontSize);
    EXPECT_LE(extent.lines * layout.line_height, a.height + 1e-9);
    EXPECT_LE(layout.left + extent.columns * layout.char_width, a.width + 1e-9);
    EXPECT_DOUBLE_EQ(layout.left, 5 * layout.char_width);
  }
}

TEST(ReportPdf, SameBytesWhateverTheLocale) {
  const Report report(FleetCodeplug(true));
  const std::string bytes = ReportPdf(report, {});
  EXPECT_EQ(bytes.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\n");
  EXPECT_NE(bytes.find("/BaseFont /Courier"), std::string::npos);
  // Under a locale with a decimal comma every number in the file would break.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
    EXPECT_EQ(ReportPdf(report, {}), bytes);
    std::setlocale(LC_NUMERIC, "C");
  }
}

TEST(ReportPdfCli, WritesTheDesktopExportsPdfAndKeepsEarlierFilesOnFailure) {
  testing::TempDir dir;
  const std::string file = dir.File("fleet.q40");
  ASSERT_EQ(testing::RunQl40(dir, "new --band uhf -o " + file).status, 0);
  Codeplug doc;
  testing::ScriptedPrompter prompter;
  LoadCodeplug(doc, file, FileEnvironment{}, prompter);
  const Report report(doc);
  PdfOptions options;
  options.title = "fleet.q40";
  for (const char* paper : {"", "letter"}) {
    const std::string args = *paper ? std::string(" --paper ") + paper : "";
    const auto r = testing::RunQl40(dir, "report " + file + args + " -o " + dir.File("f.PDF"));
    ASSERT_EQ(r.status, 0) << r.err;
    if (*paper) options.paper = kPaperLetter;
    // The writer's own bytes: ReadsBackAsTheReportLinesInTheirColumns reads those back.
    EXPECT_EQ(testing::ReadText(dir.File("f.PDF")), ReportPdf(report, options));
  }

  auto r = testing::RunQl40(dir, "report " + file + " --paper b5 -o " + dir.File("b.pdf"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("paper"), std::string::npos) << r.err;
  r = testing::RunQl40(dir, "report " + file + " -o " + dir.File("no/folder/x.pdf"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot create"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.pdf")));

  // A folder in the way of the target: the rename fails, the folder and its file stay.
  std::filesystem::create_directory(dir.File("blocked.pdf"));
  testing::WriteAll(dir.File("blocked.pdf/keep"), {1, 2, 3});
  std::string error;
  EXPECT_FALSE(WriteReportPdf(report, dir.File("blocked.pdf"), {}, &error));
  EXPECT_NE(error.find("cannot replace"), std::string::npos) << error;
  EXPECT_EQ(testing::ReadAll(dir.File("blocked.pdf/keep")).size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("blocked.pdf.part")));
}

}  // namespace
}  // namespace ql40
