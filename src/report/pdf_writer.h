#pragma once

// The report on paper: where its lines go on a sheet, and the report as a PDF file in the
// standard Courier font. The desktop program's printing uses the same layout, so a printed
// page, its preview and the PDF agree line for line.

#include <string>

#include "report/report.h"

namespace ql40 {

// A sheet of paper in points (1/72 inch).
struct PaperSize {
  double width = 0;
  double height = 0;
};
inline constexpr PaperSize kPaperA4{595.276, 841.89};
inline constexpr PaperSize kPaperLetter{612.0, 792.0};

// "a4" or "letter" (any case); false for anything else.
bool PaperSizeByName(const std::string& name, PaperSize* paper);

// The shape of a fixed-pitch font as fractions of its size: the advance of one character and
// the distance of two lines (the font's height plus its external leading).
struct FontShape {
  double advance = 0.6;  // Courier
  double line = 1.2;
};

// How many lines the fullest page holds and how many characters its longest line has.
struct ReportExtent {
  int lines = 0;
  int columns = 0;
};
ReportExtent MeasureReport(const Report& report);

// Where the lines go, in points from the printable area's top left corner: every line starts
// five character widths in, line n (0-based) lies at top = n × line_height.
struct ReportLayout {
  double font_size = 0;
  double line_height = 0;
  double char_width = 0;
  double left = 0;
};

inline constexpr double kReportFontSize = 10.0;

// The font size is 10 points unless the fullest page or the longest line would not fit the
// area; then it shrinks until they fit, so no line is ever cut off or pushed off its page.
ReportLayout FitReportLayout(double area_width, double area_height, const ReportExtent& extent,
                             const FontShape& shape = {}, double preferred_size = kReportFontSize);

struct PdfOptions {
  PaperSize paper = kPaperA4;
  double margin = 36.0;  // unprinted border on every side, in points
  std::string title;     // the document title a PDF reader shows
};

// The whole report as a PDF: one page a report page, Courier, nothing else on the sheets.
std::string ReportPdf(const Report& report, const PdfOptions& options);

// Writes ReportPdf to a file beside the target and moves it into place only once it is
// complete, so a failure leaves any earlier file as it was. False with the reason otherwise.
bool WriteReportPdf(const Report& report, const std::string& path, const PdfOptions& options,
                    std::string* error);

}  // namespace ql40
