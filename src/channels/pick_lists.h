#pragma once

// The two list dialogs of the grid: the sub-audio list (CTCSS tones or DCS codes of the Dec
// and Enc columns) and the pick list of the scan, squelch and code columns. The model holds
// everything the dialog shows and the value each entry stands for; the dialog only renders it.

#include <string>
#include <vector>

#include "codeplug/codeplug.h"

namespace ql40 {

inline constexpr int kSubAudioDialogId = 136;
inline constexpr int kSubAudioListId = 1064;
inline constexpr int kPickListDialogId = 186;
inline constexpr int kPickListListId = 1193;

struct PickListModel {
  int dialog_id = kPickListDialogId;
  int list_id = kPickListListId;
  std::string caption;
  int column_width = 85;  // pixels of one list column
  std::vector<std::string> entries;
  std::vector<int> values;  // the value each entry stands for
  int selected = 0;         // position of the current value
  int help_id = 0;

  // The value of the entry at a position; no selection (or one outside the list) counts as
  // the first entry.
  int ValueAt(int position) const;
  bool empty() const { return entries.empty(); }
};

// Type 1 lists the CTCSS tones, any other type the DCS codes; current is the tone index.
PickListModel SubAudioPickList(int sub_audio_type, int current_index, int column);
PickListModel ScanPickList(int scan_nibble);
PickListModel SquelchPickList(int squelch_value);
// The code column: by option unit, with the paging slots that are in use.
PickListModel CodePickList(const Codeplug& doc, int code);

// The list a cell opens (columns 7, 8, 13, 15, 19, and 6 on a channel without sub-audio),
// filled with the channel's current value;
// an empty model for any other column.
PickListModel PickListFor(const Codeplug& doc, int channel, int column);

}  // namespace ql40
