// ql40-radiosim: a simulated PT-410/PT-610 radio on a pseudo-terminal, for trying Upload and
// Download without hardware and for testing the link end to end. Prints the device path as
// its first line on stdout and runs until Ctrl+C or SIGTERM.

#if defined(_WIN32)

#include <cstdio>

int main() {
  std::fputs("ql40-radiosim serves the radio on a pseudo-terminal, which this system lacks\n",
             stderr);
  return 1;
}

#else

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/hardware.h"
#include "link/frame.h"
#include "ql40_version.h"
#include "radiosim/radio_sim.h"

namespace {

using ql40::sim::RadioOptions;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kBandNames[] = {"VHF", "VHF Lo Band", "UHF"};
const char* const kModelNames[] = {"PT-610", "PT-410"};

int signal_pipe[2] = {-1, -1};

extern "C" void OnSignal(int signo) {
  const int saved = errno;
  const unsigned char b = static_cast<unsigned char>(signo);
  // Nothing else is safe here; a full pipe already holds a pending signal.
  if (write(signal_pipe[1], &b, 1) < 0) errno = saved;
  errno = saved;
}

bool InstallSignals(std::string& error) {
  if (pipe(signal_pipe) != 0) {
    error = std::strerror(errno);
    return false;
  }
  for (int fd : signal_pipe) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1}) sigaction(s, &sa, nullptr);
  return true;
}

// "c014", "0xC014" or "C014H" style hexadecimal, 0 to FFFF.
bool ParseHex(const std::string& text, int& value) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
  }
  if (digits.empty() || digits.size() > 4) return false;
  int v = 0;
  for (char c : digits) {
    int d = 0;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      return false;
    }
    v = v * 16 + d;
  }
  value = v;
  return true;
}

void Log(const std::string& text) {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  const auto ms = duration_cast<milliseconds>(steady_clock::now() - start).count();
  std::fprintf(stderr, "radiosim %6lld.%03lld  %s\n", static_cast<long long>(ms / 1000),
               static_cast<long long>(ms % 1000), text.c_str());
}

std::string Describe(const ql40::Image& image) {
  const int band = ql40::bits::Get(image[ql40::kOffsetBandModel], 7, 6);
  const int model = image[ql40::kOffsetBandModel] & 1;
  const int fw = ql40::bits::FromBcd(image[1]) * 100 + ql40::bits::FromBcd(image[0]);
  return ql40::Format("%s %s, serial %s, firmware %d.%02d, product code %04x", kModelNames[model],
                      band <= 2 ? kBandNames[band] : "(unknown band)",
                      ql40::DecodeSerialNumber(image).c_str(), fw / 100, fw % 100,
                      ql40::bits::GetWordBE(image, ql40::kOffsetProductCode));
}

std::string Summary(const ql40::sim::RadioStats& s) {
  auto n = [](std::int64_t v) { return static_cast<long long>(v); };
  return ql40::Format(
      "%lld frames served (%lld words read, %lld written; %lld blocks read, %lld written; %lld "
      "alignment commands), %lld ignored, %lld bad; %lld downloads completed",
      n(s.frames_served), n(s.words_read), n(s.words_written), n(s.blocks_read),
      n(s.blocks_written), n(s.alignment_commands), n(s.frames_ignored), n(s.bad_frames),
      n(s.downloads_completed));
}

// A codeplug JSON file rather than a memory image: by its name, as ql40 import knows it.
bool IsJsonFile(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".json";
}

// A stable name for the pty. Only a symbolic link (or nothing) is replaced.
bool MakeLink(const std::string& link, const std::string& target, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const auto status = fs::symlink_status(link, ec);
  if (fs::exists(status) && !fs::is_symlink(status)) {
    error = link + " exists and is not a symbolic link; not replacing it";
    return false;
  }
  if (fs::is_symlink(status)) fs::remove(link, ec);
  fs::create_symlink(target, link, ec);
  if (ec) {
    error = "cannot create " + link + ": " + ec.message();
    return false;
  }
  return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
  std::error_code ec;
  if (std::filesystem::is_symlink(link, ec) && std::filesystem::read_symlink(link, ec) == target) {
    std::filesystem::remove(link, ec);
  }
}

// Everything the command line says, as parsed.
struct SimArgs {
  RadioOptions options;
  std::string file;
  std::string product_code_text;
  std::string link;
  std::vector<int> levels;
  bool verbose = false;
  bool half_written = false;
  int count = 1;
  std::string link_prefix;
  int faulty = 0;
  // The identity options given, which override what a radio file holds.
  CLI::Option* band = nullptr;
  CLI::Option* model = nullptr;
  CLI::Option* firmware = nullptr;
  CLI::Option* serial = nullptr;
  CLI::Option* product_code = nullptr;

