// Serves the simulated radio on a pseudo-terminal: one thread reads what the program writes,
// feeds the radio, and releases the radio's bytes (the echo included) at wire speed when
// pacing is on.

#include "radiosim/radio_sim.h"

#if defined(_WIN32)

// Windows has no pseudo-terminals; the radio is served in-process there (Radio, Wire).
namespace ql40::sim {
class PtyRadio::Impl {};
std::unique_ptr<PtyRadio> PtyRadio::Start(const RadioOptions&, const Image&, std::string* error) {
  if (error) *error = "pseudo-terminals are not available on this system";
  return nullptr;
}
PtyRadio::PtyRadio(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
PtyRadio::~PtyRadio() = default;
const std::string& PtyRadio::device_path() const {
  static const std::string kNone;
  return kNone;
}
void PtyRadio::PowerCycle() {}
void PtyRadio::SetLevels(const std::array<int, 4>&) {}
void PtyRadio::QueueLevels(const std::vector<std::array<int, 4>>&) {}
std::vector<AlignmentRecord> PtyRadio::alignment_log() const {
  return {};
}
void PtyRadio::ClearAlignmentLog() {}
Image PtyRadio::memory() const {
  return Image{};
}
int PtyRadio::marker() const {
  return 0;
}
RadioStats PtyRadio::stats() const {
  return {};
}
AlignmentState PtyRadio::alignment() const {
  return {};
}
bool PtyRadio::alignment_mode() const {
  return false;
}
std::string PtyRadio::save_error() const {
  return {};
}
}  // namespace ql40::sim

#else

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace ql40::sim {
namespace {

using Clock = std::chrono::steady_clock;

// 10 bit times at 9600 baud: start bit, 8 data bits, stop bit.
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000 / 960);
// A real radio's receiver drops a frame that stops arriving.
constexpr auto kFrameQuiet = std::chrono::milliseconds(250);
// Bytes the program has not read pile up in the pty; beyond this the wire overruns.
constexpr std::size_t kMaxQueued = 1 << 20;

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

bool SetFlags(int fd, int fd_flags, int fl_flags) {
  const int fdf = fcntl(fd, F_GETFD);
  const int flf = fcntl(fd, F_GETFL);
  return fdf >= 0 && flf >= 0 && fcntl(fd, F_SETFD, fdf | fd_flags) == 0 &&
         fcntl(fd, F_SETFL, flf | fl_flags) == 0;
}

// Waits for the descriptors until the deadline (none: until one is ready). Sleeps, never spins.
int WaitUntil(pollfd* fds, nfds_t count, std::optional<Clock::time_point> deadline) {
  if (!deadline) return poll(fds, count, -1);
  const auto left = std::max(*deadline - Clock::now(), Clock::duration::zero());
#ifdef __linux__
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
  const timespec ts{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
  return ppoll(fds, count, &ts, nullptr);
#else
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return poll(fds, count, static_cast<int>(std::min<long long>(ms, 1 << 30)));
#endif
}

// Timer wake-ups come late by a fairly steady amount (tens of microseconds on a virtual
// machine), which a paced radio would add to every byte it echoes. It learns that lateness,
// sets its alarm that much early, and waits out the few microseconds left with yields, so a
// byte still leaves at its wire time and never before it.
class WakeAdvance {
 public:
  Clock::duration value() const { return advance_; }
  void Learn(Clock::duration lateness) {
    const auto clamped = std::clamp<Clock::duration>(lateness, Clock::duration::zero(), kMax);
    // An average over the last few dozen wake-ups: steady, and quick to follow a change.
    estimate_ += (clamped - estimate_) / 16;
    advance_ = estimate_;
  }

 private:
  static constexpr Clock::duration kMax = std::chrono::microseconds(200);
  Clock::duration estimate_{};
  Clock::duration advance_{};
};

}  // namespace

class PtyRadio::Impl {
 public:
  Impl(const RadioOptions& options, const Image& memory)
      : user_on_event_(options.on_event), pace_(options.pace), radio_(WithSink(options), memory) {}

  ~Impl() {
    stop_ = true;
    Wake();
    if (thread_.joinable()) thread_.join();
    CloseFd(master_);
    CloseFd(slave_);
    CloseFd(wake_[0]);
    CloseFd(wake_[1]);
  }

  bool Open(std::string* error) {
    auto fail = [&](const char* what) {
      if (error) *error = std::string(what) + ": " + std::strerror(errno);
      return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail("cannot open a pseudo-terminal");
    if (!SetFlags(master_, FD_CLOEXEC, O_NONBLOCK)) return fail("cannot set up the pty");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) return fail("cannot unlock the pty");
#ifdef __linux__
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) return fail("cannot name the pty");
    path_ = name;
#else
    const char* name = ptsname(master_);
    if (name == nullptr) return fail("cannot name the pty");
    path_ = name;
#endif
    // Held open for the life of the radio so the master never sees a hang-up while no program
    // has the device open.
    slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return fail("cannot open the pty device");
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) return fail("cannot read the pty settings");
    cfmakeraw(&tio);  // no line discipline between the program and the radio
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) return fail("cannot set the pty to raw mode");
    if (pipe(wake_) != 0) return fail("cannot make a pipe");
    if (!SetFlags(wake_[0], FD_CLOEXEC, O_NONBLOCK) ||
        !SetFlags(wake_[1], FD_CLOEXEC, O_NONBLOCK)) {
      return fail("cannot set up the pipe");
    }
    thread_ = std::thread([this] { Run(); });
    return true;
  }

  const std::string& path() const {
    return path_;
  }

  void RequestPowerCycle() {
    power_cycle_requested_ = true;
    Wake();
  }

  template <typename F>
  auto WithRadio(F f) const {
    std::lock_guard lock(mutex_);
    return f(radio_);
  }
  void SetLevels(const std::array<int, 4>& levels) {
    std::lock_guard lock(mutex_);
    radio_.set_levels(levels);
  }
  void QueueLevels(const std::vector<std::array<int, 4>>& readings) {
    std::lock_guard lock(mutex_);
    radio_.QueueLevels(readings);
  }
  void ClearAlignmentLog() {
    std::lock_guard lock(mutex_);
    radio_.ClearAlignmentLog();
  }

 private:
  // The radio's events are collected under the lock and handed out after it, so that a
  // listener may call back into the PtyRadio.
  RadioOptions WithSink(RadioOptions options) {
    options.on_event = [this](const RadioEvent& e) {
      if (user_on_event_) events_.push_back(e);
    };
    return options;
  }

  void Wake() {
    const char b = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    if (wake_[1] >= 0 && write(wake_[1], &b, 1) < 0) return;
  }

  void DeliverEvents() {
    std::vector<RadioEvent> events;
    {
      std::lock_guard lock(mutex_);
      events.swap(events_);
    }
    for (const auto& e : events) user_on_event_(e);
  }

  // Puts the radio's bytes on the wire: each one 10 bit times after the previous one, or
  // after the moment that caused it, when pacing.
  void Schedule(const std::vector<std::uint8_t>& bytes, Clock::time_point cause) {
    for (auto b : bytes) {
      if (queue_.size() >= kMaxQueued) break;
      auto at = cause;
      if (pace_) {
        at = std::max(cause, wire_free_) + kByteTime;
        wire_free_ = at;
      }
      queue_.push_back({b, at});
    }
  }

  void Flush(Clock::time_point now) {
    std::uint8_t buffer[512];
    std::size_t n = 0;
    while (n < sizeof buffer && n < queue_.size() && queue_[n].at <= now) {
      buffer[n] = queue_[n].byte;
      ++n;
    }
    if (n == 0) return;
    const ssize_t written = write(master_, buffer, n);
    if (written > 0) {
      queue_.erase(queue_.begin(), queue_.begin() + written);
      blocked_ = false;
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      blocked_ = true;  // the program is not reading; wait until the pty takes more
    }
  }

  void ReadProgram() {
    std::uint8_t buffer[512];
    std::vector<std::uint8_t> out;
    for (;;) {
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) {
        // EIO only while no slave is open, which the held slave prevents; do not spin on it.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) read_failed_ = true;
        return;
      }
      const auto now = Clock::now();
      last_received_ = now;
      for (ssize_t i = 0; i < n; ++i) {
        out.clear();
        {
          std::lock_guard lock(mutex_);
          // Bytes that came in one read were on the line back to back.
          radio_.Receive(buffer[i], out, i > 0);
        }
        Schedule(out, now);
      }
    }
  }

  void Run() {
    std::vector<std::uint8_t> out;
    while (!stop_) {
      auto now = Clock::now();
      Flush(now);
      DeliverEvents();

      // The earliest moment something is due: a queued byte, a frame that stopped arriving, a
      // radio that switches itself on.
      std::optional<Clock::time_point> deadline;
      auto consider = [&](Clock::time_point t) {
        if (!deadline || t < *deadline) deadline = t;
      };
      if (!queue_.empty() && !blocked_) consider(queue_.front().at);
      bool mid_frame = false;
      bool power_on_pending = false;
      int power_on_after = -1;
      {
        std::lock_guard lock(mutex_);
        mid_frame = radio_.mid_frame();
        power_on_pending = radio_.PowerOnPending();
        power_on_after = radio_.options().power_on_after_ms;
      }
      const auto quiet_at = last_received_ + kFrameQuiet;
      const auto power_at = last_received_ + std::chrono::milliseconds(power_on_after);
      if (mid_frame) consider(quiet_at);
      if (power_on_pending && power_on_after >= 0) consider(power_at);
      if (read_failed_) consider(now + std::chrono::milliseconds(50));

      pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (blocked_ ? POLLOUT : 0)), 0},
                       {wake_[0], POLLIN, 0}};
      const bool byte_due =
          pace_ && deadline && !queue_.empty() && !blocked_ && *deadline == queue_.front().at;
      auto alarm = deadline;
      if (byte_due) alarm = *deadline - wake_advance_.value();
      const int ready = WaitUntil(read_failed_ ? fds + 1 : fds, read_failed_ ? 1 : 2, alarm);
      if (ready < 0 && errno != EINTR) break;
      if (stop_) break;
      if (ready == 0 && byte_due) {
        wake_advance_.Learn(Clock::now() - *alarm);
        while (Clock::now() < *deadline) std::this_thread::yield();
      }
      read_failed_ = false;

      if (fds[1].revents & POLLIN) {
        char drain[64];
        while (read(wake_[0], drain, sizeof drain) > 0) {
        }
      }
      if (power_cycle_requested_.exchange(false)) {
        out.clear();
        {
          std::lock_guard lock(mutex_);
          radio_.PowerCycle(out);
        }
        Schedule(out, Clock::now());
      }
      if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) ReadProgram();

      now = Clock::now();
      std::lock_guard lock(mutex_);
      if (radio_.mid_frame() && now >= last_received_ + kFrameQuiet) radio_.LineQuiet();
      if (radio_.PowerOnPending() && power_on_after >= 0 &&
          now >= last_received_ + std::chrono::milliseconds(power_on_after)) {
        out.clear();
        radio_.PowerCycle(out);
        Schedule(out, now);
      }
    }
    DeliverEvents();
  }

  struct Queued {
    std::uint8_t byte;
    Clock::time_point at;
  };

  std::function<void(const RadioEvent&)> user_on_event_;
  const bool pace_;
  mutable std::mutex mutex_;
  Radio radio_;                     // guarded by mutex_
  std::vector<RadioEvent> events_;  // guarded by mutex_
  std::string path_;
  int master_ = -1;
  int slave_ = -1;
  int wake_[2] = {-1, -1};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> power_cycle_requested_{false};
  // Serving thread only.
  std::deque<Queued> queue_;
  Clock::time_point wire_free_{};
  Clock::time_point last_received_ = Clock::now();
  bool blocked_ = false;
  bool read_failed_ = false;
  WakeAdvance wake_advance_;
};

