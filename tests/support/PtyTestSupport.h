#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fw::test {

// The far end of a cable: the master of a pseudo-terminal whose slave a port opens. Nobody
// answers unless the test writes; what the port sent can be read back.
class PtyEnd {
public:
    PtyEnd() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        char name[128] = {};
        if (::ptsname_r(m_master, name, sizeof name) == 0)
            m_slave = name;
    }
    ~PtyEnd() { Close(); }
    PtyEnd(const PtyEnd&) = delete;
    PtyEnd& operator=(const PtyEnd&) = delete;

    bool Ok() const { return !m_slave.empty(); }
    const std::string& Device() const { return m_slave; }

    bool Send(const std::string& bytes) const {
        return ::write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Whatever arrived within the time, up to count bytes.
    std::string Receive(std::size_t count, int timeoutMs = 3000) const {
        using Clock = std::chrono::steady_clock;
        std::string got;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::vector<char> chunk(4096);
        while (got.size() < count && Clock::now() < deadline) {
            pollfd entry{m_master, POLLIN, 0};
            if (::poll(&entry, 1, 10) <= 0)
                continue;
            const ssize_t n =
                ::read(m_master, chunk.data(), std::min(chunk.size(), count - got.size()));
            if (n <= 0)
                break;
            got.append(chunk.data(), static_cast<std::size_t>(n));
        }
        return got;
    }

    // The cable's far end goes away: the port's reads and writes fail from now on.
    void Close() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    std::string m_slave;
};

} // namespace fw::test
