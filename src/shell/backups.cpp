#include "shell/backups.h"

#include <cstdio>
#include <filesystem>

#include "codeplug/files.h"

namespace ql40::shell {
namespace fs = std::filesystem;

std::string BackupFileName(const std::tm& t, std::string_view serial, BackupKind kind) {
  std::string safe;
  for (char c : serial) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                    c == '-' || c == '_';
    safe += ok ? c : '_';
  }
  if (safe.empty()) safe = "unknown";
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return std::string(stamp) + "-" + safe + (kind == BackupKind::kRead ? "-read" : "-write") +
         ".q40";
}

std::string WriteBackup(const std::string& folder, const Image& image, double trailer,
                        std::string_view serial, BackupKind kind, std::time_t when,
                        Prompter& prompter) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  const std::string name = BackupFileName(local, serial, kind);
  fs::path path = fs::path(folder) / name;
  for (int n = 2; fs::exists(path, ec) && n < 1000; ++n) {
    const std::string stem = name.substr(0, name.size() - 4);
    path = fs::path(folder) / (stem + "-" + std::to_string(n) + ".q40");
  }
  if (!WriteImageFile(path.string(), image, trailer, prompter)) return {};
  return path.string();
}

}  // namespace ql40::shell
