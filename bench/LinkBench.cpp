// What the user waits for in a transfer. Each job runs against the in-process receiver simulator,
// from reading the file to send to the received file saved, with a view that runs the dialog's
// timers as the dialog does.
//
// Unpaced (BM_FirmwareSend, BM_ListLoad, BM_ListSend): the program's own share, reported against
// the time the bytes need on a real line at 115200 baud: fixed_wait_seconds, the protocol's own
// pauses; beyond_waits_seconds, the rest of the job's wall time, which still holds every round
// trip through the pseudo-terminal and the simulator's thread; own_cpu_seconds, what the job's
// thread itself computed and asked of the system. Target: own_cpu_percent_of_line under 1 %.
//
// Paced (BM_Paced*): the simulator moves the bytes at the line rate; paced_ratio is the wall time
// over the line time plus the fixed pauses of both sides. Target: at most 1.15.
//
// Send and check (BM_ListSendAndCheck, BM_PacedListSendAndCheck): a full list sent, loaded back
// and compared; ratio_to_send is its wall time over that of the plain send just before it.
// Target: at most 2.02 when paced (the second load is line time).
#include "core/link/LinkTiming.h"
#include "core/link/PortMap.h"
#include "core/link/SafeSend.h"
#include "core/link/TransferSession.h"
#include "core/lists/ProgramPool.h"
#include "core/util/FileIo.h"
#include "sim/Receiver.h"
#include "sim/ReceiverSimulator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

namespace fw {
namespace {

using Clock = std::chrono::steady_clock;
constexpr double kLineBaud = 115200;
constexpr std::uint64_t kDetectionBytes = sim::kFrameSize + 9;
constexpr int kFullBank = 1000;

// The dialog's side of a job: status and progress kept for the other thread, and the started
// timers ticking at their periods on a thread of their own, as the dialog's timers do on its.
class TickingView : public TransferView {
public:
    explicit TickingView(std::string savePath)
        : m_savePath(std::move(savePath)), m_ticker([this] { Tick(); }) {}
    ~TickingView() override { StopTicking(); }
    TickingView(const TickingView&) = delete;
    TickingView& operator=(const TickingView&) = delete;

