// Texts of the codeplug as JSON and CSV, diff and check.

#include "resources/string_areas.h"

namespace ql40::res {

std::span<const StringEntry> ExchangeStrings() {
  // Sorted by id; add entries as {id, "text"}.
  return {};
}

}  // namespace ql40::res
