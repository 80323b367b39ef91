#include "sim/StateFolder.h"
#include "tests/sim/SimTestSupport.h"

#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "tests/support/FileTestSupport.h"

namespace fw::sim::test {
namespace {

TEST(SimState, WhatItIsSentIsKeptInTheProgramsFormats) {
    fw::test::TempDir dir;
    SimulatorOptions options;
    options.model = Model::RecOk;
    options.loaderVersion = "1.0";
    options.stateFolder = dir.Path().string();
    {
        Running simulator(options);
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("PROG TLIS"), "RECOK");
        Banks banks{};
        banks[4] = {1};
        ASSERT_TRUE(SendList(pc, PlacesWith(1000, {kEmptyLine, ProgramLine(1)}), banks));
        EXPECT_EQ(pc.Receive(1), "\xFF");
        pc.Close();

        PcPort settings(simulator.Device());
        EXPECT_EQ(settings.Detect("PROG DEFW"), "RECOK");
        settings.Send(std::string(kSettingsSize, 'g'));
        EXPECT_EQ(settings.Receive(1), "\xFF");
        settings.Close();

        PcPort firmware(simulator.Device());
        EXPECT_EQ(firmware.Detect("PROG CODE"), "RECOK");
        EXPECT_EQ(firmware.Receive(10).size(), 10u);
        firmware.Send("RECOK" + U32BE(3) + U32BE(3) + "\x01\x01\x01");
        EXPECT_EQ(firmware.Receive(5 + 4), "RECOKCHOK") << simulator.Log();
    }
    EXPECT_EQ(fw::test::ReadBytes(dir.File("settings.grd")), std::string(kSettingsSize, 'g'));
    EXPECT_EQ(fw::test::ReadBytes(dir.File("firmware.bin")), "\x01\x01\x01");

    // The program opens the list like any other.
    ProgramPool pool;
    CFavoritenDat banks;
    ASSERT_TRUE(ParseListText(fw::test::ReadBytes(dir.File("tv.lst")), pool, banks).ok);
    EXPECT_EQ(pool.LineOfRow(1), ProgramLine(1));
    EXPECT_EQ(pool.LastUsedRow(), 1);
    EXPECT_EQ(banks.GetAddress(4, 0), 1);

    // A receiver started on the same folder holds what was kept.
    Running again(options);
    PcPort pc(again.Device());
    EXPECT_EQ(pc.Detect("LOAD TLIS"), "RECOK");
    EXPECT_EQ(pc.ReceiveLine(), kEmptyLine + "\r");
    pc.Send("\r");
    EXPECT_EQ(pc.ReceiveLine(), ProgramLine(1) + "\r");
}

TEST(SimState, SettingsFileOfAnotherSizeStopsTheStart) {
    fw::test::TempDir dir;
    fw::test::WriteBytes(dir.File("settings.grd"), "short");
    SimulatorOptions options;
    options.stateFolder = dir.Path().string();
    ReceiverSimulator simulator(options);
    std::string reason;
    EXPECT_FALSE(simulator.Open(reason));
    EXPECT_NE(reason.find("settings.grd"), std::string::npos) << reason;
}

TEST(SimState, ListFileTextRoundTrip) {
    ProgramList list;
    list.lines = {"", ProgramLine(1), kEmptyLine};
    list.banks[0] = {1, 0};
    list.banks[9] = {3999};
    const std::string text = ListFileText(false, list);
    EXPECT_TRUE(text.starts_with("HEADER:\tRA\t"));
    const ProgramList back = ParseListFile(text);
    EXPECT_EQ(back.lines, std::vector<std::string>({"", ProgramLine(1)}));
    EXPECT_EQ(back.banks, list.banks);
}

} // namespace
} // namespace fw::sim::test
