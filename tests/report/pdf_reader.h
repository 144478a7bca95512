#pragma once

// Reads a PDF back as a reader shows it (and the codeplugs the PDF tests print): pdftotext gives
// each word with its place on the sheet, and the words are set back into a character grid of the
// report's pitch. A word off its column or its line shows as a difference, so this proves the
// columns line up, not only that the words are there.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "codeplug/codeplug.h"

namespace ql40::testing {

// A codeplug saved as fleet.q40: new (3 pages) or all 512 channels programmed (19 pages).
inline Codeplug FleetCodeplug(bool all_channels) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.path = "/home/dealer/fleet/fleet.q40";
  if (!all_channels) return doc;
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

// Where the report's grid lies on each sheet, in points from the sheet's top left corner.
struct PdfGrid {
  double left = 0, top = 0, char_width = 0, line_height = 0;
};

// Trailing blanks and trailing empty lines dropped.
inline PdfLines Trimmed(PdfLines lines) {
  for (auto& line : lines) line.erase(line.find_last_not_of(' ') + 1);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// A PDF's pages as grid lines (ASCII; a word between two columns is marked with '#').
inline std::vector<PdfLines> PdfGridPages(const std::string& path, const PdfGrid& grid) {
  const std::string html = RunCommand("pdftotext -bbox '" + path + "' - 2>/dev/null");
  auto attribute = [](const std::string& tag, const std::string& name) {
    const auto at = tag.find(name + "=\"");
    return at == std::string::npos ? -1.0 : std::atof(tag.c_str() + at + name.size() + 2);
  };
  std::vector<PdfLines> pages;
  for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    const std::string tag = html.substr(at, html.find('>', at) - at + 1);
    if (tag.rfind("<page ", 0) == 0) pages.emplace_back();
    if (tag.rfind("<word ", 0) != 0 || pages.empty()) continue;
    const auto start = at + tag.size();
    std::string word = html.substr(start, html.find("</word>", start) - start);
    static const std::pair<std::string, std::string> kEntities[] = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}};
    for (const auto& [entity, c] : kEntities) {
      for (auto p = word.find(entity); p != std::string::npos; p = word.find(entity, p + 1)) {
        word.replace(p, entity.size(), c);
      }
    }
    const double column = (attribute(tag, "xMin") - grid.left) / grid.char_width;
    const long c = std::lround(column);
    const long l = std::lround((attribute(tag, "yMin") - grid.top) / grid.line_height);
    if (c < 0 || l < 0 || l > 200) continue;
    if (std::fabs(column - static_cast<double>(c)) > 0.25) word = "#" + word;
    auto& page = pages.back();
    if (page.size() <= static_cast<std::size_t>(l)) page.resize(static_cast<std::size_t>(l) + 1);
    auto& text = page[static_cast<std::size_t>(l)];
    if (text.size() < static_cast<std::size_t>(c)) text.resize(static_cast<std::size_t>(c), ' ');
    text.replace(static_cast<std::size_t>(c), word.size(), word);
  }
  for (auto& page : pages) page = Trimmed(page);
  return pages;
}

inline int PdfPageCount(const std::string& path) {
  const std::string info = RunCommand("pdfinfo '" + path + "' 2>/dev/null");
  const auto at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

}  // namespace ql40::testing
