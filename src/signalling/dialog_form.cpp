#include "signalling/dialog_form.h"

#include <algorithm>
#include <cstring>

#include "codeplug/codecs.h"
#include "resources/strings.h"

namespace ql40 {

const ControlSpec* DialogForm::Find(int id) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(),
                               [id](const ControlSpec& c) { return c.id == id; });
  return it == controls_.end() ? nullptr : &*it;
}

std::string DialogForm::Commit(int id, std::string_view text) {
  (void)id;
  return std::string(text);
}

ControlSpec& DialogForm::AddList(int id, int label_id, int row, int column) {
  ControlSpec spec;
  spec.id = id;
  spec.kind = ControlKind::kList;
  spec.label_id = label_id;
  spec.row = row;
  spec.column = column;
  controls_.push_back(spec);
  return controls_.back();
}

ControlSpec& DialogForm::AddEdit(int id, int label_id, int row, int max_length, int filter,
                                 bool upper_case, EditCommit commit, int column) {
  ControlSpec spec;
  spec.id = id;
  spec.kind = ControlKind::kEdit;
  spec.label_id = label_id;
  spec.row = row;
  spec.column = column;
  spec.max_length = max_length;
  spec.filter = filter;
  spec.upper_case = upper_case;
  spec.commit = commit;
  controls_.push_back(spec);
  return controls_.back();
}

bool FilterAccepts(int mode, char c) {
  const bool digit = c >= '0' && c <= '9';
  const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  const bool a_to_d = upper >= 'A' && upper <= 'D';
  switch (mode) {
    case 0:
      return true;
    case 1:
      return digit || c == '.' || c == ' ';
    case 2:
      return digit || c == ' ' || c == '-' || c == '+';
    case 3:
      return digit || a_to_d || c == '#' || c == '*';
    case 4: {
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

std::optional<PromptPanes> PromptOf(int control_id) {
  const auto text = res::LoadString(control_id);
  if (!text) return std::nullopt;
  PromptPanes panes;
  const std::size_t cut = text->find('\n');
  if (cut == std::string_view::npos) {
    panes.message = std::string(*text);
    return panes;
  }
  panes.message = std::string(text->substr(0, cut));
  std::string_view rest = text->substr(cut + 1);
  panes.indicator = std::string(rest.substr(0, rest.find('\n')));
  return panes;
}

std::vector<std::string> FormatLabels(const char* format, const std::vector<std::string>& labels) {
  std::vector<std::string> out;
  out.reserve(labels.size());
  for (const std::string& label : labels) out.push_back(Format(format, label.c_str()));
  return out;
}

}  // namespace ql40
