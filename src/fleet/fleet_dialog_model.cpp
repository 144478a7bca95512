#include "fleet/fleet_dialog_model.h"

#include <algorithm>

#include "fleet/fleet_strings.h"
#include "resources/strings.h"

namespace ql40::fleet {
namespace {

bool LooksLikeSerialDevice(const std::string& name) {
  for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS", "cu.usbserial", "tty.usbserial"}) {
    const std::string p = prefix;
    if (name.size() > p.size() && name.compare(0, p.size(), p) == 0) return true;
  }
  return false;
}

}  // namespace

std::vector<PortChoice> FleetPortChoices(const link::PortNames& names,
                                         const std::filesystem::path& device_folder) {
  std::vector<PortChoice> out;
  std::error_code ec;
  for (int com = 1; com <= 4; ++com) {
    PortChoice c;
    c.name = "COM" + std::to_string(com);
    c.device = names.DeviceOf(com);
    c.configured = true;
    c.present = std::filesystem::exists(c.device, ec);
    out.push_back(c);
  }
  std::vector<std::string> found;
  for (auto it = std::filesystem::directory_iterator(device_folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (LooksLikeSerialDevice(it->path().filename().string())) found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  for (const auto& device : found) {
    const bool named = std::any_of(out.begin(), out.end(),
                                   [&](const PortChoice& c) { return c.device == device; });
    if (!named) out.push_back({device, device, false, true});
  }
  return out;
}

FleetDialogModel::FleetDialogModel(std::vector<PortChoice> choices) {
  for (auto& c : choices) {
    Row row;
    row.checked = c.configured && c.present;
    row.port = std::move(c);
    rows_.push_back(std::move(row));
  }
}

void FleetDialogModel::SetChecked(std::size_t row, bool checked) {
  if (row < rows_.size() && CanEditChecks()) rows_[row].checked = checked;
}

bool FleetDialogModel::CanStart() const {
  return !running() &&
         std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.checked; });
}

bool FleetDialogModel::Start(FleetOptions options, FleetQuestions* questions,
                             RadioObserver* observer, std::string* error) {
  if (!CanStart()) return false;
  options.ports.clear();
  run_rows_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!rows_[i].checked) continue;
    options.ports.push_back(rows_[i].port.device);
    run_rows_.push_back(i);
  }
  if (const std::string problem = CheckFleetOptions(options); !problem.empty()) {
    if (error != nullptr) *error = problem;
    run_rows_.clear();
    return false;
  }
  for (auto& row : rows_) {
    row.percent = 0;
    row.finished = row.succeeded = false;
    row.status = row.checked ? res::FormatString(kStrPhaseWaiting) : std::string();
  }
  finished_ = succeeded_ = 0;
  run_.reset();  // the previous run's workers are done
  run_ = std::make_unique<FleetRun>(std::move(options), questions, observer);
  run_->Start();
  return true;
}

void FleetDialogModel::Apply(int radio, const RadioStatus& status) {
  if (radio < 0 || static_cast<std::size_t>(radio) >= run_rows_.size()) return;
  Row& row = rows_[run_rows_[static_cast<std::size_t>(radio)]];
  if (row.finished) return;
  row.percent = status.finished() ? 100 : status.percent;
  if (status.finished()) {
    row.finished = true;
    row.succeeded = status.result == RadioResult::kSucceeded;
    row.status = status.ResultText();
    ++finished_;
    if (row.succeeded) ++succeeded_;
    if (finished_ == run_rows_.size()) run_->Wait();
    return;
  }
  row.status = PhaseText(status);
  if (status.prompt_id != 0) row.status += ": " + res::FormatString(status.prompt_id);
}

void FleetDialogModel::Cancel() {
  if (running()) run_->Cancel();
}

std::string FleetDialogModel::Summary() const {
  if (run_ == nullptr || running()) return {};
  return res::FormatString(kStrSummary,
                           {std::to_string(succeeded_), std::to_string(run_rows_.size())});
}

}  // namespace ql40::fleet
