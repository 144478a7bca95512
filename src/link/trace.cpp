#include "link/trace.h"

#include "codeplug/codecs.h"

namespace ql40::link {

FileTrace::FileTrace(const std::string& path)
    : out_(path, std::ios::binary | std::ios::trunc), start_(std::chrono::steady_clock::now()) {}

void FileTrace::Sent(const std::uint8_t* data, std::size_t count) {
  Line('>', data, count, nullptr);
}

void FileTrace::Received(const std::uint8_t* data, std::size_t count) {
  Line('<', data, count, nullptr);
}

void FileTrace::Note(const char* what) {
  Line('!', nullptr, 0, what);
}

void FileTrace::Line(char direction, const std::uint8_t* data, std::size_t count,
                     const char* note) {
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
  std::string line = Format("%10.3f %c", ms, direction);
  for (std::size_t i = 0; i < count; ++i) line += Format(" %02X", data[i]);
  if (note != nullptr) line += std::string(" ") + note;
  line += '\n';
  std::lock_guard lock(mutex_);
  out_ << line;
}

}  // namespace ql40::link
