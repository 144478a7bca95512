#include "alignment/ui/alignment_dialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "alignment/alignment_strings.h"
#include "alignment/ui/alignment_widgets.h"
#include "shell/ui/hooks.h"

namespace ql40::ui {

using alignment::BasicAlignment;
using alignment::FineAlignment;

namespace {

QString Id(int id) {
  return QString::number(id);
}

QString FromStd(const std::string& s) {
  return QString::fromStdString(s);
}

QLineEdit* ReadOnlyBox(int id, int chars, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(Id(id));
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::ClickFocus);
  box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(chars, '0')) + 14);
  return box;
}

}  // namespace

ChannelPanel::ChannelPanel(alignment::ChannelSelection& model, const Ids& ids, QWidget* parent)
    : QWidget(parent), model_(model) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  channel_ = new QComboBox(this);
  channel_->setObjectName(Id(ids.channel));
  group_ = new QComboBox(this);
  group_->setObjectName(Id(ids.group));
  for (QComboBox* c : {channel_, group_}) {
    c->setMinimumContentsLength(4);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  }
  auto* channel_label = new QLabel(AlignmentText(alignment::kStrChannelNo), this);
  auto* group_label = new QLabel(AlignmentText(alignment::kStrGroupNo), this);
  channel_label->setBuddy(channel_);
  group_label->setBuddy(group_);
  grid->addWidget(channel_label, 0, 0);
  grid->addWidget(channel_, 0, 1);
  grid->addWidget(group_label, 1, 0);
  grid->addWidget(group_, 1, 1);

  const int text_ids[] = {ids.rx_frequency, ids.tx_frequency, ids.bandwidth, ids.rx_sub_audio,
                          ids.tx_sub_audio};
  const int label_ids[] = {alignment::kStrRxFrequency, alignment::kStrTxFrequency,
                           alignment::kStrWideNarrow, alignment::kStrRxSubAudio,
                           alignment::kStrTxSubAudio};
  const int widths[] = {11, 11, 7, 8, 8};
  // Frequencies side by side, then bandwidth and the two tones.
  const int rows[] = {0, 1, 0, 1, 2};
  const int cols[] = {2, 2, 4, 4, 4};
  for (std::size_t i = 0; i < texts_.size(); ++i) {
    texts_[i] = ReadOnlyBox(text_ids[i], widths[i], this);
    auto* label = new QLabel(AlignmentText(label_ids[i]), this);
    grid->addWidget(label, rows[i], cols[i], Qt::AlignRight);
    grid->addWidget(texts_[i], rows[i], cols[i] + 1);
  }
  grid->setColumnMinimumWidth(2, 24);
  grid->setColumnStretch(6, 1);

  connect(channel_, &QComboBox::activated, this, [this](int index) {
    model_.PickChannel(index);
    emit channelChanged();
  });
  connect(group_, &QComboBox::activated, this, [this](int index) {
    model_.PickGroup(index);
    emit channelChanged();
  });
}

void ChannelPanel::Refresh() {
  auto fill = [](QComboBox* combo, const std::vector<std::string>& items, int selection) {
    const QSignalBlocker block(combo);
    combo->clear();
    for (const auto& item : items) combo->addItem(FromStd(item));
    combo->setCurrentIndex(selection);
  };
  fill(group_, model_.GroupList(), model_.group_selection());
  fill(channel_, model_.ChannelList(), model_.channel_selection());
  const alignment::ChannelTexts t = model_.Texts();
  const std::string* values[] = {&t.rx_frequency, &t.tx_frequency, &t.bandwidth, &t.rx_sub_audio,
                                 &t.tx_sub_audio};
  for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i]->setText(FromStd(*values[i]));
}

AlignmentDialogBase::AlignmentDialogBase(alignment::ChannelSelection& model, int loading_id,
                                         QWidget* parent)
    : QDialog(parent), selection_(model), prompter_(this) {
  loading_ = new QLabel(AlignmentText(alignment::kStrNowLoading), this);
  loading_->setObjectName(Id(loading_id));
  loading_->setVisible(false);
}

