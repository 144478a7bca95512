// Texts of the codeplug as JSON and CSV, diff and check, and of frequencies that had to move
// to one the radio can store.

#include "exchange/exchange_ids.h"
#include "resources/string_areas.h"

namespace ql40::res {
namespace {

constexpr StringEntry kTable[] = {
    {kStrReceiveMoved, "Channel %1: the radio cannot store this receive frequency; moved to %2"},
    {kStrTransmitMoved, "Channel %1: the radio cannot store this transmit frequency; moved to %2"},
    {kStrHardwareMovedReceive, "Channel %1 receive %2 moves to %3"},
    {kStrHardwareMovedTransmit, "Channel %1 transmit %2 moves to %3"},
};
static_assert(SortedById(kTable));

}  // namespace

std::span<const StringEntry> ExchangeStrings() {
  return kTable;
}

}  // namespace ql40::res
