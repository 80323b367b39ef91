#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fw {
namespace {

using sim::FaultKind;
using sim::Step;
using test::Frame;
using test::JobRig;

const std::string kEmptyPlace = "\t\t\t\t\t\t\t\t\t";

using test::ReceiverProgramLines;

std::vector<std::string> Padded(std::vector<std::string> lines, std::size_t count) {
    lines.resize(count, kEmptyPlace);
    return lines;
}

// Banks of different sizes: an empty one, a full one, one beyond the 1000 entries.
sim::Banks SampleBanks(std::size_t firstBankSize = 3) {
    sim::Banks banks{};
    for (std::size_t k = 0; k < firstBankSize; ++k)
        banks[0].push_back(static_cast<std::uint16_t>(k * 3 % 4000));
    banks[1] = {0x0A0D, 0x0D0A, 0x0EFF}; // the protocol's own bytes as data
    for (std::uint16_t k = 0; k < 1000; ++k)
        banks[7].push_back(static_cast<std::uint16_t>(3999 - k));
    banks[9] = {42};
    return banks;
}

sim::Banks BanksOf(const CFavoritenDat& model) {
    sim::Banks banks{};
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int i = 0; i < model.GetCount(bank); ++i)
            banks[static_cast<std::size_t>(bank)].push_back(
                static_cast<std::uint16_t>(model.GetAddress(bank, i)));
    }
    return banks;
}

// A list file as the editor writes it.
std::string ListFileText(const std::string& type, const std::vector<std::string>& lines,
                         const sim::Banks& banks) {
    std::string text = ListFileHead(type, "mine");
    for (const std::string& line : lines)
        text += line + "\r\n";
    CFavoritenDat model;
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (std::uint16_t address : banks[static_cast<std::size_t>(bank)])
            model.Insert(bank, CFavEintrag{address}, -1);
    }
    model.WriteBlock(text);
    return text;
}

std::string Status(int id) {
    return "status=" + LoadResString(id);
}

class ListJobTest : public test::LinkJobTest {
protected:
    void StartReceiver(sim::SimulatorOptions options) {
        receiver = test::StartReceiver(std::move(options));
        ASSERT_TRUE(receiver);
    }
    static sim::SimulatorOptions Receiver(sim::Model model, std::vector<sim::Fault> faults = {}) {
        sim::SimulatorOptions options;
        options.model = model;
        options.tvList = ReceiverProgramLines(1500);
        options.tvBanks = SampleBanks();
        options.radioList = ReceiverProgramLines(20, "Radio");
        options.faults = std::move(faults);
        return options;
    }

    void Load(JobRig& one, char kind = 'T') {
        ListLoad job;
        job.listKind = kind;
        LinkSettings settings;
        settings.comPort = 1;
        one.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        one.Run();
    }

    ListSend SendJob(const std::string& path, const std::string& type = "TV", int chained = 0) {
        ListSend job;
        job.list.m_strPath = path;
        job.list.m_strType = type;
        job.chain.chained = chained;
        return job;
    }
    // The page fills the send list before the job runs.
    void Send(JobRig& one, const std::string& path, const std::string& type = "TV") {
        LinkSettings settings;
        settings.comPort = 1;
        ListSend job = SendJob(path, type);
        job.sendList = ReadSendList(job);
        ASSERT_EQ(job.sendList->error, "");
        one.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        one.Run();
    }
    std::string ListFile(const std::vector<std::string>& lines, const sim::Banks& banks,
                         const std::string& type = "TV") {
        const std::string path = files.File("send.lst");
        test::WriteBytes(path, ListFileText(type, lines, banks));
        return path;
    }

    // The one message, the port free, the dialog ready for another try.
    void ExpectFailed(JobRig& one, const std::string& message, bool lineStays = true) {
        test::ExpectJobFailed(one, message, *receiver, lineStays);
        EXPECT_EQ(one.view.FileSavedCount(), 0);
        EXPECT_TRUE(one.view.RunningTimers().empty());
    }
    // The receiver's 0x0A ended the job: no message, the dialog closes. After the user's
    // cancel that is how the cancel ends.
    void ExpectAborted(JobRig& one, JobOutcome outcome = JobOutcome::AbortedByReceiver) {
        EXPECT_TRUE(one.view.Messages().empty()) << one.view.Dump() << test::LogOf(*receiver);
        EXPECT_EQ(one.view.EndDialogCount(), 1);
        EXPECT_EQ(one.view.SaveQuestions(), 0);
        EXPECT_FALSE(one.session->Port().IsOpen());
        EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
        EXPECT_EQ(one.session->Outcome(), outcome);
    }

