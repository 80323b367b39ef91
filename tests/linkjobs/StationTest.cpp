#include "core/production/Station.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"

#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fw {
namespace {

const std::string kStationSettings(2048, '\x33');

// One receiver of a station test: its simulator (or a silent line), its view and its cancel.
struct StationReceiver {
    std::unique_ptr<sim::ReceiverSimulator> simulator;
    std::unique_ptr<test::PtyEnd> silentLine;
    test::RecordingView view;
    CancelEvent cancel;
    std::string Device() const {
        return simulator ? simulator->DevicePath() : silentLine->Device();
    }
};

struct StationCase {
    const char* name;
    bool firmware = true;
    // Per receiver: nullopt is a silent line.
    std::vector<std::optional<sim::SimulatorOptions>> receivers;
    bool cancelFirst = false;       // the first port is cancelled before it starts
    std::vector<const char*> lines; // the report line of each port from the firmware column on
    bool verify = true;
    bool backup = false;
    bool cancelAll = false; // every port is cancelled once it sends data
    bool lists = true;      // without them the chain ends before the radio list
};

sim::SimulatorOptions Receiver(sim::Model model = sim::Model::Zeb30) {
    sim::SimulatorOptions options;
    options.model = model;
    options.softwareText = model == sim::Model::RecFa ? "NONE" : "ABC V1.20";
    return options;
}

sim::SimulatorOptions WithFault(sim::SimulatorOptions options, sim::Fault fault) {
    options.faults.push_back(fault);
    return options;
}

sim::SimulatorOptions CuttingNames(sim::SimulatorOptions options) {
    options.storeFaults.nameMax = 3;
    return options;
}

class StationTest : public test::LinkJobTest {
protected:
    PreparedRecipe Prepared(bool firmware, bool verify, bool backup, bool lists) {
        test::WriteBytes(m_data.File("new.bsr"), test::FirmwareImage(4096, "ABC V2.00"));
        test::WriteBytes(m_data.File("shop.grd"), kStationSettings);
        test::WriteBytes(m_data.File("tv.lst"), test::NumberedList("TV", "Shop", 5));
        test::WriteBytes(m_data.File("radio.lst"), test::NumberedList("RA", "Shop", 2));
        Recipe recipe;
        recipe.firmware = firmware ? "new.bsr" : "";
        recipe.settings = "shop.grd";
        recipe.tvList = lists ? "tv.lst" : "";
        recipe.radioList = lists ? "radio.lst" : "";
        recipe.verify = verify;
        recipe.backup = backup;
        PreparedRecipe prepared;
        std::string reason;
        EXPECT_TRUE(PrepareRecipe(recipe, m_data.Path().string(), prepared, reason)) << reason;
        return prepared;
    }
    test::TempDir m_data;
};

// The report line from the firmware column on, without the seconds.
std::string Verdicts(const ProductionRow& row) {
    std::string line = ProductionReportLine(row);
    std::size_t comma = 0;
    for (int field = 0; field < 7; ++field)
        comma = line.find(',', comma) + 1;
    line = line.substr(comma);
    return line.substr(0, line.rfind(','));
}

TEST_F(StationTest, EveryPortRunsOnItsOwnAndIsReported) {
    const StationCase cases[] = {
        {"all succeed, a new receiver among them",
         true,
         {Receiver(), Receiver(sim::Model::RecFa)},
         false,
         {"ok,ok,ok,ok,same,ok", "ok,ok,ok,ok,same,ok"}},
        {"without firmware every step is detected",
         false,
         {Receiver(), Receiver(sim::Model::Zeb10)},
         false,
         {"skipped,ok,ok,ok,same,ok", "skipped,ok,ok,ok,same,ok"}},
        {"a silent port does not stop the other",
         true,
         {std::nullopt, Receiver()},
         false,
         {"failed,skipped,skipped,skipped,not run,failed", "ok,ok,ok,ok,same,ok"}},
        {"a receiver aborts in the TV list",
         false,
         {WithFault(Receiver(), {sim::Step::LineAnswer, 2, sim::FaultKind::Abort0A}), Receiver()},
         false,
         {"skipped,ok,failed,skipped,not run,failed", "skipped,ok,ok,ok,same,ok"}},
        {"a receiver stores other names",
         true,
         {CuttingNames(Receiver()), Receiver()},
         false,
         {"ok,ok,ok,ok,differs,failed", "ok,ok,ok,ok,same,ok"}},
        {"the check off", true, {Receiver()}, false, {"ok,ok,ok,ok,off,ok"}, false},
        {"a cancelled port sends nothing",
         true,
         {Receiver(), Receiver()},
         true,
         {"failed,skipped,skipped,skipped,not run,failed", "ok,ok,ok,ok,same,ok"}},
        {"safety copies first; a new receiver has nothing to keep",
         true,
         {Receiver(), Receiver(sim::Model::RecFa)},
         false,
         {"ok,ok,ok,ok,same,ok", "ok,ok,ok,ok,same,ok"},
         true,
         true},
        {"cancel all", true, {Receiver(), Receiver()}, false, {}, true, false, true},
        {"a chain that ends before the lists",
         true,
         {Receiver(), Receiver(sim::Model::RecFa)},
         false,
         {"ok,ok,skipped,skipped,same,ok", "ok,ok,skipped,skipped,same,ok"},
         true,
         false,
         false,
         false},
    };
    std::size_t receiversInAll = 0;
    for (const StationCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PreparedRecipe recipe = Prepared(c.firmware, c.verify, c.backup, c.lists);
        receiversInAll += c.receivers.size();
        std::vector<std::unique_ptr<StationReceiver>> receivers;
        std::vector<StationPort> ports;
        std::vector<std::vector<bool>> attached(c.receivers.size());
        for (const auto& options : c.receivers) {
            auto receiver = std::make_unique<StationReceiver>();
            if (options)
                receiver->simulator = test::StartReceiver(*options);
            else
                receiver->silentLine = std::make_unique<test::PtyEnd>();
            ASSERT_TRUE(receiver->simulator || receiver->silentLine);
            StationPort port;
            port.name = "port" + std::to_string(ports.size() + 1);
            port.device = receiver->Device();
            port.view = &receiver->view;
            port.cancel = &receiver->cancel;
            // The view's timers reach the port's own session while it runs, and never after.
            port.attachTimers = [&attached, index = ports.size()](TransferSession* session) {
                attached[index].push_back(session != nullptr);
            };
            ports.push_back(port);
            receivers.push_back(std::move(receiver));
        }
        if (c.cancelFirst)
            receivers[0]->cancel.Set();
        // Each port is cancelled as its data starts, where a receiver allows it; a cancel
        // while it cannot take one would be refused, as the window and the tool refuse it.
        if (c.cancelAll) {
            for (auto& receiver : receivers) {
                receiver->view.OnEvent([&cancel = receiver->cancel](const std::string& event) {
                    if (event == "timer+2")
                        cancel.Set();
                });
            }
        }
        StationOptions options;
        options.link.versionHint = 0;
        // Longer than the simulator's quiet after a chained step: a new receiver waits for the
        // chained settings after its flash and knows the next detection's frame only then.
        options.link.recTimeout = 500;
        options.dataFolder = m_data.File("data");
        std::vector<std::string> failures;
        const std::vector<ProductionRow> rows = RunStation(recipe, ports, options, failures);
        EXPECT_TRUE(failures.empty());
        for (const auto& calls : attached)
            EXPECT_EQ(calls, (std::vector<bool>{true, false}));
        if (c.cancelAll) {
            // Wherever each port was, it ends failed, for the user's cancel.
            for (const ProductionRow& row : rows) {
                EXPECT_FALSE(RowSucceeded(row));
                EXPECT_NE(row.reason.find(LoadResString(str::kCheckCancelled)), std::string::npos)
                    << row.reason;
            }
            continue;
        }
        ASSERT_EQ(rows.size(), c.lines.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const sim::ReceiverSimulator* simulator = receivers[i]->simulator.get();
            EXPECT_EQ(Verdicts(rows[i]), c.lines[i])
                << "port " << i << "\n"
                << (simulator ? test::LogOf(*simulator) : std::string());
            EXPECT_EQ(rows[i].device, receivers[i]->Device());
            EXPECT_EQ(rows[i].reason.empty(), RowSucceeded(rows[i])) << rows[i].reason;
        }
        if (c.backup) {
            // The receiver with software gave its lists and settings; the new one has nothing
            // to keep.
            const auto copies = [&](const char* folder) {
                return ListSafetyCopies(m_data.File("data") + "/" + folder + "/backup").size();
            };
            EXPECT_EQ(copies("lists"), 2u);
            EXPECT_EQ(copies("settings"), 1u);
        }
        // The software after comes from a detection after the restart, checked or not.
        if (c.firmware && !c.cancelFirst && c.receivers[0]) {
            EXPECT_EQ(rows[0].softwareBefore, "ABC V1.20");
            EXPECT_EQ(rows[0].softwareAfter, "ABC V2.00");
        }
        if (c.cancelFirst) {
            EXPECT_TRUE(receivers[0]->simulator->Commands().empty());
        }
        // The new receiver names its new software and the model it became.
        if (c.firmware && !c.cancelFirst && c.receivers.size() > 1 && c.receivers[1] &&
            c.receivers[1]->model == sim::Model::RecFa) {
            EXPECT_EQ(rows[1].softwareBefore, "NONE");
            EXPECT_EQ(rows[1].softwareAfter, "ABC V2.00");
            EXPECT_EQ(rows[1].model, "ZEB30");
            // Sent as long as the model it became holds.
            EXPECT_EQ(receivers[1]->simulator->ReceivedList(true).size(), c.lists ? 4000u : 0u);
        }
    }
    // Every receiver of every case has its row in the day's report.
    const std::string report =
        test::ReadBytes(ProductionLogPath(m_data.File("data"), std::chrono::system_clock::now()));
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = report.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 1u + receiversInAll);
}

} // namespace
} // namespace fw
