#include "shell/ui/lines_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql40::ui {

LinesDialog::LinesDialog(int command_id, const QString& title, const QString& headline,
                         const QStringList& lines, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QString::number(command_id));
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  headline_ = new QLabel(headline, this);
  headline_->setObjectName("headline");
  headline_->setWordWrap(true);
  headline_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(headline_);
  list_ = new QListWidget(this);
  list_->setObjectName("lines");
  QFont fixed("DejaVu Sans Mono");
  if (!QFontInfo(fixed).fixedPitch()) fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  list_->setFont(fixed);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->addItems(lines);
  list_->setVisible(!lines.isEmpty());
  layout->addWidget(list_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setObjectName("1");
  buttons->button(QDialogButtonBox::Close)->setDefault(true);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  if (!lines.isEmpty()) {
    list_->setCurrentRow(0);
    const int width = list_->sizeHintForColumn(0) + 40;
    resize(qBound(420, width, 900), qBound(200, 90 + 20 * static_cast<int>(lines.size()), 520));
    list_->setFocus();
  } else {
    buttons->button(QDialogButtonBox::Close)->setFocus();
  }
}

}  // namespace ql40::ui
