#include "shell/ui/file_data_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "resources/strings.h"
#include "shell/shell_strings.h"
#include "shell/ui/shell_dialogs.h"

namespace ql40::ui {
namespace {

QFont GridFont() {
  QFont font("DejaVu Sans Mono");
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  return font;
}

// A two-character editor that takes hexadecimal digits and blanks only.
class ByteDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(2);
    edit->setFont(GridFont());
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9A-Fa-f ]{0,2}"), edit));
    return edit;
  }
};

}  // namespace

int FileDataTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shell::FileDataModel::kRows - 1;
}

int FileDataTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shell::FileDataModel::kColumns - 1;
}

QVariant FileDataTableModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::DisplayRole || role == Qt::EditRole) {
    return QString::fromStdString(model_.CellText(index.row() + 1, index.column() + 1));
  }
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  return {};
}

QVariant FileDataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return QString::fromStdString(orientation == Qt::Horizontal
                                    ? shell::FileDataModel::ColumnHeading(section + 1)
                                    : shell::FileDataModel::RowLabel(section + 1));
}

Qt::ItemFlags FileDataTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (model_.editable()) f |= Qt::ItemIsEditable;
  return f;
}

bool FileDataTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  if (!model_.Commit(index.row() + 1, index.column() + 1, value.toString().toStdString())) {
    return false;
  }
  emit dataChanged(index, index);
  return true;
}

void FileDataGrid::keyPressEvent(QKeyEvent* event) {
  const QModelIndex index = currentIndex();
  const bool editable = index.isValid() && (model()->flags(index) & Qt::ItemIsEditable);
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (editable && state() != EditingState) edit(index);
    event->accept();
    return;
  }
  const QString text = event->text();
  if (text.size() == 1 && text[0].isPrint()) {
    // Only a digit of a byte opens the editor (with that digit in it); other letters must not
    // start the view's keyboard search.
    if (editable && shell::FileDataModel::OpensEditor(text[0].unicode(), ctrl)) {
      edit(index, AnyKeyPressed, event);
    }
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

FileDataDialog::FileDataDialog(const Image& image, bool editable, QWidget* parent)
    : QDialog(parent), model_(image, editable) {
  setObjectName(QString::number(kDialogFileData));
  setWindowTitle(QString::fromStdString(res::FormatString(shell::kStrFileDataTitle)));
  table_ = new FileDataTableModel(model_, this);
  grid_ = new FileDataGrid(this);
  grid_->setObjectName("grid");
  grid_->setModel(table_);
  grid_->setFont(GridFont());
  grid_->setItemDelegate(new ByteDelegate(grid_));
  // The grid's key handler decides which keys reach the any-key trigger.
  grid_->setEditTriggers(editable
                             ? QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  const QFontMetrics metrics(grid_->font());
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->horizontalHeader()->setDefaultSectionSize(metrics.horizontalAdvance("000") + 8);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
  grid_->verticalHeader()->setMinimumWidth(metrics.horizontalAdvance("00000h") + 12);
  grid_->setMinimumSize(metrics.horizontalAdvance("000") * 16 + 160, 360);
  grid_->setCurrentIndex(table_->index(0, 0));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_);
  if (!editable) {
    auto* note =
        new QLabel(QString::fromStdString(res::FormatString(shell::kStrFileDataReadOnly)), this);
    note->setObjectName("readOnlyNote");
    layout->addWidget(note);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
  // Enter belongs to the grid (it opens the editor); OK is clicked or reached with Tab.
  buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
  buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  grid_->setFocus();
}

bool RunFileData(QWidget* parent, Codeplug& doc, bool maintenance) {
  FileDataDialog dialog(doc.image, maintenance, parent);
  const bool ok = dialog.exec() == QDialog::Accepted;
  if (ok) {
    doc.image = dialog.model().image();
    if (dialog.model().changed()) doc.modified = true;
  }
  doc.RefreshFromImage();
  doc.CommitToImage();
  return ok;
}

}  // namespace ql40::ui
