#include "shell/help.h"

#include <algorithm>
#include <iterator>

namespace ql40::shell {
namespace {

// Help Topics, About and the framework's index contexts are the contents, not a topic.
constexpr int kFinderContexts[] = {98377, 123203, 387099, 387100, 387101, 387102};

}  // namespace

int FilterHelpRequest(int context, int grid_column_context) {
  if (context == kHelpMainWindow && grid_column_context > 0) context = grid_column_context;
  if (std::find(std::begin(kFinderContexts), std::end(kFinderContexts), context) !=
      std::end(kFinderContexts)) {
    return 0;
  }
  return context;
}

std::string HelpPageFor(int context, const std::function<bool(const std::string&)>& page_exists) {
  if (context <= 0) return kHelpContentsPage;
  const std::string page = std::to_string(context) + ".html";
  return page_exists && page_exists(page) ? page : kHelpContentsPage;
}

}  // namespace ql40::shell
