// A send from the tool takes a safety copy first and checks the receiver afterwards.
#include "core/app/Logbook.h"
#include "core/link/LinkTiming.h"
#include "core/safety/SafetyCopyStore.h"
#include "sim/ReceiverSimulator.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fw::cli {
namespace {

using ::testing::HasSubstr;

TEST(CliSafeSendTest, ExitCodesSayWhetherTheReceiverHoldsWhatWasSent) {
    SetLinkTimeFactor(0.1);
    const std::string held(2048, '\x5A');
    const std::string sent(2048, '\x22');
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::string profile;        // upd.ini
        const char* storeFault;     // --store-settings-byte value
        bool copyLoadFails = false; // the first settings load comes back short
        int code;
        std::vector<std::string> commands;
        const char* out;
        const char* err;
        std::size_t copies;
        std::size_t logLines;
    } cases[] = {
        {"copy, send, check",
         {},
         "",
         nullptr,
         false,
         kExitOk,
         {"LOAD DEFW", "PROG DEFW", "LOAD DEFW"},
         "The receiver holds the settings as sent (2048 bytes).\n",
         "Safety copy: ",
         1,
         3},
        {"the receiver stores another byte",
         {"--no-backup"},
         "",
         "5:1",
         false,
         kExitReceiverDiffers,
         {"PROG DEFW", "LOAD DEFW"},
         "The receiver holds different settings: the byte at offset 5 differs: sent 34, holds "
         "1.\n",
         "",
         0,
         2},
        {"no safety copy, nothing sent",
         {},
         "",
         nullptr,
         true,
         kExitFailed,
         {"LOAD DEFW"},
         "",
         "Nothing sent: the safety copy failed: ",
         0,
         1},
        {"sent, but the check cannot run",
         {"--no-backup"},
         "",
         nullptr,
         true,
         kExitFailed,
         {"PROG DEFW", "LOAD DEFW"},
         "",
         "Sent; the check could not run: ",
         0,
         2},
        {"neither by options",
         {"--no-backup", "--no-verify"},
         "",
         nullptr,
         false,
         kExitOk,
         {"PROG DEFW"},
         "",
         "",
         0,
         1},
        {"neither by upd.ini",
         {},
         "[SAFETY]\r\nBACKUP=0\r\nVERIFY=0\r\n",
         nullptr,
         false,
         kExitOk,
         {"PROG DEFW"},
         "",
         "",
         0,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir data;
        if (!c.profile.empty()) {
            test::WriteBytes(data.File("upd.ini"), c.profile);
        }
        sim::SimulatorOptions options;
        options.settings = held;
        if (c.copyLoadFails) {
            options.faults = {{sim::Step::SettingsBlock, 0, sim::FaultKind::ShortReply}};
        }
        std::string error;
        if (c.storeFault != nullptr) {
            ASSERT_TRUE(sim::ParseStoreFault("--store-settings-byte", c.storeFault,
                                             options.storeFaults, error));
        }
        sim::ReceiverSimulator receiver(options);
        ASSERT_TRUE(receiver.Open(error)) << error;
        receiver.Start();
        const std::string file = data.File("new.grd");
        test::WriteBytes(file, sent);

        std::vector<std::string> arguments = {
            "settings",          "send", file, "--port", receiver.DevicePath(), "--data-dir",
            data.Path().string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const test::CliRun run = test::RunCliCaught(arguments);

        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_EQ(receiver.Commands(), c.commands);
        const bool programmed =
            std::find(c.commands.begin(), c.commands.end(), "PROG DEFW") != c.commands.end();
        EXPECT_EQ(receiver.ReceivedSettings(), programmed ? sent : "");
        EXPECT_EQ(run.out, c.out);
        EXPECT_THAT(run.err, HasSubstr(c.err));
        EXPECT_EQ(ListSafetyCopies(data.File("settings/backup")).size(), c.copies);
        std::vector<LogbookRecord> log;
        ASSERT_TRUE(ReadLogbook(data.Path().string(), kWholeLogbook, log, error)) << error;
        EXPECT_EQ(log.size(), c.logLines);
    }
    SetLinkTimeFactor(1);
}

TEST(CliSafeSendTest, CheckComparesWithTheReceiverWithoutSending) {
    SetLinkTimeFactor(0.1);
    const std::string held(2048, '\x5A');
    const struct {
        std::string file;
        int code;
        const char* out;
    } cases[] = {
        {held, kExitOk, "The receiver holds the settings as sent (2048 bytes).\n"},
        {std::string(2048, '\x22'), kExitReceiverDiffers,
         "The receiver holds different settings: 2048 bytes differ, the first at offset 0: sent "
         "34, holds 90.\n"},
    };
    for (const auto& c : cases) {
        test::TempDir data;
        sim::SimulatorOptions options;
        options.settings = held;
        sim::ReceiverSimulator receiver(options);
        std::string error;
        ASSERT_TRUE(receiver.Open(error)) << error;
        receiver.Start();
        test::WriteBytes(data.File("mine.grd"), c.file);
        const test::CliRun run = test::RunCliCaught(
            {"settings", "check", data.File("mine.grd"), "--port", receiver.DevicePath(),
             "--data-dir", data.Path().string(), "--report", data.File("report.txt")});
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(receiver.Commands(), std::vector<std::string>{"LOAD DEFW"});
        EXPECT_EQ(receiver.ReceivedSettings(), "");
        std::vector<LogbookRecord> log;
        ASSERT_TRUE(ReadLogbook(data.Path().string(), kWholeLogbook, log, error)) << error;
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].job, "settings check");
        EXPECT_EQ(log[0].verdict + "\n", c.out);
        // The report begins with the verdict and lists every difference.
        const std::string report = test::ReadBytes(data.File("report.txt"));
        EXPECT_TRUE(report.starts_with(log[0].verdict)) << report;
        EXPECT_EQ(report.find("Byte 2047: sent 34, holds 90") != std::string::npos,
                  c.code == kExitReceiverDiffers)
            << report;
    }
    SetLinkTimeFactor(1);
}

} // namespace
} // namespace fw::cli
