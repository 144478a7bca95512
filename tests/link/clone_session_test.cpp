#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <thread>

#include "link/frame.h"
#include "link_rig.h"

namespace ql40::link {
namespace {

using testing::LinkRig;
using testing::Options;
using testing::SameBytes;
using testing::WordOf;
namespace res = ql40::res;

std::string LogText(const LinkRig& rig) {
  return testing::ReadText(rig.dir.File(kProductLogName));
}

TEST(CloneUpload, ReadsTheRadioIntoTheDocument) {
  Image memory = sim::BuiltInRadioImage({});
  // Places no upload reads: words 98-125 and 127, block 136.
  for (int i = 196; i < 252; ++i) memory[i] = 0xCD;
  testing::SetWord(memory, 126, 0x1234);
  testing::SetWord(memory, 127, 0x4321);
  for (int i = 136 * 128; i < 137 * 128; ++i) memory[i] = 0xAB;
  LinkRig rig({}, memory);
  const Image before = rig.doc.image;

  const auto outcome = UploadCommand(rig.doc, [&rig](TransferKind kind) { return rig.Run(kind); });
  EXPECT_TRUE(outcome.succeeded);
  EXPECT_EQ(outcome.end, TransferEnd::kCompleted);
  EXPECT_TRUE(rig.doc.radio_origin);
  EXPECT_EQ(rig.doc.path, "<none>");
  EXPECT_EQ(rig.observer.completed, 1);
  EXPECT_EQ(rig.observer.titles, std::vector<int>{res::kStrUploadFunction});
  EXPECT_EQ(rig.observer.prompts, std::vector<int>{res::kStrPleaseWait}) << "no handshake needed";
  EXPECT_EQ(rig.observer.range, 235);
  EXPECT_EQ(rig.observer.last_position, 137 + 97);
  EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrUploadCompleted});
  EXPECT_FALSE(rig.link) << "the port is closed at the end";

  const Image& got = rig.doc.image;
  EXPECT_TRUE(SameBytes(got, memory, 0, 196));
  EXPECT_TRUE(SameBytes(got, before, 196, 56));
  EXPECT_EQ(WordOf(got, 126), 0x1234);
  EXPECT_EQ(WordOf(got, 127), WordOf(before, 127));
  const int last = testing::LastBlockOfImage(memory);
  EXPECT_TRUE(SameBytes(got, memory, 256, (last + 1) * 128 - 256));
  EXPECT_TRUE(SameBytes(got, before, (last + 1) * 128, (137 - last - 1) * 128));
  EXPECT_TRUE(SameBytes(got, memory, 137 * 128, 128));
  EXPECT_EQ(rig.radio->stats().block_reads[134], 0) << "block 136 is never read";
  EXPECT_EQ(LogText(rig), "Product Code = c014\n");
  EXPECT_EQ(rig.session->error_count(), 1);
}

TEST(CloneUpload, PowerCycleHandshake) {
  LinkRig rig(Options([](auto& o) { o.need_power_cycle = true; }));
  rig.configure = [](testing::WirePort& p) { p.power_on_after_empty_reads = 3; };
  EXPECT_TRUE(rig.Run(TransferKind::kUpload).succeeded);
  EXPECT_EQ(rig.observer.prompts,
            (std::vector<int>{res::kStrSwitchOffOnUpload, res::kStrPleaseWait}));
  EXPECT_EQ(rig.radio->stats().handshakes, 1);
  EXPECT_GE(rig.log.delayed_ms, kHandshakePauseMs);
  EXPECT_EQ(rig.session->error_count(), 2) << "the handshake marks the link as established";
  EXPECT_TRUE(SameBytes(rig.doc.image, rig.radio->memory(), 0, 196));
}

