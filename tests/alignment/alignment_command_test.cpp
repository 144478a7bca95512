#include <gtest/gtest.h>

#include <future>

#include "alignment/alignment_strings.h"
#include "alignment/basic_alignment.h"
#include "alignment/fine_alignment.h"
#include "alignment/level_sampler.h"
#include "alignment_bench.h"
#include "link/transfer_runner.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

using testing::AlignmentBench;

// The document starts as the built-in default codeplug, not as the radio.
struct CommandRig : testing::LinkRig {
  CommandRig() : LinkRig({}, testing::BenchRadioImage()) {}
  PauseFunction NoPause() {
    return [](int) {};
  }
};

std::optional<int> Measure(link::AlignmentLink& link, LevelKind kind) {
  std::promise<std::optional<int>> result;
  LevelSampler sampler(link, kind, 1);
  sampler.Start([&](std::optional<int> r) { result.set_value(r); });
  return result.get_future().get();
}

TEST(AlignmentCommand, BasicAlignmentWritesTheAdjustmentWordsOnly) {
  CommandRig rig;
  const Image document = rig.doc.image;
  const auto result = rig.Align(false, [&](link::AlignmentLink& link, Codeplug& doc) {
    BasicAlignment model(link, doc, &rig.prompter, rig.NoPause());
    EXPECT_TRUE(model.Open());
    auto high = model.BeginSlider(1);
    EXPECT_TRUE(high);
    high->Move(0xD4);
    high->End(true);
    rig.radio->QueueLevels(std::vector<std::array<int, 4>>(20, {0, 0x2E, 0, 0}));
    const auto measured = Measure(link, BasicAlignment::LevelOf(7));
    EXPECT_EQ(measured, 0x2E);
    model.StoreMeasured(7, measured.value_or(0));
    model.Accept();
    return true;
  });
  EXPECT_EQ(result, link::DialogResult::kOk);
  const Image& radio = rig.radio->memory();
  EXPECT_EQ(radio[14], 0xD4);
  EXPECT_EQ(radio[6], 0x2E);
  EXPECT_EQ(bits::GetWordLE(radio, 2), AdjustmentChecksum(radio));
  const auto& writes = rig.radio->stats().word_writes;
  for (int w = 0; w < 128; ++w) {
    EXPECT_EQ(writes[static_cast<std::size_t>(w)], (w >= 1 && w <= 12) || w == 95 ? 1 : 0)
        << "word " << w;
  }
  EXPECT_EQ(rig.radio->stats().blocks_written, 0);
  EXPECT_EQ(rig.doc.image, document) << "only the radio keeps the result";
  EXPECT_FALSE(rig.radio->alignment_mode());
}

TEST(AlignmentCommand, FineAlignmentWritesTheChannelBlocks) {
  CommandRig rig;
  const Image document = rig.doc.image;
  const Image radio_before = rig.radio->memory();
  const auto result = rig.Align(true, [&](link::AlignmentLink& link, Codeplug& doc) {
    FineAlignment model(link, doc, &rig.prompter, rig.NoPause());
    EXPECT_TRUE(model.Open());
    EXPECT_TRUE(model.PickChannel(2));
    auto low = model.BeginSlider(FineAlignment::kLowPower);
    EXPECT_TRUE(low);
    low->Move(0x28);  // Low1 0x30 - 8
    low->End(true);
    model.Accept();
    return true;
  });
  EXPECT_EQ(result, link::DialogResult::kOk);
  const Image& radio = rig.radio->memory();
  const int at = kOffsetChannels + 2 * kChannelRecordSize;
  EXPECT_EQ(radio[static_cast<std::size_t>(at + 21)], 0x88);
  for (int i = 0; i < kImageSize; ++i) {
    if (i == at + 21) continue;
    ASSERT_EQ(radio[static_cast<std::size_t>(i)], radio_before[static_cast<std::size_t>(i)])
        << "byte " << i;
  }
  EXPECT_EQ(rig.radio->stats().words_written, 0);
  EXPECT_EQ(rig.radio->stats().block_writes[6], 1) << "image block 8";
  EXPECT_EQ(rig.doc.image, document);
}