  unsigned IdentityGiven() const {
    unsigned fields = 0;
    if (band->count()) fields |= ql40::sim::kIdentityBand;
    if (model->count()) fields |= ql40::sim::kIdentityModel;
    if (firmware->count()) fields |= ql40::sim::kIdentityFirmware;
    if (serial->count()) fields |= ql40::sim::kIdentitySerial;
    if (product_code->count()) fields |= ql40::sim::kIdentityProductCode;
    return fields;
  }
};

// What a step of the start-up says: go on, or leave with this exit code.
constexpr int kGoOn = -1;

void AddRadioOptions(CLI::App& app, SimArgs& a) {
  const std::map<std::string, int> bands = {{"vhf", 0}, {"vhf-lo", 1}, {"uhf", 2}};
  const std::map<std::string, int> models = {{"pt-610", 0}, {"pt-410", 1}};
  RadioOptions& options = a.options;

  app.add_option("--file", a.file,
                 "Radio memory from a .q40 file, or a codeplug .json file on top of the built-in "
                 "radio, in the band the file names (default: a built-in radio)")
      ->check(CLI::ExistingFile);
  a.band = app.add_option("--band", options.band, "vhf, vhf-lo or uhf (default vhf)")
               ->transform(CLI::CheckedTransformer(bands, CLI::ignore_case).description(""));
  a.model = app.add_option("--model", options.model, "pt-610 or pt-410 (default pt-610)")
                ->transform(CLI::CheckedTransformer(models, CLI::ignore_case).description(""));
  a.firmware = app.add_option("--firmware", options.firmware_version,
                              "Firmware version 0-9999, 125 reads 1.25 (default 125)");
  a.serial = app.add_option("--serial", options.serial,
                            "Serial number, 8 characters (default " + options.serial + ")");
  a.product_code = app.add_option("--product-code", a.product_code_text,
                                  "Product code in hexadecimal (default c014)");
  app.add_flag("--pace", options.pace, "Take 10 bit times at 9600 baud for every byte");
  app.add_flag("--power-cycle", options.need_power_cycle,
               "Answer nothing until switched off and on");
  app.add_option("--power-on-after", options.power_on_after_ms,
                 "With --power-cycle: switch on by itself once the program has waited this many "
                 "ms (keep it above the program's read time-out)")
      ->check(CLI::Range(0, 3600000));
  app.add_flag("--ack-with-command", options.ack_with_command_byte,
               "Acknowledge alignment commands with their own command byte");
  app.add_option("--levels", a.levels, "Battery, noise, signal and spare level, 0-255 each")
      ->expected(4)
      ->delimiter(',')
      ->check(CLI::Range(0, 255));
  app.add_option("--level-spread", options.level_spread,
                 "Vary every level reading by up to this much, as a live receiver does (0-255)")
      ->check(CLI::Range(0, 255));
  app.add_option("--rssi-peak", options.rssi_peak,
                 "Signal strength peaks when the tuning value sent with 0x32 is this (0-255); it "
                 "falls by 2 per step away")
      ->check(CLI::Range(0, 255));
  app.add_flag("--half-written", a.half_written,
               "Start as a radio whose last download was interrupted (download marker FFFF)");
  app.add_option("--save", options.save_on_download,
                 "Write the radio memory to this .q40 file whenever a download completes");
  auto* link_opt = app.add_option("--link", a.link, "Also make this symbolic link to the device");
  app.add_option("--count", a.count,
                 "Serve this many radios at once, serial numbers counted up (default 1); "
                 "prints one device per line")
      ->check(CLI::Range(1, 64));
  app.add_option("--link-prefix", a.link_prefix,
                 "With --count: make symbolic links PATH1, PATH2, ... to the devices")
      ->excludes(link_opt);
  app.add_option("--faulty", a.faulty,
                 "With --count: the faults below hit only radio K (1 = the first; default: all)")
      ->check(CLI::Range(1, 64));
  app.add_flag("-v,--verbose", a.verbose, "Log every frame");
}

