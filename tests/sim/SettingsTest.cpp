#include "tests/sim/SimTestSupport.h"

namespace fw::sim::test {
namespace {

std::string Pattern(char seed) {
    std::string block(kSettingsSize, '\0');
    for (std::size_t k = 0; k < block.size(); ++k)
        block[k] = static_cast<char>(seed + static_cast<char>(k % 97));
    return block;
}

TEST(SimSettings, LoadSendsTheBlockAndSendReplacesIt) {
    SimulatorOptions options;
    options.settings = Pattern('a');
    Running simulator(options);
    {
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30");
        EXPECT_EQ(pc.Receive(kSettingsSize), Pattern('a'));
        EXPECT_TRUE(pc.StaysQuiet());
    }
    {
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG DEFW"), "ZEB30");
        pc.Send(Pattern('b'));
        EXPECT_EQ(pc.Receive(1), "\xFF") << simulator.Log();
    }
    EXPECT_EQ(simulator->ReceivedSettings(), Pattern('b'));
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "ZEB30");
    EXPECT_EQ(pc.Receive(kSettingsSize), Pattern('b'));
}

TEST(SimSettings, ImageOfAnotherLengthIsRefused) {
    Running simulator;
    for (const std::size_t length : {kSettingsSize - 48, kSettingsSize + 1}) {
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG DEFW"), "ZEB30");
        pc.Send(Pattern('c').substr(0, length) + (length > kSettingsSize ? "+" : ""));
        const std::string result = pc.Receive(1);
        ASSERT_EQ(result.size(), 1u) << simulator.Log();
        EXPECT_NE(result, "\xFF");
    }
    EXPECT_EQ(simulator->ReceivedSettings(), "");
}

} // namespace
} // namespace fw::sim::test
