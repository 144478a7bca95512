#pragma once

// The Basic Alignment and Channel Fine Alignment dialogs: the channel panel on top, one row per
// item (label, value, START) below. Everything they decide is in the core models; these only
// show them and run each item's small dialogs.

#include <QDialog>
#include <array>
#include <memory>
#include <vector>

#include "alignment/basic_alignment.h"
#include "alignment/fine_alignment.h"
#include "alignment/level_sampler.h"
#include "shell/ui/qt_prompter.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ql40::ui {

// Channel No. and Group No. with the channel's frequencies, bandwidth and tones.
class ChannelPanel : public QWidget {
  Q_OBJECT
 public:
  struct Ids {
    int channel, group, rx_frequency, tx_frequency, bandwidth, rx_sub_audio, tx_sub_audio;
  };
  ChannelPanel(alignment::ChannelSelection& model, const Ids& ids, QWidget* parent);
  void Refresh();
  QComboBox* channelCombo() const { return channel_; }

 signals:
  // A new channel was selected (the radio may have refused it: the model tells).
  void channelChanged();

 private:
  alignment::ChannelSelection& model_;
  QComboBox* channel_ = nullptr;
  QComboBox* group_ = nullptr;
  std::array<QLineEdit*, 5> texts_{};
};

// One item row: the label, the value box and the START button.
struct ItemRow {
  QLabel* label = nullptr;
  QLineEdit* value = nullptr;
  QPushButton* start = nullptr;
};

class AlignmentDialogBase : public QDialog {
  Q_OBJECT
 public:
  // Makes the model's channel selection once the dialog is on the screen.
  void Open();
  bool opened() const { return opened_; }
  // The measurement's sampling period; tests make it short.
  void setMeasurementPeriod(int ms) { measurement_period_ms_ = ms; }

 public slots:
  void accept() override;
  void reject() override;

 protected:
  AlignmentDialogBase(alignment::ChannelSelection& model, int loading_id, QWidget* parent);
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Rows are made by the dialogs; the base wires them to RunItem.
  ItemRow MakeRow(int item, const QString& label, int label_id, int value_id, int start_id);
  void FinishLayout(QWidget* items);
  virtual void Refresh() = 0;
  virtual void RunItem(int item) = 0;
  virtual void AcceptModel() = 0;
  virtual void CancelModel() = 0;
  void RefreshAll();

  alignment::ChannelSelection& selection_;
  QtPrompter prompter_;
  ChannelPanel* panel_ = nullptr;
  QLabel* loading_ = nullptr;
  std::vector<ItemRow> rows_;
  int measurement_period_ms_ = alignment::LevelSampler::kPeriodMs;
  bool running_ = false;
  bool opened_ = false;
  bool closing_ = false;
};

class BasicAlignmentDialog : public AlignmentDialogBase {
  Q_OBJECT
 public:
  BasicAlignmentDialog(link::AlignmentLink& link, Codeplug& doc, QWidget* parent);
  alignment::BasicAlignment& model() { return model_; }

 protected:
  void Refresh() override;
  void RunItem(int item) override;
  void AcceptModel() override { model_.Accept(); }
  void CancelModel() override { model_.Cancel(); }

 private:
  void RunSlider(int item);
  void RunMeasured(int item);

  link::AlignmentLink& link_;
  alignment::BasicAlignment model_;
};

class FineAlignmentDialog : public AlignmentDialogBase {
  Q_OBJECT
 public:
  FineAlignmentDialog(link::AlignmentLink& link, Codeplug& doc, QWidget* parent);
  alignment::FineAlignment& model() { return model_; }

 protected:
  void Refresh() override;
  void RunItem(int item) override;
  void AcceptModel() override { model_.Accept(); }
  void CancelModel() override { model_.Cancel(); }

 private:
  alignment::FineAlignment model_;
};

}  // namespace ql40::ui