void AddFaultOptions(CLI::App& app, ql40::sim::Faults& f) {
  auto* faults = app.add_option_group("Faults", "Counted from 1; each hits once unless --repeat");
  faults->add_option("--drop-byte", f.drop_reply_byte_at, "Do not send the radio's Nth byte");
  faults->add_option("--corrupt-byte", f.corrupt_reply_byte_at,
                     "Flip the bits of the radio's Nth byte");
  faults->add_option("--ignore-frame", f.ignore_frame_at, "Leave the Nth frame unanswered");
  faults->add_option("--bad-checksum", f.bad_checksum_at,
                     "Give the Nth reply frame a wrong checksum");
  faults->add_option("--nak", f.nak_at, "Refuse the Nth alignment command");
  faults->add_option("--silent-after", f.silent_after_bytes,
                     "Stop answering after N received bytes (the cable still echoes)");
  faults->add_option("--unplug-after", f.unplug_after_bytes,
                     "Send nothing back after N received bytes, not even the echo");
  faults->add_option("--nak-clone", f.nak_clone_at,
                     "Answer the Nth upload/download frame with NAK instead of its reply");
  faults->add_option("--misstore", f.misstore_at,
                     "Store the Nth block byte written with its lowest bit flipped");
  faults->add_flag("--drop-back-to-back", f.drop_back_to_back,
                   "Lose every byte that arrives right behind the previous one (a radio too slow "
                   "for --fast)");
  faults->add_option("--repeat", f.repeat, "Each fault hits this many times in a row")
      ->check(CLI::Range(1, 1 << 30));
  for (auto* opt : faults->get_options()) {
    if (opt->get_name() != "--repeat" && opt->get_name() != "--drop-back-to-back")
      opt->check(CLI::Range(0, 1 << 30));
  }
}

// The radio's options as the words on the command line leave them.
int SettleOptions(SimArgs& a) {
  RadioOptions& options = a.options;
  if (a.product_code->count() > 0 && !ParseHex(a.product_code_text, options.product_code)) {
    std::cerr << "ql40-radiosim: --product-code wants hexadecimal 0 to ffff, not \""
              << a.product_code_text << "\"\n";
    return kExitUsage;
  }
  if (!a.levels.empty()) std::copy(a.levels.begin(), a.levels.end(), options.levels.begin());
  if (const std::string problem = ql40::sim::ValidateOptions(options); !problem.empty()) {
    std::cerr << "ql40-radiosim: " << problem << "\n";
    return kExitUsage;
  }
  return kGoOn;
}

// The radio's memory: built in, from a .q40 file, or a codeplug JSON file on the built-in radio.
int LoadMemory(SimArgs& a, ql40::Image& memory) {
  RadioOptions& options = a.options;
  if (a.file.empty()) {
    memory = ql40::sim::BuiltInRadioImage(options);
  } else if (IsJsonFile(a.file)) {
    // The built-in radio of the options with the dealer's settings and channels of the file;
    // a band the file names is the radio's band.
    std::string error;
    if (!ql40::sim::ReadRadioJson(a.file, options, memory, options.trailer, &error)) {
      std::cerr << "ql40-radiosim: " << error << "\n";
      return kExitFailure;
    }
    if (!error.empty()) std::cerr << error << "\n";
  } else {
    std::string error;
    if (!ql40::sim::ReadRadioFile(a.file, memory, options.trailer, &error)) {
      std::cerr << "ql40-radiosim: " << error << "\n";
      return kExitFailure;
    }
    ql40::sim::ApplyIdentity(options, memory, a.IdentityGiven());
  }
  if (a.half_written)
    ql40::bits::SetWordLE(memory, 2 * ql40::frame::kMarkerWord, ql40::frame::kMarkerWriting);
  return kGoOn;
}

// What --count allows beside it.
int CheckCount(const SimArgs& a) {
  if (a.faulty > a.count) {
    std::cerr << "ql40-radiosim: --faulty " << a.faulty << " names no radio of " << a.count << "\n";
    return kExitUsage;
  }
  if (a.count > 1 && !a.link.empty()) {
    std::cerr << "ql40-radiosim: --link names one radio; use --link-prefix with --count\n";
    return kExitUsage;
  }
  if (a.count > 1 && !a.options.save_on_download.empty()) {
    std::cerr << "ql40-radiosim: --save writes one file; it cannot serve several radios\n";
    return kExitUsage;
  }
  if (a.count > 1 && ql40::sim::SerialPlus(a.options.serial, a.count - 1).empty()) {
    std::cerr << "ql40-radiosim: the serial number " << a.options.serial << " cannot count up to "
              << a.count << " radios (it must end in six digits 0-9)\n";
    return kExitUsage;
  }
  return kGoOn;
}

// The radios being served and the links made to them, one of each per radio.
struct Served {
  std::vector<std::unique_ptr<ql40::sim::PtyRadio> > radios;
  std::vector<std::string> links;

  void RemoveLinks() const {
    for (std::size_t i = 0; i < links.size(); ++i) RemoveLink(links[i], radios[i]->device_path());
  }
  void PowerCycle() const {
    for (auto& r : radios) r->PowerCycle();
  }
};

