// Any text as a JSON codeplug on the default base; what imports exports again.

#include <cstdint>
#include <string_view>
#include <vector>

#include "exchange/codeplug_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ql40::Codeplug base = ql40::exchange::DefaultCodeplug(ql40::kBandVhfLo);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ql40::Codeplug out;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (ql40::exchange::ImportJson(text, base, out, errors, warnings))
    (void)ql40::exchange::ExportJson(out);
  return 0;
}
