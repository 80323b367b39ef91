#pragma once

#include "core/link/CancelEvent.h"
#include "core/link/ComPort.h"
#include "core/link/JobContext.h"
#include "core/link/LinkTiming.h"
#include "core/link/PortMap.h"
#include "core/link/TransferSession.h"
#include "sim/ReceiverSimulator.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/PtyTestSupport.h"
#include "tests/support/RecordingView.h"

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
    return std::string{static_cast<char>((value >> 24) & 0xFF),
                       static_cast<char>((value >> 16) & 0xFF),
                       static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

// Something other than a receiver at the far end of a port: it answers every command frame at
// once with nine bytes that are no detection reply, so a search moves on without waiting out
// its time-out and a test needs no race against it.
class StrangerOnLine {
public:
    explicit StrangerOnLine(const PtyEnd& end)
        : m_thread([this, &end](std::stop_token stop) {
              std::string pending;
              while (!stop.stop_requested()) {
                  pending += end.Receive(kCommandFrameBytes - pending.size(), 20);
                  if (pending.size() < kCommandFrameBytes)
                      continue;
                  {
                      // Recorded before the answer, so a job that got the answer finds it.
                      std::lock_guard lock(m_mutex);
                      m_frames.push_back(std::exchange(pending, {}));
                  }
                  end.Send("XXXXXXXXX");
              }
          }) {}

    std::vector<std::string> Frames() const {
        std::lock_guard lock(m_mutex);
        return m_frames;
    }

private:
    static constexpr std::size_t kCommandFrameBytes = 14;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_frames;
    std::jthread m_thread; // last: stopped and joined before the frames go
};

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

    // ports: "COM1" -> device path; a port left out has no device. The context beside the
    // session is for tests of the pieces the jobs share, such as detection.
    void Make(const TransferJob& made, const LinkSettings& settings,
              const PortMap::Entries& ports) {
        job = made;
        session =
            std::make_unique<TransferSession>(settings, PortMap(ports, {}), view, chain, cancel);
        session->Port().SetTrace(wire.Hook());
        context = std::make_unique<JobContext>(settings, PortMap(ports, {}), view, chain, cancel);
        context->Port().SetTrace(wire.Hook());
    }
    // A later step of the production chain: it shares the chain memory of the step before and
    // has no settings and no port map at all.
    void MakeChained(const JobRig& before, const TransferJob& step) {
        chain = before.chain;
        Make(step, LinkSettings{}, {});
    }

    void Run() {
        RecordingView::TimerPump pump(view, *session);
        std::thread worker([this] { result = session->Run(job); });
        worker.join();
    }
    // Runs steps as one sequence, on a worker thread as Run does.
    void RunSequence(const std::vector<TransferJob>& steps) {
        RecordingView::TimerPump pump(view, *session);
        std::thread worker([this, &steps] { results = session->RunSequence(steps); });
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
    TransferJob job;
    std::unique_ptr<TransferSession> session;
    std::unique_ptr<JobContext> context;
    JobResult result;               // of the last run
    std::vector<JobResult> results; // of the last sequence
};

// The chain's first step: a 3000-byte firmware sent to the receiver on COM1. The chain goes
// on only when it succeeded.
inline void RunChainedFirmwareStep(JobRig& first, const TempDir& files,
                                   const sim::ReceiverSimulator& receiver) {
    const std::string bsr = files.File("fw.bsr");
    WriteBytes(bsr, std::string(3000, 'x'));
    FirmwareSend job;
    job.firmware.m_strPath = bsr;
    job.firmware.m_size = 3000;
    job.firmware.m_kind = 1;
    job.firmware.m_version = "ABC V1.30";
    job.chain.chained = 1;
    LinkSettings settings;
    settings.comPort = 1;
    first.Make(job, settings, {{"COM1", receiver.DevicePath()}});
    first.Run();
    ASSERT_EQ(first.session->ChainContinue(), 1) << first.view.Dump() << LogOf(receiver);
}

// The chain's first two steps, as the options page runs them before the lists: the firmware,
// then a settings file on the port the first step found.
inline void RunChainedFirmwareAndSettingsSteps(JobRig& first, JobRig& second, const TempDir& files,
                                               const sim::ReceiverSimulator& receiver) {
    ASSERT_NO_FATAL_FAILURE(RunChainedFirmwareStep(first, files, receiver));
    const std::string grd = files.File("set.grd");
    WriteBytes(grd, std::string(2048, 's'));
    SettingsSend defaults;
    defaults.settings.m_strPath = grd;
    defaults.chain.chained = 1;
    second.MakeChained(first, defaults);
    second.Run();
    ASSERT_EQ(second.session->ChainContinue(), 1) << second.view.Dump() << LogOf(receiver);
}

// The job failed with its one message: the port closed, status and progress emptied, both
// buttons enabled for another try. lineStays: false when the receiver's end of the line is
// gone, so nobody can open it.
inline void ExpectJobFailed(const JobRig& one, const std::string& message,
                            const sim::ReceiverSimulator& receiver, bool lineStays) {
    EXPECT_EQ(one.view.Messages(), std::vector<std::string>{message})
        << one.view.Dump() << LogOf(receiver);
    EXPECT_FALSE(one.session->Port().IsOpen());
    EXPECT_EQ(one.session->Outcome(), JobOutcome::Failed);
    if (lineStays) {
        EXPECT_TRUE(JobRig::CanOpen(receiver.DevicePath()));
    }
    EXPECT_EQ(one.view.Status(), "");
    EXPECT_EQ(one.view.Progress(), 0);
    EXPECT_TRUE(one.view.StartEnabled());
    EXPECT_TRUE(one.view.CancelEnabled());
}

// A load that kept nothing: no file in the save folder and none reported, the status text
// given (else emptied), progress emptied, start enabled for another try.
inline void ExpectNoFileKept(const JobRig& one, JobOutcome outcome,
                             const std::string& status = {}) {
    EXPECT_EQ(EntryCount(one.dir.Path()), 0u);
    EXPECT_EQ(one.view.Status(), status);
    EXPECT_EQ(one.view.Progress(), 0);
    EXPECT_TRUE(one.view.StartEnabled());
    EXPECT_EQ(one.view.FileSavedCount(), 0);
    EXPECT_EQ(one.session->Outcome(), outcome);
}

// A chained step failed with its one message: the dialog closed and the chain stops.
inline void ExpectChainStopped(const JobRig& step, const std::string& message) {
    EXPECT_EQ(step.view.Messages(), std::vector<std::string>{message}) << step.view.Dump();
    EXPECT_EQ(step.session->ChainContinue(), 0);
    EXPECT_EQ(step.view.EndDialogCount(), 1);
}

// Lowers every protocol wait to a tenth for the test and restores it afterwards.
class LinkJobTest : public ::testing::Test {
protected:
    void SetUp() override { SetLinkTimeFactor(0.1); }
    void TearDown() override { SetLinkTimeFactor(1.0); }
};

} // namespace fw::test
