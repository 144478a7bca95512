#pragma once

// What the channel grid does to the document: the space bar and double-click step
// (CycleCell), the in-place editor's character rules and commit, clipboard paste into a cell
// (PasteCell), copying one channel onto another (CopyChannelFields), block paste and range
// fill, copy of a range, the column flags and the help contexts. The desktop grid only binds
// keys and the mouse to these.
//
// Every function that changes the document sets its modified flag, and only when something
// did change. None of them takes an undo step; the caller does, once per user action.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "channels/grid_text.h"
#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"

namespace ql40 {

// Status-bar texts of the grid (ids of the channel area of the string table).
enum GridStringId : int {
  kStrCellsPasted = 62200,
  kStrCellsPastedRefused = 62201,
  kStrRowsLeftOut = 62202,
  kStrNothingToUndo = 62203,
  kStrNothingToRedo = 62204,
  kStrCellRefused = 62205,
  kStrCellsCopied = 62206,
  kStrUndone = 62207,
  kStrRedone = 62208,
  kStrCellName = 62209,
};

// The sixteen View > Item flags in menu order: Pri, W/N, TAG, Frequency, ... RCHK.
using ColumnFlags = std::array<int, 16>;
inline constexpr int kColumnFlagCount = 16;

// The flag a grid column is shown by; -1 for column 0, which is always shown.
int ColumnFlagOf(int column);
bool ColumnShown(const ColumnFlags& flags, int column);
// The next shown column from column in direction step (+1 or -1); column itself when there
// is none that way.
int NextShownColumn(const ColumnFlags& flags, int column, int step);

// F1 in the grid: the help context of a column.
int GridHelpId(int column, int option_unit);

// What a step of a cell asks of the grid.
enum class CellAction {
  kNone,     // nothing happened (the editor columns, an unprogrammed channel)
  kChanged,  // the channel changed; redraw its row
  kBeep,     // refused
  kPick,     // open the column's pick list (PickListFor) and store the choice with ApplyPick
  kEdit,     // a double-click on the tag or a frequency: open the in-place editor
};

// The space bar on a cell. For the double-click, see DoubleClickCell.
CellAction CycleCell(Codeplug& doc, int channel, int column);
// A double-click: the editor on columns 3 to 5, otherwise the same as the space bar.
CellAction DoubleClickCell(Codeplug& doc, int channel, int column);
// The priority mark of column 1: moves the group's priority to this channel or removes it.
bool TogglePriority(Codeplug& doc, int channel);
// Stores a choice of a pick list: columns 6 (CTCSS with this tone both ways, on a channel
// without sub-audio), 7 and 8 (tone index), 13 (scan), 15 (squelch), 19 (code). Values outside
// the column's list are refused.
bool ApplyPick(Codeplug& doc, int channel, int column, int value);
// F3 on columns 7 and 8 of a DCS channel.
bool ComplementDcs(Codeplug& doc, int channel, int column);

// The in-place editor. Mode 0 edits a tag, mode 1 a frequency, -1 means no editor.
inline constexpr int kEditorMaxLength = 9;
int EditorMode(int column);
bool CanEditCell(const Codeplug& doc, int channel, int column);
// Whether a typed character is kept: the tag rule at a caret position, or the frequency rule.
bool TagCharAccepted(char32_t ch, int position);
bool FrequencyCharAccepted(char32_t ch);
bool EditorCharAccepted(int mode, char32_t ch, int position);
// What the editor starts with: the cell's text, or the stored transmit frequency of an
// inhibited channel.
std::string EditorSeed(const Codeplug& doc, int channel, int column);
// Text typed or pasted into the editor at a caret position, filtered by the mode's rule and
// made upper case; at most room characters are kept.
std::string FilterEditorInput(int mode, std::string_view text, int position, int room);
// Commits the editor's text. Text equal to the cell's text changes nothing; true when the
// channel changed. A frequency the radio cannot store is moved to the nearest one it can;
// *note then says so (for the status bar), and stays empty otherwise.
bool CommitEditorText(Codeplug& doc, int channel, int column, std::string_view text,
                      std::string* note = nullptr);

enum class PasteResult { kPasted, kRefused, kDeclined };

// Clipboard text on one cell. Column 0 copies another channel onto this one after asking
// (question 53); the prompter answers that question.
// A moved frequency is told in *note, as for the editor.
PasteResult PasteCell(Codeplug& doc, int channel, int column, std::string_view text,
                      const ColumnFlags& flags, Prompter& prompter, std::string* note = nullptr);
// A cell of a row that goes in with the row's other cells (a block paste, a row of a file): the
// cell's paste rules without bringing the channel to its stored form yet, since a sub-audio
// type only stays with its tones. SettleRow afterwards, then ShowsPasted tells which cells took.
PasteResult PasteCellInRow(Codeplug& doc, int channel, int column, std::string_view text,
                           std::string* note = nullptr);
// Brings a channel to what a save and reopen give back (sets the modified flag if that changes
// it). Every grid commit ends with it.
void SettleRow(Codeplug& doc, int channel);
// Whether the cell shows the pasted text (a moved frequency counts: its note tells the move).
bool ShowsPasted(const Codeplug& doc, int channel, int column, std::string_view text);

// Copies the shown column groups of source onto destination.
void CopyChannelFields(Codeplug& doc, int source, int destination, const ColumnFlags& flags);

// A rectangle of the grid: absolute channel indices and grid columns, both inclusive.
struct CellRange {
  int first_channel = 0;
  int last_channel = 0;
  int first_column = 0;
  int last_column = 0;

  bool single() const { return first_channel == last_channel && first_column == last_column; }
};

// Clipboard text split into rows of tab-separated cells; one line end at the end of the text
// is not a row of its own, and "\r\n" counts as a line end.
std::vector<std::vector<std::string>> SplitClipboardText(std::string_view text);

struct RefusedCell {
  int channel = 0;
  int column = 0;
};

struct BlockPasteReport {
  int pasted = 0;
  int unchanged = 0;      // cells that took the text but already held it
  int rows_left_out = 0;  // block rows beyond the group's last channel
  std::vector<RefusedCell> refused;
  int option_unit = 0;  // names the code column in the text
  bool single = false;  // a single cell onto a single cell: PasteCell alone
  PasteResult single_result = PasteResult::kRefused;
  std::vector<std::string> moved;  // frequencies moved to one the radio can store

  // The status-bar text of the paste; "" for a single cell.
  std::string StatusText() const;
};

// Paste of clipboard text onto the selected range (the current cell when just one). One
// cell of text over a range fills every shown cell of the range; a block of several cells
// goes from the range's top-left cell to the right over shown columns and down the group,
// cell by cell through PasteCell, and stops at the group's last channel. Column 0 takes part
// only in a single-cell paste. The range must lie in the current group.
BlockPasteReport PasteBlock(Codeplug& doc, const CellRange& range, std::string_view text,
                            const ColumnFlags& flags, Prompter& prompter);

// The shown cells of a range as clipboard text: cells separated by tabs, each row ended by a
// line end, as `ql40 channels` prints a channel; one cell alone has no line end.
std::string CopyRangeText(const Codeplug& doc, const CellRange& range, const ColumnFlags& flags);

}  // namespace ql40