std::unique_ptr<PtyRadio> PtyRadio::Start(const RadioOptions& options, const Image& memory,
                                          std::string* error) {
  if (const std::string problem = ValidateOptions(options); !problem.empty()) {
    if (error) *error = problem;
    return nullptr;
  }
  auto impl = std::make_unique<Impl>(options, memory);
  if (!impl->Open(error)) return nullptr;
  return std::unique_ptr<PtyRadio>(new PtyRadio(std::move(impl)));
}

PtyRadio::PtyRadio(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
PtyRadio::~PtyRadio() = default;

const std::string& PtyRadio::device_path() const {
  return impl_->path();
}
void PtyRadio::PowerCycle() {
  impl_->RequestPowerCycle();
}
void PtyRadio::SetLevels(const std::array<int, 4>& levels) {
  impl_->SetLevels(levels);
}
void PtyRadio::QueueLevels(const std::vector<std::array<int, 4>>& readings) {
  impl_->QueueLevels(readings);
}
std::vector<AlignmentRecord> PtyRadio::alignment_log() const {
  return impl_->WithRadio([](const Radio& r) { return r.alignment_log(); });
}
void PtyRadio::ClearAlignmentLog() {
  impl_->ClearAlignmentLog();
}
Image PtyRadio::memory() const {
  return impl_->WithRadio([](const Radio& r) { return r.memory(); });
}
int PtyRadio::marker() const {
  return impl_->WithRadio([](const Radio& r) { return r.marker(); });
}
RadioStats PtyRadio::stats() const {
  return impl_->WithRadio([](const Radio& r) { return r.stats(); });
}
AlignmentState PtyRadio::alignment() const {
  return impl_->WithRadio([](const Radio& r) { return r.alignment(); });
}
bool PtyRadio::alignment_mode() const {
  return impl_->WithRadio([](const Radio& r) { return r.alignment_mode(); });
}
std::string PtyRadio::save_error() const {
  return impl_->WithRadio([](const Radio& r) { return r.save_error(); });
}

}  // namespace ql40::sim

#endif  // !_WIN32
