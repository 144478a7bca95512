#pragma once

// The Qt rendering of a DialogForm: labels, drop-down lists that open on Enter, edit fields
// that are read-only until Enter or a typed character starts an edit, a status bar with the
// focused control's prompt, and OK/Cancel. The form decides everything; this only shows it.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <map>

#include "signalling/dialog_form.h"

class QLabel;
class QPushButton;

namespace ql40::ui {

// A list whose Enter key opens or closes the list instead of pressing the default button.
class EnterDropCombo : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// An edit field with the Idle, Editing and Disabled states, a filter on typed characters, an
// optional upper-case conversion and Escape putting back the text of the edit's start.
class FormEdit : public QLineEdit {
  Q_OBJECT
 public:
  enum class State { kIdle, kEditing, kDisabled };

  FormEdit(const ControlSpec& spec, QWidget* parent);

  State state() const { return state_; }
  // Enabled puts the field into Idle, disabled into Disabled (an edit in progress ends first).
  void SetUsable(bool usable);
  bool editing() const { return state_ == State::kEditing; }

 signals:
  // An edit ended with Enter, a double-click or the focus leaving the field.
  void editEnded();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void SetState(State state);
  void BeginEdit();
  void EndEdit();

  ControlSpec spec_;
  State state_ = State::kIdle;
  QString text_at_start_;
};

class FormDialog : public QDialog {
  Q_OBJECT
 public:
  FormDialog(DialogForm& form, QWidget* parent = nullptr);

  DialogForm& form() { return form_; }
  QPushButton* okButton() const { return ok_; }
  QLabel* messagePane() const { return message_; }
  QLabel* indicatorPane() const { return indicator_; }
  int promptId() const { return prompt_id_; }
  int lastHelpContext() const { return last_help_context_; }

  void accept() override;
  void reject() override;

 signals:
  // F1: the help context of the dialog.
  void helpRequested(int context_id);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Build();
  // Shows the prompt of a control; returns the id shown before.
  int ShowPrompt(int control_id);
  // Brings every control up to date with the form (texts of fields being edited excepted).
  void Sync();

  DialogForm& form_;
  std::map<int, QWidget*> controls_;
  std::map<int, QLabel*> labels_;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* indicator_ = nullptr;
  int prompt_id_ = 0;
  int last_help_context_ = 0;
  bool syncing_ = false;
  bool focus_set_ = false;
};

// Runs the form's dialog modally; true when it ended with OK.
bool RunFormDialog(DialogForm& form, QWidget* parent);

}  // namespace ql40::ui
