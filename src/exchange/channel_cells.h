#pragma once

// The channel columns as text: each cell as the grid shows it, and a file's row of cells applied
// to a channel with the rules of a paste into those grid cells. The CSV and JSON formats and the
// diff all go through these, so a channel reads and takes the same words everywhere.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "channels/grid_text.h"
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

// The cells a file gives for one channel, by grid column; nullptr where the file says nothing.
// Column 0 (the channel number) says which channel the row is and is not applied.
using RowCells = std::array<const std::string*, kGridColumnCount>;

// What became of one cell of a row, or of a cell the row changed without naming it.
struct CellNote {
  int column = 0;
  bool refused = false;  // the text was not taken; text says why
  std::string text;      // why, or what the channel holds instead of what the file says
};

// Applies a file's row to a channel (absolute index): the cells as pastes into the grid's
// cells, frequencies first and then in grid order, the row as one change (a sub-audio type
// goes in with its tones), with the stricter rules a file is held to (frequencies in the band
// and storable with the hardware constants, tags of tag symbols). A text that stands for what
// the channel holds, in any spelling the column takes, changes nothing; so does a cell the
// program derives or keeps for this channel (the clock shift option without the SUBSIG unit,
// RCHK without DCS) when it holds what the channel shows or held. A channel that is not
// programmed takes its attributes all the same and becomes programmed only by a new receive
// frequency. Afterwards the channel holds what a save and reopen give back. The notes name
// every refused cell, every cell stored other than given, and every cell the row changed that
// it does not name (but the clock shift flags, which follow a new frequency as in the grid);
// after a refusal the caller discards the document.
std::vector<CellNote> ApplyRow(Codeplug& doc, int channel, const RowCells& cells);

// Whether a file's text stands for what the cell holds, in any spelling the column takes.
bool CellHolds(const Codeplug& doc, int channel, int column, const std::string& text);

// One cell of a file on its own (ApplyRow with that cell alone): "" when taken, else why not.
std::string ApplyCellText(Codeplug& doc, int channel, int column, std::string_view text);

// Writes into the image what the channel table changed since before: the group tables and bit
// sets when any group or status changed, and the stored record of each changed channel. The
// bytes of everything untouched stay exactly as they were.
void StoreTableChanges(Codeplug& doc, const ChannelTable& before);

// Whether two channel records are the same in everything the table keeps of them.
bool SameRecord(const ChannelRecord& a, const ChannelRecord& b);

}  // namespace ql40::exchange
