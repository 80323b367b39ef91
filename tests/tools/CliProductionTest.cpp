// The production station run from the command line against simulated receivers.
#include "core/link/LinkTiming.h"
#include "core/production/ProductionReport.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "sim/ReceiverSimulator.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/support/PtyTestSupport.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"
#include "tools/cli/TerminalInteraction.h"
#include "tools/cli/TerminalTransferView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;

// A receiver on a simulator, or a silent line where none answers.
struct ProductionReceiver {
    std::unique_ptr<sim::ReceiverSimulator> simulator;
    std::unique_ptr<test::PtyEnd> silent;
    std::string Device() const { return simulator ? simulator->DevicePath() : silent->Device(); }
    bool ReceivedNothing() const {
        return simulator->ReceivedFirmware().empty() && simulator->ReceivedSettings().empty() &&
               simulator->ReceivedList(true).empty() && simulator->ReceivedList(false).empty();
    }
};

sim::SimulatorOptions ProductionSim(sim::Model model, const std::string& software = "ABC V1.20") {
    sim::SimulatorOptions options;
    options.model = model;
    options.softwareText = model == sim::Model::RecFa ? "NONE" : software;
    return options;
}

class CliProductionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLinkTimeFactor(0.1);
        test::WriteBytes(m_dir.File("new.bsr"), test::FirmwareImage(4096, "ABC V2.00"));
        test::WriteBytes(m_dir.File("shop.grd"), std::string(2048, '\x33'));
        test::WriteBytes(m_dir.File("tv.lst"), test::NumberedList("TV", "Shop", 5));
        test::WriteBytes(m_dir.File("radio.lst"), test::NumberedList("RA", "Shop", 2));
        WriteRecipe("FIRMWARE=new.bsr\nSETTINGS=shop.grd\nTV=tv.lst\nRADIO=radio.lst\n");
    }
    void TearDown() override { SetLinkTimeFactor(1); }

    void WriteRecipe(const std::string& keys) { test::WriteBytes(m_recipe, "[RECIPE]\n" + keys); }
    ProductionReceiver& Add(std::optional<sim::SimulatorOptions> options) {
        auto receiver = std::make_unique<ProductionReceiver>();
        if (options) {
            receiver->simulator = std::make_unique<sim::ReceiverSimulator>(*options);
            std::string reason;
            EXPECT_TRUE(receiver->simulator->Open(reason)) << reason;
            receiver->simulator->Start();
        } else
            receiver->silent = std::make_unique<test::PtyEnd>();
        m_receivers.push_back(std::move(receiver));
        return *m_receivers.back();
    }
    std::vector<std::string> Run(std::vector<std::string> arguments) const {
        std::vector<std::string> full = {"production", "run", m_recipe, "--data-dir",
                                         m_dir.Path().string()};
        full.insert(full.end(), arguments.begin(), arguments.end());
        for (const auto& receiver : m_receivers)
            full.insert(full.end(), {"--port", receiver->Device()});
        return full;
    }

    test::TempDir m_dir;
    const std::string m_recipe = m_dir.File("shop.recipe");
    std::vector<std::unique_ptr<ProductionReceiver>> m_receivers;
};

