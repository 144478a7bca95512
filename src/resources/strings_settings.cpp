// Texts of the settings dialogs: prompts (id = control id), captions and messages.

#include "resources/string_areas.h"

namespace ql40::res {

std::span<const StringEntry> SettingsStrings() {
  // Sorted by id; add entries as {id, "text"}.
  return {};
}

}  // namespace ql40::res