    // What the PC answers to the ten banks of SampleBanks: once for an empty bank, after the
    // header and after the data for the others.
    static std::string BankAnswers(const sim::Banks& banks, char answer = '\r') {
        std::string all;
        for (const auto& bank : banks)
            all += std::string(bank.empty() ? 1 : 2, answer);
        return all;
    }

    test::TempDir files;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

// ---- Loading ----

TEST_F(ListJobTest, LoadReadsEveryPlaceThenTheTenBanksAndWritesThemBackReadable) {
    StartReceiver(Receiver(sim::Model::Zeb10));
    JobRig rig;
    rig.view.AnswerSaveAs("got.lst", "  Astra\tall\n");
    Load(rig);

    ASSERT_TRUE(rig.view.Messages().empty()) << rig.view.Dump() << test::LogOf(*receiver);
    // Exactly 2000 answers, then one per empty bank and two per filled one.
    EXPECT_EQ(rig.wire.Sent(),
              Frame("LOAD TLIS", 115200) + std::string(2000, '\r') + BankAnswers(SampleBanks()));
    const std::string path = rig.dir.File("got.lst");
    EXPECT_EQ(rig.view.SavedPaths(), std::vector<std::string>{path});
    EXPECT_EQ(test::ReadBytes(path).substr(0, ListFileHead("TV", "Astra all").size()),
              ListFileHead("TV", "Astra all"));

    const SendList back = ReadSendList(SendJob(path));
    ASSERT_EQ(back.error, "");
    EXPECT_EQ(back.lines, Padded(ReceiverProgramLines(1500), 4000));
    EXPECT_EQ(BanksOf(back.banks), SampleBanks());

    EXPECT_EQ(rig.view.Status(), LoadResString(str::kProgramListLoaded));
    EXPECT_EQ(rig.view.CancelCaption(), LoadResString(str::kOkCaption));
    EXPECT_TRUE(rig.view.StartEnabled());
    EXPECT_TRUE(rig.view.CancelEnabled());
    EXPECT_EQ(rig.view.Progress(), 100);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Succeeded);
    EXPECT_EQ(rig.view.EndDialogCount(), 0);
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
    // Port text, reading, then the banks in order with their progress.
    const std::size_t reading = rig.view.IndexOf(Status(str::kReadingProgramList));
    ASSERT_NE(reading, std::string::npos);
    std::size_t at = reading;
    for (int bank = 0; bank < kBankCount; ++bank) {
        at = rig.view.IndexOf(
            "status=" + FormatText(LoadResString(str::kBankTransmitted), {std::to_string(bank)}),
            at);
        ASSERT_NE(at, std::string::npos) << bank;
        EXPECT_EQ(rig.view.IndexOf("progress=" + std::to_string(10 * bank + 10), at), at + 1);
    }
}

TEST_F(ListJobTest, RadioLoadAsksForTheRadioListAndMarksTheFile) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    rig.view.AnswerSaveAs("radio.lst");
    Load(rig, 'R');

    ASSERT_EQ(rig.view.FileSavedCount(), 1) << rig.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(rig.wire.Sent().substr(0, 14), Frame("LOAD RLIS", 115200));
    const std::string text = test::ReadBytes(rig.dir.File("radio.lst"));
    EXPECT_EQ(text.substr(0, ListFileHead("RA", "").size()), ListFileHead("RA", "NDEF"));
    EXPECT_NE(text.find("\r\n1\tRadio 19\t"), std::string::npos);
}

