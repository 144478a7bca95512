#include "settings/ui/settings_dialog.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "resources/strings.h"
#include "settings/ui/form_widgets.h"
#include "shell/ui/hooks.h"
#include "shell/ui/qt_prompter.h"

namespace ql40::ui {
namespace {

QString Str(int id) {
  const auto text = res::LoadString(id);
  return text ? QString::fromStdString(std::string(*text)) : QString();
}

QStringList ToQt(const std::vector<std::string>& items) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& s : items) out << QString::fromStdString(s);
  return out;
}

// Button ids of the dialog templates.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

}  // namespace

SettingsDialog::SettingsDialog(FormModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QString::number(model_.DialogId()));
  setWindowTitle(Str(model_.TitleId()));
  setModal(true);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(11, 11, 11, 8);
  outer->addLayout(body);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  body->addLayout(grid);
  const int heading_row = model_.Headings().empty() ? 0 : 1;
  for (const FormHeading& h : model_.Headings()) {
    auto* label = new QLabel(Str(h.string_id), this);
    label->setObjectName(QStringLiteral("heading%1").arg(h.string_id));
    grid->addWidget(label, 0, h.column, 1, h.column_span);
  }
  for (const FormControl& c : model_.Controls()) {
    FormControl placed = c;
    placed.row += heading_row;
    QWidget* w = Build(placed, grid);
    widgets_.insert(c.id, w);
    ids_.insert(w, c.id);
    w->installEventFilter(this);
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(tr("OK"), this);
  ok_->setObjectName(QString::number(kIdOk));
  cancel_ = new QPushButton(tr("Cancel"), this);
  cancel_->setObjectName(QString::number(kIdCancel));
  for (QPushButton* b : {ok_, cancel_}) {
    // Enter is routed by keyPressEvent, never by a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    buttons->addWidget(b);
  }
  body->addSpacing(6);
  body->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, &SettingsDialog::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &SettingsDialog::reject);

  status_ = new QStatusBar(this);
  status_->setSizeGripEnabled(false);
  message_pane_ = new QLabel(this);
  message_pane_->setObjectName(QStringLiteral("messagePane"));
  indicator_pane_ = new QLabel(Str(res::kStrKeyOperation), this);
  indicator_pane_->setObjectName(QStringLiteral("indicatorPane"));
  indicator_pane_->setAlignment(Qt::AlignCenter);
  indicator_pane_->setMinimumWidth(
      QFontMetrics(indicator_pane_->font()).horizontalAdvance(Str(res::kStrKeyOperation)) + 12);
  // Wide enough for the longest prompt of the dialog, so that no prompt is cut short.
  int widest_prompt = 0;
  for (const FormControl& c : model_.Controls()) {
    if (const auto panes = FormPrompt(c.id)) {
      widest_prompt =
          std::max(widest_prompt, QFontMetrics(message_pane_->font())
                                      .horizontalAdvance(QString::fromStdString(panes->message)));
    }
  }
  message_pane_->setMinimumWidth(std::min(widest_prompt + 8, 720));
  status_->addWidget(message_pane_, 1);
  status_->addPermanentWidget(indicator_pane_);
  outer->addWidget(status_);

  Refresh();
}

QWidget* SettingsDialog::Build(const FormControl& c, QGridLayout* grid) {
  QWidget* w = nullptr;
  // Lists, edits and spin boxes carry their label beside them; the others show it themselves.
  bool labelled = false;
  switch (c.kind) {
    case FormControlKind::kLabel:
      w = new QLabel(Str(c.label_id), this);
      break;
    case FormControlKind::kList:
      w = BuildList(c);
      labelled = c.label_id != 0;
      break;
    case FormControlKind::kEdit:
      w = BuildEdit(c);
      labelled = c.label_id != 0;
      break;
    case FormControlKind::kCheck:
      w = BuildCheck(c);
      break;
    case FormControlKind::kRadio:
      w = BuildRadio(c);
      break;
    case FormControlKind::kButton:
      w = BuildButton(c);
      break;
    case FormControlKind::kSpin:
      w = BuildSpin(c);
      labelled = c.label_id != 0;
      break;
  }
  w->setObjectName(QString::number(c.id));
  if (labelled) {
    auto* label = new QLabel(Str(c.label_id), this);
    label->setObjectName(QStringLiteral("label%1").arg(c.id));
    label->setBuddy(w);
    grid->addWidget(label, c.row, std::max(0, c.column - 1));
  }
  grid->addWidget(w, c.row, c.column, 1, c.column_span);
  return w;
}

