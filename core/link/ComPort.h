#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace fw {

// Line parameters in the Windows numbering the jobs and upd.ini use.
struct LineParams {
    std::uint32_t baud = 115200;
    int dataBits = 8; // 5..8
    int parity = 0;   // 0 none, 1 odd, 2 even
    int stopBits = 0; // 0 one, 2 two; 1 (one and a half) is refused

    friend bool operator==(const LineParams&, const LineParams&) = default;
};

// One serial port, opened exclusively, as a raw terminal without flow control and with DTR
// and RTS held off. Open, Read and Write return 1 on success and -1 on failure; the setters
// and Purge return 1 or 0. Blocking calls for one thread at a time.
//
// Reads take whatever the line has ready into a small buffer, so that the jobs' byte-wise
// reads cost no system call each. The buffer holds only bytes the system had received
// already: Purge and Close drop it with the system's queue, and a change of line settings
// keeps it as the system keeps its queue.
class CComPort {
public:
    static constexpr int kNoParity = 0;
    static constexpr int kOddParity = 1;
    static constexpr int kEvenParity = 2;
    static constexpr int kOneStopBit = 0;
    static constexpr int kTwoStopBits = 2;

    static constexpr unsigned kPurgeTxAbort = 0x1;
    static constexpr unsigned kPurgeRxAbort = 0x2;
    static constexpr unsigned kPurgeTxClear = 0x4;
    static constexpr unsigned kPurgeRxClear = 0x8;

    // ReadString gives up after this many bytes without a NUL, so a chattering line
    // cannot keep a job reading forever.
    static constexpr std::size_t kMaxStringLength = 4096;

    CComPort();
    CComPort(std::uint32_t baud, int dataBits, int parity, int stopBits);
    ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // device is a path such as "/dev/ttyUSB0"; the port map turns "COM1".."COM4" into one.
    // An open object is closed first. Every open zeroes the read time-out. The open fails
    // when the device is not a terminal or the line cannot be set as asked.
    int OpenReadWrite(const std::string& device, std::uint32_t baud, int dataBits, int parity,
                      int stopBits);
    int OpenReadOnly(const std::string& device);
    int OpenReadOnly(const std::string& device, std::uint32_t baud, int dataBits, int parity,
                     int stopBits);
    int OpenWriteOnly(const std::string& device);
    int OpenWriteOnly(const std::string& device, std::uint32_t baud, int dataBits, int parity,
                      int stopBits);

    // 0 when the port is closed or the system cannot run the line as asked (for example a
    // rate without a termios speed); the line then keeps its previous settings.
    int SetBaudRate(std::uint32_t baud);
    int SetLineParams(std::uint32_t baud, int dataBits, int parity, int stopBits);

    // Total deadline of every Read. 0 means no deadline: a read waits for all its bytes.
    int SetReadTimeout(unsigned milliseconds);

    // A time-out is success with fewer bytes than asked for; a vanished line is -1.
    int Read(void* buffer, std::size_t count, std::size_t& bytesRead);
    // Writes every byte or fails.
    int Write(const void* buffer, std::size_t count, std::size_t& bytesWritten);
    // Reads up to a NUL byte, which is not stored: 1 when it arrived, 0 otherwise.
    int ReadString(std::string& text);
    // Windows purge flags: 15 or 12 drop both queues. Abort bits have nothing to abort here.
    int Purge(unsigned flags);

    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    const LineParams& Line() const { return m_line; }
    unsigned ReadTimeout() const { return m_readTimeoutMs; }
    // The file descriptor while open, else -1.
    int Handle() const { return m_fd; }

    // Called with the bytes of every read and write that moved any (sent = true for writes),
    // for the command-line tool's --trace. Kept across Close and every open.
    using TraceHook = std::function<void(bool sent, const unsigned char* data, std::size_t size)>;
    void SetTrace(TraceHook hook) { m_trace = std::move(hook); }

    // errno of the last open when it failed, 0 when it succeeded or none was tried.
    int LastOpenErrno() const { return m_lastOpenErrno; }
    // "DEVICE: system text", with a hint for the usual causes; "" when LastOpenErrno is 0.
    std::string LastOpenError() const;

private:
    int Open(const std::string& device, int accessMode, const LineParams& line);
    bool ApplyLine(const LineParams& line);
    int FailOpen(const std::string& device, int error);
    int ReadUntraced(void* buffer, std::size_t count, std::size_t& bytesRead);
    // Moves up to count buffered bytes to out; how many it moved.
    std::size_t TakeBuffered(unsigned char* out, std::size_t count);
    void DropReadAhead() { m_readAheadBegin = m_readAheadEnd = 0; }
    int WriteUntraced(const void* buffer, std::size_t count, std::size_t& bytesWritten);

    static constexpr std::size_t kReadAheadSize = 4096;

    LineParams m_line;
    unsigned m_readTimeoutMs = 0;
    std::array<unsigned char, kReadAheadSize> m_readAhead{};
    std::size_t m_readAheadBegin = 0;
    std::size_t m_readAheadEnd = 0;
    int m_fd = -1;
    bool m_canRead = false;
    bool m_canWrite = false;
    int m_lastOpenErrno = 0;
    std::string m_lastOpenDevice;
    TraceHook m_trace;
};

} // namespace fw
