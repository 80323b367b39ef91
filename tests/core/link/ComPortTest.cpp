#include "core/link/ComPort.h"
#include "tests/support/PtyTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>

namespace fw {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<milliseconds>(Clock::now() - since).count());
}

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Ok()) << "no pseudo-terminal"; }

    void Open(CComPort& port, std::uint32_t baud = 19200) {
        ASSERT_EQ(port.OpenReadWrite(pty.Device(), baud, 8, 0, 0), 1) << port.LastOpenError();
    }

    test::PtyEnd pty;
};

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// The read deadline itself, measured on the clock: run alone (label "timing").
using ComPortTimingTest = ComPortTest;

TEST_F(ComPortTimingTest, ReadEndsAtDeadlineWithWhatArrived) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.SetReadTimeout(500), 1);
    char buffer[16] = {};
    std::size_t got = 99;

    // Silent line: success with nothing, after the whole time-out.
    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 9, got), 1);
    EXPECT_EQ(got, 0u);
    EXPECT_GE(ElapsedMs(start), 450);
    EXPECT_LT(ElapsedMs(start), 3000);

    // Three of five bytes, then silence.
    ASSERT_EQ(port.SetReadTimeout(200), 1);
    EXPECT_TRUE(pty.Send("abc"));
    EXPECT_EQ(port.Read(buffer, 5, got), 1);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(std::string(buffer, got), "abc");

    // Everything asked for returns at once, without waiting for the deadline.
    ASSERT_EQ(port.SetReadTimeout(5000), 1);
    EXPECT_TRUE(pty.Send("RECOK"));
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 5, got), 1);
    EXPECT_EQ(std::string(buffer, got), "RECOK");
    EXPECT_LT(ElapsedMs(start), 2500);
}

TEST_F(ComPortTest, ReadWithoutTimeoutWaitsForAllBytes) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.ReadTimeout(), 0u);
    std::thread late([this] {
        std::this_thread::sleep_for(milliseconds(150));
        EXPECT_TRUE(pty.Send("ZE"));
        std::this_thread::sleep_for(milliseconds(100));
        EXPECT_TRUE(pty.Send("B30"));
    });
    char buffer[8] = {};
    std::size_t got = 0;
    EXPECT_EQ(port.Read(buffer, 5, got), 1);
    late.join();
    EXPECT_EQ(std::string(buffer, got), "ZEB30");
}

TEST_F(ComPortTest, ReadStringStopsAtNul) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.SetReadTimeout(200), 1);
    std::string text = "stale";

    EXPECT_TRUE(pty.Send(std::string("V1.23 ZEB30\0X", 13)));
    EXPECT_EQ(port.ReadString(text), 1);
    EXPECT_EQ(text, "V1.23 ZEB30");
    // The byte after the NUL is left for the next read.
    char next = 0;
    std::size_t got = 0;
    EXPECT_EQ(port.Read(&next, 1, got), 1);
    EXPECT_EQ(next, 'X');

    EXPECT_TRUE(pty.Send("no end"));
    EXPECT_EQ(port.ReadString(text), 0);
}

TEST_F(ComPortTest, ReadStringGivesUpOnEndlessText) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.SetReadTimeout(30000), 1);
    std::thread chatter(
        [this] { EXPECT_TRUE(pty.Send(std::string(CComPort::kMaxStringLength + 100, 'x'))); });
    std::string text;
    const auto start = Clock::now();
    EXPECT_EQ(port.ReadString(text), 0);
    // Ended by the length limit, not by waiting for the time-out.
    EXPECT_LT(ElapsedMs(start), 15000);
    EXPECT_EQ(text.size(), CComPort::kMaxStringLength);
    chatter.join();
}

TEST_F(ComPortTest, FailedOpenLeavesObjectClosedWithReason) {
    CComPort port;
    const std::string missing = "/dev/flashwerk-no-such-port";
    EXPECT_EQ(port.OpenReadWrite(missing, 19200, 8, 0, 0), -1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Handle(), -1);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastOpenErrno(), ENOENT);
    EXPECT_EQ(port.LastOpenError().rfind(missing + ": ", 0), 0u) << port.LastOpenError();

    // A file that is no terminal must never receive firmware.
    EXPECT_EQ(port.OpenReadWrite("/dev/null", 19200, 8, 0, 0), -1);
    EXPECT_EQ(port.LastOpenErrno(), ENOTTY);
    EXPECT_NE(port.LastOpenError().find("not a serial port"), std::string::npos);

    // A line the system cannot run is no open port either.
    EXPECT_EQ(port.OpenReadWrite(pty.Device(), 12345, 8, 0, 0), -1);
    EXPECT_EQ(port.OpenReadWrite(pty.Device(), 19200, 8, 0, 1), -1);
    EXPECT_EQ(port.OpenReadWrite(pty.Device(), 19200, 9, 0, 0), -1);
    EXPECT_EQ(port.LastOpenErrno(), EINVAL);
    EXPECT_FALSE(port.IsOpen());

    // Success forgets the earlier failure.
    Open(port);
    EXPECT_EQ(port.LastOpenErrno(), 0);
    EXPECT_EQ(port.LastOpenError(), "");
}

