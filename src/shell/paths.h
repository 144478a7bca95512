#pragma once

// Where the programs find what they ship and keep what they write. A program run from its build
// tree works as it always has: help pages and default band files beside the executable,
// QL40Win.ini, backups and logs in the working folder. An installed program reads its shipped
// files from <prefix>/share/ql40win, never writes there, and keeps the user's files in the
// XDG folders, unless the working folder already holds a QL40Win.ini: whoever keeps one
// folder per customer goes on working in that folder.

#include <string>

#include "codeplug/files.h"

namespace ql40::shell {

inline constexpr const char* kAppFolderName = "ql40win";

// What the folders are decided from. CurrentPathInputs() reads the process's environment;
// tests fill one in by hand.
struct PathInputs {
  std::string program_dir;      // the folder of the running executable
  std::string working_dir;      // the current folder at start-up
  std::string home;             // HOME
  std::string xdg_config_home;  // XDG_CONFIG_HOME
  std::string xdg_data_home;    // XDG_DATA_HOME
  std::string app_data;         // APPDATA (Windows)
  std::string local_app_data;   // LOCALAPPDATA (Windows)
};

PathInputs CurrentPathInputs(const std::string& program_dir, const std::string& working_dir);

// The shipped data (help pages, default band files) of an installed program: share/ql40win
// under the prefix the executable's bin folder belongs to. Empty when there is none, as in a
// build tree.
std::string InstalledDataDir(const std::string& program_dir);
// The user's settings folder: $XDG_CONFIG_HOME/ql40win, else ~/.config/ql40win (on Windows
// %APPDATA%\QL40Win). Empty when neither is known.
std::string UserConfigDir(const PathInputs& in);
// The user's data folder (backups, logs, the default band files the program writes):
// $XDG_DATA_HOME/ql40win, else ~/.local/share/ql40win (on Windows %LOCALAPPDATA%\QL40Win).
// Empty when neither is known.
std::string UserDataDir(const PathInputs& in);
// The same for this process's environment.
std::string UserConfigDir();
std::string UserDataDir();

struct ProgramFolders {
  bool installed = false;           // shipped data found under the install prefix
  bool working_folder_ini = false;  // settings, backups and logs in the working folder
  std::string data_dir;             // the shipped, read-only files
  std::string help_dir;             // the help pages
  std::string ini_path;             // QL40Win.ini
  std::string backup_dir;           // images read from and written to radios
  std::string log_dir;              // QL40.LOG and ql40-fleet.csv
  std::string user_dir;             // folder the program creates for the user; empty: none
  FileEnvironment files;            // where default band files are found and written
};

// The one rule for all of the above.
ProgramFolders DecideFolders(const PathInputs& in);

// Makes the user folder (and the INI file's folder) when the rule chose them; false when that
// failed. Nothing is made in working-folder mode.
bool MakeUserFolders(const ProgramFolders& folders);

}  // namespace ql40::shell
