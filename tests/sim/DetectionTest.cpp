#include "tests/sim/SimTestSupport.h"

#include "sim/Receiver.h"
#include "tests/support/FileTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

namespace fw::sim::test {
namespace {

TEST(SimDetection, EveryModelAnswersDetectionThenModel) {
    const struct {
        Model model;
        std::string reply;
    } cases[] = {{Model::RecOk, "RECOK"},
                 {Model::Zeb10, "ZEB10"},
                 {Model::Zeb20, "ZEB20"},
                 {Model::Zeb30, "ZEB30"},
                 {Model::RecFa, "RECFA"}};
    for (const auto& c : cases) {
        SimulatorOptions options;
        options.model = c.model;
        options.loaderVersion = "1.0";
        Running simulator(options);
        PcPort pc(simulator.Device());
        ASSERT_TRUE(pc.Send(BuildCommandFrame("LOAD DEFW", 57600)));
        EXPECT_EQ(pc.Receive(9), "RECOK 1.0") << simulator.Log();
        EXPECT_EQ(pc.Receive(5), c.reply) << simulator.Log();
    }
}

TEST(SimDetection, ReceiverWithoutSoftwareHasNoListsButTakesSettings) {
    SimulatorOptions options;
    options.model = Model::RecFa;
    Running simulator(options);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD TLIS"), "RECFA");
    EXPECT_TRUE(simulator.WaitForJobs(1));
    EXPECT_TRUE(pc.StaysQuiet()) << "no program line may follow";

    EXPECT_EQ(pc.Detect("LOAD DEFW"), "RECFA");
    EXPECT_EQ(pc.Receive(kSettingsSize).size(), kSettingsSize) << simulator.Log();
}

TEST(SimDetection, BytesThatFormNoFrameAreSkipped) {
    Running simulator;
    PcPort pc(simulator.Device());
    // Noise, an unknown command, a baud rate no receiver runs, then a frame cut in two.
    const std::string frame = BuildCommandFrame("PROG DEFW", 115200);
    ASSERT_TRUE(pc.Send("\x01noise" + BuildCommandFrame("PROG XXXX", 115200) +
                        BuildCommandFrame("LOAD DEFW", 0) + frame.substr(0, 6)));
    EXPECT_TRUE(pc.StaysQuiet());
    ASSERT_TRUE(pc.Send(frame.substr(6)));
    EXPECT_EQ(pc.Receive(9), "RECOK 1.1") << simulator.Log();
    EXPECT_EQ(pc.Receive(5), "ZEB30");
    EXPECT_EQ(simulator->Commands(), std::vector<std::string>{"PROG DEFW"});
}

TEST(SimDetection, WireHelpers) {
    const std::optional<CommandFrame> frame =
        ParseCommandFrame(std::string("LOAD TLIS") + Bytes({0, 0, 0xE1, 0, 0x0D}));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->command, Command::LoadTlis);
    EXPECT_EQ(frame->baud, 57600u);
    EXPECT_FALSE(ParseCommandFrame(std::string("LOAD TLIS") + Bytes({0, 0, 0xE1, 0, 0x0A})));

