#include "core/link/ComPort.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace fw {
namespace {

struct Rate {
    std::uint32_t baud;
    speed_t speed;
};

constexpr Rate kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},
#ifdef B4000000
    {460800, B460800},   {500000, B500000},   {576000, B576000},   {921600, B921600},
    {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
    {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
#endif
};

// Only the fixed termios rates; anything else would silently run at another speed.
std::optional<speed_t> SpeedFor(std::uint32_t baud) {
    for (const Rate& rate : kRates) {
        if (rate.baud == baud)
            return rate.speed;
    }
    return std::nullopt;
}

tcflag_t SizeFlag(int dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

bool ValidLine(const LineParams& line) {
    return SpeedFor(line.baud) && line.dataBits >= 5 && line.dataBits <= 8 && line.parity >= 0 &&
           line.parity <= 2 && (line.stopBits == 0 || line.stopBits == 2);
}

// Pseudo-terminals and some adapters have no modem lines; that is no reason to fail.
bool ClearDtrRts(int fd) {
    int bits = TIOCM_DTR | TIOCM_RTS;
    return ::ioctl(fd, TIOCMBIC, &bits) == 0 || errno == ENOTTY || errno == EINVAL;
}

} // namespace

CComPort::CComPort() = default;

CComPort::CComPort(std::uint32_t baud, int dataBits, int parity, int stopBits)
    : m_line{baud, dataBits, parity, stopBits} {}

CComPort::~CComPort() {
    Close();
}

int CComPort::OpenReadWrite(const std::string& device, std::uint32_t baud, int dataBits, int parity,
                            int stopBits) {
    return Open(device, O_RDWR, {baud, dataBits, parity, stopBits});
}

int CComPort::OpenReadOnly(const std::string& device) {
    return Open(device, O_RDONLY, m_line);
}

int CComPort::OpenReadOnly(const std::string& device, std::uint32_t baud, int dataBits, int parity,
                           int stopBits) {
    return Open(device, O_RDONLY, {baud, dataBits, parity, stopBits});
}

int CComPort::OpenWriteOnly(const std::string& device) {
    return Open(device, O_WRONLY, m_line);
}

int CComPort::OpenWriteOnly(const std::string& device, std::uint32_t baud, int dataBits, int parity,
                            int stopBits) {
    return Open(device, O_WRONLY, {baud, dataBits, parity, stopBits});
}

int CComPort::Open(const std::string& device, int accessMode, const LineParams& line) {
    // Overwriting the descriptor would leak it and keep the device locked against ourselves.
    Close();
    m_readTimeoutMs = 0;

    // Non-blocking so that a port without carrier does not hang the open itself.
    const int fd = ::open(device.c_str(), accessMode | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FailOpen(device, errno);
    if (!::isatty(fd)) {
        ::close(fd);
        return FailOpen(device, ENOTTY);
    }
    // TIOCEXCL does not hold off root, the lock does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return FailOpen(device, EBUSY);
    }
    ::ioctl(fd, TIOCEXCL);
    m_fd = fd;

    int error = 0;
    if (!ApplyLine(line)) {
        error = errno;
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
            error = errno;
    }
    if (error != 0) {
        Close();
        return FailOpen(device, error);
    }
    m_canRead = accessMode != O_WRONLY;
    m_canWrite = accessMode != O_RDONLY;
    m_lastOpenErrno = 0;
    m_lastOpenDevice.clear();
    return 1;
}

int CComPort::FailOpen(const std::string& device, int error) {
    m_lastOpenErrno = error;
    m_lastOpenDevice = device;
    return -1;
}

std::string CComPort::LastOpenError() const {
    if (m_lastOpenErrno == 0)
        return {};
    std::string text = SystemReason(m_lastOpenDevice, m_lastOpenErrno);
    int hint = 0;
    switch (m_lastOpenErrno) {
    case EACCES:
    case EPERM:
        hint = str::kDialoutHint;
        break;
    case EBUSY:
    case EWOULDBLOCK:
        hint = str::kPortInUseHint;
        break;
    case ENOTTY:
        hint = str::kNotSerialHint;
        break;
    default:
        break;
    }
    if (hint != 0)
        text = text + ". " + LoadResString(hint);
    return text;
}

bool CComPort::ApplyLine(const LineParams& line) {
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    if (!ValidLine(line)) {
        errno = EINVAL;
        return false;
    }
    const speed_t speed = *SpeedFor(line.baud);
    termios old{};
    if (::tcgetattr(m_fd, &old) != 0)
        return false;

    termios wanted = old;
    ::cfmakeraw(&wanted);
    // A break would otherwise read as a NUL byte, which ends a ReadString.
    wanted.c_iflag |= IGNBRK;
    wanted.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    wanted.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    wanted.c_cflag |= CLOCAL | CREAD | SizeFlag(line.dataBits);
    if (line.parity != 0)
        wanted.c_cflag |= PARENB | (line.parity == 1 ? PARODD : 0);
    if (line.stopBits == 2)
        wanted.c_cflag |= CSTOPB;
    wanted.c_cc[VMIN] = 1;
    wanted.c_cc[VTIME] = 0;
    ::cfsetispeed(&wanted, speed);
    ::cfsetospeed(&wanted, speed);
    // Bytes already queued leave at the old rate.
    if (::tcsetattr(m_fd, TCSADRAIN, &wanted) != 0)
        return false;

    // tcsetattr succeeds when any part took; a driver may have rounded the rate or framing.
    constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
    termios now{};
    if (::tcgetattr(m_fd, &now) != 0 || ::cfgetospeed(&now) != speed ||
        (now.c_cflag & kFraming) != (wanted.c_cflag & kFraming)) {
        ::tcsetattr(m_fd, TCSADRAIN, &old);
        errno = EINVAL;
        return false;
    }
    m_line = line;
    // A change of rate can raise the modem lines again.
    return ClearDtrRts(m_fd);
}

int CComPort::SetBaudRate(std::uint32_t baud) {
    LineParams line = m_line;
    line.baud = baud;
    return ApplyLine(line) ? 1 : 0;
}

int CComPort::SetLineParams(std::uint32_t baud, int dataBits, int parity, int stopBits) {
    return ApplyLine({baud, dataBits, parity, stopBits}) ? 1 : 0;
}

int CComPort::SetReadTimeout(unsigned milliseconds) {
    if (m_fd < 0)
        return 0;
    m_readTimeoutMs = milliseconds;
    return 1;
}

int CComPort::Read(void* buffer, std::size_t count, std::size_t& bytesRead) {
    const int result = ReadUntraced(buffer, count, bytesRead);
    if (m_trace && bytesRead > 0)
        m_trace(false, static_cast<const unsigned char*>(buffer), bytesRead);
    return result;
}

std::size_t CComPort::TakeBuffered(unsigned char* out, std::size_t count) {
    const std::size_t taken = std::min(count, m_readAheadEnd - m_readAheadBegin);
    std::copy_n(m_readAhead.begin() + static_cast<std::ptrdiff_t>(m_readAheadBegin), taken, out);
    m_readAheadBegin += taken;
    return taken;
}

int CComPort::ReadUntraced(void* buffer, std::size_t count, std::size_t& bytesRead) {
    using Clock = std::chrono::steady_clock;
    bytesRead = 0;
    if (m_fd < 0 || !m_canRead || (buffer == nullptr && count > 0))
        return -1;
    auto* out = static_cast<unsigned char*>(buffer);
    bytesRead = TakeBuffered(out, count);
    if (bytesRead == count)
        return 1;
    const bool hasDeadline = m_readTimeoutMs > 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_readTimeoutMs);

    while (bytesRead < count) {
        int waitMs = -1;
        if (hasDeadline) {
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero())
                break;
            // Rounded up, so the loop does not spin through the last fraction of a millisecond.
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            waitMs = static_cast<int>(std::min<decltype(ms)>(ms, INT_MAX));
        }
        pollfd entry{m_fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (ready == 0)
            break;
        // A hang-up with nothing left to read: the other side is gone.
        if ((entry.revents & POLLIN) == 0)
            return -1;
        // The buffer is empty here: everything it held has gone to the caller.
        const ssize_t got = ::read(m_fd, m_readAhead.data(), m_readAhead.size());
        if (got > 0) {
            m_readAheadBegin = 0;
            m_readAheadEnd = static_cast<std::size_t>(got);
            bytesRead += TakeBuffered(out + bytesRead, count - bytesRead);
        } else if (got == 0) {
            return -1;
        } else if (errno != EINTR && errno != EAGAIN) {
            return -1;
        }
    }
    return 1;
}

