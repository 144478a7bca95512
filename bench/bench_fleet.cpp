// Programming a fleet against paced simulated radios (9600 baud on pseudo-terminals), all with
// a full 512-channel codeplug:
// - one radio alone, then eight at once, served by a separate ql40-radiosim process so that
//   this process's CPU time is the program's alone: the ratio of the eight-radio wall time to
//   the one-radio time, and the CPU used as a share of one core;
// - one download byte by byte and one with fast sending, each as a share of the wire-time
//   bound (every byte the program and the radio send, 10 bits at 9600 baud).
// Prints its figures; asserts nothing about time.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "fleet/fleet_run.h"
#include "link/clone_session.h"
#include "radiosim/radio_sim.h"

extern char** environ;

namespace {

using namespace ql40;
using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

Codeplug FullCodeplug() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image = sim::BuiltInRadioImage({});
  doc.radio_origin = true;
  doc.RefreshFromImage();
  doc.channels.count.fill(0);
  doc.channels.count[0] = 255;
  doc.channels.count[1] = 255;
  doc.channels.count[2] = 2;
  doc.channels.total = 512;
  doc.CommitToImage();
  doc.RefreshFromImage();
  return doc;
}

// ql40-radiosim serving paced radios; stopped by its process id.
class RadioProcess {
 public:
  RadioProcess(const std::string& program, int count) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string count_text = std::to_string(count);
    std::vector<std::string> args = {program, "--pace", "--count", count_text};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string line;
    char c = 0;
    pollfd p{out[0], POLLIN, 0};
    while (static_cast<int>(devices.size()) < count && poll(&p, 1, 10000) > 0 &&
           read(out[0], &c, 1) == 1) {
      if (c == '\n') {
        devices.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    close(out[0]);
  }
  ~RadioProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  std::vector<std::string> devices;

 private:
  pid_t pid_ = -1;
};

struct RunFigures {
  bool ok = false;
  double wall = 0;
  double cpu = 0;
};

RunFigures Fleet(const std::vector<std::string>& ports, const Codeplug& source, bool fast) {
  fleet::FleetOptions o;
  o.job = fleet::FleetJob::kDownload;
  o.ports = ports;
  o.verify = false;  // alone or eight at once, the same work per radio
  o.source = source;
  o.source_file = "full.q40";
  o.fast = fast;
  o.log_folder = std::filesystem::temp_directory_path();
  o.open_port = [](const std::string& port, int read_constant_ms, link::PortOpenError* error) {
    return link::OpenSystemPort(port, read_constant_ms, error);
  };
  fleet::FixedAnswers answers(true);
  fleet::FleetRun run(std::move(o), &answers, nullptr);
  const double cpu0 = ProcessCpuSeconds();
  const auto t0 = Clock::now();
  run.Start();
  run.Wait();
  RunFigures f;
  f.wall = std::chrono::duration<double>(Clock::now() - t0).count();
  f.cpu = ProcessCpuSeconds() - cpu0;
  f.ok = run.AllSucceeded();
  if (!f.ok) {
    for (const auto& s : run.Snapshot()) {
      if (s.result != fleet::RadioResult::kSucceeded)
        std::printf("  %s: %s\n", s.port.c_str(), s.ResultText().c_str());
    }
  }
  return f;
}

bool WireShare(const char* name, bool fast, const Codeplug& source) {
  sim::RadioOptions options;
  options.pace = true;
  std::string error;
  auto radio = sim::PtyRadio::Start(options, sim::BuiltInRadioImage(options), &error);
  if (!radio) {
    std::printf("%-12s cannot start the radio: %s\n", name, error.c_str());
    return false;
  }
  auto doc = std::make_unique<Codeplug>(source);
  SilentPrompter prompter(Answer::kOk);
  link::CloneEnvironment env;
  const std::string device = radio->device_path();
  env.open_port = [&](int read_constant_ms, link::PortOpenError* e) {
    return link::OpenSystemPort(device, read_constant_ms, e);
  };
  env.prompter = &prompter;
  env.log_folder = std::filesystem::temp_directory_path();
  env.fast = fast;
  std::unique_ptr<link::SerialPort> port;
  link::CloneSession session(*doc, port, env);
  const auto t0 = Clock::now();
  const auto outcome = session.Run(link::TransferKind::kDownload);
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  if (!outcome.succeeded) {
    std::printf("%-12s FAILED (message %d)\n", name, outcome.message_id);
    return false;
  }
  const auto stats = radio->stats();
  const double bound = static_cast<double>(stats.bytes_received + stats.bytes_sent) * 10.0 / 9600.0;
  std::printf("%-12s bound %6.2f s  took %6.2f s  share of the bound %.3f%s\n", name, bound, wall,
              wall / bound, session.fell_back() ? "  (fell back)" : "");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  const std::string self = argv[0];
  const std::string dir = self.substr(0, self.find_last_of('/') + 1);
  const std::string radiosim = argc > 1 ? argv[1] : dir + "ql40-radiosim";
  const Codeplug source = FullCodeplug();

  std::printf("Download of a full 512-channel codeplug to paced simulated radios\n");
  bool ok = true;
  {
    RadioProcess one(radiosim, 1);
    RadioProcess eight(radiosim, 8);
    if (one.devices.size() != 1 || eight.devices.size() != 8) {
      std::fprintf(stderr, "bench_fleet: cannot start %s\n", radiosim.c_str());
      return 1;
    }
    const RunFigures alone = Fleet(one.devices, source, false);
    const RunFigures fleet = Fleet(eight.devices, source, false);
    const RunFigures fast = Fleet(eight.devices, source, true);
    ok = alone.ok && fleet.ok && fast.ok;
    std::printf("one radio     %6.2f s wall  CPU %5.2f%% of one core\n", alone.wall,
                100.0 * alone.cpu / alone.wall);
    std::printf("eight radios  %6.2f s wall  CPU %5.2f%% of one core (all eight)\n", fleet.wall,
                100.0 * fleet.cpu / fleet.wall);
    std::printf("eight / one   %.3f\n", fleet.wall / alone.wall);
    std::printf("eight, --fast %6.2f s wall  CPU %5.2f%% of one core (all eight)\n", fast.wall,
                100.0 * fast.cpu / fast.wall);
  }
  ok = WireShare("byte by byte", false, source) && ok;
  ok = WireShare("--fast", true, source) && ok;
  return ok ? 0 : 1;
}
