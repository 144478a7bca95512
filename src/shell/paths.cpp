#include "shell/paths.h"

#include <cstdlib>
#include <filesystem>

#include "shell/startup.h"

// The build passes where the shipped data lies as seen from the installed executables
// (GNUInstallDirs: "../share/ql40win"); other builds assume that layout.
#ifndef QL40_DATA_FROM_BIN
#define QL40_DATA_FROM_BIN "../share/ql40win"
#endif

namespace ql40::shell {
namespace fs = std::filesystem;
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// XDG asks for relative values to be ignored.
bool Usable(const std::string& dir) {
  return !dir.empty() && fs::path(dir).is_absolute();
}

std::string Join(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

}  // namespace

PathInputs CurrentPathInputs(const std::string& program_dir, const std::string& working_dir) {
  PathInputs in;
  in.program_dir = program_dir;
  in.working_dir = working_dir;
  in.home = Env("HOME");
  in.xdg_config_home = Env("XDG_CONFIG_HOME");
  in.xdg_data_home = Env("XDG_DATA_HOME");
  in.app_data = Env("APPDATA");
  in.local_app_data = Env("LOCALAPPDATA");
  return in;
}

std::string InstalledDataDir(const std::string& program_dir) {
  if (program_dir.empty()) return {};
  std::error_code ec;
  const fs::path data = fs::path(program_dir) / QL40_DATA_FROM_BIN;
  // A build tree has its help pages beside the executable; only an installed tree has both.
  if (!fs::is_directory(data / "help", ec)) return {};
  const fs::path tidy = fs::weakly_canonical(data, ec);
  return (ec ? data.lexically_normal() : tidy).string();
}

std::string UserConfigDir(const PathInputs& in) {
#if defined(_WIN32)
  if (Usable(in.app_data)) return Join(in.app_data, "QL40Win");
#endif
  if (Usable(in.xdg_config_home)) return Join(in.xdg_config_home, kAppFolderName);
  if (Usable(in.home)) return (fs::path(in.home) / ".config" / kAppFolderName).string();
  return {};
}

std::string UserDataDir(const PathInputs& in) {
#if defined(_WIN32)
  if (Usable(in.local_app_data)) return Join(in.local_app_data, "QL40Win");
#endif
  if (Usable(in.xdg_data_home)) return Join(in.xdg_data_home, kAppFolderName);
  if (Usable(in.home)) return (fs::path(in.home) / ".local" / "share" / kAppFolderName).string();
  return {};
}

std::string UserConfigDir() {
  return UserConfigDir(CurrentPathInputs({}, {}));
}

std::string UserDataDir() {
  return UserDataDir(CurrentPathInputs({}, {}));
}

ProgramFolders DecideFolders(const PathInputs& in) {
  ProgramFolders out;
  const std::string working = in.working_dir.empty() ? std::string(".") : in.working_dir;
  const std::string installed = InstalledDataDir(in.program_dir);
  out.installed = !installed.empty();
  out.data_dir = out.installed ? installed : in.program_dir;
  out.help_dir = Join(out.data_dir, "help");
  out.files.program_dir = out.data_dir;
  out.files.working_dir = working;

  const std::string local_ini = IniPathIn(working);
  std::error_code ec;
  const std::string config = UserConfigDir(in);
  const std::string data = UserDataDir(in);
  out.working_folder_ini =
      !out.installed || fs::exists(local_ini, ec) || config.empty() || data.empty();
  if (out.working_folder_ini) {
    out.ini_path = local_ini;
    out.backup_dir = BackupDirFor(local_ini);
    out.log_dir = working;
    // An installed program never writes into its shipped folder: band files go to the
    // working folder, where they are found again.
    if (out.installed) out.files.user_dir = working;
    return out;
  }
  out.ini_path = Join(config, kIniFileName);
  out.user_dir = data;
  out.backup_dir = Join(data, "backups");
  out.log_dir = data;
  out.files.user_dir = data;
  return out;
}

bool MakeUserFolders(const ProgramFolders& folders) {
  if (folders.working_folder_ini) return true;
  std::error_code ec;
  bool ok = true;
  for (const fs::path& dir :
       {fs::path(folders.ini_path).parent_path(), fs::path(folders.user_dir)}) {
    if (dir.empty()) continue;
    fs::create_directories(dir, ec);
    ok = ok && fs::is_directory(dir, ec);
  }
  return ok;
}

}  // namespace ql40::shell
