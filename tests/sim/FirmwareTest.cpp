#include "tests/sim/SimTestSupport.h"
#include "tests/support/FileTestSupport.h"

namespace fw::sim::test {
namespace {

const std::string kProgressToEnd = Bytes({0, 10, 40, 70, 100, 0xFF});

std::string Image(std::size_t size) {
    std::string image(size, '\0');
    for (std::size_t k = 0; k < size; ++k)
        image[k] = static_cast<char>((k * 7 + k / 251) & 0xFF);
    return image;
}

std::vector<unsigned char> AsBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// Detection, the software text and the PC's "RECOK".
void StartFirmware(PcPort& pc, std::string_view command = "PROG CODE",
                   const std::string& installed = "ABC V1.20") {
    EXPECT_EQ(pc.Detect(command), "ZEB30");
    EXPECT_EQ(pc.Receive(installed.size() + 1), installed + '\0');
    pc.Send("RECOK");
}

std::string BlockHeader(unsigned char flag, std::string_view data) {
    return std::string(1, static_cast<char>(flag)) + U32BE(SumBytes(data));
}

// A 2048-byte image as two blocks, each acknowledged, after the PC's "RECOK".
void SendTwoBlocks(PcPort& pc, const std::string& image, const Running& simulator) {
    pc.Send(U32BE(2));
    EXPECT_EQ(pc.Receive(5), "RECOK");
    for (std::size_t block = 0; block < 2; ++block) {
        const std::string data = image.substr(block * 1024, 1024);
        pc.Send(BlockHeader(0x0D, data) + data);
        EXPECT_EQ(pc.Receive(1), "\r") << simulator.Log();
    }
}

class SimFirmware : public ::testing::Test {
protected:
    SimulatorOptions WithLoader(std::string version) {
        SimulatorOptions options;
        options.loaderVersion = std::move(version);
        return options;
    }
};

TEST_F(SimFirmware, SimpleProtocolChecksTheSum) {
    Running simulator(WithLoader("1.0"));
    const std::string image = Image(10050);
    {
        PcPort pc(simulator.Device());
        StartFirmware(pc);
        pc.Send(U32BE(10050) + U32BE(SumBytes(image)));
        EXPECT_EQ(pc.Receive(5), "RECOK");
        // As the PC sends it: 100 pieces of size / 100, then the rest.
        for (int piece = 0; piece < 100; ++piece)
            pc.Send(image.substr(static_cast<std::size_t>(piece) * 100, 100));
        pc.Send(image.substr(10000));
        EXPECT_EQ(pc.Receive(4), "CHOK") << simulator.Log();
        EXPECT_EQ(pc.Receive(6), kProgressToEnd);
    }
    EXPECT_EQ(simulator->ReceivedFirmware(), AsBytes(image));

    PcPort pc(simulator.Device());
    StartFirmware(pc);
    pc.Send(U32BE(10050) + U32BE(SumBytes(image) + 1));
    EXPECT_EQ(pc.Receive(5), "RECOK");
    pc.Send(image);
    const std::string result = pc.Receive(4);
    EXPECT_EQ(result.size(), 4u);
    EXPECT_NE(result, "CHOK");
    EXPECT_TRUE(pc.StaysQuiet()) << "no programming after a wrong sum";
}

TEST_F(SimFirmware, BlockProtocolAnswersEveryBlock) {
    Running simulator(WithLoader("1.1"));
    const std::string image = Image(3 * 1024);
    PcPort pc(simulator.Device());
    StartFirmware(pc);
    pc.Send(U32BE(3));
    EXPECT_EQ(pc.Receive(5), "RECOK");
    for (std::size_t block = 0; block < 3; ++block) {
        const std::string data = image.substr(block * 1024, 1024);
        pc.Send(BlockHeader(0x0D, data));
        pc.Send(data);
        EXPECT_EQ(pc.Receive(1), "\r") << "block " << block << "\n" << simulator.Log();
    }
    EXPECT_EQ(pc.Receive(6), kProgressToEnd);
    EXPECT_EQ(simulator->ReceivedFirmware(), AsBytes(image));
    EXPECT_TRUE(simulator.WaitForJobs(1));
}

TEST(SimFirmwareName, VersionTextIsTheTrailersSecondText) {
    const std::string nul(1, '\0');
    EXPECT_EQ(FirmwareVersionText(::fw::test::FirmwareImage(3000, "XYZ V2.00", "d")), "XYZ V2.00");
    EXPECT_EQ(FirmwareVersionText(::fw::test::FirmwareImage(2048, "XYZ V2.00")), "XYZ V2.00");
    EXPECT_EQ(FirmwareVersionText(::fw::test::FirmwareImage(3000, "")), std::nullopt);
    EXPECT_EQ(FirmwareVersionText(std::string(2047, 'x') + nul), std::nullopt); // too short
    EXPECT_EQ(FirmwareVersionText(std::string(3000, 'x')), std::nullopt);       // no texts
    EXPECT_EQ(FirmwareVersionText(std::string(952, 'x') + "OTHER" + nul + "V1" + nul +
                                  std::string(2039, 'x')),
              std::nullopt);
    EXPECT_EQ(FirmwareVersionText(std::string(952, 'x') + "SOFTWARE-VERSION-2MB" + nul + "V2" +
                                  nul + std::string(2024, 'x')),
              "V2");
}

TEST_F(SimFirmware, OnlyAProgrammedImageRenamesTheSoftware) {
    SimulatorOptions options = WithLoader("1.1");
    // The first image never reports its programming finished.
    options.faults = {{Step::ProgressByte, 5, FaultKind::Silence}};
    Running simulator(options);
    auto send = [&](const std::string& installed, const std::string& version,
                    std::size_t progress) {
        const std::string image = ::fw::test::FirmwareImage(2048, version);
        PcPort pc(simulator.Device());
        StartFirmware(pc, "PROG CODE", installed);
        SendTwoBlocks(pc, image, simulator);
        return pc.Receive(progress);
    };
    EXPECT_EQ(send("ABC V1.20", "ABC V9.99", 5), kProgressToEnd.substr(0, 5));
    ASSERT_TRUE(simulator.WaitForJobs(1)) << simulator.Log();
    EXPECT_EQ(send("ABC V1.20", "ABC V1.30", 6), kProgressToEnd);
    ASSERT_TRUE(simulator.WaitForJobs(2)) << simulator.Log();
    PcPort pc(simulator.Device());
    StartFirmware(pc, "PROG CODE", "ABC V1.30");
}

TEST_F(SimFirmware, BlockWithWrongSumOrAbortEndsTheJob) {
    Running simulator(WithLoader("1.1"));
    const std::string data = Image(1024);
    for (const unsigned char flag : {0x0D, 0x0A}) {
        PcPort pc(simulator.Device());
        StartFirmware(pc);
        pc.Send(U32BE(4));
        EXPECT_EQ(pc.Receive(5), "RECOK");
        pc.Send(BlockHeader(0x0D, data) + data);
        EXPECT_EQ(pc.Receive(1), "\r");
        // A wrong sum is 0x0E; a cancelled block is answered with the abort byte.
        const std::string header =
            flag == 0x0D ? Bytes({0x0D, 0, 0, 0, 1}) : BlockHeader(0x0A, data);
        pc.Send(header + data);
        EXPECT_EQ(pc.Receive(1), std::string(1, flag == 0x0D ? '\x0E' : '\x0A'));
        EXPECT_TRUE(pc.StaysQuiet());
    }
    EXPECT_TRUE(simulator->ReceivedFirmware().empty());
    EXPECT_EQ(simulator->JobsFinished(), 2);
}

TEST_F(SimFirmware, RefusedSoftwareIsKept) {
    SimulatorOptions options;
    options.model = Model::RecFa;
    options.softwareText = "ignored";
    Running simulator(options);
    PcPort pc(simulator.Device());
    EXPECT_EQ(pc.Detect("PROG CODE"), "RECFA");
    // Without operating software there is nothing to name.
    EXPECT_EQ(pc.Receive(5), std::string("NONE") + '\0');
    pc.Send("RECFA");
    EXPECT_TRUE(simulator.WaitForJobs(1)) << simulator.Log();
    EXPECT_EQ(pc.Detect("LOAD DEFW"), "RECFA");
}

// A new receiver becomes the flashed model only once programming has finished; a chain still
// counts the lines of the model it answered at the start of the job.
TEST_F(SimFirmware, RecFaBecomesTheFlashedModelWhenProgrammed) {
    const struct {
        Model flashed;
        std::vector<int> progress;
        const char* modelAfter;
    } cases[] = {
        {Model::Zeb30, {0, 100, 0xFF}, "ZEB30"},
        {Model::Zeb10, {0, 100, 0xFF}, "ZEB10"},
        {Model::Zeb10, {0, 50, 0xFE}, "RECFA"}, // programming failed
    };
    for (const auto& c : cases) {
        SimulatorOptions options = WithLoader("1.1");
        options.model = Model::RecFa;
        options.flashedModel = c.flashed;
        options.progressSequence = c.progress;
        Running simulator(options);
        const std::string image = ::fw::test::FirmwareImage(2048, "NEW V2.00");
        {
            PcPort pc(simulator.Device());
            EXPECT_EQ(pc.Detect("PROG CODE"), "RECFA");
            EXPECT_EQ(pc.Receive(5), std::string("NONE") + '\0');
            pc.Send("RECOK");
            SendTwoBlocks(pc, image, simulator);
            pc.Receive(c.progress.size());
        }
        ASSERT_TRUE(simulator.WaitForJobs(1)) << simulator.Log();
        PcPort pc(simulator.Device());
        EXPECT_EQ(pc.Detect("LOAD DEFW"), c.modelAfter) << simulator.Log();
    }
}

TEST_F(SimFirmware, ProgrammingStopsAtAFailureByte) {
    SimulatorOptions options = WithLoader("1.1");
    options.progressSequence = {0, 50, 0xFE, 100, 0xFF};
    Running simulator(options);
    const std::string data = Image(1024);
    PcPort pc(simulator.Device());
    StartFirmware(pc);
    pc.Send(U32BE(1));
    EXPECT_EQ(pc.Receive(5), "RECOK");
    pc.Send(BlockHeader(0x0D, data) + data);
    EXPECT_EQ(pc.Receive(1), "\r");
    EXPECT_EQ(pc.Receive(3), Bytes({0, 50, 0xFE}));
    EXPECT_TRUE(pc.StaysQuiet());
}

} // namespace
} // namespace fw::sim::test