    void Attach(TransferSession& session) {
        std::lock_guard lock(m_mutex);
        m_session = &session;
    }
    // No tick after this: the session may go.
    void StopTicking() {
        {
            std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_all();
        if (m_ticker.joinable())
            m_ticker.join();
    }

    void SetStatus(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        m_status = text;
    }
    void SetStatusFont(StatusFont) override {}
    void SetProgress(int percent) override { m_progress = percent; }
    void EnableStart(bool) override {}
    void EnableCancel(bool) override {}
    void SetCancelCaption(const std::string&) override {}
    void StartTimer(TransferTimer timer) override {
        {
            std::lock_guard lock(m_mutex);
            m_due[Index(timer)] = Clock::now() + Period(timer);
        }
        m_wake.notify_all();
    }
    void StopTimer(TransferTimer timer) override {
        std::lock_guard lock(m_mutex);
        m_due[Index(timer)] = Clock::time_point::max();
    }
    void ShowMessage(const std::string& text, MessageIcon) override {
        std::lock_guard lock(m_mutex);
        failures += text;
    }
    bool AskYesNo(const std::string&, MessageIcon) override { return true; }
    bool AskVersionWarning(const VersionWarning&) override { return true; }
    std::optional<SaveTarget> AskSaveAs(SaveKind) override {
        return SaveTarget{m_savePath, "bench"};
    }
    void FileSaved(const std::string&) override {}
    void EndDialog() override {}

    std::string failures;

private:
    static std::size_t Index(TransferTimer timer) { return static_cast<std::size_t>(timer) - 1; }
    static Clock::duration Period(TransferTimer timer) {
        return std::chrono::milliseconds(timer == TransferTimer::Progress ? 100 : 1000);
    }

    void Tick() {
        std::unique_lock lock(m_mutex);
        while (!m_ending) {
            const auto next = *std::min_element(m_due.begin(), m_due.end());
            if (next == Clock::time_point::max()) {
                m_wake.wait(lock);
                continue;
            }
            if (m_wake.wait_until(lock, next) == std::cv_status::no_timeout)
                continue;
            for (std::size_t k = 0; k < m_due.size(); ++k) {
                if (m_due[k] > Clock::now() || m_session == nullptr)
                    continue;
                const auto timer = static_cast<TransferTimer>(k + 1);
                m_due[k] += Period(timer);
                lock.unlock();
                m_session->OnTimer(timer);
                lock.lock();
            }
        }
    }

    std::string m_savePath;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::array<Clock::time_point, 4> m_due{Clock::time_point::max(), Clock::time_point::max(),
                                           Clock::time_point::max(), Clock::time_point::max()};
    TransferSession* m_session = nullptr;
    std::string m_status;
    std::atomic<int> m_progress{0};
    bool m_ending = false;
    std::thread m_ticker;
};

std::string Folder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "flashwerk-bench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

void WriteOrAbort(const std::string& path, const std::string& bytes) {
    std::string reason;
    if (!WriteFileAtomically(path, bytes, reason))
        std::abort();
}

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

std::string ProgramLine(int row) {
    return "\tProgramm Nummer " + std::to_string(row) + "\t11836\tH\t27500\t3\\4\t" +
           std::to_string(28000 + row % 1000) + "\t101\t102\t101\t1";
}

// Entries spread over the places that hold programs.
std::uint16_t BankEntry(int bank, int entry, int programs) {
    return static_cast<std::uint16_t>((entry * 4 + bank) % programs);
}

// A job and the simulator it runs against; the receiver's own pauses count as fixed waits.
struct Transfer {
    sim::SimulatorOptions options;
    TransferJob job;
    Clock::duration receiverPauses{};
    bool check = false; // the send is followed by its check
    // The mean wall time is kept here (a plain send) or compared with what is kept there.
    double* keepSeconds = nullptr;
    const double* compareSeconds = nullptr;
};

// Runs the transfer once per iteration and times it from reading the file to send to the job's
// end; the simulator is made and stopped outside the time.
void Run(benchmark::State& state, Transfer transfer) {
    std::uint64_t lineBytes = 0;
    double waitSeconds = 0;
    double cpuSeconds = 0;
    double wallSeconds = 0;
    for (auto _ : state) {
        sim::ReceiverSimulator receiver(transfer.options);
        std::string reason;
        if (!receiver.Open(reason)) {
            state.SkipWithError(reason.c_str());
            return;
        }
        receiver.Start();
        TickingView view(Folder() + "/received");
        ChainMemory chain;
        CancelEvent cancel;
        TransferSession session(LinkSettings{0, 115200, 500, 0, receiver.DevicePath()},
                                PortMap({}, {}), view, chain, cancel);
        view.Attach(session);
        std::atomic<std::uint64_t> bytes{0};
        session.Port().SetTrace(
            [&bytes](bool, const unsigned char*, std::size_t size) { bytes += size; });

        const auto start = Clock::now();
        const auto pausedBefore = LinkPauseTotal();
        const double cpuBefore = ThreadCpuSeconds();
        // A list send reads its file inside the run.
        const bool succeeded =
            transfer.check
                ? RunSafeSend(session, transfer.job, {nullptr, true}).end == SafeSendEnd::Sent
                : session.Run(transfer.job).outcome == JobOutcome::Succeeded;
        view.StopTicking();
        const double took = Seconds(Clock::now() - start);
        state.SetIterationTime(took);
        wallSeconds += took;
        cpuSeconds += ThreadCpuSeconds() - cpuBefore;
        waitSeconds += Seconds(LinkPauseTotal() - pausedBefore + transfer.receiverPauses);

        if (!succeeded) {
            state.SkipWithError(("transfer failed: " + view.failures).c_str());
            return;
        }
        lineBytes = bytes;
        receiver.Stop();
    }
    // The command frame and the detection reply go at the detection rate.
    const double lineSeconds = (static_cast<double>(lineBytes - kDetectionBytes) / kLineBaud +
                                static_cast<double>(kDetectionBytes) / sim::kDetectionBaud) *
                               10;
    const auto runs = static_cast<double>(state.iterations());
    if (transfer.keepSeconds != nullptr)
        *transfer.keepSeconds = wallSeconds / runs;
    if (transfer.compareSeconds != nullptr && *transfer.compareSeconds > 0)
        state.counters["ratio_to_send"] = wallSeconds / runs / *transfer.compareSeconds;
    state.counters["line_seconds"] = lineSeconds;
    state.counters["fixed_wait_seconds"] = waitSeconds / runs;
    if (transfer.options.pacing) {
        state.counters["paced_ratio"] = wallSeconds / runs / (lineSeconds + waitSeconds / runs);
        return;
    }
    const double beyondSeconds = (wallSeconds - waitSeconds) / runs;
    state.counters["beyond_waits_seconds"] = beyondSeconds;
    state.counters["beyond_waits_percent_of_line"] = 100 * beyondSeconds / lineSeconds;
    state.counters["own_cpu_seconds"] = cpuSeconds / runs;
    state.counters["own_cpu_percent_of_line"] = 100 * cpuSeconds / runs / lineSeconds;
}

Transfer FirmwareSend(std::size_t size, std::string loaderVersion) {
    std::string image(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<char>(i * 7);
    const std::string trailer =
        std::string("SOFTWARE-VERSION") + '\0' + "ABC V1.30" + '\0' + "bench" + '\0';
    image.replace(size - 2048, trailer.size(), trailer);
    const std::string path = Folder() + "/bench.bsr";
    WriteOrAbort(path, image);
    Transfer transfer;
    transfer.options.loaderVersion = std::move(loaderVersion);
    fw::FirmwareSend job;
    job.firmware.m_strPath = path;
    job.firmware.m_strFileName = "bench.bsr";
    job.firmware.m_size = static_cast<std::int32_t>(size);
    job.firmware.m_kind = 1;
    job.firmware.m_version = "ABC V1.30";
    transfer.job = std::move(job);
    transfer.receiverPauses =
        sim::kQuickPauses.baudSwitch +
        sim::kQuickPauses.progressStep * static_cast<int>(transfer.options.progressSequence.size());
    return transfer;
}

// A load of the receiver's places, programs in front, every bank holding bankEntries.
Transfer ListLoad(sim::Model model, int programs, int bankEntries) {
    Transfer transfer;
    transfer.options.model = model;
    for (int row = 0; row < programs; ++row)
        transfer.options.tvList.push_back(ProgramLine(row));
    for (int bank = 0; bank < 10; ++bank)
        for (int entry = 0; entry < bankEntries; ++entry)
            transfer.options.tvBanks[static_cast<std::size_t>(bank)].push_back(
                BankEntry(bank, entry, programs));
    transfer.job = fw::ListLoad{'T'};
    transfer.receiverPauses = sim::kQuickPauses.baudSwitch;
    return transfer;
}

// A full list: 4000 programs and ten banks of 1000 entries.
Transfer FullListSend() {
    std::string text = "HEADER:\tTV\tbench\r\nCA\tProgram name\tFrequence in MHz\tPolarisation\t"
                       "Symbolrate\tFEC\tSID\tV-PID\tA-PID\tPCR\tSatellite\r\n";
    for (int row = 0; row < ProgramPool::RowCount(); ++row)
        text += ProgramLine(row) + "\r\n";
    text += "BANK0:\tBANK1:\tBANK2:\tBANK3:\tBANK4:\tBANK5:\tBANK6:\tBANK7:\tBANK8:\tBANK9:\r\n";
    for (int entry = 0; entry < kFullBank; ++entry) {
        for (int bank = 0; bank < 10; ++bank)
            text += std::to_string(BankEntry(bank, entry, ProgramPool::RowCount())) +
                    (bank < 9 ? "\t" : "\r\n");
    }
    const std::string path = Folder() + "/bench.lst";
    WriteOrAbort(path, text);
    Transfer transfer;
    fw::ListSend job;
    job.list.Fill({"TV", "bench", path, "bench.lst", std::to_string(text.size())});
    transfer.job = std::move(job);
    transfer.receiverPauses = sim::kQuickPauses.baudSwitch + sim::kQuickPauses.erase;
    return transfer;
}

Transfer Paced(Transfer transfer) {
    transfer.options.pacing = true;
    return transfer;
}

double Min(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

// Five runs, reported as their min and median.
void FiveRuns(benchmark::internal::Benchmark* bench) {
    bench->Iterations(1)
        ->Repetitions(5)
        ->ComputeStatistics("min", Min)
        ->ReportAggregatesOnly(true)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

// A paced run takes the line time (about 21 s for a full list), so it runs once.
void OneRun(benchmark::internal::Benchmark* bench) {
    bench->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

void BM_FirmwareSend(benchmark::State& state) {
    Run(state, FirmwareSend(2 * 1024 * 1024, state.range(0) ? "1.1" : "1.0"));
}
BENCHMARK(BM_FirmwareSend)->Arg(0)->Arg(1)->ArgName("blocks")->Apply(FiveRuns);

void BM_ListLoad(benchmark::State& state) {
    Run(state, ListLoad(sim::Model::Zeb30, ProgramPool::RowCount(), kFullBank));
}
BENCHMARK(BM_ListLoad)->Apply(FiveRuns);

// The plain sends' mean wall times, for the send-and-check runs after them.
double g_sendSeconds = 0;
double g_pacedSendSeconds = 0;

Transfer Checked(Transfer transfer, const double& sendSeconds) {
    transfer.check = true;
    transfer.compareSeconds = &sendSeconds;
    return transfer;
}

void BM_ListSend(benchmark::State& state) {
    Transfer transfer = FullListSend();
    transfer.keepSeconds = &g_sendSeconds;
    Run(state, transfer);
}
BENCHMARK(BM_ListSend)->Apply(FiveRuns);

void BM_ListSendAndCheck(benchmark::State& state) {
    Run(state, Checked(FullListSend(), g_sendSeconds));
}
BENCHMARK(BM_ListSendAndCheck)->Apply(FiveRuns);

void BM_PacedListLoad(benchmark::State& state) {
    Run(state, Paced(ListLoad(sim::Model::Zeb30, ProgramPool::RowCount(), kFullBank)));
}
BENCHMARK(BM_PacedListLoad)->Apply(OneRun);

void BM_PacedListSend(benchmark::State& state) {
    Transfer transfer = Paced(FullListSend());
    transfer.keepSeconds = &g_pacedSendSeconds;
    Run(state, transfer);
}
BENCHMARK(BM_PacedListSend)->Apply(OneRun);

void BM_PacedListSendAndCheck(benchmark::State& state) {
    Run(state, Checked(Paced(FullListSend()), g_pacedSendSeconds));
}
BENCHMARK(BM_PacedListSendAndCheck)->Apply(OneRun);

// Every line's answer is a round trip: 1000 places, 300 of them programs.
void BM_PacedLoadOf1000Places(benchmark::State& state) {
    Run(state, Paced(ListLoad(sim::Model::RecOk, 300, 30)));
}
BENCHMARK(BM_PacedLoadOf1000Places)->Apply(OneRun);

// 256 KB in blocks: the ratio holds for any size, and 2 MB would take three minutes.
void BM_PacedFirmwareSend(benchmark::State& state) {
    Run(state, Paced(FirmwareSend(256 * 1024, "1.1")));
}
BENCHMARK(BM_PacedFirmwareSend)->Apply(OneRun);

} // namespace
} // namespace fw
