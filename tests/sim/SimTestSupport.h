#pragma once

#include "sim/ReceiverSimulator.h"
#include "sim/Wire.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fw::sim::test {

using Clock = std::chrono::steady_clock;

inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

// The PC's end of the cable, in plain POSIX as a port would use it.
class PcPort {
public:
    explicit PcPort(const std::string& device) {
        m_fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios raw{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~PcPort() { Close(); }
    PcPort(const PcPort&) = delete;
    PcPort& operator=(const PcPort&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    void Close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    void Purge() { ::tcflush(m_fd, TCIOFLUSH); }

    bool Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t put = ::write(m_fd, bytes.data(), bytes.size());
            if (put <= 0)
                return false;
            m_bytesMoved += static_cast<std::size_t>(put);
            bytes.remove_prefix(static_cast<std::size_t>(put));
        }
        return true;
    }

    // What arrives within the time, up to count bytes.
    std::string Receive(std::size_t count, int timeoutMs = 3000) {
        std::string got;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        char chunk[4096];
        while (got.size() < count) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd entry{m_fd, POLLIN, 0};
            if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
                break;
            const ssize_t n = ::read(m_fd, chunk, std::min(sizeof chunk, count - got.size()));
            if (n <= 0)
                break;
            got.append(chunk, static_cast<std::size_t>(n));
        }
        m_bytesMoved += got.size();
        return got;
    }

    // Bytes sent and received so far: what the line carried.
    std::size_t BytesMoved() const { return m_bytesMoved; }

    // True when nothing more arrives for a while.
    bool StaysQuiet(int ms = 100) { return Receive(1, ms).empty(); }

    // Up to and with the 0x0D that ends a line.
    std::string ReceiveLine(int timeoutMs = 3000) {
        std::string line;
        while (line.empty() || line.back() != '\r') {
            const std::string byte = Receive(1, timeoutMs);
            if (byte.empty())
                break;
            line += byte;
        }
        return line;
    }

    // True when the receiver's end of the line has closed.
    bool SeesHangup(int timeoutMs = 3000) {
        pollfd entry{m_fd, POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0)
            return false;
        char byte = 0;
        return (entry.revents & POLLHUP) != 0 || ::read(m_fd, &byte, 1) <= 0;
    }

    // Frame, detection reply and model reply as the PC's detection does them.
    std::string Detect(std::string_view command, std::uint32_t baud = 115200) {
        Send(BuildCommandFrame(command, baud));
        const std::string detection = Receive(9);
        EXPECT_EQ(detection.substr(0, 6), "RECOK ");
        return Receive(5);
    }

private:
    int m_fd = -1;
    std::size_t m_bytesMoved = 0;
};

// A simulator opened and serving for the length of a test.
class Running {
public:
    explicit Running(SimulatorOptions options = {}) : m_simulator(std::move(options)) {
        std::string reason;
        m_open = m_simulator.Open(reason);
        EXPECT_TRUE(m_open) << reason;
        m_simulator.Start();
    }

    ReceiverSimulator& operator*() { return m_simulator; }
    ReceiverSimulator* operator->() { return &m_simulator; }
    const std::string& Device() const { return m_simulator.DevicePath(); }

    // Waits until the simulator has ended count jobs.
    bool WaitForJobs(int count, int timeoutMs = 3000) const {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_simulator.JobsFinished() < count) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // The simulator's log, for failure messages.
    std::string Log() const {
        std::string text = "simulator events:\n";
        for (const std::string& event : m_simulator.Events())
            text += "  " + event + "\n";
        return text;
    }

private:
    ReceiverSimulator m_simulator;
    bool m_open = false;
};

inline const std::string kEmptyLine = "\t\t\t\t\t\t\t\t\t";

// The PC's side of a list send after detection: every line, bank header and bank data must
// be answered with 0x0D. The erase result is left to the caller.
inline ::testing::AssertionResult SendLines(PcPort& pc, const std::vector<std::string>& lines) {
    for (std::size_t k = 0; k < lines.size(); ++k) {
        pc.Send(lines[k] + "\r");
        if (pc.Receive(1) != "\r")
            return ::testing::AssertionFailure() << "no 0x0D for line " << k;
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SendList(PcPort& pc, const std::vector<std::string>& lines,
                                           const Banks& banks = {}) {
    if (::testing::AssertionResult sent = SendLines(pc, lines); !sent)
        return sent;
    for (std::size_t bank = 0; bank < banks.size(); ++bank) {
        std::string data;
        for (const std::uint16_t entry : banks[bank])
            data += U16BE(entry);
        pc.Send("\r" + U16BE(static_cast<std::uint32_t>(data.size())));
        if (pc.Receive(1) != "\r")
            return ::testing::AssertionFailure() << "no 0x0D for bank " << bank;
        if (!data.empty() && (!pc.Send(data) || pc.Receive(1) != "\r"))
            return ::testing::AssertionFailure() << "no 0x0D for the data of bank " << bank;
    }
    return ::testing::AssertionSuccess();
}

// The PC's side of a list load after detection: every line and bank arrives as expected and is
// answered with 0x0D.
inline ::testing::AssertionResult LoadList(PcPort& pc, const std::vector<std::string>& lines,
                                           const Banks& banks = {}) {
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (const std::string line = pc.Receive(lines[k].size() + 1); line != lines[k] + "\r")
            return ::testing::AssertionFailure() << "line " << k << " is \"" << line << '"';
        pc.Send("\r");
    }
    for (std::size_t bank = 0; bank < banks.size(); ++bank) {
        std::string data;
        for (const std::uint16_t entry : banks[bank])
            data += U16BE(entry);
        if (pc.Receive(3) != "\r" + U16BE(static_cast<std::uint32_t>(data.size())))
            return ::testing::AssertionFailure() << "bank " << bank << " has the wrong header";
        pc.Send("\r");
        if (!data.empty() && pc.Receive(data.size()) != data)
            return ::testing::AssertionFailure() << "bank " << bank << " has the wrong data";
        if (!data.empty())
            pc.Send("\r");
    }
    return ::testing::AssertionSuccess();
}

// capacity empty places with the given lines in front.
inline std::vector<std::string> PlacesWith(std::size_t capacity, std::vector<std::string> front) {
    front.resize(capacity, kEmptyLine);
    return front;
}

// A program line as the program writes one: eleven valid fields.
inline std::string ProgramLine(int index) {
    return "\tProgram " + std::to_string(index) + "\t11778\tH\t27500\t3\\4\t" +
           std::to_string(100 + index) + "\t255\t256\t255\t1";
}

} // namespace fw::sim::test
