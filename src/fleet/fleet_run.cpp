#include "fleet/fleet_run.h"

#include <algorithm>
#include <exception>

#include "codeplug/codecs.h"
#include "codeplug/files.h"
#include "codeplug/hardware.h"
#include "fleet/fleet_strings.h"
#include "link/clone_session.h"
#include "link/transfer_runner.h"
#include "resources/strings.h"

namespace ql40::fleet {
namespace {

using Clock = std::chrono::steady_clock;

// Image bytes of the settings words 13 to 97 and of word 126, which a download writes.
constexpr int kSettingsBegin = 26;
constexpr int kSettingsEnd = 196;
constexpr int kWord126 = 252;

// The first image address where the radio's read-back differs from what was sent, or -1.
int FirstDifference(const Image& sent, const Image& read, int first_block, int last_block) {
  for (int a = kSettingsBegin; a < kSettingsEnd; ++a) {
    if (sent[a] != read[a]) return a;
  }
  // A completed download leaves word 126 at 0.
  for (int a = kWord126; a < kWord126 + 2; ++a) {
    if (read[a] != 0) return a;
  }
  for (int a = first_block * kBlockSize; a < (last_block + 1) * kBlockSize; ++a) {
    if (sent[a] != read[a]) return a;
  }
  return -1;
}

}  // namespace

std::string RadioStatus::ResultText() const {
  switch (result) {
    case RadioResult::kSucceeded:
      return res::FormatString(kStrResultOk);
    case RadioResult::kCancelled:
      return res::FormatString(kStrResultCancelled);
    case RadioResult::kFailed:
      return message.empty() ? res::FormatString(kStrResultFailed) : message;
    case RadioResult::kPending:
      break;
  }
  return {};
}

std::string PhaseText(const RadioStatus& s) {
  switch (s.phase) {
    case RadioPhase::kWaiting:
      return res::FormatString(kStrPhaseWaiting);
    case RadioPhase::kUpload:
      return res::FormatString(res::kStrUploadFunction);
    case RadioPhase::kDownload:
      return res::FormatString(res::kStrDownloadFunction);
    case RadioPhase::kVerify:
      return res::FormatString(kStrVerifyFunction);
    case RadioPhase::kDone:
      break;
  }
  return res::FormatString(kStrPhaseDone);
}

Answer FixedAnswers::Ask(int, const std::string&, const Message& message) {
  const bool yes_no =
      message.buttons == MessageButtons::kYesNo || message.buttons == MessageButtons::kYesNoCancel;
  if (message.buttons == MessageButtons::kOk) return Answer::kOk;
  if (yes_) return yes_no ? Answer::kYes : Answer::kOk;
  return yes_no ? Answer::kNo : Answer::kCancel;
}

std::filesystem::path FleetOptions::BackupFolder() const {
  if (!backup_folder.empty()) return backup_folder;
  return log_folder.empty() ? std::filesystem::path(kBackupFolderName)
                            : log_folder / kBackupFolderName;
}

std::string CheckFleetOptions(const FleetOptions& options) {
  if (options.ports.empty()) return res::FormatString(kStrNoPorts);
  const link::PortNames names;
  for (std::size_t i = 0; i < options.ports.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      // COM1 and the device it stands for are the same cable.
      if (names.Resolve(options.ports[i]) == names.Resolve(options.ports[j])) {
        return res::FormatString(kStrPortTwice, {options.ports[i]});
      }
    }
  }
  if (options.job == FleetJob::kUpload) {
    std::error_code ec;
    if (std::filesystem::exists(options.output_dir, ec) &&
        !std::filesystem::is_directory(options.output_dir, ec)) {
      return res::FormatString(kStrNotAFolder, {options.output_dir.string()});
    }
  }
  return {};
}

// One radio's side of the run: the transfer's observer and prompter, turning its notices into
// status changes.
class FleetRun::Radio : public link::TransferObserver, public Prompter {
 public:
  Radio(FleetRun& run, int index) : run_(run), index_(index) {}

  void Prompt(int id) override {
    Update([&](RadioStatus& s) { s.prompt_id = id; });
  }
  void Range(int maximum) override {
    range_ = std::max(maximum, 1);
    Update([&](RadioStatus& s) { s.percent = 0; });
  }
  void Position(int position) override {
    const int percent = std::clamp(position, 0, range_) * 100 / range_;
    Update([&](RadioStatus& s) { s.percent = percent; });
  }

