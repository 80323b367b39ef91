// The receiver commands up to the point where a transfer would start; the transfers themselves
// run against the simulator in the link job tests.
#include "tools/cli/Cli.h"
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"
#include "tests/tools/CliTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;

class CliTransferCommandsTest : public ::testing::Test {
protected:
    CliRun RunTool(std::vector<std::string> arguments) {
        arguments.push_back("--data-dir=" + m_dir.Path().string());
        return test::RunCliCaught(arguments);
    }

    test::TempDir m_dir;
};

TEST_F(CliTransferCommandsTest, PortsShowsTheMapOfUpdIni) {
    test::WriteBytes(m_dir.File("upd.ini"), "[PORTS]\nCOM2=/dev/ttyFAKE7\n");
    const CliRun run = RunTool({"ports"});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_THAT(run.out, HasSubstr("COM2: /dev/ttyFAKE7\n"));
    EXPECT_THAT(run.out, HasSubstr("COM4: "));
}

TEST_F(CliTransferCommandsTest, MistakesAreRefusedBeforeAnyTransfer) {
    const std::string list = m_dir.File("untyped.lst");
    test::WriteBytes(list, "HEADER:\tNDEF\tx\r\nCA\tProgram name\tFrequence in MHz\tPolarisation\t"
                           "Symbolrate\tFEC\tSID\tV-PID\tA-PID\tPCR\tSatellite\r\n");
    const std::string foreign = m_dir.File("foreign.lst");
    test::WriteBytes(foreign, "\tOne\t11836\tH\t27500\t3\\4\t28106\t101\t102\t101\t1\r\n");
    const std::string existing = m_dir.File("have.grd");
    test::WriteBytes(existing, "old");
    struct Case {
        std::vector<std::string> arguments;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"firmware", "flash", "a.bsr"}, kExitUsage, "Unknown word: flash"},
        {{"firmware", "send"}, kExitUsage, "Wrong number of arguments"},
        {{"list", "load", "sat", "x.lst"}, kExitUsage, "expected: tv|radio"},
        {{"list", "copy", "x.lst"}, kExitUsage, "expected: load|send"},
        {{"settings", "load", existing}, kExitBadFile, "already exists; --force replaces it"},
        {{"settings", "load", m_dir.File("new"), "--baud", "9600"}, kExitUsage,
         "Invalid value for --baud: 9600"},
        {{"settings", "load", m_dir.File("new"), "--port", "COM9"}, kExitUsage,
         "Invalid value for --port: COM9"},
        {{"list", "send", list}, kExitBadFile, "The list has no type"},
        {{"list", "send", list, "--type", "sat"}, kExitUsage, "Invalid value for --type"},
        {{"list", "send", foreign, "--type", "tv"}, kExitBadFile, "must be repaired first"},
        {{"firmware", "send", m_dir.File("none.bsr")}, kExitBadFile, "could not be opened"},
        {{"ports", "--force"}, kExitUsage, "Unknown option: --force"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunTool(c.arguments);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.code, c.code) << shown << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.message)) << shown;
    }
    EXPECT_EQ(test::ReadBytes(existing), "old");
}

} // namespace
} // namespace fw::cli
