#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/ports/posix_serial_port.h"
#include "link_rig.h"
#include "support/test_support.h"

namespace ql40::link {
namespace {

using testing::ScriptPort;

// Line errors, time-outs and failed calls reach the byte operations' result codes in the clone
// session's tests; what those do not provoke is here.
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
  PortOpenError denied{PortOpenError::Kind::kPermission, "/dev/ttyUSB0", "Permission denied"};
  EXPECT_NE(OpenErrorHint(denied).find("dialout"), std::string::npos);
}

// The termios port on a real pseudo-terminal: the test holds the other end. Transfers over it
// are proven by the end-to-end tests; here are its own corners.
TEST(PosixSerialPort, PurgeTimeOutsAndOpenFailures) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  PortOpenError error;
  auto port = OpenSystemPort(name, kAlignmentReadConstantMs, &error);
  ASSERT_TRUE(port) << error.detail;
  // Bytes pending when the receive side is purged are gone. The pty hands them over from a
  // kernel work queue: wait until both are really there, however busy the machine.
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

}  // namespace
}  // namespace ql40::link
