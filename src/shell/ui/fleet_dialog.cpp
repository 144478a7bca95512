#include "shell/ui/fleet_dialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <mutex>

#include "fleet/fleet_strings.h"
#include "resources/strings.h"
#include "shell/exchange_file.h"
#include "shell/extras_ids.h"
#include "shell/shell_strings.h"

namespace ql40::ui {
namespace {

QString Text(int id) {
  return QString::fromStdString(res::FormatString(id));
}

QString PlainText(int id) {
  QString text = Text(id);
  text.remove('&');
  if (text.endsWith("...")) text.chop(3);
  return text;
}

}  // namespace

// The run's notices come on the radios' worker threads; they are queued to the dialog, and
// dropped once it is gone.
class FleetDialog::Forwarder : public fleet::RadioObserver {
 public:
  explicit Forwarder(FleetDialog* dialog) : dialog_(dialog) {}
  void Changed(int radio, const fleet::RadioStatus& status) override { Post(radio, status); }
  void Finished(int radio, const fleet::RadioStatus& status) override { Post(radio, status); }

 private:
  void Post(int radio, const fleet::RadioStatus& status) {
    QMetaObject::invokeMethod(
        dialog_, [d = dialog_, radio, status] { d->Notice(radio, status); }, Qt::QueuedConnection);
  }
  FleetDialog* dialog_;
};

// One question at a time, naming the radio's port; the other radios go on meanwhile.
class FleetDialog::Questions : public fleet::FleetQuestions {
 public:
  explicit Questions(Prompter& prompter) : prompter_(prompter) {}
  Answer Ask(int, const std::string& port, const Message& message) override {
    std::lock_guard lock(mutex_);
    Message named = message;
    named.string_id = fleet::kStrRadioQuestion;
    named.args = {port, message.Text()};
    return prompter_.Ask(named);
  }
  Prompter& prompter() { return prompter_; }

 private:
  Prompter& prompter_;
  std::mutex mutex_;
};

FleetDialog::FleetDialog(shell::AppContext& app, Prompter& prompter,
                         std::vector<fleet::PortChoice> choices, QWidget* parent)
    : QDialog(parent),
      app_(app),
      forwarder_(std::make_unique<Forwarder>(this)),
      questions_(std::make_unique<Questions>(prompter)),
      model_(std::move(choices)) {
  setObjectName(QString::number(shell::kCmdFleet));
  setWindowTitle(PlainText(shell::kStrItemFleet));
  auto* layout = new QVBoxLayout(this);

  table_ = new QTableWidget(static_cast<int>(model_.rows().size()), kColumnCount, this);
  table_->setObjectName("table");
  table_->setHorizontalHeaderLabels({Text(fleet::kStrColumnPort), Text(shell::kStrComDevice),
                                     Text(shell::kStrFleetProgress),
                                     Text(fleet::kStrColumnResult)});
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(kColResult, QHeaderView::Stretch);
  for (int r = 0; r < table_->rowCount(); ++r) {
    const auto& row = model_.rows()[static_cast<std::size_t>(r)];
    auto* port = new QTableWidgetItem(QString::fromStdString(row.port.name));
    port->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    table_->setItem(r, kColPort, port);
    auto* device = new QTableWidgetItem(QString::fromStdString(row.port.device));
    device->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (!row.port.present)
      device->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    table_->setItem(r, kColDevice, device);
    auto* bar = new QProgressBar(table_);
    bar->setRange(0, 100);
    bar->setTextVisible(true);
    table_->setCellWidget(r, kColProgress, bar);
    auto* result = new QTableWidgetItem;
    result->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    table_->setItem(r, kColResult, result);
  }
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (rendering_ || item->column() != kColPort) return;
    model_.SetChecked(static_cast<std::size_t>(item->row()), item->checkState() == Qt::Checked);
    Render();
  });
  layout->addWidget(table_, 1);
  if (model_.rows().empty()) layout->addWidget(new QLabel(Text(shell::kStrFleetNoPorts), this));

  auto* options = new QGridLayout;
  upload_ = new QRadioButton(Text(shell::kStrItemUpload), this);
  upload_->setObjectName("upload");
  download_ = new QRadioButton(Text(shell::kStrItemDownload), this);
  download_->setObjectName("download");
  download_->setChecked(true);
  verify_ = new QCheckBox(Text(shell::kStrFleetVerify), this);
  verify_->setObjectName("verify");
  connect(verify_, &QCheckBox::clicked, this, [this] { verify_touched_ = true; });
  options->addWidget(upload_, 0, 0);
  options->addWidget(download_, 0, 1);
  options->addWidget(verify_, 0, 2);
  auto* folder_label = new QLabel(Text(shell::kStrFleetFolder), this);
  folder_ = new QLineEdit(QString::fromStdString(app_.files.working_dir), this);
  folder_->setObjectName("folder");
  folder_label->setBuddy(folder_);
  browse_ = new QPushButton(Text(shell::kStrFleetBrowse), this);
  browse_->setObjectName("browse");
  browse_->setAutoDefault(false);
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString dir =
        QFileDialog::getExistingDirectory(this, PlainText(shell::kStrFleetFolder), folder_->text());
    if (!dir.isEmpty()) folder_->setText(dir);
  });
  options->addWidget(folder_label, 1, 0);
  options->addWidget(folder_, 1, 1);
  options->addWidget(browse_, 1, 2);
  layout->addLayout(options);
  const std::string source = std::filesystem::path(app_.doc.path).filename().string();
  source_ =
      new QLabel(QString::fromStdString(res::FormatString(shell::kStrFleetSource, {source})), this);
  source_->setObjectName("source");
  layout->addWidget(source_);
  connect(upload_, &QRadioButton::toggled, this, [this] { Render(); });

  summary_ = new QLabel(this);
  summary_->setObjectName("summary");
  summary_->setWordWrap(true);
  layout->addWidget(summary_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  start_ = new QPushButton(Text(shell::kStrFleetStart), this);
  start_->setObjectName("start");
  start_->setDefault(true);
  cancel_ = new QPushButton(Text(shell::kStrFleetCancel), this);
  cancel_->setObjectName("2");
  cancel_->setAutoDefault(false);
  close_ = new QPushButton(Text(shell::kStrFleetClose), this);
  close_->setObjectName("1");
  close_->setAutoDefault(false);
  buttons->addWidget(start_);
  buttons->addWidget(cancel_);
  buttons->addWidget(close_);
  layout->addLayout(buttons);
  connect(start_, &QPushButton::clicked, this, &FleetDialog::Start);
  connect(cancel_, &QPushButton::clicked, this, [this] { model_.Cancel(); });
  connect(close_, &QPushButton::clicked, this, &FleetDialog::reject);

  Render();
  // Sized once the checkboxes are drawn, so that the port names are not cut.
  table_->resizeColumnsToContents();
  table_->setColumnWidth(kColPort, table_->columnWidth(kColPort) + 12);
  table_->setColumnWidth(kColProgress, 160);
  table_->setMinimumWidth(660);
  if (table_->rowCount() > 0) table_->setCurrentCell(0, kColPort);
  table_->setFocus();
}

