#include "core/link/TransferSession.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/support/PtyTestSupport.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

using test::RecordingView;

class TransferSessionTest : public ::testing::Test {
protected:
    void Make(TransferJobKind kind, int chained = 0) {
        TransferJob job;
        job.kind = kind;
        job.chained = chained;
        session = std::make_unique<TransferSession>(job, LinkSettings{}, PortMap({}, {}), view,
                                                    chain, cancel);
    }
    // Opens the session's port onto the far end, as a job would have after detection.
    void Connect() {
        ASSERT_TRUE(far.Ok());
        ASSERT_EQ(session->Port().OpenReadWrite(far.Device(), 115200, 8, 0, 0), 1);
        session->Port().SetReadTimeout(150);
    }

    RecordingView view;
    ChainMemory chain;
    CancelEvent cancel;
    test::PtyEnd far;
    std::unique_ptr<TransferSession> session;
};

TEST_F(TransferSessionTest, TimersDriveProgressAndBlinkTheStatus) {
    Make(TransferJobKind::FirmwareSend);

    // Timer 1: share of the bytes sent; nothing before a total is known.
    session->OnTimer(TransferTimer::Progress);
    EXPECT_TRUE(view.ProgressHistory().empty());
    session->bytesTotal = 250050;
    session->bytesSent = 62500;
    session->OnTimer(TransferTimer::Progress);
    EXPECT_EQ(view.Progress(), 24);

    // Timers 2 and 3 blink their text against the status the job set.
    session->SetStatus("");
    session->OnTimer(TransferTimer::SendingBlink);
    EXPECT_EQ(view.Status(), LoadResString(str::kDataTransmitted));
    session->OnTimer(TransferTimer::SendingBlink);
    EXPECT_EQ(view.Status(), "");
    session->SetStatus("something");
    session->OnTimer(TransferTimer::ProgramBlink);
    EXPECT_EQ(view.Status(), "");
    session->OnTimer(TransferTimer::ProgramBlink);
    EXPECT_EQ(view.Status(), LoadResString(str::kReceiverProgramming));

    // Timer 4 counts seconds of the 15-second erase wait and starts over when started again.
    session->StartTimer(TransferTimer::EraseSeconds);
    session->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 6);
    session->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 13);
    for (int i = 0; i < 20; ++i)
        session->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 100);
    session->StartTimer(TransferTimer::EraseSeconds);
    session->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 6);
}

TEST_F(TransferSessionTest, FailJobReportsOnceClosesThePortAndFreesTheButtons) {
    Make(TransferJobKind::SettingsSend);
    Connect();
    session->SetStatus("busy");
    EXPECT_EQ(session->FailJob(str::kSettingsSendError), 0);

    EXPECT_EQ(view.Messages(), std::vector<std::string>{LoadResString(str::kSettingsSendError)});
    EXPECT_TRUE(view.Has("message[stop]=" + LoadResString(str::kSettingsSendError)));
    EXPECT_FALSE(session->Port().IsOpen());
    EXPECT_EQ(view.Status(), "");
    EXPECT_EQ(view.Progress(), 0);
    EXPECT_TRUE(view.StartEnabled());
    EXPECT_TRUE(view.CancelEnabled());
    EXPECT_TRUE(view.RunningTimers().empty());
    // Not chained: the dialog stays open for another try.
    EXPECT_EQ(view.EndDialogCount(), 0);
}

TEST_F(TransferSessionTest, FailJobInAChainClosesTheDialogWithoutContinuing) {
    Make(TransferJobKind::SettingsSend, 1);
    Connect();
    session->EndChainStep(); // an earlier success must not survive the failure
    EXPECT_EQ(session->ChainContinue(), 1);
    Connect();
    session->FailJob(str::kSettingsSendError);
    EXPECT_EQ(session->ChainContinue(), 0);
    EXPECT_EQ(view.EndDialogCount(), 2);
}

TEST_F(TransferSessionTest, PrepareRestartStartsTheSameJobAfresh) {
    Make(TransferJobKind::ListLoad, 1);
    session->sendList = {"a", "b"};
    session->banks.Insert(0, CFavEintrag{5}, 0);
    session->bytesSent = 10;
    session->bytesTotal = 20;
    session->SetFirmwareCancelled();
    Connect();
    session->EndChainStep();
    cancel.Set();
    cancel.Set(); // two presses before anyone looked

    session->PrepareRestart();
    EXPECT_FALSE(cancel.TakeSignal());
    EXPECT_TRUE(session->sendList.empty());
    EXPECT_EQ(session->banks.GetCount(0), 0);
    EXPECT_EQ(session->bytesSent.load(), 0u);
    EXPECT_EQ(session->bytesTotal.load(), 0u);
    EXPECT_EQ(session->ChainContinue(), 0);
    EXPECT_EQ(session->FirmwareCancelled(), 0);
    EXPECT_FALSE(view.StartEnabled());
    EXPECT_EQ(view.CancelCaption(), LoadResString(str::kCancelCaption));
    EXPECT_FALSE(view.Has("font=normal")); // only the firmware job changes the font
}

TEST_F(TransferSessionTest, PrepareRestartOfFirmwareReturnsToTheNormalFont) {
    Make(TransferJobKind::FirmwareSend);
    session->sendList = {"kept"};
    view.SetStatusFont(StatusFont::Large);
    session->PrepareRestart();
    EXPECT_EQ(view.Font(), StatusFont::Normal);
    EXPECT_EQ(session->sendList.size(), 1u);
}

TEST_F(TransferSessionTest, ReadAckTellsAcknowledgeAbortAndErrorsApart) {
    Make(TransferJobKind::ListSend);

    Connect();
    ASSERT_TRUE(far.Send("\r"));
    EXPECT_EQ(session->ReadAck(str::kProgramListError), 1);
    EXPECT_TRUE(view.Messages().empty());

    // The receiver accepted an abort: no message, the dialog closes.
    ASSERT_TRUE(far.Send("\n"));
    EXPECT_EQ(session->ReadAck(str::kProgramListError), 0);
    EXPECT_TRUE(view.Messages().empty());
    EXPECT_EQ(view.EndDialogCount(), 1);
    EXPECT_FALSE(session->Port().IsOpen());

    Connect();
    ASSERT_TRUE(far.Send("x"));
    EXPECT_EQ(session->ReadAck(str::kBankTransferError), 0);
    Connect();
    EXPECT_EQ(session->ReadAck(str::kProgramListError), 0); // silence
    EXPECT_EQ(view.Messages(), (std::vector<std::string>{LoadResString(str::kBankTransferError),
                                                         LoadResString(str::kProgramListError)}));
    EXPECT_FALSE(session->Port().IsOpen());
}

} // namespace
} // namespace fw
