#pragma once

// The pieces of the channel grid: the table model over the current group, the two-row
// heading with merged cells, the table view and the in-place editor. The rules they follow
// are the core's (channels/grid_edit.h); these classes only draw and forward.

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <array>
#include <functional>

#include "channels/grid_edit.h"
#include "codeplug/codeplug.h"

namespace ql40::ui {

// One row per channel of the current group, the 24 grid columns. The headings are not rows:
// they are drawn by GridHeader, so selection, navigation and copy see only channels.
class ChannelGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ChannelGridModel(Codeplug& doc, QObject* parent = nullptr);

  // Follows the table's current group (after a group change or a rebuild).
  void Reload();
  void RefreshRow(int row);
  void RefreshColumn(int column);
  void RefreshAll();

  int FirstChannel() const { return first_; }
  int ChannelOfRow(int row) const { return first_ + row; }
  int RowOfChannel(int channel) const { return channel - first_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  Codeplug& doc_;
  int first_ = 0;
  int rows_ = 0;
};

// The two heading rows. Equal neighbouring texts of a row are drawn as one cell; a column
// without a row-0 heading has one cell over both rows.
class GridHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit GridHeader(QWidget* parent = nullptr);

  void SetOptionUnit(int option_unit);
  // A column group shown again reads its View > Item name in row 0 until the next rebuild.
  void MarkShownAgain(int column) { shown_again_[static_cast<std::size_t>(column)] = true; }
  void ClearShownAgain() { shown_again_.fill(false); }
  QString Heading(int row, int column) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void PaintCell(QPainter& painter, const QRect& rect, const QString& text) const;
  int RowHeight() const;

  int option_unit_ = 0;
  std::array<bool, kGridColumnCount> shown_again_{};
};

// The table view; keys go to a handler first (the channel view), which may take them.
class ChannelGrid : public QTableView {
  Q_OBJECT
 public:
  explicit ChannelGrid(QWidget* parent = nullptr);

  std::function<bool(QKeyEvent*)> key_handler;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
};

// The single-line editor laid over a cell: at most nine characters, the tag or frequency
// character rule, letters made upper case as they are typed or pasted.
class CellEditor : public QLineEdit {
  Q_OBJECT
 public:
  explicit CellEditor(QWidget* parent = nullptr);

  void SetMode(int mode) { mode_ = mode; }
  int mode() const { return mode_; }
  // Inserts text at the caret as if typed.
  void InsertFiltered(const QString& text);

 signals:
  void commitRequested();
  void cancelRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int mode_ = 0;
};

// Pixel width of a grid column: the column's width in twips, widened where the font needs
// more for the column's texts.
int ColumnPixelWidth(int column, const QFontMetrics& metrics);

}  // namespace ql40::ui