FleetDialog::~FleetDialog() {
  // The run's destructor waits for its workers; their last notices find no dialog.
  model_.Cancel();
}

void FleetDialog::reject() {
  // Escape while radios are being programmed cancels them; the dialog stays to show how far
  // each one got.
  if (model_.running()) {
    model_.Cancel();
    return;
  }
  QDialog::reject();
}

void FleetDialog::Start() {
  if (!model_.CanStart()) return;
  fleet::FleetOptions options;
  options.job = upload_->isChecked() ? fleet::FleetJob::kUpload : fleet::FleetJob::kDownload;
  options.verify = verify_->isChecked();
  options.maintenance = app_.maintenance;
  options.log_folder = app_.LogFolder();
  if (!app_.backup_dir.empty()) options.backup_folder = app_.backup_dir;
  if (options.job == fleet::FleetJob::kDownload) {
    app_.doc.CommitToImage();
    if (!shell::ConfirmProgramming(app_.doc, questions_->prompter())) return;
    options.source = app_.doc;
    options.source_file = app_.doc.path;
  } else {
    options.output_dir = folder_->text().toStdString();
  }
  options.open_port = [](const std::string& device, int read_constant_ms,
                         link::PortOpenError* error) {
    return link::OpenSystemPort(device, read_constant_ms, error);
  };
  std::string error;
  summary_->clear();
  if (!model_.Start(std::move(options), questions_.get(), forwarder_.get(), &error)) {
    summary_->setText(QString::fromStdString(error));
  }
  Render();
}

void FleetDialog::Notice(int radio, const fleet::RadioStatus& status) {
  const bool was_running = model_.running();
  model_.Apply(radio, status);
  Render();
  if (was_running && !model_.running()) {
    summary_->setText(QString::fromStdString(model_.Summary()));
    emit runFinished();
  }
}

void FleetDialog::Render() {
  rendering_ = true;
  const bool editable = model_.CanEditChecks();
  for (int r = 0; r < table_->rowCount(); ++r) {
    const auto& row = model_.rows()[static_cast<std::size_t>(r)];
    QTableWidgetItem* port = table_->item(r, kColPort);
    port->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
    port->setFlags(editable ? port->flags() | Qt::ItemIsUserCheckable
                            : port->flags() & ~Qt::ItemIsUserCheckable);
    if (auto* bar = qobject_cast<QProgressBar*>(table_->cellWidget(r, kColProgress))) {
      // A radio that failed shows no full bar: the result says how far it got.
      const bool failed = row.finished && !row.succeeded;
      bar->setValue(failed ? 0 : row.percent);
      bar->setFormat(failed ? QString() : QStringLiteral("%p%"));
    }
    QTableWidgetItem* result = table_->item(r, kColResult);
    result->setText(QString::fromStdString(row.status));
    result->setToolTip(result->text());
  }
  rendering_ = false;
  if (!verify_touched_) {
    // The fleet's own default for as many radios as are checked, until the user decides.
    fleet::FleetOptions defaults;
    for (const auto& row : model_.rows()) {
      if (row.checked) defaults.ports.push_back(row.port.device);
    }
    verify_->setChecked(defaults.VerifyOn());
  }
  const bool idle = !model_.running();
  start_->setEnabled(model_.CanStart());
  cancel_->setEnabled(model_.CanCancel());
  close_->setEnabled(idle);
  upload_->setEnabled(idle);
  download_->setEnabled(idle);
  verify_->setEnabled(idle);
  const bool upload = upload_->isChecked();
  folder_->setEnabled(idle && upload);
  browse_->setEnabled(idle && upload);
  source_->setVisible(!upload);
}

void RunFleetDialog(QWidget* parent, shell::AppContext& app, Prompter& prompter) {
  FleetDialog dialog(app, prompter, fleet::FleetPortChoices(app.port_names), parent);
  dialog.exec();
}

}  // namespace ql40::ui
