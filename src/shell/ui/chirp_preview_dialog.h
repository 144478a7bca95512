#pragma once
// The preview of a CHIRP plan import: group and first channel to choose, and every row of the
// file with the channel it goes to or why it is skipped. Renders a shell::ChirpImportPreview.

#include <QDialog>

#include "shell/chirp_preview.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace ql40::ui {

class ChirpPreviewDialog : public QDialog {
  Q_OBJECT
 public:
  ChirpPreviewDialog(shell::ChirpImportPreview& model, QWidget* parent = nullptr);
  QComboBox* group() const { return group_; }
  QSpinBox* start() const { return start_; }
  QTableWidget* table() const { return table_; }
  QLabel* headline() const { return headline_; }
  QDialogButtonBox* buttons() const { return buttons_; }

 private:
  // Reads everything back from the model after a choice.
  void Show();

  shell::ChirpImportPreview& model_;
  QLabel* headline_;
  QComboBox* group_;
  QSpinBox* start_;
  QTableWidget* table_;
  QDialogButtonBox* buttons_;
};

// Runs the dialog modally; true for OK.
bool RunChirpPreview(QWidget* parent, shell::ChirpImportPreview& model);

}  // namespace ql40::ui
