#include "tests/sim/SimTestSupport.h"

namespace fw::sim::test {
namespace {

// The chain's first step: firmware with "PROG FERT", ending in the restart announcement.
void ChainedFirmware(Running& simulator) {
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG FERT"), "RECOK");
    EXPECT_EQ(pc.Receive(10).size(), 10u);
    const std::string data(1024, '\x02');
    pc.Send("RECOK" + U32BE(1));
    EXPECT_EQ(pc.Receive(5), "RECOK");
    pc.Send(Bytes({0x0D}) + U32BE(2048) + data);
    EXPECT_EQ(pc.Receive(1), "\r");
    EXPECT_EQ(pc.Receive(6), Bytes({0, 10, 40, 70, 100, 0xFF}));
    EXPECT_EQ(pc.Receive(5), "RECOK") << simulator.Log();
}

// A chained list: no frame, the capacity of the first step's model reply, then the banks.
// The radio list is the last step: no announcement after it.
void ChainedList(Running& simulator, const std::string& line, std::uint16_t bankEntry, bool last) {
    PcPort pc(simulator.Device());
    Banks banks{};
    banks[0] = {bankEntry};
    EXPECT_TRUE(SendList(pc, PlacesWith(1000, {line}), banks)) << simulator.Log();
    EXPECT_EQ(pc.Receive(1), "\xFF");
    if (last)
        EXPECT_TRUE(pc.StaysQuiet(200));
    else
        EXPECT_EQ(pc.Receive(5), "RECOK");
}

SimulatorOptions RecOkReceiver() {
    SimulatorOptions options;
    options.model = Model::RecOk;
    return options;
}

TEST(SimChain, FirmwareSettingsTvAndRadioWithoutFrames) {
    Running simulator(RecOkReceiver());
    ChainedFirmware(simulator);
    {
        PcPort pc(simulator.Device());
        pc.Purge();
        pc.Send(std::string(kSettingsSize, 's'));
        EXPECT_EQ(pc.Receive(1), "\xFF") << simulator.Log();
        EXPECT_EQ(pc.Receive(5), "RECOK");
    }
    ChainedList(simulator, "tv", 3, false);
    ChainedList(simulator, "radio", 4, true);

    EXPECT_EQ(simulator->Commands(), std::vector<std::string>{"PROG FERT"});
    EXPECT_EQ(simulator->ReceivedSettings(), std::string(kSettingsSize, 's'));
    EXPECT_EQ(simulator->ReceivedList(true).front(), "tv");
    EXPECT_EQ(simulator->ReceivedList(false).front(), "radio");
    EXPECT_EQ(simulator->ReceivedBanks(false)[0], std::vector<std::uint16_t>{4});
    EXPECT_TRUE(simulator.WaitForJobs(4)) << simulator.Log();

    // The chain is over: a list now needs a command frame again.
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "RECOK");
}

TEST(SimChain, CommandFrameLeavesTheChain) {
    Running simulator(RecOkReceiver());
    ChainedFirmware(simulator);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "RECOK");
    EXPECT_EQ(pc.Receive(kSettingsSize).size(), kSettingsSize);
    EXPECT_EQ(simulator->ReceivedSettings(), "");
}

TEST(SimChain, FaultIndexCountsOnThroughTheChain) {
    SimulatorOptions options = RecOkReceiver();
    // 0 is the announcement after the firmware, 1 the one after the settings.
    options.faults = {{Step::RestartAnnouncement, 1, FaultKind::WrongByte}};
    Running simulator(options);
    ChainedFirmware(simulator);
    PcPort pc(simulator.Device());
    pc.Send(std::string(kSettingsSize, 's'));
    EXPECT_EQ(pc.Receive(1), "\xFF");
    EXPECT_EQ(pc.Receive(5), "XXXXX");
    // The chain broke off: what would have been the TV list is no command.
    pc.Send(kEmptyLine + "\r");
    EXPECT_TRUE(pc.StaysQuiet(200)) << simulator.Log();
}

} // namespace
} // namespace fw::sim::test
