// A row of a file changes a channel exactly as pasting that row into the grid does, and says
// what it could not take as given.

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

using Cells = std::vector<std::pair<int, std::string>>;

std::vector<exchange::CellNote> Apply(Codeplug& doc, int channel, const Cells& given) {
  exchange::RowCells cells{};
  for (const auto& [column, text] : given) cells[static_cast<std::size_t>(column)] = &text;
  return exchange::ApplyRow(doc, channel, cells);
}

TEST(CellExchange, FileRowsChangeAChannelAsAGridRowPasteDoes) {
  Codeplug base;
  base.ResetToDefaults();
  base.channels.records[0].status |= 1;
  ColumnFlags all;
  all.fill(1);
  // Rows of consecutive cells from the W/N column: a type goes in with its tones.
  const std::vector<std::vector<std::string>> rows = {
      {"N", " AB", "146.52000", "146.52000", "CTCSS", "100.0", " 67.0"},
      {"W", "ABC.DE", "146.52000", "---.-----", "DCS", "023", "023", "v", "-", "L", "1", "D"},
      {"N", "AB", "146.55000", "146.55000", "-----", "Off", "Off", "-", "v", "H", "3", "B", "-",
       "+3", "v", "-", "BT"},
  };
  for (int option_unit : {0, 3}) {
    Codeplug via_file = base;
    Codeplug via_grid = base;
    via_file.option_unit = via_grid.option_unit = option_unit;
    SilentPrompter silent;
    for (const auto& row : rows) {
      Cells cells;
      std::string clip;
      for (std::size_t i = 0; i < row.size(); ++i) {
        cells.emplace_back(kColWideNarrow + static_cast<int>(i), row[i]);
        clip += (i == 0 ? "" : "\t") + row[i];
      }
      for (const exchange::CellNote& note : Apply(via_file, 0, cells)) {
        EXPECT_FALSE(note.refused) << note.column << ": " << note.text;
      }
      const BlockPasteReport report =
          PasteBlock(via_grid, CellRange{0, 0, kColWideNarrow, kColWideNarrow}, clip, all, silent);
      for (const RefusedCell& cell : report.refused) ADD_FAILURE() << clip << ": " << cell.column;
      EXPECT_EQ(GridRowText(via_file, 0), GridRowText(via_grid, 0))
          << clip << " unit " << option_unit;
    }
  }
}

TEST(CellExchange, WhatARowCannotTakeAsGivenIsNamed) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.channels.records[0].status |= 1;
  // A type without a tone reads back as none; a tag symbol that is not one is refused.
  auto notes = Apply(doc, 0, {{kColSubAudioType, "CTCSS"}, {kColDecode, "Off"}});
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].column, kColSubAudioType);
  EXPECT_FALSE(notes[0].refused);
  EXPECT_EQ(notes[0].text, "\"CTCSS\" is stored as \"-----\"");
  notes = Apply(doc, 0, {{kColTag, "A`B"}});
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_TRUE(notes[0].refused);

  // The same value written otherwise changes nothing, not even a following transmit frequency.
  doc.default_split = 0.6;
  Apply(doc, 0, {{kColReceive, "146.52"}, {kColTransmit, "---.-----"}});
  const ChannelRecord held = doc.channels.records[0];
  EXPECT_TRUE(Apply(doc, 0,
                    {{kColReceive, "146.520"},
                     {kColTransmit, "---.-----"},
                     {kColSquelch, "-0"},
                     {kColTimeOut, "V"}})
                  .empty());
  EXPECT_EQ(doc.channels.records[0].tx_frequency, held.tx_frequency);

  // A receive frequency off the step lands on it; the hidden transmit one is named too.
  notes = Apply(doc, 0, {{kColReceive, "146.5113"}});
  ASSERT_GE(notes.size(), 2u);
  EXPECT_EQ(notes[0].text, "\"146.5113\" is stored as \"146.51250\"");
  EXPECT_NE(notes.back().text.find("inhibited transmit frequency changes"), std::string::npos);
  for (const exchange::CellNote& note : notes) EXPECT_FALSE(note.refused) << note.text;

  // Without the SUBSIG unit only the clock shift option the channel shows is taken back.
  notes = Apply(doc, 0, {{kColClockShiftOption, "v"}});
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_FALSE(notes[0].refused);
  EXPECT_EQ(GridCellText(doc, 0, kColClockShiftOption), "-");
}

}  // namespace
}  // namespace ql40
