// ql40 upload / ql40 download: read a radio into a file and program a file into a radio.

#include <csignal>
#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define STDIN_FILENO 0
#define STDERR_FILENO 2
#else
#include <termios.h>
#include <unistd.h>
#endif

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli.h"
#include "cli_fleet.h"
#include "codeplug/files.h"
#include "link/clone_session.h"
#include "link/maintenance.h"
#include "link/trace.h"
#include "link/transfer_runner.h"
#include "resources/strings.h"

namespace ql40::cli {
namespace {

// Ctrl+C is the transfer's cancel request. The handler only sets the token; a second Ctrl+C
// ends the program the usual way.
link::CancelToken g_cancel;
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
  g_cancel.Request();
#if defined(_WIN32)
  std::signal(SIGINT, SIG_DFL);
#endif
}

class InterruptGuard {
 public:
  InterruptGuard() {
    g_cancel.Reset();
    g_interrupted = 0;
#if defined(_WIN32)
    std::signal(SIGINT, OnInterrupt);
#else
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previous_);
#endif
  }
  ~InterruptGuard() {
#if defined(_WIN32)
    std::signal(SIGINT, SIG_DFL);
#else
    sigaction(SIGINT, &previous_, nullptr);
#endif
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

#if !defined(_WIN32)
 private:
  struct sigaction previous_ {};
#endif
};

// Progress on stderr: a bar redrawn in place on a terminal, the prompts as lines otherwise.
class ProgressView : public link::TransferObserver, public Prompter {
 public:
  ProgressView(Prompter& inner, bool terminal) : inner_(inner), terminal_(terminal) {}

  void Title(int id) override { title_ = res::FormatString(id); }
  void Prompt(int id) override {
    ClearBar();
    std::cerr << title_ << ": " << res::FormatString(id) << std::endl;
  }
  void Range(int maximum) override {
    maximum_ = std::max(maximum, 1);
    Draw(0);
  }
  void Position(int position) override { Draw(position); }
  void Completed() override { ClearBar(); }
  void Failed() override { ClearBar(); }

  Answer Ask(const Message& message) override {
    ClearBar();
    return inner_.Ask(message);
  }
  using Prompter::Ask;
  void Finish() { ClearBar(); }

 private:
  void Draw(int position) {
    if (!terminal_) return;
    constexpr int kWidth = 40;
    position = std::clamp(position, 0, maximum_);
    const int filled = position * kWidth / maximum_;
    const int percent = position * 100 / maximum_;
    if (filled == last_filled_ && percent == last_percent_ && bar_shown_) return;
    last_filled_ = filled;
    last_percent_ = percent;
    std::string bar = "\r" + title_ + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                      std::to_string(percent) + "%";
    std::cerr << bar << std::flush;
    bar_shown_ = true;
  }
  void ClearBar() {
    if (!bar_shown_) return;
    std::cerr << "\r\033[K" << std::flush;
    bar_shown_ = false;
  }

  Prompter& inner_;
  bool terminal_;
  std::string title_;
  int maximum_ = 1;
  int last_filled_ = -1;
  int last_percent_ = -1;
  bool bar_shown_ = false;
};

struct TransferOptions {
  std::string port;  // the first of ports
  std::vector<std::string> ports;
  bool fast = false;
  std::optional<bool> verify;
  std::string trace_path;
  double wait_seconds = -1;
  bool yes = false;
  bool no = false;
};

void AddCommonOptions(CLI::App* cmd, TransferOptions& opt) {
  cmd->add_option("--port", opt.ports,
                  "COM1 to COM4, or the serial device path; give it once per radio to program "
                  "several radios at once")
      ->required()
      ->expected(1)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  cmd->add_flag("--fast", opt.fast,
                "Send each frame whole and check its echo afterwards (falls back to byte by "
                "byte when the radio cannot keep up)");
  cmd->add_option("--wait", opt.wait_seconds,
                  "How long to wait for the radio's start byte after asking to switch it off "
                  "and on (default: until Ctrl+C)")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--trace", opt.trace_path,
                  "Write every byte sent and received, with time stamps, to this file");
  cmd->add_flag("--yes,-y", opt.yes, "Answer OK/Yes to every question");
  cmd->add_flag("--no", opt.no, "Answer Cancel/No to every question");
}

