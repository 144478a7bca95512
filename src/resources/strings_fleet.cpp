// Texts of programming several radios at once.

#include "resources/string_areas.h"

namespace ql40::res {

std::span<const StringEntry> FleetStrings() {
  // Sorted by id; add entries as {id, "text"}.
  return {};
}

}  // namespace ql40::res
