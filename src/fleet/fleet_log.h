#pragma once

// The record of every radio touched: one CSV line per upload or download in "ql40-fleet.csv"
// beside QL40.LOG, and a backup file of every image read from a radio.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>

#include "codeplug/image.h"

namespace ql40::fleet {

inline constexpr const char* kFleetLogName = "ql40-fleet.csv";
inline constexpr const char* kBackupFolderName = "backups";

using WallClock = std::chrono::system_clock;

// CRC-32 (the common reflected polynomial 0xEDB88320) of the 17664 image bytes: a short
// fingerprint that tells two codeplugs apart in the log.
std::uint32_t ImageChecksum(const Image& image);

// "YYYYMMDD-HHMMSS-<serial>-read.q40" in local time.
std::string BackupFileName(const std::string& serial, WallClock::time_point when);

// A serial number as part of a file name: the keypad characters * and # (legal in serial
// numbers, not in every file system) become '_'; an empty serial becomes "unknown".
std::string SerialForFileName(const std::string& serial);

// Writes the image as a new file in the folder (made when missing). An existing file of the
// same name is never replaced: "-2", "-3", ... go before ".q40" instead. The path written, or
// empty with the reason in *error.
std::filesystem::path KeepBackup(const std::filesystem::path& folder, const Image& image,
                                 double trailer, const std::string& serial,
                                 WallClock::time_point when, std::string* error);

struct FleetLogLine {
  WallClock::time_point when;
  std::string port;
  std::string serial;
  int model = -1;  // 0 PT-610, 1 PT-410, -1 unknown
  int band = -1;   // 0..2, -1 unknown
  std::string file;
  bool have_checksum = false;
  std::uint32_t checksum = 0;
  std::string result;
};

// One CSV line with its line end; fields holding a comma, a quote or a line break are quoted.
std::string CsvLine(const FleetLogLine& line);

// Appends lines to ql40-fleet.csv in a folder, a header first when the file is new. Safe to call
// from several workers at once: each line goes out in one write under a lock.
class FleetLog {
 public:
  explicit FleetLog(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::filesystem::path path() const;
  bool Append(const FleetLogLine& line, std::string* error);

 private:
  std::filesystem::path folder_;
  std::mutex mutex_;
};

}  // namespace ql40::fleet
