#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/linkjobs/JobHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fw {
namespace {

using sim::FaultKind;
using sim::Step;
using test::Frame;
using test::JobRig;
using test::U32;

std::uint32_t Sum(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (unsigned char byte : bytes)
        sum += byte;
    return sum;
}

class FirmwareJobTest : public test::LinkJobTest {
protected:
    // A firmware image of size bytes whose record is what the catalogue would hold.
    CReceiverdat Firmware(std::size_t size, int kind = 1,
                          const std::string& version = "ABC V1.30") {
        image.resize(size);
        for (std::size_t i = 0; i < size; ++i)
            image[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        CReceiverdat record;
        record.m_strPath = files.File("update.bsr");
        record.m_strFileName = "update.bsr";
        test::WriteBytes(record.m_strPath, image);
        record.m_size = static_cast<std::int32_t>(size);
        record.m_kind = kind;
        record.m_version = version;
        return record;
    }

    // Starts a receiver with the loader version and runs the firmware job against it on COM1.
    void Send(const CReceiverdat& record, sim::SimulatorOptions options, int chained = 0,
              int versionHint = 1) {
        Send(rig, record, std::move(options), chained, versionHint);
    }
    void Send(JobRig& into, const CReceiverdat& record, sim::SimulatorOptions options,
              int chained = 0, int versionHint = 1) {
        receiver = test::StartReceiver(std::move(options));
        ASSERT_TRUE(receiver);
        FirmwareSend job;
        job.firmware = record;
        job.chain.chained = chained;
        LinkSettings settings;
        settings.comPort = 1;
        settings.versionHint = versionHint;
        into.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        into.view.AnswerYesNo(true); // writing the flash is confirmed; a chain does not ask
        into.Run();
    }

    static sim::SimulatorOptions Loader(const std::string& version) {
        sim::SimulatorOptions options;
        options.loaderVersion = version;
        return options;
    }

    // The job ended with its one message, the port free and the dialog ready for another try.
    void ExpectFailed(int errorId) { ExpectFailed(rig, LoadResString(errorId)); }
    // lineStays: false when the receiver's end of the line is gone, so nobody can open it.
    void ExpectFailed(JobRig& one, const std::string& message, bool lineStays = true) {
        test::ExpectJobFailed(one, message, *receiver, lineStays);
        EXPECT_TRUE(one.view.RunningTimers().empty());
    }

    void ExpectProgrammed() { ExpectProgrammed(rig); }
    void ExpectProgrammed(JobRig& one) {
        EXPECT_TRUE(one.view.Messages().empty()) << one.view.Dump() << test::LogOf(*receiver);
        EXPECT_EQ(one.view.Status(), LoadResString(str::kProgrammingFinished));
        EXPECT_EQ(one.view.Font(), StatusFont::Normal);
        EXPECT_EQ(one.view.CancelCaption(), LoadResString(str::kOkCaption));
        EXPECT_TRUE(one.view.CancelEnabled());
        EXPECT_TRUE(one.view.StartEnabled());
        EXPECT_EQ(one.view.Progress(), 100);
        EXPECT_TRUE(one.view.RunningTimers().empty());
        EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
        EXPECT_EQ(one.session->Outcome(), JobOutcome::Succeeded);
    }

    test::TempDir files;
    JobRig rig;
    std::string image;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(FirmwareJobTest, SimpleProtocolSendsAHundredPiecesAndTheRemainder) {
    for (const std::size_t size : {std::size_t{250050}, std::size_t{250000}}) {
        SCOPED_TRACE(size);
        JobRig one;
        Send(one, Firmware(size), Loader("1.0"));

        ExpectProgrammed(one);
        std::vector<std::size_t> writes{14, 5, 8};
        writes.insert(writes.end(), 100, 2500);
        if (size % 100 != 0)
            writes.push_back(size % 100);
        EXPECT_EQ(one.wire.WriteSizes(), writes);
        const std::string sent = one.wire.Sent();
        EXPECT_EQ(sent.substr(0, 14), Frame("PROG CODE", 115200));
        EXPECT_EQ(sent.substr(14, 5), "RECOK");
        EXPECT_EQ(sent.substr(19, 8), U32(static_cast<std::uint32_t>(size)) + U32(Sum(image)));
        const std::vector<unsigned char> received = receiver->ReceivedFirmware();
        EXPECT_EQ(std::string(received.begin(), received.end()), image);
        EXPECT_EQ(one.session->FirmwareCancelled(), 0);
        EXPECT_EQ(one.view.EndDialogCount(), 0);
    }
}

TEST_F(FirmwareJobTest, TimersFollowTheDataWhileItGoesOut) {
    // At the line rate the image takes a while, so the dialog's timers tick meanwhile.
    sim::SimulatorOptions options = Loader("1.0");
    options.pacing = true;
    receiver = test::StartReceiver(options);
    ASSERT_TRUE(receiver);
    FirmwareSend job;
    job.firmware = Firmware(80000);
    LinkSettings settings;
    settings.comPort = 1;
    settings.baudRate = 4000000; // still a while once the terminal's buffer is full
    rig.Make(job, settings, {{"COM1", receiver->DevicePath()}});
    rig.view.AnswerYesNo(true);
    rig.Run();

    ExpectProgrammed();
    std::vector<int> shares;
    std::vector<std::string> blinks;
    for (const std::string& tick : rig.view.Ticks()) {
        if (tick.starts_with("progress="))
            shares.push_back(std::stoi(tick.substr(9)));
        else if (tick.starts_with("status="))
            blinks.push_back(tick.substr(7));
    }
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_LE(shares.back(), 100);
    ASSERT_FALSE(blinks.empty());
    EXPECT_EQ(blinks[0], LoadResString(str::kDataTransmitted)); // the job had emptied the status
}

TEST_F(FirmwareJobTest, BlockProtocolSendsWholeBlocksAndFollowsTheProgramming) {
    const CReceiverdat record = Firmware(5000);
    sim::SimulatorOptions options = Loader("1.1");
    options.progressSequence = {10, 40, 100, 0xFF};
    Send(record, options);

    ExpectProgrammed();
    // Four blocks announced; the last 904 bytes never go out.
    const std::string sent = rig.wire.Sent();
    ASSERT_EQ(sent.size(), 14u + 5 + 4 + 4 * (5 + 1024));
    EXPECT_EQ(sent.substr(19, 4), U32(4));
    for (std::size_t block = 0; block < 4; ++block) {
        const std::string header = sent.substr(23 + block * 1029, 5);
        EXPECT_EQ(header, "\r" + U32(Sum(std::string_view(image).substr(block * 1024, 1024))));
    }
    const std::vector<unsigned char> received = receiver->ReceivedFirmware();
    EXPECT_EQ(std::string(received.begin(), received.end()), image.substr(0, 4096));
    // Block progress, then the receiver's own report: 10, 40, 100 and done.
    const std::vector<int> progress = rig.view.ProgressHistory();
    EXPECT_EQ(std::vector<int>(progress.end() - 5, progress.end()),
              (std::vector<int>{0, 10, 40, 100, 100}));
    EXPECT_TRUE(rig.view.Has("progress=25"));
}

TEST_F(FirmwareJobTest, LoaderTooOldOrUnreadableForTheFileIsRefused) {
    // strtod would read "nan", "inf" and "0x2" as numbers that pass the check.
    for (const char* loader : {"1.1", "nan", "inf", "0x2", "1e9"}) {
        SCOPED_TRACE(loader);
        JobRig one;
        Send(one, Firmware(5000, 2), Loader(loader));

        EXPECT_EQ(one.wire.Sent(), Frame("PROG CODE", 115200) + "RECFA");
        EXPECT_EQ(one.view.Messages(),
                  std::vector<std::string>{LoadResString(str::kWrongSoftwareVersion)});
        EXPECT_EQ(one.session->Outcome(), JobOutcome::Refused);
        EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
        EXPECT_EQ(one.view.Status(), "");
        EXPECT_EQ(one.view.Progress(), 0);
        EXPECT_TRUE(one.view.StartEnabled());
        EXPECT_TRUE(receiver->ReceivedFirmware().empty());
    }
}

TEST_F(FirmwareJobTest, VersionWarningDecidesWhetherTheTransferRuns) {
    // Same name and version: the user says no.
    rig.view.AnswerVersionWarning(false);
    Send(Firmware(5000, 1, "ABC V1.20"), Loader("1.1"));
    ASSERT_EQ(rig.view.Warnings().size(), 1u);
    EXPECT_EQ(rig.view.Warnings()[0].mode, VersionWarningMode::SameVersion);
    EXPECT_EQ(rig.wire.Sent(), Frame("PROG CODE", 115200) + "RECFA");
    EXPECT_TRUE(rig.view.Messages().empty());
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Refused);
    EXPECT_EQ(rig.view.Status(), "");
    EXPECT_EQ(rig.view.Progress(), 0);
    EXPECT_TRUE(rig.view.StartEnabled());
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));

