// ql40 upload / download with several --port options: every radio at once, one line of
// progress each, a table of results at the end.

#include <csignal>
#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <iostream>
#include <mutex>

#include "cli_fleet.h"
#include "codeplug/codecs.h"
#include "codeplug/hardware.h"
#include "fleet/fleet_strings.h"
#include "link/clone_session.h"
#include "resources/labels.h"
#include "resources/strings.h"
#include "shell/backups.h"

namespace ql40::cli {
namespace {

// Ctrl+C cancels the whole run; the handler only sets the run's token, which is signal-safe.
link::CancelToken* volatile g_fleet_cancel = nullptr;
volatile std::sig_atomic_t g_fleet_interrupted = 0;

extern "C" void OnFleetInterrupt(int) {
  g_fleet_interrupted = 1;
  if (link::CancelToken* token = g_fleet_cancel) token->Request();
}

class FleetInterruptGuard {
 public:
  explicit FleetInterruptGuard(link::CancelToken& token) {
    g_fleet_interrupted = 0;
    g_fleet_cancel = &token;
#if defined(_WIN32)
    std::signal(SIGINT, OnFleetInterrupt);
#else
    // A second Ctrl+C ends the program the usual way.
    struct sigaction action {};
    action.sa_handler = OnFleetInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previous_);
#endif
  }
  ~FleetInterruptGuard() {
#if defined(_WIN32)
    std::signal(SIGINT, SIG_DFL);
#else
    sigaction(SIGINT, &previous_, nullptr);
#endif
    g_fleet_cancel = nullptr;
  }
  FleetInterruptGuard(const FleetInterruptGuard&) = delete;
  FleetInterruptGuard& operator=(const FleetInterruptGuard&) = delete;

#if !defined(_WIN32)
 private:
  struct sigaction previous_ {};
#endif
};

std::string ModelText(int model) {
  return model >= 0 ? res::LabelOr(res::kProductTypes, model) : std::string("-");
}

// One line per radio, redrawn in place on a terminal; otherwise a line for every event
// (phase, prompt, serial number, result) and none for mere progress.
class FleetView : public fleet::RadioObserver, public fleet::FleetQuestions {
 public:
  FleetView(std::vector<std::string> ports, TerminalPrompter::Policy policy, bool terminal)
      : prompter_(policy), terminal_(terminal), lines_(ports.size()) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
      width_ = std::max(width_, ports[i].size());
      lines_[i].port = ports[i];
    }
  }

  void Begin() {
    std::lock_guard lock(mutex_);
    if (terminal_) Draw(false);
  }

  void Changed(int radio, const fleet::RadioStatus& status) override {
    std::lock_guard lock(mutex_);
    fleet::RadioStatus& shown = lines_[static_cast<std::size_t>(radio)];
    const bool event = shown.phase != status.phase || shown.prompt_id != status.prompt_id ||
                       shown.serial != status.serial || shown.result != status.result;
    shown = status;
    if (terminal_) {
      if (!asking_) Draw(true);
    } else if (event) {
      std::cerr << Line(status) << std::endl;
    }
  }

  Answer Ask(int, const std::string& port, const Message& message) override {
    // One question at a time, below the progress lines, with the radio's port named. The
    // other radios go on meanwhile; only their drawing waits, so as not to garble the question.
    std::lock_guard ask(question_mutex_);
    {
      std::lock_guard lock(mutex_);
      asking_ = true;
    }
    Message named = message;
    named.string_id = fleet::kStrRadioQuestion;
    named.args = {port, TerminalText(message)};
    const Answer answer = prompter_.Ask(named);
    std::lock_guard lock(mutex_);
    asking_ = false;
    if (terminal_) Draw(false);  // the question's lines pushed the block up
    return answer;
  }

  void Table(const std::vector<fleet::RadioStatus>& radios) {
    std::lock_guard lock(mutex_);
    const std::string port = res::FormatString(fleet::kStrColumnPort);
    std::size_t w = std::max(width_, port.size());
    std::cerr << "\n"
              << Format("%-*s  %-8s  %-6s  %7s  %s", static_cast<int>(w), port.c_str(),
                        res::FormatString(fleet::kStrColumnSerial).c_str(),
                        res::FormatString(fleet::kStrColumnModel).c_str(),
                        res::FormatString(fleet::kStrColumnSeconds).c_str(),
                        res::FormatString(fleet::kStrColumnResult).c_str())
              << "\n";
    int ok = 0;
    for (const auto& r : radios) {
      if (r.result == fleet::RadioResult::kSucceeded) ++ok;
      std::string result = r.ResultText();
      if (r.fell_back) result += " (" + res::FormatString(fleet::kStrFastFellBack) + ")";
      std::cerr << Format("%-*s  %-8s  %-6s  %7.1f  %s", static_cast<int>(w), r.port.c_str(),
                          r.serial.empty() ? "-" : r.serial.c_str(), ModelText(r.model).c_str(),
                          r.seconds, result.c_str())
                << "\n";
    }
    std::cerr << res::FormatString(fleet::kStrSummary,
                                   {std::to_string(ok), std::to_string(radios.size())})
              << std::endl;
  }

 private:
  std::string Line(const fleet::RadioStatus& s) const {
    std::string text = Format("%-*s  %-8s  ", static_cast<int>(width_), s.port.c_str(),
                              s.serial.empty() ? "-" : s.serial.c_str());
    if (s.finished()) return text + s.ResultText();
    text += Format("%-17s %3d%%", fleet::PhaseText(s).c_str(), s.percent);
    if (s.prompt_id != 0) text += "  " + res::FormatString(s.prompt_id);
    return text;
  }

  void Draw(bool redraw) {
    // Throttled: a redraw for every percent of eight radios would flood a slow terminal.
    const auto now = std::chrono::steady_clock::now();
    if (redraw && drawn_ && now - last_draw_ < std::chrono::milliseconds(100)) {
      bool any_final = false;
      for (const auto& l : lines_) any_final = any_final || l.finished();
      if (!any_final) return;
    }
    last_draw_ = now;
    std::string out;
    if (drawn_ && redraw) out += Format("\033[%zuA", lines_.size());
    for (const auto& l : lines_) out += "\r" + Line(l) + "\033[K\n";
    std::cerr << out << std::flush;
    drawn_ = true;
  }

  std::mutex question_mutex_;  // held while a question waits for its answer
  std::mutex mutex_;           // the lines and the terminal
  bool asking_ = false;
  TerminalPrompter prompter_;
  bool terminal_;
  std::vector<fleet::RadioStatus> lines_;
  std::size_t width_ = 4;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_draw_{};
};

}  // namespace

