#include "shell/ini_file.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ql40::shell {
namespace fs = std::filesystem;
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// The section name of a header line "[name]", or nothing.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && line.front() == ';';
}

// The key and value of "key=value", or nothing.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
  if (IsComment(line) || HeaderName(line)) return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const auto key = Trim(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  auto value = Trim(line.substr(eq + 1));
  // The profile functions drop one pair of quotes around a value.
  if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                            (value.front() == '\'' && value.back() == '\''))) {
    value = value.substr(1, value.size() - 2);
  }
  return std::make_pair(key, value);
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool IniFile::Load(const std::string& path) {
  lines_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  Parse(text.str());
  return true;
}

void IniFile::Parse(std::string_view text) {
  lines_.clear();
  eol_ = text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos
             ? "\r\n"
             : "\n";
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.push_back({std::string(line)});
    start = end + 1;
  }
}

int IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = HeaderName(lines_[i].text);
    if (name && SameName(*name, section)) return static_cast<int>(i);
  }
  return -1;
}

int IniFile::FindKey(int header, std::string_view key) const {
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
    if (HeaderName(lines_[i].text)) break;
    const auto kv = KeyValue(lines_[i].text);
    if (kv && SameName(kv->first, key)) return static_cast<int>(i);
  }
  return -1;
}

int IniFile::SectionEnd(int header) const {
  int end = header + 1;
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
    if (HeaderName(lines_[i].text)) break;
    if (!Trim(lines_[i].text).empty()) end = static_cast<int>(i) + 1;
  }
  return end;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const int header = FindSection(section);
  if (header < 0) return std::nullopt;
  const int line = FindKey(header, key);
  if (line < 0) return std::nullopt;
  return std::string(KeyValue(lines_[static_cast<std::size_t>(line)].text)->second);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  const auto value = Get(section, key);
  if (!value) return fallback;
  std::string_view s = Trim(*value);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  long long n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > 0x7FFFFFFF) n = 0x7FFFFFFF;  // a huge number stays a huge number, not a wrap
  }
  return static_cast<int>(negative ? -n : n);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  int header = FindSection(section);
  if (header < 0) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back({""});
    lines_.push_back({"[" + std::string(section) + "]"});
    header = static_cast<int>(lines_.size()) - 1;
  }
  const std::string new_value(value);
  const int line = FindKey(header, key);
  if (line >= 0) {
    // Keep the key as it was spelt; only the value changes.
    auto& text = lines_[static_cast<std::size_t>(line)].text;
    text = text.substr(0, text.find('=') + 1) + new_value;
    return;
  }
  const int at = SectionEnd(header);
  lines_.insert(lines_.begin() + at, {std::string(key) + "=" + new_value});
}

std::string IniFile::Text() const {
  std::string out;
  for (const auto& line : lines_) out += line.text + eol_;
  return out;
}

bool IniFile::Save(const std::string& path) const {
  const fs::path target(path);
  fs::path temp = target;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      fs::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace ql40::shell
