// The radio link against the wire: a full 512-channel upload and download against the
// simulated radio paced at 9600 baud on a pseudo-terminal. For each transfer it prints the
// time taken divided by the wire-time bound (every byte the program and the radio send, 10 bits
// at 9600 baud, plus the pauses the protocol asks for) and the CPU time the transfer thread
// used as a share of the wall time.

#include <sys/prctl.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "link/clone_session.h"
#include "radiosim/radio_sim.h"

namespace {

using namespace ql40;

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

Image FullImage() {
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  doc->image = sim::BuiltInRadioImage({});
  doc->radio_origin = true;
  doc->RefreshFromImage();
  doc->channels.count.fill(0);
  doc->channels.count[0] = 255;
  doc->channels.count[1] = 255;
  doc->channels.count[2] = 2;
  doc->channels.total = 512;
  doc->CommitToImage();
  return doc->image;
}

bool Measure(const char* name, link::TransferKind kind, Codeplug& doc, sim::PtyRadio& radio) {
  const auto before = radio.stats();
  SilentPrompter prompter(Answer::kOk);
  link::CloneEnvironment env;
  const std::string device = radio.device_path();
  env.open_port = [&](int read_constant_ms, link::PortOpenError* error) {
    return link::OpenSystemPort(device, read_constant_ms, error);
  };
  env.prompter = &prompter;
  env.log_folder = std::filesystem::temp_directory_path();
  std::unique_ptr<link::SerialPort> port;
  link::CloneSession session(doc, port, env);

  const double cpu0 = ThreadCpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  const auto outcome = session.Run(kind);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = ThreadCpuSeconds() - cpu0;
  if (!outcome.succeeded) {
    std::printf("%-9s FAILED (message %d)\n", name, outcome.message_id);
    return false;
  }
  const auto after = radio.stats();
  const auto pc_bytes = after.bytes_received - before.bytes_received;
  const auto radio_bytes = after.bytes_sent - before.bytes_sent;
  // No handshake was needed, so the protocol asked for no pauses.
  const double bound = static_cast<double>(pc_bytes + radio_bytes) * 10.0 / 9600.0;
  std::printf("%-9s %6llu + %6llu bytes  bound %6.2f s  took %6.2f s  ratio %.3f  CPU %.2f%%\n",
              name, static_cast<unsigned long long>(pc_bytes),
              static_cast<unsigned long long>(radio_bytes), bound, wall, wall / bound,
              100.0 * cpu / wall);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // A real radio answers on its own clock; the simulated one inherits this thread's timer
  // slack, which would add up to 50 us of its own to every echo.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  sim::RadioOptions options;
  // --unpaced: the radio answers at once, which shows the turnaround of the pty and the two
  // threads alone.
  options.pace = !(argc > 1 && std::string(argv[1]) == "--unpaced");
  const Image memory = FullImage();
  std::string error;
  auto radio = sim::PtyRadio::Start(options, memory, &error);
  if (!radio) {
    std::fprintf(stderr, "bench_link: cannot start the simulated radio: %s\n", error.c_str());
    return 1;
  }
  std::printf("Full 512-channel codeplug, simulated radio %s on %s\n",
              options.pace ? "paced at 9600 baud" : "unpaced", radio->device_path().c_str());
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  bool ok = Measure("upload", link::TransferKind::kUpload, *doc, *radio);
  doc->RefreshFromImage();
  doc->CommitToImage();
  ok = ok && Measure("download", link::TransferKind::kDownload, *doc, *radio);
  return ok ? 0 : 1;
}