    // The user says yes: the same file goes in.
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1));
    rig.view.AnswerVersionWarning(true);
    rig.session->PrepareRestart();
    rig.Run();
    EXPECT_EQ(rig.view.Warnings().size(), 2u);
    ExpectProgrammed();
    EXPECT_EQ(receiver->ReceivedFirmware().size(), 4096u);
}

TEST_F(FirmwareJobTest, ReceiverNamesTheSoftwareItWasLastProgrammedWithEvenAfterARestart) {
    sim::SimulatorOptions options = Loader("1.1");
    options.stateFolder = files.File("receiver");
    // Whole blocks, so that the trailer goes out too.
    CReceiverdat record = Firmware(6144, 1, "ABC V1.30");
    test::WriteBytes(record.m_strPath, test::FirmwareImage(6144, "ABC V1.30", "demo"));
    Send(record, options); // onto "ABC V1.20": newer, no warning
    ExpectProgrammed();

    // A new simulator on the same state folder: the same file is installed already.
    JobRig again;
    again.view.AnswerVersionWarning(false);
    Send(again, record, options);
    ASSERT_EQ(again.view.Warnings().size(), 1u) << again.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(again.view.Warnings()[0].mode, VersionWarningMode::SameVersion);
}

TEST_F(FirmwareJobTest, NoWarningForAReceiverWithoutSoftwareOrWithWarningsOff) {
    sim::SimulatorOptions none = Loader("1.1");
    none.softwareText = "NONE";
    Send(Firmware(3000, 1, "XYZ V0.10"), none);
    EXPECT_TRUE(rig.view.Warnings().empty());
    ExpectProgrammed();

    JobRig off;
    auto other = test::StartReceiver(Loader("1.1"));
    ASSERT_TRUE(other);
    FirmwareSend job;
    job.firmware = Firmware(3000, 1, "XYZ V0.10");
    LinkSettings settings;
    settings.comPort = 1;
    settings.versionHint = 0;
    off.Make(job, settings, {{"COM1", other->DevicePath()}});
    off.view.AnswerYesNo(true);
    off.Run();
    EXPECT_TRUE(off.view.Warnings().empty());
    EXPECT_TRUE(off.view.Messages().empty()) << off.view.Dump();
}

