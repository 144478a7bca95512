// Undo and Redo of the document: exact images back, the modified flag, the depth, steps that
// changed nothing.

#include "codeplug/undo_history.h"

#include <gtest/gtest.h>

#include "channels/grid_edit.h"
#include "codeplug/codeplug.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

constexpr ColumnFlags kAllShown = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

class UndoHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.ResetToDefaults();
    doc.channels.count[0] = 16;
    for (int i = 0; i < 16; ++i) doc.channels.records[static_cast<std::size_t>(i)].status |= 1;
    doc.CommitToImage();
    doc.RefreshFromImage();
    doc.modified = false;
  }
  Image Committed() {
    doc.CommitToImage();
    return doc.image;
  }

  Codeplug doc;
  testing::ScriptedPrompter prompter{{}, Answer::kYes};
};

TEST_F(UndoHistoryTest, EveryKindOfEditComesBackExactly) {
  std::vector<Image> images{Committed()};
  std::vector<double> splits{doc.default_split};
  const auto step = [&](auto change) {
    doc.history.Checkpoint(doc);
    change();
    images.push_back(Committed());
    splits.push_back(doc.default_split);
  };
  step([&] { CycleCell(doc, 2, kColWideNarrow); });
  step([&] { CommitEditorText(doc, 3, kColReceive, "146.52"); });
  step([&] { CommitEditorText(doc, 3, kColTag, "abc.de"); });
  step([&] {
    CycleCell(doc, 4, kColSubAudioType);  // asks for the tone
    ApplyPick(doc, 4, kColSubAudioType, 20);
  });
  step([&] { PasteCell(doc, 5, kColChannel, "4", kAllShown, prompter); });
  step([&] { PasteBlock(doc, CellRange{6, 9, kColPower, kColPower}, "L", kAllShown, prompter); });
  step([&] { doc.ChangeBand(kBandUhf); });  // a dialog's change: frequencies and trailer
  step([&] { doc.channels.NextGroup(); });  // no data change: a step that is skipped
  ASSERT_GE(images.size(), 8u);

  for (std::size_t i = images.size() - 1; i-- > 0;) {
    if (images[i] == images[i + 1]) continue;
    ASSERT_TRUE(doc.history.Undo(doc)) << i;
    EXPECT_EQ(Committed(), images[i]) << i;
    EXPECT_EQ(doc.default_split, splits[i]) << i;
  }
  EXPECT_FALSE(doc.history.Undo(doc));
  EXPECT_FALSE(doc.modified);  // back at the state the codeplug was opened in

  std::size_t redone = 0;
  while (doc.history.Redo(doc)) ++redone;
  EXPECT_EQ(Committed(), images.back());
  EXPECT_EQ(redone, 7u);
  EXPECT_TRUE(doc.modified);
}

TEST_F(UndoHistoryTest, ModifiedFlagFollowsTheSavedState) {
  doc.history.Checkpoint(doc);
  CycleCell(doc, 1, kColPower);
  // Saving clears the flag; the next edit learns that state as the clean one.
  doc.modified = false;
  doc.history.Checkpoint(doc);
  CycleCell(doc, 1, kColTimeOut);
  EXPECT_TRUE(doc.modified);
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_FALSE(doc.modified);  // the saved state
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_TRUE(doc.modified);  // before the save: differs from the file
  ASSERT_TRUE(doc.history.Redo(doc));
  EXPECT_FALSE(doc.modified);

  // Saved explicitly after more edits.
  doc.history.Checkpoint(doc);
  CycleCell(doc, 2, kColPower);
  doc.modified = false;
  doc.history.MarkSaved(doc);
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_TRUE(doc.modified);

  // The file name: an upload's step gives it back, a save under another name is not undone.
  doc.path = "car12.q40";
  doc.history.Checkpoint(doc);
  doc.path = std::string(res::kNoPath);  // an upload
  CycleCell(doc, 3, kColPower);
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_EQ(doc.path, "car12.q40");
  ASSERT_TRUE(doc.history.Redo(doc));
  EXPECT_EQ(doc.path, res::kNoPath);
  doc.path = "van7.q40";
  doc.history.MarkSaved(doc);
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_EQ(doc.path, "van7.q40");
}

TEST_F(UndoHistoryTest, RefusedChangesCostNoStep) {
  doc.history.Checkpoint(doc);
  EXPECT_EQ(PasteCell(doc, 2, kColWideNarrow, "X", kAllShown, prompter), PasteResult::kRefused);
  doc.history.DropIfUnchanged(doc);
  EXPECT_FALSE(doc.history.CanUndo());
  // A checkpoint without a change is skipped by Undo.
  doc.history.Checkpoint(doc);
  CycleCell(doc, 2, kColWideNarrow);
  doc.history.Checkpoint(doc);
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_EQ(GridCellText(doc, 2, kColWideNarrow), "W");
  EXPECT_FALSE(doc.history.Undo(doc));
}

TEST_F(UndoHistoryTest, KeepsAtLeastAHundredStepsAndDropsTheOldest) {
  UndoHistory small(3);
  for (int i = 0; i < 5; ++i) {
    small.Checkpoint(doc);
    CycleCell(doc, 1 + i, kColPower);
  }
  EXPECT_EQ(small.UndoSteps(), 3u);

  for (int i = 0; i < 150; ++i) {
    doc.history.Checkpoint(doc);
    CycleCell(doc, 1 + i % 15, kColLowPower);
  }
  int undone = 0;
  while (doc.history.Undo(doc)) ++undone;
  EXPECT_EQ(undone, 150);
  for (int i = 1; i < 16; ++i) EXPECT_EQ(GridCellText(doc, i, kColLowPower), "2") << i;
  // A new change after undoing forgets the redo steps.
  doc.history.Redo(doc);
  doc.history.Checkpoint(doc);
  CycleCell(doc, 1, kColPower);
  EXPECT_FALSE(doc.history.CanRedo());
  doc.history.Clear();
  EXPECT_FALSE(doc.history.CanUndo());
}

TEST_F(UndoHistoryTest, UndoGoesBackToTheGroupOfTheChange) {
  doc.channels.count[1] = 4;
  doc.channels.total = 20;
  doc.channels.records[17].status |= 1;
  doc.channels.SelectGroup(1);
  doc.history.Checkpoint(doc);
  CycleCell(doc, 17, kColPower);
  doc.channels.SelectGroup(0);
  ASSERT_TRUE(doc.history.Undo(doc));
  EXPECT_EQ(doc.channels.current_group, 1);
}

}  // namespace
}  // namespace ql40
