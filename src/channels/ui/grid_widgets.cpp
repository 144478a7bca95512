#include "channels/ui/grid_widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>

#include "resources/channel_labels.h"

namespace ql40::ui {
namespace {

// Widths of the grid columns in twips; the grid control counted 15 twips to a pixel.
constexpr std::array<int, kGridColumnCount> kColumnTwips = {
    480, 480, 480, 1080, 1080, 1080, 600, 600, 600, 480, 480, 480,
    480, 480, 480, 480,  480,  480,  480, 480, 480, 480, 480, 480};
constexpr int kTwipsPerPixel = 15;
// The longest text each column shows, so that no cell is cut off in a wider font.
constexpr std::array<int, kGridColumnCount> kColumnChars = {3, 1, 1, 9, 9, 9, 5, 5, 5, 1, 1, 1,
                                                            1, 1, 1, 2, 1, 1, 2, 1, 1, 1, 1, 1};

}  // namespace

int ColumnPixelWidth(int column, const QFontMetrics& metrics) {
  if (column < 0 || column >= kGridColumnCount) return 0;
  const auto c = static_cast<std::size_t>(column);
  const int text = metrics.horizontalAdvance(QString(kColumnChars[c], QLatin1Char('0')));
  const QString heading = QString::fromStdString(GridHeading(1, column, 0));
  const int head = std::max(metrics.horizontalAdvance(heading),
                            metrics.horizontalAdvance(QStringLiteral("RCHK")) * (c == 19 ? 1 : 0));
  return std::max(kColumnTwips[c] / kTwipsPerPixel, std::max(text, head) + 10);
}

// ---------------------------------------------------------------------------------------

ChannelGridModel::ChannelGridModel(Codeplug& doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {
  Reload();
}

void ChannelGridModel::Reload() {
  beginResetModel();
  const ChannelTable& t = doc_.channels;
  const int group = std::clamp(t.current_group, 0, kGroupCount - 1);
  first_ = t.FirstIndexOfGroup(group);
  rows_ = std::clamp(t.count[static_cast<std::size_t>(group)], 0, kChannelCount - first_);
  endResetModel();
}

void ChannelGridModel::RefreshRow(int row) {
  if (row < 0 || row >= rows_) return;
  emit dataChanged(index(row, 0), index(row, kGridColumnCount - 1));
}

void ChannelGridModel::RefreshColumn(int column) {
  if (rows_ == 0) return;
  emit dataChanged(index(0, column), index(rows_ - 1, column));
}

void ChannelGridModel::RefreshAll() {
  if (rows_ == 0) return;
  emit dataChanged(index(0, 0), index(rows_ - 1, kGridColumnCount - 1));
}

int ChannelGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int ChannelGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGridColumnCount;
}

QVariant ChannelGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const int channel = first_ + index.row();
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(GridCellText(doc_, channel, index.column()));
    case Qt::TextAlignmentRole:
      return int(Qt::AlignCenter);
    case Qt::ForegroundRole: {
      const bool programmed = doc_.channels.records[static_cast<std::size_t>(channel)].programmed();
      // Unprogrammed channels are greyed like an inactive caption.
      return programmed ? QApplication::palette().color(QPalette::Active, QPalette::WindowText)
                        : QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    }
    default:
      return {};
  }
}

QVariant ChannelGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    return QString::fromStdString(GridHeading(1, section, doc_.option_unit));
  }
  return section + first_ + 1;
}

// ---------------------------------------------------------------------------------------

GridHeader::GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(false);
  setSectionsMovable(false);
  setHighlightSections(false);
  setSectionResizeMode(QHeaderView::Fixed);
  setDefaultAlignment(Qt::AlignCenter);
}

void GridHeader::SetOptionUnit(int option_unit) {
  option_unit_ = option_unit;
  viewport()->update();
}

QString GridHeader::Heading(int row, int column) const {
  if (row == 0 && shown_again_[static_cast<std::size_t>(column)]) {
    return QString::fromUtf8(res::kGridHeadingRow0Shown[static_cast<std::size_t>(column)].data());
  }
  return QString::fromStdString(GridHeading(row, column, option_unit_));
}

int GridHeader::RowHeight() const {
  return fontMetrics().height() + 6;
}