TEST(CloneUpload, EveryFailureLeavesTheDocumentAlone) {
  // No port, another product and another model declined are also the transfer dialog's tests.
  {  // The open's error is kept for the hint the command line and the fleet give.
    LinkRig rig;
    rig.refuse_open = true;
    EXPECT_FALSE(rig.Run(TransferKind::kUpload).succeeded);
    EXPECT_EQ(rig.session->open_error().kind, PortOpenError::Kind::kNotFound);
  }
  {
    LinkRig rig(Options([](auto& o) { o.product_code = 0x1234; }));
    EXPECT_EQ(rig.Run(TransferKind::kUpload).end, TransferEnd::kFailed);
    EXPECT_EQ(rig.observer.failed, 1);
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrProductCodeDetected});
    EXPECT_EQ(LogText(rig), "Product Code = 1234\n") << "logged before it is refused";
    testing::ExpectUntouched(rig);
  }
  {  // A caller that keeps no files takes the log lines itself.
    LinkRig rig(Options([](auto& o) { o.product_code = 0x1234; }));
    std::vector<std::string> lines;
    rig.product_log = [&lines](const std::string& line) { lines.push_back(line); };
    EXPECT_EQ(rig.Run(TransferKind::kUpload).end, TransferEnd::kFailed);
    EXPECT_EQ(lines, std::vector<std::string>{"Product Code = 1234\n"});
    EXPECT_FALSE(std::filesystem::exists(rig.dir.File(kProductLogName)));
  }
  // A radio that stops answering: in the word phase the limit is 10, in the block phase 20.
  for (const auto& [silent_after, limit] :
       {std::pair{120, kWordLimit}, std::pair{410, kBlockLimit}}) {
    LinkRig rig(Options([&](auto& o) { o.faults.silent_after_bytes = silent_after; }));
    const auto outcome = rig.Run(TransferKind::kUpload);
    EXPECT_EQ(outcome.end, TransferEnd::kCompleted);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrUploadError});
    EXPECT_EQ(rig.session->error_count(), limit + 1);
    testing::ExpectUntouched(rig);
  }
  {  // A device that went away: failed read calls still end the transfer.
    LinkRig rig;
    rig.configure = [](testing::WirePort& p) { p.fail_reads_from = 40; };
    EXPECT_EQ(rig.Run(TransferKind::kUpload).message_id, res::kStrUploadError);
  }
  {  // The 0x40 of the handshake gets no echo.
    LinkRig rig(Options([](auto& o) { o.need_power_cycle = true; }));
    rig.configure = [](testing::WirePort& p) {
      p.power_on_after_empty_reads = 2;
      p.fail_write_at = 5;  // after the four bytes of the first request
    };
    EXPECT_EQ(rig.Run(TransferKind::kUpload).end, TransferEnd::kCompleted);
    ASSERT_EQ(rig.prompter.messages().size(), 1u);
    EXPECT_EQ(rig.prompter.messages()[0].Text(), "Check that lead is connected to COM1");
  }
}

TEST(CloneUpload, NoisyLineCostsRetriesOnly) {
  for (const sim::Faults& faults :
       {sim::Faults{.drop_reply_byte_at = 500}, sim::Faults{.corrupt_reply_byte_at = 300},
        sim::Faults{.bad_checksum_at = 40}, sim::Faults{.line_error_at = 700}}) {
    LinkRig rig(Options([&](auto& o) { o.faults = faults; }));
    EXPECT_TRUE(rig.Run(TransferKind::kUpload).succeeded);
    EXPECT_EQ(rig.session->error_count(), 2) << "one retry";
    EXPECT_TRUE(SameBytes(rig.doc.image, rig.radio->memory(), 0, 196));
  }
}

