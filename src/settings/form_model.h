#pragma once

// Form models: what a settings or signalling dialog is, without any widgets. A form model
// names its controls by their resource ids, says what each list holds and shows, which
// controls are enabled and visible, how typed text is taken (parse, clamp, canonical text),
// and what OK and Cancel do to the document. The Qt layer (settings/ui/settings_dialog.h)
// renders any form model and forwards the user's actions to it; after every action it reads
// every control back from the model, so a model never has to tell the widgets what changed.
//
// How to add a dialog:
//  1. Derive from FormModel in the folder of the records it edits (src/settings/foo_form.h).
//     Its constructor decodes its working record from the document's image and declares
//     its controls in reading order with AddList / AddEdit / AddCheck / ... (row and column
//     of the dialog's grid; a control's label sits in the grid column before it).
//  2. Name the dialog's resource id and title (FormIdentity) to the base and override, for
//     the controls it has, Items / Selection / Text / Checked / Value / Enabled / Visible. Lists
//     show Items(id) with Selection(id) chosen. Lists that select an int field of the record
//     are best declared in one table of FormListField (id, field, entries).
//  3. Override the actions: Select (a list's selection), Commit (an ended edit: return the
//     canonical text, or refuse it with accepted = false after showing its message through
//     the Prompter), SetChecked, SetValue, Press, and Ok / Cancel. Call MarkChanged() on every
//     change so that the codeplug's modified flag is set at once.
//  4. Ok() encodes the record into the image and returns true to close; false keeps the
//     dialog open. Cancel() puts back whatever program-wide state the dialog touched.
//  5. Report band, product, hardware and option-unit changes through outcome_.
//  6. The control texts (labels, prompts, title) are string-table entries: the prompt of a
//     control is the string whose id is the control's id.
//  7. Open it with ui::RunFormDialog (settings/ui/settings_dialog.h); a test drives the model
//     directly without a display.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql40 {

enum class FormControlKind {
  kLabel,   // a static text (label_id, or Text(id) when label_id is 0)
  kList,    // a drop-down list; Enter opens it
  kEdit,    // a filtered edit field with the Idle / Editing / Disabled states
  kCheck,   // a check box whose text is label_id
  kRadio,   // a radio button of a group; Selection(group) is the index of the chosen one
  kButton,  // a push button whose text is label_id
  kSpin,    // a number between minimum and maximum
};

// How an edit field takes its text.
enum class FormEditCommit {
  kOnEnter,   // ending an edit (Enter, double-click, leaving the field) commits it at once
  kOnOk,      // a code field: Enter only toggles editing; the text is read by OK (TextEdited)
  kReadOnly,  // always in the Disabled state
};

struct FormControl {
  int id = 0;
  FormControlKind kind = FormControlKind::kList;
  int label_id = 0;  // string id of the label before the control (or of its own text)
  int row = 0;
  int column = 1;  // grid column; the label sits in the column before it
  int column_span = 1;
  // Edit fields.
  int max_length = 0;  // characters, 0 for no limit
  int filter = 0;      // filter mode 0..7, see FormFilterAccepts
  bool upper_case = false;
  FormEditCommit commit = FormEditCommit::kOnEnter;
  // Spin boxes.
  int minimum = 0;
  int maximum = 0;
  // Radio buttons: the id of their group and their index in it.
  int group = 0;
  int group_index = 0;
};

// A heading above a column of the dialog's grid (row -1).
struct FormHeading {
  int string_id = 0;
  int column = 0;
  int column_span = 1;
};

// What a dialog reports to the main window when it closes.
struct FormOutcome {
  bool accepted = false;
  bool band_changed = false;
  bool product_changed = false;
  bool hardware_changed = false;
  bool option_unit_changed = false;
};

// The result of an ended edit.
struct FormCommit {
  std::string text;      // what the field shows now (canonical, or as typed when refused)
  bool accepted = true;  // false: the value was refused; the field keeps the focus
};

