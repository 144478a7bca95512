#pragma once

// What the desktop program holds for as long as it runs: the one document, the settings read
// from the INI file, and where files and ports are. One instance is made at start-up and passed
// by reference to every window and dialog; tests make their own.

#include <array>
#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "codeplug/files.h"
#include "link/serial_port.h"

namespace ql40::shell {

// The sixteen column flags of View > Item, in menu order; Clock Shift starts hidden.
constexpr std::array<int, 16> kDefaultColumnVisibility = {1, 1, 1, 1, 1, 1, 1, 1,
                                                          1, 1, 1, 1, 1, 1, 0, 1};

struct AppContext {
  Codeplug doc;
  FileEnvironment files;
  bool maintenance = false;
  int com_port = 1;  // 1 to 4
  std::array<int, 16> column_visibility = kDefaultColumnVisibility;
  std::string printer_name;  // the remembered printer device name; empty when none
  link::PortNames port_names;
  // File > Configure: transfers send each frame whole (and fall back to byte by byte by
  // themselves when the radio cannot take it).
  bool fast_transfer = false;
  std::string backup_dir;  // every image read from a radio is also kept here; empty: none
  std::string ini_path;    // the INI file the settings came from; empty: none (tests)
  std::string help_dir;    // the HTML help pages; empty: help/ beside the program
  std::string log_dir;     // QL40.LOG and ql40-fleet.csv; empty: the working folder
  std::vector<std::string> recent_files;  // the INI file's recent-file list, newest first

  const std::string& LogFolder() const { return log_dir.empty() ? files.working_dir : log_dir; }

  bool ColumnVisible(int flag) const {
    return flag >= 0 && flag < 16 && column_visibility[static_cast<std::size_t>(flag)] != 0;
  }
};

}  // namespace ql40::shell
