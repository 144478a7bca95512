// An INI file of any content: parsed, read into the program's settings, written back, and
// the written text parsed again must give the same settings.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/app_context.h"
#include "shell/ini_file.h"
#include "shell/startup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40::shell;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  IniFile ini;
  ini.Parse(text);
  AppContext app;
  WindowSettings window;
  ReadSettings(ini, app, window);
  if (app.com_port < 1 || app.com_port > 4) std::abort();
  WriteExitKeys(ini, app, window);

  IniFile again;
  again.Parse(ini.Text());
  AppContext reread;
  WindowSettings reread_window;
  ReadSettings(again, reread, reread_window);
  if (reread.com_port != app.com_port || reread.column_visibility != app.column_visibility) {
    std::abort();
  }
  return 0;
}
