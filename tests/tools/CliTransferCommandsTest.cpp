// The receiver commands up to the point where a transfer would start; the transfers themselves
// run against the simulator in the link job tests.
#include "core/res/StringTable.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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
    test::WriteBytes(list, "HEADER:\tNDEF\tx\r\n" + test::kListTitles + "\r\n");
    const std::string foreign = m_dir.File("foreign.lst");
    test::WriteBytes(foreign, test::ProgramLine("One") + "\r\n");
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
        {{"list", "merge", "x.lst"}, kExitUsage, "expected: load|send|check|rows|set|insert"},
        {{"settings", "load", existing}, kExitBadFile, "already exists; --force replaces it"},
        {{"settings", "load", m_dir.File("new"), "--baud", "9600"},
         kExitUsage,
         "Invalid value for --baud: 9600"},
        {{"settings", "load", m_dir.File("new"), "--port", "COM9"},
         kExitUsage,
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

TEST_F(CliTransferCommandsTest, WhatCannotBeSentOrKeptIsRefusedBeforeAnyTransfer) {
    const std::string head = "HEADER:\tTV\tx\r\n" + test::kListTitles + "\r\n";
    const std::string program = test::ProgramLine("One") + "\r\n";
    const std::string mine = m_dir.File("mine.lst");
    test::WriteBytes(mine, head + program);
    const std::string empty = m_dir.File("empty.lst");
    test::WriteBytes(empty, head + "\t\t\t\r\n");
    const std::string broken = m_dir.File("broken.lst");
    test::WriteBytes(broken, head + program + program.substr(0, 5) + "\r" + program);
    const std::string settings = m_dir.File("s.grd");
    test::WriteBytes(settings, std::string(2048, 'x'));
    std::filesystem::create_directory(m_dir.File("folder.lst"));
    ASSERT_EQ(::mkfifo(m_dir.File("pipe.grd").c_str(), 0600), 0);
    std::filesystem::create_symlink(m_dir.File("pipe.grd"), m_dir.File("link.grd"));
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        // A trace must never name a file the run reads or writes.
        {{"list", "send", mine, "--trace", mine}, "is the same file as"},
        {{"list", "send", mine, "--trace", m_dir.File("./mine.lst")}, "is the same file as"},
        {{"list", "load", "tv", m_dir.File("got"), "--trace", m_dir.File("got.lst")},
         "is the same file as"},
        {{"settings", "send", settings, "--trace", m_dir.File("upd.ini")}, "is the same file as"},
        {{"list", "send", empty},
         "holds no program and is not sent: the receiver would erase its "
         "whole program list. With --yes it is sent anyway."},
        {{"list", "send", broken}, "Program place 2, file line 4: the line contains a carriage"},
        // The output is checked as the save dialog checks a name, and for a folder that takes it.
        {{"list", "load", "tv", m_dir.File(".lst")}, "Choose file name"},
        {{"list", "load", "tv", m_dir.File("folder")}, "is a folder"},
        {{"settings", "load", m_dir.File(std::string(300, 'n'))}, "is too long for a file name"},
        {{"settings", "load", m_dir.File("missing/s")}, "cannot be written"},
        {{"settings", "load", m_dir.File("pipe.grd"), "--force"}, "pipe.grd: not a regular file"},
        {{"settings", "load", m_dir.File("link.grd"), "--force"}, "link.grd: not a regular file"},
        {{"list", "load", "tv", m_dir.File("t"), "--description", "\xE6\x97\xA5"},
         "that the file cannot store"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunTool(c.arguments);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(run.code, kExitBadFile) << shown << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.message)) << shown;
        EXPECT_THAT(run.err, ::testing::Not(HasSubstr("not recognized"))) << "no transfer began";
    }
    EXPECT_EQ(test::ReadBytes(mine), head + program);
    {
        test::FileSizeLimit full(0); // a folder that takes no data, even for root
        const CliRun run = RunTool({"settings", "load", m_dir.File("new.grd")});
        EXPECT_EQ(run.code, kExitBadFile);
        EXPECT_THAT(run.err, HasSubstr("cannot be written"));
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("new.grd")));
}

} // namespace
} // namespace fw::cli
