#include "codeplug/files.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>

#include "resources/strings.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using Bytes = std::vector<unsigned char>;

struct CodeplugFile : ::testing::Test {
  CodeplugFile() { doc.ResetToDefaults(); }
  // A file of that many bytes of one value; its path.
  std::string Write(const std::string& name, std::size_t size, unsigned char value = 0) {
    testing::WriteAll(dir.File(name), Bytes(size, value));
    return dir.File(name);
  }
  int Files() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir.path()), {}));
  }
  int LastId() const { return prompter.ids().back(); }

  testing::TempDir dir;
  testing::ScriptedPrompter prompter;
  Codeplug doc;
};

TEST_F(CodeplugFile, WriteThenReadGivesTheSameImageAndTrailer) {
  doc.image[17600] = 0xA5;
  doc.default_split = -12.5;
  doc.modified = true;
  ASSERT_TRUE(WriteImageFile(dir.File("a.q40"), doc, prompter));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(fs::file_size(dir.File("a.q40")), 17672u);
  Image image{};
  double trailer = 0.0;
  ASSERT_TRUE(ReadImageFile(dir.File("a.q40"), image, trailer, prompter));
  EXPECT_EQ(image, doc.image);
  EXPECT_EQ(trailer, -12.5);
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_EQ(Files(), 1) << "no temporary file is left behind";
}

TEST_F(CodeplugFile, ShortAndMissingFilesLeaveTheImageAlone) {
  Image image{};
  image[5] = 0x42;
  double trailer = 3.0;
  EXPECT_FALSE(ReadImageFile(dir.File("missing.q40"), image, trailer, prompter));
  EXPECT_EQ(prompter.messages().back().Text(),
            "Problem opening file\r\nFile Name = " + dir.File("missing.q40"));
  EXPECT_FALSE(ReadImageFile("", image, trailer, prompter));
  EXPECT_FALSE(ReadImageFile(Write("short.q40", 17663, 0xEE), image, trailer, prompter));
  EXPECT_EQ(LastId(), res::kStrProblemReadingFile);
  EXPECT_EQ(image[0], 0);
  EXPECT_EQ(image[5], 0x42);

  // An image without its trailer is accepted; the trailer keeps its value.
  EXPECT_TRUE(ReadImageFile(Write("bare.q40", 17664, 0x11), image, trailer, prompter));
  EXPECT_EQ(image[5], 0x11);
  EXPECT_EQ(trailer, 3.0);
  // A damaged trailer cannot smuggle NaN or a huge split into the editor.
  Bytes file(17664, 0);
  file.resize(17672, 0xFF);  // NaN
  testing::WriteAll(dir.File("nan.q40"), file);
  EXPECT_TRUE(ReadImageFile(dir.File("nan.q40"), image, trailer, prompter));
  EXPECT_EQ(trailer, 3.0);
  std::fill(file.begin() + 17664, file.end(), 0);
  file[17670] = 0xE0;  // about 8.9e307
  file[17671] = 0x7F;
  testing::WriteAll(dir.File("huge.q40"), file);
  EXPECT_TRUE(ReadImageFile(dir.File("huge.q40"), image, trailer, prompter));
  EXPECT_EQ(trailer, 99.9);
}

// The fuzzers' ReadImageBytes takes a file's bytes exactly as the file path does.
TEST_F(CodeplugFile, BytesInMemoryReadAsTheSameFileDoes) {
  for (std::size_t size : {0u, 17663u, 17664u, 17667u, 17672u, 17700u}) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    if (size >= 17672u) std::fill(bytes.begin() + 17664, bytes.begin() + 17672, 0);
    if (size >= 17672u) bytes[17671] = 0x40;  // a split of 2.0
    testing::WriteAll(dir.File("f.q40"), bytes);
    Image from_file{};
    from_file[9] = 0x99;
    Image from_memory = from_file;
    double file_split = 1.5;
    double memory_split = 1.5;
    const bool file_ok = ReadImageFile(dir.File("f.q40"), from_file, file_split, prompter);
    const int file_id = prompter.ids().empty() ? 0 : LastId();
    const bool memory_ok =
        ReadImageBytes(bytes, dir.File("f.q40"), from_memory, memory_split, prompter);
    EXPECT_EQ(file_ok, memory_ok) << size;
    EXPECT_EQ(from_file, from_memory) << size;
    EXPECT_EQ(file_split, memory_split) << size;
    if (!file_ok) {
      EXPECT_EQ(file_id, res::kStrProblemReadingFile) << size;
      EXPECT_EQ(prompter.messages().back().Text(),
                prompter.messages()[prompter.messages().size() - 2].Text())
          << "the same message naming the same file";
    }
  }
  EXPECT_FALSE(CheckOpenableSize(17671u, prompter));
  EXPECT_EQ(LastId(), res::kStrFileFormatInvalid);
  EXPECT_TRUE(CheckOpenableSize(17672u, prompter));
}

