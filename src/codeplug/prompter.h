#pragma once

// The one way the core shows a message or asks a question. The desktop program answers with
// message boxes, the command line with stderr and --yes/--no, tests with a scripted fake.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace ql40 {

enum class MessageIcon { kNone, kStop, kQuestion, kExclamation, kInformation };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class Answer { kOk, kCancel, kYes, kNo };

struct Message {
  int string_id = 0;
  std::vector<std::string> args;  // "%1", "%2", ...
  MessageIcon icon = MessageIcon::kStop;
  MessageButtons buttons = MessageButtons::kOk;
  int title_id = 0;  // the caption's string id; 0 for the program's own title

  // The string-table text with its arguments filled in.
  std::string Text() const;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows the message and returns the button the user chose. May be called from a worker
  // thread; implementations that need the user-interface thread must marshal the call.
  virtual Answer Ask(const Message& message) = 0;

  // An OK-only message.
  void Show(int string_id, MessageIcon icon, std::initializer_list<std::string_view> args = {});
  Answer Ask(int string_id, MessageIcon icon, MessageButtons buttons,
             std::initializer_list<std::string_view> args = {});
};

// Answers every question with the given default; for callers that must not block.
class SilentPrompter : public Prompter {
 public:
  explicit SilentPrompter(Answer answer = Answer::kCancel) : answer_(answer) {}
  Answer Ask(const Message& message) override;
  using Prompter::Ask;
  const std::vector<Message>& messages() const { return messages_; }

 private:
  Answer answer_;
  std::vector<Message> messages_;
};

}  // namespace ql40
