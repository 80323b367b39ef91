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
//
// Production (BM_Production, only with --production): see the note above its code.
#include "bench/FullList.h"
#include "core/link/LinkTiming.h"
#include "core/link/PortMap.h"
#include "core/link/SafeSend.h"
#include "core/link/TransferSession.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "core/production/ProductionReport.h"
#include "core/production/Recipe.h"
#include "core/production/Station.h"
#include "core/util/FileIo.h"
#include "sim/Receiver.h"
#include "sim/ReceiverSimulator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
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

    // nullptr detaches: once that returns, no tick reaches the session that was attached.
    void Attach(TransferSession* session) {
        std::lock_guard calling(m_calling);
        std::lock_guard lock(m_mutex);
        m_session = session;
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
                {
                    std::lock_guard calling(m_calling);
                    TransferSession* session = nullptr;
                    {
                        std::lock_guard look(m_mutex);
                        session = m_session;
                    }
                    if (session != nullptr)
                        session->OnTimer(timer);
                }
                lock.lock();
            }
        }
    }

    std::string m_savePath;
    std::mutex m_calling; // held while a tick runs in the session
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
        view.Attach(&session);
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

// The production station: N receivers, each a paced simulator process of its own on its own
// pseudo-terminal, and the station in this process sending one recipe to all of them at once.
// The work is the line's, so N receivers should take about the time of one
// (ratio_to_one_receiver, target at most 1.1 for 8), and this process's CPU time over the wall
// time should stay small (cpu_percent_per_receiver, of one core, target under 5 %).
// sim_cpu_percent_per_receiver is the same for the simulator processes, which share the
// machine; line_seconds is one receiver's bytes at 115200 baud, without the detections'
// slower rate and the pauses of either side.
// These cases take minutes each, so they run only when asked for: --production for the
// recipe's real size, --production=smoke for a small one that checks the case still works.

struct StationSize {
    const char* name;
    std::size_t firmwareBytes;
    sim::Model model;
    int places; // every place of both lists filled
    int bankEntries;
};

// A 2 MiB firmware, settings, and a TV and a radio list that fill a ZEB30's 4000 places.
constexpr StationSize kStationFull{"", 2 * 1024 * 1024, sim::Model::Zeb30, 4000, 1000};
// The same recipe for a receiver of 1000 places, with a small firmware.
constexpr StationSize kStationSmoke{"smoke", 64 * 1024, sim::Model::RecOk, 1000, 100};

// flashwerk-receiver-sim as a process of its own, serving until it is stopped.
class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess() { Stop(); }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Starts it and waits for the device it names; its events go to logPath.
    bool Start(const std::vector<std::string>& arguments, const std::string& logPath,
               std::string& reason) {
        int pipeEnds[2];
        if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
            reason = "no pipe";
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> words{FLASHWERK_RECEIVER_SIM};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        if (spawned != 0) {
            ::close(pipeEnds[0]);
            m_pid = 0;
            reason = std::string("cannot start ") + FLASHWERK_RECEIVER_SIM;
            return false;
        }
        // The first line is the device; the tool writes nothing more to its output.
        char c = 0;
        while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
            m_device += c;
        ::close(pipeEnds[0]);
        if (c != '\n' || m_device.empty()) {
            reason = "the simulator named no device; see " + logPath;
            return false;
        }
        return true;
    }

    const std::string& Device() const { return m_device; }

    void Stop() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = 0;
    }

private:
    pid_t m_pid = 0;
    std::string m_device;
};

// User and system time, of this process or of its children that ended.
double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

PreparedRecipe StationRecipe(const StationSize& size) {
    const std::string folder = Folder() + "/station" + size.name;
    std::filesystem::create_directories(folder);
    std::string image(size.firmwareBytes, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7);
    const std::string trailer =
        std::string("SOFTWARE-VERSION") + '\0' + "ABC V2.00" + '\0' + "bench" + '\0';
    image.replace(image.size() - 2048, trailer.size(), trailer);
    WriteOrAbort(folder + "/new.bsr", image);
    WriteOrAbort(folder + "/shop.grd", std::string(2048, '\x33'));
    for (const int type : {kListTv, kListRadio}) {
        const ListDocument full = bench::FullListDocument(type, size.places, size.bankEntries);
        WriteOrAbort(folder + (type == kListTv ? "/tv.lst" : "/radio.lst"),
                     BuildListFileText(type, "shop", full.pool, full.banks));
    }
    Recipe recipe;
    recipe.firmware = "new.bsr";
    recipe.settings = "shop.grd";
    recipe.tvList = "tv.lst";
    recipe.radioList = "radio.lst";
    recipe.verify = true;
    recipe.backup = false;
    PreparedRecipe prepared;
    std::string reason;
    if (!PrepareRecipe(recipe, folder, prepared, reason))
        std::abort();
    return prepared;
}

// The wall time of one receiver, for the runs with more.
std::map<std::string, double> g_oneReceiverSeconds;

