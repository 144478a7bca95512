// Fast sending on the in-process cable: whole frames while the radio keeps up, byte by byte
// from the first trouble on, and never a power-cycle request only because a radio was slow.

#include <gtest/gtest.h>

#include <algorithm>

#include "link/link_rig.h"

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
  struct Case {
    const char* name;
    sim::Faults faults;
  };
  Case cases[] = {{"radio drops back-to-back bytes", {}},
                  {"line error in an echo", {}},
                  {"frame left unanswered", {}}};
  cases[0].faults.drop_back_to_back = true;
  cases[1].faults.line_error_at = 30;
  cases[2].faults.ignore_frame_at = 4;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim::RadioOptions options;
    options.faults = c.faults;
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
