#include "shell/recovery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include "channels/frequency_fit.h"
#include "channels/grid_edit.h"
#include "resources/labels.h"
#include "shell/recovery_strings.h"
#include "support/test_support.h"

namespace ql40::shell {
namespace {

using testing::ScriptedPrompter;
using testing::TempDir;
using namespace std::chrono_literals;

RecoveryData Sample() {
  RecoveryData data;
  data.saved_at = 1'800'000'000;
  data.path = "/home/dealer/car12.q40";
  data.title = "car12.q40";
  data.file_loaded = true;
  data.default_split = -4.6;
  for (int i = 0; i < kImageSize; ++i) data.image[i] = static_cast<std::uint8_t>(i * 7);
  return data;
}

TEST(RecoveryFile, ReadsBackWhatWasWrittenAndRefusesAnyDamage) {
  const RecoveryData data = Sample();
  const std::string bytes = EncodeRecovery(data);
  const auto back = DecodeRecovery(bytes);
  ASSERT_TRUE(back);
  EXPECT_TRUE(SameContent(*back, data));
  EXPECT_EQ(back->saved_at, data.saved_at);
  EXPECT_EQ(back->title, data.title);
  EXPECT_EQ(back->default_split, -4.6);

  // Cut short at every length: refused, never read past its end.
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    ASSERT_FALSE(DecodeRecovery(std::string_view(bytes).substr(0, n))) << n;
  }
  std::string why;
  EXPECT_FALSE(DecodeRecovery(bytes + '\0', &why));
  EXPECT_EQ(why, "cut short or too long");
  // A flipped bit anywhere: header, texts, image or checksum.
  for (std::size_t at : {std::size_t{0}, std::size_t{9}, std::size_t{20}, std::size_t{40},
                         bytes.size() / 2, bytes.size() - 5, bytes.size() - 1}) {
    std::string bad = bytes;
    bad[at] = static_cast<char>(bad[at] ^ 0x10);
    EXPECT_FALSE(DecodeRecovery(bad, &why)) << at;
    EXPECT_FALSE(why.empty());
  }
  EXPECT_FALSE(DecodeRecovery(std::string(17672, '\0'), &why));
  EXPECT_EQ(why, "not a recovery file");
}

TEST(RecoveryFile, NamesTellTheirOwner) {
  const RecoveryOwner owner{"ql40win-dealer-0123abcd", "work-pc.local", 4242};
  const std::string name = RecoveryFileName(owner);
  EXPECT_EQ(name, "ql40win-dealer-0123abcd-work_pc.local-4242.recovery");
  const auto back = OwnerOfRecoveryFile(name);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, (RecoveryOwner{"ql40win-dealer-0123abcd", "work_pc.local", 4242}));
  for (const char* other : {"car12.q40", "x.recovery", "a-b.recovery", "a-b-c.recovery.tmp",
                            "a-b-12x.recovery", "a--12.recovery"}) {
    EXPECT_FALSE(OwnerOfRecoveryFile(other)) << other;
  }
}

TEST(RecoverySchedule, QuietSpellLongestWaitAndOncePerSecond) {
  using Clock = AutosaveSchedule::Clock;
  const Clock::time_point t0{};
  AutosaveSchedule s({.quiet = 2000ms, .longest = 5000ms, .min_interval = 1000ms});
  EXPECT_FALSE(s.Due(t0 + 10s)) << "nothing changed";
  s.Changed(t0);
  EXPECT_FALSE(s.Due(t0 + 1999ms));
  EXPECT_TRUE(s.Due(t0 + 2000ms));
  // Steady editing, a change every second: written 5 s after the first change all the same.
  for (int i = 1; i <= 4; ++i) s.Changed(t0 + std::chrono::seconds(i));
  EXPECT_FALSE(s.Due(t0 + 4900ms));
  EXPECT_TRUE(s.Due(t0 + 5000ms));
  s.Written(t0 + 5000ms);
  EXPECT_FALSE(s.pending());
  // A change right after a write waits for the quiet spell, and never comes within a second.
  AutosaveSchedule fast({.quiet = 0ms, .longest = 0ms, .min_interval = 1000ms});
  fast.Changed(t0);
  fast.Written(t0);
  fast.Changed(t0 + 100ms);
  EXPECT_FALSE(fast.Due(t0 + 999ms));
  EXPECT_TRUE(fast.Due(t0 + 1000ms));
  fast.Clear();
  EXPECT_FALSE(fast.Due(t0 + 10s));
}