TEST_F(CodeplugFile, OpenChecksRefuseWrongSizes) {
  for (std::size_t size : {17671u, 17673u, 17664u, 0u}) {
    EXPECT_FALSE(CheckOpenable(Write("x.q40", size), prompter)) << size;
    EXPECT_EQ(LastId(), res::kStrFileFormatInvalid) << size;
  }
  EXPECT_FALSE(CheckOpenable(dir.File("nothing.q40"), prompter));
  EXPECT_EQ(LastId(), res::kStrProblemOpeningFileName);
  EXPECT_FALSE(CheckOpenable(dir.path().string(), prompter));
  EXPECT_EQ(LastId(), res::kStrFileFormatInvalid);
  EXPECT_TRUE(CheckOpenable(Write("ok.q40", 17672), prompter));
  if (!testing::RunningAsRoot()) {
    fs::permissions(dir.File("ok.q40"), fs::perms::none);
    EXPECT_FALSE(CheckOpenable(dir.File("ok.q40"), prompter));
    EXPECT_EQ(LastId(), res::kStrProblemReadingFile);
  }
}

TEST_F(CodeplugFile, ReadOnlyFilesAreNeverOverwritten) {
  const std::string path = Write("ro.q40", 17672, 0x33);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(CheckWritable(path, prompter));
  EXPECT_EQ(LastId(), res::kStrFileReadOnly);
  EXPECT_TRUE(CheckWritable(dir.File("new.q40"), prompter));
  // Even without the check, the write refuses rather than replacing the file.
  EXPECT_FALSE(WriteImageFile(path, doc, prompter));
  EXPECT_EQ(LastId(), res::kStrProblemOpeningFile);
  EXPECT_EQ(ReadAll(path), Bytes(17672, 0x33));
}

TEST_F(CodeplugFile, ASaveThatFailsHalfWayLeavesTheOldFileIntact) {
#if !defined(_WIN32)  // a file size limit stands in for a full disk
  const std::string path = Write("customer.q40", 17672, 0x5A);
  doc.modified = true;
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
  EXPECT_EQ(ReadAll(path), Bytes(17672, 0x5A));
  EXPECT_EQ(Files(), 1);
#endif
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(WriteImageFile(dir.File("no/such/folder.q40"), doc, prompter));
  EXPECT_EQ(LastId(), res::kStrProblemOpeningFile);
}

TEST(CodeplugFileName, DefaultFileNamesAreMatchedExactly) {
  for (const char* name : {"defaultv.q40", "/opt/ql40/defaultu.q40", "C:\\QL40\\defaultl.q40"}) {
    EXPECT_TRUE(IsDefaultFileName(name)) << name;
  }
  for (const char* name : {"DEFAULTV.Q40", "defaultv.q40.bak", "mydefaultv.q40"}) {
    EXPECT_FALSE(IsDefaultFileName(name)) << name;
  }
}

