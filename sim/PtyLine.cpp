#include "sim/PtyLine.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <time.h>
#include <unistd.h>

namespace fw::sim {
namespace {

// How often a wait looks again whether a PC has opened the port: poll reports a hang-up at
// once and for as long as nobody holds the slave.
constexpr Millis kHangupRecheck{10};
// Paced bytes go out in slices of about this length, so that timing stays even without a
// system call per byte.
constexpr auto kPaceSlice = std::chrono::microseconds(5000);
// How far behind the clock the receiver's schedule may be when it goes on from it: a late
// wake-up of its thread is made up for, a longer stall is not.
constexpr auto kCatchUp = std::chrono::milliseconds(5);
constexpr std::size_t kReadChunk = 4096;
// Paced reads take small bites, so that each is handed on when it would have arrived.
constexpr std::size_t kPacedReadChunk = 64;

// poll() until deadline with nanosecond precision: a paced byte at 115200 baud takes 87 us,
// so a wait rounded up to whole milliseconds would slow the line down many times over.
int PollUntil(pollfd* entries, nfds_t count, Clock::time_point deadline) {
    if (deadline == Clock::time_point::max())
        return ::ppoll(entries, count, nullptr, nullptr);
    const auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec timeout{static_cast<time_t>(seconds.count()),
                           static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
    return ::ppoll(entries, count, &timeout, nullptr);
}

Clock::time_point After(Millis duration) {
    return Clock::now() + duration;
}

} // namespace

PtyLine::PtyLine(int masterFd, int stopFd) : m_fd(masterFd), m_stopFd(stopFd) {}

PtyLine::~PtyLine() {
    Vanish();
}

void PtyLine::SetPacing(bool pacing, std::uint32_t fixedBaud) {
    m_pacing = pacing;
    m_fixedBaud = fixedBaud;
}

std::uint32_t PtyLine::LineBaud() const {
    return m_fixedBaud != 0 ? m_fixedBaud : std::max<std::uint32_t>(m_baud, 1);
}

Clock::duration PtyLine::ByteTime(std::size_t count) const {
    const auto nanos = static_cast<long long>(count) * 10 * 1000000000 / LineBaud();
    return std::chrono::nanoseconds(nanos);
}

bool PtyLine::TakeHangupSeen() {
    const bool seen = m_hangupSeen;
    m_hangupSeen = false;
    return seen;
}

void PtyLine::Vanish() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_pending.clear();
    m_taken = 0;
}

LineState PtyLine::WaitUntil(Clock::time_point when) {
    for (;;) {
        pollfd stop{m_stopFd, POLLIN, 0};
        const int ready = PollUntil(&stop, 1, when);
        if (ready > 0)
            return LineState::Stopped;
        if (ready < 0 && errno != EINTR)
            return LineState::Stopped;
        if (Clock::now() >= when)
            return LineState::Ok;
    }
}

Clock::time_point PtyLine::ScheduleNow() const {
    return std::max(m_scheduleNow, Clock::now() - kCatchUp);
}

LineState PtyLine::Pause(Millis duration) {
    if (!Paced())
        return WaitUntil(After(duration));
    m_scheduleNow = ScheduleNow() + duration;
    return WaitUntil(m_scheduleNow);
}

LineState PtyLine::Fill(Clock::time_point deadline, OnHangup onHangup) {
    for (;;) {
        if (m_fd < 0)
            return LineState::Gone;
        pollfd entries[2] = {{m_fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        // Bytes queued already were sent some time after the line was last seen empty;
        // bytes that come while this call waits were sent when they came.
        const bool queued = !Paced() || PollUntil(entries, 1, Clock::time_point{}) != 0;
        const int ready = PollUntil(entries, 2, deadline);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return LineState::Gone;
        }
        if (entries[1].revents != 0)
            return LineState::Stopped;
        if (ready == 0)
            return LineState::TimedOut;
        if ((entries[0].revents & POLLNVAL) != 0)
            return LineState::Gone;

        bool hungUp = (entries[0].revents & POLLIN) == 0;
        if (!hungUp) {
            char chunk[kReadChunk];
            const ssize_t got = ::read(m_fd, chunk, Paced() ? kPacedReadChunk : sizeof chunk);
            if (got > 0) {
                if (m_taken == m_pending.size()) {
                    m_pending.clear();
                    m_taken = 0;
                }
                m_pending.append(chunk, static_cast<std::size_t>(got));
                if (Paced()) {
                    // Queued bytes follow the earlier ones on the schedule, so that a late
                    // wake-up is not added to every chunk. Taking them only when they would
                    // have arrived holds back a PC that writes faster than the line.
                    if (!queued)
                        m_inputEmptyAt = Clock::now();
                    m_readClock = std::max(m_inputEmptyAt, m_readClock) +
                                  ByteTime(static_cast<std::size_t>(got));
                    m_scheduleNow = std::max(m_scheduleNow, m_readClock);
                    return WaitUntil(m_readClock);
                }
                return LineState::Ok;
            }
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            hungUp = true; // EIO: the slave side is closed
        }
        if (onHangup == OnHangup::End)
            return LineState::HungUp;
        m_hangupSeen = true;
        const Clock::time_point recheck = std::min(deadline, After(kHangupRecheck));
        if (WaitUntil(recheck) == LineState::Stopped)
            return LineState::Stopped;
        if (Clock::now() >= deadline)
            return LineState::TimedOut;
    }
}

LineState PtyLine::WaitForByte(Clock::time_point deadline, OnHangup onHangup) {
    if (m_taken < m_pending.size())
        return LineState::Ok;
    return Fill(deadline, onHangup);
}

bool PtyLine::TakeByte(unsigned char& byte) {
    if (m_taken == m_pending.size())
        return false;
    byte = static_cast<unsigned char>(m_pending[m_taken++]);
    return true;
}

LineState PtyLine::Read(std::string& out, std::size_t count, Millis patience) {
    out.clear();
    while (out.size() < count) {
        if (m_taken == m_pending.size()) {
            const LineState state = Fill(After(patience), OnHangup::End);
            if (state != LineState::Ok)
                return state;
            continue;
        }
        const std::size_t take = std::min(count - out.size(), m_pending.size() - m_taken);
        out.append(m_pending, m_taken, take);
        m_taken += take;
    }
    return LineState::Ok;
}

LineState PtyLine::ReadLine(std::string& out, std::size_t maxBytes, Millis patience,
                            bool& overlong) {
    out.clear();
    overlong = false;
    while (out.size() < maxBytes) {
        if (m_taken == m_pending.size()) {
            const LineState state = Fill(After(patience), OnHangup::End);
            if (state != LineState::Ok)
                return state;
            continue;
        }
        const char byte = m_pending[m_taken++];
        if (static_cast<unsigned char>(byte) == 0x0D)
            return LineState::Ok;
        out.push_back(byte);
    }
    overlong = true;
    return LineState::Ok;
}

LineState PtyLine::ReadUntilQuiet(std::string& out, std::size_t maxBytes, Millis firstPatience,
                                  Millis quiet) {
    out.clear();
    LineState state = WaitForByte(After(firstPatience), OnHangup::End);
    while (state == LineState::Ok) {
        const std::size_t take = std::min(m_pending.size() - m_taken, maxBytes - out.size());
        out.append(m_pending, m_taken, take);
        m_taken = m_pending.size(); // what does not fit is dropped
        state = Fill(After(quiet), OnHangup::End);
    }
    return state == LineState::TimedOut ? LineState::Ok : state;
}

LineState PtyLine::WriteAll(std::string_view bytes) {
    // On a cable, bytes sent while the PC's port is closed are lost; a pseudo-terminal would
    // keep them for whoever opens it next.
    pollfd probe{m_fd, POLLOUT, 0};
    if (m_fd >= 0 && ::poll(&probe, 1, 0) > 0 && (probe.revents & POLLHUP) != 0)
        return LineState::HungUp;
    while (!bytes.empty()) {
        if (m_fd < 0)
            return LineState::Gone;
        const ssize_t put = ::write(m_fd, bytes.data(), bytes.size());
        if (put > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN)
            return LineState::HungUp;
        // The PC is not reading; wait until there is room again.
        pollfd entries[2] = {{m_fd, POLLOUT, 0}, {m_stopFd, POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 && errno != EINTR)
            return LineState::Gone;
        if (entries[1].revents != 0)
            return LineState::Stopped;
        if ((entries[0].revents & (POLLHUP | POLLERR)) != 0 && (entries[0].revents & POLLOUT) == 0)
            return LineState::HungUp;
    }
    return LineState::Ok;
}

LineState PtyLine::Write(std::string_view bytes) {
    if (!Paced())
        return WriteAll(bytes);
    const auto bytesPerPaceSlice = static_cast<std::size_t>(std::max<long long>(
        1, static_cast<long long>(LineBaud()) / 10 * kPaceSlice.count() / 1000000));
    // Even slices of one to two pace slices: a short tail of its own would cost the thread
    // one more wake-up.
    const std::size_t slices = std::max<std::size_t>(1, bytes.size() / bytesPerPaceSlice);
    const std::size_t perSlice = (bytes.size() + slices - 1) / slices;
    // The receiver answers when what it answers has arrived, not when its thread woke up
    // after that; the slices of one write follow each other on the schedule.
    m_writeClock = std::max(ScheduleNow(), m_writeClock);
    while (!bytes.empty()) {
        const std::string_view slice = bytes.substr(0, perSlice);
        // A byte reaches the PC once its last bit has been sent.
        m_writeClock += ByteTime(slice.size());
        LineState state = WaitUntil(m_writeClock);
        if (state == LineState::Ok)
            state = WriteAll(slice);
        if (state != LineState::Ok)
            return state;
        bytes.remove_prefix(slice.size());
    }
    // The PC has seen the bytes only now: what follows them, and its answer, comes after.
    m_scheduleNow = Clock::now();
    m_inputEmptyAt = std::max(m_inputEmptyAt, m_scheduleNow);
    return LineState::Ok;
}

} // namespace fw::sim
