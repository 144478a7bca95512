#include "channels/ui/pick_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <optional>

namespace ql40::ui {
namespace {

// Rows in one column of the list before it wraps into the next.
constexpr int kRowsPerColumn = 12;

}  // namespace

PickDialog::PickDialog(const PickListModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QString::number(model.dialog_id));
  setWindowTitle(QString::fromStdString(model.caption));
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QString::number(model.list_id));
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setViewMode(QListView::ListMode);
  list_->setFlow(QListView::TopToBottom);
  list_->setWrapping(true);
  list_->setResizeMode(QListView::Adjust);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  const int row_height = list_->fontMetrics().height() + 4;
  list_->setGridSize(QSize(model.column_width, row_height));
  for (const std::string& entry : model.entries) list_->addItem(QString::fromStdString(entry));
  const int count = static_cast<int>(model.entries.size());
  const int rows = std::min(count, kRowsPerColumn);
  const int columns = std::max(1, (count + kRowsPerColumn - 1) / kRowsPerColumn);
  list_->setMinimumSize(columns * model.column_width + 8,
                        rows * row_height + list_->horizontalScrollBar()->sizeHint().height());
  if (model.selected >= 0 && model.selected < count) list_->setCurrentRow(model.selected);
  layout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  list_->setFocus();
}

int PickDialog::ChosenPosition() const {
  return list_->currentRow();
}

void PickDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    if (on_help) on_help(model_.help_id);
    return;
  }
  QDialog::keyPressEvent(event);
}

std::optional<int> RunPickDialog(const PickListModel& model, QWidget* parent,
                                 const std::function<void(int)>& on_help) {
  PickDialog dialog(model, parent);
  dialog.on_help = on_help;
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return model.ValueAt(dialog.ChosenPosition());
}

}  // namespace ql40::ui
