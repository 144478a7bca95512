#include "fleet/fleet_log.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "codeplug/codecs.h"
#include "codeplug/files.h"
#include "codeplug/prompter.h"
#include "fleet/fleet_strings.h"
#include "resources/labels.h"
#include "resources/strings.h"

namespace ql40::fleet {
namespace {

std::tm LocalTime(WallClock::time_point when) {
  const std::time_t t = WallClock::to_time_t(when);
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return tm;
}

std::string Stamp(const char* format, WallClock::time_point when) {
  const std::tm tm = LocalTime(when);
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, format, &tm);
  return std::string(text, n);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::uint32_t ImageChecksum(const Image& image) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t b : image) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string SerialForFileName(const std::string& serial) {
  if (serial.empty()) return "unknown";
  std::string out = serial;
  for (char& c : out) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!plain) c = '_';
  }
  return out;
}

std::string BackupFileName(const std::string& serial, WallClock::time_point when) {
  return Stamp("%Y%m%d-%H%M%S", when) + "-" + SerialForFileName(serial) + "-read.q40";
}

std::filesystem::path KeepBackup(const std::filesystem::path& folder, const Image& image,
                                 double trailer, const std::string& serial,
                                 WallClock::time_point when, std::string* error) {
  namespace fs = std::filesystem;
  // Two workers may keep backups of radios with the same serial in the same second.
  static std::mutex naming;
  std::lock_guard lock(naming);
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string name = BackupFileName(serial, when);
  const std::string stem = name.substr(0, name.size() - 4);
  fs::path path = folder / name;
  for (int n = 2; fs::exists(path, ec); ++n)
    path = folder / (stem + "-" + std::to_string(n) + ".q40");
  SilentPrompter quiet;
  if (!WriteImageFile(path.string(), image, trailer, quiet)) {
    if (error != nullptr) {
      *error = res::FormatString(kStrBackupFailed, {path.string()});
      if (!quiet.messages().empty()) *error += ": " + quiet.messages().back().Text();
    }
    return {};
  }
  return path;
}

std::string CsvLine(const FleetLogLine& line) {
  const std::string fields[] = {
      Stamp("%Y-%m-%d", line.when),
      Stamp("%H:%M:%S", line.when),
      line.port,
      line.serial,
      line.model >= 0 ? res::LabelOr(res::kProductTypes, line.model) : std::string(),
      line.band >= 0 ? res::LabelOr(res::kBandNames, line.band) : std::string(),
      line.file,
      line.have_checksum ? Format("%08x", static_cast<unsigned>(line.checksum)) : std::string(),
      line.result,
  };
  std::string out;
  for (const auto& f : fields) {
    if (!out.empty()) out += ',';
    out += CsvField(f);
  }
  return out + "\n";
}

std::filesystem::path FleetLog::path() const {
  return folder_.empty() ? std::filesystem::path(kFleetLogName) : folder_ / kFleetLogName;
}

bool FleetLog::Append(const FleetLogLine& line, std::string* error) {
  std::lock_guard lock(mutex_);
  const auto file = path();
  std::error_code ec;
  const bool fresh =
      !std::filesystem::exists(file, ec) || std::filesystem::file_size(file, ec) == 0;
  std::string text = CsvLine(line);
  if (fresh) text = res::FormatString(kStrLogHeader) + "\n" + text;
  std::ofstream out(file, std::ios::app | std::ios::binary);
  if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (out) out.flush();
  if (!out) {
    if (error != nullptr) *error = res::FormatString(kStrLogFailed, {file.string()});
    return false;
  }
  return true;
}

}  // namespace ql40::fleet
