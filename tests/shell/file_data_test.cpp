#include "shell/file_data.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/backups.h"
#include "shell/recovery_strings.h"
#include "support/test_support.h"

namespace ql40::shell {
namespace {

TEST(FileData, LabelsHeadingsAndCells) {
  Image image{};
  image[0] = 0xAB;
  image[255] = 0x01;
  image[256] = 0xFE;
  image[kImageSize - 1] = 0x7F;
  FileDataModel model(image, false);
  for (const auto& [row, label] :
       {std::pair{1, "00000h"}, {16, "000f0h"}, {17, "1b400h"}, {1104, "1f7f0h"}, {1105, ""}}) {
    EXPECT_EQ(FileDataModel::RowLabel(row), label) << row;
  }
  EXPECT_EQ(FileDataModel::ColumnHeading(1), "00");
  EXPECT_EQ(FileDataModel::ColumnHeading(16), "0f");
  for (const auto& [row, column, text] :
       {std::tuple{1, 1, "ab"}, {16, 16, "01"}, {17, 1, "fe"}, {1104, 16, "7f"}, {0, 0, ""}}) {
    EXPECT_EQ(model.CellText(row, column), text) << row << "," << column;
  }
  EXPECT_EQ(FileDataModel::ByteOffset(0, 1), -1);
  EXPECT_EQ(FileDataModel::ByteOffset(1104, 16), kImageSize - 1);
}

TEST(FileData, EditingOnlyInMaintenanceMode) {
  Image image{};
  FileDataModel read_only(image, false);
  EXPECT_FALSE(read_only.Commit(1, 1, "ff"));
  EXPECT_EQ(read_only.image()[0], 0);
  EXPECT_FALSE(read_only.changed());

  FileDataModel model(image, true);
  EXPECT_TRUE(model.Commit(1, 1, "Ff"));
  EXPECT_EQ(model.image()[0], 0xFF);
  EXPECT_TRUE(model.Commit(1, 2, "a"));  // right-aligned: "0a"
  EXPECT_EQ(model.image()[1], 0x0A);
  EXPECT_TRUE(model.Commit(1, 3, "3 "));  // a blank counts as 0
  EXPECT_EQ(model.image()[2], 0x30);
  // Text that is not a byte keeps the byte.
  for (const char* bad : {"", "g1", "123", "-1", "0x"}) {
    EXPECT_FALSE(model.Commit(1, 1, bad)) << bad;
    EXPECT_EQ(model.image()[0], 0xFF) << bad;
  }
  EXPECT_FALSE(model.Commit(0, 1, "11"));
  EXPECT_FALSE(model.Commit(1, 0, "11"));
  EXPECT_TRUE(model.changed());
  // The original stays as it was until the caller takes the working copy.
  EXPECT_EQ(image[0], 0);
}

TEST(FileData, KeysThatOpenTheEditor) {
  for (char32_t c : {U'0', U'9', U'a', U'F'}) EXPECT_TRUE(FileDataModel::OpensEditor(c, false));
  for (char32_t c : {U'g', U' ', U'\b', U'x', U'\u00e9'}) {
    EXPECT_FALSE(FileDataModel::OpensEditor(c, false));
  }
  EXPECT_FALSE(FileDataModel::OpensEditor(U'a', true));
}

TEST(Backups, NamesAndCollisions) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 8;
  t.tm_hour = 3;
  t.tm_min = 4;
  t.tm_sec = 5;
  EXPECT_EQ(BackupFileName(t, "1K000042", BackupKind::kRead), "20261208-030405-1K000042-read.q40");
  EXPECT_EQ(BackupFileName(t, "a/b\\c:", BackupKind::kWrite), "20261208-030405-a_b_c_-write.q40");
  EXPECT_EQ(BackupFileName(t, "", BackupKind::kRead), "20261208-030405-unknown-read.q40");
  EXPECT_EQ(BackupFileName(t, "X1", BackupKind::kAlignWrite), "20261208-030405-X1-align-write.q40");
  EXPECT_EQ(BackupFileName(t, "X1", BackupKind::kReadHalfWritten),
            "20261208-030405-X1-read-half-written.q40");

  testing::TempDir dir;
  testing::ScriptedPrompter prompter;
  Image image{};
  image[5] = 0x55;
  const std::string folder = dir.File("backups");
  const std::time_t when = 1'800'000'000;
  auto backup = [&] {
    return WriteBackup(folder, image, 0.0, "X1", BackupKind::kRead, when, prompter);
  };
  const std::string first = backup(), second = backup();
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_NE(second.find("-read-2.q40"), std::string::npos);
  EXPECT_EQ(testing::ReadAll(first).size(), static_cast<std::size_t>(kFileSize));
  EXPECT_EQ(testing::ReadAll(first)[5], 0x55);
  EXPECT_TRUE(prompter.messages().empty());
}

// After an interrupted download the dealer needs the newest whole codeplug of that radio.
TEST(Backups, LastCompleteBackupOfARadio) {
  testing::TempDir dir;
  const std::string folder = dir.File("backups");
  std::filesystem::create_directories(folder);
  EXPECT_EQ(HalfWrittenNotice(folder, "1K000042").string_id, kStrRadioHalfWrittenNoBackup);
  for (const char* name : {
           "20261208-090000-1K000042-read.q40",
           "20261208-100000-1K000042-write.q40",
           "20261208-100000-1K000042-write-2.q40",  // a second download that second
           "20261208-100000-1K000042-read-3.q40",   // read in that second: the write wins
           "20261208-110000-1K000042-read-half-written.q40",
           "20261208-120000-1K000099-write.q40",  // another radio
           "20261208-130000-1K000042-write.q40.damaged",
           "notes.q40",
       }) {
    testing::WriteAll(dir.File(std::string("backups/") + name), {1});
  }
  // The same place, whichever separator the platform writes.
  const auto place = [&](const std::string& name) {
    return (std::filesystem::path(folder) / name).lexically_normal();
  };
  EXPECT_EQ(std::filesystem::path(LastCompleteBackup(folder, "1K000042")).lexically_normal(),
            place("20261208-100000-1K000042-write-2.q40"));
  testing::WriteAll(dir.File("backups/20261208-100500-1K000042-align-write.q40"), {1});
  const Message notice = HalfWrittenNotice(folder, "1K000042");
  EXPECT_EQ(notice.string_id, kStrRadioHalfWritten);
  ASSERT_EQ(notice.args.size(), 1u);
  EXPECT_EQ(std::filesystem::path(notice.args[0]).lexically_normal(),
            place("20261208-100500-1K000042-align-write.q40"));
  EXPECT_EQ(LastCompleteBackup(folder, "1K000077"), "");
  EXPECT_EQ(LastCompleteBackup(dir.File("missing"), "1K000042"), "");
}

}  // namespace
}  // namespace ql40::shell