    // Blocks above 1.0, as the PC reads the version; what it cannot read is 0.
    EXPECT_FALSE(UsesBlockProtocol("1.0"));
    EXPECT_FALSE(UsesBlockProtocol("-2."));
    EXPECT_FALSE(UsesBlockProtocol(" 2x"));
    EXPECT_TRUE(UsesBlockProtocol("1.1"));
}

// Line pacing measured on the clock: run alone (label "timing"). After the detection, an
// exchange takes the line time of every byte in both directions plus the receiver's own pauses,
// and at most 15 % more, even where every line waits for its answer. Full lists and a large
// firmware take minutes at 115200 baud: flashwerk_bench_link measures those.
TEST(SimPacingTiming, ExchangesTakeTheLineTimeOfTheFrameRate) {
    std::vector<std::string> programs;
    for (int k = 0; k < 300; ++k)
        programs.push_back(ProgramLine(k));
    Banks banks;
    for (std::size_t bank = 0; bank < banks.size(); ++bank)
        for (std::uint16_t entry = 0; entry < 30; ++entry)
            banks[bank].push_back(static_cast<std::uint16_t>(entry * 10 + bank));
    SimulatorOptions load;
    load.model = Model::RecOk;
    load.tvList = programs;
    load.tvBanks = banks;
    SimulatorOptions send;
    send.model = Model::RecOk;
    const std::string image(24 * kBlockSize, '\x5A');
    const auto sendFirmware = [&](PcPort& pc) {
        EXPECT_EQ(pc.Receive(10), std::string("ABC V1.20") + '\0');
        pc.Send("RECOK" + U32BE(24));
        EXPECT_EQ(pc.Receive(5), "RECOK");
        for (std::size_t block = 0; block < 24; ++block) {
            const std::string data = image.substr(block * kBlockSize, kBlockSize);
            pc.Send('\r' + U32BE(SumBytes(data)) + data);
            EXPECT_EQ(pc.Receive(1), "\r") << "block " << block;
        }
        EXPECT_EQ(pc.Receive(6).size(), 6u);
    };

    const struct {
        const char* what;
        SimulatorOptions options;
        std::string_view command;
        std::uint32_t baud;
        Millis pauses; // the receiver's own after the detection
        std::function<void(PcPort&)> exchange;
    } cases[] = {
        {"settings at 57600 baud",
         {},
         "LOAD DEFW",
         57600,
         Millis{0},
         [](PcPort& pc) { EXPECT_EQ(pc.Receive(kSettingsSize).size(), kSettingsSize); }},
        {"a load of 1000 places holding 300 programs", load, "LOAD TLIS", 115200, Millis{0},
         [&](PcPort& pc) { EXPECT_TRUE(LoadList(pc, PlacesWith(1000, programs), banks)); }},
        {"a send of 1000 places holding 300 programs", send, "PROG TLIS", 115200,
         kQuickPauses.erase,
         [&](PcPort& pc) {
             EXPECT_TRUE(SendList(pc, PlacesWith(1000, programs), banks));
             EXPECT_EQ(pc.Receive(1), "\xFF");
         }},
        {"firmware of 24 blocks",
         {},
         "PROG CODE",
         115200,
         6 * kQuickPauses.progressStep,
         sendFirmware},
    };
    // Every round trip waits for two threads to wake up: on a machine busier than its cores,
    // that alone takes longer than the line, so only the lower bound says anything there.
    double machineLoad = 0;
    const bool coreToSpare =
        ::getloadavg(&machineLoad, 1) == 1 && machineLoad < std::thread::hardware_concurrency();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimulatorOptions options = c.options;
        options.pacing = true;
        Running simulator(options);
        PcPort pc(simulator.Device());
        pc.Detect(c.command, c.baud);
        const std::size_t before = pc.BytesMoved();
        const auto start = Clock::now();
        c.exchange(pc);
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        const double lineSeconds =
            static_cast<double>(pc.BytesMoved() - before) * 10 / static_cast<double>(c.baud);
        const double pauseSeconds = std::chrono::duration<double>(c.pauses).count();
        // The PC's last answer may still be on its way.
        EXPECT_GE(took, lineSeconds - 10.0 / c.baud);
        if (coreToSpare) {
            EXPECT_LE(took, 1.15 * lineSeconds + pauseSeconds)
                << "paced / (line + pauses) = " << took / (lineSeconds + pauseSeconds);
        }
    }
    if (!coreToSpare)
        GTEST_SKIP() << "upper bound not checked: load average " << machineLoad << " on "
                     << std::thread::hardware_concurrency() << " cores";
}

TEST(SimLifecycle, PcClosingDuringAJobFreesTheReceiverAtOnce) {
    SimulatorOptions options;
    options.loaderVersion = "1.0";
    Running simulator(options);
    {
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG CODE"), "ZEB30");
        EXPECT_EQ(pc.Receive(10), std::string("ABC V1.20") + '\0');
        pc.Send("RECOK" + U32BE(5000) + U32BE(0));
        EXPECT_EQ(pc.Receive(5), "RECOK");
        pc.Send(std::string(100, 'x')); // then the user cancels: the port closes
    }
    EXPECT_TRUE(simulator.WaitForJobs(1, 1000)) << simulator.Log();
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30");
}

TEST(SimLifecycle, StopEndsAWaitingJobPromptlyAndStartServesAgain) {
    Running simulator;
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG CODE"), "ZEB30"); // now the receiver waits minutes for a verdict
    EXPECT_EQ(pc.Receive(10).size(), 10u);
    const auto start = Clock::now();
    simulator->Stop();
    // Not after the minutes the receiver would wait.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));

    simulator->Start();
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30") << simulator.Log();
}

TEST(SimLifecycle, SymlinkIsPlacedReplacedAndRemoved) {
    fw::test::TempDir dir;
    const std::string link = dir.File("com1");
    const std::string file = dir.File("plain");
    fw::test::WriteBytes(file, "keep");
    {
        Running simulator;
        std::string reason;
        std::filesystem::create_symlink("/nowhere", link);
        ASSERT_TRUE(simulator->PlaceSymlink(link, reason)) << reason;
        EXPECT_EQ(std::filesystem::read_symlink(link), simulator.Device());
        EXPECT_FALSE(simulator->PlaceSymlink(file, reason));
        EXPECT_EQ(fw::test::ReadBytes(file), "keep");

        PcPort pc(link);
        EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30");
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimLifecycle, OpenRefusesOptionsNoReceiverHas) {
    SimulatorOptions version;
    version.loaderVersion = "1.10";
    SimulatorOptions settings;
    settings.settings = "short";
    SimulatorOptions progress;
    progress.progressSequence = {0, 256};
    for (SimulatorOptions* options : {&version, &settings, &progress}) {
        ReceiverSimulator simulator(*options);
        std::string reason;
        EXPECT_FALSE(simulator.Open(reason));
        EXPECT_FALSE(reason.empty());
    }
}

} // namespace
} // namespace fw::sim::test
