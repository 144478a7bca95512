// Texts of the alignment dialogs.

#include "resources/string_areas.h"

namespace ql40::res {

std::span<const StringEntry> AlignmentStrings() {
  // Sorted by id; add entries as {id, "text"}.
  return {};
}

}  // namespace ql40::res
