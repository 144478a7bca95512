// The dialog frame's rules without a display: filter modes, prompts, and the edit field's
// Idle / Editing / Disabled cycle with its changed flag.

#include "settings/form_model.h"

#include <gtest/gtest.h>

#include <string>

namespace ql40 {
namespace {

std::string Accepted(int mode, const std::string& chars) {
  std::string out;
  for (char c : chars) {
    if (FormFilterAccepts(mode, c)) out += c;
  }
  return out;
}

TEST(FormFilter, EachModeTakesOnlyItsCharacters) {
  const std::string probe = "09.- +aAdDeE#*!,@xZ";
  EXPECT_EQ(Accepted(0, probe), probe);
  EXPECT_EQ(Accepted(1, probe), "09. ");
  EXPECT_EQ(Accepted(2, probe), "09- +");
  EXPECT_EQ(Accepted(3, probe), "09aAdD#*");
  EXPECT_EQ(Accepted(4, probe), "09- +aAdDeE*xZ");
  EXPECT_EQ(Accepted(5, probe), "09.- +");
  EXPECT_EQ(Accepted(6, probe), "09 ");
  EXPECT_EQ(Accepted(7, probe), "09aAdD");
  // Tag text: every one of the nineteen excluded punctuation marks, and control characters.
  for (char c : std::string("!\"#$%&',.;<>?@^{|}~\t\x7f"))
    EXPECT_FALSE(FormFilterAccepts(4, c)) << c;
  for (char c : std::string("()*+-/:=[]_\\` ")) EXPECT_TRUE(FormFilterAccepts(4, c)) << c;
  // A character with the eighth bit set is judged by its low seven bits.
  EXPECT_FALSE(FormFilterAccepts(4, static_cast<char>(0x80 | '!')));
  EXPECT_TRUE(FormFilterAccepts(4, static_cast<char>(0x80 | 'A')));
}

TEST(FormPrompt, SplitsIntoTwoPanes) {
  const auto count = FormPrompt(2605);
  ASSERT_TRUE(count);
  EXPECT_EQ(count->message, "Edit Channel Number(1-255)");
  EXPECT_EQ(count->indicator, "<ENTER>");
  EXPECT_FALSE(FormPrompt(2599));  // no such string: the status bar stays as it is
}

TEST(EditFrame, EnterStartsAndEndsAnEditAndSetsTheChangedFlag) {
  EditFrame f(5, 1, false);
  EXPECT_TRUE(f.read_only());
  // Enter while Idle: the text is cut to the maximum length and everything selected.
  auto e = f.EnterOrDoubleClick("21.60MHz");
  EXPECT_EQ(f.state(), EditState::kEditing);
  EXPECT_FALSE(f.read_only());
  ASSERT_TRUE(e.set_text);
  EXPECT_EQ(*e.set_text, "21.60");
  EXPECT_TRUE(e.select_all);
  EXPECT_TRUE(e.consumed);
  EXPECT_FALSE(f.changed());
  // Enter while Editing ends the edit.
  e = f.EnterOrDoubleClick("21.65");
  EXPECT_TRUE(e.ended);
  EXPECT_EQ(f.state(), EditState::kIdle);
  EXPECT_TRUE(f.TakeChanged());
  EXPECT_FALSE(f.changed());
  EXPECT_FALSE(f.TakeChanged());
}

TEST(EditFrame, EscapeRestoresWhileEditingAndPassesOnWhileIdle) {
  EditFrame f(3, 2, false);
  EXPECT_FALSE(f.Escape().consumed);  // Idle: the dialog's Cancel
  f.EnterOrDoubleClick("47 msec");
  auto e = f.Escape();
  EXPECT_TRUE(e.consumed);
  ASSERT_TRUE(e.set_text);
  EXPECT_EQ(*e.set_text, "47 msec");  // the text as it was before the edit, not the cut one
  EXPECT_EQ(f.state(), EditState::kIdle);
  EXPECT_FALSE(f.changed());
}

TEST(EditFrame, TypingFocusLossAndDisabling) {
  EditFrame f(8, 4, true);
  // A rejected character does not start an edit.
  EXPECT_FALSE(f.Type('!', "GROUP1"));
  EXPECT_EQ(f.state(), EditState::kIdle);
  // An accepted character while Idle starts one, upper-cased.
  auto t = f.Type('b', "GROUP1");
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->start);
  EXPECT_EQ(t->ch, 'B');
  t = f.Type('c', "B");
  ASSERT_TRUE(t);
  EXPECT_FALSE(t->start);
  // Leaving the field ends the edit.
  auto e = f.FocusLost();
  EXPECT_TRUE(e.ended);
  EXPECT_TRUE(e.clear_selection);
  EXPECT_TRUE(f.changed());
  // Leaving it again while Idle ends nothing.
  f.TakeChanged();
  EXPECT_FALSE(f.FocusLost().ended);
  EXPECT_FALSE(f.changed());
  // Disabled: no key starts an edit.
  f.SetEnabled(false);
  EXPECT_EQ(f.state(), EditState::kDisabled);
  EXPECT_FALSE(f.Type('A', ""));
  EXPECT_FALSE(f.EnterOrDoubleClick("x").consumed);
  EXPECT_EQ(f.state(), EditState::kDisabled);
  f.SetEnabled(true);
  EXPECT_EQ(f.state(), EditState::kIdle);
}

}  // namespace
}  // namespace ql40
