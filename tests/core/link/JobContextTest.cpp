#include "core/link/JobContext.h"
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

class JobContextTest : public ::testing::Test {
protected:
    void Make(int chained = 0) {
        context =
            std::make_unique<JobContext>(LinkSettings{}, PortMap({}, {}), view, chain, cancel);
        context->Begin({chained, 0}, false);
    }
    // Opens the context's port onto the far end, as a job would have after detection.
    void Connect() {
        ASSERT_TRUE(far.Ok());
        ASSERT_EQ(context->Port().OpenReadWrite(far.Device(), 115200, 8, 0, 0), 1);
        context->Port().SetReadTimeout(150);
    }

    RecordingView view;
    ChainMemory chain;
    CancelEvent cancel;
    test::PtyEnd far;
    std::unique_ptr<JobContext> context;
};

TEST_F(JobContextTest, TimersDriveProgressAndBlinkTheStatus) {
    Make();

    // Timer 1: share of the bytes sent; nothing before a total is known.
    context->OnTimer(TransferTimer::Progress);
    EXPECT_TRUE(view.ProgressHistory().empty());
    context->StartByteCount(250050);
    EXPECT_EQ(context->CountBytesSent(62000), 62000u);
    EXPECT_EQ(context->CountBytesSent(500), 62500u);
    context->OnTimer(TransferTimer::Progress);
    EXPECT_EQ(view.Progress(), 24);

    // Timers 2 and 3 blink their text against the status the job set.
    context->SetStatus("");
    context->OnTimer(TransferTimer::SendingBlink);
    EXPECT_EQ(view.Status(), LoadResString(str::kDataTransmitted));
    context->OnTimer(TransferTimer::SendingBlink);
    EXPECT_EQ(view.Status(), "");
    context->SetStatus("something");
    context->OnTimer(TransferTimer::ProgramBlink);
    EXPECT_EQ(view.Status(), "");
    context->OnTimer(TransferTimer::ProgramBlink);
    EXPECT_EQ(view.Status(), LoadResString(str::kReceiverProgramming));

    // Timer 4 counts seconds of the 15-second erase wait and starts over when started again.
    context->StartTimer(TransferTimer::EraseSeconds);
    context->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 6);
    context->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 13);
    for (int i = 0; i < 20; ++i)
        context->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 100);
    context->StartTimer(TransferTimer::EraseSeconds);
    context->OnTimer(TransferTimer::EraseSeconds);
    EXPECT_EQ(view.Progress(), 6);
}

TEST_F(JobContextTest, FailJobReportsOnceClosesThePortAndFreesTheButtons) {
    Make();
    Connect();
    context->SetStatus("busy");
    EXPECT_EQ(context->FailJob(str::kSettingsSendError), 0);

    EXPECT_EQ(view.Messages(), std::vector<std::string>{LoadResString(str::kSettingsSendError)});
    EXPECT_TRUE(view.Has("message[stop]=" + LoadResString(str::kSettingsSendError)));
    EXPECT_FALSE(context->Port().IsOpen());
    EXPECT_EQ(view.Status(), "");
    EXPECT_EQ(view.Progress(), 0);
    EXPECT_TRUE(view.StartEnabled());
    EXPECT_TRUE(view.CancelEnabled());
    EXPECT_TRUE(view.RunningTimers().empty());
    // Not chained: the dialog stays open for another try.
    EXPECT_EQ(view.EndDialogCount(), 0);
}

TEST_F(JobContextTest, FailJobInAChainClosesTheDialogWithoutContinuing) {
    Make(1);
    Connect();
    context->EndChainStep(); // an earlier success must not survive the failure
    EXPECT_EQ(context->ChainContinue(), 1);
    Connect();
    context->FailJob(str::kSettingsSendError);
    EXPECT_EQ(context->ChainContinue(), 0);
    EXPECT_EQ(view.EndDialogCount(), 2);
}