  Answer Ask(const Message& message) override {
    if (message.buttons == MessageButtons::kOk) {
      // "... is completed" says nothing the result does not; anything else is the failure.
      if (message.icon != MessageIcon::kInformation) {
        Update([&](RadioStatus& s) {
          s.message_id = message.string_id;
          s.message = message.Text();
        });
      }
      return Answer::kOk;
    }
    if (run_.questions_ == nullptr) return Answer::kCancel;
    return run_.questions_->Ask(index_, run_.options_.ports[static_cast<std::size_t>(index_)],
                                message);
  }
  using Prompter::Ask;

  void Phase(RadioPhase phase) {
    range_ = 1;
    Update([&](RadioStatus& s) {
      s.phase = phase;
      s.percent = 0;
      s.prompt_id = 0;
    });
  }
  void Facts(const link::RadioFacts& facts) {
    Update([&](RadioStatus& s) {
      if (facts.known) s.serial = facts.serial;
      if (facts.band >= 0) s.band = facts.band;
      if (facts.model >= 0) s.model = facts.model;
    });
  }

  // Applies a change; the observer hears of it only when something it shows changed.
  template <typename F>
  void Update(F change) {
    RadioStatus copy;
    {
      std::lock_guard lock(run_.mutex_);
      RadioStatus& s = run_.status_[static_cast<std::size_t>(index_)];
      const RadioStatus before = s;
      change(s);
      if (s.phase == before.phase && s.percent == before.percent &&
          s.prompt_id == before.prompt_id && s.serial == before.serial &&
          s.message == before.message && s.result == before.result) {
        return;
      }
      copy = s;
    }
    if (run_.observer_ != nullptr) run_.observer_->Changed(index_, copy);
  }

  RadioStatus Current() const {
    std::lock_guard lock(run_.mutex_);
    return run_.status_[static_cast<std::size_t>(index_)];
  }

 private:
  FleetRun& run_;
  int index_;
  int range_ = 1;
};

FleetRun::FleetRun(FleetOptions options, FleetQuestions* questions, RadioObserver* observer)
    : options_(std::move(options)),
      questions_(questions),
      observer_(observer),
      log_(options_.log_folder) {
  status_.resize(options_.ports.size());
  for (std::size_t i = 0; i < status_.size(); ++i) status_[i].port = options_.ports[i];
}

FleetRun::~FleetRun() {
  bool running = false;
  for (auto& w : workers_) running = running || w.joinable();
  if (running) Cancel();
  Wait();
}

void FleetRun::Start() {
  for (std::size_t i = 0; i < options_.ports.size(); ++i) {
    workers_.emplace_back([this, i] { RunRadio(static_cast<int>(i)); });
  }
}

void FleetRun::Wait() {
  for (auto& w : workers_) {
    if (w.joinable()) w.join();
  }
}

std::vector<RadioStatus> FleetRun::Snapshot() const {
  std::lock_guard lock(mutex_);
  return status_;
}

bool FleetRun::AllSucceeded() const {
  std::lock_guard lock(mutex_);
  return !status_.empty() && std::all_of(status_.begin(), status_.end(), [](const auto& s) {
    return s.result == RadioResult::kSucceeded;
  });
}

struct FleetRun::RadioRun {
  RadioResult result = RadioResult::kFailed;
  int message_id = 0;
  std::string message;
  int verify_address = -1;
  bool fell_back = false;
  std::string file, backup;
  std::unique_ptr<Image> logged;  // the image the log line's checksum is of
  link::PortOpenError open_error;

  void Fail(int id, std::initializer_list<std::string_view> args = {}) {
    result = RadioResult::kFailed;
    message_id = id;
    message = res::FormatString(id, args);
  }
  // A transfer that did not reach its own end: cancelled, out of time, or failed with the
  // message it showed (a question answered Cancel shows none).
  void Unfinished(const link::TransferOutcome& outcome, int fallback_id, const Radio& radio) {
    if (outcome.wait_expired) return Fail(kStrNoStartByte);
    if (outcome.end == link::TransferEnd::kCancelled) {
      result = RadioResult::kCancelled;
      return;
    }
    const RadioStatus now = radio.Current();
    result = RadioResult::kFailed;
    message_id = now.message_id != 0 ? now.message_id : outcome.message_id;
    message = !now.message.empty() ? now.message
                                   : res::FormatString(message_id != 0 ? message_id : fallback_id);
  }
};

