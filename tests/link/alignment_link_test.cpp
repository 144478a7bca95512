#include "link/alignment_link.h"

#include <gtest/gtest.h>

#include "link/frame.h"
#include "link/transfer_runner.h"
#include "link_rig.h"

namespace ql40::link {
namespace {

using testing::ScriptPort;
using Kind = ScriptPort::Kind;
namespace res = ql40::res;
namespace frame = ql40::frame;

TEST(AlignmentLink, ReplyByteClassification) {
  ScriptPort port;
  AlignmentLink link(port, nullptr);
  port.Byte(frame::kAck);
  EXPECT_EQ(link.SendCommand(kCmdStartTransmit, 1, {}), kLinkOk);
  EXPECT_EQ(port.delayed_ms, 20);
  EXPECT_EQ(port.sent, (std::vector<std::uint8_t>{0x34, 0x01, 0x35}));
  port.Byte(kCmdStartTransmit);  // the command byte itself acknowledges too
  EXPECT_EQ(link.SendCommand(kCmdStartTransmit, 1, {}), kLinkOk);
  port.delayed_ms = 0;
  port.Byte(frame::kNak);
  EXPECT_EQ(link.SendCommand(kCmdStartTransmit, 1, {}), kLinkNak);
  EXPECT_EQ(port.delayed_ms, 50);
  for (int i = 0; i < 9; ++i) port.Add(Kind::kTimeout);
  port.Byte(frame::kAck);  // the tenth attempt still counts
  EXPECT_EQ(link.SendCommand(kCmdItemBoundary, 1, {}), kLinkOk);
  for (int i = 0; i < 10; ++i) port.Add(Kind::kTimeout);
  EXPECT_EQ(link.SendCommand(kCmdItemBoundary, 1, {}), kLinkNoReply);
  port.Byte(0x99);
  EXPECT_EQ(link.SendCommand(kCmdItemBoundary, 1, {}), kLinkFailed);
  port.Add(Kind::kLineError);
  EXPECT_EQ(link.SendCommand(kCmdItemBoundary, 1, {}), kLinkFailed);

  // Data and checksum: 0x33 with three values, byte by byte.
  port.sent.clear();
  port.Byte(frame::kAck);
  EXPECT_TRUE(link.LoadDeviation(0x10, 0x20, 0x30));
  EXPECT_EQ(port.sent, (std::vector<std::uint8_t>{0x33, 0x04, 0x10, 0x20, 0x30, 0x97}));
  port.echo = false;  // no cable
  EXPECT_EQ(link.SendCommand(kCmdItemBoundary, 1, {}), kLinkFailed);
}

TEST(AlignmentLink, AnswerFrames) {
  ScriptPort port;
  AlignmentLink link(port, nullptr);
  const std::vector<std::uint8_t> levels = {5, 168, 42, 201, 0};
  auto answer = [&](int checksum_delta) {
    for (auto b : levels) port.Byte(b);
    unsigned sum = kCmdReadLevels;
    for (auto b : levels) sum += b;
    port.Byte(static_cast<std::uint8_t>(sum + checksum_delta));
  };
  std::uint8_t length = 0;
  std::vector<std::uint8_t> data;
  answer(0);
  EXPECT_EQ(link.ReceiveReply(kCmdReadLevels, &length, &data), 0);
  EXPECT_EQ(length, 5);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{168, 42, 201, 0}));
  EXPECT_EQ(port.sent.back(), frame::kAck);
  answer(1);
  EXPECT_EQ(link.ReceiveReply(kCmdReadLevels, &length, &data), kLinkFailed);
  EXPECT_EQ(port.sent.back(), frame::kNak);
  // A clone reply is never acknowledged.
  port.sent.clear();
  for (auto b : {3, 0x12, 0x34, (0xF0 + 3 + 0x12 + 0x34) & 0xFF})
    port.Byte(static_cast<std::uint8_t>(b));
  EXPECT_EQ(link.ReceiveReply(frame::kReadWord, &length, &data), 0);
  EXPECT_TRUE(port.sent.empty());
  // Short data: the rest is awaited, then given up.
  port.Byte(5);
  port.Byte(1);
  for (int i = 0; i < 10; ++i) port.Add(Kind::kTimeout);
  EXPECT_EQ(link.ReceiveReply(kCmdReadLevels, &length, &data), kLinkNoReply);
  port.Byte(0);
  EXPECT_EQ(link.ReceiveReply(kCmdReadLevels, &length, &data), kLinkFailed) << "no length 0";
}

