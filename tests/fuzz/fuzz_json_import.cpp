// Any text as a JSON codeplug on the default base. What imports exports again, and that export
// imports back to the same image and the same text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/codeplug_json.h"
#include "fuzz_check.h"
#include "q40_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  static const Codeplug base = exchange::DefaultCodeplug(kBandVhfLo);
  static Codeplug out;
  static Codeplug back;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportJson(text, base, out, errors, warnings)) return 0;
  const std::string exported = exchange::ExportJson(out);
  // A second import costs a few first ones: one imported text in 8 takes it.
  if (!fuzz::Sampled(data, size, 8)) return 0;
  const bool ok = exchange::ImportJson(exported, base, back, errors, warnings);
  fuzz::Require(ok, "an exported codeplug imports",
                errors.empty() ? std::string() : errors.front());
  const std::string bytes = fuzz::ImageDifference(out.image, back.image);
  fuzz::Require(bytes.empty(), "JSON export then import gives the same image", bytes);
  fuzz::Require(out.default_split == back.default_split, "JSON export then import keeps the split");
  fuzz::Require(exchange::ExportJson(back) == exported, "JSON export, import, export: same text");
  return 0;
}
