#include "support/test_support.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace ql40::testing {

Answer ScriptedPrompter::Ask(const Message& message) {
  messages_.push_back(message);
  if (!script_.empty()) {
    const Answer a = script_.front();
    script_.pop_front();
    return a;
  }
  return message.buttons == MessageButtons::kOk ? Answer::kOk : fallback_;
}

std::vector<int> ScriptedPrompter::ids() const {
  std::vector<int> out;
  for (const auto& m : messages_) out.push_back(m.string_id);
  return out;
}

bool ScriptedPrompter::Saw(int string_id) const {
  return std::any_of(messages_.begin(), messages_.end(),
                     [&](const Message& m) { return m.string_id == string_id; });
}

TempDir::TempDir() {
#if defined(_WIN32)
  // No mkdtemp: a random name, taken only when create_directory made it just now.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const auto name =
        std::filesystem::temp_directory_path() / ("ql40-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(name, ec)) path_ = name;
  }
  if (path_.empty()) throw std::runtime_error("cannot create a temporary folder");
#else
  std::string name = (std::filesystem::temp_directory_path() / "ql40-test-XXXXXX").string();
  if (::mkdtemp(name.data()) == nullptr)
    throw std::runtime_error("cannot create a temporary folder");
  path_ = name;
#endif
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back write permission first, in case a test made something read-only.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  const std::string text = ReadText(path);
  return {text.begin(), text.end()};
}

void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

ProgramResult RunQl40(const TempDir& dir, const std::string& args, const std::string& input) {
  const std::string in = dir.File("stdin.txt"), out = dir.File("stdout.txt"),
                    err = dir.File("stderr.txt");
  WriteAll(in, std::vector<unsigned char>(input.begin(), input.end()));
#if defined(_WIN32)
  // cmd.exe runs the line and hands the exit status back as it is; the outer quotes keep
  // its own quote stripping off the program's path.
  const std::string program = std::filesystem::path(QL40_CLI_PATH).make_preferred().string();
  const std::string command =
      "\"\"" + program + "\" " + args + " <\"" + in + "\" >\"" + out + "\" 2>\"" + err + "\"\"";
  const int status = std::system(command.c_str());
#else
  const std::string command =
      std::string(QL40_CLI_PATH) + " " + args + " <" + in + " >" + out + " 2>" + err;
  const int raw = std::system(command.c_str());
  const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  return {status, ReadText(out), ReadText(err)};
}

bool RunningAsRoot() {
#if defined(_WIN32)
  // No permission bit keeps a Windows file from being read: the same as root here.
  return true;
#else
  return ::geteuid() == 0;
#endif
}

}  // namespace ql40::testing
