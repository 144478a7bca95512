#include "shell/recovery.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "codeplug/files.h"
#include "codeplug/hardware.h"
#include "resources/labels.h"
#include "resources/strings.h"
#include "shell/recovery_strings.h"

namespace ql40::shell {
namespace {

constexpr char kMagic[8] = {'Q', 'L', '4', '0', 'R', 'E', 'C', 'V'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kFixedHeader = 8 + 4 + 4 + 8 + 1 + 8;  // magic .. default split
constexpr std::size_t kMaxText = 4096;
// Anything bigger than the largest file this program writes is not one of its files.
constexpr std::uintmax_t kMaxFileSize = kFixedHeader + 2 * (2 + kMaxText) + kImageSize + 4;
constexpr std::uint8_t kFlagFileLoaded = 1;
constexpr std::uint8_t kFlagRadioOrigin = 2;

std::uint32_t Crc32(std::string_view bytes) {
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
  for (char ch : bytes) crc = table[(crc ^ static_cast<std::uint8_t>(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void PutLE(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t GetLE(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<std::uint8_t>(in[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

// Characters that may stand in a file name on every system; others become '_'.
std::string SafeName(std::string_view text, bool keep_dash) {
  std::string out;
  for (char c : text) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                    c == '_' || c == '.' || (keep_dash && c == '-');
    out += ok ? c : '_';
  }
  return out;
}

RecoveryOwner Normalised(const RecoveryOwner& owner) {
  return {SafeName(owner.key, true), SafeName(owner.host, false), owner.pid};
}

std::tm LocalTime(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return local;
}

// The file's bytes as a codeplug file holds the image and the trailer.
std::string CodeplugBytes(const Image& image, double trailer) {
  std::string out(reinterpret_cast<const char*>(image.data()), image.size());
  PutLE(out, std::bit_cast<std::uint64_t>(trailer), 8);
  return out;
}

bool FileHolds(const fs::path& path, const std::string& bytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) != bytes.size()) return false;
  std::ifstream in(path, std::ios::binary);
  std::string got(bytes.size(), '\0');
  in.read(got.data(), static_cast<std::streamsize>(got.size()));
  return in && got == bytes;
}

// A free name in the folder: the name itself, or "-2", "-3", ... before its extension.
fs::path FreeName(const fs::path& folder, const std::string& name) {
  const fs::path plain(name);
  const std::string stem = plain.stem().string();
  const std::string ext = plain.extension().string();
  fs::path path = folder / name;
  std::error_code ec;
  for (int n = 2; fs::exists(path, ec) && n < 1000; ++n) {
    path = folder / (stem + "-" + std::to_string(n) + ext);
  }
  return path;
}

// Renames, or copies and removes when the folders lie on different file systems.
bool MoveFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) return false;
  fs::remove(from, ec);
  return true;
}

#if !defined(_WIN32)
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}
#endif

}  // namespace

// --- Where ---------------------------------------------------------------------------------

fs::path RecoveryDir(const std::string& user_data_dir) {
  return user_data_dir.empty() ? fs::path() : fs::path(user_data_dir) / "recovery";
}

std::string RecoveryFileName(const RecoveryOwner& owner) {
  const RecoveryOwner n = Normalised(owner);
  return n.key + "-" + (n.host.empty() ? "_" : n.host) + "-" + std::to_string(n.pid) +
         kRecoveryExtension;
}

std::optional<RecoveryOwner> OwnerOfRecoveryFile(std::string_view name) {
  const std::string_view ext = kRecoveryExtension;
  if (name.size() <= ext.size() || name.substr(name.size() - ext.size()) != ext) return {};
  name.remove_suffix(ext.size());
  const auto pid_dash = name.rfind('-');
  if (pid_dash == std::string_view::npos || pid_dash == 0) return {};
  const std::string_view pid = name.substr(pid_dash + 1);
  if (pid.empty() || pid.size() > 18 ||
      !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return {};
  }
  const auto host_dash = name.rfind('-', pid_dash - 1);
  if (host_dash == std::string_view::npos || host_dash == 0 || host_dash + 1 == pid_dash) {
    return {};
  }
  RecoveryOwner owner;
  owner.key = std::string(name.substr(0, host_dash));
  owner.host = std::string(name.substr(host_dash + 1, pid_dash - host_dash - 1));
  owner.pid = std::stoll(std::string(pid));
  return owner;
}

// --- What ----------------------------------------------------------------------------------

bool SameContent(const RecoveryData& a, const RecoveryData& b) {
  return a.image == b.image &&
         std::bit_cast<std::uint64_t>(a.default_split) ==
             std::bit_cast<std::uint64_t>(b.default_split) &&
         a.path == b.path && a.file_loaded == b.file_loaded && a.radio_origin == b.radio_origin;
}

std::string EncodeRecovery(const RecoveryData& data) {
  const std::string_view path = std::string_view(data.path).substr(0, kMaxText);
  const std::string_view title = std::string_view(data.title).substr(0, kMaxText);
  std::string out;
  out.reserve(kFixedHeader + 4 + path.size() + title.size() + kImageSize + 4);
  out.append(kMagic, sizeof kMagic);
  PutLE(out, kVersion, 4);
  const std::size_t total = kFixedHeader + 2 + path.size() + 2 + title.size() + kImageSize + 4;
  PutLE(out, total, 4);
  PutLE(out, static_cast<std::uint64_t>(data.saved_at), 8);
  out += static_cast<char>((data.file_loaded ? kFlagFileLoaded : 0) |
                           (data.radio_origin ? kFlagRadioOrigin : 0));
  PutLE(out, std::bit_cast<std::uint64_t>(data.default_split), 8);
  PutLE(out, path.size(), 2);
  out += path;
  PutLE(out, title.size(), 2);
  out += title;
  out.append(reinterpret_cast<const char*>(data.image.data()), data.image.size());
  PutLE(out, Crc32(out), 4);
  return out;
}

std::optional<RecoveryData> DecodeRecovery(std::string_view in, std::string* why) {
  const auto refuse = [why](const char* reason) -> std::optional<RecoveryData> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  if (in.size() < 16) return refuse("too short");
  if (std::memcmp(in.data(), kMagic, sizeof kMagic) != 0) return refuse("not a recovery file");
  if (GetLE(in, 8, 4) != kVersion) return refuse("unknown version");
  // The length first: a file cut short is refused before anything else is read from it.
  if (GetLE(in, 12, 4) != in.size()) return refuse("cut short or too long");
  if (in.size() < kFixedHeader + 2 + 2 + kImageSize + 4) return refuse("too short");
  const std::size_t body = in.size() - 4;
  if (Crc32(in.substr(0, body)) != GetLE(in, body, 4)) return refuse("checksum mismatch");

  RecoveryData data;
  data.saved_at = static_cast<std::int64_t>(GetLE(in, 16, 8));
  const auto flags = static_cast<std::uint8_t>(in[24]);
  if ((flags & ~(kFlagFileLoaded | kFlagRadioOrigin)) != 0) return refuse("unknown flags");
  data.file_loaded = (flags & kFlagFileLoaded) != 0;
  data.radio_origin = (flags & kFlagRadioOrigin) != 0;
  data.default_split = std::bit_cast<double>(GetLE(in, 25, 8));
  if (!std::isfinite(data.default_split) || std::abs(data.default_split) > 99.9) {
    return refuse("default split out of range");
  }
  std::size_t at = kFixedHeader;
  for (std::string* text : {&data.path, &data.title}) {
    if (at + 2 > body) return refuse("fields do not fit");
    const std::size_t size = GetLE(in, at, 2);
    at += 2;
    if (size > kMaxText || at + size > body) return refuse("fields do not fit");
    text->assign(in.substr(at, size));
    at += size;
  }
  if (at + kImageSize != body) return refuse("fields do not fit");
  std::memcpy(data.image.data(), in.data() + at, kImageSize);
  if (data.path.empty()) return refuse("no path");
  return data;
}

RecoveryData CaptureRecovery(const Codeplug& doc, std::int64_t now) {
  // A scratch document takes the records and commits them, so that the autosave never
  // changes what is being edited.
  auto scratch = std::make_unique<Codeplug>();
  scratch->image = doc.image;
  scratch->option_unit = doc.option_unit;
  scratch->hardware = doc.hardware;
  scratch->identity = doc.identity;
  scratch->channels = doc.channels;
  scratch->CommitToImage();
  RecoveryData data;
  data.saved_at = now;
  data.path = doc.path;
  data.title = RecoveryTitle(doc);
  data.file_loaded = doc.file_loaded;
  data.radio_origin = doc.radio_origin;
  data.default_split = doc.default_split;
  data.image = scratch->image;
  return data;
}

std::string RecoveryTitle(const Codeplug& doc) {
  if (doc.path != res::kNoPath) return BaseName(doc.path);
  if (doc.radio_origin) {
    return res::FormatString(kStrRecoveryRadioTitle, {DecodeSerialNumber(doc.image)});
  }
  return doc.path;
}

void RestoreRecovery(const RecoveryData& data, Codeplug& doc) {
  doc.ResetToDefaults();
  doc.image = data.image;
  doc.default_split = data.default_split;
  doc.path = data.path;
  // The origin marks first: decoding the identity consults them.
  doc.file_loaded = data.file_loaded;
  doc.radio_origin = data.radio_origin;
  doc.RefreshFromImage();
  doc.channels.SelectGroup(0);
  doc.history.Clear();
  doc.modified = true;
}

std::string RecoveryTimeText(std::int64_t saved_at, std::int64_t now) {
  const std::tm then = LocalTime(saved_at);
  const std::tm today = LocalTime(now);
  char text[64];
  if (then.tm_year == today.tm_year && then.tm_yday == today.tm_yday) {
    std::snprintf(text, sizeof text, "%02d:%02d", then.tm_hour, then.tm_min);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", then.tm_year + 1900,
                  then.tm_mon + 1, then.tm_mday, then.tm_hour, then.tm_min);
  }
  return text;
}

bool WriteFileAtomically(const fs::path& target, std::string_view bytes, std::string* error) {
  const auto fail = [&](const std::string& what) {
    if (error != nullptr) *error = what + ": " + std::strerror(errno);
    return false;
  };
  fs::path temp = target;
  temp += ".tmp";
#if defined(_WIN32)
  std::FILE* file = _wfopen(temp.c_str(), L"wb");
  if (file == nullptr) return fail(temp.string());
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
            std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
  ok = std::fclose(file) == 0 && ok;
#else
  // The copy may hold a customer's codeplug: readable by its owner only.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return fail(temp.string());
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
#endif
  std::error_code ec;
  if (!ok) {
    const bool failed = fail(temp.string());
    fs::remove(temp, ec);
    return failed;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    if (error != nullptr) *error = target.string() + ": " + ec.message();
    fs::remove(temp, ec);
    return false;
  }
#if !defined(_WIN32)
  // The rename itself must reach the disk, or a power cut can leave no file at all.
  SyncFolder(target.parent_path().empty() ? fs::path(".") : target.parent_path());
#endif
  return true;
}

// --- When ----------------------------------------------------------------------------------

void AutosaveSchedule::Changed(Clock::time_point now) {
  if (!first_change_) first_change_ = now;
  last_change_ = now;
}

bool AutosaveSchedule::Due(Clock::time_point now) const {
  if (!first_change_) return false;
  if (last_write_ && now - *last_write_ < timing_.min_interval) return false;
  return now - last_change_ >= timing_.quiet || now - *first_change_ >= timing_.longest;
}

void AutosaveSchedule::Written(Clock::time_point now) {
  first_change_.reset();
  last_write_ = now;
}

void AutosaveSchedule::Clear() {
  first_change_.reset();
}

// --- Writing off the user-interface thread -------------------------------------------------

RecoveryStore::RecoveryStore(fs::path file) : file_(std::move(file)) {
  worker_ = std::thread([this] { Run(); });
}

RecoveryStore::~RecoveryStore() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void RecoveryStore::Write(RecoveryData data) {
  {
    std::lock_guard lock(mutex_);
    write_ = std::move(data);
    remove_ = false;
  }
  wake_.notify_one();
}

void RecoveryStore::Remove() {
  {
    std::lock_guard lock(mutex_);
    write_.reset();
    remove_ = true;
  }
  wake_.notify_one();
}

void RecoveryStore::Flush() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !busy_ && !write_ && !remove_; });
}

