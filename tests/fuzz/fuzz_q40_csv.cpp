// A .q40 file of any content that the reader accepts: its channels exported as CSV and
// imported back into it change nothing, neither the image nor a channel.

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/channels_csv.h"
#include "fuzz_check.h"
#include "q40_fuzz.h"
#include "q40_mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  static Codeplug opened;
  static Codeplug imported;
  if (!fuzz::OpenBytes(data, size, opened)) return 0;
  // An import costs some six readings: one input in 24 takes it.
  if (!fuzz::Sampled(data, size, 24)) return 0;

  const std::string text = exchange::ExportChannelsCsv(opened);
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  imported = opened;
  const bool ok = exchange::ImportChannelsCsv(text, imported, errors, warnings);
  fuzz::Require(ok, "exported channels import", errors.empty() ? std::string() : errors.front());
  const std::string bytes = fuzz::ImageDifference(opened.image, imported.image);
  fuzz::Require(bytes.empty(), "CSV export then import leaves the image unchanged", bytes);
  const std::string records = fuzz::TableDifference(opened.channels, imported.channels);
  fuzz::Require(records.empty(), "CSV export then import leaves every channel unchanged", records);
  fuzz::Require(warnings.empty(), "CSV export then import has nothing to warn about",
                warnings.empty() ? std::string() : warnings.front());
  return 0;
}
