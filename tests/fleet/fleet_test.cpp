// Several radios at once over pseudo-terminals: the fleet core against simulated radios, some
// of them faulty.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "codeplug/hardware.h"
#include "fleet/fleet_dialog_model.h"
#include "fleet/fleet_log.h"
#include "fleet/fleet_run.h"
#include "fleet/fleet_strings.h"
#include "link/frame.h"
#include "link/link_rig.h"
#include "radiosim/radio_sim.h"
#include "resources/strings.h"
#include "support/test_support.h"

namespace ql40::fleet {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A radio of the fleet: its own serial number, optionally faulty.
#if !defined(_WIN32)  // the simulated radios serve pseudo-terminals
struct SimRadio {
  sim::RadioOptions options;
  std::unique_ptr<sim::PtyRadio> pty;
};

std::vector<SimRadio> StartRadios(std::vector<sim::RadioOptions> options) {
  std::vector<SimRadio> radios;
  for (std::size_t i = 0; i < options.size(); ++i) {
    auto& o = options[i];
    o.serial = sim::SerialPlus("1K000100", static_cast<int>(i));
    std::string error;
    auto pty = sim::PtyRadio::Start(o, sim::BuiltInRadioImage(o), &error);
    EXPECT_TRUE(pty) << error;
    radios.push_back({o, std::move(pty)});
  }
  return radios;
}

// Twelve channels in group 1, from a radio of the same kind so the tuning bytes match.
Codeplug DealerCodeplug() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.image = sim::BuiltInRadioImage({});
  doc.radio_origin = true;
  doc.RefreshFromImage();
  doc.channels.count.fill(0);
  doc.channels.count[0] = 12;
  doc.channels.total = 12;
  for (int n = 0; n < 12; ++n) {
    doc.channels.records[n].rx_frequency = doc.channels.records[n].tx_frequency =
        14600000 + 1250 * n;
  }
  doc.CommitToImage();
  doc.RefreshFromImage();
  return doc;
}

// Counts each radio's end and passes changes on; questions are cancelled.
class Recorder : public RadioObserver, public FleetQuestions {
 public:
  void Changed(int radio, const RadioStatus& status) override {
    std::lock_guard lock(mutex_);
    if (on_change) on_change(radio, status);
  }
  void Finished(int radio, const RadioStatus&) override {
    std::lock_guard lock(mutex_);
    ++finished_[radio];
  }
  Answer Ask(int, const std::string&, const Message&) override { return Answer::kCancel; }
  int finished(int radio) {
    std::lock_guard lock(mutex_);
    return finished_[radio];
  }
  std::function<void(int, const RadioStatus&)> on_change;

 private:
  std::mutex mutex_;
  std::map<int, int> finished_;
};

FleetOptions OptionsFor(const std::vector<SimRadio>& radios, FleetJob job, const TempDir& dir) {
  FleetOptions o;
  o.job = job;
  for (const auto& r : radios) o.ports.push_back(r.pty->device_path());
  o.open_port = [](const std::string& port, int read_constant_ms, link::PortOpenError* error) {
    return link::OpenSystemPort(port, read_constant_ms, error);
  };
  o.log_folder = dir.path();
  o.output_dir = dir.path() / "radios";
  if (job == FleetJob::kDownload) {
    o.source = DealerCodeplug();
    o.source_file = "brigade.q40";
  }
  return o;
}

