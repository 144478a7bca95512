#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/maintenance.h"
#include "link/ports/posix_serial_port.h"
#include "link/trace.h"
#include "link_fakes.h"
#include "support/test_support.h"

namespace ql40::link {
namespace {

using testing::ScriptPort;
using Kind = ScriptPort::Kind;

TEST(SerialPort, ResultCodesOfTheByteOperations) {
  ScriptPort port;
  std::vector<std::uint8_t> big(kMaxWrite + 1, 0x55);
  EXPECT_EQ(port.Write(big.data(), big.size()), 0);
  EXPECT_EQ(port.write_calls, 0) << "an oversized write sends nothing";
  EXPECT_EQ(port.Write(big.data(), kMaxWrite), 1);
  port.PurgeReceive();

  // A line error is reported by the read that finds it, consumes nothing, and is cleared.
  port.echo = false;
  port.Add(Kind::kLineError);
  port.Byte(0x42);
  std::uint8_t b = 0;
  std::size_t n = 9;
  EXPECT_EQ(port.ReadOne(&b, &n), 1);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(port.ReadOne(&b, &n), 0);
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(b, 0x42);

  // Nothing within the time-out: PollByte says 2, WaitByte 0 and leaves the byte alone.
  port.Add(Kind::kTimeout);
  EXPECT_EQ(port.PollByte(&b), 2);
  port.Add(Kind::kTimeout);
  b = 0x77;
  EXPECT_EQ(port.WaitByte(&b), 0);
  EXPECT_EQ(b, 0x77);
  port.Add(Kind::kCallFails);
  EXPECT_EQ(port.WaitByte(&b), 1);
  port.Add(Kind::kCallFails);
  EXPECT_EQ(port.ReadOne(&b, &n), 2);

  // ReadExact: short is 2, a line error 1.
  std::uint8_t buf[4];
  port.Byte(1);
  port.Byte(2);
  port.Add(Kind::kTimeout);
  std::size_t got = 0;
  EXPECT_EQ(port.ReadCounted(buf, 4, &got), 2);
  EXPECT_EQ(got, 2u);
  port.Add(Kind::kLineError);
  EXPECT_EQ(port.ReadExact(buf, 1), 1);
}

TEST(SerialPort, EchoDecidesWhetherASendWorked) {
  ScriptPort port;
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
  PortNames names;
  EXPECT_EQ(PortNames::ComNumber("COM3"), 3);
  EXPECT_EQ(PortNames::ComNumber("com2"), 2);
  EXPECT_EQ(PortNames::ComNumber("COM5"), 0);
  EXPECT_EQ(PortNames::ComNumber("/dev/ttyS0"), 0);
  // Port numbers outside 1 to 4 open COM1.
  EXPECT_EQ(names.DeviceOf(0), names.DeviceOf(1));
  EXPECT_EQ(names.DeviceOf(5), names.DeviceOf(1));
  names.SetDevice(2, "/dev/ttyACM0");
  EXPECT_EQ(names.Resolve("COM2"), "/dev/ttyACM0");
  EXPECT_EQ(names.Resolve("/dev/pts/9"), "/dev/pts/9");
  EXPECT_EQ(PortLabel("COM4"), "4");
  EXPECT_EQ(PortLabel("/dev/pts/9"), " /dev/pts/9");

  PortOpenError denied{PortOpenError::Kind::kPermission, "/dev/ttyUSB0", "Permission denied"};
  EXPECT_NE(OpenErrorHint(denied).find("dialout"), std::string::npos);
  EXPECT_EQ(OpenErrorHint(PortOpenError{}), "");
}

TEST(SerialPort, AccessCode) {
  EXPECT_TRUE(CheckAccessCode("tsuki-hanae"));
  EXPECT_TRUE(CheckAccessCode("TSUKI-Hanae"));
  EXPECT_FALSE(CheckAccessCode("tsuki-hanae "));
  EXPECT_FALSE(CheckAccessCode("tsuki"));
  EXPECT_FALSE(CheckAccessCode(""));
}

// The termios port on a real pseudo-terminal: the test holds the other end.
TEST(PosixSerialPort, BytesTimeOutsAndOpenFailures) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  ::close(slave);

  testing::TempDir dir;
  PortOpenError error;
  auto port = OpenSystemPort(name, kAlignmentReadConstantMs, &error);
  ASSERT_TRUE(port) << error.detail;
  auto trace = std::make_unique<FileTrace>(dir.File("trace.txt"));
  port->set_trace(trace.get());

  const std::uint8_t out[] = {0x50, 0x51, 0x52};
  ASSERT_EQ(::write(master, out, sizeof out), 3);
  std::uint8_t in[3] = {};
  EXPECT_EQ(port->ReadExact(in, 3), 0);
  EXPECT_EQ(in[2], 0x52);
  std::uint8_t b = 0;
  EXPECT_EQ(port->PollByte(&b), 2) << "nothing pending is a time-out";
  const std::uint8_t tx = 0x40;
  EXPECT_EQ(port->Write(&tx, 1), 1);
  std::uint8_t seen = 0;
  ASSERT_EQ(::read(master, &seen, 1), 1);
  EXPECT_EQ(seen, 0x40);
  // Bytes pending when the receive side is purged are gone.
  ASSERT_EQ(::write(master, out, 1), 1);
  ::usleep(20000);
  port->PurgeReceive();
  EXPECT_EQ(port->PollByte(&b), 2);
  port.reset();
  trace.reset();
  const auto lines = testing::ReadAll(dir.File("trace.txt"));
  const std::string text(lines.begin(), lines.end());
  EXPECT_NE(text.find("< 50 51 52"), std::string::npos) << text;
  EXPECT_NE(text.find("> 40"), std::string::npos) << text;

  // The other end gone: reads fail instead of waiting.
  port = OpenSystemPort(name, kAlignmentReadConstantMs, &error);
  ASSERT_TRUE(port);
  ::close(master);
  std::size_t count = 0;
  EXPECT_EQ(port->ReadOne(&b, &count), 2);
  port.reset();

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
