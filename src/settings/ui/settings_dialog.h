#pragma once

// The one dialog frame of every settings and signalling dialog: it renders a form model
// (settings/form_model.h) as a grid of labelled controls with OK and Cancel and a two-pane
// status bar that shows the prompt of the focused control, forwards every user action to the
// model and then shows every control again as the model says.

#include <QDialog>
#include <QHash>

#include "settings/form_model.h"
#include "shell/ui/hooks.h"

class QLabel;
class QPushButton;
class QStatusBar;
class QGridLayout;

namespace ql40::ui {

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // The model outlives the dialog.
  explicit SettingsDialog(FormModel& model, QWidget* parent = nullptr);

  FormModel& model() { return model_; }
  // Shows every control as the model says (an edit being typed keeps its text).
  void Refresh();
  // Shows the prompt of a control; returns the id whose prompt was shown before.
  int ShowPrompt(int control_id);
  QString MessagePane() const;
  QString IndicatorPane() const;
  QWidget* Control(int id) const { return widgets_.value(id, nullptr); }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  void accept() override;
  void reject() override;

 signals:
  // F1 with no help context of its own: the dialog's context, 0x20000 plus its id. (The main
  // window opens the help page; it knows each dialog by its id, which is its objectName.)
  void helpRequested(int context_id);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* Build(const FormControl& control, QGridLayout* grid);
  QWidget* BuildList(const FormControl& control);
  QWidget* BuildEdit(const FormControl& control);
  QWidget* BuildCheck(const FormControl& control);
  QWidget* BuildRadio(const FormControl& control);
  QWidget* BuildButton(const FormControl& control);
  QWidget* BuildSpin(const FormControl& control);
  void OnOk();
  void OnEditEnded(int id);
  void OnHelp();

  FormModel& model_;
  QHash<int, QWidget*> widgets_;
  QHash<QObject*, int> ids_;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QStatusBar* status_ = nullptr;
  QLabel* message_pane_ = nullptr;
  QLabel* indicator_pane_ = nullptr;
  int prompt_id_ = 0;
  bool refreshing_ = false;
  bool refused_ = false;  // an edit was just refused: the OK that follows it is ignored
  bool closing_ = false;
  bool first_show_ = true;
};

class QtPrompter;

// Runs the model's dialog modally and gives what it reports. A prompter given here shows its
// message boxes over the dialog while it runs.
FormOutcome RunFormDialog(FormModel& model, QWidget* parent, QtPrompter* prompter = nullptr);

// The outcome as the main window takes it.
DialogOutcome ToDialogOutcome(const FormOutcome& outcome);

}  // namespace ql40::ui