std::vector<std::string> LogLines(const TempDir& dir) {
  std::ifstream in(dir.path() / kFleetLogName);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::size_t FilesIn(const fs::path& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return 0;
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The codeplug's settings words and channel blocks, as the radio holds them after a download.
void ExpectProgrammed(const sim::PtyRadio& radio, const Codeplug& source) {
  const Image memory = radio.memory();
  EXPECT_EQ(radio.marker(), frame::kMarkerComplete);
  for (int a = 26; a < 196; ++a) ASSERT_EQ(memory[a], source.image[a]) << "address " << a;
  for (int a = 3 * kBlockSize; a < 9 * kBlockSize; ++a) {
    ASSERT_EQ(memory[a], source.image[a]) << "address " << a;
  }
}

TEST(FleetRun, OneRadioFailingInEachWayNeverStopsTheOthers) {
  const int kForever = 1 << 30;
  std::vector<sim::RadioOptions> options(8);
  // Silent; NAKs and bad checksums from frame 5 on; the cable pulled in the first block written.
  options[1].faults.silent_after_bytes = 40;
  options[3].faults.nak_clone_at = 5;
  options[3].faults.repeat = kForever;
  options[5].faults.bad_checksum_at = 5;
  options[5].faults.repeat = kForever;
  options[6].faults.unplug_after_bytes = 640;
  auto radios = StartRadios(options);
  TempDir dir;
  auto fleet_options = OptionsFor(radios, FleetJob::kDownload, dir);
  const Codeplug source = fleet_options.source;
  ASSERT_TRUE(fleet_options.VerifyOn()) << "several ports read back by default";
  Recorder recorder;
  FleetRun run(fleet_options, &recorder, &recorder);
  run.Start();
  run.Wait();
  const auto status = run.Snapshot();
  ASSERT_EQ(status.size(), 8u);
  EXPECT_FALSE(run.AllSucceeded());

  const std::map<int, int> failures = {{1, res::kStrUploadError},
                                       {3, res::kStrUploadError},
                                       {5, res::kStrUploadError},
                                       {6, res::kStrDownloadError}};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const auto& s = status[static_cast<std::size_t>(i)];
    EXPECT_EQ(recorder.finished(i), 1);
    EXPECT_EQ(s.serial, radios[static_cast<std::size_t>(i)].options.serial);
    EXPECT_EQ(s.phase, RadioPhase::kDone);
    if (failures.count(i) != 0) {
      EXPECT_EQ(s.result, RadioResult::kFailed);
      EXPECT_EQ(s.message_id, failures.at(i)) << s.message;
      EXPECT_EQ(s.ResultText(), res::FormatString(failures.at(i)));
      EXPECT_EQ(radios[static_cast<std::size_t>(i)].pty->stats().downloads_completed, 0);
    } else {
      EXPECT_EQ(s.result, RadioResult::kSucceeded) << s.message;
      EXPECT_EQ(s.verify_address, -1);
      ExpectProgrammed(*radios[static_cast<std::size_t>(i)].pty, source);
      EXPECT_TRUE(fs::exists(s.backup)) << "the read-back is kept";
    }
  }
  EXPECT_EQ(radios[6].pty->stats().blocks_written, 0) << "the pulled cable cut the block";
  EXPECT_EQ(radios[6].pty->marker(), frame::kMarkerWriting) << "the radio shows it is half done";

  // One log line per radio after the header, each with its serial and result.
  const auto lines = LogLines(dir);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], res::FormatString(kStrLogHeader));
  for (int i = 0; i < 8; ++i) {
    const std::string serial = radios[static_cast<std::size_t>(i)].options.serial;
    const auto line = std::find_if(lines.begin() + 1, lines.end(), [&](const std::string& l) {
      return l.find("," + serial + ",") != std::string::npos;
    });
    ASSERT_NE(line, lines.end()) << serial;
    EXPECT_NE(line->find(",PT-610,VHF,brigade.q40,"), std::string::npos) << *line;
    const bool ok = failures.count(i) == 0;
    EXPECT_EQ(line->substr(line->rfind(',') + 1),
              ok ? std::string("OK") : res::FormatString(failures.at(i)));
  }
  EXPECT_EQ(FilesIn(dir.path() / kBackupFolderName), 4u);
}

