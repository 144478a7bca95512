// Texts of the main window, its dialogs and help.

#include "resources/string_areas.h"

namespace ql40::res {

std::span<const StringEntry> ShellStrings() {
  // Sorted by id; add entries as {id, "text"}.
  return {};
}

}  // namespace ql40::res
