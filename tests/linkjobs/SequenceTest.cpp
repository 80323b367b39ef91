#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/linkjobs/JobHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fw {
namespace {

using test::JobRig;

class JobSequenceTest : public test::LinkJobTest {
protected:
    void SetUp() override {
        test::LinkJobTest::SetUp();
        sim::SimulatorOptions options;
        options.settings = std::string(2048, '\x5A');
        receiver = test::StartReceiver(options);
        ASSERT_TRUE(receiver && com1.Ok());
    }
    // A safety copy's shape: the settings loaded, then a settings file sent; the search is
    // automatic, with something other than the receiver on COM1.
    std::vector<TransferJob> LoadThenSend() {
        SettingsSend send;
        send.settings.m_strPath = files.File("new.grd");
        send.settings.m_strFileName = "new.grd";
        test::WriteBytes(send.settings.m_strPath, std::string(2048, '\x11'));
        rig.Make(SettingsLoad{}, LinkSettings{},
                 {{"COM1", com1.Device()}, {"COM2", receiver->DevicePath()}});
        return {SettingsLoad{}, send};
    }
    static std::string StepLine(int step, int titleId) {
        return FormatText(LoadResString(str::kJobStep),
                          {std::to_string(step), "2", LoadResString(titleId)});
    }

    test::TempDir files;
    test::PtyEnd com1;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
    JobRig rig;
};

TEST_F(JobSequenceTest, StepsRunOnThePortTheFirstFoundWithOneProgressAndTypedResults) {
    const test::StrangerOnLine stranger(com1);
    rig.view.AnswerSaveAs("before.grd");
    rig.RunSequence(LoadThenSend());

    ASSERT_EQ(rig.results.size(), 2u) << rig.view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(rig.results[0].outcome, JobOutcome::Succeeded);
    EXPECT_EQ(rig.results[0].settings, std::string(2048, '\x5A'));
    EXPECT_EQ(rig.results[0].savedPath, rig.dir.File("before.grd"));
    EXPECT_EQ(rig.results[0].capacity, 4000);
    EXPECT_EQ(rig.results[1].outcome, JobOutcome::Succeeded);
    EXPECT_EQ(receiver->ReceivedSettings(), std::string(2048, '\x11'));
    // Only the first step searched; the second went straight to the port it found.
    EXPECT_EQ(stranger.Frames().size(), 1u);
    EXPECT_EQ(receiver->Commands(), (std::vector<std::string>{"LOAD DEFW", "PROG DEFW"}));

    // Each status names its step above the job's own text; each step's progress is its half.
    const std::string steps[] = {StepLine(1, str::kTitleSettingsLoad),
                                 StepLine(2, str::kTitleSettingsSend)};
    int step = -1;
    for (const std::string& event : rig.view.Events()) {
        if (event.starts_with("status=")) {
            const std::string status = event.substr(7);
            step = status.starts_with(steps[1]) ? 1 : 0;
            EXPECT_TRUE(status.starts_with(steps[step])) << status;
        } else if (event.starts_with("progress=")) {
            const int progress = std::stoi(event.substr(9));
            ASSERT_GE(step, 0) << event;
            EXPECT_GE(progress, 50 * step) << event;
            EXPECT_LE(progress, 50 * step + 50) << event;
        }
    }
    EXPECT_EQ(step, 1);
    EXPECT_EQ(rig.view.Status(), steps[1] + "\n" + LoadResString(str::kProgrammingFinished));
    EXPECT_EQ(rig.view.Progress(), 100);
    EXPECT_TRUE(JobRig::CanOpen(receiver->DevicePath()));
}

TEST_F(JobSequenceTest, AStepThatDoesNotSucceedEndsTheSequence) {
    rig.view.AnswerSaveAsCancel();
    rig.RunSequence(LoadThenSend());

    ASSERT_EQ(rig.results.size(), 1u) << rig.view.Dump();
    EXPECT_EQ(rig.results[0].outcome, JobOutcome::NotSaved);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::NotSaved);
    EXPECT_EQ(receiver->Commands(), std::vector<std::string>{"LOAD DEFW"});
    EXPECT_EQ(receiver->ReceivedSettings(), "");
}

} // namespace
} // namespace fw
