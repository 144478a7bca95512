#include <gtest/gtest.h>

#include <set>

#include "resources/string_areas.h"
#include "resources/strings.h"

namespace ql40::res {
namespace {

// Each area of the program keeps its own part of the table; an id claimed by two parts would
// make one of the texts unreachable.
TEST(StringTable, EveryIdBelongsToOnePartAndEveryPartIsSorted) {
  std::set<int> seen;
  for (auto area : StringAreas()) {
    EXPECT_TRUE(SortedById(area));
    for (const auto& entry : area) {
      EXPECT_TRUE(seen.insert(entry.id).second) << "id " << entry.id << " appears twice";
      EXPECT_EQ(LoadString(entry.id), entry.text);
    }
  }
  EXPECT_FALSE(LoadString(-1).has_value());
}

TEST(StringTable, FormatReplacesNumberedMarkers) {
  EXPECT_EQ(FormatText("a %1 b %2 %3", {"x", "y"}), "a x b y %3");
  EXPECT_EQ(FormatString(kStrAboutTitle, {"1.25.1"}), "QL40 Ver1.25.1w");
  EXPECT_EQ(FormatString(-5, {"x"}), "");
}

}  // namespace
}  // namespace ql40::res
