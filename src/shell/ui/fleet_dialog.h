#pragma once
// Radio > Program Several Radios...: a row per serial device with a checkbox, a progress bar and
// the result, Upload or Download, Verify, Start and Cancel. Every rule is the fleet dialog
// model's; this only renders it and carries the workers' notices to the user-interface thread.

#include <QDialog>
#include <memory>
#include <vector>

#include "codeplug/prompter.h"
#include "fleet/fleet_dialog_model.h"
#include "shell/app_context.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace ql40::ui {

class FleetDialog : public QDialog {
  Q_OBJECT
 public:
  // The questions of the radios' transfers (model or step mismatch) go to the prompter, which
  // must be safe from worker threads.
  FleetDialog(shell::AppContext& app, Prompter& prompter, std::vector<fleet::PortChoice> choices,
              QWidget* parent = nullptr);
  ~FleetDialog() override;

  const fleet::FleetDialogModel& model() const { return model_; }
  QTableWidget* table() const { return table_; }
  QPushButton* start_button() const { return start_; }
  QPushButton* cancel_button() const { return cancel_; }
  QLabel* summary() const { return summary_; }

  enum Column { kColPort, kColDevice, kColProgress, kColResult, kColumnCount };

  // Escape and Close: while radios run, cancels them and stays open.
  void reject() override;

 signals:
  // Every radio of the run has finished.
  void runFinished();

 private:
  class Forwarder;
  class Questions;
  void Start();
  void Notice(int radio, const fleet::RadioStatus& status);
  void Render();

  shell::AppContext& app_;
  std::unique_ptr<Forwarder> forwarder_;  // outlives the model, whose run reports to it
  std::unique_ptr<Questions> questions_;
  fleet::FleetDialogModel model_;
  QTableWidget* table_ = nullptr;
  QRadioButton* upload_ = nullptr;
  QRadioButton* download_ = nullptr;
  QCheckBox* verify_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QPushButton* browse_ = nullptr;
  QLabel* source_ = nullptr;
  QLabel* summary_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* close_ = nullptr;
  bool rendering_ = false;
  bool verify_touched_ = false;
};

// The dialog over the configured COM ports and the serial devices found, run modally.
void RunFleetDialog(QWidget* parent, shell::AppContext& app, Prompter& prompter);

}  // namespace ql40::ui
