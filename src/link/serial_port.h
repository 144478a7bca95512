#pragma once

// The programming cable. The PC's serial port is joined to the radio's single-wire line, so
// every byte the program sends comes straight back on its own receive line: sending means
// writing and reading the echo back.
//
// SerialPort holds the byte operations with the result codes the protocol layers test; the
// platform ports (termios, Win32) and the tests' fake port only supply a handful of
// primitives underneath.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ql40::link {

inline constexpr int kBaudRate = 9600;
// Read time-out constants of the callers: clone transfers and the alignment upload.
inline constexpr int kCloneReadConstantMs = 500;
inline constexpr int kAlignmentReadConstantMs = 50;
// Read time-outs: at most this long between two bytes, plus this much per byte asked for.
inline constexpr int kReadIntervalMs = 100;
inline constexpr int kReadMultiplierMs = 5;
// Write time-outs: a constant plus this much per byte.
inline constexpr int kWriteConstantMs = 5000;
inline constexpr int kWriteMultiplierMs = 100;
// Larger writes are refused before anything is sent (the driver queues hold 4096 bytes).
inline constexpr std::size_t kMaxWrite = 4096;

// Why an open failed, for a hint beside "Problem with COM port".
struct PortOpenError {
  enum class Kind { kNone, kNotFound, kBusy, kPermission, kSettings, kOther };
  Kind kind = Kind::kNone;
  std::string device;  // the device actually opened
  std::string detail;  // the system's own text
};

// Receives every byte that goes over the port, for a support trace.
class ByteTrace {
 public:
  virtual ~ByteTrace() = default;
  virtual void Sent(const std::uint8_t* data, std::size_t count) = 0;
  virtual void Received(const std::uint8_t* data, std::size_t count) = 0;
  virtual void Note(const char* what) = 0;  // line errors, purges, failed calls
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Every byte sent and received goes to the trace as well; null for none.
  void set_trace(ByteTrace* trace) { trace_ = trace; }

  // --- byte operations; the result codes are the ones the protocol layers test ---

  // 1 when all bytes were written, 0 otherwise (also for more than kMaxWrite bytes).
  int Write(const std::uint8_t* data, std::size_t count);
  // 0 = the read call succeeded (*received tells whether a byte came), 1 = line error,
  // 2 = the read call failed.
  int ReadOne(std::uint8_t* byte, std::size_t* received);
  // 0 = exactly count bytes arrived, 1 = line error, 2 = fewer arrived or the read failed.
  int ReadExact(std::uint8_t* data, std::size_t count);
  // ReadExact that also tells how many bytes came before a time-out.
  int ReadCounted(std::uint8_t* data, std::size_t count, std::size_t* received);
  // Writes the bytes, then reads the echo back into the same buffer. 1 = both succeeded and
  // the echo matched what was sent, 0 otherwise.
  int WriteEcho(std::uint8_t* data, std::size_t count);
  // WriteEcho of one byte: 0 = sent and echoed, 1 = failed.
  int SendByte(std::uint8_t byte);
  // 0 = a byte arrived, 1 = line error, 2 = nothing within the read time-out or read failed.
  int PollByte(std::uint8_t* byte);
  // 0 when the read call succeeded, whether or not a byte came (the byte is stored only when
  // one came), 1 otherwise. For loops that wait for a particular byte value.
  int WaitByte(std::uint8_t* byte);
  int ReceiveBytes(std::uint8_t* data, std::size_t count) { return ReadExact(data, count); }

  // --- primitives supplied by each port ---

  // Discard pending input / output.
  void PurgeReceive();
  void PurgeTransmit();
  // A hint that the next count bytes are one reply coming back to back: a port may let them
  // gather before it hands out the first, instead of waking once for every byte. Results and
  // time-outs stay as they are.
  virtual void ExpectReply(std::size_t /*count*/) {}
  // Waits that long. Sleeps to a steady-clock deadline; a fake port may only record it.
  virtual void Delay(int milliseconds);
  // The clock that waits on the line are measured against. Real ports keep the steady clock;
  // a simulated line may run on a clock of its own that its delays and time-outs advance.
  virtual std::chrono::steady_clock::time_point Now() const {
    return std::chrono::steady_clock::now();
  }
  // The read time-out constant in milliseconds (500 for clone transfers, 50 for alignment).
  virtual void SetReadConstant(int milliseconds) { read_constant_ms_ = milliseconds; }
  int read_constant_ms() const { return read_constant_ms_; }

 protected:
  virtual void DoPurgeReceive() = 0;
  virtual void DoPurgeTransmit() = 0;
  // Whether the line reported an error (overrun, framing, parity, break) since the last
  // call; clears it. A port that cannot tell answers false.
  virtual bool TakeLineError() = 0;
  // Reads up to count bytes, blocking until all came, the total time-out (constant plus the
  // multiplier per byte) ran out, or the interval time-out passed after a byte. False when
  // the read call itself failed; *received holds what came either way.
  virtual bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) = 0;
  // Writes all bytes within the write time-out; false otherwise.
  virtual bool WriteRaw(const std::uint8_t* data, std::size_t count) = 0;

  // The total read time-out of a read of count bytes.
  std::chrono::milliseconds ReadTimeout(std::size_t count) const {
    return std::chrono::milliseconds(read_constant_ms_ +
                                     kReadMultiplierMs * static_cast<long long>(count));
  }

 private:
  // One read with the line-error check first: true when the line reported an error (nothing
  // read); otherwise *call_ok tells whether the read call succeeded.
  bool Read(std::uint8_t* data, std::size_t count, std::size_t* received, bool* call_ok);

  int read_constant_ms_ = kCloneReadConstantMs;
  ByteTrace* trace_ = nullptr;
};

// Sleeps until now + milliseconds on the steady clock.
void SleepFor(int milliseconds);

// Port names: "COM1" to "COM4" on every system, or a device path. On POSIX systems each COM
// name maps to a device path, which the caller may change.
class PortNames {
 public:
  PortNames();
  // The device path of a COM number 1 to 4; other numbers give COM1's.
  const std::string& DeviceOf(int com_number) const;
  void SetDevice(int com_number, std::string device);
  // "COM1".."COM4" (any case) become their device; anything else is taken as a device path.
  std::string Resolve(const std::string& name) const;
  // The port's number 1 to 4 when the name is a COM name, else 0.
  static int ComNumber(const std::string& name);

 private:
  std::string devices_[4];
};

// The text that follows "Check that lead is connected to COM": the port's digit, or the
// device path when the port is not one of COM1 to COM4.
std::string PortLabel(const std::string& name);

// Opens the platform's serial port on a device at 9600 baud, 8 data bits, no parity, one
// stop bit, no flow control, DTR and RTS raised. Null on failure, with the reason in *error.
std::unique_ptr<SerialPort> OpenSystemPort(const std::string& device, int read_constant_ms,
                                           PortOpenError* error);

// How a transfer opens its port: with the read time-out constant it needs.
using PortOpener =
    std::function<std::unique_ptr<SerialPort>(int read_constant_ms, PortOpenError* error)>;

// A plain-language hint for an open failure (for example the dialout group on a permission
// refusal); empty when there is nothing useful to add.
std::string OpenErrorHint(const PortOpenError& error);

}  // namespace ql40::link
