#include "shell/document.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "resources/labels.h"
#include "resources/strings.h"
#include "support/test_support.h"

namespace ql40::shell {
namespace {

using testing::ScriptedPrompter;
using testing::TempDir;

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.program_dir = dir.File("prog");
    env.working_dir = dir.File("work");
    std::filesystem::create_directories(env.program_dir);
    std::filesystem::create_directories(env.working_dir);
    doc.ResetToDefaults();
  }
  // A valid codeplug file whose byte 200 says where it came from.
  std::string MakeFile(const std::string& name, std::uint8_t mark) {
    Codeplug source;
    source.ResetToDefaults();
    source.CommitToImage();
    source.image[200] = mark;
    SilentPrompter quiet;
    const std::string path = dir.File(name);
    EXPECT_TRUE(WriteImageFile(path, source.image, 0.0, quiet));
    return path;
  }
  static ChoosePath Choose(std::optional<std::string> path) {
    return [path] { return path; };
  }

  TempDir dir;
  FileEnvironment env;
  Codeplug doc;
};

TEST_F(DocumentTest, DamagedFileLeavesNoPathSoSaveCannotOverwriteIt) {
  const std::string path = MakeFile("short.q40", 1);
  std::filesystem::resize_file(path, 1000);
  ScriptedPrompter prompter;
  EXPECT_FALSE(LoadDocument(doc, path, env, prompter));
  EXPECT_TRUE(prompter.Saw(res::kStrProblemReadingFile));
  EXPECT_EQ(doc.path, res::kNoPath);
  EXPECT_FALSE(SaveCommand(doc, prompter));
  EXPECT_EQ(prompter.messages().back().string_id, res::kStrProblemOpeningFileName);
  EXPECT_EQ(prompter.messages().back().args.front(), "<none>");
  EXPECT_EQ(std::filesystem::file_size(path), 1000u);
}

TEST_F(DocumentTest, OpenChecksTheFileBeforeTheSaveQuestion) {
  const std::string good = MakeFile("good.q40", 7);
  const std::string odd = MakeFile("odd.q40", 8);
  std::filesystem::resize_file(odd, kFileSize + 1);
  doc.modified = true;
  doc.path = "current.q40";
  {
    ScriptedPrompter prompter;
    EXPECT_FALSE(OpenCommand(doc, env, prompter, Choose(odd), Choose(std::nullopt)));
    EXPECT_EQ(prompter.ids(), std::vector<int>{res::kStrFileFormatInvalid});
    EXPECT_EQ(doc.path, "current.q40");
    EXPECT_TRUE(doc.modified);
  }
  {
    ScriptedPrompter prompter;
    EXPECT_FALSE(OpenCommand(doc, env, prompter, Choose(std::nullopt), Choose(std::nullopt)));
    EXPECT_TRUE(prompter.messages().empty());
  }
  {  // Cancel at the save question: nothing opened.
    ScriptedPrompter prompter({Answer::kCancel});
    EXPECT_FALSE(OpenCommand(doc, env, prompter, Choose(good), Choose(std::nullopt)));
    EXPECT_EQ(prompter.ids(), std::vector<int>{kStrSaveChanges});
    EXPECT_EQ(doc.path, "current.q40");
  }
  {  // Yes, but the Save As dialog is cancelled: nothing is lost, nothing opened.
    ScriptedPrompter prompter({Answer::kYes});
    EXPECT_FALSE(OpenCommand(doc, env, prompter, Choose(good), Choose(std::nullopt)));
    EXPECT_EQ(doc.path, "current.q40");
    EXPECT_TRUE(doc.modified);
  }
  {  // Yes and saved: then the file opens.
    ScriptedPrompter prompter({Answer::kYes});
    const std::string saved = dir.File("saved.q40");
    EXPECT_TRUE(OpenCommand(doc, env, prompter, Choose(good), Choose(saved)));
    EXPECT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(doc.path, good);
    EXPECT_EQ(doc.image[200], 7);
    EXPECT_FALSE(doc.modified);
  }
}

TEST_F(DocumentTest, SaveAsRefusedKeepsTheOldPath) {
  const std::string locked = MakeFile("locked.q40", 3);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read,
                               std::filesystem::perm_options::replace);
  doc.path = "mine.q40";
  ScriptedPrompter prompter;
  if (!testing::RunningAsRoot()) {
    EXPECT_FALSE(SaveAsCommand(doc, prompter, Choose(locked)));
    EXPECT_TRUE(prompter.Saw(res::kStrFileReadOnly));
    EXPECT_EQ(doc.path, "mine.q40");
    EXPECT_EQ(testing::ReadAll(locked)[200], 3);
  }
  // A default band file name asks first; No keeps the path and the file.
  ScriptedPrompter no({Answer::kNo});
  const std::string def = dir.File("defaultu.q40");
  EXPECT_FALSE(SaveAsCommand(doc, no, Choose(def)));
  EXPECT_TRUE(no.Saw(res::kStrWriteDefaultFile));
  EXPECT_FALSE(std::filesystem::exists(def));
  EXPECT_EQ(doc.path, "mine.q40");
  ScriptedPrompter yes({Answer::kYes});
  EXPECT_TRUE(SaveAsCommand(doc, yes, Choose(def)));
  EXPECT_EQ(doc.path, def);
  EXPECT_EQ(std::filesystem::file_size(def), static_cast<std::uintmax_t>(kFileSize));
}

TEST_F(DocumentTest, NewAsksOnlyWhenModifiedAndLoadsTheDefaultFile) {
  std::filesystem::copy_file(MakeFile("x.q40", 9), env.program_dir + "/defaultv.q40");
  ScriptedPrompter prompter;
  EXPECT_TRUE(NewCommand(doc, env, prompter, Choose(std::nullopt)));
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_EQ(doc.image[200], 9);
  EXPECT_TRUE(doc.file_loaded);
  EXPECT_EQ(std::filesystem::path(doc.path).filename(), "defaultv.q40");
  doc.modified = true;
  ScriptedPrompter no({Answer::kNo});
  EXPECT_TRUE(NewCommand(doc, env, no, Choose(std::nullopt)));
  EXPECT_EQ(no.ids(), std::vector<int>{kStrSaveChanges});
  EXPECT_FALSE(doc.modified);
}

}  // namespace
}  // namespace ql40::shell
