#include "shell/ui/recovery_controller.h"

#include <QApplication>
#include <ctime>

#include "resources/strings.h"
#include "shell/recovery_strings.h"
#include "shell/ui/single_instance.h"

namespace ql40::ui {
namespace {

std::int64_t Now() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

RecoveryController::RecoveryController(shell::AppContext& app, std::filesystem::path file,
                                       Options options, QObject* parent)
    : QObject(parent), app_(app), file_(std::move(file)), schedule_(options.timing) {
  if (!file_.empty()) store_ = std::make_unique<shell::RecoveryStore>(file_);
  timer_.setInterval(options.poll_ms);
  connect(&timer_, &QTimer::timeout, this, &RecoveryController::Poll);
}

RecoveryController::~RecoveryController() = default;

bool RecoveryController::OfferLeft(const shell::RecoveryOwner& self, Prompter& prompter,
                                   const std::function<bool()>& confirm_replace) {
  if (file_.empty()) return false;
  const auto left =
      shell::FindLeftRecoveries(file_.parent_path(), self, [](const shell::RecoveryOwner& owner) {
        return SingleInstance::HeldBy(QString::fromStdString(owner.key), owner.pid);
      });
  if (left.empty()) return false;
  const shell::RecoveryPlaces places{file_, app_.backup_dir};
  const shell::OfferReport report =
      shell::OfferRecoveries(left, app_.doc, places, prompter, confirm_replace, Now());
  if (!report.kept.empty()) {
    emit statusMessage(
        QString::fromStdString(res::FormatString(shell::kStrRecoveryKept, {report.kept.back()})));
  }
  return report.opened;
}

void RecoveryController::Start() {
  if (!store_ || finished_) return;
  std::error_code ec;
  // An accepted recovery already lies under this run's name.
  on_disk_ = std::filesystem::exists(file_, ec);
  timer_.start();
}

std::optional<shell::RecoveryData> RecoveryController::Capture() const {
  // While a dialog or a transfer has the document it is not looked at: a transfer's worker
  // writes it, and a dialog keeps its own copy until OK.
  if (QApplication::activeModalWidget() != nullptr) return std::nullopt;
  return shell::CaptureRecovery(app_.doc, Now());
}

void RecoveryController::Poll() {
  if (!store_ || finished_ || QApplication::activeModalWidget() != nullptr) return;
  if (!app_.doc.modified) {
    Forget();
    return;
  }
  auto data = Capture();
  if (!data) return;
  if (discarded_ && shell::SameContent(*discarded_, *data)) return;
  discarded_.reset();
  const auto now = shell::AutosaveSchedule::Clock::now();
  if (!latest_ || !shell::SameContent(*latest_, *data)) {
    latest_ = std::move(data);
    schedule_.Changed(now);
  }
  if (schedule_.Due(now)) WriteLatest();
  ReportError();
}

void RecoveryController::WriteLatest() {
  latest_->saved_at = Now();
  store_->Write(*latest_);
  schedule_.Written(shell::AutosaveSchedule::Clock::now());
  on_disk_ = true;
}

void RecoveryController::Forget() {
  if (on_disk_ || schedule_.pending()) store_->Remove();
  on_disk_ = false;
  schedule_.Clear();
  latest_.reset();
  discarded_.reset();
}

void RecoveryController::ReportError() {
  const std::string error = store_->last_error();
  if (error == reported_error_) return;
  reported_error_ = error;
  if (!error.empty()) {
    emit statusMessage(
        QString::fromStdString(res::FormatString(shell::kStrRecoveryWriteFailed, {error})));
  }
}

void RecoveryController::FlushNow() {
  if (!store_ || finished_) return;
  if (QApplication::activeModalWidget() == nullptr) {
    if (!app_.doc.modified) {
      Forget();
    } else if (auto data = Capture()) {
      if (!(discarded_ && shell::SameContent(*discarded_, *data)) &&
          (!latest_ || !shell::SameContent(*latest_, *data) || schedule_.pending())) {
        latest_ = std::move(data);
        WriteLatest();
      }
    }
  } else if (schedule_.pending() && latest_) {
    // The state from before the dialog opened is the newest one that can be kept.
    WriteLatest();
  }
  store_->Flush();
}

void RecoveryController::MarkDiscarded() {
  if (!store_) return;
  discarded_ = Capture();
  store_->Remove();
  on_disk_ = false;
  schedule_.Clear();
  latest_.reset();
}

void RecoveryController::Finish(bool keep) {
  if (!store_ || finished_) return;
  if (keep) {
    FlushNow();
  } else {
    store_->Remove();
    store_->Flush();
  }
  timer_.stop();
  finished_ = true;
}

int RecoveryController::writes() const {
  return store_ ? store_->writes() : 0;
}

}  // namespace ql40::ui