void RecordSingleTransfer(fleet::FleetJob job, const std::string& port,
                          const link::CloneSession& session, const link::TransferOutcome& outcome,
                          const Image* image_read, const std::string& file) {
  const auto when = fleet::WallClock::now();
  fleet::FleetLogLine line;
  line.when = when;
  line.port = port;
  line.serial = session.radio().serial;
  line.band = session.radio().band;
  line.model = session.radio().model;
  line.file = file;
  const Image* fingerprint = job == fleet::FleetJob::kUpload ? image_read : session.sent_image();
  if (fingerprint != nullptr) {
    line.have_checksum = true;
    line.checksum = fleet::ImageChecksum(*fingerprint);
  }
  // A backup of a radio left half-written is named as such, and the last whole codeplug for it
  // (looked up before that backup is written) is named on stderr.
  const auto keep = [&](const Image& image, shell::BackupKind kind) {
    SilentPrompter quiet;
    if (shell::WriteBackup(fleet::kBackupFolderName, image, BandDefaultSplit(line.band),
                           line.serial, kind, fleet::WallClock::to_time_t(when), quiet)
            .empty()) {
      std::cerr << "ql40: "
                << res::FormatString(fleet::kStrBackupFailed,
                                     {std::string(fleet::kBackupFolderName) + "/"})
                << "\n";
    }
  };
  if (image_read != nullptr && outcome.radio_half_written) {
    const Message notice = shell::HalfWrittenNotice(fleet::kBackupFolderName, line.serial);
    keep(*image_read, shell::BackupKind::kReadHalfWritten);
    std::cerr << "ql40: " << TerminalText(notice) << "\n";
  } else if (image_read != nullptr) {
    std::string error;
    if (fleet::KeepBackup(fleet::kBackupFolderName, *image_read, BandDefaultSplit(line.band),
                          line.serial, when, &error)
            .empty()) {
      std::cerr << "ql40: " << error << "\n";
    }
  }
  // What was sent, complete or not: the radio may hold part of it now.
  if (job == fleet::FleetJob::kDownload && session.sent_image() != nullptr) {
    keep(*session.sent_image(), shell::BackupKind::kWrite);
  }
  line.result = outcome.succeeded ? res::FormatString(fleet::kStrResultOk)
                : outcome.end == link::TransferEnd::kCancelled
                    ? res::FormatString(fleet::kStrResultCancelled)
                : outcome.message_id != 0 ? res::FormatString(outcome.message_id)
                                          : res::FormatString(fleet::kStrResultFailed);
  fleet::FleetLog log({});
  std::string error;
  if (!log.Append(line, &error)) std::cerr << "ql40: " << error << "\n";
}

int RunFleet(fleet::FleetOptions options, TerminalPrompter::Policy policy) {
  const bool terminal = ::isatty(STDERR_FILENO) == 1;
  const std::string problem = fleet::CheckFleetOptions(options);
  if (!problem.empty()) {
    std::cerr << "ql40: " << problem << "\n";
    return kExitUsage;
  }
  if (!options.open_port) {
    options.open_port = [](const std::string& port, int read_constant_ms,
                           link::PortOpenError* error) {
      return link::OpenSystemPort(link::PortNames().Resolve(port), read_constant_ms, error);
    };
  }
  FleetView view(options.ports, policy, terminal);
  fleet::FleetRun run(std::move(options), &view, &view);
  {
    FleetInterruptGuard guard(run.cancel_token());
    view.Begin();
    run.Start();
    run.Wait();
  }
  const auto radios = run.Snapshot();
  view.Table(radios);
  for (const auto& r : radios) {
    if (r.result == fleet::RadioResult::kSucceeded && run.options().job == fleet::FleetJob::kUpload)
      std::cerr << r.port << ": " << res::FormatString(fleet::kStrWroteFile, {r.file}) << "\n";
  }
  if (g_fleet_interrupted) {
    std::cerr << "ql40: " << res::FormatString(fleet::kStrInterrupted) << "\n";
    return kExitInterrupted;
  }
  return run.AllSucceeded() ? kExitOk : kExitFailure;
}

}  // namespace ql40::cli
