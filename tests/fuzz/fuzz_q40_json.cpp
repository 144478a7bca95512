// A .q40 file of any content that the reader accepts, exported as JSON and imported back: the
// import holds the file's image byte for byte, and it exports to the same text.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/codeplug_json.h"
#include "fuzz_check.h"
#include "q40_fuzz.h"
#include "q40_mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  // Imported on top of another band's codeplug: nothing of it may leak into the result.
  static const Codeplug base = exchange::DefaultCodeplug(kBandUhf);
  static Codeplug opened;
  static Codeplug imported;
  if (!fuzz::OpenBytes(data, size, opened)) return 0;
  // Export and import of a full table cost some eighty readings: one input in 512 takes them.
  if (!fuzz::Sampled(data, size, 512)) return 0;

  const std::string text = exchange::ExportJson(opened);
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  imported = base;
  const bool ok = exchange::ImportJson(text, base, imported, errors, warnings);
  fuzz::Require(ok, "an exported codeplug imports",
                errors.empty() ? std::string() : errors.front());

  const std::string bytes = fuzz::ImageDifference(opened.image, imported.image);
  fuzz::Require(bytes.empty(), "JSON export then import gives the file's image", bytes);
  // The split is taken as the Miscellaneous dialog takes it (tenths): a trailer with more
  // digits may change, but only with a warning that names it.
  if (opened.default_split != imported.default_split) {
    const bool named = std::any_of(warnings.begin(), warnings.end(), [](const std::string& w) {
      return w.rfind("default_split: ", 0) == 0;
    });
    fuzz::Require(
        named, "JSON export then import changes the default split only with a warning",
        std::to_string(opened.default_split) + " then " + std::to_string(imported.default_split));
    imported.default_split = opened.default_split;
  }
  const std::string again = exchange::ExportJson(imported);
  if (again != text) {
    std::size_t at = 0;
    while (at < text.size() && at < again.size() && text[at] == again[at]) ++at;
    fuzz::Violation("an imported codeplug exports as the file did",
                    "at " + std::to_string(at) + ": " + text.substr(at, 80) +
                        "\nthen: " + again.substr(at, 80));
  }
  return 0;
}
