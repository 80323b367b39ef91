#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace fw::sim {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

enum class LineState {
    Ok,
    TimedOut,
    HungUp,  // no PC holds the port open
    Stopped, // the simulator is being stopped
    Gone     // the line is closed for good
};

// Whether a wait for the PC ends when nobody holds the port open. Between jobs and between
// the steps of a chain the PC closes and opens the port again; during a job it means the PC
// has given up.
enum class OnHangup { End, KeepWaiting };

// The receiver's end of the cable: the master side of a pseudo-terminal. Every wait also
// watches the stop descriptor, so Stop ends any of them at once.
class PtyLine {
public:
    PtyLine(int masterFd, int stopFd);
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Pacing: bytes take 10 bit times at the line rate in both directions.
    void SetPacing(bool pacing, std::uint32_t fixedBaud);
    void SetBaud(std::uint32_t baud) { m_baud = baud; }
    std::uint32_t Baud() const { return m_baud; }

    // Waits until a byte is there, at most until deadline.
    LineState WaitForByte(Clock::time_point deadline, OnHangup onHangup);
    // count bytes; patience is the longest silence between two of them.
    LineState Read(std::string& out, std::size_t count, Millis patience);
    // Up to and without the 0x0D that ends a line. When maxBytes arrived without one, the
    // result is Ok with overlong set and out holding them.
    LineState ReadLine(std::string& out, std::size_t maxBytes, Millis patience, bool& overlong);
    // What arrives until the line has been quiet for quiet; the first byte must come within
    // firstPatience. Bytes beyond maxBytes are taken from the line but not kept.
    LineState ReadUntilQuiet(std::string& out, std::size_t maxBytes, Millis firstPatience,
                             Millis quiet);
    // The next byte when one has arrived already.
    bool TakeByte(unsigned char& byte);

    LineState Write(std::string_view bytes);
    LineState Pause(Millis duration);

    // Forgets what was received and not yet taken.
    void DropInput() { m_pending.clear(); }
    // True once since the last call when a wait saw that no PC held the port.
    bool TakeHangupSeen();
    // Closes the master: the PC sees a hang-up, and the line is gone.
    void Vanish();
    bool IsGone() const { return m_fd < 0; }

private:
    LineState Fill(Clock::time_point deadline, OnHangup onHangup);
    LineState WaitUntil(Clock::time_point when);
    LineState WriteAll(std::string_view bytes);
    // Where the receiver's work stands on the paced line's schedule.
    Clock::time_point ScheduleNow() const;
    std::uint32_t LineBaud() const;
    Clock::duration ByteTime(std::size_t count) const;
    bool Paced() const { return m_pacing || m_fixedBaud != 0; }

    int m_fd;
    int m_stopFd;
    std::string m_pending;
    std::size_t m_taken = 0;
    bool m_pacing = false;
    std::uint32_t m_fixedBaud = 0;
    std::uint32_t m_baud = 19200;
    bool m_hangupSeen = false;
    // When the PC's bytes now on their way can have been sent at the earliest.
    Clock::time_point m_inputEmptyAt{};
    Clock::time_point m_scheduleNow{};
    Clock::time_point m_readClock{};
    Clock::time_point m_writeClock{};
};

} // namespace fw::sim