// Starts every radio and prints its device; on a failure, the links made so far go again.
bool StartRadios(const SimArgs& a, const ql40::Image& memory, Served& served) {
  const RadioOptions& options = a.options;
  const int count = a.count;
  std::string error;
  for (int i = 0; i < count; ++i) {
    RadioOptions one = options;
    ql40::Image image = memory;
    if (count > 1) {
      one.serial = ql40::sim::SerialPlus(options.serial, i);
      ql40::sim::ApplyIdentity(one, image, ql40::sim::kIdentitySerial);
      if (a.faulty > 0 && a.faulty != i + 1) one.faults = {};
    }
    const std::string tag = count > 1 ? ql40::Format("radio %d: ", i + 1) : std::string();
    one.on_event = [verbose = a.verbose, tag](const ql40::sim::RadioEvent& e) {
      if (!e.detail || verbose) Log(tag + e.text);
    };
    auto radio = ql40::sim::PtyRadio::Start(one, image, &error);
    if (!radio) {
      std::cerr << "ql40-radiosim: " << error << "\n";
      served.RemoveLinks();
      return false;
    }
    const std::string name = !a.link_prefix.empty() ? a.link_prefix + std::to_string(i + 1)
                             : count == 1           ? a.link
                                                    : std::string();
    if (!name.empty()) {
      if (!MakeLink(name, radio->device_path(), error)) {
        std::cerr << "ql40-radiosim: " << error << "\n";
        served.RemoveLinks();
        return false;
      }
    }
    std::printf("%s\n", radio->device_path().c_str());
    Log(tag + Describe(image) + (a.file.empty() ? " (built-in)" : " from " + a.file));
    Log(tag + "serving " + radio->device_path() + (name.empty() ? "" : " as " + name) +
        (options.pace ? ", paced at 9600 baud" : ""));
    served.radios.push_back(std::move(radio));
    served.links.push_back(name);
  }
  return true;
}

// Serves until a signal other than SIGUSR1 comes; SIGUSR1 or Enter switches every radio off
// and on.
void ServeUntilStopped(const Served& served) {
  bool watch_stdin = true;
  for (;;) {
    pollfd fds[2] = {{signal_pipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    if (poll(fds, watch_stdin ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    bool stop = false;
    if (fds[0].revents & POLLIN) {
      unsigned char signals[16];
      const ssize_t n = read(signal_pipe[0], signals, sizeof signals);
      for (ssize_t i = 0; i < n; ++i) {
        if (signals[i] == SIGUSR1) {
          Log("power cycle (SIGUSR1)");
          served.PowerCycle();
        } else {
          stop = true;
        }
      }
    }
    if (watch_stdin && fds[1].revents) {
      char line[256];
      const ssize_t n = (fds[1].revents & POLLNVAL) ? 0 : read(STDIN_FILENO, line, sizeof line);
      if (n > 0) {
        if (std::memchr(line, '\n', static_cast<std::size_t>(n)) != nullptr) {
          Log("power cycle (Enter)");
          served.PowerCycle();
        }
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        watch_stdin = false;  // end of input: only signals from now on
      }
    }
    if (stop) break;
  }
}

void StopRadios(Served& served, int count) {
  served.RemoveLinks();
  for (std::size_t i = 0; i < served.radios.size(); ++i) {
    const auto stats = served.radios[i]->stats();
    served.radios[i].reset();
    Log((count > 1 ? ql40::Format("radio %zu ", i + 1) : std::string()) +
        "stopped: " + Summary(stats));
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "ql40-radiosim - a simulated PT-410/PT-610 radio on a pseudo-terminal.\n"
      "Prints the device to give to 'ql40 upload/download --port' and runs until Ctrl+C.\n"
      "Press Enter or send SIGUSR1 to switch the radio off and on."};
  app.set_version_flag("--version", "ql40-radiosim " QL40_VERSION);
  SimArgs args;
  AddRadioOptions(app, args);
  AddFaultOptions(app, args.options.faults);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }

  ql40::Image memory{};
  int code = SettleOptions(args);
  if (code == kGoOn) code = LoadMemory(args, memory);
  if (code == kGoOn) code = CheckCount(args);
  if (code != kGoOn) return code;
  std::string error;
  if (!InstallSignals(error)) {
    std::cerr << "ql40-radiosim: " << error << "\n";
    return kExitFailure;
  }
  Served served;
  if (!StartRadios(args, memory, served)) return kExitFailure;
  std::fflush(stdout);
  if (args.options.need_power_cycle) {
    Log(args.options.power_on_after_ms >= 0
            ? ql40::Format("switched off; switches on %d ms after the program waits",
                           args.options.power_on_after_ms)
            : std::string("switched off; press Enter or send SIGUSR1 to switch it on"));
  }
  ServeUntilStopped(served);
  StopRadios(served, args.count);
  return kExitOk;
}

#endif  // !_WIN32
