#include "core/app/Logbook.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;

class CliLogTest : public ::testing::Test {
protected:
    CliRun RunLogCommand(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"log", "--data-dir", m_dir.Path().string()});
        return test::RunCliCaught(arguments);
    }
    void Log(const std::string& job, const std::string& outcome) {
        LogbookRecord record;
        record.time = "2026-12-07T23:26:02+01:00";
        record.job = job;
        record.port = "COM1";
        record.outcome = outcome;
        record.seconds = 4;
        std::string reason;
        ASSERT_TRUE(AppendToLogbook(m_dir.Path().string(), record, reason)) << reason;
    }

    test::TempDir m_dir;
};

TEST_F(CliLogTest, PrintsTheLastTransfersNewestFirst) {
    const CliRun none = RunLogCommand({});
    EXPECT_EQ(none.code, kExitOk);
    EXPECT_EQ(none.out, "");
    EXPECT_THAT(none.err, HasSubstr("No transfers in the logbook yet"));

    Log("list load", "ok");
    Log("list send", "ERROR 001:\nReceiver not recognized.\x1B[2J");
    const std::string newest = "2026-12-07T23:26:02+01:00\tlist send\tCOM1\t\t\t\t\t\t\t"
                               "ERROR 001:\\nReceiver not recognized.\\x1B[2J\t\t4.0\n";
    const std::string older = "2026-12-07T23:26:02+01:00\tlist load\tCOM1\t\t\t\t\t\t\tok\t\t4.0\n";
    const CliRun all = RunLogCommand({});
    EXPECT_EQ(all.code, kExitOk) << all.err;
    EXPECT_EQ(all.out, newest + older);
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(RunLogCommand({"--last", "1"}).out, newest);
    EXPECT_EQ(RunLogCommand({"--last=5"}).out, newest + older);
}

TEST_F(CliLogTest, RefusesWrongUsage) {
    const std::vector<std::string> wrong[] = {
        {"--last", "0"}, {"--last", "many"}, {"--last", "-3"}, {"extra"}, {"--port", "COM1"}};
    for (const auto& arguments : wrong) {
        const CliRun run = RunLogCommand(arguments);
        EXPECT_EQ(run.code, kExitUsage) << arguments.front();
        EXPECT_THAT(run.err, HasSubstr("flashwerk-cli log [--last N]")) << arguments.front();
    }
    EXPECT_THAT(test::RunCliCaught({"--help"}).out, HasSubstr("log [--last N]"));
}

} // namespace
} // namespace fw::cli
