// Each receiver command of the tool once against the simulator, as a user would run it.
#include "core/link/LinkTiming.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "sim/ReceiverSimulator.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"
#include "tests/tools/CliTestSupport.h"
#include "tools/cli/Cli.h"
#include "tools/cli/TerminalInteraction.h"
#include "tools/cli/TerminalTransferView.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

namespace fw::cli {
namespace {

using test::CliRun;
using ::testing::HasSubstr;

class CliTransferTest : public ::testing::Test {
protected:
    void SetUp() override { SetLinkTimeFactor(0.1); }
    void TearDown() override { SetLinkTimeFactor(1); }

    void StartReceiver(sim::SimulatorOptions options) {
        m_receiver = std::make_unique<sim::ReceiverSimulator>(std::move(options));
        std::string reason;
        ASSERT_TRUE(m_receiver->Open(reason)) << reason;
        m_receiver->Start();
    }
    CliRun RunTool(std::vector<std::string> arguments) {
        arguments.insert(arguments.end(),
                         {"--port", m_receiver->DevicePath(), "--data-dir", m_dir.Path().string()});
        return test::RunCliCaught(arguments);
    }
    std::string Firmware(const std::string& version) {
        const std::string path = m_dir.File("fw.bsr");
        test::WriteBytes(path, test::FirmwareImage(4096, version, "x", '\x5A'));
        return path;
    }

