#include "link/ui/transfer_dialog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "resources/strings.h"

namespace ql40::ui {
namespace {

QString Text(int string_id) {
  return QString::fromStdString(res::FormatString(string_id));
}

}  // namespace

link::TransferOutcome GaugeOutcome(const link::TransferOutcome& worker, bool cancel_requested) {
  if (!cancel_requested || worker.succeeded) return worker;
  link::TransferOutcome cancelled = worker;
  cancelled.end = link::TransferEnd::kCancelled;
  return cancelled;
}

// The worker's notices, posted to the dialog; a notice that arrives after the dialog has gone
// is dropped with it.
class TransferDialog::Forwarder : public link::TransferObserver {
 public:
  explicit Forwarder(TransferDialog* dialog) : dialog_(dialog) {}
  void Title(int id) override {
    Post([id](TransferDialog* d) { d->OnTitle(id); });
  }
  void Prompt(int id) override {
    Post([id](TransferDialog* d) { d->OnPrompt(id); });
  }
  void Range(int maximum) override {
    Post([maximum](TransferDialog* d) { d->OnRange(maximum); });
  }
  void Position(int n) override {
    Post([n](TransferDialog* d) { d->OnPosition(n); });
  }
  void FastRefused() override {
    Post([](TransferDialog* d) { d->OnFastRefused(); });
  }
  void Completed() override {
    Post([](TransferDialog* d) { d->OnEnd(link::DialogResult::kOk); });
  }
  void Failed() override {
    Post([](TransferDialog* d) { d->OnEnd(link::DialogResult::kFailed); });
  }

 private:
  template <typename F>
  void Post(F call) {
    TransferDialog* dialog = dialog_;
    QMetaObject::invokeMethod(
        dialog, [dialog, call] { call(dialog); }, Qt::QueuedConnection);
  }
  TransferDialog* dialog_;
};

TransferDialog::TransferDialog(QWidget* parent, link::TransferKind kind)
    : QDialog(parent), kind_(kind), forwarder_(std::make_unique<Forwarder>(this)) {
  setObjectName("TransferDialog");
  setWindowTitle(Text(kStrAccessGauge));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(true);

  prompt_ = new QLabel(this);
  prompt_->setObjectName(QString::number(kGaugePromptId));
  prompt_->setWordWrap(true);
  prompt_->setMinimumHeight(fontMetrics().height() * 2);
  status_ = new QLabel(this);
  status_->setObjectName(kGaugeStatusName);
  status_->setWordWrap(true);
  cancel_ = new QPushButton(tr("Cancel"), this);
  cancel_->setObjectName(QString::number(kGaugeCancelId));
  cancel_->setDefault(true);
  cancel_->setAutoDefault(true);
  connect(cancel_, &QPushButton::clicked, this, &TransferDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 14);
  layout->setSpacing(12);
  layout->addWidget(prompt_);
  // The progress bar takes its place below the prompt once the worker gives a range.
  layout->addWidget(status_);
  layout->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  setFixedSize(340, 190);
  cancel_->setFocus();

  connect(this, &TransferDialog::workerFinished, this, &TransferDialog::OnWorkerFinished);
}

TransferDialog::~TransferDialog() {
  if (worker_.joinable()) {
    cancel_token_.Request();
    worker_.join();
  }
}

link::TransferOutcome TransferDialog::Run(const SessionFactory& make_session) {
  std::unique_ptr<link::CloneSession> session =
      make_session ? make_session(forwarder_.get(), &cancel_token_) : nullptr;
  if (!session) return {};
  cancel_requested_ = false;
  finished_ = false;
  cancel_token_.Reset();
  link::CloneSession* s = session.get();
  status_->setText(s->fast_requested() ? Text(kStrSendingWholeFrames) : QString());
  const link::TransferKind kind = kind_;
  worker_ = std::thread([this, s, kind] {
    worker_outcome_ = s->Run(kind);
    emit workerFinished();  // queued: the dialog lives on the user-interface thread
  });
  exec();
  // The dialog may close on the end notice a moment before the worker returns; meanwhile the
  // worker may still ask a question, so events keep flowing until it is done.
  if (!finished_) {
    QEventLoop loop;
    wait_loop_ = &loop;
    loop.exec();
    wait_loop_ = nullptr;
  }
  worker_.join();
  return GaugeOutcome(worker_outcome_, cancel_requested_);
}

void TransferDialog::reject() {
  if (!worker_.joinable() || finished_) {
    done(static_cast<int>(link::DialogResult::kCancel));
    return;
  }
  if (cancel_requested_) return;
  cancel_requested_ = true;
  cancel_->setEnabled(false);
  cancel_token_.Request();
}

void TransferDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

void TransferDialog::OnTitle(int string_id) {
  setWindowTitle(Text(string_id));
}

void TransferDialog::OnPrompt(int string_id) {
  prompt_->setText(Text(string_id));
}

void TransferDialog::OnRange(int maximum) {
  if (gauge_ == nullptr) {
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName(QString::number(kGaugeProgressId));
    gauge_->setTextVisible(false);
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, gauge_);
  }
  gauge_->setRange(0, std::max(maximum, 0));
  gauge_->setValue(0);
}

void TransferDialog::OnPosition(int position) {
  if (gauge_ == nullptr) return;
  gauge_->setValue(std::clamp(position, gauge_->minimum(), gauge_->maximum()));
}

void TransferDialog::OnFastRefused() {
  status_->setText(Text(kStrWholeFramesRefused));
}

void TransferDialog::OnEnd(link::DialogResult result) {
  // After a cancel request the dialog ends as cancelled once the worker has stopped.
  if (cancel_requested_ || !isVisible()) return;
  done(static_cast<int>(result));
}

void TransferDialog::OnWorkerFinished() {
  finished_ = true;
  if (wait_loop_ != nullptr) wait_loop_->quit();
  if (!isVisible()) return;
  if (cancel_requested_) {
    done(static_cast<int>(link::DialogResult::kCancel));
  } else {
    // A procedure that stopped without an end notice (the wait for the radio ran out).
    done(static_cast<int>(worker_outcome_.Result()));
  }
}

SessionFactory MakeSessionFactory(shell::AppContext& app, std::unique_ptr<link::SerialPort>& link,
                                  Prompter& prompter) {
  return
      [&app, &link, &prompter](link::TransferObserver* observer, const link::CancelToken* cancel) {
        link::CloneEnvironment env;
        const std::string device = app.port_names.DeviceOf(app.com_port);
        env.open_port = [device](int read_constant_ms, link::PortOpenError* error) {
          return link::OpenSystemPort(device, read_constant_ms, error);
        };
        env.port_label = std::to_string(app.com_port);
        env.prompter = &prompter;
        env.observer = observer;
        env.cancel = cancel;
        env.maintenance = app.maintenance;
        env.log_folder = app.LogFolder();
        env.fast = app.fast_transfer;
        return std::make_unique<link::CloneSession>(app.doc, link, std::move(env));
      };
}

link::TransferOutcome RunTransferDialog(QWidget* parent, const SessionFactory& make_session,
                                        link::TransferKind kind) {
  TransferDialog dialog(parent, kind);
  return dialog.Run(make_session);
}

}  // namespace ql40::ui
