// Upload and download over a real pseudo-terminal: the termios port against the simulated
// radio, in-process and through the ql40 program.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "link/frame.h"
#include "link/transfer_runner.h"
#include "link_rig.h"

namespace ql40::link {
namespace {

using testing::SameBytes;
using testing::WordOf;
namespace res = ql40::res;

std::unique_ptr<sim::PtyRadio> StartRadio(const sim::RadioOptions& options, const Image& memory) {
  std::string error;
  auto radio = sim::PtyRadio::Start(options, memory, &error);
  EXPECT_TRUE(radio) << error;
  return radio;
}

// A session whose port is the termios port on the radio's pty.
struct PtyRig {
  explicit PtyRig(const std::string& device) {
    doc.ResetToDefaults();
    env.open_port = [device](int read_constant_ms, PortOpenError* error) {
      return OpenSystemPort(device, read_constant_ms, error);
    };
    env.port_label = " " + device;
    env.prompter = &prompter;
    env.cancel = &cancel;
    env.log_folder = dir.path();
  }
  TransferOutcome Run(TransferKind kind) {
    CloneSession session(doc, link, env);
    return RunOnWorker(session, kind);
  }
  Codeplug doc;
  std::unique_ptr<SerialPort> link;
  CloneEnvironment env;
  testing::ScriptedPrompter prompter{{}, Answer::kOk};
  CancelToken cancel;
  testing::TempDir dir;
};

// The radio's image as the program writes it: decoded and encoded once, so that a round trip
// through the document keeps every byte.
Image Canonical(const Image& image) {
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  doc->image = image;
  doc->radio_origin = true;
  doc->RefreshFromImage();
  doc->CommitToImage();
  return doc->image;
}

// A codeplug with all 512 channels allocated, as the radio would hold it.
Image FullRadioImage(const sim::RadioOptions& options) {
  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  doc->image = sim::BuiltInRadioImage(options);  // the radio's own alignment tables
  doc->radio_origin = true;
  doc->RefreshFromImage();
  doc->channels.count.fill(0);
  doc->channels.count[0] = 255;
  doc->channels.count[1] = 255;
  doc->channels.count[2] = 2;
  doc->channels.total = 512;
  for (int n = 0; n < kChannelCount; ++n) {
    doc->channels.records[n].rx_frequency = 14400000 + 2500 * n;
    doc->channels.records[n].tx_frequency = 14400000 + 2500 * n;
  }
  doc->CommitToImage();
  Image image = doc->image;
  sim::ApplyIdentity(options, image);
  return image;
}

TEST(TransferOverPty, UploadThenDownloadGivesBackTheSameBytes) {
  struct Case {
    const char* name;
    sim::RadioOptions options;
    bool full;
  };
  std::vector<Case> cases(4);
  cases[0].name = "default";
  cases[1].name = "full";
  cases[1].full = true;
  cases[2].name = "PT-410";
  cases[2].options.model = 1;
  cases[3].name = "UHF";
  cases[3].options.band = 2;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Image source =
        Canonical(c.full ? FullRadioImage(c.options) : sim::BuiltInRadioImage(c.options));
    auto radio_a = StartRadio(c.options, source);
    ASSERT_TRUE(radio_a);
    PtyRig rig(radio_a->device_path());
    const auto up = UploadCommand(rig.doc, [&](TransferKind k) {
      CloneSession session(rig.doc, rig.link, rig.env);
      return RunOnWorker(session, k);
    });
    ASSERT_TRUE(up.succeeded) << up.message_id;
    EXPECT_TRUE(rig.doc.radio_origin);
    EXPECT_EQ(rig.doc.path, "<none>");
    const int last = testing::LastBlockOfImage(source);
    if (c.full) {
      EXPECT_EQ(last, 135);
    }
    EXPECT_TRUE(SameBytes(rig.doc.image, source, 0, 196));
    EXPECT_TRUE(SameBytes(rig.doc.image, source, 256, (last + 1) * 128 - 256));
    EXPECT_TRUE(SameBytes(rig.doc.image, source, 137 * 128, 128));

    // Into a fresh radio of the same kind.
    auto radio_b = StartRadio(c.options, sim::BuiltInRadioImage(c.options));
    ASSERT_TRUE(radio_b);
    PtyRig rig_b(radio_b->device_path());
    rig_b.doc = rig.doc;
    const auto down = DownloadCommand(rig_b.doc, [&](TransferKind k) {
      CloneSession session(rig_b.doc, rig_b.link, rig_b.env);
      return RunOnWorker(session, k);
    });
    ASSERT_TRUE(down.succeeded) << down.message_id;
    const Image written = radio_b->memory();
    EXPECT_TRUE(SameBytes(written, source, 26, 196 - 26));
    EXPECT_TRUE(SameBytes(written, source, 3 * 128, (last + 1 - 3) * 128));
    EXPECT_EQ(radio_b->marker(), frame::kMarkerComplete);
    EXPECT_EQ(radio_b->stats().block_writes[0], 0) << "block 0 only in maintenance mode";
  }
}

TEST(TransferOverPty, MaintenanceDownloadAndSilentRadio) {
  {
    auto radio = StartRadio({}, sim::BuiltInRadioImage({}));
    ASSERT_TRUE(radio);
    PtyRig rig(radio->device_path());
    rig.env.maintenance = true;
    ASSERT_TRUE(rig.Run(TransferKind::kDownload).succeeded);
    EXPECT_EQ(radio->stats().block_writes[0], 1);
    EXPECT_EQ(radio->marker(), 0xA55A);
  }
  {  // Silent in the middle of a block: the error limit ends it with the document unchanged.
    sim::RadioOptions options;
    options.faults.silent_after_bytes = 412;
    auto radio = StartRadio(options, sim::BuiltInRadioImage(options));
    ASSERT_TRUE(radio);
    PtyRig rig(radio->device_path());
    const Image before = rig.doc.image;
    const auto outcome = rig.Run(TransferKind::kUpload);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(rig.prompter.ids(), std::vector<int>{res::kStrUploadError});
    EXPECT_EQ(rig.doc.image, before);
  }
}

// --- the ql40 program ---

struct CliResult {
  int status = -1;
  std::string err;
};

CliResult RunCli(const std::string& args, const testing::TempDir& dir,
                 const std::string& input = "") {
  const std::string in = dir.File("stdin.txt"), err = dir.File("stderr.txt");
  testing::WriteAll(in, std::vector<unsigned char>(input.begin(), input.end()));
  const std::string command =
      std::string(QL40_CLI_PATH) + " " + args + " < " + in + " 2> " + err + " > /dev/null";
  const int raw = std::system(command.c_str());
  CliResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  const auto bytes = testing::ReadAll(err);
  r.err.assign(bytes.begin(), bytes.end());
  return r;
}

bool Exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

TEST(TransferCli, UploadAndDownloadAsAProgram) {
  testing::TempDir dir;
  const std::string file = dir.File("radio.q40");
  {
    auto radio = StartRadio({}, sim::BuiltInRadioImage({}));
    ASSERT_TRUE(radio);
    const auto up = RunCli("upload --port " + radio->device_path() + " -o " + file, dir);
    EXPECT_EQ(up.status, 0) << up.err;
    EXPECT_NE(up.err.find("Upload is completed"), std::string::npos) << up.err;
    const auto bytes = testing::ReadAll(file);
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kFileSize));
    const Image memory = radio->memory();
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 196, bytes.begin()));

    const auto wrong = RunCli(
        "download --port " + radio->device_path() + " " + file + " --maintenance", dir, "tsuki\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("access code"), std::string::npos) << wrong.err;
    EXPECT_EQ(radio->stats().words_written, 0);

    const auto down = RunCli("download --port " + radio->device_path() + " " + file +
                                 " --maintenance --trace " + dir.File("trace.txt"),
                             dir, "TSUKI-HANAE\n");
    EXPECT_EQ(down.status, 0) << down.err;
    EXPECT_NE(down.err.find("Download is completed"), std::string::npos) << down.err;
    EXPECT_EQ(radio->marker(), 0xA55A);
    EXPECT_EQ(radio->stats().block_writes[0], 1);
    EXPECT_GT(testing::ReadAll(dir.File("trace.txt")).size(), 1000u);
  }
  {  // No port.
    const auto r = RunCli("upload --port " + dir.File("nothing") + " -o " + dir.File("x.q40"), dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Problem with COM port"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(dir.File("x.q40")));
  }
  {  // A radio that waits for a power cycle nobody gives: --wait runs out.
    sim::RadioOptions options;
    options.need_power_cycle = true;
    auto radio = StartRadio(options, sim::BuiltInRadioImage(options));
    ASSERT_TRUE(radio);
    const auto r =
        RunCli("upload --wait 1 --port " + radio->device_path() + " -o " + dir.File("y.q40"), dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Switch radio OFF, then back ON to start uploading"), std::string::npos);
    EXPECT_FALSE(Exists(dir.File("y.q40")));

    // Ctrl+C while it waits.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      const std::string out = dir.File("z.q40");
      const std::string device = radio->device_path();
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
    EXPECT_FALSE(Exists(dir.File("z.q40")));
  }
}

}  // namespace
}  // namespace ql40::link
