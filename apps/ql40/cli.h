#pragma once

// Shared pieces of the ql40 command line. Each group of subcommands registers itself with
// the CLI11 app from its own file; main() parses and returns the exit status.

#include <CLI/CLI.hpp>
#include <string>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"

namespace ql40::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// Messages go to stderr as plain text. Questions are answered by --yes / --no when given,
// asked on the terminal when stdin is one, and answered Cancel (or No) otherwise.
class TerminalPrompter : public Prompter {
 public:
  enum class Policy { kAsk, kYes, kNo };
  explicit TerminalPrompter(Policy policy = Policy::kAsk) : policy_(policy) {}
  Answer Ask(const Message& message) override;
  using Prompter::Ask;
  void set_policy(Policy policy) { policy_ = policy; }

 private:
  Policy policy_;
};

// The message text as a terminal shows it: "\r\n" becomes a line break.
std::string TerminalText(const Message& message);

// Opens a codeplug file with the checks of the Open command (file status, size, readable);
// on failure the message has been shown and false is returned.
bool OpenCodeplugFile(const std::string& path, Codeplug& doc, Prompter& prompter);

// Each file of subcommands adds its commands; a command's callback stores its exit status.
void RegisterFileCommands(CLI::App& app, int& exit_status);
void RegisterReportCommands(CLI::App& app, int& exit_status);
void RegisterTransferCommands(CLI::App& app, int& exit_status);
void RegisterExchangeCommands(CLI::App& app, int& exit_status);

// `ql40 channels --csv` (this program's columns, or a CHIRP plan) and the check that `ql40
// download` runs first (false: refuse).
int RunChannelsCsv(const std::string& file, bool chirp, Prompter& prompter);
bool CheckBeforeDownload(const std::string& file);

}  // namespace ql40::cli
