#include "link/ports/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace ql40::link {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds until the deadline, rounded up so that poll() never wakes early.
int MsUntil(Clock::time_point deadline) {
  const auto left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
  return static_cast<int>((us + 999) / 1000);
}

PortOpenError::Kind KindOfErrno(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return PortOpenError::Kind::kPermission;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return PortOpenError::Kind::kNotFound;
    case EBUSY:
    case EWOULDBLOCK:
      return PortOpenError::Kind::kBusy;
    default:
      return PortOpenError::Kind::kOther;
  }
}

#if defined(__linux__)
bool ReadErrorCounters(int fd, long long* total) {
  serial_icounter_struct counters{};
  if (::ioctl(fd, TIOCGICOUNT, &counters) != 0) return false;
  *total = static_cast<long long>(counters.frame) + counters.overrun + counters.parity +
           counters.brk + counters.buf_overrun;
  return true;
}
#endif

}  // namespace

std::unique_ptr<PosixSerialPort> PosixSerialPort::Open(const std::string& device,
                                                       int read_constant_ms, PortOpenError* error) {
  auto fail = [&](PortOpenError::Kind kind, int err) -> std::unique_ptr<PosixSerialPort> {
    if (error != nullptr) {
      error->kind = kind;
      error->device = device;
      error->detail = err != 0 ? std::strerror(err) : "";
    }
    return nullptr;
  };
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    return fail(KindOfErrno(err), err);
  }
  std::unique_ptr<PosixSerialPort> port(new PosixSerialPort(fd));
  if (!::isatty(fd)) return fail(PortOpenError::Kind::kOther, ENOTTY);
  // Exclusive use: a second program on the same cable would steal the echoes.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return fail(PortOpenError::Kind::kBusy, EBUSY);
  }
  ::ioctl(fd, TIOCEXCL);

  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    const int err = errno;
    return fail(PortOpenError::Kind::kSettings, err);
  }
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
#if defined(CRTSCTS)
  tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
#endif
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
  tio.c_iflag |= IGNBRK;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  tio.c_cc[VSTART] = 0x11;
  tio.c_cc[VSTOP] = 0x13;
  if (::cfsetispeed(&tio, B9600) != 0 || ::cfsetospeed(&tio, B9600) != 0 ||
      ::tcsetattr(fd, TCSANOW, &tio) != 0) {
    const int err = errno;
    return fail(PortOpenError::Kind::kSettings, err);
  }
  // The cable draws its power from DTR and RTS. A pty has no modem lines: ignore failure.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIS, &lines);

#if defined(__linux__)
  // A USB adapter holds received bytes for up to 16 ms by default; every echoed byte would
  // wait that long. Drivers without the setting (a pty) refuse, which costs nothing.
  serial_struct serial{};
  if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
    serial.flags |= ASYNC_LOW_LATENCY;
    port->low_latency_ = ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
  }
  port->have_counters_ = ReadErrorCounters(fd, &port->error_total_);
#endif

  ::tcflush(fd, TCIOFLUSH);
  port->buffer_.reserve(512);
  port->SetReadConstant(read_constant_ms);
  return port;
}

PosixSerialPort::~PosixSerialPort() {
  if (fd_ < 0) return;
  int dtr = TIOCM_DTR;
  ::ioctl(fd_, TIOCMBIC, &dtr);
  ::tcflush(fd_, TCIOFLUSH);
  // The exclusive hold outlives close() where the device stays (a pty whose radio still
  // runs): without this, the next program on that port would be refused as if it were busy.
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
}

void PosixSerialPort::DoPurgeReceive() {
  expected_ = 0;
  buffer_.clear();
  head_ = 0;
  ::tcflush(fd_, TCIFLUSH);
}

void PosixSerialPort::DoPurgeTransmit() {
  ::tcflush(fd_, TCOFLUSH);
}

bool PosixSerialPort::TakeLineError() {
#if defined(__linux__)
  if (!have_counters_) return false;
  long long total = 0;
  // A driver that stops answering cannot tell: no error.
  if (!ReadErrorCounters(fd_, &total)) return false;
  if (total == error_total_) return false;
  error_total_ = total;
  return true;
#else
  return false;
#endif
}

int PosixSerialPort::Fill(Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, MsUntil(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (ready == 0) return 0;
    if ((p.revents & POLLIN) == 0) return -1;  // hung up or invalid: the device went away
    if (expected_ > 1) {
      // The rest of the reply is on its way at one byte per 10 bit times: let it gather
      // rather than wake for every byte. Never past the caller's deadline.
      const auto gather =
          std::chrono::microseconds(static_cast<long long>(expected_ - 1) * 10'000'000 / kBaudRate);
      const auto until = std::min(deadline, Clock::now() + gather);
      std::this_thread::sleep_until(until);
    }
    if (head_ == buffer_.size()) {
      buffer_.clear();
      head_ = 0;
    }
    std::uint8_t chunk[256];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) {
      buffer_.insert(buffer_.end(), chunk, chunk + n);
      const auto got = static_cast<std::size_t>(n);
      expected_ = expected_ > got ? expected_ - got : 0;
      return 1;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n == 0) {
      // Readable but nothing to read: the other end is gone.
      return -1;
    }
    return -1;
  }
}

bool PosixSerialPort::ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) {
  *received = 0;
  const auto total_deadline = Clock::now() + ReadTimeout(count);
  Clock::time_point last_byte{};
  while (*received < count) {
    const std::size_t available = buffer_.size() - head_;
    if (available > 0) {
      const std::size_t take = std::min(available, count - *received);
      std::memcpy(data + *received, buffer_.data() + head_, take);
      head_ += take;
      *received += take;
      last_byte = Clock::now();
      continue;
    }
    auto deadline = total_deadline;
    if (*received > 0)
      deadline = std::min(deadline, last_byte + std::chrono::milliseconds(kReadIntervalMs));
    const int filled = Fill(deadline);
    if (filled < 0) return false;
    if (filled == 0) return true;  // time-out: the caller sees the short count
  }
  return true;
}

bool PosixSerialPort::WriteRaw(const std::uint8_t* data, std::size_t count) {
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(kWriteConstantMs +
                                               kWriteMultiplierMs * static_cast<long long>(count));
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, data + done, count - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    pollfd p{fd_, POLLOUT, 0};
    const int ready = ::poll(&p, 1, MsUntil(deadline));
    if (ready == 0) return false;
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0 && (p.revents & POLLOUT) == 0) return false;
  }
  return true;
}

std::unique_ptr<SerialPort> OpenSystemPort(const std::string& device, int read_constant_ms,
                                           PortOpenError* error) {
  return PosixSerialPort::Open(device, read_constant_ms, error);
}

}  // namespace ql40::link