TEST(CloneUpload, CancelAndWaitLimit) {
  {  // Cancel while waiting for the start byte: no message, no end notice, nothing changed.
    LinkRig rig(Options([](auto& o) { o.need_power_cycle = true; }));
    rig.configure = [&rig](testing::WirePort& p) {
      p.on_timeout = [&rig, &p] {
        if (p.timeouts() == 5) rig.cancel.Request();
      };
    };
    const auto outcome = rig.Run(TransferKind::kUpload);
    EXPECT_EQ(outcome.end, TransferEnd::kCancelled);
    EXPECT_EQ(outcome.Result(), DialogResult::kCancel);
    EXPECT_TRUE(rig.prompter.messages().empty());
    EXPECT_EQ(rig.observer.completed + rig.observer.failed, 0);
    testing::ExpectUntouched(rig);
  }
  {  // Mid-transfer.
    LinkRig rig;
    rig.observer.on_position = [&rig](int position) {
      if (position == 104) rig.cancel.Request();
    };
    EXPECT_EQ(rig.Run(TransferKind::kUpload).end, TransferEnd::kCancelled);
    testing::ExpectUntouched(rig);
    EXPECT_LT(rig.radio->stats().blocks_read, 10);
  }
  {  // A bounded wait for the start byte runs out like a cancel.
    LinkRig rig(Options([](auto& o) { o.need_power_cycle = true; }));
    rig.start_byte_wait = std::chrono::milliseconds(0);
    const auto outcome = rig.Run(TransferKind::kUpload);
    EXPECT_EQ(outcome.end, TransferEnd::kCancelled);
    EXPECT_TRUE(outcome.wait_expired);
  }
  {  // The wait runs on the port's clock: a line whose time-outs and pauses only move a clock
     // of its own (as the fuzzers' does) ends a wait of an hour without waiting an hour.
    class ClockedPort : public testing::ScriptPort {
     public:
      explicit ClockedPort(std::chrono::milliseconds* clock) : clock_(clock) {}
      std::chrono::steady_clock::time_point Now() const override {
        return std::chrono::steady_clock::time_point{} + *clock_;
      }
      void Delay(int milliseconds) override { *clock_ += std::chrono::milliseconds(milliseconds); }

     protected:
      bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) override {
        const bool ok = ScriptPort::ReadRaw(data, count, received);
        if (*received < count) *clock_ += ReadTimeout(count);
        return ok;
      }

     private:
      std::chrono::milliseconds* clock_;
    };
    std::chrono::milliseconds clock{0};
    Codeplug doc;
    doc.ResetToDefaults();
    testing::ScriptedPrompter prompter;
    CloneEnvironment env;
    env.open_port = [&clock](int, PortOpenError*) -> std::unique_ptr<SerialPort> {
      return std::make_unique<ClockedPort>(&clock);
    };
    env.prompter = &prompter;
    env.start_byte_wait = std::chrono::hours(1);
    std::unique_ptr<SerialPort> link;
    CloneSession session(doc, link, env);
    const auto outcome = session.Run(TransferKind::kUpload);
    EXPECT_EQ(outcome.end, TransferEnd::kCancelled);
    EXPECT_TRUE(outcome.wait_expired);
    EXPECT_GE(clock, std::chrono::hours(1));
    EXPECT_LT(clock, std::chrono::hours(1) + std::chrono::seconds(5));
  }
  {  // A request already pending: the port is not even opened.
    LinkRig rig;
    rig.cancel.Request();
    EXPECT_EQ(rig.Run(TransferKind::kUpload).end, TransferEnd::kCancelled);
    EXPECT_EQ(rig.log.opens, 0);
  }
}

TEST(CloneDownload, WritesTheDocumentIntoTheRadio) {
  for (const bool maintenance : {false, true}) {
    LinkRig rig;
    rig.maintenance = maintenance;
    const Image radio_before = rig.radio->memory();
    rig.doc.CommitToImage();
    const auto outcome = rig.Run(TransferKind::kDownload);
    ASSERT_TRUE(outcome.succeeded) << outcome.message_id;
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrDownloadCompleted});
    const auto& stats = rig.radio->stats();
    const Image& radio = rig.radio->memory();
    EXPECT_EQ(rig.radio->marker(), frame::kMarkerComplete);
    EXPECT_EQ(WordOf(radio, 126), 0);
    EXPECT_EQ(stats.block_writes[0], maintenance ? 1 : 0);
    EXPECT_EQ(stats.block_writes[1], 1);
    EXPECT_EQ(stats.block_writes[134], 0);
    EXPECT_EQ(stats.word_writes[1], 0) << "a matching adjustment sum is not written";
    EXPECT_TRUE(SameBytes(radio, radio_before, 0, 26)) << "adjustment data stay the radio's";
    EXPECT_TRUE(SameBytes(rig.doc.image, radio_before, 4, 22)) << "and come into the document";
    EXPECT_TRUE(SameBytes(radio, rig.doc.image, 26, 196 - 26));
    const int last = rig.doc.channels.LastBlock();
    EXPECT_TRUE(SameBytes(radio, rig.doc.image, 3 * 128, (last + 1 - 3) * 128));
    EXPECT_EQ(rig.observer.range, last + 84);
    EXPECT_FALSE(rig.link);
  }
}