TEST_F(FirmwareJobTest, WritingAsksFirstAndNoLeavesTheReceiversSoftware) {
    struct Case {
        const char* receiverText;
        int chained;
        bool yes;
        const char* question; // empty: no question
    };
    const Case cases[] = {
        {"ABC V1.20", 0, false,
         "Write firmware update.bsr (version ABC V1.30) into the receiver that runs ABC V1.20?"},
        {"ABC V1.20", 0, true,
         "Write firmware update.bsr (version ABC V1.30) into the receiver that runs ABC V1.20?"},
        {"none", 0, false,
         "Write firmware update.bsr (version ABC V1.30) into the receiver, which has no operating "
         "software yet?"},
        // Text from the wire never carries control bytes into a message or a terminal.
        {"ABC\x1b[2J V1.20", 0, false,
         "Write firmware update.bsr (version ABC V1.30) into the receiver that runs ABC?[2J "
         "V1.20?"},
        {"ABC V1.20", 1, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.receiverText + std::string(c.yes ? " yes" : " no"));
        sim::SimulatorOptions options = Loader("1.1");
        options.softwareText = c.receiverText;
        receiver = test::StartReceiver(options);
        ASSERT_TRUE(receiver);
        JobRig one;
        FirmwareSend job;
        job.firmware = Firmware(3000);
        job.chain.chained = c.chained;
        LinkSettings settings;
        settings.comPort = 1;
        settings.versionHint = 0; // the question alone
        one.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        one.view.AnswerYesNo(c.yes);
        one.Run();

        const bool asked = *c.question != '\0';
        EXPECT_EQ(one.view.CountStartingWith("question["), asked ? 1u : 0u) << one.view.Dump();
        if (asked) {
            EXPECT_TRUE(one.view.Has("question[warning]=" + std::string(c.question) +
                                     (c.yes ? "->yes" : "->no")))
                << one.view.Dump();
        }
        if (c.yes || !asked) {
            EXPECT_EQ(receiver->ReceivedFirmware().size(), 2048u) << test::LogOf(*receiver);
            continue;
        }
        // No: refused on the wire as the version warning refuses, and nothing else happens.
        EXPECT_EQ(one.wire.Sent(), Frame("PROG CODE", 115200) + "RECFA");
        EXPECT_TRUE(one.view.Messages().empty());
        EXPECT_EQ(one.session->Outcome(), JobOutcome::Refused);
        EXPECT_EQ(one.view.Status(), "");
        EXPECT_TRUE(one.view.StartEnabled());
        EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
        ASSERT_TRUE(test::WaitForJobs(*receiver, 1)) << test::LogOf(*receiver);
        EXPECT_TRUE(receiver->ReceivedFirmware().empty());
        EXPECT_THAT(test::LogOf(*receiver), ::testing::HasSubstr("keeps the receiver's software"));
    }
}