    test::TempDir m_dir;
    std::unique_ptr<sim::ReceiverSimulator> m_receiver;
};

TEST_F(CliTransferTest, ListLoadThenSendMovesTheSameList) {
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk; // 1000 places keeps it quick
    options.tvList = {test::ProgramLine("Das Erste"), "\t\t\t\t\t\t\t\t\t\t",
                      "$\tPay\t12000\tV\t22000\t5\\6\t7\t1\t2\t3\t1"};
    options.tvBanks[0] = {2, 0};
    options.tvBanks[9] = {1};
    StartReceiver(options);

    const std::string out = m_dir.File("tv");
    CliRun run = RunTool({"list", "load", "tv", out, "--description", "Mein TV"});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_THAT(run.err, HasSubstr("Program list loaded successfully."));
    const std::string saved = test::ReadBytes(out + ".lst");
    EXPECT_THAT(saved, ::testing::StartsWith("HEADER:\tTV\tMein TV\r\n"));

    run = RunTool({"list", "load", "tv", out + ".lst"});
    EXPECT_EQ(run.code, kExitBadFile) << "an existing file needs --force";

    run = RunTool({"list", "send", out + ".lst"});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    const std::vector<std::string> sent = m_receiver->ReceivedList(true);
    ASSERT_EQ(sent.size(), 1000u);
    EXPECT_EQ(sent[0], options.tvList[0]);
    EXPECT_EQ(sent[2], options.tvList[2]);
    EXPECT_EQ(m_receiver->ReceivedBanks(true)[0], (std::vector<std::uint16_t>{2, 0}));
    EXPECT_EQ(m_receiver->ReceivedBanks(true)[9], (std::vector<std::uint16_t>{1}));
}

TEST_F(CliTransferTest, SettingsLoadThenSend) {
    sim::SimulatorOptions options;
    options.settings = std::string(2048, '\x11');
    options.settings[7] = '\x99';
    StartReceiver(options);
    const std::string out = m_dir.File("s.grd");
    CliRun run = RunTool({"settings", "load", out});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(test::ReadBytes(out), options.settings);

    test::WriteBytes(out, std::string(2048, '\x22'));
    run = RunTool({"settings", "send", out});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(m_receiver->ReceivedSettings(), std::string(2048, '\x22'));
}

TEST_F(CliTransferTest, FirmwareWarningNeedsYesAndTheTraceHoldsEveryByte) {
    sim::SimulatorOptions options; // the receiver has "ABC V1.20"
    StartReceiver(options);
    const std::string firmware = Firmware("ABC V1.20");

    // Same version: without --yes and without a terminal the answer is No.
    CliRun run = RunTool({"firmware", "send", firmware});
    EXPECT_EQ(run.code, kExitCancelled) << run.err;
    EXPECT_THAT(run.err, HasSubstr("already installed."));
    EXPECT_TRUE(m_receiver->ReceivedFirmware().empty());

    const std::string trace = m_dir.File("trace.txt");
    run = RunTool({"firmware", "send", firmware, "--yes", "--trace", trace});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(m_receiver->ReceivedFirmware().size(), 4096u);
    const std::string lines = test::ReadBytes(trace);
    // The first line is the command frame "PROG CODE" at 115200 baud.
    EXPECT_THAT(lines, ::testing::StartsWith("0.0"));
    EXPECT_THAT(lines, HasSubstr(" > 50 52 4f 47 20 43 4f 44 45 00 01 c2 00 0d\n"));
    EXPECT_THAT(lines, HasSubstr(" < 52 45 43 4f 4b 20 31 2e 31\n")); // "RECOK 1.1"
    std::istringstream stream(lines);
    for (std::string text; std::getline(stream, text);)
        EXPECT_THAT(text, ::testing::MatchesRegex("[0-9]+\\.[0-9]{3} [<>]( [0-9a-f]{2})+"));
}

TEST_F(CliTransferTest, FirmwareIsWrittenOnlyWithYesWhenNoOneCanAnswer) {
    sim::SimulatorOptions options; // the receiver has "ABC V1.20": a newer file, no warning
    StartReceiver(options);
    const std::string firmware = Firmware("ABC V1.30");
    const std::string question =
        "Write firmware fw.bsr (version ABC V1.30) into the receiver that runs ABC V1.20?";

    CliRun run = RunTool({"firmware", "send", firmware});
    EXPECT_EQ(run.code, kExitCancelled) << run.err;
    EXPECT_THAT(run.err, HasSubstr(question));
    EXPECT_THAT(run.err, HasSubstr("--yes answers the question with Yes."));
    EXPECT_TRUE(m_receiver->ReceivedFirmware().empty());

    run = RunTool({"firmware", "send", firmware, "--yes"});
    ASSERT_EQ(run.code, kExitOk) << run.err;
    EXPECT_THAT(run.err, HasSubstr(question));
    EXPECT_THAT(run.err, ::testing::Not(HasSubstr("--yes answers")));
    EXPECT_EQ(m_receiver->ReceivedFirmware().size(), 4096u);
}

TEST_F(CliTransferTest, AFailedTransferGivesItsNumberedMessageAndExitOne) {
    sim::SimulatorOptions options;
    options.faults = {{sim::Step::SettingsResult, 0, sim::FaultKind::WrongByte}};
    StartReceiver(options);
    const std::string file = m_dir.File("s.grd");
    test::WriteBytes(file, std::string(2048, '\0'));
    const CliRun run = RunTool({"settings", "send", file, "--lang", "de"});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_THAT(run.err, HasSubstr("FEHLER 009"));
}

TEST_F(CliTransferTest, CtrlCCancelsALoadAtTheNextLine) {
    sim::SimulatorOptions options;
    options.pacing = true; // the line takes its time, so the interrupt lands mid-list
    StartReceiver(options);
    test::WatchedOutput watched;
    std::ostream err(&watched);
    std::thread interrupter([&watched] {
        // Only once the job runs is Ctrl+C the Cancel button rather than the end of the process.
        if (watched.WaitFor(LoadResString(str::kReadingProgramList)))
            std::raise(SIGINT);
    });
    const std::string out = m_dir.File("cancelled.lst");
    std::ostringstream ignored;
    const int code = RunCli({"list", "load", "tv", out, "--baud", "115200", "--port",
                             m_receiver->DevicePath(), "--data-dir", m_dir.Path().string()},
                            ignored, err);
    interrupter.join();
    EXPECT_EQ(code, kExitCancelled) << watched.Text();
    EXPECT_THAT(watched.Text(), HasSubstr("Cancel requested."));
    EXPECT_FALSE(std::filesystem::exists(out)) << "a cancelled load leaves no file";
}

TEST_F(CliTransferTest, CtrlCIsTakenOnlyWhereCancellingIsAllowed) {
    TerminalInteraction questions(std::cerr, nullptr, false);
    TerminalTransferView view(std::cerr, questions, false, std::nullopt);
    view.EnableCancel(false); // e.g. while the receiver answers its model or programs its flash
    EXPECT_FALSE(view.NoteInterrupt());
    view.EnableCancel(true);
    EXPECT_TRUE(view.NoteInterrupt());
}

TEST_F(CliTransferTest, TheReceiversAbortIsSaidAndAnIncompleteTraceIsWarnedOf) {
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk;
    options.faults = {{sim::Step::LineAnswer, 3, sim::FaultKind::Abort0A}};
    StartReceiver(options);
    const std::string list = m_dir.File("l.lst");
    test::WriteBytes(list, "HEADER:\tTV\tx\r\nCA\r\n" + test::ProgramLine("One") + "\r\n");
    CliRun run = RunTool({"list", "send", list});
    EXPECT_EQ(run.code, kExitFailed);
    EXPECT_THAT(run.err, HasSubstr("The receiver cancelled the transfer."));

    const std::string settings = m_dir.File("s.grd");
    test::WriteBytes(settings, std::string(2048, '\x22'));
    const std::string trace = m_dir.File("trace.txt");
    {
        test::FileSizeLimit full(64); // a disk that fills up during the transfer
        run = RunTool({"settings", "send", settings, "--trace", trace, "--no-backup"});
    }
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_EQ(m_receiver->ReceivedSettings(), std::string(2048, '\x22'));
    EXPECT_THAT(run.err, HasSubstr("Warning: the trace file " + trace + " is incomplete: "));
}

} // namespace
} // namespace fw::cli