// The receiver never sends more than 500 bytes for a place; a line without its 0x0D loses
// its last byte and the next place starts right after it.
TEST_F(ListJobTest, UnterminatedLineOf500BytesIsCutAndTheNextPlaceStaysInStep) {
    test::PtyEnd cable;
    ASSERT_TRUE(cable.Ok());
    const std::string longLine(499, 'x');
    std::thread peer([&] {
        if (cable.Receive(14, 5000).size() != 14)
            return;
        cable.Send("RECOK 1.0");
        cable.Send("RECOK"); // 1000 places
        for (int place = 0; place < 1000; ++place) {
            cable.Send(place == 1 ? longLine + "y" : "P" + std::to_string(place) + "\r");
            if (cable.Receive(1, 5000) != "\r")
                return;
        }
        for (int bank = 0; bank < kBankCount; ++bank) {
            cable.Send(std::string{'\r', 0, 0});
            if (cable.Receive(1, 5000) != "\r")
                return;
        }
    });
    JobRig rig;
    rig.view.AnswerSaveAs("long.lst");
    LinkSettings settings;
    settings.device = cable.Device();
    rig.Make(ListLoad{}, settings, {});
    rig.Run();
    peer.join();

    ASSERT_TRUE(rig.view.Messages().empty()) << rig.view.Dump();
    const std::string text = test::ReadBytes(rig.dir.File("long.lst"));
    const std::vector<std::string_view> lines = SplitTextModeLines(text);
    ASSERT_GE(lines.size(), 1003u);
    EXPECT_EQ(lines[2], "P0");
    EXPECT_EQ(lines[3], longLine);
    EXPECT_EQ(lines[4], "P2");
    EXPECT_EQ(lines[1001], "P999");
    EXPECT_TRUE(lines[1002].starts_with(kBankBlockMark));
}

TEST_F(ListJobTest, CancelDuringLine300AnswersAbortAndEndsWithoutFile) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    rig.view.AnswerSaveAs("never.lst");
    // Line 300 of 1000 is the first to show 30 %; its answer is the first poll after it.
    rig.view.OnEvent([&](const std::string& event) {
        if (event == "progress=30")
            rig.cancel.Set();
    });
    Load(rig);

    ExpectAborted(rig, JobOutcome::Cancelled);
    EXPECT_EQ(rig.wire.Sent(), Frame("LOAD TLIS", 115200) + std::string(299, '\r') + "\n");
    EXPECT_TRUE(rig.view.Has(Status(str::kCancelInAction)));
    EXPECT_TRUE(rig.view.Has("cancel=off"));
    EXPECT_EQ(test::EntryCount(rig.dir.Path()), 0u);
}

TEST_F(ListJobTest, CancelAtTheLastBankStillLeavesNoFile) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    rig.view.AnswerSaveAs("never.lst");
    // The last bank is the receiver's last chance to confirm an abort; it does not.
    const std::string lastBank =
        "status=" + FormatText(LoadResString(str::kBankTransmitted), {"9"});
    rig.view.OnEvent([&](const std::string& event) {
        if (event == lastBank)
            rig.cancel.Set();
    });
    Load(rig);

    ExpectAborted(rig, JobOutcome::Cancelled);
    EXPECT_EQ(rig.wire.Sent().back(), '\n');
    EXPECT_EQ(test::EntryCount(rig.dir.Path()), 0u);
}

TEST_F(ListJobTest, SaveAsCancelledOrUnwritableLeavesNoFile) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig cancelled;
    cancelled.view.AnswerSaveAsCancel();
    Load(cancelled);
    // Received whole: no word of a cancelled connection or a restart.
    EXPECT_TRUE(cancelled.view.Messages().empty()) << cancelled.view.Dump();
    test::ExpectNoFileKept(cancelled, JobOutcome::NotSaved, LoadResString(str::kReceivedNotSaved));
    EXPECT_EQ(cancelled.view.EndDialogCount(), 0);
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));

    JobRig unwritable;
    unwritable.view.AnswerSaveAs("no-such-folder/got.lst");
    Load(unwritable);
    ASSERT_EQ(unwritable.view.Messages().size(), 1u) << unwritable.view.Dump();
    EXPECT_NE(unwritable.view.Messages()[0].find("no-such-folder"), std::string::npos);
    test::ExpectNoFileKept(unwritable, JobOutcome::Failed);
}

