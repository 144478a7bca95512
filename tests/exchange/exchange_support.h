#pragma once

// What the exchange tests share: a codeplug as a file gives it, text checks, and the program
// run in a folder with every "@name" standing for that file of the folder.

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "support/test_support.h"

namespace ql40::testing {

// A codeplug as it comes from a file: image and trailer decoded.
inline Codeplug Loaded(const Image& image, double split) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image = image;
  doc.default_split = split;
  doc.file_loaded = true;
  doc.RefreshFromImage();
  return doc;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Each part is somewhere in the text; a missing one is named with the whole text.
inline void ExpectHas(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts) EXPECT_TRUE(Contains(text, part)) << part << "\nin:\n" << text;
}

inline void WriteText(const std::string& path, const std::string& t) {
  WriteAll(path, std::vector<unsigned char>(t.begin(), t.end()));
}

inline ProgramResult RunAt(const TempDir& dir, const std::string& args) {
  std::istringstream words(args);
  std::string line, w;
  while (words >> w) line += (line.empty() ? "" : " ") + (w[0] == '@' ? dir.File(w.substr(1)) : w);
  return RunQl40(dir, line);
}

}  // namespace ql40::testing