ItemRow AlignmentDialogBase::MakeRow(int item, const QString& label, int label_id, int value_id,
                                     int start_id) {
  ItemRow row;
  row.label = new QLabel(label, this);
  if (label_id != 0) row.label->setObjectName(Id(label_id));
  row.value = ReadOnlyBox(value_id, 5, this);
  row.value->setAlignment(Qt::AlignRight);
  row.value->installEventFilter(this);
  row.start = new QPushButton(AlignmentText(alignment::kStrStart), this);
  row.start->setObjectName(Id(start_id));
  row.start->setAutoDefault(true);
  // One width for every label and button, so the value boxes line up down the dialog.
  row.label->setMinimumWidth(row.label->fontMetrics().horizontalAdvance("Battery Warning Level") +
                             8);
  row.start->setFixedWidth(row.start->fontMetrics().horizontalAdvance("START") + 40);
  connect(row.start, &QPushButton::clicked, this, [this, item] {
    if (running_ || !opened_) return;
    running_ = true;
    RunItem(item);
    running_ = false;
    RefreshAll();
  });
  if (rows_.size() <= static_cast<std::size_t>(item))
    rows_.resize(static_cast<std::size_t>(item) + 1);
  rows_[static_cast<std::size_t>(item)] = row;
  return row;
}

void AlignmentDialogBase::FinishLayout(QWidget* items) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel_);
  layout->addWidget(items);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(loading_);
  bottom->addStretch();
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName("1");
  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setObjectName("2");
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  layout->addLayout(bottom);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(panel_, &ChannelPanel::channelChanged, this, &AlignmentDialogBase::RefreshAll);
  // The loading line keeps its room whether it shows or not.
  QSizePolicy keep = loading_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  loading_->setSizePolicy(keep);
  panel_->channelCombo()->setFocus();
}

void AlignmentDialogBase::RefreshAll() {
  panel_->Refresh();
  Refresh();
}

void AlignmentDialogBase::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!opened_ && !running_) QTimer::singleShot(0, this, &AlignmentDialogBase::Open);
}

void AlignmentDialogBase::Open() {
  if (opened_ || running_) return;
  running_ = true;
  loading_->setVisible(true);
  loading_->repaint();
  selection_.Open();
  loading_->setVisible(false);
  running_ = false;
  opened_ = true;
  RefreshAll();
  panel_->channelCombo()->setFocus();
}

