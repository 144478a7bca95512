#include "settings/form_model.h"

#include <algorithm>
#include <cstring>

#include "resources/strings.h"

namespace ql40 {

const FormControl* FormModel::Find(int id) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(),
                               [id](const FormControl& c) { return c.id == id; });
  return it == controls_.end() ? nullptr : &*it;
}

FormCommit FormModel::Commit(int /*id*/, std::string_view text) {
  return {std::string(text), true};
}

FormControl& FormModel::Add(FormControlKind kind, int id, int label_id, int row, int column) {
  FormControl c;
  c.id = id;
  c.kind = kind;
  c.label_id = label_id;
  c.row = row;
  c.column = column;
  controls_.push_back(c);
  return controls_.back();
}

FormControl& FormModel::AddLabel(int id, int label_id, int row, int column) {
  return Add(FormControlKind::kLabel, id, label_id, row, column);
}

FormControl& FormModel::AddList(int id, int label_id, int row, int column) {
  return Add(FormControlKind::kList, id, label_id, row, column);
}

FormControl& FormModel::AddEdit(int id, int label_id, int row, int max_length, int filter,
                                bool upper_case, FormEditCommit commit, int column) {
  FormControl& c = Add(FormControlKind::kEdit, id, label_id, row, column);
  c.max_length = max_length;
  c.filter = filter;
  c.upper_case = upper_case;
  c.commit = commit;
  return c;
}

FormControl& FormModel::AddCheck(int id, int text_id, int row, int column) {
  return Add(FormControlKind::kCheck, id, text_id, row, column);
}

FormControl& FormModel::AddRadio(int id, int text_id, int group, int group_index, int row,
                                 int column) {
  FormControl& c = Add(FormControlKind::kRadio, id, text_id, row, column);
  c.group = group;
  c.group_index = group_index;
  return c;
}

FormControl& FormModel::AddButton(int id, int text_id, int row, int column) {
  return Add(FormControlKind::kButton, id, text_id, row, column);
}

FormControl& FormModel::AddSpin(int id, int label_id, int row, int minimum, int maximum,
                                int column) {
  FormControl& c = Add(FormControlKind::kSpin, id, label_id, row, column);
  c.minimum = minimum;
  c.maximum = maximum;
  return c;
}

void FormModel::AddHeading(int string_id, int column, int column_span) {
  headings_.push_back({string_id, column, column_span});
}

void FormModel::MarkChanged() {
  changed_ = true;
  if (modified_flag_ != nullptr) *modified_flag_ = true;
}

bool FormFilterAccepts(int mode, char c) {
  const bool digit = c >= '0' && c <= '9';
  const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  const bool a_to_d = upper >= 'A' && upper <= 'D';
  switch (mode) {
    case 1:
      return digit || c == '.' || c == ' ';
    case 2:
      return digit || c == ' ' || c == '-' || c == '+';
    case 3:
      return digit || a_to_d || c == '#' || c == '*';
    case 4: {
      // Tag text: only what the radio's tag symbols can hold gets through.
      const int seven = static_cast<unsigned char>(c) & 0x7F;
      if (seven < 0x20 || seven == 0x7F) return false;
      static constexpr char kRejected[] = "!\"#$%&',.;<>?@^{|}~";
      return std::strchr(kRejected, seven) == nullptr;
    }
    case 5:
      return digit || c == '.' || c == ' ' || c == '-' || c == '+';
    case 6:
      return digit || c == ' ';
    case 7:
      return digit || a_to_d;
    default:
      return true;
  }
}

std::optional<FormPromptPanes> FormPrompt(int control_id) {
  const auto text = res::LoadString(control_id);
  if (!text) return std::nullopt;
  FormPromptPanes panes;
  const std::size_t cut = text->find('\n');
  if (cut == std::string_view::npos) {
    panes.message = std::string(*text);
    return panes;
  }
  panes.message = std::string(text->substr(0, cut));
  const std::string_view rest = text->substr(cut + 1);
  panes.indicator = std::string(rest.substr(0, rest.find('\n')));
  return panes;
}

void EditFrame::SetEnabled(bool enabled) {
  state_ = enabled ? EditState::kIdle : EditState::kDisabled;
}

bool EditFrame::TakeChanged() {
  const bool was = changed_;
  changed_ = false;
  return was;
}

std::string EditFrame::Cut(std::string_view text) const {
  if (max_length_ > 0 && text.size() > static_cast<std::size_t>(max_length_)) {
    text = text.substr(0, static_cast<std::size_t>(max_length_));
  }
  return std::string(text);
}

void EditFrame::Start(std::string_view current_text) {
  saved_ = std::string(current_text);
  state_ = EditState::kEditing;
  changed_ = false;
}

EditFrame::Effect EditFrame::EnterOrDoubleClick(std::string_view current_text) {
  Effect e;
  switch (state_) {
    case EditState::kDisabled:
      return e;
    case EditState::kIdle: {
      Start(current_text);
      const std::string cut = Cut(current_text);
      if (cut != current_text) e.set_text = cut;
      e.select_all = true;
      e.consumed = true;
      return e;
    }
    case EditState::kEditing:
      state_ = EditState::kIdle;
      changed_ = true;
      e.select_all = true;
      e.consumed = true;
      e.ended = true;
      return e;
  }
  return e;
}

EditFrame::Effect EditFrame::Escape() {
  Effect e;
  if (state_ != EditState::kEditing) return e;  // passes on: the dialog's Cancel
  state_ = EditState::kIdle;
  e.set_text = saved_;
  e.select_all = true;
  e.consumed = true;
  return e;
}

EditFrame::Effect EditFrame::FocusLost() {
  Effect e;
  e.clear_selection = true;
  if (state_ == EditState::kEditing) {
    state_ = EditState::kIdle;
    changed_ = true;
    e.ended = true;
  }
  return e;
}

std::optional<EditFrame::Typed> EditFrame::Type(char c, std::string_view current_text) {
  if (state_ == EditState::kDisabled) return std::nullopt;
  if (!FormFilterAccepts(filter_, c)) return std::nullopt;
  Typed t;
  t.ch = c;
  if (upper_case_ && c >= 'a' && c <= 'z') t.ch = static_cast<char>(c - 'a' + 'A');
  if (state_ == EditState::kIdle) {
    Start(current_text);
    t.start = true;
  }
  return t;
}

}  // namespace ql40
