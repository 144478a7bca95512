// The preview of a CHIRP plan import: the group and first channel to choose, each row with the
// channel it goes to or why it is skipped, and OK as one undo step.

#include "shell/chirp_preview.h"

#include <gtest/gtest.h>

#include "channels/grid_text.h"
#include "exchange/channel_cells.h"
#include "exchange/codeplug_json.h"

namespace ql40::shell {
namespace {

const char* const kPlan =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode,Power\r\n"
    "1,Marine 16,156.800000,,0.000000,,88.5,88.5,FM,High\r\n"
    "2,Air,121.500000,,0.000000,,88.5,88.5,AM,\r\n"
    "3,Rpt,146.940000,-,0.600000,Tone,100.0,88.5,FM,5W\r\n";

Codeplug TwoGroups() {
  Codeplug doc = exchange::DefaultCodeplug(kBandVhf);
  doc.channels.count[1] = 2;
  doc.CommitToImage();
  doc.RefreshFromImage();
  doc.channels.SelectGroup(1);
  return doc;
}

TEST(ChirpPreview, ShowsWhereEachRowGoesForTheChosenGroupAndChannel) {
  Codeplug doc = TwoGroups();
  ChirpImportPreview preview(doc, kPlan, "/plans/marine.csv");
  // It opens on the group the user looks at.
  EXPECT_EQ(preview.group(), 1);
  EXPECT_EQ(preview.start(), 1);
  ASSERT_EQ(preview.GroupItems().size(), 20u);
  EXPECT_EQ(preview.GroupItems()[0], "Group 1  GROUP-01  (16 channels)");
  EXPECT_EQ(preview.MaxStart(), 3);
  ASSERT_EQ(preview.RowCount(), 3);
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kRow), "2");
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kName), "Marine 16");
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kChannel), "17");
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kWhat),
            "MARINE 1  156.80000/156.80000; Name \"Marine 16\" is stored as \"MARINE 1\" (cut to 8 "
            "characters)");
  EXPECT_EQ(preview.Cell(1, ChirpImportPreview::kChannel), "skipped");
  EXPECT_EQ(preview.Kind(1), ChirpImportPreview::RowKind::kSkipped);
  EXPECT_EQ(preview.Cell(2, ChirpImportPreview::kChannel), "18");
  EXPECT_EQ(preview.Kind(2), ChirpImportPreview::RowKind::kChanged);
  EXPECT_EQ(preview.Headline(),
            "marine.csv: 2 rows into group 2, channels 17-18; 1 row skipped; 2 values changed to "
            "fit");

  // The second channel of group 2: the group needs one more, from the free channels.
  preview.SetStart(2);
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kChannel), "18");
  EXPECT_EQ(preview.Cell(2, ChirpImportPreview::kChannel), "19");
  EXPECT_EQ(preview.plan().grown, 1);
  // Group 1 is longer: the first channel stays; group 3 has none, so it starts at 1.
  preview.SetGroup(0);
  EXPECT_EQ(preview.start(), 2);
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kChannel), "2");
  preview.SetStart(1);
  EXPECT_EQ(preview.Cell(0, ChirpImportPreview::kWhat).find("MARINE 1"), 0u);
  EXPECT_NE(preview.Cell(0, ChirpImportPreview::kWhat).find("; replaces CH-001"),
            std::string::npos);
  preview.SetGroup(2);
  EXPECT_EQ(preview.start(), 1);
  EXPECT_EQ(preview.MaxStart(), 1);
  preview.SetStart(9);  // out of reach: the nearest it can be
  EXPECT_EQ(preview.start(), 1);
  EXPECT_TRUE(preview.CanImport());
  preview.SetGroup(25);  // no such group: nothing changes
  EXPECT_EQ(preview.group(), 2);
}

// The import through the window (preview, OK as one undo step, Cancel) is ui/extras_test's.
TEST(ChirpPreview, ApplyShowsTheGroupAndAPlanWithNoPlaceIsRefusedWhole) {
  Codeplug doc = TwoGroups();
  const Image before = doc.image;
  ChirpImportPreview none(doc, "Location,Frequency\n1,121.5\n", "air.csv");
  EXPECT_FALSE(none.CanImport());
  EXPECT_FALSE(none.Apply(doc).ok);
  EXPECT_EQ(doc.history.UndoSteps(), 0u);
  EXPECT_EQ(doc.image, before);

  doc.channels.SelectGroup(0);
  ChirpImportPreview preview(doc, kPlan, "marine.csv");
  preview.SetGroup(1);
  ASSERT_TRUE(preview.Apply(doc).ok);
  EXPECT_EQ(doc.channels.current_group, 1) << "the grid shows where the rows went";
  EXPECT_EQ(exchange::CellText(doc, 17, kColTransmit), "146.34000");
}

}  // namespace
}  // namespace ql40::shell