TEST_F(CliProductionTest, EveryReceiverHasItsLinesItsRowAndTheExitCodeSumsThemUp) {
    struct Case {
        const char* name;
        std::vector<std::optional<sim::SimulatorOptions>> receivers;
        std::vector<std::string> options;
        int code;
        std::vector<const char*> results; // per port, as the summary and the report say
        std::vector<const char*> said;    // on the error stream
        bool portOfProfile = false;       // no --port: COMPORT of upd.ini leads to the receiver
        bool logBlocked = false;          // the data folder's log folder cannot be made
    };
    const std::string report = m_dir.File("run.csv");
    const Case cases[] = {
        {"two receivers, one of them new",
         {ProductionSim(sim::Model::Zeb30), ProductionSim(sim::Model::RecFa)},
         {"--report", report},
         kExitOk,
         {"ok", "ok"},
         {": done ("}},
        {"a silent port does not stop the other",
         {std::nullopt, ProductionSim(sim::Model::Zeb30)},
         {"--report", report},
         kExitFailed,
         {"failed", "ok"},
         {": failed: ", ": done ("}},
        // The same version as the file: the warning is asked, and no one can answer it.
        {"a question without --yes and without a terminal",
         {ProductionSim(sim::Model::Zeb30, "ABC V2.00")},
         {},
         kExitCancelled,
         {"failed"},
         {"COM1: ", "--yes answers the question with Yes."},
         true},
        // Neither the day's report nor the logbook can be written: said, but no failure.
        {"the log cannot be written",
         {ProductionSim(sim::Model::Zeb30)},
         {"--report", report},
         kExitOk,
         {"ok"},
         {"Warning: not written: "},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_receivers.clear();
        for (const auto& options : c.receivers)
            Add(options);
        if (c.logBlocked) {
            std::filesystem::remove_all(m_dir.File("log"));
            test::WriteBytes(m_dir.File("log"), "a file where the folder would be");
        }
        std::vector<std::string> arguments = Run(c.options);
        if (c.portOfProfile) {
            test::WriteBytes(m_dir.File("upd.ini"), "[DATENTRANSFER]\nCOMPORT=1\n[PORTS]\nCOM1=" +
                                                        m_receivers[0]->Device() + "\n");
            arguments.resize(arguments.size() - 2);
        }
        const CliRun run = test::RunCliCaught(arguments);
        EXPECT_EQ(run.code, c.code) << run.err;
        for (const char* text : c.said)
            EXPECT_THAT(run.err, HasSubstr(text));
        // The summary: a heading and one line per port with its device and result.
        std::istringstream summary(run.out);
        std::vector<std::string> lines;
        for (std::string line; std::getline(summary, line);)
            lines.push_back(line);
        ASSERT_EQ(lines.size(), c.receivers.size() + 1) << run.out;
        EXPECT_THAT(lines[0],
                    ::testing::MatchesRegex("Port +Device +Model +Result +Check +Reason"));
        for (std::size_t i = 0; i < c.results.size(); ++i) {
            const std::string device = m_receivers[i]->Device();
            const std::string port = c.portOfProfile ? "COM1" : device;
            EXPECT_THAT(lines[i + 1], ::testing::StartsWith(port + "  "));
            EXPECT_THAT(lines[i + 1], HasSubstr("  " + device + "  "));
            EXPECT_THAT(lines[i + 1], HasSubstr(std::string("  ") + c.results[i] + "  "));
            // Every event line names its port.
            EXPECT_THAT(run.err, HasSubstr(port + ": "));
        }
        if (c.portOfProfile) {
            EXPECT_TRUE(m_receivers[0]->ReceivedNothing());
            continue;
        }
        // The report: the header and this run's rows, in the order of the ports.
        const std::string written = test::ReadBytes(report);
        std::istringstream rows(written);
        std::vector<std::string> reportLines;
        for (std::string line; std::getline(rows, line);)
            reportLines.push_back(line);
        ASSERT_EQ(reportLines.size(), c.receivers.size() + 1) << written;
        EXPECT_EQ(reportLines[0] + "\n", ProductionReportHeader());
        for (std::size_t i = 0; i < c.results.size(); ++i) {
            EXPECT_THAT(reportLines[i + 1], HasSubstr("," + m_receivers[i]->Device() + ","));
            EXPECT_THAT(reportLines[i + 1], HasSubstr(std::string(",") + c.results[i] + ","));
        }
    }
}

TEST_F(CliProductionTest, MistakesAreRefusedBeforeAnythingIsSent) {
    ProductionReceiver& receiver = Add(ProductionSim(sim::Model::Zeb30));
    const std::string data = m_dir.Path().string();
    const std::string dayLog = ProductionLogPath(data, std::chrono::system_clock::now());
    struct Case {
        std::string recipeKeys; // empty: the good recipe
        std::vector<std::string> arguments;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"FIRMWARE=none.bsr\nTV=tv.lst\n", Run({}), kExitBadFile, "FIRMWARE"},
        {"TV=radio.lst\n", Run({}), kExitBadFile, "this step needs type TV"},
        {"TV=tv.lst\nVERIFY=yes\n", Run({}), kExitBadFile, "VERIFY"},
        {"",
         {"production", "run", m_recipe, "--data-dir", data},
         kExitUsage,
         "Name the station's ports"},
        {"", Run({"--port", "auto"}), kExitUsage, "Invalid value for --port: auto"},
        {"", Run({"--port", receiver.Device()}), kExitUsage, "are the same device"},
        {"", Run({"--report", dayLog}), kExitUsage, "is the same file as"},
        {"", Run({"--report", m_recipe}), kExitUsage, "is the same file as"},
        {"", Run({"--report", m_dir.File("none/run.csv")}), kExitUsage, "cannot be written"},
        {"", {"production", "start", m_recipe}, kExitUsage, "Unknown word: start"},
        {"", {"production", "run"}, kExitUsage, "Wrong number of arguments"},
        {"", Run({"--trace", m_dir.File("t.txt")}), kExitUsage, "Unknown option: --trace"},
    };
    for (const Case& c : cases) {
        WriteRecipe(c.recipeKeys.empty() ? "TV=tv.lst\n" : c.recipeKeys);
        const CliRun run = test::RunCliCaught(c.arguments);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.code, c.code) << shown << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.message)) << shown;
        EXPECT_TRUE(run.out.empty()) << shown;
    }
    EXPECT_TRUE(receiver.ReceivedNothing());
    EXPECT_FALSE(std::filesystem::exists(dayLog));
}

