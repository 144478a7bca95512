#include "codeplug/files.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "resources/labels.h"
#include "resources/strings.h"

namespace ql40 {
namespace fs = std::filesystem;
namespace {

void DecodeTrailer(const std::uint8_t* bytes, double& trailer) {
  std::uint64_t raw = 0;
  for (int i = 7; i >= 0; --i) raw = (raw << 8) | bytes[i];
  const double value = std::bit_cast<double>(raw);
  // A damaged trailer must not carry NaN or absurd offsets into the channel editor.
  if (!std::isfinite(value)) return;
  trailer = std::clamp(value, -99.9, 99.9);
}

void EncodeTrailer(double trailer, unsigned char* bytes) {
  std::uint64_t raw = std::bit_cast<std::uint64_t>(trailer);
  for (int i = 0; i < 8; ++i) {
    bytes[i] = static_cast<unsigned char>(raw & 0xFF);
    raw >>= 8;
  }
}

bool IsReadOnly(const fs::path& path) {
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return false;
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// Writes all bytes and makes sure they reached the disk before the caller renames.
bool WriteAndSync(std::FILE* file, const unsigned char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, file) != size) return false;
  if (std::fflush(file) != 0) return false;
#if defined(_WIN32)
  return _commit(_fileno(file)) == 0;
#else
  return ::fsync(::fileno(file)) == 0;
#endif
}

std::FILE* CreateExclusive(const fs::path& path) {
#if defined(_WIN32)
  // Not fopen's "x": the C runtime that ships with every Windows does not know it.
  const int fd =
      _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) ::close(fd);
  return file;
#endif
}

}  // namespace

std::string BaseName(const std::string& path) {
  const auto pos = path.find_last_of("/\\");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

bool ReadImageFile(const std::string& path, Image& image, double& trailer, Prompter& prompter) {
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    prompter.Show(res::kStrProblemOpeningFileName, MessageIcon::kStop, {path});
    return false;
  }
  // Only the image and the trailer are ever read; a longer file's rest stays unread.
  std::uint8_t bytes[kFileSize];
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  return ReadImageBytes(std::span<const std::uint8_t>(bytes, got), path, image, trailer, prompter);
}

bool ReadImageBytes(std::span<const std::uint8_t> bytes, const std::string& path, Image& image,
                    double& trailer, Prompter& prompter) {
  // Nothing is taken from bytes that end inside the image: the codeplug stays as it was.
  if (bytes.size() < static_cast<std::size_t>(kImageSize)) {
    prompter.Show(res::kStrProblemReadingFile, MessageIcon::kStop, {path});
    return false;
  }
  std::memcpy(image.data(), bytes.data(), kImageSize);
  if (bytes.size() >= static_cast<std::size_t>(kFileSize))
    DecodeTrailer(bytes.data() + kImageSize, trailer);
  return true;
}

