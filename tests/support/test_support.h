#pragma once

// Shared test helpers: a prompter that records what the core showed and answers from a
// script, a temporary folder that removes itself, and a runner for the ql40 program.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "codeplug/prompter.h"

namespace ql40::testing {

class ScriptedPrompter : public Prompter {
 public:
  // Answers given in order; when the script runs out, OK-only messages get kOk and questions
  // get the fallback.
  explicit ScriptedPrompter(std::vector<Answer> script = {}, Answer fallback = Answer::kCancel)
      : script_(script.begin(), script.end()), fallback_(fallback) {}
  Answer Ask(const Message& message) override;
  using Prompter::Ask;

  const std::vector<Message>& messages() const { return messages_; }
  std::vector<int> ids() const;
  bool Saw(int string_id) const;

 private:
  std::deque<Answer> script_;
  Answer fallback_;
  std::vector<Message> messages_;
};

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers.
std::vector<unsigned char> ReadAll(const std::string& path);
std::string ReadText(const std::string& path);
void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes);

// Runs the ql40 program with the arguments and the input on stdin; its exit status (-1 when it
// did not exit normally) and what it printed.
struct ProgramResult {
  int status = -1;
  std::string out, err;
};
ProgramResult RunQl40(const TempDir& dir, const std::string& args, const std::string& input = "");

// Checks single bytes of an image or record: {{offset, value}, ...}.
template <typename Bytes>
void ExpectBytes(const Bytes& bytes, std::initializer_list<std::pair<int, int>> expected) {
  for (const auto& [offset, value] : expected) {
    EXPECT_EQ(static_cast<int>(bytes[static_cast<std::size_t>(offset)]), value)
        << "byte " << offset;
  }
}

// True when the tests run with root rights (permission checks cannot be tested then).
bool RunningAsRoot();

}  // namespace ql40::testing
