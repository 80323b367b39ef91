#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/GermanLocale.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <clocale>
#include <string>
#include <vector>

namespace fw {
namespace {

using test::Frame;
using test::JobRig;
using test::PtyEnd;
using Clock = std::chrono::steady_clock;

std::string Searching(bool manual, const std::string& name) {
    return "status=" + LoadResString(manual ? str::kManualPortSearch : str::kAutoPortSearch) + name;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

class DetectionTest : public test::LinkJobTest {
protected:
    LinkSettings Settings(int comPort = 0, int baud = 115200) {
        LinkSettings settings;
        settings.comPort = comPort;
        settings.baudRate = baud;
        // Long enough for any load: only a silent port waits it out.
        settings.recTimeout = 5000;
        return settings;
    }
    std::string Missing(const std::string& name) const { return rig.dir.File(name); }

    JobRig rig;
    PtyEnd com1, com2;
};

TEST_F(DetectionTest, AutomaticSearchFindsTheReceiverOnTheThirdPort) {
    sim::SimulatorOptions options;
    options.loaderVersion = "1.1";
    options.model = sim::Model::Zeb10;
    auto receiver = test::StartReceiver(options);
    ASSERT_TRUE(receiver && com1.Ok() && com2.Ok());
    const test::StrangerOnLine first(com1), second(com2);
    rig.Make(ListLoad{}, Settings(0, 57600),
             {{"COM1", com1.Device()},
              {"COM2", com2.Device()},
              {"COM3", receiver->DevicePath()},
              {"COM4", Missing("absent")}});

    const int port = rig.context->DetectReceiver("LOAD TLIS");

    ASSERT_EQ(port, 3) << rig.view.Dump() << test::LogOf(*receiver);
    // The other ports got the frame, were given up and closed again.
    const std::string frame = Frame("LOAD TLIS", 57600);
    EXPECT_EQ(frame, std::string("LOAD TLIS\x00\x00\xE1\x00\x0D", 14));
    EXPECT_EQ(first.Frames(), std::vector<std::string>{frame});
    EXPECT_EQ(second.Frames(), std::vector<std::string>{frame});
    EXPECT_TRUE(JobRig::CanOpen(com1.Device()));
    EXPECT_EQ(rig.view.ProgressHistory(), (std::vector<int>{25, 50, 75}));
    EXPECT_TRUE(rig.view.Has(Searching(false, "COM2")));
    EXPECT_TRUE(rig.view.Has("status=" + LoadResString(str::kReceiverFoundAt) + "COM3"));
    EXPECT_FLOAT_EQ(rig.context->Receiver().loaderVersion, 1.1f);
    EXPECT_EQ(rig.context->Receiver().capacity, 2000);
    EXPECT_EQ(rig.context->PortName(), "COM3");
    // Open at the working rate with the job's read time-out; Cancel was held off only while
    // the model reply was awaited.
    EXPECT_TRUE(rig.context->Port().IsOpen());
    EXPECT_EQ(rig.context->Port().Line().baud, 57600u);
    EXPECT_EQ(rig.context->Port().ReadTimeout(), LinkTimeoutMs(3000));
    EXPECT_EQ(rig.view.CountStartingWith("cancel=off"), 1u);
    EXPECT_TRUE(rig.view.CancelEnabled());
    EXPECT_TRUE(rig.view.Messages().empty());
    EXPECT_EQ(rig.wire.Sent(), frame + frame + frame);
    rig.context->Port().Close();
}

// The configured wait itself, measured on the clock: run alone (label "timing").
class DetectionTimingTest : public DetectionTest {};

TEST_F(DetectionTimingTest, ManualPortIsTheOnlyOneTriedAndFailsAfterTheConfiguredWait) {
    ASSERT_TRUE(com1.Ok() && com2.Ok());
    LinkSettings settings = Settings(2);
    settings.recTimeout = 500;
    rig.Make(SettingsLoad{}, settings, {{"COM1", com1.Device()}, {"COM2", com2.Device()}});

    const auto start = Clock::now();
    rig.Run();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);

    EXPECT_GE(elapsed.count(), 450);
    EXPECT_LT(elapsed.count(), 2500);
    EXPECT_EQ(rig.view.Messages(),
              std::vector<std::string>{LoadResString(str::kReceiverNotRecognized)});
    EXPECT_EQ(com1.Receive(100, 100), "");
    EXPECT_EQ(com2.Receive(100, 200), Frame("LOAD DEFW", 115200));
    EXPECT_TRUE(rig.view.Has(Searching(true, "COM2")));
    EXPECT_EQ(rig.view.ProgressHistory(), (std::vector<int>{50, 0}));
    EXPECT_EQ(rig.view.Status(), "");
    EXPECT_TRUE(rig.view.StartEnabled());
    EXPECT_EQ(rig.view.EndDialogCount(), 0);
    EXPECT_TRUE(JobRig::CanOpen(com2.Device()));
}

TEST_F(DetectionTest, ConfiguredWaitIsHeldToOneToTenThousandMilliseconds) {
    ASSERT_TRUE(com1.Ok());
    const test::StrangerOnLine stranger(com1);
    // 0 would wait for ever, the largest int 24 days.
    const std::pair<int, unsigned> cases[] = {{0, 500},       {-1, 500},      {1, 1},
                                              {10000, 10000}, {10001, 10000}, {INT_MAX, 10000}};
    for (const auto& [configured, used] : cases) {
        SCOPED_TRACE(configured);
        LinkSettings settings = Settings(1);
        settings.recTimeout = configured;
        JobRig one;
        one.Make(SettingsLoad{}, settings, {{"COM1", com1.Device()}});
        EXPECT_EQ(one.context->DetectReceiver("LOAD DEFW"), 0);
        EXPECT_EQ(one.context->Port().ReadTimeout(), used);
        EXPECT_EQ(one.view.Messages(),
                  std::vector<std::string>{LoadResString(str::kReceiverNotRecognized)});
    }
}

TEST_F(DetectionTest, SilentPortsAndAMissingFourthGiveReceiverNotRecognized) {
    PtyEnd com3;
    ASSERT_TRUE(com1.Ok() && com2.Ok() && com3.Ok());
    LinkSettings settings = Settings();
    settings.recTimeout = 150; // silence stays silence however long the wait
    rig.Make(SettingsLoad{}, settings,
             {{"COM1", com1.Device()}, {"COM2", com2.Device()}, {"COM3", com3.Device()}});
    rig.Run();
    EXPECT_EQ(rig.view.Messages(),
              std::vector<std::string>{LoadResString(str::kReceiverNotRecognized)});
    EXPECT_EQ(rig.view.ProgressHistory(), (std::vector<int>{25, 50, 75, 100, 0}));
    EXPECT_EQ(com3.Receive(100, 200).size(), 14u);
    EXPECT_TRUE(JobRig::CanOpen(com3.Device()));
}

TEST_F(DetectionTest, NoOpenablePortNamesEachPortsReason) {
    PtyEnd busy;
    ASSERT_TRUE(busy.Ok());
    CComPort holder; // another program has the third port
    ASSERT_EQ(holder.OpenReadWrite(busy.Device(), 19200, 8, 0, 0), 1);
    const std::string notATerminal = rig.dir.File("plain-file");
    test::WriteBytes(notATerminal, "x");
    rig.Make(FirmwareSend{}, Settings(),
             {{"COM1", Missing("absent")}, {"COM3", busy.Device()}, {"COM4", notATerminal}});

    rig.Run();

    ASSERT_EQ(rig.view.Messages().size(), 1u) << rig.view.Dump();
    const std::vector<std::string> lines = Lines(rig.view.Messages()[0]);
    ASSERT_EQ(lines.size(), 5u) << rig.view.Messages()[0];
    EXPECT_EQ(lines[0], "No free port.");
    EXPECT_EQ(lines[1].rfind("COM1: " + Missing("absent") + ": ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "COM2: no serial device");
    EXPECT_NE(lines[3].find(LoadResString(str::kPortInUseHint)), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find(LoadResString(str::kNotSerialHint)), std::string::npos) << lines[4];
    EXPECT_TRUE(rig.view.Has("message[stop]=" + rig.view.Messages()[0]));
    EXPECT_EQ(rig.view.Progress(), 0);
    EXPECT_TRUE(rig.wire.Chunks().empty());
}

// ModemManager may hold a USB adapter or answer in the receiver's place: its advice follows
// "no free port" and "not recognized" when it runs and a tried device is a USB serial port.
TEST_F(DetectionTest, ModemManagerAdviceOnlyWhenItRunsAndTheDeviceIsOnUsb) {
    ASSERT_TRUE(com1.Ok());
    const std::string advice = LoadResString(str::kModemManagerHint);
    struct Case {
        bool managerRuns;
        bool usb;
        bool busy;
    };
    const Case cases[] = {{true, true, false}, {true, true, true},   {false, true, false},
                          {false, true, true}, {true, false, false}, {true, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.managerRuns) + std::to_string(c.usb) +
                     std::to_string(c.busy));
        CComPort holder; // another program has the port
        if (c.busy) {
            ASSERT_EQ(holder.OpenReadWrite(com1.Device(), 19200, 8, 0, 0), 1);
        }
        LinkSettings settings = Settings(1);
        settings.recTimeout = 50;
        JobRig one;
        one.Make(SettingsLoad{}, settings, {{"COM1", com1.Device()}});
        const std::vector<std::string> processes = {"systemd",
                                                    c.managerRuns ? "ModemManager" : "cron"};
        std::vector<std::string> asked;
        one.context->SetSystemFacts({[&] { return processes; },
                                     [&](const std::string& device) {
                                         asked.push_back(device);
                                         return c.usb;
                                     }});
        EXPECT_EQ(one.context->DetectReceiver("LOAD DEFW"), 0);
        ASSERT_EQ(one.view.Messages().size(), 1u);
        const std::vector<std::string> lines = Lines(one.view.Messages()[0]);
        const std::string first =
            c.busy ? LoadResString(str::kNoFreePort) : LoadResString(str::kReceiverNotRecognized);
        EXPECT_EQ(lines.front(), Lines(first).front());
        EXPECT_EQ(lines.back() == advice, c.managerRuns && c.usb) << one.view.Messages()[0];
        if (c.managerRuns) {
            EXPECT_EQ(asked, std::vector<std::string>{com1.Device()});
        }
    }
}

TEST_F(DetectionTest, ADeviceGivenDirectlyIsTheOnlyCandidate) {
    auto receiver = test::StartReceiver({});
    ASSERT_TRUE(receiver && com1.Ok());
    LinkSettings settings = Settings(3);
    settings.device = receiver->DevicePath();
    rig.Make(SettingsLoad{}, settings, {{"COM1", com1.Device()}});

    EXPECT_EQ(rig.context->DetectReceiver("LOAD DEFW"), 5) << rig.view.Dump();
    EXPECT_EQ(rig.context->PortName(), receiver->DevicePath());
    EXPECT_TRUE(rig.view.Has(Searching(true, receiver->DevicePath())));
    EXPECT_EQ(rig.view.ProgressHistory(), std::vector<int>{25});
    EXPECT_EQ(com1.Receive(100, 100), "");
    rig.context->Port().Close();

    // A device that is not there: the reason names it, nothing else.
    JobRig missing;
    settings.device = Missing("gone");
    missing.Make(SettingsLoad{}, settings, {{"COM1", com1.Device()}});
    EXPECT_EQ(missing.context->DetectReceiver("LOAD DEFW"), 0);
    ASSERT_EQ(missing.view.Messages().size(), 1u);
    const std::vector<std::string> lines = Lines(missing.view.Messages()[0]);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind(Missing("gone") + ": ", 0), 0u) << lines[1];
}

struct ModelCase {
    sim::Model model;
    const char* command;
    std::vector<sim::Fault> faults;
    int capacity; // when found
    int errorId;  // 0 when found
};

TEST_F(DetectionTest, ModelReplyDecidesCapacityOrError) {
    using sim::FaultKind;
    using sim::Model;
    using sim::Step;
    const std::vector<ModelCase> cases = {
        {Model::RecOk, "LOAD TLIS", {}, 1000, 0},
        {Model::Zeb20, "PROG RLIS", {}, 3000, 0},
        {Model::Zeb30, "LOAD DEFW", {}, 4000, 0},
        // No software: no lists, but firmware and settings can still go in.
        {Model::RecFa, "LOAD TLIS", {}, 0, str::kNoFirmwareInstalled},
        {Model::RecFa, "PROG RLIS", {}, 0, str::kNoFirmwareInstalled},
        {Model::RecFa, "PROG CODE", {}, 0, 0},
        {Model::RecFa, "PROG DEFW", {}, 0, 0},
        {Model::Zeb30,
         "PROG CODE",
         {{Step::ModelReply, 0, FaultKind::ShortReply}},
         0,
         str::kReceiveSendError},
        {Model::Zeb30,
         "PROG CODE",
         {{Step::ModelReply, 0, FaultKind::WrongByte}},
         0,
         str::kReceiveSendError},
        {Model::Zeb30,
         "PROG CODE",
         {{Step::ModelReply, 0, FaultKind::Silence}},
         0,
         str::kReceiveSendError},
        // A detection reply that is short or wrong on the only port.
        {Model::Zeb30,
         "PROG CODE",
         {{Step::DetectionReply, 0, FaultKind::ShortReply}},
         0,
         str::kReceiverNotRecognized},
        {Model::Zeb30,
         "PROG CODE",
         {{Step::DetectionReply, 0, FaultKind::WrongByte}},
         0,
         str::kReceiverNotRecognized},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " / " + std::string(sim::ModelName(c.model)));
        sim::SimulatorOptions options;
        options.model = c.model;
        options.faults = c.faults;
        auto receiver = test::StartReceiver(options);
        ASSERT_TRUE(receiver);
        JobRig one;
        LinkSettings settings = Settings(1);
        // A cut detection reply waits out the time-out, and fails however long that is.
        if (!c.faults.empty() && c.faults[0].step == Step::DetectionReply)
            settings.recTimeout = 150;
        one.Make(SettingsLoad{}, settings, {{"COM1", receiver->DevicePath()}});

        const int port = one.context->DetectReceiver(c.command);

        if (c.errorId == 0) {
            EXPECT_EQ(port, 1) << one.view.Dump() << test::LogOf(*receiver);
            EXPECT_EQ(one.context->Receiver().capacity, c.capacity);
            EXPECT_TRUE(one.view.Messages().empty());
            EXPECT_TRUE(one.context->Port().IsOpen());
        } else {
            EXPECT_EQ(port, 0);
            EXPECT_EQ(one.view.Messages(), std::vector<std::string>{LoadResString(c.errorId)});
            EXPECT_FALSE(one.context->Port().IsOpen());
            EXPECT_TRUE(one.view.CancelEnabled());
        }
        one.context->Port().Close();
    }
}

TEST(LoaderVersionText, OnlyAPlainDecimalCounts) {
    const std::pair<const char*, float> cases[] = {
        {"1.1", 1.1f},  {"111", 111.0f}, {".5", 0.5f},  {"2.", 2.0f},  {"nan", 0.0f},
        {"inf", 0.0f},  {"0x2", 0.0f},   {"1e9", 0.0f}, {" 11", 0.0f}, {"1. ", 0.0f},
        {"1.1.", 0.0f}, {"-1", 0.0f},    {"+1", 0.0f},  {".", 0.0f},   {"", 0.0f},
    };
    for (const auto& [text, version] : cases)
        EXPECT_FLOAT_EQ(wire::LoaderVersionFromText(text), version) << '"' << text << '"';
}

TEST_F(DetectionTest, LoaderVersionIsReadAsADecimalWhateverTheLocale) {
    struct Case {
        const char* text;
        float version;
    };
    auto check = [&](const char* locale) {
        SCOPED_TRACE(locale);
        for (const Case& c : {Case{"1.1", 1.1f}, Case{"2.5", 2.5f}, Case{"1,1", 0.0f}}) {
            sim::SimulatorOptions options;
            options.loaderVersion = c.text;
            auto receiver = test::StartReceiver(options);
            ASSERT_TRUE(receiver);
            JobRig one;
            one.Make(FirmwareSend{}, Settings(1), {{"COM1", receiver->DevicePath()}});
            EXPECT_EQ(one.context->DetectReceiver("PROG CODE"), 1);
            EXPECT_FLOAT_EQ(one.context->Receiver().loaderVersion, c.version) << c.text;
            one.context->Port().Close();
        }
    };
    check("C");
    // Under a German locale a plain atof would read "1.1" as 1 and choose the wrong protocol.
    const test::GermanLocale german(LC_NUMERIC);
    ASSERT_TRUE(german.Active());
    check(test::GermanLocale::kName);
}

TEST_F(DetectionTest, CancelWhileTheSecondPortIsTriedStopsBeforeTheThird) {
    auto receiver = test::StartReceiver({});
    ASSERT_TRUE(receiver && com1.Ok() && com2.Ok());
    const test::StrangerOnLine first(com1), second(com2);
    rig.Make(SettingsLoad{}, Settings(),
             {{"COM1", com1.Device()}, {"COM2", com2.Device()}, {"COM3", receiver->DevicePath()}});
    rig.view.OnEvent([&](const std::string& event) {
        if (event == Searching(false, "COM2")) {
            rig.cancel.Set(); // pressed twice before the job looks: one cancel
            rig.cancel.Set();
        }
    });

    rig.Run();

    EXPECT_TRUE(rig.view.Messages().empty()) << rig.view.Dump();
    EXPECT_EQ(rig.view.EndDialogCount(), 1);
    EXPECT_EQ(rig.session->Outcome(), JobOutcome::Cancelled);
    EXPECT_EQ(rig.view.ProgressHistory(), (std::vector<int>{25, 50}));
    EXPECT_EQ(second.Frames().size(), 1u); // COM2 was still tried to its end
    EXPECT_TRUE(receiver->Commands().empty());
    EXPECT_TRUE(JobRig::CanOpen(com2.Device()));

    // Started again, the second press does not cancel the new run.
    rig.view.OnEvent({});
    rig.session->PrepareRestart();
    rig.Run();
    EXPECT_EQ(receiver->Commands(), std::vector<std::string>{"LOAD DEFW"}) << rig.view.Dump();
}

} // namespace
} // namespace fw
