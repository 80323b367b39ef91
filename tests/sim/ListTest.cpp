#include "tests/sim/SimTestSupport.h"

namespace fw::sim::test {
namespace {

const std::string kAck = "\r";
const std::string kAbortByte = "\n";

std::string BankBytes(std::initializer_list<int> entries) {
    std::string data;
    for (const int entry : entries)
        data += U16BE(static_cast<std::uint32_t>(entry));
    return data;
}

std::string BankHeader(std::size_t length, char flag = '\r') {
    return std::string(1, flag) + U16BE(static_cast<std::uint32_t>(length));
}

TEST(SimLists, LoadSendsTheCapacityThenTheBanks) {
    SimulatorOptions options;
    options.model = Model::Zeb10;
    options.tvList = {ProgramLine(0), ProgramLine(1), ProgramLine(2)};
    options.tvBanks[0] = {1, 2};
    options.tvBanks[9] = {1999};
    options.radioList = {"radio"};
    Running simulator(options);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD TLIS"), "ZEB10");
    EXPECT_TRUE(LoadList(pc, PlacesWith(2000, options.tvList), options.tvBanks)) << simulator.Log();
    EXPECT_TRUE(simulator.WaitForJobs(1)) << simulator.Log();
    EXPECT_TRUE(pc.StaysQuiet());
}

TEST(SimLists, LoadAbortComesWhereThePcLooksForIt) {
    SimulatorOptions options;
    options.model = Model::RecOk;
    options.radioBanks[0] = {7, 8};
    Running simulator(options);
    {
        // Cancelled during the lines: 0x0A instead of the next line.
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("LOAD RLIS"), "RECOK");
        EXPECT_EQ(pc.ReceiveLine(), kEmptyLine + "\r");
        pc.Send(kAbortByte);
        EXPECT_EQ(pc.Receive(1), kAbortByte);
        EXPECT_TRUE(pc.StaysQuiet());
    }
    // Cancelled at a bank with data: the PC still reads the data, then the next header.
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD RLIS"), "RECOK");
    for (int k = 0; k < 1000; ++k) {
        ASSERT_EQ(pc.ReceiveLine(), kEmptyLine + "\r");
        pc.Send(kAck);
    }
    EXPECT_EQ(pc.Receive(3), BankHeader(4));
    pc.Send(kAbortByte);
    EXPECT_EQ(pc.Receive(4), BankBytes({7, 8}));
    pc.Send(kAbortByte);
    EXPECT_EQ(pc.Receive(3), BankHeader(0, '\n')) << simulator.Log();
    EXPECT_TRUE(pc.StaysQuiet());
}

TEST(SimLists, SentListIsKeptAndLoadedBack) {
    SimulatorOptions options;
    options.model = Model::RecOk;
    Running simulator(options);
    std::vector<std::string> lines = PlacesWith(1000, {ProgramLine(0)});
    lines[999] = ProgramLine(999);
    Banks banks{};
    banks[2] = {0, 999, 500};
    {
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG TLIS"), "RECOK");
        EXPECT_TRUE(SendList(pc, lines, banks)) << simulator.Log();
        EXPECT_EQ(pc.Receive(1), "\xFF") << simulator.Log();
    }
    EXPECT_EQ(simulator->ReceivedList(true), lines);
    EXPECT_EQ(simulator->ReceivedBanks(true), banks);
    EXPECT_TRUE(simulator->ReceivedList(false).empty());

    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("LOAD TLIS"), "RECOK");
    for (int k = 0; k < 1000; ++k) {
        ASSERT_EQ(pc.ReceiveLine(), lines[static_cast<std::size_t>(k)] + "\r");
        pc.Send(kAck);
    }
    EXPECT_EQ(pc.Receive(3), BankHeader(0));
    pc.Send(kAck);
    EXPECT_EQ(pc.Receive(3), BankHeader(0));
    pc.Send(kAck);
    EXPECT_EQ(pc.Receive(3), BankHeader(6));
    pc.Send(kAck);
    EXPECT_EQ(pc.Receive(6), BankBytes({0, 999, 500}));
}

TEST(SimLists, SendCancelledOrMalformedIsNotKept) {
    SimulatorOptions options;
    options.model = Model::RecOk;
    Running simulator(options);
    {
        // 0x0A in front of a line: the PC has cancelled.
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG TLIS"), "RECOK");
        pc.Send("first\r");
        EXPECT_EQ(pc.Receive(1), kAck);
        pc.Send("\nsecond\r");
        EXPECT_EQ(pc.Receive(1), kAbortByte);
        EXPECT_TRUE(pc.StaysQuiet());
    }
    const std::vector<std::string> lines = PlacesWith(1000, {});
    {
        // A cancelled bank header.
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG RLIS"), "RECOK");
        ASSERT_TRUE(SendLines(pc, lines));
        pc.Send(BankHeader(0) + BankHeader(0, '\n'));
        EXPECT_EQ(pc.Receive(2), kAck + kAbortByte);
        EXPECT_TRUE(pc.StaysQuiet());
    }
    // A bank of more than 1000 entries is none the PC sends: no answer at all.
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG RLIS"), "RECOK");
    ASSERT_TRUE(SendLines(pc, lines));
    pc.Send(BankHeader(2002));
    EXPECT_TRUE(pc.StaysQuiet(200));
    EXPECT_TRUE(simulator.WaitForJobs(3)) << simulator.Log();
    EXPECT_TRUE(simulator->ReceivedList(true).empty());
    EXPECT_TRUE(simulator->ReceivedList(false).empty());
}

} // namespace
} // namespace fw::sim::test
