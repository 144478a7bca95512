// Basic and fine alignment over a real pseudo-terminal, with the radio paced at 9600 baud: the
// termios port, the 50 ms read time-out and the real pauses against the simulated radio, from
// the alignment upload to the write-back.

#include <gtest/gtest.h>

#include <future>

#include "alignment/basic_alignment.h"
#include "alignment/fine_alignment.h"
#include "alignment/level_sampler.h"
#include "alignment_bench.h"
#include "link/transfer_runner.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

struct PtyRig {
  explicit PtyRig(sim::RadioOptions options) {
    options.pace = true;
    std::string error;
    radio = sim::PtyRadio::Start(options, testing::BenchRadioImage(), &error);
    EXPECT_TRUE(radio) << error;
    doc->ResetToDefaults();
  }
  link::DialogResult Align(bool fine, const link::AlignmentDialog& dialog) {
    link::CloneEnvironment env;
    env.open_port = [this](int read_constant_ms, link::PortOpenError* error) {
      return link::OpenSystemPort(radio->device_path(), read_constant_ms, error);
    };
    env.port_label = radio->device_path();
    env.prompter = &prompter;
    env.log_folder = dir.path();
    session = std::make_unique<link::CloneSession>(*doc, port, env);
    return link::AlignmentCommand(
        *doc, fine, [this](link::TransferKind kind) { return session->Run(kind); }, port, &prompter,
        dialog);
  }
  std::unique_ptr<sim::PtyRadio> radio;
  std::unique_ptr<Codeplug> doc = std::make_unique<Codeplug>();
  std::unique_ptr<link::SerialPort> port;
  std::unique_ptr<link::CloneSession> session;
  testing::ScriptedPrompter prompter;
  testing::TempDir dir;
};

TEST(AlignmentOverPty, BasicAndFineFromUploadToWriteBack) {
  {
    PtyRig rig(testing::Options([](auto& o) { o.level_spread = 4; }));
    ASSERT_TRUE(rig.radio);
    const Image document = rig.doc->image;
    const auto result = rig.Align(false, [&](link::AlignmentLink& link, Codeplug& doc) {
      BasicAlignment model(link, doc, &rig.prompter, {});
      EXPECT_TRUE(model.Open());
      auto item = model.BeginSlider(5);  // maximum deviation: the longest sequences
      EXPECT_TRUE(item);
      if (!item) return false;
      EXPECT_EQ(item->Move(0xA8), SliderSession::MoveResult::kAccepted);
      EXPECT_EQ(rig.radio->alignment().deviation[1], 0xA8);
      item->End(true);
      std::promise<std::optional<int>> measured;
      LevelSampler sampler(link, LevelKind::kBattery);
      sampler.Start([&](std::optional<int> r) { measured.set_value(r); });
      const auto battery = measured.get_future().get();
      EXPECT_TRUE(battery);
      EXPECT_NEAR(battery.value_or(0), 168, 4) << "the spread stays around the set level";
      model.StoreMeasured(12, battery.value_or(0));
      model.Accept();
      return true;
    });
    EXPECT_EQ(result, link::DialogResult::kOk);
    EXPECT_TRUE(rig.prompter.ids() ==
                (std::vector<int>{res::kStrUploadCompleted, res::kStrDownloadCompleted}))
        << "nothing but the two completions";
    const Image radio = rig.radio->memory();
    EXPECT_EQ(radio[17], 0xA8);
    EXPECT_NEAR(radio[23], 168, 4);
    EXPECT_EQ(bits::GetWordLE(radio, 2), AdjustmentChecksum(radio));
    EXPECT_EQ(rig.doc->image, document);
    EXPECT_FALSE(rig.radio->alignment_mode());
  }
  {
    PtyRig rig(testing::Options([](auto& o) { o.rssi_peak = 0x78; }));
    ASSERT_TRUE(rig.radio);
    const auto result = rig.Align(true, [&](link::AlignmentLink& link, Codeplug& doc) {
      FineAlignment model(link, doc, &rig.prompter, {});
      EXPECT_TRUE(model.Open());
      auto tune = model.BeginSlider(FineAlignment::kRxTune);
      EXPECT_TRUE(tune);
      if (!tune) return false;
      EXPECT_EQ(tune->signal(), 201 - 2 * (0x78 - 0x70));
      tune->Move(0x78);
      EXPECT_EQ(tune->signal(), 201) << "on the peak";
      tune->End(true);
      return true;
    });
    EXPECT_EQ(result, link::DialogResult::kOk);
    EXPECT_EQ(rig.radio->memory()[kOffsetChannels + 18], 0x78);
  }
}

}  // namespace
}  // namespace ql40::alignment
