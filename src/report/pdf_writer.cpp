#include "report/pdf_writer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace ql40 {
namespace {

// Where a line's baseline sits below the top of its line, as a fraction of the font size:
// Courier's ascender plus half the gap the line distance leaves.
constexpr double kBaselineShare = 0.83;

// Numbers go into the file with a point as the decimal mark whatever the C locale says (the
// desktop program runs under the user's locale).
std::string Num(double value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

// A PDF literal string. Bytes outside printable ASCII are written as octal escapes, so any
// byte a damaged file leaves in a tag still makes a valid file.
std::string Literal(const std::string& text) {
  std::string out = "(";
  for (const unsigned char c : text) {
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    }
  }
  out += ')';
  return out;
}

class PdfFile {
 public:
  PdfFile() { out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; }

  // Objects are numbered in the order they are written, from 1.
  int Add(const std::string& body) {
    offsets_.push_back(out_.size());
    const int number = static_cast<int>(offsets_.size());
    out_ += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    return number;
  }
  int AddStream(const std::string& data) {
    return Add("<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
               "\nendstream");
  }
  int next_number() const { return static_cast<int>(offsets_.size()) + 1; }

  std::string Finish(int root, int info) {
    const std::size_t xref = out_.size();
    out_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets_) {
      char entry[24];
      std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
      out_ += entry;
    }
    out_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " +
            std::to_string(root) + " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" +
            std::to_string(xref) + "\n%%EOF\n";
    return std::move(out_);
  }

 private:
  std::string out_;
  std::vector<std::size_t> offsets_;
};

std::string PageContent(const std::vector<std::string>& lines, const ReportLayout& layout,
                        const PdfOptions& options) {
  const double x = options.margin + layout.left;
  const double baseline = options.paper.height - options.margin - kBaselineShare * layout.font_size;
  std::string content = "BT\n/F1 " + Num(layout.font_size) + " Tf\n" + Num(layout.line_height) +
                        " TL\n1 0 0 1 " + Num(x) + " " + Num(baseline + layout.line_height) +
                        " Tm\n";
  for (const std::string& line : lines) content += Literal(line) + " '\n";
  content += "ET";
  return content;
}

}  // namespace

bool PaperSizeByName(const std::string& name, PaperSize* paper) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "a4") {
    *paper = kPaperA4;
    return true;
  }
  if (lower == "letter") {
    *paper = kPaperLetter;
    return true;
  }
  return false;
}

ReportExtent MeasureReport(const Report& report) {
  ReportExtent extent;
  for (int page = 1; page <= report.PageCount(); ++page) {
    const auto lines = report.PageLines(page);
    extent.lines = std::max(extent.lines, static_cast<int>(lines.size()));
    for (const auto& line : lines) {
      extent.columns = std::max(extent.columns, static_cast<int>(line.size()));
    }
  }
  return extent;
}

ReportLayout FitReportLayout(double area_width, double area_height, const ReportExtent& extent,
                             const FontShape& shape, double preferred_size) {
  double size = preferred_size;
  // The left margin of five characters counts against the width as well.
  const double columns = 5.0 + std::max(extent.columns, 1);
  const double lines = std::max(extent.lines, 1);
  if (shape.advance > 0 && area_width > 0) {
    size = std::min(size, area_width / (columns * shape.advance));
  }
  if (shape.line > 0 && area_height > 0) size = std::min(size, area_height / (lines * shape.line));
  ReportLayout layout;
  layout.font_size = size;
  layout.line_height = size * shape.line;
  layout.char_width = size * shape.advance;
  layout.left = 5.0 * layout.char_width;
  return layout;
}

std::string ReportPdf(const Report& report, const PdfOptions& options) {
  const ReportLayout layout =
      FitReportLayout(options.paper.width - 2 * options.margin,
                      options.paper.height - 2 * options.margin, MeasureReport(report));
  const int pages = report.PageCount();
  PdfFile pdf;
  // Catalog, page tree and font first, so the pages can name them by number.
  const int tree = 2;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
  const int font = tree + 1;
  const int first_page = font + 1;  // each page object is followed by its content stream
  std::string kids;
  for (int i = 0; i < pages; ++i) {
    if (i > 0) kids += ' ';
    kids += std::to_string(first_page + 2 * i) + " 0 R";
  }
  pdf.Add("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
  const std::string media =
      "[0 0 " + Num(options.paper.width) + " " + Num(options.paper.height) + "]";
  for (int page = 1; page <= pages; ++page) {
    const int content = pdf.next_number() + 1;
    pdf.Add("<< /Type /Page /Parent " + std::to_string(tree) + " 0 R /MediaBox " + media +
            " /Resources << /Font << /F1 " + std::to_string(font) + " 0 R >> >> /Contents " +
            std::to_string(content) + " 0 R >>");
    pdf.AddStream(PageContent(report.PageLines(page), layout, options));
  }
  std::string info = "<< /Producer (QL40Win)";
  if (!options.title.empty()) info += " /Title " + Literal(options.title);
  info += " >>";
  const int info_number = pdf.Add(info);
  return pdf.Finish(catalog, info_number);
}

bool WriteReportPdf(const Report& report, const std::string& path, const PdfOptions& options,
                    std::string* error) {
  namespace fs = std::filesystem;
  const std::string bytes = ReportPdf(report, options);
  const fs::path target(path);
  fs::path temp = target;
  temp += ".part";
  auto fail = [&](const std::string& why) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    if (error != nullptr) *error = why;
    return false;
  };
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot create " + temp.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return fail("cannot write " + temp.string());
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) return fail("cannot replace " + path + ": " + ec.message());
  return true;
}

}  // namespace ql40
