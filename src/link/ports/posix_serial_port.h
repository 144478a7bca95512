#pragma once

// The serial port on POSIX systems: termios in raw mode, reads that block to steady-clock
// deadlines with poll(), line errors from the Linux error counters where the driver has them.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace ql40::link {

class PosixSerialPort : public SerialPort {
 public:
  // Opens and configures the device; null on failure with the reason in *error.
  static std::unique_ptr<PosixSerialPort> Open(const std::string& device, int read_constant_ms,
                                               PortOpenError* error);
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  void ExpectReply(std::size_t count) override {
    const std::size_t buffered = buffer_.size() - head_;
    expected_ = count > buffered ? count - buffered : 0;
  }
  void DoPurgeReceive() override;
  void DoPurgeTransmit() override;

  // Whether the driver runs in low-latency mode (a USB adapter that accepted the request).
  bool low_latency() const { return low_latency_; }
  // Whether the driver reports line-error counters.
  bool counts_line_errors() const { return have_counters_; }

 protected:
  bool TakeLineError() override;
  bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) override;
  bool WriteRaw(const std::uint8_t* data, std::size_t count) override;

 private:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  // Fills the receive buffer with what is pending, waiting at most until the deadline.
  // 1 = bytes came, 0 = time-out, -1 = the read call failed.
  int Fill(std::chrono::steady_clock::time_point deadline);

  int fd_ = -1;
  bool low_latency_ = false;
  bool have_counters_ = false;
  long long error_total_ = 0;  // frame + overrun + parity + break at the last look
  // Bytes read from the driver but not yet handed out: one read() often brings several.
  std::vector<std::uint8_t> buffer_;
  std::size_t head_ = 0;
  std::size_t expected_ = 0;  // bytes of a reply still to come, as announced
};

}  // namespace ql40::link
