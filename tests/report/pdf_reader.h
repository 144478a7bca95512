#pragma once

// Reads a PDF back as a dealer's reader shows it: pdftotext gives every word with its place on
// the sheet, and the words are set back into a character grid of the report's pitch. A word a
// quarter character off its column, or a line off its line, shows as a difference, so the
// grid proves that the columns line up and not only that the words are there.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace ql40::testing {

using PdfLines = std::vector<std::string>;

inline std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// Where the report's character grid lies on each sheet, in points from the sheet's top left.
struct PdfGrid {
  double left = 0;  // x of column 0
  double top = 0;   // y of the top of line 0
  double char_width = 0;
  double line_height = 0;
};

namespace pdf_detail {

inline double Attribute(const std::string& tag, const char* name) {
  const std::string key = std::string(name) + "=\"";
  const auto at = tag.find(key);
  return at == std::string::npos ? NAN : std::atof(tag.c_str() + at + key.size());
}

inline std::string Unescaped(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      const std::string e(entity);
      if (text.compare(i, e.size(), e) == 0) {
        out += c;
        i += e.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

}  // namespace pdf_detail

// The pages of a PDF as lines of the grid, trailing blanks and trailing empty lines dropped.
// Characters beyond ASCII come back as UTF-8. Words off the grid (fractional columns) are
// marked with '#' at their place.
inline std::vector<PdfLines> PdfGridPages(const std::string& path, const PdfGrid& grid) {
  const std::string html = RunCommand("pdftotext -bbox '" + path + "' - 2>/dev/null");
  std::vector<PdfLines> pages;
  std::size_t at = 0;
  while ((at = html.find('<', at)) != std::string::npos) {
    const auto end = html.find('>', at);
    if (end == std::string::npos) break;
    const std::string tag = html.substr(at, end - at + 1);
    if (tag.rfind("<page ", 0) == 0) pages.emplace_back();
    if (tag.rfind("<word ", 0) == 0 && !pages.empty()) {
      const auto close = html.find("</word>", end);
      const std::string word = pdf_detail::Unescaped(html.substr(end + 1, close - end - 1));
      const double column = (pdf_detail::Attribute(tag, "xMin") - grid.left) / grid.char_width;
      const double line = (pdf_detail::Attribute(tag, "yMin") - grid.top) / grid.line_height;
      const long c = std::lround(column);
      const long l = std::lround(line);
      if (c >= 0 && l >= 0 && c < 400 && l < 400) {
        auto& page = pages.back();
        if (page.size() <= static_cast<std::size_t>(l))
          page.resize(static_cast<std::size_t>(l) + 1);
        auto& text = page[static_cast<std::size_t>(l)];
        const std::string placed =
            std::fabs(column - static_cast<double>(c)) > 0.25 ? "#" + word : word;
        // Columns count characters, not bytes: a UTF-8 sequence takes one column.
        std::size_t chars = 0, byte = 0;
        while (byte < text.size() && chars < static_cast<std::size_t>(c)) {
          ++byte;
          while (byte < text.size() && (static_cast<unsigned char>(text[byte]) & 0xC0) == 0x80)
            ++byte;
          ++chars;
        }
        if (chars < static_cast<std::size_t>(c)) {
          text.append(static_cast<std::size_t>(c) - chars, ' ');
          byte = text.size();
        }
        text.replace(std::min(byte, text.size()), placed.size(), placed);
      }
      at = close;
      continue;
    }
    at = end;
  }
  return pages;
}

// Report lines as they come back: trailing blanks and trailing empty lines dropped.
inline PdfLines Trimmed(PdfLines lines) {
  for (auto& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

inline int PdfPageCount(const std::string& path) {
  const std::string info = RunCommand("pdfinfo '" + path + "' 2>/dev/null");
  const auto at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

}  // namespace ql40::testing