void FleetRun::RunRadio(int index) {
  const std::string port = options_.ports[static_cast<std::size_t>(index)];
  Radio radio(*this, index);
  const auto started = Clock::now();
  const auto when = WallClock::now();
  RadioRun run;

  try {
    const link::CloneEnvironment env = Environment(port, radio);
    if (options_.job == FleetJob::kDownload) {
      DownloadToRadio(radio, env, when, run);
    } else {
      UploadFromRadio(radio, env, when, run);
    }
  } catch (const std::exception& e) {
    run.result = RadioResult::kFailed;
    run.message = e.what();
  }

  // Which of several cables would not open, and why, is worth saying beside the message.
  if (run.message_id == res::kStrProblemWithComPort) {
    const std::string hint = link::OpenErrorHint(run.open_error);
    run.message += " (" + (hint.empty() ? run.open_error.detail : hint) + ")";
  }

  RadioStatus final_status = Finish(index, run, started);
  LogRadio(index, port, run, when, final_status);
  if (observer_ != nullptr) {
    observer_->Changed(index, final_status);
    observer_->Finished(index, final_status);
  }
}

link::CloneEnvironment FleetRun::Environment(const std::string& port, Radio& radio) {
  link::CloneEnvironment env;
  env.open_port = [this, port](int read_constant_ms, link::PortOpenError* error) {
    return options_.open_port ? options_.open_port(port, read_constant_ms, error) : nullptr;
  };
  env.port_label = link::PortLabel(port);
  env.prompter = &radio;
  env.observer = &radio;
  env.cancel = &cancel_;
  env.maintenance = options_.maintenance;
  env.log_folder = options_.log_folder;
  env.start_byte_wait = options_.start_byte_wait;
  env.fast = options_.fast;
  return env;
}

void FleetRun::DownloadToRadio(Radio& radio, const link::CloneEnvironment& env,
                               WallClock::time_point when, RadioRun& run) {
  std::unique_ptr<link::SerialPort> link;
  auto doc = std::make_unique<Codeplug>(options_.source);
  link::CloneSession session(*doc, link, env);
  radio.Phase(RadioPhase::kDownload);
  const auto outcome =
      link::DownloadCommand(*doc, [&](link::TransferKind kind) { return session.Run(kind); });
  radio.Facts(session.radio());
  run.fell_back = session.fell_back();
  run.file = options_.source_file;
  run.open_error = session.open_error();
  if (session.sent_image() != nullptr) run.logged = std::make_unique<Image>(*session.sent_image());
  if (!outcome.succeeded) {
    run.Unfinished(outcome, kStrResultFailed, radio);
  } else if (!options_.VerifyOn()) {
    run.result = RadioResult::kSucceeded;
  } else {
    VerifyDownload(radio, session, link, env, when, run);
  }
}

void FleetRun::VerifyDownload(Radio& radio, const link::CloneSession& session,
                              std::unique_ptr<link::SerialPort>& link,
                              const link::CloneEnvironment& env, WallClock::time_point when,
                              RadioRun& run) {
  // The radio read back whole, as an upload reads it: a radio that wants switching off and on
  // first is asked for that the same way.
  radio.Phase(RadioPhase::kVerify);
  auto back = std::make_unique<Codeplug>();
  back->ResetToDefaults();
  link::CloneSession reader(*back, link, env);
  const auto read = reader.Run(link::TransferKind::kUpload);
  run.fell_back = run.fell_back || reader.fell_back();
  if (!read.succeeded) {
    run.Unfinished(read, kStrVerifyNoReadBack, radio);
    if (run.result == RadioResult::kFailed) {
      run.message = res::FormatString(kStrVerifyNoReadBack) + ": " + run.message;
    }
    return;
  }
  std::string error;
  const auto kept =
      KeepBackup(options_.BackupFolder(), back->image, BandDefaultSplit(session.radio().band),
                 radio.Current().serial, when, &error);
  run.backup = kept.string();
  run.verify_address = FirstDifference(*session.sent_image(), back->image,
                                       session.sent_first_block(), session.sent_last_block());
  if (run.verify_address >= 0) {
    run.Fail(kStrVerifyMismatch, {Format("0x%04X", run.verify_address)});
  } else if (kept.empty()) {
    run.Fail(kStrBackupFailed, {error});
    run.message = error;
  } else {
    run.result = RadioResult::kSucceeded;
  }
}