TEST_F(CliProductionTest, CtrlCCancelsEveryPort) {
    WriteRecipe("TV=tv.lst\n");
    for (int i = 0; i < 2; ++i) {
        sim::SimulatorOptions options = ProductionSim(sim::Model::RecOk); // 1000 places
        options.pacing = true; // the line takes its time, so the interrupt lands mid-list
        Add(options);
    }
    test::WatchedOutput watched;
    std::ostream err(&watched);
    std::thread interrupter([&watched] {
        // A quarter of a list on the line: the ports are sending, where cancelling is allowed.
        if (watched.WaitFor(": 25 %"))
            std::raise(SIGINT);
    });
    std::ostringstream out;
    const int code = RunCli(Run({"--baud", "115200"}), out, err);
    interrupter.join();
    const std::string said = watched.Text();
    EXPECT_EQ(code, kExitCancelled) << said;
    for (const auto& receiver : m_receivers) {
        EXPECT_THAT(said, HasSubstr(receiver->Device() + ": Cancel requested."));
        EXPECT_THAT(said, HasSubstr(receiver->Device() + ": failed: "));
    }
    EXPECT_THAT(out.str(), HasSubstr("  failed  not run  "));
}

// Each port's lines begin with its name; a bar is cleared before a line and drawn again after it.
TEST(CliProductionViewTest, EveryLineNamesItsPortAndTheBarMakesWay) {
    const std::string clear = "\r\033[K";
    const std::string half = "COM2: [" + std::string(20, '#') + std::string(20, '.') + "] 50 %";
    const std::string full = "COM2: [" + std::string(40, '#') + "] 100 %";
    const struct {
        ProgressShown progress;
        std::string shown;
    } cases[] = {
        {ProgressShown::Bar,
         half + clear + "COM2: Sending\n" + half + clear + full + clear + "COM2: done\n"},
        {ProgressShown::Quarters, "COM2: 50 %\nCOM2: Sending\nCOM2: 100 %\nCOM2: done\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        std::mutex lock;
        TerminalInteraction questions(err, nullptr, false, &lock);
        {
            TerminalTransferView view(err, questions, c.progress, PortLines{"COM2", &lock});
            view.SetProgress(50);
            view.SetStatus("Sending");
            view.SetProgress(100);
            view.SayLast("done");
        }
        EXPECT_EQ(err.str(), c.shown);
    }
}

} // namespace
} // namespace fw::cli
