#include "shell/ini_file.h"

#include <gtest/gtest.h>

#include "shell/startup.h"
#include "support/test_support.h"

namespace ql40::shell {
namespace {

using testing::TempDir;

TEST(IniFile, KeepsCommentsForeignSectionsAndBackslashes) {
  IniFile ini;
  ini.Parse(
      "; written by hand\r\n"
      "[Recent File List]\r\n"
      "File1=C:\\Radios\\fleet\\car 12.q40\r\n"
      "\r\n"
      "[initialize]\r\n"
      "com_port = 3\r\n"
      "Other=keep me\r\n"
      "[Foreign]\r\n"
      "x=1\r\n");
  EXPECT_EQ(ini.Get("RECENT FILE LIST", "file1"), "C:\\Radios\\fleet\\car 12.q40");
  EXPECT_EQ(ini.GetInt("Initialize", "COM_PORT", 1), 3);

  ini.SetInt("Initialize", "COM_PORT", 2);  // changed in place, spelling kept
  ini.SetInt("Initialize", "CX", 800);      // added at the end of its section
  ini.SetInt("ITEM", "ITEM0", 1);           // new section at the end
  EXPECT_EQ(ini.Text(),
            "; written by hand\r\n"
            "[Recent File List]\r\n"
            "File1=C:\\Radios\\fleet\\car 12.q40\r\n"
            "\r\n"
            "[initialize]\r\n"
            "com_port =2\r\n"
            "Other=keep me\r\n"
            "CX=800\r\n"
            "[Foreign]\r\n"
            "x=1\r\n"
            "\r\n"
            "[ITEM]\r\n"
            "ITEM0=1\r\n");
}

TEST(IniFile, NumbersReadLikeTheProfileFunctions) {
  IniFile ini;
  ini.Parse("[S]\nA=12abc\nB=abc\nC=-4\nD=\nE=\"7\"\nF=99999999999\n");
  const std::pair<const char*, int> numbers[] = {
      {"A", 12}, {"B", 0}, {"C", -4}, {"D", 0}, {"E", 7}, {"F", 0x7FFFFFFF}, {"missing", 5}};
  for (const auto& [key, value] : numbers) EXPECT_EQ(ini.GetInt("S", key, 5), value) << key;
  // A key in another section is not this section's.
  EXPECT_EQ(ini.GetInt("T", "A", 5), 5);
  // Unix line ends stay Unix line ends.
  ini.Set("S", "G", "1");
  EXPECT_NE(ini.Text().find("F=99999999999\nG=1\n"), std::string::npos);
}

TEST(IniFile, SaveReplacesTheFileAndMissingFileIsEmpty) {
  TempDir dir;
  IniFile ini;
  EXPECT_FALSE(ini.Load(dir.File("none.ini")));
  EXPECT_EQ(ini.GetInt("Initialize", "COM_PORT", 1), 1);
  ini.SetInt("Initialize", "COM_PORT", 4);
  ASSERT_TRUE(ini.Save(dir.File("a.ini")));
  IniFile back;
  ASSERT_TRUE(back.Load(dir.File("a.ini")));
  EXPECT_EQ(back.GetInt("Initialize", "COM_PORT", 1), 4);
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.ini.tmp")));
  // A folder that does not exist cannot take the file; nothing is left behind.
  EXPECT_FALSE(ini.Save(dir.File("no/such/folder/a.ini")));
}

TEST(StartupSettings, BadComPortsMissingKeysAndWriteBack) {
  for (const char* com : {"0", "7", "x", "-1"}) {
    IniFile ini;
    ini.Parse(std::string("[Initialize]\r\nCOM_PORT=") + com + "\r\n");
    AppContext app;
    WindowSettings window;
    ReadSettings(ini, app, window);
    EXPECT_EQ(app.com_port, 1) << com;
    WriteStartupKeys(ini, app);
    EXPECT_EQ(ini.Get("Initialize", "COM_PORT"), "1") << com;
  }
  IniFile ini;
  ini.Parse("[ITEM]\r\nITEM3=0\r\n[PORTS]\r\nCOM2=/dev/ttyUSB0\r\n");
  AppContext app;
  WindowSettings window;
  ReadSettings(ini, app, window);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(app.ColumnVisible(i), i != 3 && i != 14) << i;
  EXPECT_EQ(app.port_names.DeviceOf(2), "/dev/ttyUSB0");
  EXPECT_EQ(window.cx, 640);
  EXPECT_EQ(window.cy, 540);
  EXPECT_FALSE(app.fast_transfer);  // whole frames only once chosen
  {
    IniFile fast;
    fast.Parse("[Initialize]\r\nFAST_TRANSFER=1\r\n");
    AppContext chosen;
    ReadSettings(fast, chosen, window);
    EXPECT_TRUE(chosen.fast_transfer);
  }
  WriteStartupKeys(ini, app);
  for (int i = 0; i < 16; ++i) {
    EXPECT_TRUE(ini.Get("ITEM", "ITEM" + std::to_string(i)).has_value()) << i;
  }
  window = {1024, 700, true};
  WriteExitKeys(ini, app, window);
  EXPECT_EQ(ini.GetInt("Initialize", "CX", 0), 1024);
  EXPECT_EQ(ini.GetInt("Initialize", "MAXIMIZED", 0), 1);
#if defined(_WIN32)
  EXPECT_FALSE(ini.Get("PORTS", "COM1").has_value()) << "a COM name is its own device on Windows";
#else
  EXPECT_EQ(ini.Get("PORTS", "COM1"), app.port_names.DeviceOf(1));
#endif
}

TEST(StartupSettings, MaintenanceSwitchStandsAlone) {
  for (const char* s : {"-M", "-m", "/M", "/m"}) EXPECT_TRUE(IsMaintenanceSwitch({s})) << s;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {" -M"}, {"-M", "x.q40"}, {"x.q40", "-M"}, {"-maintenance"}}) {
    EXPECT_FALSE(IsMaintenanceSwitch(args)) << args.size();
  }
  EXPECT_EQ(FileArgument({"-M"}), "");
  EXPECT_EQ(FileArgument({"-M", "x.q40"}), "-M");
  EXPECT_EQ(FileArgument({"a.q40"}), "a.q40");
}

TEST(StartupSettings, WindowSizeRules) {
  const Size large{1920, 1080}, tiny{600, 400};
  auto size = [](int cx, int cy, Size screen) {
    const Size s = InitialWindowSize({cx, cy, false}, screen);
    return std::pair{s.width, s.height};
  };
  EXPECT_EQ(size(100, 100, large), std::pair(640, 540));
  EXPECT_EQ(size(5000, 4000, large), std::pair(1920, 1080));
  EXPECT_EQ(size(800, 600, large), std::pair(800, 600));
  EXPECT_EQ(size(100, 100, tiny), std::pair(600, 400));
  EXPECT_EQ(MinimumWindowSize(tiny).width, 600);
  EXPECT_EQ(MinimumWindowSize(large).height, 540);
}

// The titles are checked on the real window (shell_main_window_test, shell_smoke_test).
TEST(StartupSettings, Clock) {
  EXPECT_EQ(ClockText(9, 5), " 9:05");
  EXPECT_EQ(ClockText(23, 59), " 23:59");
  EXPECT_EQ(ClockText(0, 0), " 0:00");
}

}  // namespace
}  // namespace ql40::shell
