#pragma once

// "File Data": the raw image as a hexadecimal grid; bytes change only in maintenance mode.

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>

#include "codeplug/codeplug.h"
#include "shell/file_data.h"

namespace ql40::ui {

class FileDataTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit FileDataTableModel(shell::FileDataModel& model, QObject* parent = nullptr)
      : QAbstractTableModel(parent), model_(model) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  shell::FileDataModel& model_;
};

// The grid: a hexadecimal digit or Enter opens the cell editor; other keys do not.
class FileDataGrid : public QTableView {
  Q_OBJECT
 public:
  using QTableView::QTableView;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class FileDataDialog : public QDialog {
  Q_OBJECT
 public:
  FileDataDialog(const Image& image, bool editable, QWidget* parent);
  const shell::FileDataModel& model() const { return model_; }
  FileDataGrid* grid() const { return grid_; }

 private:
  shell::FileDataModel model_;
  FileDataTableModel* table_;
  FileDataGrid* grid_;
};

// Shift+F9 in the view: the caller has committed the records; on OK the edited bytes become the
// image (and the document is modified when a byte changed); afterwards, OK or Cancel, the
// document is decoded and committed again. True for OK.
bool RunFileData(QWidget* parent, Codeplug& doc, bool maintenance);

}  // namespace ql40::ui