QWidget* SettingsDialog::BuildList(const FormControl& c) {
  auto* combo = new EnterDropCombo(this);
  combo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  const int id = c.id;
  connect(combo, &QComboBox::activated, this, [this, id](int index) {
    if (refreshing_) return;
    model_.Select(id, index);
    Refresh();
  });
  connect(combo, &EnterDropCombo::aboutToOpen, this, [this, id] {
    if (refreshing_) return;
    model_.ListOpening(id);
    Refresh();
  });
  return combo;
}

QWidget* SettingsDialog::BuildEdit(const FormControl& c) {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  auto* edit = new FilterEdit(c.max_length, c.filter, c.upper_case, this);
  edit->setFont(fixed);
  const int chars = std::max(c.max_length, 8) + 3;
  edit->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(chars, QChar('0'))));
  const int id = c.id;
  connect(edit, &FilterEdit::ended, this, [this, id] { OnEditEnded(id); });
  connect(edit, &FilterEdit::left, this, [this, edit] {
    if (!edit->hold_text) return;
    edit->hold_text = false;
    Refresh();
  });
  connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
    if (refreshing_) return;
    model_.TextEdited(id, text.toStdString());
    Refresh();  // enabling may follow the text (a pause character, a paging code)
  });
  return edit;
}

QWidget* SettingsDialog::BuildCheck(const FormControl& c) {
  auto* check = new QCheckBox(Str(c.label_id), this);
  const int id = c.id;
  connect(check, &QCheckBox::clicked, this, [this, id](bool on) {
    model_.SetChecked(id, on);
    Refresh();
  });
  return check;
}

QWidget* SettingsDialog::BuildRadio(const FormControl& c) {
  auto* radio = new QRadioButton(Str(c.label_id), this);
  radio->setAutoExclusive(false);  // the model decides which one is chosen
  const int group = c.group;
  const int index = c.group_index;
  connect(radio, &QRadioButton::clicked, this, [this, group, index] {
    model_.Select(group, index);
    Refresh();
  });
  return radio;
}

QWidget* SettingsDialog::BuildButton(const FormControl& c) {
  auto* button = new QPushButton(Str(c.label_id), this);
  button->setAutoDefault(false);
  const int id = c.id;
  connect(button, &QPushButton::clicked, this, [this, id] {
    model_.Press(id);
    Refresh();
  });
  return button;
}

QWidget* SettingsDialog::BuildSpin(const FormControl& c) {
  auto* spin = new QSpinBox(this);
  spin->setRange(c.minimum, c.maximum);
  const int id = c.id;
  connect(spin, &QSpinBox::valueChanged, this, [this, id](int value) {
    if (refreshing_) return;
    model_.SetValue(id, value);
    Refresh();
  });
  return spin;
}

void SettingsDialog::Refresh() {
  refreshing_ = true;
  for (const FormControl& c : model_.Controls()) {
    QWidget* w = widgets_.value(c.id);
    if (w == nullptr) continue;
    const bool enabled = model_.Enabled(c.id) && c.commit != FormEditCommit::kReadOnly;
    w->setVisible(model_.Visible(c.id));
    switch (c.kind) {
      case FormControlKind::kLabel:
        if (c.label_id == 0)
          static_cast<QLabel*>(w)->setText(QString::fromStdString(model_.Text(c.id)));
        w->setEnabled(enabled);
        break;
      case FormControlKind::kList: {
        auto* combo = static_cast<QComboBox*>(w);
        const QStringList items = ToQt(model_.Items(c.id));
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        if (shown != items) {
          combo->clear();
          combo->addItems(items);
        }
        combo->setCurrentIndex(model_.Selection(c.id));
        combo->setEnabled(enabled);
        break;
      }
      case FormControlKind::kEdit: {
        auto* edit = static_cast<FilterEdit*>(w);
        edit->SetFieldEnabled(enabled);
        if (edit->frame().state() != EditState::kEditing && !edit->hold_text) {
          const QString text = QString::fromStdString(model_.Text(c.id));
          if (edit->text() != text) edit->setText(text);
        }
        break;
      }
      case FormControlKind::kCheck:
        static_cast<QCheckBox*>(w)->setChecked(model_.Checked(c.id));
        w->setEnabled(enabled);
        break;
      case FormControlKind::kRadio:
        static_cast<QRadioButton*>(w)->setChecked(model_.Selection(c.group) == c.group_index);
        w->setEnabled(enabled);
        break;
      case FormControlKind::kButton:
        w->setEnabled(enabled);
        break;
      case FormControlKind::kSpin:
        static_cast<QSpinBox*>(w)->setValue(model_.Value(c.id));
        w->setEnabled(enabled);
        break;
    }
  }
  refreshing_ = false;
}

