// Upload and download over a real pseudo-terminal: the ql40 program and its termios port
// against the simulated radio.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "link/frame.h"
#include "link_rig.h"

namespace ql40::link {
namespace {

using testing::SameBytes;

std::unique_ptr<sim::PtyRadio> StartRadio(const sim::RadioOptions& options, const Image& memory) {
  std::string error;
  auto radio = sim::PtyRadio::Start(options, memory, &error);
  EXPECT_TRUE(radio) << error;
  return radio;
}

// The radio's image as the program writes it: decoded and encoded once, so that a round trip
// through the document keeps every byte. Optionally with all 512 channels allocated.
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

TEST(TransferCli, UploadAndDownloadAsAProgram) {
  testing::TempDir dir;
  const std::string file = dir.File("radio.q40");
  const auto exists = [&dir](const char* name) { return std::filesystem::exists(dir.File(name)); };
  {
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
  {  // No port.
    const auto r =
        testing::RunQl40(dir, "upload --port " + dir.File("nothing") + " -o " + dir.File("x.q40"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Problem with COM port"), std::string::npos) << r.err;
    EXPECT_FALSE(exists("x.q40"));
  }
  {  // A radio that waits for a power cycle nobody gives: --wait runs out.
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
}

}  // namespace
}  // namespace ql40::link