int RecoveryStore::writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

std::string RecoveryStore::last_error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void RecoveryStore::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || write_ || remove_; });
    if (!write_ && !remove_) return;  // stopped with nothing left to do
    std::optional<RecoveryData> data = std::move(write_);
    write_.reset();
    const bool remove = std::exchange(remove_, false);
    busy_ = true;
    lock.unlock();

    std::string error;
    bool wrote = false;
    if (data) {
      std::error_code ec;
      const fs::path folder = file_.parent_path();
      if (!folder.empty() && fs::create_directories(folder, ec)) {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
      }
      wrote = WriteFileAtomically(file_, EncodeRecovery(*data), &error);
    } else if (remove) {
      std::error_code ec;
      fs::remove(file_, ec);
    }

    lock.lock();
    busy_ = false;
    if (data) {
      if (wrote) ++writes_;
      error_ = error;
    }
    idle_.notify_all();
  }
}

// --- Start-up ------------------------------------------------------------------------------

std::vector<LeftRecovery> FindLeftRecoveries(const fs::path& folder, const RecoveryOwner& self,
                                             const OwnerRunning& owner_running) {
  std::vector<LeftRecovery> left;
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) return left;
  const RecoveryOwner me = Normalised(self);
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const auto owner = OwnerOfRecoveryFile(entry.path().filename().string());
    if (!owner || owner->host != (me.host.empty() ? "_" : me.host)) continue;
    // A file under this run's own name was left by an earlier process with the same number.
    if (!(owner->key == me.key && owner->pid == me.pid) && owner_running && owner_running(*owner)) {
      continue;
    }
    LeftRecovery found;
    found.file = entry.path();
    std::string bytes;
    const auto size = entry.file_size(ec);
    if (!ec && size <= kMaxFileSize) {
      std::ifstream in(entry.path(), std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::optional<RecoveryData> data =
        ec || size > kMaxFileSize ? std::nullopt : DecodeRecovery(bytes, &found.why);
    if (!data) {
      if (found.why.empty()) found.why = "too long";
      found.kind = LeftRecoveryKind::kDamaged;
    } else {
      found.data = std::move(*data);
      const bool has_file = found.data.path != res::kNoPath;
      found.kind = has_file && FileHolds(found.data.path,
                                         CodeplugBytes(found.data.image, found.data.default_split))
                       ? LeftRecoveryKind::kUnchanged
                       : LeftRecoveryKind::kOffer;
    }
    left.push_back(std::move(found));
  }
  std::stable_sort(left.begin(), left.end(), [](const LeftRecovery& a, const LeftRecovery& b) {
    return a.data.saved_at < b.data.saved_at;
  });
  return left;
}

