// Any text as channel rows applied to a codeplug. Rows that were taken export as CSV that
// imports back without changing the image or a channel.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/channels_csv.h"
#include "exchange/codeplug_json.h"
#include "fuzz_check.h"
#include "q40_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  static const Codeplug base = exchange::DefaultCodeplug(kBandVhf);
  static Codeplug doc;
  static Codeplug again;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  doc = base;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportChannelsCsv(text, doc, errors, warnings)) return 0;
  // An export and a second import cost a few first ones: one taken text in 4 does them.
  if (!fuzz::Sampled(data, size, 4)) return 0;
  const std::string exported = exchange::ExportChannelsCsv(doc);
  again = doc;
  const bool ok = exchange::ImportChannelsCsv(exported, again, errors, warnings);
  fuzz::Require(ok, "exported channels import", errors.empty() ? std::string() : errors.front());
  const std::string bytes = fuzz::ImageDifference(doc.image, again.image);
  fuzz::Require(bytes.empty(), "CSV export then import leaves the image unchanged", bytes);
  const std::string records = fuzz::TableDifference(doc.channels, again.channels);
  fuzz::Require(records.empty(), "CSV export then import leaves every channel unchanged", records);
  fuzz::Require(warnings.empty(), "CSV export then import has nothing to warn about",
                warnings.empty() ? std::string() : warnings.front());
  return 0;
}
