#pragma once

// The sub-audio and pick-list dialogs: one multi-column list of a PickListModel with OK and
// Cancel. A double-click on an entry is OK.

#include <QDialog>
#include <functional>
#include <optional>

#include "channels/pick_lists.h"

class QListWidget;

namespace ql40::ui {

class PickDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PickDialog(const PickListModel& model, QWidget* parent = nullptr);

  // The position of the chosen entry (the current one when nothing else was picked).
  int ChosenPosition() const;
  QListWidget* list() const { return list_; }

  // F1 in the dialog: called with the model's help context.
  std::function<void(int)> on_help;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  PickListModel model_;
  QListWidget* list_;
};

// Runs the dialog modally; the chosen value on OK, or nothing on Cancel.
std::optional<int> RunPickDialog(const PickListModel& model, QWidget* parent,
                                 const std::function<void(int)>& on_help);

}  // namespace ql40::ui
