#include "shell/backups.h"

#include <cstdio>
#include <filesystem>
#include <tuple>

#include "codeplug/files.h"
#include "shell/recovery_strings.h"

namespace ql40::shell {
namespace fs = std::filesystem;
namespace {

std::string SafeSerial(std::string_view serial) {
  std::string safe;
  for (char c : serial) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                    c == '-' || c == '_';
    safe += ok ? c : '_';
  }
  return safe.empty() ? "unknown" : safe;
}

std::string_view KindSuffix(BackupKind kind) {
  switch (kind) {
    case BackupKind::kRead:
      return "-read";
    case BackupKind::kWrite:
      return "-write";
    case BackupKind::kAlignWrite:
      return "-align-write";
    case BackupKind::kReadHalfWritten:
      return "-read-half-written";
  }
  return "-read";
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

std::string BackupFileName(const std::tm& t, std::string_view serial, BackupKind kind) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return std::string(stamp) + "-" + SafeSerial(serial) + std::string(KindSuffix(kind)) + ".q40";
}

std::string LastCompleteBackup(const std::string& folder, std::string_view serial) {
  const std::string safe = SafeSerial(serial);
  std::error_code ec;
  std::string best_path;
  // Time stamp; within one second what was written wins over what was read (a download follows
  // its upload); then the "-N" of a second one.
  std::tuple<std::string, int, int> best;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file(ec) || !EndsWith(name, ".q40")) continue;
    std::string_view rest(name);
    rest.remove_suffix(4);
    int n = 1;
    if (const auto dash = rest.rfind('-'); dash != std::string_view::npos) {
      const std::string_view digits = rest.substr(dash + 1);
      if (!digits.empty() && digits.size() < 4 &&
          digits.find_first_not_of("0123456789") == std::string_view::npos) {
        n = std::stoi(std::string(digits));
        rest = rest.substr(0, dash);
      }
    }
    // A radio whose download stopped half-way was not whole when it was read.
    if (EndsWith(rest, KindSuffix(BackupKind::kReadHalfWritten))) continue;
    bool complete = false;
    int rank = 0;
    for (BackupKind kind : {BackupKind::kAlignWrite, BackupKind::kWrite, BackupKind::kRead}) {
      if (EndsWith(rest, KindSuffix(kind))) {
        rest.remove_suffix(KindSuffix(kind).size());
        complete = true;
        rank = kind == BackupKind::kRead ? 1 : 2;
        break;
      }
    }
    // "YYYYMMDD-HHMMSS-" and the serial number.
    if (!complete || rest.size() < 16 || rest[8] != '-' || rest[15] != '-' ||
        rest.substr(16) != safe) {
      continue;
    }
    std::tuple<std::string, int, int> stamp{std::string(rest.substr(0, 15)), rank, n};
    if (best_path.empty() || stamp > best) {
      best = stamp;
      best_path = entry.path().string();
    }
  }
  return best_path;
}

Message HalfWrittenNotice(const std::string& folder, std::string_view serial) {
  Message m;
  m.icon = MessageIcon::kExclamation;
  const std::string last = folder.empty() ? std::string() : LastCompleteBackup(folder, serial);
  if (last.empty()) {
    m.string_id = kStrRadioHalfWrittenNoBackup;
    m.args = {std::string(serial), folder};
  } else {
    m.string_id = kStrRadioHalfWritten;
    m.args = {last};
  }
  return m;
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