TEST(RecoveryStore, WritesOffTheCallersThreadNewestFirst) {
  TempDir dir;
  const fs::path file = dir.path() / "data" / "recovery" / "me-host-1.recovery";
  {
    RecoveryStore store(file);
    RecoveryData data = Sample();
    for (int i = 0; i < 20; ++i) {
      data.image[0] = static_cast<std::uint8_t>(i);
      store.Write(data);
    }
    store.Flush();
    const auto back = DecodeRecovery(testing::ReadText(file.string()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->image[0], 19) << "the newest request wins";
    EXPECT_GE(store.writes(), 1);
    EXPECT_EQ(store.last_error(), "");
#if !defined(_WIN32)
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(file.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
    store.Write(data);
    store.Remove();  // asked last: nothing stays
    store.Flush();
    EXPECT_FALSE(fs::exists(file));
    store.Write(data);
  }  // the destructor carries out what was asked
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}), 1)
      << "no temporary file is left";

  if (!testing::RunningAsRoot()) {
    fs::create_directories(dir.path() / "locked");
    fs::permissions(dir.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    RecoveryStore store(dir.path() / "locked" / "me-host-1.recovery");
    store.Write(Sample());
    store.Flush();
    EXPECT_NE(store.last_error(), "");
    EXPECT_EQ(store.writes(), 0);
  }
}

class RecoveryDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.ResetToDefaults();
    doc.CommitToImage();
    SilentPrompter quiet;
    file = dir.File("car12.q40");
    ASSERT_TRUE(WriteImageFile(file, doc.image, doc.default_split, quiet));
    LoadCodeplug(doc, file, {}, quiet);
  }
  // What the grid does: records changed, the image not yet committed.
  void EditInGrid() {
    const auto ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
    doc.channels.CommitCellText(0, 3, "DEPOT", ctx);
    CycleCell(doc, 0, 2);
    doc.modified = true;
  }

  TempDir dir;
  std::string file;
  Codeplug doc;
};