// What a dialog is, as the window around it needs it.
struct FormIdentity {
  int dialog_id = 0;  // the dialog's resource id
  int title_id = 0;   // string id of its title
  // Dialogs that commit edit fields on Enter act on OK only while the OK button has the
  // focus, so that Enter in a field never closes them.
  bool ok_needs_focus = false;
};

class FormModel {
 public:
  // The flag is the codeplug's modified flag, set by MarkChanged(); null for none.
  explicit FormModel(FormIdentity identity, bool* modified_flag = nullptr)
      : identity_(identity), modified_flag_(modified_flag) {}
  virtual ~FormModel() = default;
  FormModel(const FormModel&) = delete;
  FormModel& operator=(const FormModel&) = delete;

  int DialogId() const { return identity_.dialog_id; }
  int TitleId() const { return identity_.title_id; }
  // Help context when the request carries none: 0x20000 plus the dialog id.
  int HelpContext() const { return 0x20000 + DialogId(); }
  bool OkNeedsFocus() const { return identity_.ok_needs_focus; }

  const std::vector<FormControl>& Controls() const { return controls_; }
  const std::vector<FormHeading>& Headings() const { return headings_; }
  const FormControl* Find(int id) const;

  // What the controls show.
  virtual std::vector<std::string> Items(int /*id*/) const { return {}; }
  virtual int Selection(int /*id*/) const { return -1; }
  virtual std::string Text(int /*id*/) const { return {}; }
  virtual bool Checked(int /*id*/) const { return false; }
  virtual int Value(int /*id*/) const { return 0; }
  virtual bool Enabled(int /*id*/) const { return true; }
  virtual bool Visible(int /*id*/) const { return true; }

  // The user's actions.
  virtual void Select(int /*id*/, int /*index*/) {}
  // A list is about to open (some dialogs rebuild their lists then).
  virtual void ListOpening(int /*id*/) {}
  // Every change of an edit field's text while it is typed (code fields, enabling rules).
  virtual void TextEdited(int /*id*/, std::string_view /*text*/) {}
  // An ended edit of a kOnEnter field. The default takes the text as it stands.
  virtual FormCommit Commit(int id, std::string_view text);
  virtual void SetChecked(int /*id*/, bool /*on*/) {}
  virtual void SetValue(int /*id*/, int /*value*/) {}
  virtual void Press(int /*id*/) {}

  // OK: validate, confirm, encode; true to close. Cancel: restore what the dialog touched.
  virtual bool Ok() = 0;
  virtual void Cancel() {}

  // Set by every change; the codeplug's modified flag is set with it.
  bool changed() const { return changed_; }
  const FormOutcome& outcome() const { return outcome_; }

 protected:
  FormControl& AddLabel(int id, int label_id, int row, int column = 0);
  FormControl& AddList(int id, int label_id, int row, int column = 1);
  FormControl& AddEdit(int id, int label_id, int row, int max_length, int filter,
                       bool upper_case = false, FormEditCommit commit = FormEditCommit::kOnEnter,
                       int column = 1);
  FormControl& AddCheck(int id, int text_id, int row, int column = 1);
  FormControl& AddRadio(int id, int text_id, int group, int group_index, int row, int column = 1);
  FormControl& AddButton(int id, int text_id, int row, int column = 1);
  FormControl& AddSpin(int id, int label_id, int row, int minimum, int maximum, int column = 1);
  void AddHeading(int string_id, int column, int column_span = 1);

  void MarkChanged();

  std::vector<FormControl> controls_;
  std::vector<FormHeading> headings_;
  FormOutcome outcome_;

 private:
  FormControl& Add(FormControlKind kind, int id, int label_id, int row, int column);

  FormIdentity identity_;
  bool* modified_flag_ = nullptr;
  bool changed_ = false;
};