TEST(AlignmentLink, SilentRadioGivesUpWithAMessage) {
  testing::ScriptedPrompter prompter;
  ScriptPort port;
  AlignmentLink link(port, &prompter);
  EXPECT_FALSE(link.LoadValue(7));
  EXPECT_FALSE(link.ChangeChannel(0, 1));
  ASSERT_EQ(prompter.ids(),
            (std::vector<int>{res::kStrCommunicationError, res::kStrChangeChannelError}));
  EXPECT_EQ(prompter.messages()[1].title_id, res::kStrAdjustmentTitle);
  Levels levels;
  EXPECT_FALSE(link.ReadLevels(&levels));
}

// The whole alignment command against the simulated radio.
struct AlignmentRig : testing::LinkRig {
  using LinkRig::LinkRig;
  DialogResult Align(bool fine, const AlignmentDialog& dialog) {
    session = std::make_unique<CloneSession>(doc, link, Env());
    return AlignmentCommand(
        doc, fine, [this](TransferKind kind) { return session->Run(kind); }, link, &prompter,
        dialog);
  }
};

TEST(AlignmentCommand, DrivesTheRadioAndLeavesTheDocument) {
  {
    AlignmentRig rig;
    const Image before = rig.doc.image;
    int new_value = -1;
    const auto result = rig.Align(false, [&](AlignmentLink& link, Codeplug& doc) {
      EXPECT_TRUE(rig.radio->alignment_mode());
      EXPECT_TRUE(testing::SameBytes(doc.image, rig.radio->memory(), 0, 168)) << "the radio's data";
      EXPECT_TRUE(link.ChangeChannel(0, 0));
      Levels levels;
      EXPECT_TRUE(link.ReadLevels(&levels));
      EXPECT_EQ(levels.battery, 168);
      EXPECT_EQ(levels.signal, 201);
      EXPECT_TRUE(link.LoadValue(0x44));
      EXPECT_EQ(rig.radio->alignment().value, 0x44);
      new_value = (testing::WordOf(doc.image, 5) + 3) & 0xFFFF;
      testing::SetWord(doc.image, 5, new_value);
      return true;
    });
    EXPECT_EQ(result, DialogResult::kOk);
    EXPECT_EQ(testing::WordOf(rig.radio->memory(), 5), new_value);
    EXPECT_FALSE(rig.radio->alignment_mode());
    EXPECT_EQ(rig.doc.image, before) << "an alignment changes only the radio";
    EXPECT_FALSE(rig.link);
    EXPECT_GE(rig.log.delayed_ms, 3000) << "two mode switches";
  }
  {  // Fine alignment writes the channel blocks.
    AlignmentRig rig;
    const std::uint8_t was = rig.radio->memory()[8 * 128 + 11];
    const auto result = rig.Align(true, [&](AlignmentLink&, Codeplug& doc) {
      doc.image[8 * 128 + 11] ^= 0x0F;
      return true;
    });
    EXPECT_EQ(result, DialogResult::kOk);
    EXPECT_EQ(rig.radio->stats().block_writes[6], 1);
    EXPECT_EQ(rig.radio->memory()[8 * 128 + 11], was ^ 0x0F);
  }
  {  // Cancelled dialog: nothing is written back.
    AlignmentRig rig;
    const auto result = rig.Align(false, [](AlignmentLink& link, Codeplug&) {
      link.End();
      return false;
    });
    EXPECT_EQ(result, DialogResult::kOk);
    EXPECT_EQ(rig.radio->stats().words_written, 0);
  }
  {  // A radio that is not accepted never reaches the dialog.
    AlignmentRig rig(testing::Options([](auto& o) { o.product_code = 0x4444; }));
    bool opened = false;
    const auto result = rig.Align(false, [&](AlignmentLink&, Codeplug&) { return opened = true; });
    EXPECT_EQ(result, DialogResult::kFailed);
    EXPECT_FALSE(opened);
    testing::ExpectUntouched(rig);
  }
  {  // Nor does one whose settings blocks could not be read.
    // Silent while it reads the settings blocks.
    AlignmentRig rig(testing::Options([](auto& o) { o.faults.silent_after_bytes = 346; }));
    bool opened = false;
    rig.Align(false, [&](AlignmentLink&, Codeplug&) { return opened = true; });
    EXPECT_FALSE(opened);
    EXPECT_TRUE(rig.prompter.Saw(res::kStrCommunicationError) ||
                rig.prompter.Saw(res::kStrUploadError));
  }
}

}  // namespace
}  // namespace ql40::link
