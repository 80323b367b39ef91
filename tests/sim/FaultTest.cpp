#include "sim/Faults.h"
#include "tests/sim/SimTestSupport.h"

namespace fw::sim::test {
namespace {

Running WithFault(Step step, int index, FaultKind kind, Model model = Model::Zeb30) {
    SimulatorOptions options;
    options.model = model;
    options.faults = {{step, index, kind}};
    return Running(options);
}

// The replies that need more than a rule of thumb.
TEST(SimFaults, FaultyMessages) {
    const struct {
        Step step;
        FaultKind kind;
        std::string message;
        std::string sent;
    } cases[] = {
        {Step::DetectionReply, FaultKind::WrongByte, "RECOK 1.1", "XXXXX 1.1"},
        {Step::DetectionReply, FaultKind::ShortReply, "RECOK 1.1", "RECO"},
        {Step::SoftwareText, FaultKind::WrongByte, std::string("AB\0", 3), std::string("XX\0", 3)},
        {Step::ProgramLine, FaultKind::ShortReply, "a\tb\r", "a\tb"},
        {Step::ProgressByte, FaultKind::WrongByte, "\x0A", "\xFE"},
        {Step::BankHeader, FaultKind::WrongByte, Bytes({0x0D, 0, 4}), Bytes({0x55, 0, 4})},
        {Step::BankHeader, FaultKind::Abort0A, Bytes({0x0D, 0, 4}), Bytes({0x0A, 0, 0})},
        {Step::EraseResult, FaultKind::ShortReply, "\xFF", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FaultyMessage(c.step, c.kind, c.message), c.sent)
            << StepName(c.step) << " " << FaultKindName(c.kind);
}

TEST(SimFaults, SilenceStrikesOnceThenTheReceiverAnswersAgain) {
    Running simulator = WithFault(Step::DetectionReply, 0, FaultKind::Silence);
    PcPort pc(simulator.Device());
    pc.Send(BuildCommandFrame("LOAD DEFW", 115200));
    EXPECT_TRUE(pc.StaysQuiet(300));
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30") << simulator.Log();
}

TEST(SimFaults, WrongModelReply) {
    Running simulator = WithFault(Step::ModelReply, 0, FaultKind::WrongByte);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD TLIS"), "XXXXX");
    EXPECT_TRUE(pc.StaysQuiet()) << "the job ends after a fault";
}

TEST(SimFaults, Byte0EForASecondBlock) {
    SimulatorOptions options;
    options.faults = {{Step::BlockAnswer, 1, FaultKind::Byte0E}};
    Running simulator(options);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG CODE"), "ZEB30");
    EXPECT_EQ(pc.Receive(10).size(), 10u);
    pc.Send("RECOK" + U32BE(2));
    EXPECT_EQ(pc.Receive(5), "RECOK");
    const std::string data(1024, '\x01');
    const std::string block = Bytes({0x0D}) + U32BE(1024) + data;
    pc.Send(block);
    EXPECT_EQ(pc.Receive(1), "\r");
    pc.Send(block);
    EXPECT_EQ(pc.Receive(1), "\x0E") << simulator.Log();
    EXPECT_TRUE(pc.StaysQuiet());
    EXPECT_TRUE(simulator->ReceivedFirmware().empty());
}

TEST(SimFaults, AbortInsteadOfALineAnswer) {
    Running simulator = WithFault(Step::LineAnswer, 2, FaultKind::Abort0A, Model::RecOk);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG TLIS"), "RECOK");
    for (int k = 0; k < 3; ++k)
        pc.Send(ProgramLine(k) + "\r");
    EXPECT_EQ(pc.Receive(3), "\r\r\n");
    EXPECT_TRUE(pc.StaysQuiet());
}

TEST(SimFaults, ShortSettingsBlock) {
    Running simulator = WithFault(Step::SettingsBlock, 0, FaultKind::ShortReply);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30");
    EXPECT_EQ(pc.Receive(kSettingsSize - 1).size(), kSettingsSize - 1);
    EXPECT_TRUE(pc.StaysQuiet());
}

TEST(SimFaults, LineVanishesInsteadOfTheEraseResult) {
    Running simulator = WithFault(Step::EraseResult, 0, FaultKind::LineVanishes, Model::RecOk);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG RLIS"), "RECOK");
    ASSERT_TRUE(SendList(pc, PlacesWith(1000, {})));
    EXPECT_TRUE(pc.SeesHangup()) << simulator.Log();
    EXPECT_TRUE(simulator->ReceivedList(false).empty());
}

} // namespace
} // namespace fw::sim::test