void BM_Production(benchmark::State& state, const StationSize& size) {
    const auto receivers = static_cast<std::size_t>(state.range(0));
    const PreparedRecipe recipe = StationRecipe(size);
    const std::string folder = Folder() + "/station" + size.name;
    for (auto _ : state) {
        std::vector<std::unique_ptr<SimulatorProcess>> simulators;
        std::vector<std::unique_ptr<TickingView>> views;
        std::vector<std::unique_ptr<CancelEvent>> cancels;
        std::vector<std::unique_ptr<std::atomic<std::uint64_t>>> bytes;
        std::vector<StationPort> ports;
        const double childCpuBefore = CpuSeconds(RUSAGE_CHILDREN);
        for (std::size_t i = 0; i < receivers; ++i) {
            const std::string log = folder + "/receiver" + std::to_string(i + 1) + ".log";
            auto& simulator = simulators.emplace_back(std::make_unique<SimulatorProcess>());
            std::string reason;
            if (!simulator->Start({"--pace", "--model", std::string(sim::ModelName(size.model))},
                                  log, reason)) {
                state.SkipWithError(reason.c_str());
                return;
            }
            auto& view = views.emplace_back(std::make_unique<TickingView>(folder + "/received"));
            auto& count = bytes.emplace_back(std::make_unique<std::atomic<std::uint64_t>>(0));
            StationPort port;
            port.name = "receiver" + std::to_string(i + 1);
            port.device = simulator->Device();
            port.view = view.get();
            port.cancel = cancels.emplace_back(std::make_unique<CancelEvent>()).get();
            port.attachTimers = [view = view.get(), count = count.get()](TransferSession* session) {
                view->Attach(session);
                if (session != nullptr)
                    session->Port().SetTrace([count](bool, const unsigned char*,
                                                     std::size_t moved) { *count += moved; });
            };
            ports.push_back(std::move(port));
        }
        StationOptions options;
        options.link = LinkSettings{0, 115200, 500, 0, ""};
        options.dataFolder = folder + "/data";
        std::vector<std::string> writeFailures;

        const auto start = Clock::now();
        const double cpuBefore = CpuSeconds(RUSAGE_SELF);
        const std::vector<ProductionRow> rows = RunStation(recipe, ports, options, writeFailures);
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
        const double took = Seconds(Clock::now() - start);
        state.SetIterationTime(took);
        for (auto& view : views)
            view->StopTicking();
        for (auto& simulator : simulators)
            simulator->Stop();
        const double simulatorCpu = CpuSeconds(RUSAGE_CHILDREN) - childCpuBefore;

        // A receiver that did not end ok voids the figure.
        std::string failures;
        for (const ProductionRow& row : rows) {
            if (!RowSucceeded(row))
                failures += row.port + ": " + ProductionReportLine(row) + "  " + row.reason + "; ";
        }
        for (const std::string& failure : writeFailures)
            failures += failure + "; ";
        if (rows.size() != receivers || !failures.empty()) {
            state.SkipWithError(
                ("a receiver failed (logs in " + folder + "): " + failures).c_str());
            return;
        }
        double slowest = 0;
        double fastest = rows.front().seconds;
        for (const ProductionRow& row : rows) {
            slowest = std::max(slowest, row.seconds);
            fastest = std::min(fastest, row.seconds);
        }
        const auto n = static_cast<double>(receivers);
        if (receivers == 1)
            g_oneReceiverSeconds[size.name] = took;
        if (const auto one = g_oneReceiverSeconds.find(size.name);
            one != g_oneReceiverSeconds.end())
            state.counters["ratio_to_one_receiver"] = took / one->second;
        state.counters["wall_seconds"] = took;
        state.counters["slowest_receiver_seconds"] = slowest;
        state.counters["fastest_receiver_seconds"] = fastest;
        state.counters["line_seconds"] = static_cast<double>(*bytes.front()) * 10 / kLineBaud;
        state.counters["cpu_percent_per_receiver"] = 100 * cpu / took / n;
        state.counters["sim_cpu_percent_per_receiver"] = 100 * simulatorCpu / took / n;
    }
}

void RegisterProduction(const StationSize& size) {
    const std::string name = std::string("BM_Production") + (*size.name ? "_" : "") + size.name;
    benchmark::RegisterBenchmark(name.c_str(),
                                 [&size](benchmark::State& state) { BM_Production(state, size); })
        ->Arg(1)
        ->Arg(2)
        ->Arg(4)
        ->Arg(8)
        ->ArgName("receivers")
        ->Iterations(1)
        ->Repetitions(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
}

} // namespace
} // namespace fw

// The production cases only on request: --production or --production=smoke; the other
// arguments are the benchmark library's.
int main(int argc, char** argv) {
    std::vector<char*> arguments;
    for (int k = 0; k < argc; ++k) {
        const std::string_view argument = argv[k];
        if (argument == "--production")
            fw::RegisterProduction(fw::kStationFull);
        else if (argument == "--production=smoke")
            fw::RegisterProduction(fw::kStationSmoke);
        else
            arguments.push_back(argv[k]);
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
