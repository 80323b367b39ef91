// The program's own share of a transfer: each job runs against the in-process receiver
// simulator without line pacing. Reported against the time the bytes need on a real line at
// 115200 baud: fixed_wait_seconds, the protocol's own pauses; beyond_waits_seconds, the rest
// of the job's wall time, which still holds every round trip through the pseudo-terminal and
// the simulator's thread; own_cpu_seconds, what the job's thread itself computed and asked of
// the system. Target: own_cpu_percent_of_line under 1 %.
#include "core/link/LinkTiming.h"
#include "core/link/PortMap.h"
#include "core/link/TransferSession.h"
#include "core/lists/ProgramPool.h"
#include "core/util/FileIo.h"
#include "sim/ReceiverSimulator.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>

namespace fw {
namespace {

constexpr double kLineBaud = 115200;

class QuietView : public TransferView {
public:
    explicit QuietView(std::string savePath) : m_savePath(std::move(savePath)) {}
    void SetStatus(const std::string&) override {}
    void SetStatusFont(StatusFont) override {}
    void SetProgress(int) override {}
    void EnableStart(bool) override {}
    void EnableCancel(bool) override {}
    void SetCancelCaption(const std::string&) override {}
    void StartTimer(TransferTimer) override {}
    void StopTimer(TransferTimer) override {}
    void ShowMessage(const std::string& text, MessageIcon) override { failures += text; }
    bool AskYesNo(const std::string&, MessageIcon) override { return true; }
    bool AskVersionWarning(const VersionWarning&) override { return true; }
    std::optional<SaveTarget> AskSaveAs(SaveKind) override {
        return SaveTarget{m_savePath, "bench"};
    }
    void FileSaved(const std::string&) override {}
    void EndDialog() override {}

    std::string failures;

private:
    std::string m_savePath;
};

std::string Folder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "flashwerk-bench-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string ProgramLine(int row) {
    return "\tProgramm Nummer " + std::to_string(row) + "\t11836\tH\t27500\t3\\4\t" +
           std::to_string(28000 + row % 1000) + "\t101\t102\t101\t1";
}

// Runs one job against a fresh simulator and reports the time against the line time of every
// byte that crossed the port.
void RunAgainstSimulator(benchmark::State& state, sim::SimulatorOptions options, TransferJob job,
                         bool loadSendList) {
    std::uint64_t lineBytes = 0;
    double beyondSeconds = 0;
    double waitSeconds = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sim::ReceiverSimulator receiver(options);
        std::string reason;
        if (!receiver.Open(reason)) {
            state.SkipWithError(reason.c_str());
            return;
        }
        receiver.Start();
        QuietView view(Folder() + "/received");
        ChainMemory chain;
        CancelEvent cancel;
        TransferSession session(job, LinkSettings{0, 115200, 500, 0, receiver.DevicePath()},
                                PortMap({}, {}), view, chain, cancel);
        std::atomic<std::uint64_t> bytes{0};
        session.Port().SetTrace(
            [&bytes](bool, const unsigned char*, std::size_t size) { bytes += size; });
        if (loadSendList)
            session.LoadSendList();
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        const auto pausedBefore = LinkPauseTotal();
        const double cpuBefore = ThreadCpuSeconds();
        session.Run();
        cpuSeconds += ThreadCpuSeconds() - cpuBefore;
        const double waited =
            std::chrono::duration<double>(LinkPauseTotal() - pausedBefore).count();
        waitSeconds += waited;
        beyondSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() -
            waited;

        state.PauseTiming();
        if (session.Outcome() != JobOutcome::Succeeded) {
            state.SkipWithError(("transfer failed: " + view.failures).c_str());
            return;
        }
        lineBytes = bytes;
        receiver.Stop();
        state.ResumeTiming();
    }
    const double lineSeconds = static_cast<double>(lineBytes) * 10 / kLineBaud;
    const auto runs = static_cast<double>(state.iterations());
    state.counters["line_seconds"] = lineSeconds;
    state.counters["fixed_wait_seconds"] = waitSeconds / runs;
    state.counters["beyond_waits_seconds"] = beyondSeconds / runs;
    state.counters["beyond_waits_percent_of_line"] = 100 * beyondSeconds / runs / lineSeconds;
    state.counters["own_cpu_seconds"] = cpuSeconds / runs;
    state.counters["own_cpu_percent_of_line"] = 100 * cpuSeconds / runs / lineSeconds;
}

TransferJob FirmwareJob(std::size_t size) {
    std::string image(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<char>(i * 7);
    std::string trailer =
        std::string("SOFTWARE-VERSION") + '\0' + "ABC V1.30" + '\0' + "bench" + '\0';
    image.replace(size - 2048, trailer.size(), trailer);
    const std::string path = Folder() + "/bench.bsr";
    std::string reason;
    if (!WriteFileAtomically(path, image, reason))
        std::abort();
    TransferJob job;
    job.kind = TransferJobKind::FirmwareSend;
    job.firmware.m_strPath = path;
    job.firmware.m_strFileName = "bench.bsr";
    job.firmware.m_size = static_cast<std::int32_t>(size);
    job.firmware.m_kind = 1;
    job.firmware.m_version = "ABC V1.30";
    return job;
}

void BM_FirmwareSend(benchmark::State& state) {
    sim::SimulatorOptions options;
    options.loaderVersion = state.range(0) ? "1.1" : "1.0";
    RunAgainstSimulator(state, options, FirmwareJob(2 * 1024 * 1024), false);
}
BENCHMARK(BM_FirmwareSend)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("blocks")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

sim::SimulatorOptions FullList() {
    sim::SimulatorOptions options;
    for (int row = 0; row < CProgramPool::RowCount(); ++row)
        options.tvList.push_back(ProgramLine(row));
    for (int bank = 0; bank < 10; ++bank)
        for (std::uint16_t address = 0; address < 100; ++address)
            options.tvBanks[bank].push_back(static_cast<std::uint16_t>(address * 10 + bank));
    return options;
}

void BM_ListLoad(benchmark::State& state) {
    TransferJob job;
    job.kind = TransferJobKind::ListLoad;
    job.listKind = 'T';
    RunAgainstSimulator(state, FullList(), job, false);
}
BENCHMARK(BM_ListLoad)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListSend(benchmark::State& state) {
    std::string text = "HEADER:\tTV\tbench\r\nCA\tProgram name\tFrequence in MHz\tPolarisation\t"
                       "Symbolrate\tFEC\tSID\tV-PID\tA-PID\tPCR\tSatellite\r\n";
    for (int row = 0; row < CProgramPool::RowCount(); ++row)
        text += ProgramLine(row) + "\r\n";
    text += "BANK0:\tBANK1:\tBANK2:\tBANK3:\tBANK4:\tBANK5:\tBANK6:\tBANK7:\tBANK8:\tBANK9:\r\n";
    for (int entry = 0; entry < 100; ++entry)
        text += std::to_string(entry) + "\t" + std::to_string(entry + 1) + "\r\n";
    const std::string path = Folder() + "/bench.lst";
    std::string reason;
    if (!WriteFileAtomically(path, text, reason))
        std::abort();
    TransferJob job;
    job.kind = TransferJobKind::ListSend;
    job.list.Fill({"TV", "bench", path, "bench.lst", std::to_string(text.size())});
    RunAgainstSimulator(state, sim::SimulatorOptions{}, job, true);
}
BENCHMARK(BM_ListSend)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace fw