// The pieces every transfer command sets up.
class TransferSetup {
 public:
  explicit TransferSetup(const TransferOptions& opt)
      : prompter_(opt.yes  ? TerminalPrompter::Policy::kYes
                  : opt.no ? TerminalPrompter::Policy::kNo
                           : TerminalPrompter::Policy::kAsk),
        view_(prompter_, ::isatty(STDERR_FILENO) == 1),
        device_(link::PortNames().Resolve(opt.port)) {
    if (!opt.trace_path.empty()) {
      trace_ = std::make_unique<link::FileTrace>(opt.trace_path);
      if (!trace_->ok()) {
        std::cerr << "ql40: cannot write the trace file " << opt.trace_path << "\n";
        trace_.reset();
        trace_failed_ = true;
      }
    }
    env_.open_port = [this](int read_constant_ms, link::PortOpenError* error) {
      auto port = link::OpenSystemPort(device_, read_constant_ms, error);
      if (port && trace_) port->set_trace(trace_.get());
      return port;
    };
    env_.port_label = link::PortLabel(opt.port);
    env_.prompter = &view_;
    env_.observer = &view_;
    env_.cancel = &g_cancel;
    env_.fast = opt.fast;
    if (opt.wait_seconds > 0) {
      env_.start_byte_wait =
          std::chrono::milliseconds(static_cast<long long>(std::ceil(opt.wait_seconds * 1000)));
    }
  }

  bool trace_failed() const { return trace_failed_; }
  link::CloneEnvironment& env() { return env_; }
  Prompter& prompter() { return view_; }

  // The exit status of a finished transfer, with the words a terminal user needs.
  int Finish(const link::TransferOutcome& outcome, const link::CloneSession& session,
             const TransferOptions& opt) {
    view_.Finish();
    if (g_interrupted) {
      std::cerr << "ql40: interrupted; the port is closed and nothing was written\n";
      return kExitInterrupted;
    }
    if (outcome.wait_expired) {
      std::cerr << "ql40: the radio sent no start byte within " << opt.wait_seconds
                << (opt.wait_seconds == 1 ? " second" : " seconds") << "; transfer cancelled\n";
      return kExitFailure;
    }
    if (outcome.message_id == res::kStrProblemWithComPort) {
      const std::string hint = link::OpenErrorHint(session.open_error());
      if (!hint.empty()) std::cerr << "ql40: " << hint << "\n";
    }
    return outcome.succeeded ? kExitOk : kExitFailure;
  }

 private:
  TerminalPrompter prompter_;
  ProgressView view_;
  std::string device_;
  std::unique_ptr<link::FileTrace> trace_;
  bool trace_failed_ = false;
  link::CloneEnvironment env_;
};

