#pragma once

// The small dialogs an alignment item opens: the slider that drives a value live, the
// instruction for the signal generator or regulator, and the measurement that samples the
// radio's levels on a timer thread of its own.

#include <QDialog>
#include <memory>
#include <optional>

#include "alignment/alignment_state.h"
#include "alignment/level_sampler.h"
#include "alignment/slider_session.h"
#include "shell/ui/qt_prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace ql40::ui {

QString AlignmentText(int string_id);

// Empty caption, a slider 0..255 with its limits, the value as typed text, OK and Cancel.
class SliderDialog : public QDialog {
  Q_OBJECT
 public:
  struct Options {
    bool fine = false;         // fine alignment: Enter in the value box keeps the dialog open
    bool show_signal = false;  // RX Tune: the signal strength beside the slider
    std::optional<int> base;   // a trim's basic value, for the hint when it goes too far
  };
  SliderDialog(alignment::SliderSession& session, Options options, QWidget* parent);

  QSlider* slider() const { return slider_; }
  QLineEdit* valueBox() const { return value_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnSliderMoved(int position);
  void ApplyTyped();
  void AskAndClose();
  void Show(alignment::SliderSession::MoveResult result, int requested);

  alignment::SliderSession& session_;
  Options options_;
  QtPrompter prompter_;
  QSlider* slider_ = nullptr;
  QLineEdit* value_ = nullptr;
  QLabel* signal_ = nullptr;
  QLabel* hint_ = nullptr;
  bool busy_ = false;
};

// The instruction before a measurement: what to set the signal generator or regulator to.
class InstructionDialog : public QDialog {
  Q_OBJECT
 public:
  InstructionDialog(const QString& caption, const QString& text, QWidget* parent);
};

// Takes the readings on its own timer thread with OK and Cancel disabled, then shows the
// result and asks whether to save it.
class MeasurementDialog : public QDialog {
  Q_OBJECT
 public:
  MeasurementDialog(const QString& caption, link::AlignmentLink& link, alignment::LevelKind kind,
                    QWidget* parent, int period_ms = alignment::LevelSampler::kPeriodMs);
  ~MeasurementDialog() override;

  // The measured value once sampling ended; nothing when the radio stopped answering.
  std::optional<int> result() const { return result_; }
  bool sampling() const { return sampling_; }

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Finished(std::optional<int> result);

  alignment::LevelSampler sampler_;
  QLabel* reading_ = nullptr;
  QLabel* question_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  std::optional<int> result_;
  bool sampling_ = false;
  bool started_ = false;
};

}  // namespace ql40::ui