TEST_F(ListJobTest, LoadStartedAgainHoldsOnlyTheSecondRun) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    rig.view.AnswerSaveAs("first.lst");
    rig.view.AnswerSaveAs("second.lst");
    Load(rig);
    ASSERT_EQ(rig.view.FileSavedCount(), 1) << rig.view.Dump();
    rig.session->PrepareRestart();
    rig.Run();
    ASSERT_EQ(rig.view.FileSavedCount(), 2) << rig.view.Dump();
    ASSERT_TRUE(rig.result.list);
    EXPECT_EQ(rig.result.list->lines.size(), 1000u);
    EXPECT_EQ(BanksOf(rig.result.list->banks), SampleBanks());
    EXPECT_EQ(test::ReadBytes(rig.dir.File("second.lst")),
              test::ReadBytes(rig.dir.File("first.lst")));
}

struct LoadFailure {
    sim::Model model;
    sim::Fault fault;
    int message; // 0: the receiver's abort, no message
    bool lineStays = true;
};

TEST_F(ListJobTest, EveryLoadFailureEndsWithOneMessageAndNoFile) {
    const std::vector<LoadFailure> cases = {
        {sim::Model::RecOk, {Step::ProgramLine, 5, FaultKind::Silence}, str::kProgramListError},
        {sim::Model::RecOk,
         {Step::ProgramLine, 7, FaultKind::LineVanishes},
         str::kReceiveSendError,
         false},
        {sim::Model::RecOk, {Step::BankHeader, 3, FaultKind::Silence}, str::kBankTransferError},
        // Two bytes of a header would give a made-up length.
        {sim::Model::RecOk, {Step::BankHeader, 0, FaultKind::ShortReply}, str::kBankTransferError},
        {sim::Model::RecFa, {Step::ProgramLine, 0, FaultKind::Silence}, str::kNoFirmwareInstalled},
        {sim::Model::RecOk, {Step::ProgramLine, 10, FaultKind::Abort0A}, 0},
        {sim::Model::RecOk, {Step::BankHeader, 4, FaultKind::Abort0A}, 0},
    };
    for (const LoadFailure& c : cases) {
        SCOPED_TRACE(std::string(sim::StepName(c.fault.step)) + " " +
                     std::string(sim::FaultKindName(c.fault.kind)));
        StartReceiver(Receiver(c.model, {c.fault}));
        JobRig rig;
        rig.view.AnswerSaveAs("never.lst");
        Load(rig);
        if (c.message == 0)
            ExpectAborted(rig);
        else
            ExpectFailed(rig, LoadResString(c.message), c.lineStays);
        EXPECT_EQ(rig.view.SaveQuestions(), 0);
        EXPECT_EQ(test::EntryCount(rig.dir.Path()), 0u);
        if (c.fault.kind == FaultKind::ShortReply) {
            EXPECT_EQ(rig.wire.Sent(), Frame("LOAD TLIS", 115200) + std::string(1000, '\r'));
        }
    }
}

// ---- Sending ----

TEST_F(ListJobTest, SendListTakesTheFileLinesPaddedAndItsBanks) {
    const std::string path = files.File("edited.lst");
    test::WriteBytes(path, "HEADER:\tTV\tx\r\nCA\tName\r\nfirst\nsecond\r\n\r\nBANK0:\tBANK1:\r\n"
                           "5\t7\r\n6\r\n");
    const SendList read = ReadSendList(SendJob(path));
    ASSERT_EQ(read.error, "");
    std::vector<std::string> expected = {"first", "second", ""};
    EXPECT_EQ(read.lines, Padded(expected, 4000));
    sim::Banks banks{};
    banks[0] = {5, 6};
    banks[1] = {7};
    EXPECT_EQ(BanksOf(read.banks), banks);
}

TEST_F(ListJobTest, SendListComesFromTheBytesGivenOrTheRepairedTextNeverTheDisk) {
    const std::string path = files.File("given.lst");
    test::WriteBytes(path, "HEADER:\tTV\tx\r\nCA\r\ndisk\r\n");
    ListSend job = SendJob(path);
    job.fileData = "HEADER:\tTV\tx\r\nCA\r\ngiven\r\n";
    ASSERT_EQ(ReadSendList(job).lines[0], "given");

    // The catalogue could not write the repair of a file without head lines: its first two
    // programs must not be skipped as if they were the head.
    const std::vector<std::string> programs = {
        test::ProgramLine("Das Erste"), "$\tSky\t12031\tH\t27500\t3\\4\t10\t255\t256\t255\t1"};
    test::WriteBytes(path, programs[0] + "\r\n" + programs[1] + "\r\n");
    job = SendJob(path);
    job.list.m_unrepairedOnDisk = true;
    const SendList repaired = ReadSendList(job);
    ASSERT_EQ(repaired.error, "");
    EXPECT_EQ(repaired.lines, Padded(programs, 4000));
}