// The access code, asked without echo on a terminal, else read as one line from stdin.
std::optional<std::string> ReadAccessCode() {
  std::string line;
  if (::isatty(STDIN_FILENO) == 1) {
    std::cerr << "Access code: " << std::flush;
#if defined(_WIN32)
    const bool got = static_cast<bool>(std::getline(std::cin, line));
#else
    termios saved{};
    const bool have = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (have) {
      termios quiet = saved;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool got = static_cast<bool>(std::getline(std::cin, line));
    if (have) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
#endif
    std::cerr << "\n";
    if (!got) return std::nullopt;
  } else if (!std::getline(std::cin, line)) {
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// What several radios, or one radio with its read-back, share with the single transfer.
std::optional<int> FleetOptionsFrom(const TransferOptions& opt, fleet::FleetJob job,
                                    fleet::FleetOptions& fleet) {
  if (!opt.trace_path.empty() && opt.ports.size() > 1) {
    std::cerr << "ql40: --trace records one port; give it with one --port only\n";
    return kExitUsage;
  }
  fleet.job = job;
  fleet.ports = opt.ports;
  fleet.fast = opt.fast;
  fleet.verify = opt.verify;
  if (opt.wait_seconds > 0) {
    fleet.start_byte_wait =
        std::chrono::milliseconds(static_cast<long long>(std::ceil(opt.wait_seconds * 1000)));
  }
  return std::nullopt;
}

TerminalPrompter::Policy PolicyOf(const TransferOptions& opt) {
  return opt.yes  ? TerminalPrompter::Policy::kYes
         : opt.no ? TerminalPrompter::Policy::kNo
                  : TerminalPrompter::Policy::kAsk;
}

int RunUpload(const TransferOptions& opt, const std::string& output) {
  std::error_code ec;
  if (opt.ports.size() > 1 || std::filesystem::is_directory(output, ec)) {
    fleet::FleetOptions fleet;
    if (const auto status = FleetOptionsFrom(opt, fleet::FleetJob::kUpload, fleet)) return *status;
    fleet.output_dir = output;
    return RunFleet(std::move(fleet), PolicyOf(opt));
  }
  TransferSetup setup(opt);
  if (setup.trace_failed()) return kExitFailure;
  if (!CheckWritable(output, setup.prompter())) return kExitFailure;
  // The built-in default codeplug supplies whatever the radio is not asked for.
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  std::unique_ptr<link::SerialPort> port;
  link::CloneSession session(*doc, port, setup.env());
  link::TransferOutcome outcome;
  {
    InterruptGuard guard;
    outcome = link::UploadCommand(
        *doc, [&](link::TransferKind kind) { return link::RunOnWorker(session, kind); });
    const int status = setup.Finish(outcome, session, opt);
    if (status != kExitOk) {
      RecordSingleTransfer(fleet::FleetJob::kUpload, opt.port, session, outcome, nullptr, output);
      return status;
    }
  }
  RecordSingleTransfer(fleet::FleetJob::kUpload, opt.port, session, outcome, &doc->image, output);
  // The image as read, uncommitted: a faithful backup of the radio. The default split is
  // not radio memory; the radio's band gives it.
  if (!WriteImageFile(output, doc->image, BandDefaultSplit(doc->hardware.band), setup.prompter())) {
    return kExitFailure;
  }
  std::cerr << "ql40: wrote " << output << "\n";
  return kExitOk;
}

int RunDownload(const TransferOptions& opt, const std::string& input, bool maintenance) {
  TransferSetup setup(opt);
  if (setup.trace_failed()) return kExitFailure;
  if (maintenance) {
    const auto code = ReadAccessCode();
    if (!code || !link::CheckAccessCode(*code)) {
      std::cerr << "ql40: wrong access code; maintenance mode refused\n";
      return kExitFailure;
    }
  }
  auto doc = std::make_unique<Codeplug>();
  if (!OpenCodeplugFile(input, *doc, setup.prompter())) return kExitFailure;
  if (opt.ports.size() > 1 || opt.verify.value_or(false)) {
    fleet::FleetOptions fleet;
    if (const auto status = FleetOptionsFrom(opt, fleet::FleetJob::kDownload, fleet)) {
      return *status;
    }
    fleet.source = *doc;
    fleet.source_file = input;
    fleet.maintenance = maintenance;
    return RunFleet(std::move(fleet), PolicyOf(opt));
  }
  setup.env().maintenance = maintenance;
  std::unique_ptr<link::SerialPort> port;
  link::CloneSession session(*doc, port, setup.env());
  InterruptGuard guard;
  const auto outcome = link::DownloadCommand(
      *doc, [&](link::TransferKind kind) { return link::RunOnWorker(session, kind); });
  const int status = setup.Finish(outcome, session, opt);
  RecordSingleTransfer(fleet::FleetJob::kDownload, opt.port, session, outcome, nullptr, input);
  return status;
}

}  // namespace

void RegisterTransferCommands(CLI::App& app, int& exit_status) {
  auto upload_opt = std::make_shared<TransferOptions>();
  auto output = std::make_shared<std::string>();
  auto* upload = app.add_subcommand("upload", "Read the radio's codeplug into a .q40 file");
  AddCommonOptions(upload, *upload_opt);
  upload
      ->add_option("-o,--output", *output,
                   "The .q40 file to write; with several ports (or a folder) the folder that "
                   "gets one file per radio, named by serial number")
      ->required();
  upload->callback([&exit_status, upload_opt, output] {
    upload_opt->port = upload_opt->ports.front();
    exit_status = RunUpload(*upload_opt, *output);
  });

  auto download_opt = std::make_shared<TransferOptions>();
  auto input = std::make_shared<std::string>();
  auto maintenance = std::make_shared<bool>(false);
  auto* download = app.add_subcommand("download", "Program a .q40 file into the radio");
  AddCommonOptions(download, *download_opt);
  download->add_option("file", *input, "The .q40 file to program")->required();
  download->add_flag("--maintenance", *maintenance,
                     "Maintenance mode: also write the channel-step block (asks for the "
                     "access code)");
  auto force = std::make_shared<bool>(false);  // the check runs first; --force overrides it
  download->add_flag("--force", *force, "Program even when `ql40 check` finds errors");
  auto verify = std::make_shared<bool>(false);
  auto no_verify = std::make_shared<bool>(false);
  auto* verify_opt = download->add_flag(
      "--verify", *verify, "Read every radio back and compare (default with several ports)");
  download->add_flag("--no-verify", *no_verify, "Do not read back (default with one port)")
      ->excludes(verify_opt);
  download->callback([&exit_status, download_opt, input, maintenance, force, verify, no_verify] {
    download_opt->port = download_opt->ports.front();
    if (*verify) download_opt->verify = true;
    if (*no_verify) download_opt->verify = false;
    exit_status = !*force && !CheckBeforeDownload(*input)
                      ? kExitFailure
                      : RunDownload(*download_opt, *input, *maintenance);
  });
}

}  // namespace ql40::cli
