#pragma once

// The desktop program's Prompter: the core's messages and questions as message boxes. Worker
// threads (transfers, alignment sampling) may ask too; their calls wait on the user-interface
// thread's answer.

#include <QPointer>
#include <QWidget>

#include "codeplug/prompter.h"

namespace ql40::ui {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  using Prompter::Ask;
  Answer Ask(const Message& message) override;

  void set_parent(QWidget* parent) { parent_ = parent; }

 private:
  Answer AskOnUiThread(const Message& message);
  QPointer<QWidget> parent_;
};

}  // namespace ql40::ui
