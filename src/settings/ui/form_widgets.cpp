#include "settings/ui/form_widgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPalette>

namespace ql40::ui {

FilterEdit::FilterEdit(int max_length, int filter, bool upper_case, QWidget* parent)
    : QLineEdit(parent), frame_(max_length, filter, upper_case) {
  // Text arrives only through the filter: no drops, no context-menu paste.
  setAcceptDrops(false);
  setDragEnabled(false);
  setContextMenuPolicy(Qt::NoContextMenu);
  ApplyState();
}

void FilterEdit::SetFieldEnabled(bool enabled) {
  const bool enabled_now = frame_.state() != EditState::kDisabled;
  if (enabled == enabled_now) return;
  frame_.SetEnabled(enabled);
  ApplyState();
}

void FilterEdit::ApplyState() {
  const EditState state = frame_.state();
  setEnabled(state != EditState::kDisabled);
  setReadOnly(state != EditState::kEditing);
  // The length limit holds only while editing; the shown text may carry a unit after it.
  setMaxLength(state == EditState::kEditing && frame_.max_length() > 0 ? frame_.max_length()
                                                                       : 32767);
  QPalette pal = QApplication::palette(this);
  switch (state) {
    case EditState::kIdle:
      break;
    case EditState::kEditing:
      pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
      pal.setColor(QPalette::Text, pal.color(QPalette::WindowText));
      break;
    case EditState::kDisabled:
      pal.setColor(QPalette::Disabled, QPalette::Base, pal.color(QPalette::Window));
      pal.setColor(QPalette::Disabled, QPalette::Text,
                   pal.color(QPalette::Disabled, QPalette::WindowText));
      break;
  }
  setPalette(pal);
  setProperty("editState", static_cast<int>(state));
}

void FilterEdit::Apply(const EditFrame::Effect& effect) {
  // The state's length limit first: Escape puts back the text shown before the edit, which
  // may be longer than the editing length ("21.60MHz" of a five-character field), and the
  // editing limit would cut it again.
  const QString text_before = text();
  ApplyState();
  if (effect.set_text) {
    // Escape putting back the earlier text is a change of the text too: models that read
    // their fields on OK (TextEdited) must see it.
    const QString text_now = QString::fromStdString(*effect.set_text);
    const bool differs = text_now != text_before;
    setText(text_now);
    if (differs) emit textEdited(text_now);
  }
  if (effect.select_all) selectAll();
  if (effect.clear_selection) deselect();
  if (effect.ended) emit ended();
}

void FilterEdit::TypeText(const QString& typed_text) {
  for (const QChar qc : typed_text) {
    const char c = qc.toLatin1();
    if (c == 0) continue;  // outside Latin-1: no filter mode takes it
    const auto typed = frame_.Type(c, text().toStdString());
    if (!typed) continue;
    if (typed->start) {
      const std::string cut = frame_.Cut(text().toStdString());
      setText(QString::fromStdString(cut));
      ApplyState();
      selectAll();
    }
    insert(QString(QChar::fromLatin1(typed->ch)));
  }
}

void FilterEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const auto effect = frame_.EnterOrDoubleClick(text().toStdString());
      Apply(effect);
      event->accept();  // never reaches the default button
      return;
    }
    case Qt::Key_Escape: {
      const auto effect = frame_.Escape();
      if (effect.consumed) {
        Apply(effect);
        event->accept();
      } else {
        event->ignore();  // the dialog's Cancel
      }
      return;
    }
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      if (frame_.state() == EditState::kEditing) QLineEdit::keyPressEvent(event);
      return;
    default:
      break;
  }
  if (event->matches(QKeySequence::Paste)) {
    TypeText(QApplication::clipboard()->text());
    return;
  }
  if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
      event->matches(QKeySequence::Redo)) {
    if (frame_.state() == EditState::kEditing) QLineEdit::keyPressEvent(event);
    return;
  }
  const QString typed = event->text();
  const bool printable =
      !typed.isEmpty() && typed.at(0).isPrint() &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (printable) {
    TypeText(typed);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);  // cursor keys, Home, End, Tab, copy
}

void FilterEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLineEdit::mouseDoubleClickEvent(event);
    return;
  }
  Apply(frame_.EnterOrDoubleClick(text().toStdString()));
  event->accept();
}

void FilterEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  const auto effect = frame_.FocusLost();
  Apply(effect);
  if (!effect.ended) emit left();
}

void EnterDropCombo::showPopup() {
  emit aboutToOpen();
  QComboBox::showPopup();
}

void EnterDropCombo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter works as F4: it opens the list (the open list's own Enter chooses and closes).
    if (view() != nullptr && view()->isVisible()) {
      hidePopup();
    } else {
      showPopup();
    }
    event->accept();
    return;
  }
  QComboBox::keyPressEvent(event);
}

}  // namespace ql40::ui