TEST(AlignmentCommand, CancelledDialogsWriteNothingAndLeaveTheDocument) {
  for (bool fine : {false, true}) {
    CommandRig rig;
    const Image document = rig.doc.image;
    const auto result = rig.Align(fine, [&](link::AlignmentLink& link, Codeplug& doc) {
      std::unique_ptr<ChannelSelection> model;
      if (fine) {
        auto m = std::make_unique<FineAlignment>(link, doc, &rig.prompter, rig.NoPause());
        m->Open();
        m->BeginSlider(FineAlignment::kRxTune)->End(true);  // stored into the image...
        m->Cancel();
      } else {
        auto m = std::make_unique<BasicAlignment>(link, doc, &rig.prompter, rig.NoPause());
        m->Open();
        m->BeginSlider(0)->End(true);
        m->Accept();  // ...or even the whole set, and then cancelled
        m->Cancel();
      }
      return false;
    });
    EXPECT_EQ(result, link::DialogResult::kOk);
    EXPECT_EQ(rig.radio->stats().words_written, 0);
    EXPECT_EQ(rig.radio->stats().blocks_written, 0);
    EXPECT_EQ(rig.doc.image, document);
    EXPECT_FALSE(rig.radio->alignment_mode()) << "0x38 left the alignment state";
  }
}

TEST(LevelSampler, TwentyReadingsOfTheItemsByte) {
  AlignmentBench b;
  std::vector<std::array<int, 4>> readings = {{1, 10, 7, 0}, {2, 200, 7, 0}};
  for (int i = 0; i < 18; ++i) readings.push_back({3, 100, 7, 0});
  readings.push_back({99, 99, 99, 0});  // never asked for
  b.radio->QueueLevels(readings);
  LevelSampler sampler(*b.link, LevelKind::kNoise, 1);
  std::promise<std::optional<int>> result;
  sampler.Start([&](std::optional<int> r) { result.set_value(r); });
  EXPECT_EQ(result.get_future().get(), 100);
  sampler.Stop();
  EXPECT_EQ(sampler.readings().size(), 20u);
  EXPECT_EQ(b.radio->stats().answer_acks, 20);

  b.radio->set_levels({168, 42, 201, 0});
  EXPECT_EQ(Measure(*b.link, LevelKind::kBattery), 168);
  EXPECT_EQ(Measure(*b.link, LevelKind::kSignal), 201);

  // Stopped early: no result, and the thread is gone.
  std::atomic<int> calls{0};
  {
    LevelSampler slow(*b.link, LevelKind::kBattery, 20);
    slow.Start([&](std::optional<int>) { ++calls; });
    slow.Stop();
  }
  EXPECT_EQ(calls, 0);
}

