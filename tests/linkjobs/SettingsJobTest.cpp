#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/linkjobs/JobHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fw {
namespace {

using sim::FaultKind;
using sim::Step;
using test::Frame;
using test::JobRig;

std::string SettingsImage(std::size_t size = 2048) {
    std::string image(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<char>((i * 13 + 5) & 0xFF);
    return image;
}

class SettingsJobTest : public test::LinkJobTest {
protected:
    void StartReceiver(std::vector<sim::Fault> faults = {}) {
        sim::SimulatorOptions options;
        options.settings = SettingsImage();
        options.faults = std::move(faults);
        receiver = test::StartReceiver(options);
        ASSERT_TRUE(receiver);
    }

    void Load(JobRig& one, int comPort = 1) {
        SettingsLoad job;
        LinkSettings settings;
        settings.comPort = comPort;
        one.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        one.Run();
    }

    // A settings file of size bytes, sent to the receiver on COM1.
    void Send(JobRig& one, const std::string& path, int chained = 0) {
        SettingsSend job;
        job.settings.m_strPath = path;
        job.settings.m_strFileName = std::filesystem::path(path).filename().string();
        job.chain.chained = chained;
        LinkSettings settings;
        settings.comPort = 1;
        one.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        one.Run();
    }

    std::string SettingsFile(std::size_t size = 2048) {
        const std::string path = files.File("mine.grd");
        test::WriteBytes(path, SettingsImage(size));
        return path;
    }

    void ExpectFailed(JobRig& one, const std::string& message, bool lineStays = true) {
        test::ExpectJobFailed(one, message, *receiver, lineStays);
    }

    test::TempDir files;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(SettingsJobTest, LoadWritesTheBlockUnderTheChosenName) {
    StartReceiver();
    JobRig one;
    one.view.AnswerSaveAs("receiver.grd");
    Load(one, 0);

    const std::string path = one.dir.File("receiver.grd");
    EXPECT_EQ(test::ReadBytes(path), SettingsImage()) << one.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(one.view.SavedPaths(), std::vector<std::string>{path});
    EXPECT_EQ(one.wire.Sent(), Frame("LOAD DEFW", 115200));
    EXPECT_TRUE(
        one.view.Has("status=" + FormatText(LoadResString(str::kPortRecognized), {"COM1:"})));
    EXPECT_EQ(one.view.Status(), LoadResString(str::kSettingsLoaded));
    EXPECT_EQ(one.view.CancelCaption(), LoadResString(str::kOkCaption));
    EXPECT_TRUE(one.view.StartEnabled());
    EXPECT_TRUE(one.view.CancelEnabled());
    EXPECT_EQ(one.view.Progress(), 100);
    EXPECT_TRUE(one.view.Messages().empty());
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
    // Written in place, with no temporary file beside it.
    EXPECT_EQ(test::EntryCount(one.dir.Path()), 1u);
    EXPECT_EQ(one.session->Outcome(), JobOutcome::Succeeded);
}

TEST_F(SettingsJobTest, ShortReadLeavesNoFileAndAsksForNoName) {
    StartReceiver({{Step::SettingsBlock, 0, FaultKind::ShortReply}});
    JobRig one;
    one.view.AnswerSaveAs("receiver.grd");
    Load(one);

    ExpectFailed(one, LoadResString(str::kSettingsReadError));
    EXPECT_EQ(one.view.SaveQuestions(), 0);
    EXPECT_EQ(test::EntryCount(one.dir.Path()), 0u);

    // Started again after the failure, the load goes through.
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1));
    one.session->PrepareRestart();
    EXPECT_FALSE(one.view.StartEnabled());
    one.Run();
    EXPECT_EQ(test::ReadBytes(one.dir.File("receiver.grd")), SettingsImage()) << one.view.Dump();
}

TEST_F(SettingsJobTest, CancelledNameOrFailedWriteKeepsNothing) {
    StartReceiver();
    JobRig cancelled;
    cancelled.view.AnswerSaveAsCancel();
    Load(cancelled);
    EXPECT_TRUE(cancelled.view.Messages().empty());
    test::ExpectNoFileKept(cancelled, JobOutcome::NotSaved, LoadResString(str::kReceivedNotSaved));

    // A folder that does not exist: the system's reason, no success and no file.
    JobRig unwritable;
    unwritable.view.AnswerSaveAs("no-such-folder/receiver.grd");
    Load(unwritable);
    ASSERT_EQ(unwritable.view.Messages().size(), 1u) << unwritable.view.Dump();
    EXPECT_NE(unwritable.view.Messages()[0].find("no-such-folder"), std::string::npos);
    EXPECT_NE(unwritable.view.Status(), LoadResString(str::kSettingsLoaded));
    EXPECT_EQ(unwritable.view.FileSavedCount(), 0);
    EXPECT_EQ(unwritable.session->Outcome(), JobOutcome::Failed);
    EXPECT_TRUE(unwritable.view.StartEnabled());
    EXPECT_EQ(test::EntryCount(unwritable.dir.Path()), 0u);
}

TEST_F(SettingsJobTest, SendWritesTheFileInOneGoAndReportsTheResult) {
    StartReceiver();
    JobRig one;
    Send(one, SettingsFile());

    EXPECT_TRUE(one.view.Messages().empty()) << one.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(one.wire.WriteSizes(), (std::vector<std::size_t>{14, 2048}));
    EXPECT_EQ(one.wire.Sent().substr(0, 14), Frame("PROG DEFW", 115200));
    EXPECT_EQ(receiver->ReceivedSettings(), SettingsImage());
    EXPECT_EQ(one.view.Status(), LoadResString(str::kProgrammingFinished));
    EXPECT_EQ(one.view.CancelCaption(), LoadResString(str::kOkCaption));
    // Manual port: only the lines after the first of the "recognized" text.
    const std::string recognized = FormatText(LoadResString(str::kPortRecognized), {"COM1:"});
    EXPECT_TRUE(one.view.Has("status=" + recognized.substr(recognized.find('\n') + 1)));
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
    EXPECT_EQ(one.view.EndDialogCount(), 0);
    EXPECT_EQ(one.session->Outcome(), JobOutcome::Succeeded);
}

TEST_F(SettingsJobTest, SendErrorsEndInTheirMessage) {
    struct Case {
        std::vector<sim::Fault> faults;
        std::size_t size;
        int errorId;
    };
    const std::vector<Case> cases = {
        {{{Step::SettingsResult, 0, FaultKind::WrongByte}}, 2048, str::kSettingsSendError},
        {{{Step::SettingsResult, 0, FaultKind::Silence}}, 2048, str::kSettingsSendError},
        {{{Step::SettingsResult, 0, FaultKind::LineVanishes}}, 2048, str::kReceiveSendError},
        // Another length goes out whole; this receiver refuses it.
        {{}, 2047, str::kSettingsSendError},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        StartReceiver(cases[i].faults);
        JobRig one;
        Send(one, SettingsFile(cases[i].size));
        const bool vanished =
            !cases[i].faults.empty() && cases[i].faults[0].kind == FaultKind::LineVanishes;
        ExpectFailed(one, LoadResString(cases[i].errorId), !vanished);
        EXPECT_EQ(one.wire.WriteSizes(), (std::vector<std::size_t>{14, cases[i].size}));
        EXPECT_EQ(one.view.EndDialogCount(), 0);
    }
}

TEST_F(SettingsJobTest, SendOfAFileThatIsGoneOrUnreadableSendsNothing) {
    StartReceiver();
    JobRig gone;
    const std::string path = files.File("gone.grd");
    Send(gone, path);
    ExpectFailed(gone, FormatText(LoadResString(str::kFileNotFound), {path}));
    EXPECT_EQ(gone.wire.WriteSizes(), std::vector<std::size_t>{14});

    // The receiver still waits for the data of the first try until it notices the port close;
    // a second try sent before that would be taken as the data.
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1)) << test::LogOf(*receiver);
    JobRig folder;
    Send(folder, files.Path().string());
    ExpectFailed(folder, LoadResString(str::kIoError));
    EXPECT_EQ(folder.wire.WriteSizes(), std::vector<std::size_t>{14});
}