TEST(CloneDownload, ConfigurationChecksAndFailures) {
  {  // Band differs: stop before anything is written.
    LinkRig rig(Options([](auto& o) { o.band = 2; }));
    const auto outcome = rig.Run(TransferKind::kDownload);
    EXPECT_EQ(outcome.end, TransferEnd::kCompleted);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrHardwareMismatch1});
    EXPECT_EQ(rig.radio->stats().words_written + rig.radio->stats().blocks_written, 0);
  }
  {  // Model differs, the user goes on: the PT-410 gets at most 16 channels a group, the
     // document keeps all of its own.
    LinkRig rig(Options([](auto& o) { o.model = 1; }));
    rig.prompter = testing::ScriptedPrompter({Answer::kOk});
    rig.doc.channels.count[0] = 40;
    rig.doc.channels.total = 40;
    rig.doc.CommitToImage();
    EXPECT_TRUE(rig.Run(TransferKind::kDownload).succeeded);
    EXPECT_EQ(rig.radio->memory()[30], 16);
    EXPECT_EQ(rig.doc.image[30], 40);
  }
  {  // The radio's adjustment sum is wrong: both passes mismatch, the sum is written.
    Image memory = sim::BuiltInRadioImage({});
    testing::SetWord(memory, 1, (sim::AdjustmentSum(memory) + 1) & 0xFFFF);
    LinkRig rig({}, memory);
    EXPECT_TRUE(rig.Run(TransferKind::kDownload).succeeded);
    EXPECT_EQ(rig.prompter.ids(),
              (std::vector<int>{res::kStrAdjustChecksumMismatch, res::kStrDownloadCompleted}));
    EXPECT_EQ(WordOf(rig.radio->memory(), 1), sim::AdjustmentSum(memory));
    EXPECT_EQ(WordOf(rig.doc.image, 1), sim::AdjustmentSum(memory));
  }
  {  // Silent in the middle of the blocks: the radio keeps its "being written" mark.
    LinkRig rig(Options([](auto& o) { o.faults.silent_after_bytes = 1000; }));
    EXPECT_FALSE(rig.Run(TransferKind::kDownload).succeeded);
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrDownloadError});
    EXPECT_EQ(rig.radio->marker(), frame::kMarkerWriting);
    EXPECT_EQ(rig.session->error_count(), kBlockLimit + 1);
  }
  {  // After the handshake every reply is garbled: the read of word 12 counts to 20.
    LinkRig rig(Options([](auto& o) {
      o.need_power_cycle = true;
      o.faults = {.bad_checksum_at = 1, .repeat = 1000};
    }));
    rig.configure = [](testing::WirePort& p) { p.power_on_after_empty_reads = 2; };
    EXPECT_FALSE(rig.Run(TransferKind::kDownload).succeeded);
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrUploadError});
    EXPECT_EQ(rig.session->error_count(), kBlockLimit + 1);
    EXPECT_EQ(rig.observer.prompts.front(), res::kStrSwitchOffOnDownload);
  }
  {
    LinkRig rig(Options([](auto& o) { o.product_code = 0x0001; }));
    EXPECT_EQ(rig.Run(TransferKind::kDownload).end, TransferEnd::kFailed);
    EXPECT_EQ(LogText(rig), "") << "download logs nothing";
  }
}

// The download marker tells a later upload whether the radio holds one whole codeplug.
TEST(CloneDownload, HalfWrittenRadioIsReportedByTheNextUpload) {
  auto upload_of = [](const Image& memory) {
    LinkRig rig({}, memory);
    const auto outcome = rig.Run(TransferKind::kUpload);
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(WordOf(rig.doc.image, frame::kMarkerWord), 0) << "the marker stays out of the image";
    return outcome.radio_half_written;
  };
  {  // Stopped while the blocks went out.
    LinkRig rig(Options([](auto& o) { o.faults.silent_after_bytes = 1500; }));
    const auto outcome = rig.Run(TransferKind::kDownload);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.writing_interrupted);
    EXPECT_GT(rig.radio->stats().blocks_written, 0);
    EXPECT_TRUE(upload_of(rig.radio->memory()));
  }
  {  // Stopped before anything was written, and a download that finished.
    LinkRig refused(Options([](auto& o) { o.band = 2; }));
    EXPECT_FALSE(refused.Run(TransferKind::kDownload).writing_interrupted);
    LinkRig done;
    done.doc.CommitToImage();
    const auto outcome = done.Run(TransferKind::kDownload);
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_FALSE(outcome.writing_interrupted);
    EXPECT_FALSE(upload_of(done.radio->memory()));
  }
  {  // Cancelled while writing: also half-written.
    LinkRig rig;
    rig.observer.on_position = [&rig](int position) {
      if (position > 90) rig.cancel.Request();
    };
    rig.doc.CommitToImage();
    const auto outcome = rig.Run(TransferKind::kDownload);
    EXPECT_EQ(outcome.end, TransferEnd::kCancelled);
    EXPECT_TRUE(outcome.writing_interrupted);
    EXPECT_EQ(rig.radio->marker(), frame::kMarkerWriting);
  }
}

