#pragma once

// The start-up and exit rules of the desktop program: which INI keys hold what, their
// defaults and bounds, the maintenance switch, the window size and the window title.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "shell/app_context.h"
#include "shell/ini_file.h"

namespace ql40::shell {

inline constexpr const char* kIniFileName = "QL40Win.ini";
inline constexpr const char* kSectionInitialize = "Initialize";
inline constexpr const char* kSectionItem = "ITEM";
inline constexpr const char* kSectionRecentFiles = "Recent File List";
// The serial devices behind COM1..COM4 on systems without COM ports; a section of its own so
// that a Windows installation sharing the file never sees these keys.
inline constexpr const char* kSectionPorts = "PORTS";
// File > Configure's "send whole frames": 0 or 1.
inline constexpr const char* kKeyFastTransfer = "FAST_TRANSFER";
inline constexpr int kRecentFileCount = 4;
inline constexpr int kMinWindowWidth = 640;
inline constexpr int kMinWindowHeight = 540;

struct WindowSettings {
  int cx = kMinWindowWidth;
  int cy = kMinWindowHeight;
  bool maximized = false;
};

// The working folder followed by the INI file's name.
std::string IniPathIn(const std::string& working_dir);

// Reads COM port, column flags, ports, recent files and window settings into the context.
// A COM port outside 1 to 4 becomes 1.
void ReadSettings(const IniFile& ini, AppContext& app, WindowSettings& window);
// What start-up writes back at once: COM_PORT and the sixteen ITEM keys.
void WriteStartupKeys(IniFile& ini, const AppContext& app);
// The sixteen ITEM keys (after the Visible dialog).
void WriteColumnKeys(IniFile& ini, const AppContext& app);
// What exit writes: COM_PORT, CX, CY, MAXIMIZED, FAST_TRANSFER, the ITEM keys and the port
// devices.
void WriteExitKeys(IniFile& ini, const AppContext& app, const WindowSettings& window);

// True when the arguments (program name excluded) are exactly one of "/m", "/M", "-m", "-M".
bool IsMaintenanceSwitch(const std::vector<std::string>& args);
// The codeplug file named on the command line, or empty.
std::string FileArgument(const std::vector<std::string>& args);

// Width or height before the window is created: at most the screen's, at least the minimum
// (or the screen's, when the screen is smaller).
int ClampWindowExtent(int wanted, int minimum, int screen);
struct Size {
  int width = 0;
  int height = 0;
};
Size InitialWindowSize(const WindowSettings& window, Size screen);
Size MinimumWindowSize(Size screen);

// The program's title: with "(M)" in maintenance mode.
std::string AppTitle(bool maintenance);
// The main window's title: the document's path, then the program's title.
std::string WindowTitle(const std::string& path, bool maintenance);

// The clock pane's text: " %i:%02i".
std::string ClockText(int hour, int minute);

// The folder that keeps backups, beside the INI file.
std::string BackupDirFor(const std::string& ini_path);

}  // namespace ql40::shell