struct FaultCase {
    const char* loader;
    std::vector<int> progress; // empty: the simulator's default
    std::vector<sim::Fault> faults;
    int errorId;
};

TEST_F(FirmwareJobTest, EachProtocolErrorEndsInItsMessage) {
    const std::vector<FaultCase> cases = {
        {"1.1", {}, {{Step::SoftwareText, 0, FaultKind::Silence}}, str::kReceiveSendError},
        // Simple protocol.
        {"1.0",
         {},
         {{Step::SimpleHeaderReply, 0, FaultKind::Silence}},
         str::kReceiverNotRecognized},
        {"1.0", {}, {{Step::SimpleHeaderReply, 0, FaultKind::WrongByte}}, str::kTransmissionError},
        {"1.0", {}, {{Step::SimpleResult, 0, FaultKind::Silence}}, str::kConnectionLost},
        {"1.0", {}, {{Step::SimpleResult, 0, FaultKind::WrongByte}}, str::kTransmissionError},
        // Block protocol.
        {"1.1",
         {},
         {{Step::BlockCountReply, 0, FaultKind::ShortReply}},
         str::kReceiverNotRecognized},
        {"1.1", {}, {{Step::BlockCountReply, 0, FaultKind::WrongByte}}, str::kTransmissionError},
        {"1.1", {}, {{Step::BlockAnswer, 1, FaultKind::Byte0E}}, str::kTransmissionError},
        {"1.1", {}, {{Step::BlockAnswer, 1, FaultKind::Silence}}, str::kFirmwareTransferError},
        {"1.1", {}, {{Step::BlockAnswer, 1, FaultKind::WrongByte}}, str::kFirmwareTransferError},
        {"1.1", {}, {{Step::BlockAnswer, 2, FaultKind::LineVanishes}}, str::kReceiveSendError},
        // Programming phase.
        {"1.1", {10, 0xFE}, {}, str::kFlashProgrammingError},
        {"1.1", {10, 150}, {}, str::kFlashProgrammingError},
        {"1.1", {10, 40}, {}, str::kConnectionLost},
        {"1.0", {}, {{Step::ProgressByte, 2, FaultKind::LineVanishes}}, str::kReceiveSendError},
    };
    const CReceiverdat record = Firmware(4096);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const FaultCase& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        sim::SimulatorOptions options = Loader(c.loader);
        if (!c.progress.empty())
            options.progressSequence = c.progress;
        options.faults = c.faults;
        JobRig one;
        Send(one, record, options);
        const bool vanished = !c.faults.empty() && c.faults[0].kind == FaultKind::LineVanishes;
        ExpectFailed(one, LoadResString(c.errorId), !vanished);
        EXPECT_EQ(one.view.EndDialogCount(), 0);
    }
}

