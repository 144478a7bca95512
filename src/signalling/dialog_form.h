#pragma once

// What a settings or signalling dialog is, without any widgets: its controls (named by their
// resource ids), what each list holds and shows, which controls are enabled and visible, how
// typed text is taken, and what OK and Cancel do. The Qt layer renders one of these and only
// forwards the user's actions to it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql40 {

enum class ControlKind { kList, kEdit };

// How an edit field takes its text.
enum class EditCommit {
  kOnEnter,   // ending an edit (Enter, double-click, leaving the field) commits it at once
  kOnOk,      // a code field: Enter only toggles editing; the edited text is taken by OK
  kReadOnly,  // shown in the Disabled state, never editable
};

struct ControlSpec {
  int id = 0;
  ControlKind kind = ControlKind::kList;
  int label_id = 0;  // string id of the label in front of the control; 0 for none
  int row = 0;       // grid row of the control
  int column = 1;    // grid column of the control; its label sits in the column before it
  int max_length = 0;
  int filter = 0;  // filter mode of an edit field (FilterAccepts)
  bool upper_case = false;
  EditCommit commit = EditCommit::kOnEnter;
};

// A column heading above the first row of controls.
struct HeadingSpec {
  int string_id = 0;
  int column = 0;
};

class DialogForm {
 public:
  virtual ~DialogForm() = default;

  virtual int DialogId() const = 0;
  virtual int TitleId() const = 0;
  // Help context of the dialog: 0x20000 plus its id.
  int HelpContext() const { return 0x20000 + DialogId(); }

  const std::vector<ControlSpec>& Controls() const { return controls_; }
  const std::vector<HeadingSpec>& Headings() const { return headings_; }
  const ControlSpec* Find(int id) const;

  // Dialogs whose edit fields commit on Enter act on OK only while the OK button has the
  // focus, so that Enter in a field never closes them.
  virtual bool OkNeedsFocus() const { return false; }

  virtual std::vector<std::string> Items(int /*id*/) const { return {}; }
  virtual int Selection(int /*id*/) const { return -1; }
  virtual std::string Text(int /*id*/) const { return {}; }
  virtual bool Enabled(int /*id*/) const { return true; }
  virtual bool Visible(int /*id*/) const { return true; }

  // A list selection.
  virtual void Select(int /*id*/, int /*index*/) {}
  // Every change of an edit field's text, while it is typed (enabling rules, code fields).
  virtual void TextEdited(int /*id*/, std::string_view /*text*/) {}
  // An ended edit of a kOnEnter field: parse, clamp, store; returns the canonical text.
  virtual std::string Commit(int id, std::string_view text);

  virtual void Ok() = 0;
  virtual void Cancel() {}

 protected:
  ControlSpec& AddList(int id, int label_id, int row, int column = 1);
  ControlSpec& AddEdit(int id, int label_id, int row, int max_length, int filter, bool upper_case,
                       EditCommit commit, int column = 1);

  std::vector<ControlSpec> controls_;
  std::vector<HeadingSpec> headings_;
};

// Whether an edit field of the filter mode accepts a typed character (Backspace always
// passes and is not asked about).
bool FilterAccepts(int mode, char c);

// The status bar texts of a control: its prompt string cut at "\n" into the two panes
// (a further "\n" ends the second); nothing when the control has no prompt.
struct PromptPanes {
  std::string message;
  std::string indicator;
};
std::optional<PromptPanes> PromptOf(int control_id);

// "%s Secs"-style lists: each label put into a format.
std::vector<std::string> FormatLabels(const char* format, const std::vector<std::string>& labels);
template <typename List>
std::vector<std::string> Labels(const List& list) {
  return std::vector<std::string>(list.begin(), list.end());
}

}  // namespace ql40
