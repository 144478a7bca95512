// The serial port on Windows: the communications API in blocking (non-overlapped) mode, with
// the driver's own time-outs and its error flags. Built only on Windows.

#if defined(_WIN32)

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "link/serial_port.h"

namespace ql40::link {
namespace {

class Win32SerialPort : public SerialPort {
 public:
  explicit Win32SerialPort(HANDLE handle) : handle_(handle) {}
  ~Win32SerialPort() override {
    EscapeCommFunction(handle_, CLRDTR);
    PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    SetCommMask(handle_, 0);
    CloseHandle(handle_);
  }
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  void DoPurgeReceive() override { PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR); }
  void DoPurgeTransmit() override { PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR); }

  void SetReadConstant(int milliseconds) override {
    SerialPort::SetReadConstant(milliseconds);
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = kReadIntervalMs;
    t.ReadTotalTimeoutMultiplier = kReadMultiplierMs;
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(milliseconds);
    t.WriteTotalTimeoutMultiplier = kWriteMultiplierMs;
    t.WriteTotalTimeoutConstant = kWriteConstantMs;
    SetCommTimeouts(handle_, &t);
  }

 protected:
  bool TakeLineError() override {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) return false;
    return (errors & (CE_OVERRUN | CE_FRAME | CE_RXPARITY | CE_BREAK | CE_RXOVER)) != 0;
  }
  bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) override {
    DWORD got = 0;
    const BOOL ok = ReadFile(handle_, data, static_cast<DWORD>(count), &got, nullptr);
    *received = got;
    return ok != FALSE;
  }
  bool WriteRaw(const std::uint8_t* data, std::size_t count) override {
    DWORD written = 0;
    const BOOL ok = WriteFile(handle_, data, static_cast<DWORD>(count), &written, nullptr);
    return ok != FALSE && written == count;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<SerialPort> OpenSystemPort(const std::string& device, int read_constant_ms,
                                           PortOpenError* error) {
  auto fail = [&](PortOpenError::Kind kind, DWORD code) -> std::unique_ptr<SerialPort> {
    if (error != nullptr) {
      error->kind = kind;
      error->device = device;
      error->detail = "system error " + std::to_string(code);
    }
    return nullptr;
  };
  // COM10 and above need the device namespace prefix; it works for COM1-COM9 too.
  std::string path = device;
  if (path.rfind("\\\\.\\", 0) != 0 && path.rfind("COM", 0) == 0) path = "\\\\.\\" + path;
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    PortOpenError::Kind kind = PortOpenError::Kind::kOther;
    if (code == ERROR_ACCESS_DENIED) kind = PortOpenError::Kind::kPermission;
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      kind = PortOpenError::Kind::kNotFound;
    }
    // Windows itself answers access denied for a port in use; drivers and Wine (a device
    // another program holds exclusively) answer with these.
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_BUSY) {
      kind = PortOpenError::Kind::kBusy;
    }
    return fail(kind, code);
  }
  auto port = std::make_unique<Win32SerialPort>(handle);
  SetupComm(handle, 4096, 4096);
  port->SetReadConstant(read_constant_ms);

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return fail(PortOpenError::Kind::kSettings, GetLastError());
  dcb.BaudRate = kBaudRate;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fNull = FALSE;
  dcb.XonLim = 100;
  dcb.XoffLim = 100;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  if (!SetCommState(handle, &dcb)) return fail(PortOpenError::Kind::kSettings, GetLastError());
  return port;
}

}  // namespace ql40::link

#endif  // _WIN32