TEST_F(ListJobTest, LinesTheWireCannotCarryStopTheSendBeforeDetection) {
    const std::string line = ReceiverProgramLines(1)[0];
    const struct {
        std::string body; // the program lines
        int message;
        const char* where; // program place, file line
    } cases[] = {
        {line + "\r\n" + line + "\r\r\n", str::kSendLineHasCr, "2,4"},
        {line + "\nCA\rinside\r\n", str::kSendLineHasCr, "2,4"},
        {"\r\n\r\n" + std::string(500, 'x') + "\r\n", str::kSendLineTooLong, "3,5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        StartReceiver(Receiver(sim::Model::RecOk));
        const std::string path = files.File("bad.lst");
        test::WriteBytes(path, ListFileHead("TV", "x") + c.body);
        JobRig rig;
        LinkSettings settings;
        settings.comPort = 1;
        rig.Make(SendJob(path), settings, {{"COM1", receiver->DevicePath()}});
        const std::string where(c.where);
        const std::string expected =
            FormatText(LoadResString(c.message),
                       {where.substr(0, where.find(',')), where.substr(where.find(',') + 1)});
        EXPECT_EQ(ReadSendList(SendJob(path)).error, expected);
        rig.Run();
        EXPECT_EQ(rig.view.Messages(), std::vector<std::string>{expected});
        EXPECT_TRUE(rig.wire.Chunks().empty());
    }
    // 499 bytes still go.
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    Send(rig, ListFile({std::string(499, 'x'), line}, {}));
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Succeeded) << rig.view.Dump();
}

TEST_F(ListJobTest, AListWithoutProgramsIsSentOnlyAfterTheUsersYes) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        StartReceiver(Receiver(sim::Model::RecOk));
        JobRig rig;
        rig.view.AnswerYesNo(yes);
        const std::string path = ListFile({"", "\t\t \t", ""}, {});
        Send(rig, path);
        EXPECT_TRUE(rig.view.Has(
            "question[warning]=" + FormatText(LoadResString(str::kSendEmptyListQuestion), {path}) +
            (yes ? "->yes" : "->no")));
        EXPECT_EQ(rig.session->Outcome(), yes ? JobOutcome::Succeeded : JobOutcome::Refused);
        EXPECT_EQ(rig.wire.Chunks().empty(), !yes);
        EXPECT_EQ(receiver->ReceivedList(true).empty(), !yes);
    }
}

TEST_F(ListJobTest, BankEntriesOutsideThePlacesAreKeptByALoadButNeverSent) {
    sim::SimulatorOptions options = Receiver(sim::Model::RecOk);
    options.tvBanks = {};
    options.tvBanks[2] = {4000, 7, 65535};
    StartReceiver(options);
    JobRig load;
    load.view.AnswerSaveAs("got.lst");
    Load(load);
    ASSERT_EQ(load.session->Outcome(), JobOutcome::Succeeded) << load.view.Dump();
    EXPECT_NE(test::ReadBytes(load.dir.File("got.lst")).find("65535"), std::string::npos);

    // Dropped first, then cut to 1000: 1001 entries of which two are outside leave 999.
    std::string text =
        ListFileHead("TV", "x") + ReceiverProgramLines(1)[0] + "\r\nBANK0:\r\n-1\r\n";
    for (int k = 0; k < 999; ++k)
        text += std::to_string(k) + "\r\n";
    text += "70000\r\nabc\r\n"; // not a number: place 0, as always
    const std::string path = files.File("banks.lst");
    test::WriteBytes(path, text);
    JobRig send;
    Send(send, path);
    ASSERT_EQ(send.session->Outcome(), JobOutcome::Succeeded) << send.view.Dump();
    EXPECT_EQ(send.view.Messages(),
              std::vector<std::string>{FormatText(LoadResString(str::kBankEntriesDropped), {"2"})});
    const std::vector<std::uint16_t> sent = receiver->ReceivedBanks(true)[0];
    ASSERT_EQ(sent.size(), 1000u);
    EXPECT_EQ(sent[998], 998);
    EXPECT_EQ(sent[999], 0);
}

