#pragma once

// A private-profile INI file that stays readable and writable by the Windows profile
// functions: section and key names match without case, every line the program does not change
// (comments, foreign sections and keys, blank lines) is written back as it was, values are
// taken literally (a backslash is just a backslash), and saving replaces the file in one step.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql40::shell {

class IniFile {
 public:
  IniFile() = default;

  // Reads the file; a missing or unreadable file gives an empty one (false).
  bool Load(const std::string& path);
  // Parses text as the file's contents.
  void Parse(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // The value read as the profile functions read a number: optional sign and decimal digits,
  // 0 when the value does not start with a number, the fallback when the key is missing.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // Changes the key's value in place, or adds it at the end of its section (the section at
  // the end of the file when it is new).
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, int value) {
    Set(section, key, std::to_string(value));
  }

  std::string Text() const;
  // Writes a temporary file beside the target and renames it over the target.
  bool Save(const std::string& path) const;

 private:
  struct Line {
    std::string text;  // as read, without the line end
  };
  // Index of the section's header line, or -1.
  int FindSection(std::string_view section) const;
  // Index of the key's line within the section that starts at header, or -1.
  int FindKey(int header, std::string_view key) const;
  // One past the section's last key line.
  int SectionEnd(int header) const;

  std::vector<Line> lines_;
  std::string eol_ = "\r\n";
};

// Case-blind comparison of ASCII names, as the profile functions compare them.
bool SameName(std::string_view a, std::string_view b);

}  // namespace ql40::shell