TEST_F(RecoveryDocument, CaptureIsWhatSaveWritesAndRestoreOpensIt) {
  EditInGrid();
  const Image before = doc.image;
  const RecoveryData data = CaptureRecovery(doc, 1'800'000'000);
  EXPECT_EQ(doc.image, before) << "the autosave never touches the document";
  EXPECT_EQ(data.title, "car12.q40");
  EXPECT_EQ(data.path, file);

  ScriptedPrompter prompter;
  ASSERT_TRUE(SaveCodeplug(doc, prompter));
  EXPECT_EQ(data.image, doc.image);

  Codeplug recovered;
  RestoreRecovery(data, recovered);
  EXPECT_TRUE(recovered.modified);
  EXPECT_TRUE(recovered.file_loaded);
  EXPECT_EQ(recovered.path, file);
  recovered.CommitToImage();
  EXPECT_EQ(recovered.image, doc.image);

  Codeplug read;
  read.ResetToDefaults();
  read.radio_origin = true;
  read.image[17657] = 0x1B;
  EXPECT_EQ(RecoveryTitle(read), "the codeplug read from radio " + DecodeSerialNumber(read.image));
}

TEST(RecoveryTime, ClockTimeTodayAndTheDateBefore) {
  const std::int64_t now = 1'800'000'000;
  const std::string today = RecoveryTimeText(now - 60, now);
  EXPECT_EQ(today.size(), 5u);
  EXPECT_EQ(today[2], ':');
  EXPECT_EQ(RecoveryTimeText(now - 3 * 86400, now).size(), 16u);
}

class LeftRecoveries : public RecoveryDocument {
 protected:
  fs::path Put(const RecoveryOwner& owner, const RecoveryData& data) {
    const fs::path path = folder / RecoveryFileName(owner);
    fs::create_directories(folder);
    testing::WriteAll(path.string(), ToVector(EncodeRecovery(data)));
    return path;
  }
  static std::vector<unsigned char> ToVector(const std::string& s) { return {s.begin(), s.end()}; }
  std::vector<LeftRecovery> Find() {
    return FindLeftRecoveries(folder, self,
                              [this](const RecoveryOwner& o) { return running.count(o.pid) != 0; });
  }
  RecoveryData Edited(std::int64_t when) {
    EditInGrid();
    return CaptureRecovery(doc, when);
  }

  fs::path folder = dir.path() / "recovery";
  RecoveryOwner self{"ql40win-dealer-abc", "pc", 100};
  std::set<std::int64_t> running{200};
};

TEST_F(LeftRecoveries, OnlyFilesOfRunsThatEndedAreFound) {
  // Saved just before the run ended: the copy holds what the file holds.
  const RecoveryData unchanged = CaptureRecovery(doc, 1'800'000'050);
  const RecoveryData changed = Edited(1'800'000'100);
  const fs::path dead = Put({self.key, "pc", 300}, changed);
  Put({self.key, "pc", 200}, changed);       // still running
  Put({self.key, "laptop", 301}, changed);   // another machine: cannot be asked
  const fs::path mine = Put(self, changed);  // an earlier run with this run's number
  const fs::path same = Put({"ql40win-other-build", "pc", 302}, unchanged);
  const fs::path cut = Put({self.key, "pc", 303}, changed);
  fs::resize_file(cut, 100);
  testing::WriteAll((folder / "readme.txt").string(), {1});

  const auto left = Find();
  std::map<fs::path, LeftRecoveryKind> kinds;
  for (const auto& l : left) kinds[l.file] = l.kind;
  EXPECT_EQ(kinds, (std::map<fs::path, LeftRecoveryKind>{{dead, LeftRecoveryKind::kOffer},
                                                         {mine, LeftRecoveryKind::kOffer},
                                                         {same, LeftRecoveryKind::kUnchanged},
                                                         {cut, LeftRecoveryKind::kDamaged}}));
  EXPECT_EQ(left.front().file, cut) << "oldest first; the damaged one has no time";
}

TEST_F(LeftRecoveries, YesOpensNoKeepsDamagedMovesAside) {
  const RecoveryData first = Edited(1'800'000'100);
  RecoveryData second = first;
  second.saved_at = 1'800'000'200;
  second.image[2000] ^= 0xFF;
  const fs::path a = Put({self.key, "pc", 300}, first);
  const fs::path b = Put({self.key, "pc", 301}, second);
  const fs::path cut = Put({self.key, "pc", 302}, first);
  fs::resize_file(cut, 17000);
  const RecoveryPlaces places{folder / RecoveryFileName(self), dir.path() / "backups"};

  {  // Yes to the first; the second replaces it only after the save question, refused here.
    Codeplug target;
    target.ResetToDefaults();
    ScriptedPrompter prompter({Answer::kOk, Answer::kYes, Answer::kYes});
    int asked = 0;
    const OfferReport report = OfferRecoveries(
        Find(), target, places, prompter, [&] { return ++asked, false; }, 1'800'000'300);
    EXPECT_TRUE(report.opened);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(prompter.ids(),
              (std::vector<int>{kStrRecoveryDamaged, kStrRecoverOffer, kStrRecoverOffer}));
    EXPECT_EQ(prompter.messages()[1].args[0], "car12.q40");
    EXPECT_TRUE(target.modified);
    EXPECT_EQ(target.path, file);
    EXPECT_EQ(target.image, first.image);
    // The accepted one is now this run's own file; the refused one a codeplug in backups.
    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(DecodeRecovery(testing::ReadText(places.own_file.string())));
    EXPECT_FALSE(fs::exists(b));
    ASSERT_EQ(report.kept.size(), 1u);
    EXPECT_NE(report.kept[0].find("-car12-unsaved.q40"), std::string::npos);
    const auto kept = testing::ReadAll(report.kept[0]);
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(kFileSize));
    EXPECT_TRUE(std::equal(second.image.begin(), second.image.end(), kept.begin()));
    // The damaged file is in backups, named in the message, and never opened.
    ASSERT_EQ(report.moved.size(), 1u);
    EXPECT_EQ(fs::path(report.moved[0]).parent_path(), places.backup_dir);
    EXPECT_EQ(prompter.messages()[0].args[0], report.moved[0]);
  }
  {  // No, with a backups folder that cannot be made: the recovery stays for the next start.
    const fs::path c = Put({self.key, "pc", 304}, second);
    testing::WriteAll((dir.path() / "blocked").string(), {1});
    Codeplug target;
    ScriptedPrompter prompter({Answer::kNo});
    std::vector<LeftRecovery> left = Find();
    std::erase_if(left, [&](const LeftRecovery& l) { return l.file != c; });
    ASSERT_EQ(left.size(), 1u);
    const OfferReport report =
        OfferRecoveries(left, target, {places.own_file, dir.path() / "blocked" / "backups"},
                        prompter, nullptr, 1'800'000'300);
    EXPECT_FALSE(report.opened);
    EXPECT_TRUE(report.kept.empty());
    EXPECT_EQ(prompter.ids(), (std::vector<int>{kStrRecoverOffer, kStrRecoveryNotKept}));
    EXPECT_TRUE(fs::exists(c));
  }
}

}  // namespace
}  // namespace ql40::shell