TEST_F(ListJobTest, UnreadableListFileIsAClearFailureBeforeAnyByteIsSent) {
    JobRig rig;
    const std::string missing = files.File("gone.lst");
    rig.Make(SendJob(missing), LinkSettings{}, {});
    const SendList read = ReadSendList(SendJob(missing));
    EXPECT_TRUE(read.lines.empty());
    EXPECT_NE(read.error.find(missing), std::string::npos);

    // A page that sends anyway gets the same message instead of an emptied receiver.
    rig.Run();
    EXPECT_EQ(rig.view.Messages(), std::vector<std::string>{read.error});
    EXPECT_TRUE(rig.wire.Chunks().empty());
}

TEST_F(ListJobTest, SendGoesOutUpToTheReceiversCapacity) {
    const sim::Banks banks = SampleBanks(1200);
    for (const sim::Model model : {sim::Model::RecOk, sim::Model::Zeb30}) {
        SCOPED_TRACE(std::string(sim::ModelName(model)));
        StartReceiver(Receiver(model));
        JobRig rig;
        Send(rig, ListFile(ReceiverProgramLines(1500), banks));

        ASSERT_TRUE(rig.view.Messages().empty()) << rig.view.Dump() << test::LogOf(*receiver);
        const std::size_t capacity = model == sim::Model::RecOk ? 1000 : 4000;
        EXPECT_EQ(receiver->ReceivedList(true), Padded(ReceiverProgramLines(1500), capacity));
        // The bank of 1200 entries goes out as its first 1000.
        sim::Banks cut = banks;
        cut[0].resize(1000);
        EXPECT_EQ(receiver->ReceivedBanks(true), cut);
        EXPECT_NE(rig.wire.Sent().find(std::string("\r\x07\xD0", 3)), std::string::npos);

        EXPECT_EQ(rig.view.Status(), LoadResString(str::kProgrammingFinished));
        EXPECT_EQ(rig.view.CancelCaption(), LoadResString(str::kOkCaption));
        EXPECT_TRUE(rig.view.CancelEnabled());
        EXPECT_TRUE(rig.view.StartEnabled());
        EXPECT_EQ(rig.view.Progress(), 100);
        EXPECT_TRUE(rig.view.Has("timer+4"));
        EXPECT_TRUE(rig.view.RunningTimers().empty());
        const std::size_t erasing = rig.view.IndexOf(Status(str::kErasingFlash));
        ASSERT_NE(erasing, std::string::npos);
        EXPECT_EQ(rig.view.IndexOf("cancel=off", erasing), erasing + 1);
        EXPECT_EQ(rig.view.EndDialogCount(), 0);
        EXPECT_EQ(rig.session->Outcome(), JobOutcome::Succeeded);
        EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
    }
}

TEST_F(ListJobTest, RadioFileGoesToTheRadioList) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    Send(rig, ListFile(ReceiverProgramLines(3, "Radio"), {}, "RA"), "RA");
    ASSERT_TRUE(rig.view.Messages().empty()) << rig.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(rig.wire.Sent().substr(0, 14), Frame("PROG RLIS", 115200));
    EXPECT_EQ(receiver->ReceivedList(false), Padded(ReceiverProgramLines(3, "Radio"), 1000));
    EXPECT_TRUE(receiver->ReceivedList(true).empty());
}

TEST_F(ListJobTest, CancelDuringASendPutsTheAbortInFrontOfTheNextLine) {
    StartReceiver(Receiver(sim::Model::RecOk));
    JobRig rig;
    rig.view.OnEvent([&](const std::string& event) {
        if (event == "progress=20")
            rig.cancel.Set();
    });
    const std::vector<std::string> lines = ReceiverProgramLines(1500);
    Send(rig, ListFile(lines, SampleBanks()));

    ExpectAborted(rig, JobOutcome::Cancelled);
    EXPECT_NE(rig.wire.Sent().find("\r\n" + lines[200] + "\r"), std::string::npos);
    EXPECT_EQ(rig.wire.Sent().find(lines[201]), std::string::npos);
    EXPECT_TRUE(rig.view.Has(Status(str::kCancelInAction)));
    EXPECT_TRUE(receiver->ReceivedList(true).empty());
}