TEST(FleetRun, VerifyNamesTheFirstAddressARadioStoredWrong) {
  std::vector<sim::RadioOptions> options(3);
  options[1].faults.misstore_at = 10;  // the tenth byte of radio block 1 = image address 393
  auto radios = StartRadios(options);
  TempDir dir;
  Recorder recorder;
  FleetRun run(OptionsFor(radios, FleetJob::kDownload, dir), &recorder, &recorder);
  run.Start();
  run.Wait();
  const auto status = run.Snapshot();
  EXPECT_EQ(status[0].result, RadioResult::kSucceeded);
  EXPECT_EQ(status[2].result, RadioResult::kSucceeded);
  EXPECT_EQ(status[1].result, RadioResult::kFailed);
  EXPECT_EQ(status[1].verify_address, 3 * kBlockSize + 9);
  EXPECT_EQ(status[1].message_id, kStrVerifyMismatch);
  EXPECT_NE(status[1].message.find("0x0189"), std::string::npos) << status[1].message;

  // Without verify the same fault goes unnoticed: the download itself succeeds.
  std::vector<sim::RadioOptions> one(1);
  one[0].faults.misstore_at = 10;
  auto single = StartRadios(one);
  auto single_options = OptionsFor(single, FleetJob::kDownload, dir);
  EXPECT_FALSE(single_options.VerifyOn()) << "one port does not read back by default";
  FleetRun quiet(single_options, nullptr, nullptr);
  quiet.Start();
  quiet.Wait();
  EXPECT_TRUE(quiet.AllSucceeded());
}

TEST(FleetRun, FastFallsBackForARadioThatDropsBackToBackBytes) {
  std::vector<sim::RadioOptions> options(2);
  options[1].faults.drop_back_to_back = true;
  auto radios = StartRadios(options);
  TempDir dir;
  auto fleet_options = OptionsFor(radios, FleetJob::kDownload, dir);
  fleet_options.fast = true;
  const Codeplug source = fleet_options.source;
  FleetRun run(fleet_options, nullptr, nullptr);
  run.Start();
  run.Wait();
  const auto status = run.Snapshot();
  ASSERT_TRUE(run.AllSucceeded()) << status[0].message << " / " << status[1].message;
  EXPECT_FALSE(status[0].fell_back);
  EXPECT_TRUE(status[1].fell_back);
  EXPECT_GT(radios[1].pty->stats().bytes_lost, 0);
  EXPECT_EQ(radios[0].pty->stats().bytes_lost, 0);
  for (const auto& r : radios) ExpectProgrammed(*r.pty, source);
}

TEST(FleetRun, CancelStopsEveryRadioAndWritesNothingHalfDone) {
  // Two paced radios take seconds to read; the third waits to be switched on.
  std::vector<sim::RadioOptions> options(3);
  options[0].pace = options[1].pace = true;
  options[2].need_power_cycle = true;
  auto radios = StartRadios(options);
  TempDir dir;
  auto fleet_options = OptionsFor(radios, FleetJob::kUpload, dir);
  Recorder recorder;
  std::atomic<int> reading{0};
  std::atomic<bool> asked_switch{false};
  FleetRun run(fleet_options, &recorder, &recorder);
  recorder.on_change = [&](int radio, const RadioStatus& s) {
    if (radio < 2 && s.percent >= 20) reading |= 1 << radio;
    if (radio == 2 && s.prompt_id == res::kStrSwitchOffOnUpload) asked_switch = true;
    if (reading == 3 && asked_switch) run.Cancel();
  };
  run.Start();
  run.Wait();
  for (const auto& s : run.Snapshot()) {
    EXPECT_EQ(s.result, RadioResult::kCancelled) << s.port << " " << s.message;
    EXPECT_EQ(s.ResultText(), res::FormatString(kStrResultCancelled));
  }
  EXPECT_EQ(FilesIn(fleet_options.output_dir), 0u);
  EXPECT_EQ(FilesIn(dir.path() / kBackupFolderName), 0u);
  EXPECT_EQ(LogLines(dir).size(), 4u) << "cancelled radios are recorded too";
  // Every port was closed: each device opens again at once.
  for (const auto& r : radios) {
    link::PortOpenError error;
    EXPECT_TRUE(link::OpenSystemPort(r.pty->device_path(), 50, &error)) << error.detail;
  }
}

#endif  // !_WIN32

