#include "codeplug/prompter.h"

#include "resources/strings.h"

namespace ql40 {

std::string Message::Text() const {
  auto text = res::LoadString(string_id);
  return text ? res::FormatText(*text, args) : std::string();
}

void Prompter::Show(int string_id, MessageIcon icon, std::initializer_list<std::string_view> args) {
  Ask(string_id, icon, MessageButtons::kOk, args);
}

Answer Prompter::Ask(int string_id, MessageIcon icon, MessageButtons buttons,
                     std::initializer_list<std::string_view> args) {
  Message m;
  m.string_id = string_id;
  for (auto a : args) m.args.emplace_back(a);
  m.icon = icon;
  m.buttons = buttons;
  return Ask(m);
}

Answer SilentPrompter::Ask(const Message& message) {
  messages_.push_back(message);
  if (message.buttons == MessageButtons::kOk) return Answer::kOk;
  if (answer_ == Answer::kOk && message.buttons != MessageButtons::kOkCancel) return Answer::kYes;
  return answer_;
}

}  // namespace ql40