int SettingsDialog::ShowPrompt(int control_id) {
  const int previous = prompt_id_;
  const auto panes = FormPrompt(control_id);
  if (!panes) return previous;  // no prompt: the status bar keeps what it shows
  message_pane_->setText(QString::fromStdString(panes->message));
  indicator_pane_->setText(QString::fromStdString(panes->indicator));
  prompt_id_ = control_id;
  return previous;
}

QString SettingsDialog::MessagePane() const {
  return message_pane_->text();
}
QString SettingsDialog::IndicatorPane() const {
  return indicator_pane_->text();
}

void SettingsDialog::OnEditEnded(int id) {
  const FormControl* c = model_.Find(id);
  auto* edit = qobject_cast<FilterEdit*>(widgets_.value(id));
  if (c == nullptr || edit == nullptr || c->commit != FormEditCommit::kOnEnter) return;
  if (!edit->frame().TakeChanged()) return;
  const FormCommit result = model_.Commit(id, edit->text().toStdString());
  edit->setText(QString::fromStdString(result.text));
  if (!result.accepted) {
    // The typed text stays and the field gets the focus back (after a message box, if any).
    edit->hold_text = true;
    refused_ = true;
    QTimer::singleShot(0, edit, [edit] {
      edit->setFocus(Qt::OtherFocusReason);
      edit->selectAll();
    });
  } else {
    edit->hold_text = false;
    refused_ = false;
  }
  Refresh();
}

void SettingsDialog::OnOk() {
  if (closing_) return;
  if (refused_) {
    refused_ = false;  // the click that made the refused edit lose the focus
    return;
  }
  if (model_.OkNeedsFocus() && focusWidget() != ok_) return;
  if (!model_.Ok()) {
    Refresh();
    return;
  }
  closing_ = true;
  QDialog::accept();
}

void SettingsDialog::accept() {
  OnOk();
}

void SettingsDialog::reject() {
  if (closing_) return;
  closing_ = true;
  model_.Cancel();
  QDialog::reject();
}

void SettingsDialog::OnHelp() {
  emit helpRequested(model_.HelpContext());
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    OnHelp();
    event->accept();
    return;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
    QWidget* focus = focusWidget();
    if (focus == cancel_) {
      reject();
    } else if (auto* button = qobject_cast<QPushButton*>(focus); button != nullptr) {
      button->click();
    } else if (!model_.OkNeedsFocus()) {
      refused_ = false;
      OnOk();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);  // Escape: Cancel
}

void SettingsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!first_show_) return;
  first_show_ = false;
  // Keyboard first: the first control that can take the focus gets it.
  for (const FormControl& c : model_.Controls()) {
    QWidget* w = widgets_.value(c.id);
    if (w != nullptr && w->isEnabled() && w->isVisible() && w->focusPolicy() != Qt::NoFocus) {
      w->setFocus(Qt::TabFocusReason);
      ShowPrompt(c.id);
      return;
    }
  }
  ok_->setFocus(Qt::TabFocusReason);
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    const auto it = ids_.constFind(watched);
    if (it != ids_.constEnd()) ShowPrompt(it.value());
  }
  return QDialog::eventFilter(watched, event);
}

FormOutcome RunFormDialog(FormModel& model, QWidget* parent, QtPrompter* prompter) {
  SettingsDialog dialog(model, parent);
  if (prompter != nullptr) prompter->set_parent(&dialog);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (prompter != nullptr) prompter->set_parent(parent);
  FormOutcome outcome = model.outcome();
  outcome.accepted = accepted;
  return outcome;
}

DialogOutcome ToDialogOutcome(const FormOutcome& outcome) {
  DialogOutcome out;
  out.accepted = outcome.accepted;
  out.band_changed = outcome.band_changed;
  out.product_changed = outcome.product_changed;
  out.hardware_changed = outcome.hardware_changed;
  out.option_unit_changed = outcome.option_unit_changed;
  return out;
}

}  // namespace ql40::ui