TEST_F(ComPortTest, LineIsRawAndSetBaudRateKeepsTheRest) {
    CComPort port;
    Open(port, 19200);
    termios before{};
    ASSERT_EQ(::tcgetattr(port.Handle(), &before), 0);
    EXPECT_EQ(::cfgetospeed(&before), static_cast<speed_t>(B19200));
    EXPECT_EQ(before.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(before.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(before.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(before.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(before.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(before.c_oflag & OPOST, 0u);

    ASSERT_EQ(port.SetBaudRate(115200), 1);
    EXPECT_TRUE(port.IsOpen());
    termios after{};
    ASSERT_EQ(::tcgetattr(port.Handle(), &after), 0);
    EXPECT_EQ(::cfgetospeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(::cfgetispeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(after.c_cflag & ~CBAUD, before.c_cflag & ~CBAUD);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(port.Line(), (LineParams{115200, 8, 0, 0}));

    // A rate termios cannot express fails and leaves the line as it was.
    EXPECT_EQ(port.SetBaudRate(100000), 0);
    ASSERT_EQ(::tcgetattr(port.Handle(), &after), 0);
    EXPECT_EQ(::cfgetospeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(port.Line().baud, 115200u);
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(ComPortTest, SetLineParamsRefusesWhatTheLineCannotDo) {
    CComPort port;
    Open(port);
    termios t{};

    ASSERT_EQ(port.SetLineParams(38400, 8, 0, 2), 1);
    ASSERT_EQ(::tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8 | CSTOPB));

    ASSERT_EQ(port.SetLineParams(57600, 8, 0, 0), 1);
    EXPECT_EQ(port.SetLineParams(57600, 8, 3, 0), 0);
    EXPECT_EQ(port.SetLineParams(57600, 8, 0, 1), 0);
    EXPECT_EQ(port.SetLineParams(57600, 4, 0, 0), 0);
    // A pseudo-terminal always runs 8 bits without parity; a silent change would garble data.
    EXPECT_EQ(port.SetLineParams(57600, 7, 2, 0), 0);
    EXPECT_EQ(port.Line(), (LineParams{57600, 8, 0, 0}));
    ASSERT_EQ(::tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));

    // The opens without line parameters keep the object's settings, but zero the time-out.
    ASSERT_EQ(port.SetReadTimeout(700), 1);
    ASSERT_EQ(port.OpenReadOnly(pty.Device()), 1) << port.LastOpenError();
    EXPECT_EQ(port.ReadTimeout(), 0u);
    ASSERT_EQ(::tcgetattr(port.Handle(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B57600));
}

TEST_F(ComPortTest, SecondOpenOfTheSameDeviceFails) {
    CComPort first;
    CComPort second;
    Open(first);
    EXPECT_EQ(second.OpenReadWrite(pty.Device(), 19200, 8, 0, 0), -1);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.LastOpenErrno(), EBUSY);
    EXPECT_NE(second.LastOpenError().find("in use"), std::string::npos);
    EXPECT_EQ(second.OpenWriteOnly(pty.Device()), -1);

    // The refused open did not disturb the owner.
    std::size_t put = 0;
    EXPECT_EQ(first.Write("ok", 2, put), 1);
    EXPECT_EQ(pty.Receive(2), "ok");

    first.Close();
    EXPECT_EQ(second.OpenReadWrite(pty.Device(), 19200, 8, 0, 0), 1) << second.LastOpenError();
}

TEST_F(ComPortTest, ReopenClosesTheOldHandle) {
    test::PtyEnd other;
    ASSERT_TRUE(other.Ok());
    const int baseline = OpenDescriptors();
    {
        CComPort port;
        Open(port);
        // Would be refused as "in use" if the old descriptor still held the device.
        Open(port);
        EXPECT_EQ(OpenDescriptors(), baseline + 1);

        ASSERT_EQ(port.OpenReadWrite(other.Device(), 19200, 8, 0, 0), 1);
        EXPECT_EQ(OpenDescriptors(), baseline + 1);
        CComPort another;
        EXPECT_EQ(another.OpenReadWrite(pty.Device(), 19200, 8, 0, 0), 1)
            << another.LastOpenError();
        // A failed open closes what was open before it.
        EXPECT_EQ(another.OpenReadWrite("/dev/flashwerk-no-such-port", 19200, 8, 0, 0), -1);
        EXPECT_EQ(OpenDescriptors(), baseline + 1);
    }
    EXPECT_EQ(OpenDescriptors(), baseline);
}

TEST_F(ComPortTest, OperationsOutsideTheOpenModeFail) {
    char buffer[4] = {};
    std::size_t count = 7;
    CComPort port;
    EXPECT_EQ(port.Read(buffer, 4, count), -1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(port.Write("abcd", 4, count), -1);
    EXPECT_EQ(port.SetBaudRate(19200), 0);
    EXPECT_EQ(port.SetReadTimeout(100), 0);
    EXPECT_EQ(port.Purge(15), 0);
    std::string text;
    EXPECT_EQ(port.ReadString(text), 0);

    ASSERT_EQ(port.OpenReadOnly(pty.Device(), 19200, 8, 0, 0), 1);
    EXPECT_EQ(port.Write("abcd", 4, count), -1);
    ASSERT_EQ(port.OpenWriteOnly(pty.Device(), 19200, 8, 0, 0), 1);
    EXPECT_EQ(port.Read(buffer, 4, count), -1);
    EXPECT_EQ(port.Write("abcd", 4, count), 1);
    EXPECT_EQ(pty.Receive(4), "abcd");

    port.Close();
    EXPECT_EQ(port.Read(buffer, 4, count), -1);
}

TEST_F(ComPortTest, VanishedLineIsAFailure) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.SetReadTimeout(30000), 1);
    pty.Close();
    char buffer[5] = {};
    std::size_t got = 0;
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 5, got), -1);
    // At once, not after the time-out.
    EXPECT_LT(ElapsedMs(start), 15000);
    EXPECT_EQ(port.Write("abc", 3, got), -1);
}

TEST_F(ComPortTest, LargeWriteArrivesComplete) {
    CComPort port;
    Open(port, 115200);
    std::string block(256 * 1024, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);

    std::string received;
    std::thread receiver([&] { received = pty.Receive(block.size(), 10000); });
    std::size_t put = 0;
    EXPECT_EQ(port.Write(block.data(), block.size(), put), 1);
    EXPECT_EQ(put, block.size());
    receiver.join();
    EXPECT_EQ(received.size(), block.size());
    EXPECT_TRUE(received == block);
}

TEST_F(ComPortTest, BytesReadAheadKeepTheirOrderAndSurviveABaudChangeButNotAPurge) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.SetReadTimeout(2000), 1);
    // The detection reply and the model reply arrive together, as on a busy machine.
    EXPECT_TRUE(pty.Send("RECOK 1.1ZEB30tail"));
    char buffer[16] = {};
    std::size_t got = 0;
    ASSERT_EQ(port.Read(buffer, 9, got), 1);
    EXPECT_EQ(std::string(buffer, got), "RECOK 1.1");
    ASSERT_EQ(port.SetBaudRate(115200), 1);
    ASSERT_EQ(port.Read(buffer, 5, got), 1);
    EXPECT_EQ(std::string(buffer, got), "ZEB30");
    // Byte by byte, as the jobs read.
    ASSERT_EQ(port.Read(buffer, 1, got), 1);
    EXPECT_EQ(std::string(buffer, got), "t");

    ASSERT_EQ(port.SetReadTimeout(100), 1);
    EXPECT_EQ(port.Purge(12), 1);
    EXPECT_EQ(port.Read(buffer, 3, got), 1);
    EXPECT_EQ(got, 0u);
}

TEST_F(ComPortTest, PurgeDropsWaitingInput) {
    CComPort port;
    Open(port);
    ASSERT_EQ(port.SetReadTimeout(100), 1);
    EXPECT_TRUE(pty.Send("garbage"));
    pollfd entry{port.Handle(), POLLIN, 0};
    ASSERT_EQ(::poll(&entry, 1, 2000), 1);

    EXPECT_EQ(port.Purge(12), 1);
    char buffer[8] = {};
    std::size_t got = 9;
    EXPECT_EQ(port.Read(buffer, 8, got), 1);
    EXPECT_EQ(got, 0u);

    EXPECT_EQ(port.Purge(15), 1);
    EXPECT_EQ(port.Purge(0x10), 0);
}

// What the port wrote has left it on a pseudo-terminal as it would have on a real line by the
// time a job purges: the far end still gets it.
TEST_F(ComPortTest, PurgeKeepsWhatWasWrittenOnAPseudoTerminal) {
    CComPort port;
    Open(port);
    std::size_t written = 0;
    ASSERT_EQ(port.Write("RECOK", 5, written), 1);
    EXPECT_EQ(port.Purge(15), 1);
    EXPECT_EQ(pty.Receive(5, 2000), "RECOK");
}

} // namespace
} // namespace fw
