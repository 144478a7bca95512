// Texts of the channel grid and its pick lists.

#include "resources/string_areas.h"

namespace ql40::res {
namespace {

constexpr StringEntry kTable[] = {
    {62200, "%1 cells pasted"},
    {62201, "%1 cells pasted, %2 refused: %3"},
    {62202, "; %1 rows past the group's last channel left out"},
    {62203, "Nothing to undo"},
    {62204, "Nothing to redo"},
    {62205, "%1 does not take \"%2\""},
    {62206, "%1 cells copied"},
    {62207, "Undone"},
    {62208, "Redone"},
    {62209, "Ch%1 %2"},
};
static_assert(SortedById(kTable));

}  // namespace

std::span<const StringEntry> ChannelStrings() {
  return kTable;
}

}  // namespace ql40::res
