#pragma once

// The channel columns as text: each cell as the grid shows it, and a text applied to a cell
// with the rules of a paste into that grid cell. The CSV and JSON formats and the diff all go
// through these, so a channel reads and takes the same words everywhere.

#include <string>
#include <string_view>

#include "codeplug/codeplug.h"

namespace ql40::exchange {

// JSON key of a grid column ("receive", "decode", ...).
const char* ColumnKey(int column);
// The column of a JSON key exactly as written, -1 for none.
int ColumnOfKey(std::string_view key);
// CSV header of a grid column: the grid's two heading rows joined ("Frequency Receive").
std::string ColumnName(int column, int option_unit);
// The column of a CSV header or JSON key (either form, blanks and case ignored), -1 for none.
int ColumnOfName(std::string_view name, int option_unit);

// The cell as the grid shows it, blanks trimmed.
std::string CellText(const Codeplug& doc, int channel, int column);

// Applies text to a cell of channel (absolute index) with the grid's paste rules, strict about
// what a file may hold: frequencies must lie in the band and be storable with the hardware
// constants, tags must be tag symbols. A text equal to what the cell shows changes nothing.
// Returns "" on success, else why the cell refuses the text (the channel is then unchanged).
std::string ApplyCellText(Codeplug& doc, int channel, int column, std::string_view text);

// Writes into the image what the channel table changed since before: the group tables and bit
// sets when any group or status changed, and the stored record of each changed channel. The
// bytes of everything untouched stay exactly as they were.
void StoreTableChanges(Codeplug& doc, const ChannelTable& before);

}  // namespace ql40::exchange
