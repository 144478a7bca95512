// A cell of a file changes a channel exactly as pasting that text into the grid cell does.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "channels/grid_edit.h"
#include "channels/grid_text.h"
#include "codeplug/codeplug.h"
#include "exchange/channel_cells.h"

namespace ql40 {
namespace {

TEST(CellExchange, FileCellsChangeAChannelAsAGridPasteDoes) {
  Codeplug base;
  base.ResetToDefaults();
  ColumnFlags all;
  all.fill(1);
  // Tone columns after a type change, marks, lists and the code column under two option units.
  const std::vector<std::pair<int, std::string>> steps = {{kColSubAudioType, "CTCSS"},
                                                          {kColDecode, "100.0"},
                                                          {kColEncode, " 67.0"},
                                                          {kColSubAudioType, "DCS"},
                                                          {kColDecode, "023"},
                                                          {kColRchk, "v"},
                                                          {kColSubAudioType, "-----"},
                                                          {kColWideNarrow, "N"},
                                                          {kColTimeOut, "-"},
                                                          {kColSquelch, "+3"},
                                                          {kColLockOut, "Bz"},
                                                          {kColCode, "3"},
                                                          {kColScan, "D"},
                                                          {kColRxPowerSave, "v"},
                                                          {kColLowPower, "1"}};
  for (int option_unit : {0, 3}) {
    Codeplug via_file = base;
    Codeplug via_grid = base;
    via_file.option_unit = via_grid.option_unit = option_unit;
    {
      SilentPrompter silent;
      for (const auto& [column, text] : steps) {
        const std::string why = exchange::ApplyCellText(via_file, 0, column, text);
        const PasteResult pasted = PasteCell(via_grid, 0, column, text, all, silent);
        EXPECT_EQ(why.empty(), pasted == PasteResult::kPasted)
            << "column " << column << " \"" << text << "\" unit " << option_unit << ": " << why;
        EXPECT_EQ(GridRowText(via_file, 0), GridRowText(via_grid, 0))
            << "column " << column << " \"" << text << "\" unit " << option_unit;
      }
    }
  }
}

}  // namespace
}  // namespace ql40