std::string RefusedRecoveryName(const RecoveryData& data) {
  std::string what;
  if (data.path != res::kNoPath) {
    what = fs::path(BaseName(data.path)).stem().string();
  } else if (data.radio_origin) {
    what = DecodeSerialNumber(data.image);
  }
  what = SafeName(what, true);
  if (what.empty()) what = "codeplug";
  const std::tm t = LocalTime(data.saved_at);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return std::string(stamp) + "-" + what + "-unsaved.q40";
}

OfferReport OfferRecoveries(const std::vector<LeftRecovery>& left, Codeplug& doc,
                            const RecoveryPlaces& places, Prompter& prompter,
                            const std::function<bool()>& confirm_replace, std::int64_t now) {
  OfferReport report;
  std::error_code ec;
  for (const LeftRecovery& found : left) {
    switch (found.kind) {
      case LeftRecoveryKind::kUnchanged:
        fs::remove(found.file, ec);
        continue;
      case LeftRecoveryKind::kDamaged: {
        fs::path to;
        if (!places.backup_dir.empty()) {
          fs::create_directories(places.backup_dir, ec);
          to = FreeName(places.backup_dir, found.file.filename().string() + ".damaged");
        }
        if (to.empty() || !MoveFile(found.file, to)) {
          // At least out of the way of the next start.
          to = found.file;
          to += ".damaged";
          fs::rename(found.file, to, ec);
          if (ec) to = found.file;
        }
        report.moved.push_back(to.string());
        prompter.Show(kStrRecoveryDamaged, MessageIcon::kExclamation, {to.string(), found.why});
        continue;
      }
      case LeftRecoveryKind::kOffer:
        break;
    }
    const RecoveryData& data = found.data;
    const std::string when = RecoveryTimeText(data.saved_at, now);
    bool open = prompter.Ask(kStrRecoverOffer, MessageIcon::kQuestion, MessageButtons::kYesNo,
                             {data.title, when}) == Answer::kYes;
    // Only one document is open: a second recovery replaces the first after the usual question.
    if (open && doc.modified && !(confirm_replace && confirm_replace())) open = false;
    if (open) {
      RestoreRecovery(data, doc);
      report.opened = true;
      // It becomes this run's own recovery file, so it stays safe until it is saved.
      if (!places.own_file.empty() && found.file != places.own_file) {
        fs::create_directories(places.own_file.parent_path(), ec);
        MoveFile(found.file, places.own_file);
      }
      continue;
    }
    SilentPrompter quiet;
    fs::path kept;
    if (!places.backup_dir.empty()) {
      fs::create_directories(places.backup_dir, ec);
      kept = FreeName(places.backup_dir, RefusedRecoveryName(data));
    }
    if (!kept.empty() && WriteImageFile(kept.string(), data.image, data.default_split, quiet)) {
      fs::remove(found.file, ec);
      report.kept.push_back(kept.string());
    } else {
      prompter.Show(kStrRecoveryNotKept, MessageIcon::kExclamation,
                    {data.title, places.backup_dir.string()});
    }
  }
  return report;
}

}  // namespace ql40::shell