// The production chain: firmware first, then the settings on the port it found.
class SettingsChainTest : public SettingsJobTest {
protected:
    void RunFirmwareStep(JobRig& first) { test::RunChainedFirmwareStep(first, files, *receiver); }

    void RunSettingsStep(JobRig& first, JobRig& second, const std::string& path) {
        SettingsSend job;
        job.settings.m_strPath = path;
        job.chain.chained = 1;
        second.MakeChained(first, job);
        second.Run();
    }
};

TEST_F(SettingsChainTest, ChainedSendGoesStraightToTheData) {
    StartReceiver();
    JobRig first, second;
    RunFirmwareStep(first);
    RunSettingsStep(first, second, SettingsFile());

    EXPECT_TRUE(second.view.Messages().empty()) << second.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(second.wire.Sent(), SettingsImage()); // no command frame
    EXPECT_EQ(receiver->ReceivedSettings(), SettingsImage());
    EXPECT_EQ(second.session->ChainContinue(), 1);
    EXPECT_EQ(second.session->Outcome(), JobOutcome::Succeeded);
    EXPECT_EQ(second.view.EndDialogCount(), 1);
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

TEST_F(SettingsChainTest, FailingChainedSendClosesTheDialogAndStopsTheChain) {
    StartReceiver({{Step::SettingsResult, 0, FaultKind::WrongByte}});
    JobRig first, second;
    RunFirmwareStep(first);
    RunSettingsStep(first, second, SettingsFile());

    test::ExpectChainStopped(second, LoadResString(str::kSettingsSendError));
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

TEST_F(SettingsChainTest, ChainedPortThatCannotBeOpenedIsAReceiveSendError) {
    JobRig first, second;
    first.chain.lastPort = 0;
    first.chain.lastDevice = files.File("vanished-adapter");
    RunSettingsStep(first, second, SettingsFile());

    test::ExpectChainStopped(second, LoadResString(str::kReceiveSendError));
    EXPECT_TRUE(second.wire.Chunks().empty());
}

} // namespace
} // namespace fw
