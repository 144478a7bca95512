#include "link/serial_port.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <thread>

namespace ql40::link {

void SerialPort::PurgeReceive() {
  if (trace_ != nullptr) trace_->Note("purge receive");
  DoPurgeReceive();
}

void SerialPort::PurgeTransmit() {
  DoPurgeTransmit();
}

int SerialPort::Write(const std::uint8_t* data, std::size_t count) {
  if (count > kMaxWrite) return 0;
  const bool ok = WriteRaw(data, count);
  if (trace_ != nullptr) {
    trace_->Sent(data, count);
    if (!ok) trace_->Note("write failed");
  }
  return ok ? 1 : 0;
}

int SerialPort::ReadOne(std::uint8_t* byte, std::size_t* received) {
  bool call_ok = false;
  if (Read(byte, 1, received, &call_ok)) return 1;
  return call_ok ? 0 : 2;
}

int SerialPort::ReadExact(std::uint8_t* data, std::size_t count) {
  std::size_t received = 0;
  return ReadCounted(data, count, &received);
}

int SerialPort::ReadCounted(std::uint8_t* data, std::size_t count, std::size_t* received) {
  bool call_ok = false;
  if (Read(data, count, received, &call_ok)) return 1;
  return call_ok && *received == count ? 0 : 2;
}

bool SerialPort::Read(std::uint8_t* data, std::size_t count, std::size_t* received, bool* call_ok) {
  *received = 0;
  *call_ok = false;
  if (TakeLineError()) {
    if (trace_ != nullptr) trace_->Note("line error");
    return true;
  }
  *call_ok = ReadRaw(data, count, received);
  if (trace_ != nullptr) {
    if (*received > 0) trace_->Received(data, *received);
    if (!*call_ok) trace_->Note("read failed");
  }
  return false;
}

int SerialPort::WriteEcho(std::uint8_t* data, std::size_t count) {
  if (Write(data, count) != 1) return 0;
  // Small writes are the rule (one byte per call): keep the copy on the stack.
  std::uint8_t local[16];
  std::unique_ptr<std::uint8_t[]> heap;
  std::uint8_t* sent = local;
  if (count > sizeof local) {
    heap = std::make_unique<std::uint8_t[]>(count);
    sent = heap.get();
  }
  std::memcpy(sent, data, count);
  if (ReadExact(data, count) != 0) return 0;
  // An echo that differs from what went out means the line garbled the byte on its way to
  // the radio as well; such a send has failed.
  return std::memcmp(sent, data, count) == 0 ? 1 : 0;
}

int SerialPort::SendByte(std::uint8_t byte) {
  return WriteEcho(&byte, 1) == 1 ? 0 : 1;
}

int SerialPort::PollByte(std::uint8_t* byte) {
  std::size_t received = 0;
  const int result = ReadOne(byte, &received);
  if (result == 1) return 1;
  if (result != 0 || received == 0) return 2;
  return 0;
}

int SerialPort::WaitByte(std::uint8_t* byte) {
  std::uint8_t value = 0;
  std::size_t received = 0;
  const int result = ReadOne(&value, &received);
  if (result != 0) return 1;
  if (received == 1) *byte = value;
  return 0;
}

void SerialPort::Delay(int milliseconds) {
  SleepFor(milliseconds);
}

void SleepFor(int milliseconds) {
  if (milliseconds <= 0) return;
  // The pause is what the radio needs; sleeping to a deadline keeps it exact without
  // burning a core.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_until(deadline);
}

PortNames::PortNames() {
  for (int i = 0; i < 4; ++i) {
#if defined(_WIN32)
    devices_[i] = "COM" + std::to_string(i + 1);
#elif defined(__linux__)
    // Programming cables are USB adapters nearly always now.
    devices_[i] = "/dev/ttyUSB" + std::to_string(i);
#else
    devices_[i] = "/dev/ttyS" + std::to_string(i);
#endif
  }
}

const std::string& PortNames::DeviceOf(int com_number) const {
  if (com_number < 1 || com_number > 4) com_number = 1;
  return devices_[com_number - 1];
}

void PortNames::SetDevice(int com_number, std::string device) {
  if (com_number < 1 || com_number > 4) return;
  devices_[com_number - 1] = std::move(device);
}

int PortNames::ComNumber(const std::string& name) {
  if (name.size() != 4) return 0;
  if (std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
      std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
      std::toupper(static_cast<unsigned char>(name[2])) != 'M') {
    return 0;
  }
  return name[3] >= '1' && name[3] <= '4' ? name[3] - '0' : 0;
}

std::string PortNames::Resolve(const std::string& name) const {
  const int n = ComNumber(name);
  return n != 0 ? DeviceOf(n) : name;
}

std::string PortLabel(const std::string& name) {
  const int n = PortNames::ComNumber(name);
  if (n != 0) return std::string(1, static_cast<char>('0' + n));
  return " " + name;
}

std::string OpenErrorHint(const PortOpenError& error) {
  switch (error.kind) {
    case PortOpenError::Kind::kPermission:
#if defined(_WIN32)
      return error.device + ": access refused; close any other program that uses the port";
#else
      return error.device +
             ": permission denied; add your user to the group that owns the device (usually "
             "'dialout', or 'uucp' on some systems), then log in again";
#endif
    case PortOpenError::Kind::kNotFound:
      return error.device + ": no such device; is the cable plugged in?";
    case PortOpenError::Kind::kBusy:
      return error.device + ": the port is in use by another program";
    case PortOpenError::Kind::kSettings:
      return error.device + ": the port refused 9600 baud 8N1" +
             (error.detail.empty() ? "" : " (" + error.detail + ")");
    case PortOpenError::Kind::kOther:
      return error.device + (error.detail.empty() ? "" : ": " + error.detail);
    case PortOpenError::Kind::kNone:
      break;
  }
  return {};
}

}  // namespace ql40::link