int CComPort::Write(const void* buffer, std::size_t count, std::size_t& bytesWritten) {
    const int result = WriteUntraced(buffer, count, bytesWritten);
    if (m_trace && bytesWritten > 0)
        m_trace(true, static_cast<const unsigned char*>(buffer), bytesWritten);
    return result;
}

int CComPort::WriteUntraced(const void* buffer, std::size_t count, std::size_t& bytesWritten) {
    bytesWritten = 0;
    if (m_fd < 0 || !m_canWrite || (buffer == nullptr && count > 0))
        return -1;
    const auto* in = static_cast<const unsigned char*>(buffer);
    while (bytesWritten < count) {
        const ssize_t put = ::write(m_fd, in + bytesWritten, count - bytesWritten);
        if (put > 0) {
            bytesWritten += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd entry{m_fd, POLLOUT, 0};
            if (::poll(&entry, 1, -1) < 0 && errno != EINTR)
                return -1;
            if ((entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
                return -1;
            continue;
        }
        return -1;
    }
    return 1;
}

int CComPort::ReadString(std::string& text) {
    text.clear();
    while (text.size() < kMaxStringLength) {
        unsigned char byte = 0;
        std::size_t got = 0;
        if (Read(&byte, 1, got) != 1 || got == 0)
            return 0;
        if (byte == 0)
            return 1;
        text.push_back(static_cast<char>(byte));
    }
    return 0;
}

namespace {

// A pseudo-terminal has no transmit queue: written bytes already wait in the far end's input,
// and flushing its output would take back what a real line would long have sent (the receiver
// simulator's answer read a moment late).
bool IsPseudoTerminal(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned deviceMajor = major(info.st_rdev);
    return deviceMajor >= 136 && deviceMajor <= 143; // the Unix98 pseudo-terminal slaves
}

} // namespace

int CComPort::Purge(unsigned flags) {
    constexpr unsigned kKnown = kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear;
    if (m_fd < 0 || (flags & ~kKnown) != 0)
        return 0;
    const bool rx = (flags & kPurgeRxClear) != 0;
    const bool tx = (flags & kPurgeTxClear) != 0 && !IsPseudoTerminal(m_fd);
    if (!rx && !tx)
        return 1;
    const int queue = rx && tx ? TCIOFLUSH : (rx ? TCIFLUSH : TCOFLUSH);
    if (rx)
        DropReadAhead();
    return ::tcflush(m_fd, queue) == 0 ? 1 : 0;
}

void CComPort::Close() {
    if (m_fd < 0)
        return;
    // The exclusive flag can outlive our descriptor on a pseudo-terminal.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
    DropReadAhead();
    m_canRead = false;
    m_canWrite = false;
}

} // namespace fw