// Whether an edit field of the filter mode accepts a typed character; Backspace always passes
// and is not asked about.
//   0 all, 1 digits "." space, 2 digits space "-" "+", 3 digits A-D "#" "*",
//   4 printable 7-bit text without !"#$%&',.;<>?@^{|}~, 5 digits "." space "-" "+",
//   6 digits space, 7 digits A-D.
bool FormFilterAccepts(int mode, char c);

// The status bar texts of a control: its prompt (the string whose id is the control id) cut
// at "\n" into the two panes, a further "\n" ending the second. Nothing when there is no
// such string, so that the status bar keeps what it shows.
struct FormPromptPanes {
  std::string message;
  std::string indicator;
};
std::optional<FormPromptPanes> FormPrompt(int control_id);

// The behaviour every edit field of the settings dialogs shares, driven by the keys that
// reach the field first. The widget asks it what to do and does exactly that.
enum class EditState { kIdle, kEditing, kDisabled };

class EditFrame {
 public:
  EditFrame() = default;
  EditFrame(int max_length, int filter, bool upper_case)
      : max_length_(max_length), filter_(filter), upper_case_(upper_case) {}

  // What the widget must do after an event.
  struct Effect {
    bool consumed = false;                // the key or click goes no further
    std::optional<std::string> set_text;  // replace the field's text
    bool select_all = false;
    bool clear_selection = false;
    bool ended = false;  // an edit has ended: the changed flag is now set
  };

  EditState state() const { return state_; }
  // Writable only while Editing.
  bool read_only() const { return state_ != EditState::kEditing; }
  // Idle when enabled, Disabled otherwise (an edit in progress is dropped).
  void SetEnabled(bool enabled);
  // Set when an edit has ended and the dialog has not taken it over yet.
  bool changed() const { return changed_; }
  // The dialog takes the ended edit: returns the flag and clears it.
  bool TakeChanged();

  // Enter or a left double-click.
  Effect EnterOrDoubleClick(std::string_view current_text);
  // Escape: while Editing the earlier text comes back and the key is consumed; while Idle
  // the key passes on (the dialog's Cancel).
  Effect Escape();
  // The field loses the focus.
  Effect FocusLost();
  // A typed character: nullopt when the filter rejects it; otherwise the character to insert
  // (upper-cased for upper-case fields). An accepted character while Idle starts an edit
  // first (start tells the widget to select all so the character replaces the text).
  struct Typed {
    char ch = 0;
    bool start = false;
  };
  std::optional<Typed> Type(char c, std::string_view current_text);

  int max_length() const { return max_length_; }
  int filter() const { return filter_; }
  bool upper_case() const { return upper_case_; }
  // The text an edit would start with: the current text cut to the maximum length.
  std::string Cut(std::string_view text) const;

 private:
  void Start(std::string_view current_text);

  int max_length_ = 0;
  int filter_ = 0;
  bool upper_case_ = false;
  EditState state_ = EditState::kIdle;
  bool changed_ = false;
  std::string saved_;
};

// A list of labels as strings (for Items()).
template <typename List>
std::vector<std::string> FormLabels(const List& list) {
  return std::vector<std::string>(list.begin(), list.end());
}

// The labels of one list, as a function a table of list fields can point at.
template <const auto& kList>
std::vector<std::string> ListLabels() {
  return FormLabels(kList);
}

// A list whose selection is an int field of the form's record. A form declares such lists in
// one table, so that the field and the entries of a list are written once, next to each other.
template <typename Record>
struct FormListField {
  int id = 0;
  int Record::*field = nullptr;
  std::vector<std::string> (*items)() = nullptr;
};

// The table's entry for a control id, or null.
template <typename Record, std::size_t N>
constexpr const FormListField<Record>* FindListField(const FormListField<Record> (&table)[N],
                                                     int id) {
  for (const FormListField<Record>& list : table) {
    if (list.id == id) return &list;
  }
  return nullptr;
}

}  // namespace ql40