bool WriteImageFile(const std::string& path, const Image& image, double trailer,
                    Prompter& prompter) {
  std::error_code ec;
  fs::path target(path);
  // Save through a link to the file it names, not over the link itself.
  if (fs::is_symlink(target, ec)) {
    const auto resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  // A file that cannot be written stays as it is, exactly as a failed open would leave it.
  if (path.empty() || IsReadOnly(target) || fs::is_directory(target, ec)) {
    prompter.Show(res::kStrProblemOpeningFile, MessageIcon::kStop, {path});
    return false;
  }

  std::random_device random;
  fs::path temp;
  std::FILE* file = nullptr;
  for (int attempt = 0; attempt < 16 && file == nullptr; ++attempt) {
    temp = target;
    temp += ".tmp" + std::to_string(random() % 1000000);
    file = CreateExclusive(temp);
    if (file == nullptr && errno != EEXIST) break;
  }
  if (file == nullptr) {
    prompter.Show(res::kStrProblemOpeningFile, MessageIcon::kStop, {path});
    return false;
  }

  unsigned char bytes[kFileSize];
  std::memcpy(bytes, image.data(), kImageSize);
  EncodeTrailer(trailer, bytes + kImageSize);
  bool ok = WriteAndSync(file, bytes, sizeof bytes);
  ok = (std::fclose(file) == 0) && ok;

  if (ok) {
    // Keep the permissions of the file being replaced.
    const auto old_status = fs::status(target, ec);
    if (!ec && fs::exists(old_status)) {
      fs::permissions(temp, old_status.permissions(), fs::perm_options::replace, ec);
    }
    fs::rename(temp, target, ec);
    ok = !ec;
  }
  if (!ok) {
    fs::remove(temp, ec);
    prompter.Show(res::kStrProblemWritingFile, MessageIcon::kStop);
    return false;
  }
  return true;
}

bool WriteImageFile(const std::string& path, Codeplug& doc, Prompter& prompter) {
  if (!WriteImageFile(path, doc.image, doc.default_split, prompter)) return false;
  doc.modified = false;
  return true;
}

bool CheckWritable(const std::string& path, Prompter& prompter) {
  if (IsReadOnly(fs::path(path))) {
    prompter.Show(res::kStrFileReadOnly, MessageIcon::kStop, {path});
    return false;
  }
  return true;
}

bool IsDefaultFileName(const std::string& path) {
  const std::string name = BaseName(path);
  return std::any_of(std::begin(kDefaultFileNames), std::end(kDefaultFileNames),
                     [&](const char* d) { return name == d; });
}

bool CheckOpenable(const std::string& path, Prompter& prompter) {
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (path.empty() || ec || !fs::exists(status)) {
    prompter.Show(res::kStrProblemOpeningFileName, MessageIcon::kStop, {path});
    return false;
  }
  const auto size = fs::is_regular_file(status) ? fs::file_size(path, ec) : 0;
  if (!CheckOpenableSize(ec ? 0 : size, prompter)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const bool readable = file != nullptr && std::fgetc(file) != EOF;
  if (file != nullptr) std::fclose(file);
  if (!readable) {
    prompter.Show(res::kStrProblemReadingFile, MessageIcon::kStop, {path});
    return false;
  }
  return true;
}

bool CheckOpenableSize(std::uintmax_t size, Prompter& prompter) {
  if (size != static_cast<std::uintmax_t>(kFileSize)) {
    prompter.Show(res::kStrFileFormatInvalid, MessageIcon::kStop);
    return false;
  }
  return true;
}

namespace {

// "Can be opened and yields one byte".
bool HasData(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const bool ok = std::fgetc(file) != EOF;
  std::fclose(file);
  return ok;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return (fs::path(folder) / name).string();
}

// Where a missing default band file goes.
std::string WriteFolder(const FileEnvironment& env) {
  return env.user_dir.empty() ? env.working_dir : env.user_dir;
}

// The band's default file that can be read: the user's own copy first, then the shipped one.
std::string FindDefaultFile(const FileEnvironment& env, int band,
                            bool (*usable)(const std::string&)) {
  if (!env.user_dir.empty()) {
    const std::string own = InFolder(env.user_dir, kDefaultFileNames[band]);
    if (usable(own)) return own;
  }
  const std::string shipped = InFolder(env.program_dir, kDefaultFileNames[band]);
  return usable(shipped) ? shipped : std::string();
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

void ReadIntoDocument(Codeplug& doc, const std::string& path, Prompter& prompter) {
  if (ReadImageFile(path, doc.image, doc.default_split, prompter)) {
    // The origin mark goes first: decoding the identity consults it.
    doc.file_loaded = true;
    doc.RefreshFromImage();
  } else {
    doc.file_loaded = false;
  }
}

}  // namespace

void LoadCodeplug(Codeplug& doc, const std::string& path, const FileEnvironment& env,
                  Prompter& prompter) {
  doc.ResetToDefaults();
  doc.file_loaded = false;
  doc.path = path;

  std::string to_read;
  if (path != res::kNoPath) {
    if (HasData(path)) to_read = path;
  } else {
    for (int band : {kBandVhf, kBandUhf, kBandVhfLo}) {
      const std::string candidate = FindDefaultFile(env, band, HasData);
      if (!candidate.empty()) {
        to_read = candidate;
        doc.path = fs::absolute(candidate).string();
        break;
      }
    }
    if (to_read.empty()) {
      doc.CommitToImage();
      WriteImageFile(InFolder(WriteFolder(env), kDefaultFileNames[kBandVhf]), doc, prompter);
    }
  }
  if (!to_read.empty()) ReadIntoDocument(doc, to_read, prompter);
}

bool SaveCodeplug(Codeplug& doc, Prompter& prompter) {
  if (!CheckWritable(doc.path, prompter)) return false;
  if (IsDefaultFileName(doc.path) && prompter.Ask(res::kStrWriteDefaultFile, MessageIcon::kQuestion,
                                                  MessageButtons::kYesNo) != Answer::kYes) {
    return false;
  }
  doc.CommitToImage();
  if (doc.path.empty() || doc.path == res::kNoPath) {
    prompter.Show(res::kStrProblemOpeningFileName, MessageIcon::kStop, {doc.path});
    return false;
  }
  return WriteImageFile(doc.path, doc, prompter);
}

void ChangeBandFile(Codeplug& doc, const FileEnvironment& env, Prompter& prompter) {
  doc.path = std::string(res::kNoPath);
  const int band = std::clamp(doc.hardware.band, 0, 2);
  const std::string candidate = FindDefaultFile(env, band, Exists);
  if (!candidate.empty() && ReadImageFile(candidate, doc.image, doc.default_split, prompter)) {
    doc.path = fs::absolute(candidate).string();
    doc.file_loaded = true;
    doc.RefreshFromImage();
  } else {
    doc.CommitToImage();
    WriteImageFile(InFolder(WriteFolder(env), kDefaultFileNames[band]), doc, prompter);
    doc.path = std::string(res::kNoPath);
    doc.RefreshFromImage();
  }
  doc.channels.SelectGroup(0);
}

}  // namespace ql40