TEST(FleetOptions, RefuseAPortNamedTwiceAndAnOutputThatIsAFile) {
  TempDir dir;
  FleetOptions o;
  EXPECT_EQ(CheckFleetOptions(o), res::FormatString(kStrNoPorts));
  o.ports = {"COM1", "/dev/ttyX", link::PortNames().DeviceOf(1)};
  EXPECT_EQ(CheckFleetOptions(o),
            res::FormatString(kStrPortTwice, {link::PortNames().DeviceOf(1)}));
  o.ports = {"COM1", "COM2"};
  EXPECT_EQ(CheckFleetOptions(o), "");
  testing::WriteAll(dir.File("plain"), {1, 2, 3});
  o.job = FleetJob::kUpload;
  o.output_dir = dir.File("plain");
  EXPECT_EQ(CheckFleetOptions(o), res::FormatString(kStrNotAFolder, {dir.File("plain")}));
}

TEST(FleetLog, LinesQuoteWhatNeedsItAndBackupsNeverReplaceAFile) {
  FleetLogLine line;
  line.when = WallClock::now();
  line.port = "COM1";
  line.serial = "1K000042";
  line.model = 1;
  line.band = 1;
  line.file = "fire, \"north\".q40";
  line.have_checksum = true;
  line.checksum = 0x0badcafe;
  line.result = "OK";
  const std::string csv = CsvLine(line);
  EXPECT_EQ(csv.substr(20),
            "COM1,1K000042,PT-410,VHF Lo Band,\"fire, \"\"north\"\".q40\",0badcafe,OK\n");
  EXPECT_EQ(csv[4], '-');
  EXPECT_EQ(csv[10], ',');

  // Any byte changed changes the fingerprint.
  Image image{};
  EXPECT_NE(ImageChecksum(image), 0u);
  image[5] = 1;
  const auto one = ImageChecksum(image);
  image[5] = 2;
  EXPECT_NE(ImageChecksum(image), one);

  TempDir dir;
  const auto when = WallClock::now();
  std::string error;
  const auto first = KeepBackup(dir.path() / "backups", image, 0.0, "1K*00#42", when, &error);
  const auto second = KeepBackup(dir.path() / "backups", image, 0.0, "1K*00#42", when, &error);
  ASSERT_FALSE(first.empty()) << error;
  ASSERT_FALSE(second.empty()) << error;
  EXPECT_NE(first, second);
  const std::string name = first.filename().string();
  EXPECT_EQ(name.size(), std::string("YYYYMMDD-HHMMSS-1K_00_42-read.q40").size()) << name;
  EXPECT_EQ(name.substr(15), "-1K_00_42-read.q40");
  EXPECT_EQ(second.filename().string().substr(15), "-1K_00_42-read-2.q40");

  FleetLog log(dir.path() / "missing" / "folder");
  EXPECT_FALSE(log.Append(line, &error));
  EXPECT_NE(error.find(kFleetLogName), std::string::npos) << error;
}

// Runs through the model are the fleet dialog's tests (tests/ui); here the port list.
TEST(FleetDialogModel, ListsPortsAndChecksThoseThatAreThere) {
  TempDir dev;
  for (const char* name : {"ttyUSB0", "ttyUSB7", "ttyACM1", "tty0", "null"}) {
    testing::WriteAll(dev.File(name), {});
  }
  link::PortNames names;
  names.SetDevice(1, dev.File("ttyUSB0"));  // COM1 is the first adapter; COM2-4 are missing
  for (int com = 2; com <= 4; ++com) names.SetDevice(com, dev.File("gone" + std::to_string(com)));
  const auto choices = FleetPortChoices(names, dev.path());
  ASSERT_EQ(choices.size(), 6u);
  EXPECT_EQ(choices[0].name, "COM1");
  EXPECT_TRUE(choices[0].present);
  EXPECT_FALSE(choices[1].present);
  EXPECT_EQ(choices[4].name, dev.File("ttyACM1"));
  EXPECT_EQ(choices[5].name, dev.File("ttyUSB7"));
  EXPECT_FALSE(choices[5].configured);

  FleetDialogModel listed(choices);
  EXPECT_TRUE(listed.rows()[0].checked) << "a configured port that is there";
  EXPECT_FALSE(listed.rows()[1].checked);
  EXPECT_FALSE(listed.rows()[5].checked);

  EXPECT_TRUE(listed.CanStart());
  EXPECT_FALSE(FleetDialogModel(std::vector<PortChoice>{choices[1]}).CanStart()) << "none checked";
}

}  // namespace
}  // namespace ql40::fleet

