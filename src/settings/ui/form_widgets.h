#pragma once

// The two controls every settings dialog is made of: the filtered edit field with its Idle /
// Editing / Disabled states, and the drop-down list that Enter opens.

#include <QComboBox>
#include <QLineEdit>

#include "settings/form_model.h"

namespace ql40::ui {

// An edit field driven by the core's EditFrame: read-only until Enter, a double-click or an
// accepted character starts an edit; Enter, a double-click or leaving the field ends it;
// Escape puts the earlier text back. Characters the filter mode rejects never arrive.
class FilterEdit : public QLineEdit {
  Q_OBJECT
 public:
  FilterEdit(int max_length, int filter, bool upper_case, QWidget* parent = nullptr);

  EditFrame& frame() { return frame_; }
  const EditFrame& frame() const { return frame_; }
  // Idle when enabled, Disabled otherwise.
  void SetFieldEnabled(bool enabled);
  // While set, the field keeps a refused text until it loses the focus.
  bool hold_text = false;

 signals:
  // An edit has ended (the frame's changed flag is set): the dialog takes it over.
  void ended();
  // The field lost the focus without ending an edit.
  void left();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Apply(const EditFrame::Effect& effect);
  void ApplyState();
  void TypeText(const QString& typed_text);

  EditFrame frame_;
};

// A drop-down list whose Enter opens (or closes) the list instead of pressing a button.
class EnterDropCombo : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  void showPopup() override;

 signals:
  // Emitted before the list opens, so that its items can be rebuilt first.
  void aboutToOpen();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ql40::ui
