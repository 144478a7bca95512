#include "alignment/ui/alignment_widgets.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "alignment/alignment_strings.h"
#include "codeplug/prompter.h"
#include "resources/strings.h"

namespace ql40::ui {

using alignment::SliderSession;

QString AlignmentText(int string_id) {
  return QString::fromStdString(res::FormatString(string_id));
}

namespace {

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  return b;
}

bool IsEnter(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

SliderDialog::SliderDialog(SliderSession& session, Options options, QWidget* parent)
    : QDialog(parent), session_(session), options_(std::move(options)), prompter_(this) {
  setObjectName("slider");
  setWindowTitle(QString());
  auto* layout = new QVBoxLayout(this);

  auto* value_row = new QHBoxLayout;
  auto* value_label = new QLabel(AlignmentText(alignment::kStrValue), this);
  value_ = new QLineEdit(this);
  value_->setObjectName("value");
  value_->setMaxLength(4);
  value_->setFixedWidth(value_->fontMetrics().horizontalAdvance("00000") + 12);
  value_->setAlignment(Qt::AlignRight);
  value_label->setBuddy(value_);
  value_row->addWidget(value_label);
  value_row->addWidget(value_);
  value_row->addStretch();
  auto* signal_label = new QLabel(AlignmentText(alignment::kStrRssi), this);
  signal_ = new QLabel(this);
  signal_->setObjectName("signal");
  signal_->setMinimumWidth(value_->width());
  value_row->addWidget(signal_label);
  value_row->addWidget(signal_);
  signal_label->setVisible(options_.show_signal);
  signal_->setVisible(options_.show_signal);
  layout->addLayout(value_row);

  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("slider");
  slider_->setRange(SliderSession::kMinimum, SliderSession::kMaximum);
  slider_->setPageStep(SliderSession::kPageStep);
  slider_->setSingleStep(SliderSession::kLineStep);
  slider_->setTickInterval(SliderSession::kTickInterval);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setMinimumWidth(360);
  slider_->setValue(session_.value());
  layout->addWidget(slider_);

  // Basic alignment shows the limits as "%3d" and "%-3d"; the fine dialog the other way round.
  auto* limits = new QHBoxLayout;
  auto* minimum = new QLabel(QString::fromStdString(SliderSession::MinimumLabel(options_.fine)));
  auto* maximum = new QLabel(QString::fromStdString(SliderSession::MaximumLabel(!options_.fine)));
  minimum->setObjectName("minimum");
  maximum->setObjectName("maximum");
  limits->addWidget(minimum);
  limits->addStretch();
  limits->addWidget(maximum);
  layout->addLayout(limits);

  hint_ = new QLabel(this);
  hint_->setObjectName("hint");
  hint_->setWordWrap(true);
  hint_->setMinimumHeight(hint_->fontMetrics().height() * 2);
  layout->addWidget(hint_);

  auto* buttons = new QHBoxLayout;
  auto* ok = MakeButton(tr("OK"), "1", this);
  auto* cancel = MakeButton(tr("Cancel"), "2", this);
  // Enter on OK asks first (the filter below); a focused Cancel takes Enter as a click.
  ok->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  setTabOrder(slider_, value_);
  setTabOrder(value_, ok);
  setTabOrder(ok, cancel);

  connect(slider_, &QSlider::valueChanged, this, &SliderDialog::OnSliderMoved);
  connect(value_, &QLineEdit::editingFinished, this, &SliderDialog::ApplyTyped);
  connect(ok, &QPushButton::clicked, this, &SliderDialog::AskAndClose);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  slider_->installEventFilter(this);
  value_->installEventFilter(this);
  ok->installEventFilter(this);

  value_->setText(QString::number(session_.value()));
  if (session_.signal()) signal_->setText(QString::number(*session_.signal()));
  slider_->setFocus();
}

void SliderDialog::Show(SliderSession::MoveResult result, int requested) {
  const int value = session_.value();
  if (slider_->value() != value) {
    const QSignalBlocker block(slider_);
    slider_->setValue(value);
  }
  value_->setText(QString::number(value));
  if (session_.signal()) signal_->setText(QString::number(*session_.signal()));
  if (result == SliderSession::MoveResult::kNotAllowed && options_.base) {
    hint_->setText(QString::fromStdString(res::FormatString(
        alignment::kStrTrimTooFar, {std::to_string(alignment::ClampByte(requested)),
                                    std::to_string(*options_.base), std::to_string(value)})));
  } else if (result == SliderSession::MoveResult::kAccepted) {
    hint_->clear();
  }
}

void SliderDialog::OnSliderMoved(int position) {
  if (busy_) return;
  busy_ = true;
  Show(session_.Move(position), position);
  busy_ = false;
}

void SliderDialog::ApplyTyped() {
  if (busy_) return;
  const std::string text = value_->text().toStdString();
  const auto typed = SliderSession::ParseTyped(text);
  if (!typed) {
    busy_ = true;
    value_->setText(QString::number(session_.value()));
    prompter_.Show(alignment::kStrNotANumber, MessageIcon::kExclamation, {text});
    busy_ = false;
    return;
  }
  busy_ = true;
  Show(session_.Move(*typed), *typed);
  busy_ = false;
}

void SliderDialog::AskAndClose() {
  const Answer answer =
      prompter_.Ask(alignment::kStrSaveAlignedData, MessageIcon::kQuestion, MessageButtons::kYesNo);
  if (answer == Answer::kYes) {
    accept();
  } else {
    reject();
  }
}

bool SliderDialog::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnter(event)) {
    if (watched == value_) {
      ApplyTyped();
      // Basic alignment takes the typed value as the answer; fine alignment keeps trimming.
      if (!options_.fine) accept();
      return true;
    }
    if (watched == slider_) {
      if (options_.fine) {
        AskAndClose();
      } else {
        accept();
      }
      return true;
    }
    if (watched->objectName() == "1") {
      AskAndClose();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

InstructionDialog::InstructionDialog(const QString& caption, const QString& text, QWidget* parent)
    : QDialog(parent) {
  setObjectName("instruction");
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(text, this);
  label->setObjectName("text");
  label->setWordWrap(true);
  // One line where it fits, so the level to set reads at a glance.
  label->setMinimumWidth(std::min(label->fontMetrics().horizontalAdvance(text) + 24, 640));
  layout->setSpacing(16);
  layout->addWidget(label);
  auto* buttons = new QHBoxLayout;
  auto* ok = MakeButton(tr("OK"), "1", this);
  auto* cancel = MakeButton(tr("Cancel"), "2", this);
  ok->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  ok->setFocus();
}

MeasurementDialog::MeasurementDialog(const QString& caption, link::AlignmentLink& link,
                                     alignment::LevelKind kind, QWidget* parent, int period_ms)
    : QDialog(parent), sampler_(link, kind, period_ms) {
  setObjectName("measurement");
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(AlignmentText(alignment::kStrAd), this));
  reading_ = new QLabel(this);
  reading_->setObjectName("reading");
  reading_->setMinimumWidth(reading_->fontMetrics().horizontalAdvance("00000"));
  row->addWidget(reading_);
  row->addStretch();
  layout->addLayout(row);
  question_ = new QLabel(AlignmentText(alignment::kStrSaveAlignedData), this);
  question_->setObjectName("question");
  question_->setVisible(false);
  layout->addWidget(question_);
  auto* buttons = new QHBoxLayout;
  ok_ = MakeButton(tr("OK"), "1", this);
  cancel_ = MakeButton(tr("Cancel"), "2", this);
  ok_->setEnabled(false);
  cancel_->setEnabled(false);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  setMinimumWidth(280);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

MeasurementDialog::~MeasurementDialog() {
  sampler_.Stop();
}

void MeasurementDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) return;
  started_ = true;
  sampling_ = true;
  // The timer thread hands the result to this dialog's thread; a dialog that is gone by then
  // drops it (its sampler was stopped first).
  sampler_.Start([this](std::optional<int> result) {
    QMetaObject::invokeMethod(
        this, [this, result] { Finished(result); }, Qt::QueuedConnection);
  });
}

void MeasurementDialog::Finished(std::optional<int> result) {
  sampling_ = false;
  result_ = result;
  if (result) {
    reading_->setText(QString::number(*result));
    question_->setVisible(true);
    ok_->setEnabled(true);
    ok_->setDefault(true);
    ok_->setFocus();
  } else {
    reading_->setText(AlignmentText(alignment::kStrValueError));
  }
  cancel_->setEnabled(true);
  if (!result) cancel_->setFocus();
}

void MeasurementDialog::reject() {
  // The readings use the link: nothing closes the dialog until they are done.
  if (sampling_) return;
  QDialog::reject();
}

void MeasurementDialog::closeEvent(QCloseEvent* event) {
  if (sampling_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace ql40::ui