bool AlignmentDialogBase::eventFilter(QObject* watched, QEvent* event) {
  const bool enter = event->type() == QEvent::KeyPress &&
                     (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
  if (enter || event->type() == QEvent::MouseButtonDblClick) {
    for (const ItemRow& row : rows_) {
      if (row.value == watched && row.start != nullptr && row.start->isEnabled()) {
        row.start->click();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AlignmentDialogBase::accept() {
  if (running_ || closing_) return;
  closing_ = true;
  loading_->setText(AlignmentText(alignment::kStrNowInitializing));
  loading_->setVisible(true);
  loading_->repaint();
  AcceptModel();
  QDialog::accept();
}

void AlignmentDialogBase::reject() {
  if (running_ || closing_) return;
  closing_ = true;
  CancelModel();
  QDialog::reject();
}

BasicAlignmentDialog::BasicAlignmentDialog(link::AlignmentLink& link, Codeplug& doc,
                                           QWidget* parent)
    : AlignmentDialogBase(model_, BasicAlignment::kLoadingId, parent),
      link_(link),
      model_(link, doc, &prompter_, {}) {
  setObjectName(Id(BasicAlignment::kDialogId));
  setWindowTitle(AlignmentText(alignment::kStrBasicCaption));
  setProperty("helpContext", BasicAlignment::kHelpContext);
  panel_ = new ChannelPanel(
      model_,
      {BasicAlignment::kChannelComboId, BasicAlignment::kGroupComboId,
       BasicAlignment::kRxFrequencyId, BasicAlignment::kTxFrequencyId, BasicAlignment::kBandwidthId,
       BasicAlignment::kRxSubAudioId, BasicAlignment::kTxSubAudioId},
      this);
  auto* items = new QWidget(this);
  auto* grid = new QGridLayout(items);
  grid->setContentsMargins(0, 0, 0, 0);
  auto add = [this](QGridLayout* to, int item, int row, int column) {
    const ItemRow r = MakeRow(item, FromStd(model_.Label(item)), BasicAlignment::kLabelId + item,
                              BasicAlignment::kValueId + item, BasicAlignment::kStartId + item);
    to->addWidget(r.label, row, column);
    to->addWidget(r.value, row, column + 1);
    to->addWidget(r.start, row, column + 2);
    const bool visible = BasicAlignment::Visible(item);
    r.label->setVisible(visible);
    r.value->setVisible(visible);
    r.start->setVisible(visible);
  };
  // Left: frequency, the power box, deviations and microphone; right: the squelch box and the
  // battery levels.
  auto* power = new QGroupBox(AlignmentText(alignment::kStrTxPowerBox), items);
  auto* power_grid = new QGridLayout(power);
  for (int i = 1; i <= 4; ++i) add(power_grid, i, i - 1, 0);
  auto* sql = new QGroupBox(AlignmentText(alignment::kStrSqlBox), items);
  auto* sql_grid = new QGridLayout(sql);
  for (int i = 7; i <= 10; ++i) add(sql_grid, i, i - 7, 0);
  auto* left = new QGridLayout;
  auto* right = new QGridLayout;
  add(left, 0, 0, 0);
  left->addWidget(power, 1, 0, 1, 3);
  add(left, 5, 2, 0);
  add(left, 6, 3, 0);
  add(left, 11, 4, 0);
  right->addWidget(sql, 0, 0, 1, 3);
  add(right, 12, 1, 0);
  add(right, 13, 2, 0);
  left->setRowStretch(5, 1);
  right->setRowStretch(3, 1);
  grid->addLayout(left, 0, 0);
  grid->addLayout(right, 0, 1);
  grid->setColumnMinimumWidth(0, 10);
  grid->setHorizontalSpacing(24);
  FinishLayout(items);
  RefreshAll();
}

void BasicAlignmentDialog::Refresh() {
  for (int i = 0; i < BasicAlignment::kItemCount; ++i) {
    const ItemRow& r = rows_[static_cast<std::size_t>(i)];
    r.label->setText(FromStd(model_.Label(i)));
    r.value->setText(opened_ ? FromStd(model_.ValueText(i)) : QString());
    const bool enabled = opened_ && model_.Enabled(i);
    r.value->setEnabled(enabled);
    r.start->setEnabled(enabled);
  }
}

void BasicAlignmentDialog::RunItem(int item) {
  if (!model_.Enabled(item)) return;
  if (BasicAlignment::IsMeasured(item)) {
    RunMeasured(item);
  } else {
    RunSlider(item);
  }
}

void BasicAlignmentDialog::RunSlider(int item) {
  auto session = model_.BeginSlider(item);
  if (!session) return;
  SliderDialog dialog(*session, {}, this);
  const bool ok = dialog.exec() == QDialog::Accepted;
  session->End(ok);
}

void BasicAlignmentDialog::RunMeasured(int item) {
  const QString caption = AlignmentText(model_.InstructionCaption(item));
  InstructionDialog instruction(caption, AlignmentText(BasicAlignment::InstructionText(item)),
                                this);
  if (instruction.exec() != QDialog::Accepted) return;
  MeasurementDialog measurement(caption, link_, BasicAlignment::LevelOf(item), this,
                                measurement_period_ms_);
  if (measurement.exec() == QDialog::Accepted && measurement.result()) {
    model_.StoreMeasured(item, *measurement.result());
  }
}

FineAlignmentDialog::FineAlignmentDialog(link::AlignmentLink& link, Codeplug& doc, QWidget* parent)
    : AlignmentDialogBase(model_, FineAlignment::kLoadingId, parent),
      model_(link, doc, &prompter_, {}) {
  setObjectName(Id(FineAlignment::kDialogId));
  setWindowTitle(AlignmentText(alignment::kStrFineCaption));
  setProperty("helpContext", FineAlignment::kHelpContext);
  panel_ = new ChannelPanel(
      model_,
      {FineAlignment::kChannelComboId, FineAlignment::kGroupComboId, FineAlignment::kRxFrequencyId,
       FineAlignment::kTxFrequencyId, FineAlignment::kBandwidthId, FineAlignment::kRxSubAudioId,
       FineAlignment::kTxSubAudioId},
      this);
  auto* items = new QWidget(this);
  auto* grid = new QGridLayout(items);
  grid->setContentsMargins(0, 0, 0, 0);
  auto add = [this](QGridLayout* to, int item, int row) {
    const ItemRow r = MakeRow(item, FromStd(model_.Label(item)), 0, FineAlignment::kValueId + item,
                              FineAlignment::kStartId + item);
    to->addWidget(r.label, row, 0);
    to->addWidget(r.value, row, 1);
    to->addWidget(r.start, row, 2);
  };
  auto* power = new QGroupBox(AlignmentText(alignment::kStrTxPowerBox), items);
  auto* power_grid = new QGridLayout(power);
  add(power_grid, FineAlignment::kHighPower, 0);
  add(power_grid, FineAlignment::kLowPower, 1);
  auto* frequency = new QGroupBox(AlignmentText(alignment::kStrFrequencyBox), items);
  auto* frequency_grid = new QGridLayout(frequency);
  add(frequency_grid, FineAlignment::kDa, 0);
  frequency->setVisible(FineAlignment::Visible(FineAlignment::kDa));
  auto* left = new QGridLayout;
  add(left, FineAlignment::kRxTune, 0);
  left->addWidget(power, 1, 0, 1, 3);
  auto* right = new QGridLayout;
  add(right, FineAlignment::kMaxDeviation, 0);
  add(right, FineAlignment::kSubAudio, 1);
  right->addWidget(frequency, 2, 0, 1, 3);
  right->setRowStretch(3, 1);
  grid->addLayout(left, 0, 0, Qt::AlignTop);
  grid->addLayout(right, 0, 1, Qt::AlignTop);
  grid->setHorizontalSpacing(24);
  FinishLayout(items);
  RefreshAll();
}

void FineAlignmentDialog::Refresh() {
  for (int i = 0; i < FineAlignment::kItemCount; ++i) {
    const ItemRow& r = rows_[static_cast<std::size_t>(i)];
    r.label->setText(FromStd(model_.Label(i)));
    r.value->setText(opened_ ? FromStd(model_.ValueText(i)) : QString());
    const bool enabled = opened_ && model_.Enabled(i);
    r.value->setEnabled(enabled);
    r.start->setEnabled(enabled);
  }
}

void FineAlignmentDialog::RunItem(int item) {
  auto session = model_.BeginSlider(item);
  if (!session) return;
  SliderDialog::Options options;
  options.fine = true;
  options.show_signal = item == FineAlignment::kRxTune;
  options.base = model_.Base(item);
  SliderDialog dialog(*session, options, this);
  const bool ok = dialog.exec() == QDialog::Accepted;
  session->End(ok);
}

bool RunAlignmentDialog(bool fine, QWidget* parent, link::AlignmentLink& link, Codeplug& doc,
                        shell::AppContext&) {
  if (fine) {
    FineAlignmentDialog dialog(link, doc, parent);
    return dialog.exec() == QDialog::Accepted;
  }
  BasicAlignmentDialog dialog(link, doc, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace ql40::ui
