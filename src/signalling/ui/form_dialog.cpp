#include "signalling/ui/form_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "resources/strings.h"

namespace ql40::ui {
namespace {

QString Str(int id) {
  return QString::fromStdString(std::string(res::LoadString(id).value_or("")));
}

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// What the field's filter lets through of a text, upper-cased where the field converts.
QString Filtered(const QString& text, int mode, bool upper) {
  QString kept;
  for (QChar c : text) {
    const char byte = c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '\0';
    if (byte == '\0' || !FilterAccepts(mode, byte)) continue;
    kept += upper ? c.toUpper() : c;
  }
  return kept;
}

constexpr int kNoMaxLength = 32767;

}  // namespace

// --- EnterDropCombo -----------------------------------------------------------------------

void EnterDropCombo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
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

// --- FormEdit -----------------------------------------------------------------------------

FormEdit::FormEdit(const ControlSpec& spec, QWidget* parent) : QLineEdit(parent), spec_(spec) {
  setObjectName(QString::number(spec.id));
  // Text reaches the field only through the keys below, so that the filter sees all of it.
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  SetState(spec.commit == EditCommit::kReadOnly ? State::kDisabled : State::kIdle);
}

void FormEdit::SetUsable(bool usable) {
  if (spec_.commit == EditCommit::kReadOnly) usable = false;
  if (usable && state_ == State::kDisabled) SetState(State::kIdle);
  if (!usable && state_ != State::kDisabled) SetState(State::kDisabled);
}

void FormEdit::SetState(State state) {
  state_ = state;
  QPalette p = palette();
  const QPalette standard;
  switch (state) {
    case State::kIdle:
      setEnabled(true);
      setReadOnly(true);
      p.setColor(QPalette::Base, standard.color(QPalette::Active, QPalette::Base));
      p.setColor(QPalette::Text, standard.color(QPalette::Active, QPalette::Text));
      break;
    case State::kEditing:
      setEnabled(true);
      setReadOnly(false);
      p.setColor(QPalette::Base, standard.color(QPalette::Active, QPalette::ToolTipBase));
      p.setColor(QPalette::Text, standard.color(QPalette::Active, QPalette::Text));
      break;
    case State::kDisabled:
      setReadOnly(false);
      setEnabled(false);
      p.setColor(QPalette::Disabled, QPalette::Base,
                 standard.color(QPalette::Active, QPalette::Window));
      p.setColor(QPalette::Disabled, QPalette::Text,
                 standard.color(QPalette::Disabled, QPalette::Text));
      break;
  }
  setPalette(p);
  update();
}

void FormEdit::BeginEdit() {
  if (state_ != State::kIdle) return;
  text_at_start_ = text();
  if (spec_.max_length > 0) setMaxLength(spec_.max_length);  // cuts the text too
  SetState(State::kEditing);
  selectAll();
}

void FormEdit::EndEdit() {
  selectAll();
  SetState(State::kIdle);
  setMaxLength(kNoMaxLength);  // the canonical text may be longer than what can be typed
  emit editEnded();
}

void FormEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (state_ == State::kIdle) {
      BeginEdit();
    } else if (state_ == State::kEditing) {
      EndEdit();
    }
    event->accept();  // never the dialog's default button
    return;
  }
  if (key == Qt::Key_Escape) {
    if (state_ == State::kEditing) {
      setText(text_at_start_);
      selectAll();
      SetState(State::kIdle);
      setMaxLength(kNoMaxLength);
      emit textEdited(text());  // the form takes back the text too
      event->accept();
      return;
    }
    event->ignore();  // Escape in Idle cancels the dialog
    return;
  }
  if (event->matches(QKeySequence::Paste)) {
    const QString pasted =
        Filtered(QApplication::clipboard()->text(), spec_.filter, spec_.upper_case);
    if (!pasted.isEmpty() && state_ == State::kIdle) BeginEdit();
    if (!pasted.isEmpty() && state_ == State::kEditing) {
      insert(pasted);
      emit textEdited(text());
    }
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo) ||
      event->matches(QKeySequence::Redo)) {
    if (state_ != State::kEditing) {
      event->accept();
      return;
    }
  }
  const QString typed = event->text();
  const bool printable = typed.size() == 1 && typed[0].isPrint() &&
                         (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
  if (printable) {
    QChar c = typed[0];
    const char byte = c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '\0';
    if (byte == '\0' || !FilterAccepts(spec_.filter, byte)) {
      event->accept();  // rejected by the filter: discarded
      return;
    }
    if (spec_.upper_case) c = c.toUpper();
    if (state_ == State::kIdle) BeginEdit();
    if (state_ == State::kEditing) {
      insert(QString(c));
      emit textEdited(text());
    }
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void FormEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLineEdit::mouseDoubleClickEvent(event);
    return;
  }
  if (state_ == State::kIdle) {
    BeginEdit();
  } else if (state_ == State::kEditing) {
    EndEdit();
  }
  event->accept();
}

void FormEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  deselect();
  if (state_ == State::kEditing) {
    SetState(State::kIdle);
    setMaxLength(kNoMaxLength);
    emit editEnded();
  }
}

// --- FormDialog ---------------------------------------------------------------------------

FormDialog::FormDialog(DialogForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QString::number(form_.DialogId()));
  setWindowTitle(Str(form_.TitleId()));
  Build();
  Sync();
  // Edit fields are as wide as what they hold or take, not as wide as the dialog.
  for (const ControlSpec& spec : form_.Controls()) {
    auto* edit = qobject_cast<FormEdit*>(controls_[spec.id]);
    if (edit == nullptr) continue;
    const int chars = std::max<int>(spec.max_length, static_cast<int>(edit->text().size()));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(chars + 3, QChar('0'))));
  }
}

