#pragma once

#include "link/CancelEvent.h"
#include "link/ComPort.h"
#include "link/LinkTiming.h"
#include "link/PortMap.h"
#include "link/TransferSession.h"
#include "support/FileTestSupport.h"
#include "support/PtyTestSupport.h"
#include "support/RecordingView.h"
#include "ReceiverSimulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fw::test {

// Every byte that crossed the session's port, as the port reported it: one chunk per read or
// write call.
class WireTrace {
public:
    struct Chunk {
        bool sent;
        std::string bytes;
    };

    CComPort::TraceHook Hook() {
        return [this](bool sent, const unsigned char* data, std::size_t size) {
            std::lock_guard lock(m_mutex);
            m_chunks.push_back({sent, std::string(reinterpret_cast<const char*>(data), size)});
        };
    }
    std::vector<Chunk> Chunks() const {
        std::lock_guard lock(m_mutex);
        return m_chunks;
    }
    std::string Sent() const { return Joined(true); }
    std::string Received() const { return Joined(false); }
    // Sizes of the writes, in order.
    std::vector<std::size_t> WriteSizes() const {
        std::vector<std::size_t> sizes;
        for (const Chunk& chunk : Chunks()) {
            if (chunk.sent)
                sizes.push_back(chunk.bytes.size());
        }
        return sizes;
    }

private:
    std::string Joined(bool sent) const {
        std::string all;
        for (const Chunk& chunk : Chunks()) {
            if (chunk.sent == sent)
                all += chunk.bytes;
        }
        return all;
    }

    mutable std::mutex m_mutex;
    std::vector<Chunk> m_chunks;
};

// The 14 bytes of a command frame, as a string for comparisons.
inline std::string Frame(const std::string& command, std::uint32_t baud) {
    std::string frame = command;
    frame += static_cast<char>((baud >> 24) & 0xFF);
    frame += static_cast<char>((baud >> 16) & 0xFF);
    frame += static_cast<char>((baud >> 8) & 0xFF);
    frame += static_cast<char>(baud & 0xFF);
    frame += '\r';
    return frame;
}

inline std::string U32(std::uint32_t value) {
    return std::string{static_cast<char>((value >> 24) & 0xFF), static_cast<char>((value >> 16) & 0xFF),
                       static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

// A simulated receiver serving on its own pseudo-terminal; nullptr (with a test failure) when
// none could be made.
inline std::unique_ptr<sim::ReceiverSimulator> StartReceiver(sim::SimulatorOptions options) {
    auto receiver = std::make_unique<sim::ReceiverSimulator>(std::move(options));
    std::string reason;
    if (!receiver->Open(reason)) {
        ADD_FAILURE() << "simulator: " << reason;
        return nullptr;
    }
    receiver->Start();
    return receiver;
}

// The simulator's log, for failure output.
inline std::string LogOf(const sim::ReceiverSimulator& receiver) {
    std::string all;
    for (const std::string& event : receiver.Events())
        all += "  sim: " + event + "\n";
    return all;
}

// Waits until the receiver has ended count jobs, so that a job started again meets a receiver
// waiting for a command rather than one still winding down the last.
inline bool WaitForJobs(const sim::ReceiverSimulator& receiver, int count) {
    for (int i = 0; i < 300 && receiver.JobsFinished() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return receiver.JobsFinished() >= count;
}

// One transfer dialog's worth of state around a session: the recording view, the chain
// memory, the cancel signal and a wire trace. Runs the job on a worker thread while a timer
// pump ticks the view's timers, as the dialog would.
class JobRig {
public:
    JobRig() : view(dir.Path()) {}

    // ports: "COM1" -> device path; a port left out has no device.
    void Make(const TransferJob& job, const LinkSettings& settings, const PortMap::Entries& ports) {
        session = std::make_unique<TransferSession>(job, settings, PortMap(ports, {}), view, chain,
                                                    cancel);
        session->Port().SetTrace(wire.Hook());
    }

    void Run() {
        RecordingView::TimerPump pump(view, *session);
        std::thread worker([this] { session->Run(); });
        worker.join();
    }

    // True when nothing holds the device any more: the job closed its port.
    static bool CanOpen(const std::string& device) {
        CComPort port;
        return port.OpenReadWrite(device, 19200, 8, 0, 0) == 1;
    }

    TempDir dir;
    RecordingView view;
    ChainMemory chain;
    CancelEvent cancel;
    WireTrace wire;
    std::unique_ptr<TransferSession> session;
};

// Lowers every protocol wait to a tenth for the test and restores it afterwards.
class LinkJobTest : public ::testing::Test {
protected:
    void SetUp() override { SetLinkTimeFactor(0.1); }
    void TearDown() override { SetLinkTimeFactor(1.0); }
};

} // namespace fw::test