QSize GridHeader::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  size.setHeight(2 * RowHeight());
  return size;
}

void GridHeader::PaintCell(QPainter& painter, const QRect& rect, const QString& text) const {
  QStyleOptionHeader opt;
  initStyleOption(&opt);
  opt.rect = rect;
  opt.text = text;
  opt.textAlignment = Qt::AlignCenter;
  opt.position = QStyleOptionHeader::Middle;
  opt.orientation = Qt::Horizontal;
  opt.section = 0;
  style()->drawControl(QStyle::CE_Header, &opt, &painter, this);
}

void GridHeader::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int h = RowHeight();
  const auto left_of = [&](int c) { return sectionViewportPosition(c); };
  int c = 0;
  while (c < kGridColumnCount) {
    if (isSectionHidden(c) || sectionSize(c) == 0) {
      ++c;
      continue;
    }
    const QString top = Heading(0, c).trimmed();
    if (top.isEmpty()) {
      // No group heading: one cell over both rows.
      PaintCell(painter, QRect(left_of(c), 0, sectionSize(c), 2 * h), Heading(1, c));
      ++c;
      continue;
    }
    // Neighbouring shown columns with the same group heading share one row-0 cell.
    int end = c;
    int width = sectionSize(c);
    for (int n = c + 1; n < kGridColumnCount; ++n) {
      if (isSectionHidden(n) || sectionSize(n) == 0) continue;
      if (Heading(0, n).trimmed() != top) break;
      width = left_of(n) + sectionSize(n) - left_of(c);
      end = n;
    }
    PaintCell(painter, QRect(left_of(c), 0, width, h), top);
    for (int n = c; n <= end; ++n) {
      if (isSectionHidden(n) || sectionSize(n) == 0) continue;
      PaintCell(painter, QRect(left_of(n), h, sectionSize(n), h), Heading(1, n));
    }
    c = end + 1;
  }
}

void GridHeader::mousePressEvent(QMouseEvent* event) {
  event->ignore();  // a click on a heading does nothing
}

void GridHeader::mouseDoubleClickEvent(QMouseEvent* event) {
  event->ignore();
}

// ---------------------------------------------------------------------------------------

ChannelGrid::ChannelGrid(QWidget* parent) : QTableView(parent) {}

void ChannelGrid::keyPressEvent(QKeyEvent* event) {
  if (key_handler && key_handler(event)) return;
  QTableView::keyPressEvent(event);
}

bool ChannelGrid::event(QEvent* event) {
  // Tab, Shift+Tab and F-keys reach keyPressEvent before any window shortcut sees them.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key_handler && (key->key() == Qt::Key_F2 || key->key() == Qt::Key_F3)) {
      event->accept();
      return true;
    }
  }
  return QTableView::event(event);
}

// ---------------------------------------------------------------------------------------

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(kEditorMaxLength);
  setFrame(true);
  // The line edit's own menu would paste past the character rules.
  setContextMenuPolicy(Qt::NoContextMenu);
  setDragEnabled(false);
  setAcceptDrops(false);
  hide();
}

void CellEditor::InsertFiltered(const QString& text) {
  const int position = hasSelectedText() ? selectionStart() : cursorPosition();
  const int room =
      maxLength() - static_cast<int>(this->text().size()) + static_cast<int>(selectedText().size());
  const std::string kept =
      FilterEditorInput(mode_, text.toLatin1().toStdString(), position, std::max(room, 0));
  if (!kept.empty() || hasSelectedText()) insert(QString::fromLatin1(kept.c_str()));
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit commitRequested();
      return;
    case Qt::Key_Escape:
      emit cancelRequested();
      return;
    default:
      break;
  }
  if (event->matches(QKeySequence::Paste) ||
      (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier)) {
    InsertFiltered(QApplication::clipboard()->text());
    return;
  }
  const QString text = event->text();
  const bool ctrl = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  if (!ctrl && text.size() == 1 && text[0].isPrint()) {
    InsertFiltered(text);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A context menu or a window switch takes the focus for a moment; only a real move away
  // commits.
  if (isVisible() && event->reason() != Qt::PopupFocusReason &&
      event->reason() != Qt::ActiveWindowFocusReason) {
    emit commitRequested();
  }
}

}  // namespace ql40::ui
