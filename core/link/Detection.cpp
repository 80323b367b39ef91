// Finding the receiver on the ports and the two answer readers every job shares.
#include "core/link/JobContext.h"
#include "core/link/LinkTiming.h"
#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ByteOrder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

namespace wire {

std::array<unsigned char, kCommandFrameSize> CommandFrame(std::string_view command,
                                                          std::uint32_t baud) {
    std::array<unsigned char, kCommandFrameSize> frame{};
    std::memcpy(frame.data(), command.data(), std::min(command.size(), kCommandLength));
    PutU32BE(baud, frame.data() + kCommandLength);
    frame[kCommandFrameSize - 1] = kAck;
    return frame;
}

bool IsListCommand(std::string_view command) {
    return command == kLoadTvList || command == kLoadRadioList || command == kProgTvList ||
           command == kProgRadioList;
}

float LoaderVersionFromText(std::string_view text) {
    std::uint64_t digits = 0;
    std::uint64_t divisor = 1;
    bool anyDigit = false;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9' && digits < UINT64_MAX / 100) {
            anyDigit = true;
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            if (point)
                divisor *= 10;
        } else {
            return 0.0f;
        }
    }
    if (!anyDigit)
        return 0.0f;
    return static_cast<float>(static_cast<double>(digits) / static_cast<double>(divisor));
}

} // namespace wire

namespace {

constexpr unsigned kDefaultRecTimeout = 500;
constexpr unsigned kDetectionRetryPauseMs = 200;
constexpr unsigned kLongestRecTimeout = 10000;

// upd.ini keeps whatever the user wrote; only the wait itself is held to a sane range. A wait
// of 0 would mean no deadline at all, a huge one would hold the search for weeks.
unsigned RecTimeoutToUse(int configured) {
    if (configured <= 0)
        return kDefaultRecTimeout;
    return std::min(static_cast<unsigned>(configured), kLongestRecTimeout);
}

struct Candidate {
    int number = 0; // 1..4, or 5 for a device given directly
    int index = 0;  // position for the progress: COM1 is 0
    std::string name;
    std::string device;
};

struct ModelRow {
    std::string_view reply;
    int capacity;
};

constexpr ModelRow kModels[] = {
    {"RECOK", 1000},
    {"ZEB10", 2000},
    {"ZEB20", 3000},
    {"ZEB30", 4000},
};

} // namespace