struct SendFailure {
    sim::Fault fault;
    int message; // 0: the receiver's abort, no message
    bool lineStays = true;
};

TEST_F(ListJobTest, EverySendFailureEndsWithOneMessage) {
    const std::vector<SendFailure> cases = {
        {{Step::LineAnswer, 3, FaultKind::Byte0E}, str::kProgramListError},
        {{Step::LineAnswer, 999, FaultKind::Silence}, str::kProgramListError},
        {{Step::LineAnswer, 2, FaultKind::LineVanishes}, str::kReceiveSendError, false},
        {{Step::BankAnswer, 0, FaultKind::WrongByte}, str::kBankTransferError}, // to a header
        {{Step::BankAnswer, 1, FaultKind::WrongByte}, str::kBankTransferError}, // to data
        {{Step::BankAnswer, 1, FaultKind::Silence}, str::kBankTransferError},
        {{Step::EraseResult, 0, FaultKind::Silence}, str::kFlashNotErased},
        {{Step::EraseResult, 0, FaultKind::WrongByte}, str::kFlashNotErased},
        {{Step::LineAnswer, 4, FaultKind::Abort0A}, 0},
    };
    const std::string path = ListFile(ReceiverProgramLines(10), SampleBanks());
    for (const SendFailure& c : cases) {
        SCOPED_TRACE(std::string(sim::StepName(c.fault.step)) + " " +
                     std::to_string(c.fault.index) + " " +
                     std::string(sim::FaultKindName(c.fault.kind)));
        StartReceiver(Receiver(sim::Model::RecOk, {c.fault}));
        JobRig rig;
        Send(rig, path);
        if (c.message == 0)
            ExpectAborted(rig);
        else
            ExpectFailed(rig, LoadResString(c.message), c.lineStays);
        EXPECT_EQ(rig.view.EndDialogCount(), c.message == 0 ? 1 : 0);
    }
}

// ---- The production chain: firmware, settings, TV list, radio list ----

class ListChainTest : public ListJobTest {
protected:
    void SetUp() override {
        ListJobTest::SetUp();
        StartReceiver(Receiver(sim::Model::Zeb20, faults));
    }

    // Firmware and settings steps, as the options page runs them before the lists.
    void RunFirstSteps() {
        test::RunChainedFirmwareAndSettingsSteps(first, second, files, *receiver);
    }
    void RunChained(JobRig& before, JobRig& step, ListSend job) {
        job.sendList = ReadSendList(job);
        ASSERT_EQ(job.sendList->error, "");
        step.MakeChained(before, job);
        step.Run();
    }
    std::string ListFileAt(const std::string& name, const std::vector<std::string>& lines,
                           const std::string& type) {
        const std::string path = files.File(name);
        test::WriteBytes(path, ListFileText(type, lines, SampleBanks()));
        return path;
    }

    std::vector<sim::Fault> faults;
    JobRig first, second, tv, radio;
};

