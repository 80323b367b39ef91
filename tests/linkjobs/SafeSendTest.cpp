#include "core/link/SafeSend.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fw {
namespace {

using test::JobRig;

const std::string kHeldSettings(2048, '\x5A');
const std::string kNewSettings(2048, '\x11');

struct SafeSendCase {
    const char* name;
    bool list = false;
    bool copy = true;
    bool verify = true;
    bool copyFolderBlocked = false; // the settings' backup folder cannot be made
    std::vector<sim::Fault> faults;
    const char* storeFault = nullptr; // --store-settings-byte value
    SafeSendEnd end;
    std::vector<std::string> commands;
    std::vector<std::string> logJobs;
    std::string verdict;
    int busyFrames = 0; // command frames the receiver leaves unanswered after the send
};

class SafeSendTest : public test::LinkJobTest {
protected:
    SafeSendResult Run(const SafeSendCase& c) {
        sim::SimulatorOptions options;
        options.settings = kHeldSettings;
        options.tvList = {test::ProgramLine("Das Erste", 28106)};
        options.faults = c.faults;
        options.framesIgnoredAfterStore = c.busyFrames;
        std::string error;
        if (c.storeFault != nullptr) {
            EXPECT_TRUE(sim::ParseStoreFault("--store-settings-byte", c.storeFault,
                                             options.storeFaults, error))
                << error;
        }
        receiver = test::StartReceiver(options);
        data = std::make_unique<test::TempDir>();
        folders = FoldersUnder(data->Path());
        if (c.copyFolderBlocked) {
            test::WriteBytes(data->File("blocker"), "x");
            folders.settingsBackups = data->File("blocker") + "/backup";
        }
        store.emplace(folders, 20);

        TransferJob send;
        if (c.list) {
            ListSend listSend;
            listSend.list.m_strPath = data->File("new.lst");
            listSend.list.m_strType = "TV";
            test::WriteBytes(listSend.list.m_strPath,
                             ListFileHead("TV", "new") + test::ProgramLine("ZDF", 28006) + "\r\n");
            send = listSend;
        } else {
            SettingsSend settingsSend;
            settingsSend.settings.m_strPath = data->File("new.grd");
            test::WriteBytes(settingsSend.settings.m_strPath, kNewSettings);
            send = settingsSend;
        }
        LinkSettings settings;
        settings.comPort = 1;
        rig = std::make_unique<JobRig>();
        rig->Make(send, settings, {{"COM1", receiver->DevicePath()}});
        SafeSendResult result;
        test::RecordingView::TimerPump pump(rig->view, *rig->session);
        std::thread worker([&] {
            result = RunSafeSend(*rig->session, send, {c.copy ? &*store : nullptr, c.verify});
        });
        worker.join();
        return result;
    }

