#include "shell/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/startup.h"
#include "support/test_support.h"

namespace ql40::shell {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A scratch machine: a build tree, an installed prefix, a home and a working folder.
class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* dir :
         {"build/bin/help", "usr/bin", "usr/share/ql40win/help", "home", "work"}) {
      fs::create_directories(root.path() / dir);
    }
    in.working_dir = root.File("work");
    in.home = root.File("home");
  }
  // Places compared as places: Windows joins with either separator.
  std::string At(const std::string& rel) const { return Place((root.path() / rel).string()); }
  static std::string Place(const std::string& p) {
    return fs::path(p).make_preferred().lexically_normal().string();
  }
  void PutIni() const { std::ofstream(root.path() / "work" / kIniFileName) << "[Initialize]\n"; }

  TempDir root;
  PathInputs in;
};

TEST_F(PathsTest, BuildTreeKeepsEverythingBesideTheProgramAndInTheWorkingFolder) {
  in.program_dir = At("build/bin");
  const ProgramFolders f = DecideFolders(in);
  EXPECT_FALSE(f.installed);
  EXPECT_TRUE(f.working_folder_ini);
  EXPECT_EQ(Place(f.help_dir), At("build/bin/help"));
  EXPECT_EQ(Place(f.files.program_dir), At("build/bin"));
  EXPECT_EQ(f.files.user_dir, "");  // band files looked up beside the program only
  EXPECT_EQ(Place(f.ini_path), At("work/QL40Win.ini"));
  EXPECT_EQ(Place(f.backup_dir), At("work/backups"));
  EXPECT_EQ(Place(f.log_dir), At("work"));
  EXPECT_TRUE(MakeUserFolders(f));
  EXPECT_FALSE(fs::exists(At("home/.config")));
}

TEST_F(PathsTest, InstalledProgramReadsTheShareFolderAndWritesTheUsersFolders) {
  in.program_dir = At("usr/bin");
  ProgramFolders f = DecideFolders(in);
  EXPECT_TRUE(f.installed);
  EXPECT_FALSE(f.working_folder_ini);
  EXPECT_EQ(Place(f.data_dir), At("usr/share/ql40win"));
  EXPECT_EQ(Place(f.help_dir), At("usr/share/ql40win/help"));
  EXPECT_EQ(Place(f.files.program_dir), At("usr/share/ql40win"));
  EXPECT_EQ(Place(f.ini_path), At("home/.config/ql40win/QL40Win.ini"));
  EXPECT_EQ(Place(f.backup_dir), At("home/.local/share/ql40win/backups"));
  EXPECT_EQ(Place(f.log_dir), At("home/.local/share/ql40win"));
  EXPECT_EQ(Place(f.files.user_dir), At("home/.local/share/ql40win"));
  EXPECT_EQ(Place(f.files.working_dir), At("work"));  // still the folder the user works in
  ASSERT_TRUE(MakeUserFolders(f));
  EXPECT_TRUE(fs::is_directory(At("home/.config/ql40win")));
  EXPECT_TRUE(fs::is_directory(At("home/.local/share/ql40win")));

  // The XDG variables move both folders; relative ones are ignored, as XDG asks.
  in.xdg_config_home = At("cfg");
  in.xdg_data_home = "relative/data";
  f = DecideFolders(in);
  EXPECT_EQ(Place(f.ini_path), At("cfg/ql40win/QL40Win.ini"));
  EXPECT_EQ(Place(f.log_dir), At("home/.local/share/ql40win"));
  EXPECT_EQ(Place(UserDataDir(in)), At("home/.local/share/ql40win"));
  EXPECT_EQ(Place(UserConfigDir(in)), At("cfg/ql40win"));
}

TEST_F(PathsTest, InstalledProgramKeepsAnIniInTheWorkingFolderOrWithoutAHome) {
  in.program_dir = At("usr/bin");
  PutIni();
  ProgramFolders f = DecideFolders(in);
  EXPECT_TRUE(f.installed);
  EXPECT_TRUE(f.working_folder_ini);
  EXPECT_EQ(Place(f.ini_path), At("work/QL40Win.ini"));
  EXPECT_EQ(Place(f.backup_dir), At("work/backups"));
  EXPECT_EQ(Place(f.log_dir), At("work"));
  // Band files the program writes go to the customer's folder, never the shipped one.
  EXPECT_EQ(Place(f.files.user_dir), At("work"));
  EXPECT_EQ(Place(f.help_dir), At("usr/share/ql40win/help"));

  // Nowhere to keep the user's files: the working folder, as a build tree does.
  fs::remove(At("work/QL40Win.ini"));
  in.home.clear();
  f = DecideFolders(in);
  EXPECT_TRUE(f.working_folder_ini);
  EXPECT_EQ(Place(f.ini_path), At("work/QL40Win.ini"));
}

TEST_F(PathsTest, InstalledDataDirNeedsTheShippedHelpFolder) {
  EXPECT_EQ(Place(InstalledDataDir(At("usr/bin"))), At("usr/share/ql40win"));
  EXPECT_EQ(InstalledDataDir(At("build/bin")), "");
  EXPECT_EQ(InstalledDataDir(""), "");
  fs::remove_all(At("usr/share/ql40win/help"));
  EXPECT_EQ(InstalledDataDir(At("usr/bin")), "");
}

}  // namespace
}  // namespace ql40::shell
