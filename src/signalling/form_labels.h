#pragma once

// Lists whose entries are labels put into a format ("%s Secs" over "0.25", "0.5", ...).

#include <string>
#include <vector>

#include "codeplug/codecs.h"

namespace ql40 {

template <typename List>
std::vector<std::string> FormatLabels(const char* format, const List& labels) {
  std::vector<std::string> out;
  for (const auto& label : labels) out.push_back(Format(format, std::string(label).c_str()));
  return out;
}

// The same as a function a table of list fields can point at.
template <const auto& kFormat, const auto& kList>
std::vector<std::string> FormattedLabels() {
  return FormatLabels(kFormat, kList);
}

}  // namespace ql40
