#pragma once

// Help contexts: which page a help request opens. Pages are HTML files named by their
// context number ("131200.html"); a context without a page opens the contents page.

#include <functional>
#include <string>

namespace ql40::shell {

inline constexpr int kHelpMainWindow = 131200;    // the main window's own context
inline constexpr int kHelpFrameDefault = 131241;  // a help message without a context
inline constexpr const char* kHelpContentsPage = "index.html";

// Menu commands have context 0x10000 + id, dialogs 0x20000 + their dialog id.
constexpr int CommandHelpContext(int command_id) {
  return 0x10000 + command_id;
}
constexpr int DialogHelpContext(int dialog_id) {
  return 0x20000 + dialog_id;
}

// The main window's filter: its own context becomes the grid column's (when the grid gives
// one), and the contexts of the help and about commands open the contents (0).
int FilterHelpRequest(int context, int grid_column_context);

// The page of a context: "<context>.html" when page_exists says so, else the contents page.
std::string HelpPageFor(int context, const std::function<bool(const std::string&)>& page_exists);

}  // namespace ql40::shell
