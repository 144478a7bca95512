// Texts of the channel grid and its pick lists.

#include "resources/string_areas.h"

namespace ql40::res {

std::span<const StringEntry> ChannelStrings() {
  // Sorted by id; add entries as {id, "text"}.
  return {};
}

}  // namespace ql40::res
