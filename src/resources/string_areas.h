#pragma once

// The string table is kept in parts, one per area of the program, so that each area's texts
// (messages, prompts, captions) sit beside each other. Every part is sorted by id, and an id
// belongs to one part only; LoadString looks through all of them.

#include <span>
#include <string_view>

namespace ql40::res {

struct StringEntry {
  int id;
  std::string_view text;
};

constexpr bool SortedById(std::span<const StringEntry> table) {
  for (std::size_t i = 1; i < table.size(); ++i) {
    if (table[i - 1].id >= table[i].id) return false;
  }
  return true;
}

std::span<const StringEntry> CoreStrings();        // strings.cpp: files, link, transfers
std::span<const StringEntry> ShellStrings();       // strings_shell.cpp: main window, help
std::span<const StringEntry> ChannelStrings();     // strings_channels.cpp: grid, pick lists
std::span<const StringEntry> SettingsStrings();    // strings_settings.cpp: settings dialogs
std::span<const StringEntry> SignallingStrings();  // strings_signalling.cpp
std::span<const StringEntry> AlignmentStrings();   // strings_alignment.cpp
std::span<const StringEntry> ExchangeStrings();    // strings_exchange.cpp: JSON, CSV, diff, check
std::span<const StringEntry> FleetStrings();       // strings_fleet.cpp: several radios at once
std::span<const StringEntry> RecoveryStrings();    // strings_recovery.cpp: unsaved work

// Every part, for lookups and for the check that no id is used twice.
std::span<const std::span<const StringEntry>> StringAreas();

}  // namespace ql40::res
