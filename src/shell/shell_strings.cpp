#include "shell/shell_strings.h"

#include "resources/strings.h"

namespace ql40::shell {

std::string CommandPrompt(int command_id) {
  const auto text = res::LoadString(command_id);
  if (!text) return {};
  return std::string(text->substr(0, text->find('\n')));
}

std::string CommandToolTip(int command_id) {
  const auto text = res::LoadString(command_id);
  if (!text) return {};
  const auto pos = text->find('\n');
  return pos == std::string_view::npos ? std::string() : std::string(text->substr(pos + 1));
}

std::string GetStartedText() {
  auto s = [](int id) { return std::string(res::LoadString(id).value_or("")); };
  return s(100) + s(101) + s(102) + "\r\n" + s(103) + "\r\n\r\n" + s(104) + s(105) + "\r\n\r\n" +
         s(106) + s(107) + s(108) + "\r\n\r\n" + s(109) + s(110) + s(111);
}

}  // namespace ql40::shell
