#include "shell/ui/chirp_preview_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "resources/strings.h"
#include "shell/extras_ids.h"

namespace ql40::ui {
namespace {

QString Text(int id) {
  return QString::fromStdString(res::FormatString(id));
}

}  // namespace

ChirpPreviewDialog::ChirpPreviewDialog(shell::ChirpImportPreview& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QString::number(shell::kCmdImportCsv));
  setWindowTitle(Text(shell::kStrChirpTitle));
  auto* layout = new QVBoxLayout(this);
  headline_ = new QLabel(this);
  headline_->setObjectName("headline");
  headline_->setWordWrap(true);
  headline_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(headline_);

  auto* choices = new QGridLayout;
  auto* group_label = new QLabel(Text(shell::kStrChirpGroup), this);
  group_ = new QComboBox(this);
  group_->setObjectName("group");
  for (const std::string& item : model_.GroupItems()) group_->addItem(QString::fromStdString(item));
  group_label->setBuddy(group_);
  auto* start_label = new QLabel(Text(shell::kStrChirpStart), this);
  start_ = new QSpinBox(this);
  start_->setObjectName("start");
  start_label->setBuddy(start_);
  choices->addWidget(group_label, 0, 0);
  choices->addWidget(group_, 0, 1);
  choices->addWidget(start_label, 0, 2);
  choices->addWidget(start_, 0, 3);
  choices->setColumnStretch(4, 1);
  layout->addLayout(choices);

  table_ = new QTableWidget(this);
  table_->setObjectName("rows");
  table_->setColumnCount(shell::ChirpImportPreview::kColumnCount);
  QStringList headings;
  for (int c = 0; c < shell::ChirpImportPreview::kColumnCount; ++c) {
    headings << QString::fromStdString(shell::ChirpImportPreview::Heading(c));
  }
  table_->setHorizontalHeaderLabels(headings);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  QFont fixed("DejaVu Sans Mono");
  if (!QFontInfo(fixed).fixedPitch()) fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  table_->setFont(fixed);
  table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 6);
  layout->addWidget(table_, 1);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons_->button(QDialogButtonBox::Ok)->setObjectName("1");
  buttons_->button(QDialogButtonBox::Cancel)->setObjectName("2");
  buttons_->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons_);

  connect(group_, &QComboBox::currentIndexChanged, this, [this](int index) {
    model_.SetGroup(index);
    Show();
  });
  connect(start_, &QSpinBox::valueChanged, this, [this](int value) {
    model_.SetStart(value);
    Show();
  });
  Show();
  resize(960, 480);
  group_->setFocus();
}

void ChirpPreviewDialog::Show() {
  {
    const QSignalBlocker block_group(group_);
    const QSignalBlocker block_start(start_);
    group_->setCurrentIndex(model_.group());
    start_->setRange(1, model_.MaxStart());
    start_->setValue(model_.start());
  }
  headline_->setText(QString::fromStdString(model_.Headline()));
  table_->setRowCount(model_.RowCount());
  const QColor skipped = palette().color(QPalette::Disabled, QPalette::Text);
  const QColor changed(0x9a, 0x4a, 0x00);
  for (int r = 0; r < model_.RowCount(); ++r) {
    const auto kind = model_.Kind(r);
    for (int c = 0; c < shell::ChirpImportPreview::kColumnCount; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(model_.Cell(r, c)));
      if (kind == shell::ChirpImportPreview::RowKind::kSkipped) item->setForeground(skipped);
      if (kind == shell::ChirpImportPreview::RowKind::kChanged && c == 5) {
        item->setForeground(changed);
      }
      if (c == 5) item->setToolTip(item->text());
      table_->setItem(r, c, item);
    }
  }
  // Every note stays readable: the table scrolls sideways rather than cut a long one short.
  table_->resizeColumnsToContents();
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(model_.CanImport());
}

bool RunChirpPreview(QWidget* parent, shell::ChirpImportPreview& model) {
  ChirpPreviewDialog dialog(model, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace ql40::ui
