#pragma once

// A support trace: every byte sent and received, with a millisecond time stamp.

#include <chrono>
#include <fstream>
#include <mutex>
#include <string>

#include "link/serial_port.h"

namespace ql40::link {

// Lines of the form "  1234.567 > F0 02 00 F2" (sent), "<" (received), "!" (a note); the
// time is in milliseconds since the trace was opened.
class FileTrace : public ByteTrace {
 public:
  // Opens (truncates) the file; ok() tells whether that worked.
  explicit FileTrace(const std::string& path);
  bool ok() const { return static_cast<bool>(out_); }

  void Sent(const std::uint8_t* data, std::size_t count) override;
  void Received(const std::uint8_t* data, std::size_t count) override;
  void Note(const char* what) override;

 private:
  void Line(char direction, const std::uint8_t* data, std::size_t count, const char* note);

  std::mutex mutex_;
  std::ofstream out_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace ql40::link