// The protocol's own waits, unscaled and on the clock: run alone (label "slow").
class FirmwareJobSlowTest : public FirmwareJobTest {
protected:
    void SetUp() override { SetLinkTimeFactor(1.0); }
};

TEST_F(FirmwareJobSlowTest, SilentReceiverIsGivenUpAfterTheRealTimeOuts) {
    // The model reply has 3000 ms, every answer during the job 5000 ms.
    const std::pair<Step, int> cases[] = {{Step::ModelReply, 3000},
                                          {Step::SimpleHeaderReply, 5000}};
    for (const auto& [step, waitMs] : cases) {
        SCOPED_TRACE(waitMs);
        sim::SimulatorOptions options = Loader("1.0");
        options.faults = {{step, 0, FaultKind::Silence}};
        JobRig one;
        const auto start = std::chrono::steady_clock::now();
        Send(one, Firmware(3000), options);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        EXPECT_GE(elapsed.count(), waitMs);
        EXPECT_LT(elapsed.count(), waitMs + 4000); // the pauses of the simple protocol come on top
        EXPECT_EQ(one.session->Outcome(), JobOutcome::Failed) << one.view.Dump();
    }
}

TEST_F(FirmwareJobTest, CancelAfterASimplePieceStopsAndClosesTheDialog) {
    rig.view.OnEvent([&](const std::string& event) {
        if (event == "timer+2")
            rig.cancel.Set();
    });
    Send(Firmware(250000), Loader("1.0"));

    EXPECT_EQ(rig.session->FirmwareCancelled(), 1);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Cancelled);
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_TRUE(rig.view.Messages().empty()) << rig.view.Dump();
    EXPECT_TRUE(rig.view.RunningTimers().empty());
    EXPECT_EQ(rig.wire.WriteSizes(), (std::vector<std::size_t>{14, 5, 8, 2500}));
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));

    // Started again once the receiver has given up the broken transfer: nothing of the
    // cancelled run is left, and the firmware goes in.
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1)) << test::LogOf(*receiver);
    rig.view.OnEvent({});
    rig.session->PrepareRestart();
    EXPECT_EQ(rig.session->FirmwareCancelled(), 0);
    EXPECT_EQ(rig.view.Font(), StatusFont::Normal);
    rig.view.AnswerYesNo(true);
    rig.Run();
    ExpectProgrammed();
    EXPECT_EQ(receiver->ReceivedFirmware().size(), 250000u);
}

TEST_F(FirmwareJobTest, CancelDuringBlocksAbortsWithTheNextHeader) {
    rig.view.OnEvent([&](const std::string& event) {
        if (event == "timer+2") {
            rig.cancel.Set();
            rig.cancel.Set();
        }
    });
    Send(Firmware(5 * 1024), Loader("1.1"), 1);

    const std::string sent = rig.wire.Sent();
    ASSERT_EQ(sent.size(), 14u + 5 + 4 + 2 * 1029) << rig.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(sent[23], '\r');
    EXPECT_EQ(sent[23 + 1029], '\n'); // the abort rides on the second header
    EXPECT_TRUE(rig.view.Messages().empty());
    EXPECT_EQ(rig.view.CountStartingWith("status=" + LoadResString(str::kCancelInAction)), 1u);
    EXPECT_FALSE(rig.view.CancelEnabled());
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_EQ(rig.session->ChainContinue(), 0);
    EXPECT_EQ(rig.session->FirmwareCancelled(), 0);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Cancelled);
    EXPECT_TRUE(rig.view.RunningTimers().empty());
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
    EXPECT_TRUE(receiver->ReceivedFirmware().empty());
}

TEST_F(FirmwareJobTest, ReceiverThatAbortsOnItsOwnEndsTheJobQuietly) {
    sim::SimulatorOptions options = Loader("1.1");
    options.faults = {{Step::BlockAnswer, 1, FaultKind::Abort0A}};
    Send(Firmware(4096), options);
    EXPECT_TRUE(rig.view.Messages().empty()) << rig.view.Dump();
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::AbortedByReceiver);
    EXPECT_TRUE(rig.view.RunningTimers().empty());
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