    std::unique_ptr<test::TempDir> data;
    DataFolders folders;
    std::optional<SafetyCopyStore> store;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
    std::unique_ptr<JobRig> rig;
};

TEST_F(SafeSendTest, CopySendAndCheckRunAsOneSequenceAndNothingIsSentWithoutTheCopy) {
    using sim::FaultKind;
    using sim::Step;
    const SafeSendCase cases[] = {
        {"list: copy, send, check",
         true,
         true,
         true,
         false,
         {},
         nullptr,
         SafeSendEnd::Sent,
         {"LOAD TLIS", "PROG TLIS", "LOAD TLIS"},
         {"list safety copy", "list send", "list check"},
         "The receiver holds the list as sent (4000 places, 10 banks)."},
        {"the copy cannot be written",
         false,
         true,
         true,
         true,
         {},
         nullptr,
         SafeSendEnd::SafetyCopyFailed,
         {"LOAD DEFW"},
         {"settings safety copy"},
         ""},
        {"the copy cannot be loaded",
         false,
         true,
         true,
         false,
         {{Step::SettingsBlock, 0, FaultKind::ShortReply}},
         nullptr,
         SafeSendEnd::SafetyCopyFailed,
         {"LOAD DEFW"},
         {"settings safety copy"},
         ""},
        {"the receiver stores another byte",
         false,
         false,
         true,
         false,
         {},
         "17:200",
         SafeSendEnd::Differs,
         {"PROG DEFW", "LOAD DEFW"},
         {"settings send", "settings check"},
         "The receiver holds different settings: the byte at offset 17 differs: sent 17, holds "
         "200."},
        {"the check's load fails",
         false,
         false,
         true,
         false,
         {{Step::SettingsBlock, 0, FaultKind::ShortReply}},
         nullptr,
         SafeSendEnd::CheckNotRun,
         {"PROG DEFW", "LOAD DEFW"},
         {"settings send", "settings check"},
         "Sent; the check could not run: "},
        {"neither copy nor check",
         false,
         false,
         false,
         false,
         {},
         nullptr,
         SafeSendEnd::Sent,
         {"PROG DEFW"},
         {"settings send"},
         ""},
    };
    for (const SafeSendCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SafeSendResult result = Run(c);
        EXPECT_EQ(result.end, c.end) << result.reason << rig->view.Dump() << test::LogOf(*receiver);
        EXPECT_EQ(receiver->Commands(), c.commands);
        EXPECT_TRUE(result.verdict.starts_with(c.verdict)) << result.verdict;
        std::vector<std::string> jobs;
        for (const LogbookRecord& record : result.log)
            jobs.push_back(record.job);
        EXPECT_EQ(jobs, c.logJobs);
        const bool sent = c.end != SafeSendEnd::SafetyCopyFailed;
        if (!c.list) {
            EXPECT_EQ(receiver->ReceivedSettings(), sent ? kNewSettings : "");
        }
        // A copy holds what the receiver held before the send, and the send's line names it.
        if (c.copy && sent) {
            const std::vector<SafetyCopy> copies = ListSafetyCopies(folders.listBackups);
            ASSERT_EQ(copies.size(), 1u);
            EXPECT_EQ(copies[0].model, "ZEB30");
            EXPECT_EQ(result.safetyCopyPath, copies[0].path);
            EXPECT_NE(test::ReadBytes(result.safetyCopyPath).find("Das Erste"), std::string::npos);
            EXPECT_EQ(result.log[1].safetyCopy, result.safetyCopyPath);
        }
        if (!sent) {
            EXPECT_EQ(ListSafetyCopies(folders.settingsBackups).size(), 0u);
        }
        // The check runs with start off and Cancel named so, though the send before it ended
        // as a send on its own does.
        if (c.commands.size() == 3) {
            bool startOn = false;
            std::string caption;
            for (const std::string& event : rig->view.Events()) {
                if (event.starts_with("status=Step 3 of 3"))
                    break;
                if (event.starts_with("start="))
                    startOn = event == "start=on";
                if (event.starts_with("caption="))
                    caption = event.substr(8);
            }
            EXPECT_FALSE(startOn);
            EXPECT_EQ(caption, LoadResString(str::kCancelCaption));
            // The steps around the send say what they are for.
            const std::vector<std::string> events = rig->view.Events();
            for (const char* step :
                 {"status=Step 1 of 3: safety copy\n", "status=Step 3 of 3: check\n"})
                EXPECT_TRUE(std::any_of(
                    events.begin(), events.end(),
                    [step](const std::string& event) { return event.starts_with(step); }))
                    << step;
        }
    }
}

TEST_F(SafeSendTest, AfterAFirmwareTheReceiverIsAskedWhichSoftwareItRunsAndProgramsNothing) {
    // The image names V1.30 in its trailer; the description the catalogue read may differ.
    const struct {
        const char* describedVersion;
        SafeSendEnd end;
        const char* verdict;
    } cases[] = {
        {"ABC V1.30", SafeSendEnd::Sent, "The receiver now runs ABC V1.30."},
        {"ABC V1.40", SafeSendEnd::Differs,
         "Warning: the receiver still names ABC V1.30 instead of"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.describedVersion);
        receiver = test::StartReceiver({});
        data = std::make_unique<test::TempDir>();
        const std::string image = test::FirmwareImage(6144, "ABC V1.30", "demo");
        FirmwareSend send;
        send.firmware.m_strPath = data->File("new.bsr");
        test::WriteBytes(send.firmware.m_strPath, image);
        send.firmware.m_size = 6144;
        send.firmware.m_kind = 1;
        send.firmware.m_version = c.describedVersion;
        LinkSettings settings;
        settings.comPort = 1;
        rig = std::make_unique<JobRig>();
        rig->Make(send, settings, {{"COM1", receiver->DevicePath()}});
        rig->view.AnswerYesNo(true); // writing the flash is confirmed
        SafeSendResult result;
        {
            test::RecordingView::TimerPump pump(rig->view, *rig->session);
            std::thread worker([&] { result = RunSafeSend(*rig->session, send, {nullptr, true}); });
            worker.join();
        }
        EXPECT_EQ(result.end, c.end) << rig->view.Dump() << test::LogOf(*receiver);
        EXPECT_TRUE(result.verdict.starts_with(c.verdict)) << result.verdict;
        EXPECT_EQ(receiver->Commands(), (std::vector<std::string>{"PROG CODE", "PROG CODE"}));
        const std::vector<unsigned char> programmed = receiver->ReceivedFirmware();
        EXPECT_EQ(std::string(programmed.begin(), programmed.end()), image);
        ASSERT_EQ(result.log.size(), 2u);
        EXPECT_EQ(result.log[1].job, "firmware check");
        EXPECT_EQ(result.log[1].software, "ABC V1.30");
    }
}

// A receiver still storing answers no detection for a while: the check asks again within its
// window and gives up only when the window has passed.
TEST_F(SafeSendTest, TheCheckAsksAgainWhileTheReceiverIsBusyAndGivesUpAfterItsWindow) {
    SafeSendCase busy{"busy for three detections", false, false, true, false, {}, nullptr,
                      SafeSendEnd::Sent,           {},    {},    "",   3};
    SafeSendResult result = Run(busy);
    EXPECT_EQ(result.end, SafeSendEnd::Sent) << rig->view.Dump() << test::LogOf(*receiver);
    EXPECT_EQ(result.verdict, "The receiver holds the settings as sent (2048 bytes).");
    EXPECT_EQ(receiver->Commands(), (std::vector<std::string>{"PROG DEFW", "LOAD DEFW", "LOAD DEFW",
                                                              "LOAD DEFW", "LOAD DEFW"}));

    SafeSendCase silent = busy;
    silent.busyFrames = 1000;
    result = Run(silent);
    EXPECT_EQ(result.end, SafeSendEnd::CheckNotRun);
    EXPECT_TRUE(result.verdict.starts_with("Sent; the check could not run: ")) << result.verdict;
    EXPECT_GT(receiver->Commands().size(), 2u) << "the check asked only once";
    EXPECT_EQ(receiver->ReceivedSettings(), kNewSettings);
}

TEST_F(SafeSendTest, AfterAFirmwareTheCheckWaitsForTheRestartedReceiverWithinItsWindow) {
    const struct {
        int busyFrames;
        SafeSendEnd end;
        const char* verdict;
    } cases[] = {
        {3, SafeSendEnd::Sent, "The receiver now runs ABC V1.30."},
        {1000, SafeSendEnd::SentUnconfirmed, "Sent; the check could not run: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.busyFrames);
        sim::SimulatorOptions options;
        options.framesIgnoredAfterStore = c.busyFrames;
        receiver = test::StartReceiver(options);
        data = std::make_unique<test::TempDir>();
        FirmwareSend send;
        send.firmware.m_strPath = data->File("new.bsr");
        test::WriteBytes(send.firmware.m_strPath, test::FirmwareImage(6144, "ABC V1.30", "demo"));
        send.firmware.m_size = 6144;
        send.firmware.m_kind = 1;
        send.firmware.m_version = "ABC V1.30";
        LinkSettings settings;
        settings.comPort = 1;
        rig = std::make_unique<JobRig>();
        rig->Make(send, settings, {{"COM1", receiver->DevicePath()}});
        rig->view.AnswerYesNo(true);
        SafeSendResult result;
        {
            test::RecordingView::TimerPump pump(rig->view, *rig->session);
            std::thread worker([&] { result = RunSafeSend(*rig->session, send, {nullptr, true}); });
            worker.join();
        }
        EXPECT_EQ(result.end, c.end) << rig->view.Dump() << test::LogOf(*receiver);
        EXPECT_TRUE(result.verdict.starts_with(c.verdict)) << result.verdict;
        const std::size_t asked = receiver->Commands().size() - 1;
        if (c.busyFrames == 3) {
            EXPECT_EQ(asked, 4u);
        } else {
            EXPECT_GT(asked, 1u) << "the check asked only once";
        }
    }
}

} // namespace
} // namespace fw
