// A .q40 file of any content that the reader accepts, saved and opened again: the grid shows
// every cell of every channel in use, every group header and the channels left as before.

#include <cstdint>
#include <string>
#include <vector>

#include "channels/grid_text.h"
#include "fuzz_check.h"
#include "q40_fuzz.h"
#include "q40_mutator.h"

namespace {

std::vector<std::string> GridTexts(const ql40::Codeplug& doc) {
  using namespace ql40;
  std::vector<std::string> texts;
  const ChannelTable& t = doc.channels;
  for (int g = 0; g < kGroupCount; ++g) texts.push_back(GroupHeaderText(t, g));
  texts.push_back(ChannelsLeftText(t));
  const int in_use = std::min(t.total, kChannelCount);
  for (int c = 0; c < in_use; ++c) {
    for (int col = 0; col < kGridColumnCount; ++col) texts.push_back(GridCellText(doc, c, col));
  }
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  static Codeplug opened;
  static Codeplug reopened;
  if (!fuzz::OpenBytes(data, size, opened)) return 0;
  // The texts of a full grid and a second reading cost some eight readings.
  if (!fuzz::Sampled(data, size, 12)) return 0;

  const std::vector<std::string> before = GridTexts(opened);
  opened.CommitToImage();  // what Save does before it writes
  const std::string file = fuzz::FileBytes(opened);
  const bool ok =
      fuzz::OpenBytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), reopened);
  fuzz::Require(ok, "a saved file opens again");
  const std::vector<std::string> after = GridTexts(reopened);
  fuzz::Require(before.size() == after.size(), "a reopened file shows as many cells",
                std::to_string(before.size()) + " then " + std::to_string(after.size()));
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    // Group headers, the channels left, then 24 cells per channel.
    const std::size_t cell = i - std::min<std::size_t>(i, kGroupCount + 1);
    const std::string where = i <= kGroupCount ? "line " + std::to_string(i)
                                               : "channel " + std::to_string(cell / 24 + 1) +
                                                     " column " + std::to_string(cell % 24);
    fuzz::Violation("the grid shows the same text after a reopen",
                    where + ": [" + before[i] + "] then [" + after[i] + "]");
  }
  return 0;
}
