#include "shell/startup.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "resources/strings.h"

namespace ql40::shell {
namespace fs = std::filesystem;

std::string IniPathIn(const std::string& working_dir) {
  return (fs::path(working_dir.empty() ? "." : working_dir) / kIniFileName).string();
}

void ReadSettings(const IniFile& ini, AppContext& app, WindowSettings& window) {
  const int com = ini.GetInt(kSectionInitialize, "COM_PORT", 1);
  app.com_port = (com >= 1 && com <= 4) ? com : 1;
  for (int i = 0; i < 16; ++i) {
    app.column_visibility[static_cast<std::size_t>(i)] =
        ini.GetInt(kSectionItem, "ITEM" + std::to_string(i),
                   kDefaultColumnVisibility[static_cast<std::size_t>(i)]);
  }
  window.cx = ini.GetInt(kSectionInitialize, "CX", kMinWindowWidth);
  window.cy = ini.GetInt(kSectionInitialize, "CY", kMinWindowHeight);
  window.maximized = ini.GetInt(kSectionInitialize, "MAXIMIZED", 0) != 0;
  app.fast_transfer = ini.GetInt(kSectionInitialize, kKeyFastTransfer, 0) != 0;
  for (int n = 1; n <= 4; ++n) {
    const auto device = ini.Get(kSectionPorts, "COM" + std::to_string(n));
    if (device && !device->empty()) app.port_names.SetDevice(n, *device);
  }
  app.recent_files.clear();
  for (int n = 1; n <= kRecentFileCount; ++n) {
    const auto file = ini.Get(kSectionRecentFiles, "File" + std::to_string(n));
    if (file && !file->empty()) app.recent_files.push_back(*file);
  }
}

void WriteColumnKeys(IniFile& ini, const AppContext& app) {
  for (int i = 0; i < 16; ++i) {
    ini.SetInt(kSectionItem, "ITEM" + std::to_string(i),
               app.column_visibility[static_cast<std::size_t>(i)]);
  }
}

void WriteStartupKeys(IniFile& ini, const AppContext& app) {
  ini.SetInt(kSectionInitialize, "COM_PORT", app.com_port);
  WriteColumnKeys(ini, app);
}

void WriteExitKeys(IniFile& ini, const AppContext& app, const WindowSettings& window) {
  ini.SetInt(kSectionInitialize, "COM_PORT", app.com_port);
  ini.SetInt(kSectionInitialize, "CX", window.cx);
  ini.SetInt(kSectionInitialize, "CY", window.cy);
  ini.SetInt(kSectionInitialize, "MAXIMIZED", window.maximized ? 1 : 0);
  ini.SetInt(kSectionInitialize, kKeyFastTransfer, app.fast_transfer ? 1 : 0);
  WriteColumnKeys(ini, app);
#if !defined(_WIN32)
  for (int n = 1; n <= 4; ++n) {
    ini.Set(kSectionPorts, "COM" + std::to_string(n), app.port_names.DeviceOf(n));
  }
#endif
}

bool IsMaintenanceSwitch(const std::vector<std::string>& args) {
  if (args.size() != 1) return false;
  const std::string& a = args.front();
  return a == "/m" || a == "/M" || a == "-m" || a == "-M";
}

std::string FileArgument(const std::vector<std::string>& args) {
  if (args.empty() || IsMaintenanceSwitch(args)) return {};
  return args.front();
}

int ClampWindowExtent(int wanted, int minimum, int screen) {
  if (screen > 0 && wanted > screen) return screen;
  if (wanted < minimum) return screen > 0 ? std::min(minimum, screen) : minimum;
  return wanted;
}

Size InitialWindowSize(const WindowSettings& window, Size screen) {
  return {ClampWindowExtent(window.cx, kMinWindowWidth, screen.width),
          ClampWindowExtent(window.cy, kMinWindowHeight, screen.height)};
}

Size MinimumWindowSize(Size screen) {
  auto smaller = [](int minimum, int s) { return s > 0 ? std::min(minimum, s) : minimum; };
  return {smaller(kMinWindowWidth, screen.width), smaller(kMinWindowHeight, screen.height)};
}

std::string AppTitle(bool maintenance) {
  if (!maintenance) return res::FormatString(res::kStrMainTitle);
  const std::string templ = res::FormatString(res::kStrDocTemplate);
  return templ.substr(0, templ.find('\n'));
}

std::string WindowTitle(const std::string& path, bool maintenance) {
  return path + " - " + AppTitle(maintenance);
}

std::string ClockText(int hour, int minute) {
  char text[16];
  std::snprintf(text, sizeof text, " %i:%02i", hour, minute);
  return text;
}

std::string BackupDirFor(const std::string& ini_path) {
  fs::path folder = fs::path(ini_path).parent_path();
  if (folder.empty()) folder = ".";
  return (folder / "backups").string();
}

}  // namespace ql40::shell