#if !defined(_WIN32)  // the simulated radio serves a pseudo-terminal
std::unique_ptr<sim::PtyRadio> StartRadio(const sim::RadioOptions& options, const Image& memory) {
  std::string error;
  auto radio = sim::PtyRadio::Start(options, memory, &error);
  EXPECT_TRUE(radio) << error;
  return radio;
}

// The radio's image decoded and encoded once, optionally with all 512 channels allocated.
Image Canonical(const sim::RadioOptions& options, bool full) {
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  doc->image = sim::BuiltInRadioImage(options);  // the radio's own alignment tables
  doc->radio_origin = true;
  doc->RefreshFromImage();
  if (full) {
    doc->channels.count.fill(0);
    doc->channels.count[0] = doc->channels.count[1] = 255;
    doc->channels.count[2] = 2;
    doc->channels.total = 512;
    for (int n = 0; n < kChannelCount; ++n) {
      doc->channels.records[n].rx_frequency = doc->channels.records[n].tx_frequency =
          14400000 + 2500 * n;
    }
    doc->CommitToImage();
    sim::ApplyIdentity(options, doc->image);
    doc->RefreshFromImage();
  }
  doc->CommitToImage();
  return doc->image;
}

TEST(TransferOverPty, UploadThenDownloadGivesBackTheSameBytes) {
  struct Case {
    const char* name;
    sim::RadioOptions options;
    bool full = false;
  };
  const Case cases[] = {{"default", {}},
                        {"full", {}, true},
                        {"PT-410", testing::Options([](auto& o) { o.model = 1; })},
                        {"UHF", testing::Options([](auto& o) { o.band = 2; })}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const std::string file = dir.File("radio.q40");
    const Image source = Canonical(c.options, c.full);
    auto radio_a = StartRadio(c.options, source);
    ASSERT_TRUE(radio_a);
    const auto up =
        testing::RunQl40(dir, "upload --port " + radio_a->device_path() + " -o " + file);
    ASSERT_EQ(up.status, 0) << up.err;
    EXPECT_NE(up.err.find("Upload is completed"), std::string::npos) << up.err;
    const auto bytes = testing::ReadAll(file);
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kFileSize));
    Image got{};
    std::copy(bytes.begin(), bytes.begin() + kImageSize, got.begin());
    const int last = testing::LastBlockOfImage(source);
    EXPECT_EQ(last == 135, c.full);
    EXPECT_TRUE(SameBytes(got, source, 0, 196));
    EXPECT_TRUE(SameBytes(got, source, 256, (last + 1) * 128 - 256));
    EXPECT_TRUE(SameBytes(got, source, 137 * 128, 128));

    // Into a fresh radio of the same kind.
    auto radio_b = StartRadio(c.options, sim::BuiltInRadioImage(c.options));
    ASSERT_TRUE(radio_b);
    const auto down =
        testing::RunQl40(dir, "download --port " + radio_b->device_path() + " " + file);
    ASSERT_EQ(down.status, 0) << down.err;
    const Image written = radio_b->memory();
    EXPECT_TRUE(SameBytes(written, source, 26, 196 - 26));
    EXPECT_TRUE(SameBytes(written, source, 3 * 128, (last + 1 - 3) * 128));
    EXPECT_EQ(radio_b->marker(), frame::kMarkerComplete);
    EXPECT_EQ(radio_b->stats().block_writes[0], 0) << "block 0 only in maintenance mode";
  }
}