TEST_F(ListChainTest, TvThenRadioSendTheLearnedCapacityWithoutDetection) {
    RunFirstSteps();
    RunChained(second, tv, SendJob(ListFileAt("tv.lst", ReceiverProgramLines(50), "TV"), "TV", 1));
    ASSERT_TRUE(tv.view.Messages().empty()) << tv.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(tv.session->ChainContinue(), 1);
    EXPECT_EQ(tv.view.EndDialogCount(), 1);
    EXPECT_EQ(tv.wire.Sent().substr(0, ReceiverProgramLines(1)[0].size()),
              ReceiverProgramLines(1)[0]);
    EXPECT_EQ(receiver->ReceivedList(true), Padded(ReceiverProgramLines(50), 3000));

    ListSend last =
        SendJob(ListFileAt("radio.lst", ReceiverProgramLines(5, "Radio"), "RA"), "RA", 1);
    last.chain.lastStep = 1;
    RunChained(tv, radio, last);
    ASSERT_TRUE(radio.view.Messages().empty()) << radio.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(radio.session->ChainContinue(), 1);
    EXPECT_EQ(radio.view.EndDialogCount(), 1);
    EXPECT_EQ(receiver->ReceivedList(false), Padded(ReceiverProgramLines(5, "Radio"), 3000));
    EXPECT_EQ(receiver->ReceivedBanks(false), SampleBanks());
    EXPECT_EQ(radio.view.Status(), LoadResString(str::kProgrammingFinished));
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

class FailingListChainTest : public ListChainTest {
protected:
    void SetUp() override {
        // Line answers count on through the chain; the TV list's eleventh one fails.
        faults = {{Step::LineAnswer, 10, FaultKind::Byte0E}};
        ListChainTest::SetUp();
    }
};

TEST_F(FailingListChainTest, FailureInAChainedSendClosesTheDialogAndStopsTheChain) {
    RunFirstSteps();
    RunChained(second, tv, SendJob(ListFileAt("tv.lst", ReceiverProgramLines(50), "TV"), "TV", 1));
    test::ExpectChainStopped(tv, LoadResString(str::kProgramListError));
    EXPECT_FALSE(tv.session->Port().IsOpen());
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

class FailingLastChainStepTest : public ListChainTest {
protected:
    void SetUp() override {
        // Erase results count on through the chain: the second one is the radio list's.
        faults = {{Step::EraseResult, 1, FaultKind::WrongByte}};
        ListChainTest::SetUp();
    }
};

TEST_F(FailingLastChainStepTest, FailureInTheRadioStepEndsTheChainToo) {
    RunFirstSteps();
    RunChained(second, tv, SendJob(ListFileAt("tv.lst", ReceiverProgramLines(5), "TV"), "TV", 1));
    ASSERT_EQ(tv.session->ChainContinue(), 1) << tv.view.Dump();
    ListSend last =
        SendJob(ListFileAt("radio.lst", ReceiverProgramLines(5, "Radio"), "RA"), "RA", 1);
    last.chain.lastStep = 1;
    RunChained(tv, radio, last);
    test::ExpectChainStopped(radio, LoadResString(str::kFlashNotErased));
    EXPECT_FALSE(radio.session->Port().IsOpen());
}

TEST_F(ListChainTest, ChainedSendOfAListWithoutProgramsIsRefused) {
    RunFirstSteps();
    const std::string path = ListFileAt("empty.lst", {}, "TV");
    RunChained(second, tv, SendJob(path, "TV", 1));
    test::ExpectChainStopped(tv, FormatText(LoadResString(str::kSendEmptyListRefused), {path}));
    EXPECT_TRUE(tv.wire.Chunks().empty());
}

// A receiver without software tells no capacity, so after its first flash the chain cannot
// know how many lines to send.
class ChainOnAReceiverWithoutSoftwareTest : public ListChainTest {
protected:
    void SetUp() override {
        ListJobTest::SetUp();
        StartReceiver(Receiver(sim::Model::RecFa, faults));
    }
};

TEST_F(ChainOnAReceiverWithoutSoftwareTest, ListStepRefusesWithAdviceAndSendsNothing) {
    RunFirstSteps();
    EXPECT_FALSE(receiver->ReceivedFirmware().empty());
    RunChained(second, tv, SendJob(ListFileAt("tv.lst", ReceiverProgramLines(50), "TV"), "TV", 1));
    test::ExpectChainStopped(tv, LoadResString(str::kChainCapacityUnknown));
    EXPECT_TRUE(tv.wire.Chunks().empty());
    EXPECT_FALSE(tv.session->Port().IsOpen());
    EXPECT_TRUE(receiver->ReceivedList(true).empty());
}

TEST_F(ListChainTest, ChainedSendWithoutAKnownCapacityOrPortSendsNothing) {
    const std::string path = ListFileAt("tv.lst", ReceiverProgramLines(50), "TV");
    JobRig unknown;
    unknown.chain.lastPort = 1;
    unknown.chain.lastDevice = receiver->DevicePath();
    unknown.chain.lastCapacity = 0;
    RunChained(unknown, tv, SendJob(path, "TV", 1));
    test::ExpectChainStopped(tv, LoadResString(str::kChainCapacityUnknown));
    EXPECT_TRUE(tv.wire.Chunks().empty());

    JobRig vanished;
    vanished.chain.lastDevice = files.File("vanished-adapter");
    vanished.chain.lastCapacity = 3000;
    RunChained(vanished, radio, SendJob(path, "TV", 1));
    test::ExpectChainStopped(radio, LoadResString(str::kReceiveSendError));
    EXPECT_TRUE(radio.wire.Chunks().empty());
}

} // namespace
} // namespace fw