TEST(PulledCable, EveryPathEndsWithTheMessageAndTheDialogStillWorks) {
  // How many bytes a radio takes up to the end of an item's preparation.
  std::int64_t after_prepare = 0;
  {
    AlignmentBench probe;
    BasicAlignment model(*probe.link, *probe.doc, &probe.prompter, probe.Pause());
    model.Open();
    auto s = model.BeginSlider(1);
    after_prepare = probe.radio->stats().bytes_received;
  }
  {  // The cable goes mid-item: the live value is refused with the message, the restore
     // gives up too, and the dialog can go on (OK still stores the set).
    AlignmentBench b(testing::Options(
        [&](auto& o) { o.faults.unplug_after_bytes = static_cast<int>(after_prepare); }));
    BasicAlignment model(*b.link, *b.doc, &b.prompter, b.Pause());
    ASSERT_TRUE(model.Open());
    auto s = model.BeginSlider(1);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Move(0xD0), SliderSession::MoveResult::kRefused);
    EXPECT_EQ(s->value(), 0xC8);
    s->End(true);
    EXPECT_TRUE(b.prompter.Saw(res::kStrCommunicationError));
    const auto messages = b.prompter.messages().size();
    EXPECT_LE(messages, 3u);
    EXPECT_FALSE(model.BeginSlider(2)) << "the next item fails at once";
    EXPECT_EQ(model.ValueText(2), "Error");
    EXPECT_FALSE(Measure(*b.link, LevelKind::kNoise));
    model.Accept();
    EXPECT_EQ(b.doc->image[14], 0xC8);
    model.Cancel();
  }
  {  // A silent radio (the cable still echoes) and a device that went away: the same.
    for (int variant = 0; variant < 2; ++variant) {
      AlignmentBench b(testing::Options([&](auto& o) {
        if (variant == 0) o.faults.silent_after_bytes = static_cast<int>(after_prepare);
      }));
      FineAlignment model(*b.link, *b.doc, &b.prompter, b.Pause());
      ASSERT_TRUE(model.Open());
      if (variant == 1) b.port->fail_reads_from = 1;
      auto s = model.BeginSlider(FineAlignment::kRxTune);
      if (s) s->Move(0x10);
      s.reset();
      EXPECT_TRUE(b.prompter.Saw(res::kStrCommunicationError)) << variant;
      EXPECT_FALSE(model.PickChannel(1));
      EXPECT_TRUE(b.prompter.Saw(kStrChangeChannelFailed));
    }
  }
}

TEST(SimulatedRadioLevels, SpreadPeakAndOptionChecks) {
  using testing::Options;
  EXPECT_NE(ValidateOptions(Options([](auto& o) { o.level_spread = 256; })), "");
  EXPECT_NE(ValidateOptions(Options([](auto& o) { o.rssi_peak = 300; })), "");
  EXPECT_EQ(ValidateOptions(Options([](auto& o) { o.rssi_peak = -1; })), "");

  testing::AlignmentBench b(Options([](auto& o) {
    o.level_spread = 3;
    o.levels = {100, 2, 254, 0};
  }));
  std::vector<int> battery, noise, signal;
  for (int i = 0; i < 40; ++i) {
    link::Levels levels;
    ASSERT_TRUE(b.link->ReadLevels(&levels));
    battery.push_back(levels.battery);
    noise.push_back(levels.noise);
    signal.push_back(levels.signal);
  }
  for (int v : battery) EXPECT_TRUE(v >= 97 && v <= 103) << v;
  for (int v : noise) EXPECT_TRUE(v >= 0 && v <= 5) << "clamped at 0: " << v;
  for (int v : signal) EXPECT_TRUE(v >= 251 && v <= 255) << "clamped at 255: " << v;
  EXPECT_NE(*std::min_element(battery.begin(), battery.end()),
            *std::max_element(battery.begin(), battery.end()))
      << "the readings wander";

  testing::AlignmentBench peak(Options([](auto& o) { o.rssi_peak = 50; }));
  link::Levels levels;
  ASSERT_TRUE(peak.link->ReadLevels(&levels));
  EXPECT_EQ(levels.signal, 201) << "no tuning value loaded yet";
  ASSERT_TRUE(peak.link->LoadValue(45));
  ASSERT_TRUE(peak.link->ReadLevels(&levels));
  EXPECT_EQ(levels.signal, 201 - 10);
}

TEST(SimulatedRadioLevels, ARefusedAnswerComesAgainUnchanged) {
  // A damaged first answer is refused and the radio sends the same reading again.
  testing::AlignmentBench b(testing::Options([](auto& o) { o.faults.bad_checksum_at = 1; }));
  b.radio->QueueLevels({{11, 12, 13, 0}, {21, 22, 23, 0}});
  link::Levels levels;
  ASSERT_TRUE(b.link->ReadLevels(&levels));
  EXPECT_EQ(levels.battery, 11);
  EXPECT_EQ(b.radio->stats().answer_naks, 1);
  ASSERT_TRUE(b.link->ReadLevels(&levels));
  EXPECT_EQ(levels.battery, 21);
}

#if !defined(_WIN32)  // the simulated radio serves a pseudo-terminal
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

#endif  // !_WIN32

}  // namespace
}  // namespace ql40::alignment