void FleetRun::UploadFromRadio(Radio& radio, const link::CloneEnvironment& env,
                               WallClock::time_point when, RadioRun& run) {
  std::unique_ptr<link::SerialPort> link;
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  link::CloneSession session(*doc, link, env);
  radio.Phase(RadioPhase::kUpload);
  const auto outcome =
      link::UploadCommand(*doc, [&](link::TransferKind kind) { return session.Run(kind); });
  radio.Facts(session.radio());
  run.fell_back = session.fell_back();
  run.open_error = session.open_error();
  if (!outcome.succeeded) {
    run.Unfinished(outcome, kStrResultFailed, radio);
    return;
  }
  run.logged = std::make_unique<Image>(doc->image);
  // Uploads keep the image exactly as read; the default split follows the radio's band.
  const double split = BandDefaultSplit(doc->hardware.band);
  const std::string serial = DecodeSerialNumber(doc->image);
  radio.Update([&](RadioStatus& s) {
    s.serial = serial;
    s.band = doc->hardware.band;
    s.model = doc->hardware.product_type;
  });
  std::string error;
  const auto kept = KeepBackup(options_.BackupFolder(), doc->image, split, serial, when, &error);
  run.backup = kept.string();
  std::error_code ec;
  std::filesystem::create_directories(options_.output_dir, ec);
  const std::filesystem::path target = ClaimFile(serial);
  if (WriteImageFile(target.string(), doc->image, split, radio)) {
    run.file = target.string();
    run.result = kept.empty() ? RadioResult::kFailed : RadioResult::kSucceeded;
    if (kept.empty()) run.message = error;
  } else {
    const RadioStatus now = radio.Current();
    run.result = RadioResult::kFailed;
    run.message_id = now.message_id;
    run.message = now.message;
  }
}

std::filesystem::path FleetRun::ClaimFile(const std::string& serial) {
  std::lock_guard lock(mutex_);
  const std::string base = SerialForFileName(serial);
  std::string name = base + ".q40";
  for (int n = 2;
       std::find(claimed_files_.begin(), claimed_files_.end(), name) != claimed_files_.end(); ++n) {
    name = base + "-" + std::to_string(n) + ".q40";
  }
  claimed_files_.push_back(name);
  return options_.output_dir / name;
}

RadioStatus FleetRun::Finish(int index, const RadioRun& run,
                             std::chrono::steady_clock::time_point started) {
  std::lock_guard lock(mutex_);
  RadioStatus& s = status_[static_cast<std::size_t>(index)];
  s.phase = RadioPhase::kDone;
  s.result = run.result;
  s.message_id = run.result == RadioResult::kFailed ? run.message_id : 0;
  s.message = run.result == RadioResult::kFailed ? run.message : std::string();
  s.verify_address = run.verify_address;
  s.fell_back = run.fell_back;
  s.file = run.file;
  s.backup = run.backup;
  s.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  return s;
}

void FleetRun::LogRadio(int index, const std::string& port, const RadioRun& run,
                        WallClock::time_point when, RadioStatus& final_status) {
  FleetLogLine line;
  line.when = when;
  line.port = port;
  line.serial = final_status.serial;
  line.model = final_status.model;
  line.band = final_status.band;
  line.file = run.file;
  if (run.logged) {
    line.have_checksum = true;
    line.checksum = ImageChecksum(*run.logged);
  }
  line.result = final_status.ResultText();
  std::string error;
  if (!log_.Append(line, &error) && final_status.result == RadioResult::kSucceeded) {
    // A radio the record does not show was not handled as promised.
    std::lock_guard lock(mutex_);
    RadioStatus& s = status_[static_cast<std::size_t>(index)];
    s.result = RadioResult::kFailed;
    s.message = error;
    final_status = s;
  }
}

}  // namespace ql40::fleet