namespace ql40::link {
namespace {

using testing::LinkRig;

// Counts the write calls that go over the port.
class WriteCounter : public ByteTrace {
 public:
  void Sent(const std::uint8_t*, std::size_t count) override {
    ++writes;
    bytes += static_cast<long long>(count);
  }
  void Received(const std::uint8_t*, std::size_t) override {}
  void Note(const char*) override {}
  long long writes = 0, bytes = 0;
};

struct FastRig : LinkRig {
  explicit FastRig(sim::RadioOptions options = {}) : LinkRig(options) {
    configure = [this](testing::WirePort& port) { port.set_trace(&counter); };
  }
  TransferOutcome RunFast(TransferKind kind) {
    auto env = Env();
    env.fast = true;
    session = std::make_unique<CloneSession>(doc, link, env);
    return session->Run(kind);
  }
  WriteCounter counter;
};

TEST(FastSending, WholeFramesWhileTheRadioKeepsUp) {
  FastRig rig;
  ASSERT_TRUE(rig.RunFast(TransferKind::kUpload).succeeded);
  EXPECT_TRUE(rig.session->fast_active());
  EXPECT_FALSE(rig.session->fell_back());
  EXPECT_LT(rig.counter.writes * 3, rig.counter.bytes) << "one write per frame, not per byte";
  const Image read = rig.doc.image;
  EXPECT_TRUE(std::equal(read.begin(), read.begin() + 196, rig.radio->memory().begin()));

  rig.doc.RefreshFromImage();
  rig.doc.channels.records[0].rx_frequency = 14612500;
  rig.doc.CommitToImage();
  rig.counter = {};
  ASSERT_TRUE(rig.RunFast(TransferKind::kDownload).succeeded);
  EXPECT_FALSE(rig.session->fell_back());
  EXPECT_LT(rig.counter.writes * 10, rig.counter.bytes);
  EXPECT_EQ(rig.radio->marker(), 0xA55A);
  ASSERT_NE(rig.session->sent_image(), nullptr);
  EXPECT_EQ(rig.session->sent_first_block(), 3);
  const int last = rig.session->sent_last_block();
  EXPECT_EQ(last, rig.doc.channels.LastBlock());
  EXPECT_TRUE(std::equal(rig.radio->memory().begin() + 3 * 128,
                         rig.radio->memory().begin() + (last + 1) * 128,
                         rig.session->sent_image()->begin() + 3 * 128));
  EXPECT_TRUE(rig.session->radio().known);
  EXPECT_EQ(rig.session->radio().serial, "1K000042");
  EXPECT_EQ(rig.session->radio().band, 0);
}

TEST(FastSending, FallsBackAtTheFirstTroubleAndFinishes) {
  const std::pair<const char*, sim::Faults> cases[] = {
      {"drops back-to-back bytes", {.drop_back_to_back = true}},
      {"line error in an echo", {.line_error_at = 30}},
      {"frame left unanswered", {.ignore_frame_at = 4}}};
  for (const auto& [name, faults] : cases) {
    SCOPED_TRACE(name);
    sim::RadioOptions options;
    options.faults = faults;
    FastRig rig(options);
    const auto outcome = rig.RunFast(TransferKind::kUpload);
    ASSERT_TRUE(outcome.succeeded) << outcome.message_id;
    EXPECT_TRUE(rig.session->fell_back());
    EXPECT_FALSE(rig.session->fast_active());
    EXPECT_EQ(rig.radio->stats().handshakes, 0) << "a slow radio is not asked to be switched off";
    EXPECT_TRUE(std::equal(rig.doc.image.begin(), rig.doc.image.begin() + 196,
                           rig.radio->memory().begin()));
  }
}

}  // namespace
}  // namespace ql40::link
