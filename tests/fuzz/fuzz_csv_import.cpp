// Any text as channel rows applied to a codeplug.

#include <cstdint>
#include <string_view>
#include <vector>

#include "exchange/channels_csv.h"
#include "exchange/codeplug_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ql40::Codeplug base = ql40::exchange::DefaultCodeplug(ql40::kBandVhf);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ql40::Codeplug doc = base;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  (void)ql40::exchange::ImportChannelsCsv(text, doc, errors, warnings);
  return 0;
}