TEST_F(CodeplugFile, LoadUsesTheFirstDefaultBandFileOrWritesOne) {
  testing::TempDir program;
  const FileEnvironment env{program.path().string(), dir.path().string()};
  const Image fresh = doc.image;
  // None anywhere: the built-in defaults, written as defaultv.q40 into the working folder.
  Codeplug loaded;
  LoadCodeplug(loaded, "<none>", env, prompter);
  EXPECT_EQ(loaded.path, "<none>");
  EXPECT_FALSE(loaded.file_loaded);
  ASSERT_TRUE(fs::exists(dir.File("defaultv.q40")));
  EXPECT_EQ(loaded.image, fresh);

  // UHF and VHF Lo files present: UHF comes before VHF Lo.
  for (const auto& [band, name] :
       {std::pair{kBandVhfLo, "defaultl.q40"}, {kBandUhf, "defaultu.q40"}}) {
    doc.ChangeBand(band);
    doc.CommitToImage();
    ASSERT_TRUE(WriteImageFile(program.File(name), doc, prompter));
  }
  LoadCodeplug(loaded, "<none>", env, prompter);
  EXPECT_EQ(loaded.path, fs::absolute(program.File("defaultu.q40")).string());
  EXPECT_TRUE(loaded.file_loaded);
  EXPECT_EQ(loaded.hardware.band, kBandUhf);
  EXPECT_EQ(loaded.default_split, 5.0);

  // A file with an identity shows it: the origin is known before the identity is decoded.
  doc.image[17657] = 0x1D;
  doc.image[0] = 0x42;
  doc.image[1] = 0x01;
  ASSERT_TRUE(WriteImageFile(dir.File("radio.q40"), doc, prompter));
  LoadCodeplug(loaded, dir.File("radio.q40"), env, prompter);
  EXPECT_EQ(loaded.identity.serial_number, "1O000000");
  EXPECT_EQ(loaded.identity.firmware_version, 142);

  // A short file: the reading problem, built-in defaults, not marked as loaded.
  LoadCodeplug(loaded, Write("short.q40", 100, 1), env, prompter);
  EXPECT_EQ(LastId(), res::kStrProblemReadingFile);
  EXPECT_FALSE(loaded.file_loaded);
  EXPECT_EQ(loaded.image, fresh);
}

// Installed: shipped files read-only, the user's folder first and the only one written.
TEST_F(CodeplugFile, UserFolderComesFirstAndTakesEveryWrittenDefaultFile) {
  testing::TempDir shipped, user;
  const FileEnvironment env{shipped.path().string(), dir.path().string(), user.path().string()};
  // Nothing anywhere: written into the user's folder, not the working or shipped folder.
  Codeplug loaded;
  LoadCodeplug(loaded, "<none>", env, prompter);
  EXPECT_TRUE(fs::exists(user.File("defaultv.q40")));
  EXPECT_EQ(Files(), 0);
  EXPECT_TRUE(fs::is_empty(shipped.path()));

  // Band order decides (VHF first); for UHF the user's copy wins over the shipped one.
  fs::remove(user.File("defaultv.q40"));
  ASSERT_TRUE(WriteImageFile(shipped.File("defaultv.q40"), doc, prompter));
  doc.ChangeBand(kBandUhf);
  doc.CommitToImage();
  ASSERT_TRUE(WriteImageFile(shipped.File("defaultu.q40"), doc, prompter));
  doc.default_split = 7.5;
  ASSERT_TRUE(WriteImageFile(user.File("defaultu.q40"), doc, prompter));
  LoadCodeplug(loaded, "<none>", env, prompter);
  EXPECT_EQ(loaded.path, fs::absolute(shipped.File("defaultv.q40")).string());

  loaded.hardware.band = kBandUhf;
  ChangeBandFile(loaded, env, prompter);
  EXPECT_EQ(loaded.path, fs::absolute(user.File("defaultu.q40")).string());
  EXPECT_EQ(loaded.default_split, 7.5);

  // A band with no file in either folder: written into the user's folder.
  loaded.hardware.band = kBandVhfLo;
  ChangeBandFile(loaded, env, prompter);
  EXPECT_EQ(loaded.path, "<none>");
  EXPECT_TRUE(fs::exists(user.File("defaultl.q40")));
  EXPECT_FALSE(fs::exists(shipped.File("defaultl.q40")));
  EXPECT_EQ(Files(), 0);
}

TEST_F(CodeplugFile, SaveAsksBeforeOverwritingADefaultFileAndRefusesNoPath) {
  doc.path = Write("defaultv.q40", 17672, 7);
  testing::ScriptedPrompter no({Answer::kNo}), yes({Answer::kYes});
  EXPECT_FALSE(SaveCodeplug(doc, no));
  EXPECT_EQ(no.ids(), std::vector<int>{res::kStrWriteDefaultFile});
  EXPECT_EQ(no.messages()[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(ReadAll(doc.path), Bytes(17672, 7));
  doc.modified = true;
  EXPECT_TRUE(SaveCodeplug(doc, yes));
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(fs::file_size(doc.path), 17672u);

  doc.path = "<none>";
  EXPECT_FALSE(SaveCodeplug(doc, prompter));
  EXPECT_EQ(prompter.messages().back().Text(), "Problem opening file\r\nFile Name = <none>");
}

}  // namespace
}  // namespace ql40