TEST(TransferCli, MaintenanceDownloadWantsTheAccessCode) {
  testing::TempDir dir;
  const std::string file = dir.File("radio.q40");
  auto radio = StartRadio({}, sim::BuiltInRadioImage({}));
  ASSERT_TRUE(radio);
  const std::string port = " --port " + radio->device_path();
  ASSERT_EQ(testing::RunQl40(dir, "new -o " + file).status, 0);
  const auto wrong =
      testing::RunQl40(dir, "download" + port + " " + file + " --maintenance", "tsuki\n");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("access code"), std::string::npos) << wrong.err;
  EXPECT_EQ(radio->stats().words_written, 0);

  const auto down = testing::RunQl40(
      dir, "download" + port + " " + file + " --maintenance --trace " + dir.File("trace.txt"),
      "TSUKI-HANAE\n");
  EXPECT_EQ(down.status, 0) << down.err;
  EXPECT_NE(down.err.find("Download is completed"), std::string::npos) << down.err;
  EXPECT_EQ(radio->marker(), frame::kMarkerComplete);
  EXPECT_EQ(radio->stats().block_writes[0], 1);
  EXPECT_GT(testing::ReadAll(dir.File("trace.txt")).size(), 1000u);
}

// What a download sent is kept in backups/; a half-written radio later names that file.
TEST(TransferCli, HalfWrittenRadioNamesTheBackupOfWhatWasSent) {
  testing::TempDir dir;
  const std::string file = dir.File("radio.q40");
  ASSERT_EQ(testing::RunQl40(dir, "new -o " + file).status, 0);
  const auto in_dir = [&dir](const std::string& args) {
    const std::string err = dir.File("in-dir.err");
    const int raw = std::system(("cd '" + dir.path().string() + "' && " + QL40_CLI_PATH + " " +
                                 args + " </dev/null >/dev/null 2>'" + err + "'")
                                    .c_str());
    return std::pair{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing::ReadText(err)};
  };
  const auto backups = [&dir] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.File("backups"))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  auto radio = StartRadio({}, sim::BuiltInRadioImage({}));
  ASSERT_TRUE(radio);
  const auto [down, down_err] = in_dir("download --port " + radio->device_path() + " " + file);
  ASSERT_EQ(down, 0) << down_err;
  ASSERT_EQ(backups().size(), 1u);
  const std::string sent = backups()[0];
  EXPECT_NE(sent.find("-1K000042-write.q40"), std::string::npos) << sent;

  Image memory = sim::BuiltInRadioImage({});
  testing::SetWord(memory, frame::kMarkerWord, frame::kMarkerWriting);
  auto half = StartRadio({}, memory);
  ASSERT_TRUE(half);
  const auto [up, up_err] = in_dir("upload --port " + half->device_path() + " -o h.q40");
  EXPECT_EQ(up, 0) << up_err;
  EXPECT_NE(up_err.find("not completely programmed"), std::string::npos) << up_err;
  EXPECT_NE(up_err.find(sent), std::string::npos) << up_err;
  const auto after = backups();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(std::count_if(after.begin(), after.end(),
                          [](const std::string& n) {
                            return n.find("-read-half-written.q40") != std::string::npos;
                          }),
            1);
}

TEST(TransferCli, NoPortNoFile) {
  testing::TempDir dir;
  const auto exists = [&dir](const char* name) { return std::filesystem::exists(dir.File(name)); };
  const auto r =
      testing::RunQl40(dir, "upload --port " + dir.File("nothing") + " -o " + dir.File("x.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Problem with COM port"), std::string::npos) << r.err;
  EXPECT_FALSE(exists("x.q40"));
}

// A radio that waits for a power cycle nobody gives: --wait runs out, and Ctrl+C ends the wait.
TEST(TransferCli, WaitRunsOutAndCtrlCEndsIt) {
  testing::TempDir dir;
  const auto exists = [&dir](const char* name) { return std::filesystem::exists(dir.File(name)); };
  const auto options = testing::Options([](auto& o) { o.need_power_cycle = true; });
  auto radio = StartRadio(options, sim::BuiltInRadioImage(options));
  ASSERT_TRUE(radio);
  const auto r = testing::RunQl40(
      dir, "upload --wait 1 --port " + radio->device_path() + " -o " + dir.File("y.q40"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Switch radio OFF, then back ON to start uploading"), std::string::npos);
  EXPECT_FALSE(exists("y.q40"));

  // Ctrl+C while it waits.
  const std::string out = dir.File("z.q40"), device = radio->device_path();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::freopen("/dev/null", "w", stderr);
    ::execl(QL40_CLI_PATH, QL40_CLI_PATH, "upload", "--port", device.c_str(), "-o", out.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ::kill(pid, SIGINT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_FALSE(exists("z.q40"));
}

#endif  // !_WIN32

}  // namespace
}  // namespace ql40::link