// A job that finds no port at all fails at once, so a session can be run without a receiver.
TEST(TransferSessionRestart, PrepareRestartStartsTheSameJobAfresh) {
    struct Case {
        TransferJob job;
        bool normalFont; // only the firmware job changes the font
    };
    for (const Case& c : {Case{ListLoad{}, false}, Case{FirmwareSend{}, true}}) {
        SCOPED_TRACE(c.normalFont);
        RecordingView view;
        ChainMemory chain;
        CancelEvent cancel;
        TransferSession session(LinkSettings{}, PortMap({}, {}), view, chain, cancel);
        EXPECT_EQ(session.Run(c.job).outcome, JobOutcome::Failed);
        cancel.Set();
        cancel.Set(); // two presses before anyone looked

        session.PrepareRestart();
        EXPECT_FALSE(cancel.TakeSignal());
        EXPECT_EQ(session.Outcome(), JobOutcome::Running);
        EXPECT_FALSE(view.StartEnabled());
        EXPECT_EQ(view.CancelCaption(), LoadResString(str::kCancelCaption));
        EXPECT_EQ(view.Has("font=normal"), c.normalFont);
    }
}

TEST_F(JobContextTest, ResetForgetsCountersAndTheChainResult) {
    Make(1);
    context->StartByteCount(20);
    context->CountBytesSent(10);
    context->SetFirmwareCancelled(true);
    Connect();
    context->EndChainStep();

    context->Reset();
    context->OnTimer(TransferTimer::Progress);
    EXPECT_TRUE(view.ProgressHistory().empty());
    EXPECT_EQ(context->ChainContinue(), 0);
    EXPECT_EQ(context->FirmwareCancelled(), 0);
    EXPECT_EQ(context->Outcome(), JobOutcome::Running);
}

TEST_F(JobContextTest, ReadAckTellsAcknowledgeAbortAndErrorsApart) {
    Make();

    Connect();
    ASSERT_TRUE(far.Send("\r"));
    EXPECT_EQ(context->ReadAck(str::kProgramListError), 1);
    EXPECT_TRUE(view.Messages().empty());

    // The receiver accepted an abort: no message, the dialog closes.
    ASSERT_TRUE(far.Send("\n"));
    EXPECT_EQ(context->ReadAck(str::kProgramListError), 0);
    EXPECT_TRUE(view.Messages().empty());
    EXPECT_EQ(view.EndDialogCount(), 1);
    EXPECT_FALSE(context->Port().IsOpen());

    Connect();
    ASSERT_TRUE(far.Send("x"));
    EXPECT_EQ(context->ReadAck(str::kBankTransferError), 0);
    Connect();
    EXPECT_EQ(context->ReadAck(str::kProgramListError), 0); // silence
    EXPECT_EQ(view.Messages(), (std::vector<std::string>{LoadResString(str::kBankTransferError),
                                                         LoadResString(str::kProgramListError)}));
    EXPECT_FALSE(context->Port().IsOpen());
}

// What each kind of press leaves for the jobs that look after it.
TEST(CancelEventTest, APressIsTakenOnceAndACancelForGoodOutlivesEveryJob) {
    const struct {
        const char* name;
        void (*press)(CancelEvent&);
        bool takenByARunningJob; // first TakeSignal
        bool seenByTheNextJob;   // TakeSignal after Reset, as a new job starts
    } cases[] = {
        {"no press", [](CancelEvent&) {}, false, false},
        {"a press", [](CancelEvent& event) { event.Set(); }, true, false},
        {"a cancel for good", [](CancelEvent& event) { event.SetForGood(); }, true, true},
        {"a press does not weaken it",
         [](CancelEvent& event) {
             event.SetForGood();
             event.Set();
         },
         true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CancelEvent event;
        c.press(event);
        EXPECT_EQ(event.TakeSignal(), c.takenByARunningJob);
        event.Reset();
        EXPECT_EQ(event.TakeSignal(), c.seenByTheNextJob);
        event.Clear();
        EXPECT_FALSE(event.TakeSignal());
    }
}

} // namespace
} // namespace fw
