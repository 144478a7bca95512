#include "link/alignment_link.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/ports/posix_serial_port.h"
#endif

#include "link/frame.h"
#include "link/serial_port.h"
#include "link_rig.h"
#include "support/test_support.h"

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

using AlignmentRig = testing::LinkRig;

TEST(AlignmentCommand, DrivesTheRadioAndLeavesTheDocument) {
  {
    AlignmentRig rig;
    const Image before = rig.doc.image;
    int new_value = -1;
    const auto result = rig.Align(false, [&](AlignmentLink& link, Codeplug& doc) {
      EXPECT_TRUE(rig.radio->alignment_mode());
      EXPECT_TRUE(testing::SameBytes(doc.image, rig.radio->memory(), 0, 168)) << "the radio's data";
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
  {  // A radio that is not accepted never reaches the dialog.
    AlignmentRig rig(testing::Options([](auto& o) { o.product_code = 0x4444; }));
    bool opened = false;
    const auto result = rig.Align(false, [&](AlignmentLink&, Codeplug&) { return opened = true; });
    EXPECT_EQ(result, DialogResult::kFailed);
    EXPECT_FALSE(opened);
    testing::ExpectUntouched(rig);
  }
  {  // Nor does one that goes silent while it reads the settings blocks.
    AlignmentRig rig(testing::Options([](auto& o) { o.faults.silent_after_bytes = 346; }));
    bool opened = false;
    rig.Align(false, [&](AlignmentLink&, Codeplug&) { return opened = true; });
    EXPECT_FALSE(opened);
    EXPECT_TRUE(rig.prompter.Saw(res::kStrCommunicationError) ||
                rig.prompter.Saw(res::kStrUploadError));
  }
}

TEST(SerialPort, OversizedWritesAndEchoesDecideWhetherASendWorked) {
  ScriptPort port;
  std::vector<std::uint8_t> big(kMaxWrite + 1, 0x55);
  EXPECT_EQ(port.Write(big.data(), big.size()), 0);
  EXPECT_EQ(port.write_calls, 0) << "an oversized write sends nothing";
  port.PurgeReceive();
  EXPECT_EQ(port.SendByte(0xF0), 0);
  port.echo = false;  // no cable: the write works, the echo never comes
  EXPECT_EQ(port.SendByte(0xF0), 1);
  port.echo = true;
  port.garble = true;  // the line changed the byte on its way
  EXPECT_EQ(port.SendByte(0xF0), 1);
  port.garble = false;
  std::uint8_t frame[] = {0xF0, 0x02, 0x05, 0xF7};
  EXPECT_EQ(port.WriteEcho(frame, sizeof frame), 1);
  std::vector<std::uint8_t> long_frame(100, 0xAA);
  EXPECT_EQ(port.WriteEcho(long_frame.data(), long_frame.size()), 1);
}

TEST(SerialPort, PortNamesAndHints) {
  EXPECT_EQ(PortNames::ComNumber("com2"), 2);
  EXPECT_EQ(PortNames::ComNumber("COM5"), 0);
  PortNames names;
  EXPECT_EQ(names.DeviceOf(5), names.DeviceOf(1)) << "numbers outside 1 to 4 open COM1";
  names.SetDevice(2, "/dev/ttyACM0");
  EXPECT_EQ(names.Resolve("COM2"), "/dev/ttyACM0");
  EXPECT_EQ(names.Resolve("/dev/pts/9"), "/dev/pts/9");
  EXPECT_EQ(PortLabel("COM4"), "4");
  EXPECT_EQ(PortLabel("/dev/pts/9"), " /dev/pts/9");
#if defined(_WIN32)
  EXPECT_EQ(PortNames().DeviceOf(3), "COM3");
  PortOpenError denied{PortOpenError::Kind::kPermission, "COM3", "system error 5"};
  EXPECT_EQ(OpenErrorHint(denied),
            "COM3: access refused; close any other program that uses the port");
#else
  PortOpenError denied{PortOpenError::Kind::kPermission, "/dev/ttyUSB0", "Permission denied"};
  EXPECT_NE(OpenErrorHint(denied).find("dialout"), std::string::npos);
#endif
}

#if !defined(_WIN32)

// The termios port on a real pseudo-terminal; the test holds the other end.
TEST(PosixSerialPort, PurgeTimeOutsAndOpenFailures) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  PortOpenError error;
  auto port = OpenSystemPort(name, kAlignmentReadConstantMs, &error);
  ASSERT_TRUE(port) << error.detail;
  // Pending bytes go with a purge; wait until the pty has really handed both over.
  const std::uint8_t out[] = {0x50, 0x51};
  ASSERT_EQ(::write(master, out, 2), 2);
  int pending = 0;
  for (int i = 0; i < 500 && pending < 2; ++i) {
    if (::ioctl(slave, FIONREAD, &pending) != 0) break;
    if (pending < 2) ::usleep(10000);
  }
  EXPECT_EQ(pending, 2);
  ::close(slave);
  port->PurgeReceive();
  std::uint8_t b = 0;
  EXPECT_EQ(port->PollByte(&b), 2) << "nothing pending is a time-out";
  ASSERT_EQ(::write(master, out + 1, 1), 1);
  EXPECT_EQ(port->PollByte(&b), 0);
  EXPECT_EQ(b, 0x51);
  // The other end gone: reads fail instead of waiting.
  ::close(master);
  std::size_t count = 0;
  EXPECT_EQ(port->ReadOne(&b, &count), 2);
  port.reset();

  // The exclusive hold ends with the port, also while the device stays (a radio on a pty).
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  port = OpenSystemPort(name, 500, &error);
  ASSERT_TRUE(port) << error.detail;
  int exclusive = 0;
  ASSERT_EQ(::ioctl(slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  port.reset();
  ASSERT_EQ(::ioctl(slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0) << "the next program on the port would be refused";
  ::close(slave);
  ::close(master);

  testing::TempDir dir;
  EXPECT_FALSE(OpenSystemPort(dir.File("no-such-tty"), 500, &error));
  EXPECT_EQ(error.kind, PortOpenError::Kind::kNotFound);
  testing::WriteAll(dir.File("plain"), {1, 2, 3});
  EXPECT_FALSE(OpenSystemPort(dir.File("plain"), 500, &error)) << "not a terminal";
  if (!testing::RunningAsRoot()) {
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::chmod(name, 0);
    EXPECT_FALSE(OpenSystemPort(name, 500, &error));
    EXPECT_EQ(error.kind, PortOpenError::Kind::kPermission);
    ::close(slave);
    ::close(master);
  }
}

#endif  // !_WIN32

}  // namespace
}  // namespace ql40::link