int JobContext::DetectReceiver(const char* command) {
    m_port.Close();
    m_portNumber = 0;
    m_portDevice.clear();

    std::vector<Candidate> candidates;
    const bool byDevice = !m_settings.device.empty();
    const bool manual =
        byDevice || (m_settings.comPort >= 1 && m_settings.comPort <= PortMap::kPortCount);
    if (!m_pinnedDevice.empty()) {
        const int n = m_pinnedNumber;
        const bool named = n >= 1 && n <= PortMap::kPortCount;
        candidates.push_back(
            {n, named ? n - 1 : 0, named ? PortMap::NameFor(n) : m_pinnedDevice, m_pinnedDevice});
    } else if (byDevice) {
        candidates.push_back({PortMap::kPortCount + 1, 0, m_settings.device, m_settings.device});
    } else if (manual) {
        const int n = m_settings.comPort;
        candidates.push_back({n, n - 1, PortMap::NameFor(n), m_ports.DeviceFor(n)});
    } else {
        for (int n = 1; n <= PortMap::kPortCount; ++n)
            candidates.push_back({n, n - 1, PortMap::NameFor(n), m_ports.DeviceFor(n)});
    }

    const std::string searchText =
        LoadResString(manual ? str::kManualPortSearch : str::kAutoPortSearch);
    const auto frame = wire::CommandFrame(command, static_cast<std::uint32_t>(m_settings.baudRate));
    bool anyOpened = false;
    bool anyWritten = false;
    std::vector<std::string> openErrors;
    // Devices held by another program or silent: another service may have taken them.
    std::vector<std::string> suspectDevices;
    const Candidate* found = nullptr;
    const auto failNotRecognized = [&] {
        return FailJobText(
            WithModemManagerHint(LoadResString(str::kReceiverNotRecognized), suspectDevices));
    };

    // A check after a send asks again while the receiver is still busy storing, with a pause
    // between rounds; the last round's failures are the ones reported.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(LinkMs(m_detectionWindowMs));
    const auto retryLeft = [&] {
        return m_detectionWindowMs != 0 && std::chrono::steady_clock::now() < deadline;
    };
    do {
        openErrors.clear();
        suspectDevices.clear();
        for (std::size_t i = 0; i < candidates.size() && found == nullptr; ++i) {
            const Candidate& candidate = candidates[i];
            const bool last = i + 1 == candidates.size();
            if (m_cancel.TakeSignal()) {
                m_port.Close();
                return -1;
            }
            SetStatus(searchText + candidate.name);
            SetProgress(25 * (candidate.index + 1));

            if (candidate.device.empty()) {
                openErrors.push_back(
                    FormatText(LoadResString(str::kNoSerialDevice), {candidate.name}));
                continue;
            }
            if (m_port.OpenReadWrite(candidate.device, wire::kDetectBaud, 8, CComPort::kNoParity,
                                     CComPort::kOneStopBit) != 1) {
                const std::string reason = m_port.LastOpenError();
                openErrors.push_back(byDevice ? reason : candidate.name + ": " + reason);
                const int error = m_port.LastOpenErrno();
                if (error == EBUSY || error == EWOULDBLOCK)
                    suspectDevices.push_back(candidate.device);
                continue;
            }
            anyOpened = true;
            suspectDevices.push_back(candidate.device);
            // The configured wait, not a protocol constant, so it is not scaled.
            m_port.SetReadTimeout(RecTimeoutToUse(m_settings.recTimeout));

            std::size_t written = 0;
            if (m_port.Write(frame.data(), frame.size(), written) != 1) {
                m_port.Close();
                continue;
            }
            anyWritten = true;

            unsigned char reply[wire::kDetectReplySize] = {};
            std::size_t got = 0;
            if (m_port.Read(reply, sizeof reply, got) != 1)
                got = 0;
            if (got == sizeof reply && std::string_view(reinterpret_cast<const char*>(reply),
                                                        wire::kRecOk.size()) == wire::kRecOk) {
                m_receiver.loaderVersion = wire::LoaderVersionFromText(
                    std::string_view(reinterpret_cast<const char*>(reply) + 6, 3));
                found = &candidate;
                break;
            }
            if (last && !retryLeft())
                return failNotRecognized();
            m_port.Close();
        }
        if (found == nullptr && retryLeft())
            LinkPause(kDetectionRetryPauseMs);
    } while (found == nullptr && retryLeft());

    if (found == nullptr) {
        m_port.Close();
        if (!anyOpened) {
            std::string text = LoadResString(str::kNoFreePort);
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            for (const std::string& line : openErrors)
                text += "\n" + line;
            return FailJobText(WithModemManagerHint(text, suspectDevices));
        }
        if (anyWritten)
            return failNotRecognized();
        return FailJob(str::kReceiveSendError);
    }

    m_portNumber = found->number;
    m_portDevice = found->device;
    SetStatus(LoadResString(str::kReceiverFoundAt) + found->name);
    // The receiver has switched already; reading its model at the old rate would give noise.
    if (m_port.SetBaudRate(static_cast<std::uint32_t>(m_settings.baudRate)) != 1)
        return FailJob(str::kReceiveSendError);
    m_port.SetReadTimeout(LinkTimeoutMs(link_ms::kModelReplyTimeout));

    View().EnableCancel(false);
    char model[wire::kModelReplySize] = {};
    std::size_t got = 0;
    if (m_port.Read(model, sizeof model, got) != 1)
        return FailJob(str::kReceiveSendError);
    View().EnableCancel(true);

    const std::string_view reply(model, got);
    for (const ModelRow& row : kModels) {
        if (reply == row.reply) {
            m_receiver.capacity = row.capacity;
            m_receiver.model = row.reply;
            return found->number;
        }
    }
    if (reply == wire::kRecFa) {
        // Named, so that a caller can tell a receiver without software from a failed line.
        m_receiver.model = reply;
        if (wire::IsListCommand(command))
            return FailJob(str::kNoFirmwareInstalled);
        return found->number;
    }
    return FailJob(str::kReceiveSendError);
}

int JobContext::WaitForRecOk() {
    char answer[wire::kRecOk.size() + 1] = {};
    std::size_t got = 0;
    if (m_port.Read(answer, wire::kRecOk.size(), got) != 1)
        return FailJob(str::kReceiveSendError);
    if (got < wire::kRecOk.size())
        return FailJob(str::kReceiverNotRecognized);
    if (std::string_view(answer, got) != wire::kRecOk)
        return FailJob(str::kTransmissionError);
    return 1;
}

int JobContext::ReadAck(int errorStringId) {
    unsigned char answer = 0;
    std::size_t got = 0;
    if (m_port.Read(&answer, 1, got) != 1)
        return FailJob(str::kReceiveSendError);
    if (got == 0)
        return FailJob(errorStringId);
    if (answer == wire::kAbort) {
        EndAborted();
        return 0;
    }
    if (answer == wire::kAck)
        return 1;
    View().EnableCancel(true);
    return FailJob(errorStringId);
}

} // namespace fw