void FormDialog::Build() {
  auto* main = new QVBoxLayout(this);
  main->setContentsMargins(0, 0, 0, 0);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(12, 12, 12, 8);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  body->addLayout(grid);

  for (const HeadingSpec& h : form_.Headings()) {
    auto* heading = new QLabel(Str(h.string_id), this);
    grid->addWidget(heading, 0, h.column);
  }

  for (const ControlSpec& spec : form_.Controls()) {
    QWidget* widget = nullptr;
    const int id = spec.id;
    if (spec.kind == ControlKind::kList) {
      auto* combo = new EnterDropCombo(this);
      combo->setObjectName(QString::number(id));
      combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      connect(combo, &QComboBox::currentIndexChanged, this, [this, id](int index) {
        if (syncing_ || index < 0) return;
        form_.Select(id, index);
        Sync();
      });
      widget = combo;
    } else {
      auto* edit = new FormEdit(spec, this);
      connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
        if (syncing_) return;
        form_.TextEdited(id, text.toStdString());
        Sync();
      });
      const EditCommit commit = spec.commit;
      connect(edit, &FormEdit::editEnded, this, [this, id, edit, commit]() {
        if (commit != EditCommit::kOnEnter) return;
        const std::string canonical = form_.Commit(id, edit->text().toStdString());
        syncing_ = true;
        edit->setText(Text(canonical));
        syncing_ = false;
        Sync();
      });
      widget = edit;
    }
    widget->installEventFilter(this);
    grid->addWidget(widget, spec.row, spec.column);
    controls_[id] = widget;
    if (spec.label_id != 0) {
      auto* label = new QLabel(Str(spec.label_id), this);
      label->setBuddy(widget);
      grid->addWidget(label, spec.row, spec.column - 1);
      labels_[id] = label;
    }
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(tr("OK"), this);
  ok_->setObjectName("1");
  ok_->setDefault(true);
  cancel_ = new QPushButton(tr("Cancel"), this);
  cancel_->setObjectName("2");
  connect(ok_, &QPushButton::clicked, this, &FormDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &FormDialog::reject);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  body->addSpacing(6);
  body->addLayout(buttons);
  main->addLayout(body);

  // The status bar: the prompt of the focused control, and the indicator sized to its text.
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  message_ = new QLabel(this);
  message_->setObjectName("statusMessage");
  const QString key_operation = Str(res::kStrKeyOperation);
  indicator_ = new QLabel(key_operation, this);
  indicator_->setObjectName("statusIndicator");
  indicator_->setMinimumWidth(indicator_->fontMetrics().horizontalAdvance(key_operation) + 8);
  status->addWidget(message_, 1);
  status->addPermanentWidget(indicator_);
  main->addWidget(status);
}

int FormDialog::ShowPrompt(int control_id) {
  const auto panes = PromptOf(control_id);
  if (!panes) return prompt_id_;
  message_->setText(Text(panes->message));
  indicator_->setText(Text(panes->indicator));
  const int previous = prompt_id_;
  prompt_id_ = control_id;
  return previous;
}

void FormDialog::Sync() {
  syncing_ = true;
  for (const ControlSpec& spec : form_.Controls()) {
    QWidget* widget = controls_[spec.id];
    const bool enabled = form_.Enabled(spec.id);
    const bool visible = form_.Visible(spec.id);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      const std::vector<std::string> items = form_.Items(spec.id);
      bool same = combo->count() == static_cast<int>(items.size());
      for (int i = 0; same && i < combo->count(); ++i) {
        same = combo->itemText(i) == Text(items[static_cast<std::size_t>(i)]);
      }
      if (!same) {
        combo->clear();
        for (const std::string& item : items) combo->addItem(Text(item));
      }
      combo->setCurrentIndex(form_.Selection(spec.id));
      combo->setEnabled(enabled);
    } else if (auto* edit = qobject_cast<FormEdit*>(widget)) {
      edit->SetUsable(enabled);
      if (!edit->editing()) {
        const QString text = Text(form_.Text(spec.id));
        if (edit->text() != text) edit->setText(text);
      }
    }
    widget->setVisible(visible);
  }
  syncing_ = false;
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    const int id = watched->objectName().toInt();
    if (id != 0) ShowPrompt(id);
  }
  return QDialog::eventFilter(watched, event);
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    last_help_context_ = form_.HelpContext();
    emit helpRequested(last_help_context_);
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void FormDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (focus_set_) return;
  focus_set_ = true;
  for (const ControlSpec& spec : form_.Controls()) {
    QWidget* widget = controls_[spec.id];
    if (widget->isEnabled() && form_.Visible(spec.id)) {
      widget->setFocus(Qt::OtherFocusReason);
      ShowPrompt(spec.id);
      break;
    }
  }
}

void FormDialog::accept() {
  // With fields that commit on Enter, only the OK button itself confirms the dialog.
  if (form_.OkNeedsFocus() && focusWidget() != ok_) return;
  form_.Ok();
  QDialog::accept();
}

void FormDialog::reject() {
  form_.Cancel();
  QDialog::reject();
}

bool RunFormDialog(DialogForm& form, QWidget* parent) {
  FormDialog dialog(form, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace ql40::ui
