#include "codeplug/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "resources/strings.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::ScriptedPrompter;
using testing::TempDir;
using testing::WriteAll;

Codeplug DefaultDoc() {
  Codeplug doc;
  doc.ResetToDefaults();
  return doc;
}

TEST(CodeplugFile, WriteThenReadGivesTheSameImageAndTrailer) {
  TempDir dir;
  Codeplug doc = DefaultDoc();
  doc.image[17600] = 0xA5;
  doc.default_split = -12.5;
  doc.modified = true;
  ScriptedPrompter prompter;
  ASSERT_TRUE(WriteImageFile(dir.File("a.q40"), doc, prompter));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(fs::file_size(dir.File("a.q40")), 17672u);
  const auto bytes = ReadAll(dir.File("a.q40"));
  // The trailer is a little-endian IEEE double: -12.5 is 0xC029000000000000.
  EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 8, bytes.end()),
            (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0x29, 0xC0}));

  Image image{};
  double trailer = 0.0;
  ASSERT_TRUE(ReadImageFile(dir.File("a.q40"), image, trailer, prompter));
  EXPECT_EQ(image, doc.image);
  EXPECT_EQ(trailer, -12.5);
  EXPECT_TRUE(prompter.messages().empty());
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(CodeplugFile, ShortAndMissingFilesLeaveTheImageAlone) {
  TempDir dir;
  ScriptedPrompter prompter;
  Image image{};
  image[5] = 0x42;
  double trailer = 3.0;

  EXPECT_FALSE(ReadImageFile(dir.File("missing.q40"), image, trailer, prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrProblemOpeningFileName);
  EXPECT_EQ(prompter.messages().back().Text(),
            "Problem opening file\r\nFile Name = " + dir.File("missing.q40"));
  EXPECT_FALSE(ReadImageFile("", image, trailer, prompter));

  WriteAll(dir.File("short.q40"), std::vector<unsigned char>(17663, 0xEE));
  EXPECT_FALSE(ReadImageFile(dir.File("short.q40"), image, trailer, prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrProblemReadingFile);
  EXPECT_EQ(image[0], 0);
  EXPECT_EQ(image[5], 0x42);

  // An image without its trailer is accepted; the trailer keeps its value.
  WriteAll(dir.File("bare.q40"), std::vector<unsigned char>(17664, 0x11));
  EXPECT_TRUE(ReadImageFile(dir.File("bare.q40"), image, trailer, prompter));
  EXPECT_EQ(image[5], 0x11);
  EXPECT_EQ(trailer, 3.0);

  // A damaged trailer cannot smuggle NaN or a huge split into the editor.
  std::vector<unsigned char> nan_file(17672, 0);
  for (int i = 17664; i < 17672; ++i) nan_file[static_cast<std::size_t>(i)] = 0xFF;
  WriteAll(dir.File("nan.q40"), nan_file);
  EXPECT_TRUE(ReadImageFile(dir.File("nan.q40"), image, trailer, prompter));
  EXPECT_EQ(trailer, 3.0);
  std::vector<unsigned char> huge(17672, 0);
  huge[17671] = 0x7F;  // about 8.9e307
  huge[17670] = 0xE0;
  WriteAll(dir.File("huge.q40"), huge);
  EXPECT_TRUE(ReadImageFile(dir.File("huge.q40"), image, trailer, prompter));
  EXPECT_EQ(trailer, 99.9);
}

TEST(CodeplugFile, OpenChecksRefuseWrongSizes) {
  TempDir dir;
  ScriptedPrompter prompter;
  for (std::size_t size : {17671u, 17673u, 17664u, 0u}) {
    WriteAll(dir.File("x.q40"), std::vector<unsigned char>(size, 0));
    EXPECT_FALSE(CheckOpenable(dir.File("x.q40"), prompter)) << size;
    EXPECT_EQ(prompter.ids().back(), res::kStrFileFormatInvalid) << size;
  }
  EXPECT_FALSE(CheckOpenable(dir.File("nothing.q40"), prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrProblemOpeningFileName);
  EXPECT_FALSE(CheckOpenable(dir.path().string(), prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrFileFormatInvalid);
  WriteAll(dir.File("ok.q40"), std::vector<unsigned char>(17672, 0));
  EXPECT_TRUE(CheckOpenable(dir.File("ok.q40"), prompter));
  if (!testing::RunningAsRoot()) {
    fs::permissions(dir.File("ok.q40"), fs::perms::none);
    EXPECT_FALSE(CheckOpenable(dir.File("ok.q40"), prompter));
    EXPECT_EQ(prompter.ids().back(), res::kStrProblemReadingFile);
  }
}

TEST(CodeplugFile, ReadOnlyFilesAreNeverOverwritten) {
  TempDir dir;
  ScriptedPrompter prompter;
  Codeplug doc = DefaultDoc();
  const std::string path = dir.File("ro.q40");
  WriteAll(path, std::vector<unsigned char>(17672, 0x33));
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(CheckWritable(path, prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrFileReadOnly);
  EXPECT_TRUE(CheckWritable(dir.File("new.q40"), prompter));
  // Even without the check, the write refuses rather than replacing the file.
  EXPECT_FALSE(WriteImageFile(path, doc, prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrProblemOpeningFile);
  EXPECT_EQ(ReadAll(path), std::vector<unsigned char>(17672, 0x33));
}

TEST(CodeplugFile, ASaveThatFailsHalfWayLeavesTheOldFileIntact) {
  TempDir dir;
  const std::string path = dir.File("customer.q40");
  const std::vector<unsigned char> old(17672, 0x5A);
  WriteAll(path, old);
  Codeplug doc = DefaultDoc();
  doc.modified = true;
  ScriptedPrompter prompter;

  // Let the disk "fill up" after 8 KiB.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 8192;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool ok = WriteImageFile(path, doc, prompter);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(ok);
  EXPECT_EQ(prompter.ids(), std::vector<int>{res::kStrProblemWritingFile});
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(WriteImageFile(dir.File("no/such/folder.q40"), doc, prompter));
  EXPECT_EQ(prompter.ids().back(), res::kStrProblemOpeningFile);
}

TEST(CodeplugFile, DefaultFileNamesAreMatchedExactly) {
  EXPECT_TRUE(IsDefaultFileName("defaultv.q40"));
  EXPECT_TRUE(IsDefaultFileName("/opt/ql40/defaultu.q40"));
  EXPECT_TRUE(IsDefaultFileName("C:\\QL40\\defaultl.q40"));
  EXPECT_FALSE(IsDefaultFileName("DEFAULTV.Q40"));
  EXPECT_FALSE(IsDefaultFileName("defaultv.q40.bak"));
  EXPECT_FALSE(IsDefaultFileName("mydefaultv.q40"));
}

TEST(LoadCodeplug, UsesTheFirstDefaultBandFileOrWritesOne) {
  TempDir program;
  TempDir work;
  ScriptedPrompter prompter;
  FileEnvironment env{program.path().string(), work.path().string()};

  // None anywhere: the built-in defaults, written as defaultv.q40 into the working folder.
  Codeplug doc;
  LoadCodeplug(doc, "<none>", env, prompter);
  EXPECT_EQ(doc.path, "<none>");
  EXPECT_FALSE(doc.file_loaded);
  ASSERT_TRUE(fs::exists(work.File("defaultv.q40")));
  Codeplug fresh = DefaultDoc();
  EXPECT_EQ(doc.image, fresh.image);

  // UHF and VHF Lo files present: UHF comes before VHF Lo.
  Codeplug uhf = DefaultDoc();
  uhf.ChangeBand(kBandUhf);
  uhf.CommitToImage();
  ASSERT_TRUE(WriteImageFile(program.File("defaultu.q40"), uhf, prompter));
  Codeplug lo = DefaultDoc();
  lo.ChangeBand(kBandVhfLo);
  lo.CommitToImage();
  ASSERT_TRUE(WriteImageFile(program.File("defaultl.q40"), lo, prompter));
  LoadCodeplug(doc, "<none>", env, prompter);
  EXPECT_EQ(doc.path, fs::absolute(program.File("defaultu.q40")).string());
  EXPECT_TRUE(doc.file_loaded);
  EXPECT_EQ(doc.hardware.band, kBandUhf);
  EXPECT_EQ(doc.default_split, 5.0);

  // A file with an identity shows it: the origin is known before the identity is decoded.
  uhf.image[17657] = 0x1D;
  uhf.image[0] = 0x42;
  uhf.image[1] = 0x01;
  ASSERT_TRUE(WriteImageFile(work.File("radio.q40"), uhf, prompter));
  LoadCodeplug(doc, work.File("radio.q40"), env, prompter);
  EXPECT_EQ(doc.identity.serial_number, "1O000000");
  EXPECT_EQ(doc.identity.firmware_version, 142);

  // A short file: message 34, built-in defaults, not marked as loaded.
  WriteAll(work.File("short.q40"), std::vector<unsigned char>(100, 1));
  LoadCodeplug(doc, work.File("short.q40"), env, prompter);
  EXPECT_EQ(prompter.ids().back(), res::kStrProblemReadingFile);
  EXPECT_FALSE(doc.file_loaded);
  EXPECT_EQ(doc.image, fresh.image);
}

TEST(SaveCodeplug, AsksBeforeOverwritingADefaultFileAndRefusesNoPath) {
  TempDir dir;
  Codeplug doc = DefaultDoc();
  ScriptedPrompter no({Answer::kNo});
  doc.path = dir.File("defaultv.q40");
  WriteAll(doc.path, std::vector<unsigned char>(17672, 7));
  EXPECT_FALSE(SaveCodeplug(doc, no));
  EXPECT_EQ(no.ids(), std::vector<int>{res::kStrWriteDefaultFile});
  EXPECT_EQ(no.messages()[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(ReadAll(doc.path), std::vector<unsigned char>(17672, 7));

  ScriptedPrompter yes({Answer::kYes});
  doc.modified = true;
  EXPECT_TRUE(SaveCodeplug(doc, yes));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(fs::file_size(doc.path), 17672u);

  ScriptedPrompter prompter;
  doc.path = "<none>";
  EXPECT_FALSE(SaveCodeplug(doc, prompter));
  EXPECT_EQ(prompter.messages().back().Text(), "Problem opening file\r\nFile Name = <none>");
}

}  // namespace
}  // namespace ql40