TEST_F(FirmwareJobTest, CancelDuringDetectionClosesTheDialogSilently) {
    test::PtyEnd silent;
    ASSERT_TRUE(silent.Ok());
    FirmwareSend job;
    job.firmware = Firmware(3000);
    LinkSettings settings;
    settings.recTimeout = 100;
    rig.Make(job, settings, {{"COM1", silent.Device()}, {"COM2", rig.dir.File("none")}});
    rig.view.OnEvent([&](const std::string& event) {
        if (event.starts_with("progress=25"))
            rig.cancel.Set();
    });
    rig.Run();
    EXPECT_TRUE(rig.view.Messages().empty());
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_EQ(rig.view.ProgressHistory(), std::vector<int>{25});
    EXPECT_EQ(rig.session->FirmwareCancelled(), 0);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Cancelled);
    EXPECT_EQ(rig.chain.lastPort, 0);
}

TEST_F(FirmwareJobTest, FileThatIsGoneOrNotWholeNeverReachesTheWire) {
    // Gone since the catalogue was read: both protocols name the file and close the port.
    for (const char* loader : {"1.0", "1.1"}) {
        SCOPED_TRACE(loader);
        CReceiverdat gone = Firmware(3000);
        std::filesystem::remove(gone.m_strPath);
        JobRig one;
        Send(one, gone, Loader(loader));
        ExpectFailed(one, FormatText(LoadResString(str::kFileNotFound), {gone.m_strPath}));
        const std::vector<std::size_t> upToData =
            loader[2] == '0' ? std::vector<std::size_t>{14, 5} : std::vector<std::size_t>{14, 5, 4};
        EXPECT_EQ(one.wire.WriteSizes(), upToData);
    }

    // There but not readable whole, or changed since it was listed: an I/O error, no data.
    CReceiverdat folder = Firmware(3000);
    folder.m_strPath = files.Path().string();
    CReceiverdat changed = Firmware(3000);
    changed.m_size = 4000;
    for (const CReceiverdat& record : {folder, changed}) {
        JobRig one;
        Send(one, record, Loader("1.0"));
        ExpectFailed(one, LoadResString(str::kIoError));
        EXPECT_EQ(one.wire.WriteSizes(), (std::vector<std::size_t>{14, 5}));
    }
}

TEST_F(FirmwareJobTest, MissingFileInAChainEndsTheChain) {
    CReceiverdat gone = Firmware(3000);
    std::filesystem::remove(gone.m_strPath);
    Send(gone, Loader("1.1"), 1);
    EXPECT_EQ(rig.view.Messages().size(), 1u);
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_EQ(rig.session->ChainContinue(), 0);
}

TEST_F(FirmwareJobTest, ChainedStepWaitsForTheRestartAndLetsTheChainGoOn) {
    sim::SimulatorOptions options = Loader("1.1");
    options.model = sim::Model::Zeb20;
    Send(Firmware(3000), options, 1);

    EXPECT_EQ(rig.wire.Sent().substr(0, 14), Frame("PROG FERT", 115200));
    EXPECT_TRUE(rig.view.Messages().empty()) << rig.view.Dump() << test::LogOf(*receiver);
    EXPECT_TRUE(rig.wire.Received().ends_with("RECOK"));
    EXPECT_EQ(rig.session->ChainContinue(), 1);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Succeeded);
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_EQ(rig.chain.lastPort, 1);
    EXPECT_EQ(rig.chain.lastDevice, receiver->DevicePath());
    EXPECT_EQ(rig.chain.lastCapacity, 3000);
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

TEST_F(FirmwareJobTest, ChainedStepWithoutTheRestartAnnouncementFails) {
    sim::SimulatorOptions options = Loader("1.1");
    options.faults = {{Step::RestartAnnouncement, 0, FaultKind::Silence}};
    Send(Firmware(3000), options, 1);
    test::ExpectChainStopped(rig, LoadResString(str::kReceiverNotRecognized));
}

} // namespace
} // namespace fw
