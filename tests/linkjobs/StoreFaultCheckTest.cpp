#include "core/link/TransferCheck.h"
#include "core/lists/ListFile.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

using test::JobRig;

// A list whose names are longer than nine characters at places 3 and 12, with a full bank F3.
std::string CheckedListFile() {
    std::string text = ListFileHead("TV", "checked");
    for (int place = 0; place < 13; ++place) {
        const char* name = place == 3 ? "Das Erste HD" : place == 12 ? "Sat.1 Gold HD" : "ZDF";
        text += test::ProgramLine(name, 28000 + place) + "\r\n";
    }
    CFavoritenDat banks;
    for (int entry = 0; entry < kCheckedBankEntries; ++entry)
        banks.Insert(3, CFavEintrag{entry % 13}, entry);
    banks.Insert(5, CFavEintrag{7}, 0);
    banks.WriteBlock(text);
    return text;
}

const std::string kCheckedSettings(2048, '\x04');

// Sends a list or the settings to a receiver with the fault, loads them back with the jobs of the
// transfer dialog, and compares as the check after a send does.
class StoreFaultCheckTest : public test::LinkJobTest {
protected:
    std::string VerdictAfterSend(const sim::StoreFaults& faults, bool settings) {
        sim::SimulatorOptions options;
        options.model = sim::Model::RecOk;
        options.storeFaults = faults;
        receiver = test::StartReceiver(options);
        m_jobsRun = 0;
        const std::string path = files.File(settings ? "send.grd" : "send.lst");
        test::WriteBytes(path, settings ? kCheckedSettings : CheckedListFile());
        JobRig sent;
        JobRig loaded;
        loaded.view.AnswerSaveAs("back");
        if (settings) {
            SettingsSend send;
            send.settings.m_strPath = path;
            Run(sent, send);
            Run(loaded, SettingsLoad{});
            return SettingsVerdict(
                CompareSettings(kCheckedSettings, loaded.result.settings.value_or("")));
        }
        ListSend send;
        send.list.m_strPath = path;
        send.list.m_strType = "TV";
        send.sendList = ReadSendList(send);
        EXPECT_EQ(send.sendList->error, "");
        Run(sent, send);
        Run(loaded, ListLoad{'T'});
        if (!loaded.result.list)
            return "nothing loaded";
        return ListVerdict(CompareLists(send.sendList->lines, send.sendList->banks,
                                        loaded.result.list->lines, loaded.result.list->banks,
                                        loaded.result.capacity));
    }

    // Runs the job on COM1 and waits until the receiver has ended it, so that the next job
    // meets a receiver waiting for a command.
    void Run(JobRig& rig, const TransferJob& job) {
        LinkSettings settings;
        settings.comPort = 1;
        rig.Make(job, settings, {{"COM1", receiver->DevicePath()}});
        rig.Run();
        EXPECT_EQ(rig.result.outcome, JobOutcome::Succeeded) << test::LogOf(*receiver);
        EXPECT_TRUE(test::WaitForJobs(*receiver, ++m_jobsRun));
    }

    test::TempDir files;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
    int m_jobsRun = 0;
};

TEST_F(StoreFaultCheckTest, EachQuietStoreFaultIsFoundWithItsFirstDifference) {
    const struct {
        const char* option; // with its value; none for a receiver that stores what it is sent
        const char* value;
        bool settings;
        const char* verdict;
    } cases[] = {
        {nullptr, nullptr, false, "The receiver holds the list as sent (1000 places, 10 banks)."},
        {"--store-name-max", "9", false,
         "The receiver holds a different list: 2 places differ, the first at place 3: sent \"Das "
         "Erste HD\", holds \"Das Erste\"."},
        {"--store-bank-max", "998", false,
         "The receiver holds a different list: bank F3 holds 998 of 1000 entries."},
        {"--store-drop-place", "7", false,
         "The receiver holds a different list: place 7 differs: sent \"ZDF\", holds \"\"."},
        {"--store-settings-byte", "17:200", true,
         "The receiver holds different settings: the byte at offset 17 differs: sent 4, holds "
         "200."},
        {"--store-name-max", "0", true, "The receiver holds the settings as sent (2048 bytes)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option ? c.option : "none");
        sim::StoreFaults faults;
        std::string error;
        ASSERT_TRUE(!c.option || sim::ParseStoreFault(c.option, c.value, faults, error)) << error;
        EXPECT_EQ(VerdictAfterSend(faults, c.settings), c.verdict);
    }
}

} // namespace
} // namespace fw
