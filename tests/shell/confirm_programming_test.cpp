// Before radios are programmed, a codeplug with errors needs the user's yes.

#include <gtest/gtest.h>

#include "codeplug/codeplug.h"
#include "codeplug/image.h"
#include "shell/exchange_file.h"
#include "shell/extras_ids.h"
#include "support/test_support.h"

namespace ql40::shell {
namespace {

TEST(ConfirmProgramming, AsksOnlyWhenTheCheckFindsErrorsAndFollowsTheAnswer) {
  Codeplug good;
  good.ResetToDefaults();
  testing::ScriptedPrompter silent;
  EXPECT_TRUE(ConfirmProgramming(good, silent));
  EXPECT_TRUE(silent.messages().empty());

  Codeplug bad = good;
  // The first channel's receive divider word with a field the synthesizer does not take.
  bad.image[kOffsetChannels + 6] |= 0x80;
  bad.RefreshFromImage();
  testing::ScriptedPrompter no({Answer::kNo});
  EXPECT_FALSE(ConfirmProgramming(bad, no));
  ASSERT_TRUE(no.Saw(kStrProgramDespiteErrors));
  EXPECT_NE(no.messages().front().args.at(0).find("error: group 1 channel 1"), std::string::npos)
      << no.messages().front().args.at(0);
  testing::ScriptedPrompter yes({Answer::kYes});
  EXPECT_TRUE(ConfirmProgramming(bad, yes));
}

}  // namespace
}  // namespace ql40::shell
