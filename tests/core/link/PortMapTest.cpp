#include "core/link/PortMap.h"
#include "core/config/ProfileFile.h"

#include "tests/support/FileTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

class SerialDeviceList : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dev);
        fs::create_directories(sys);
    }

    void Node(const std::string& name) {
        test::WriteBytes((dev / name).string(), std::string(1, '\0'));
    }
    void UartType(const std::string& name, const std::string& type) {
        fs::create_directories(sys / name);
        test::WriteBytes((sys / name / "type").string(), type + "\n");
    }

    test::TempDir m_dir;
    const fs::path root = m_dir.Path(), dev = root / "dev", sys = root / "sys";
};

TEST_F(SerialDeviceList, DevicesInHandOutOrder) {
    for (const char* name : {"ttyS1", "ttyUSB10", "ttyS12", "ttyACM0", "ttyS0", "ttyUSB2", "ttyS3",
                             "ttySAC0", "ttyUSB", "tty0", "console", "ttyACM1x"})
        Node(name);
    fs::create_directories(dev / "ttyUSB5");
    UartType("ttyS0", "4");
    UartType("ttyS1", "0"); // a node without hardware behind it
    UartType("ttyS12", "4");

    const std::string d = dev.string() + "/";
    EXPECT_THAT(ListSerialDevices(dev.string(), sys.string()),
                ElementsAre(d + "ttyUSB2", d + "ttyUSB10", d + "ttyACM0", d + "ttyS0", d + "ttyS3",
                            d + "ttyS12"));
    EXPECT_TRUE(ListSerialDevices((root / "missing").string(), sys.string()).empty());
}

TEST(PortMap, ConfiguredPortsWinAndTheRestFollowTheMachine) {
    const std::vector<std::string> machine = {"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                                              "/dev/ttyS0"};
    const PortMap map({{"com2", " /dev/ttyS0 "},
                       {"COM4", "ttyUSB2"},
                       {"COM2", "/dev/ttyS9"}, // a later duplicate does not count
                       {"COM3", ""},
                       {"COM5", "/dev/ttyS1"},
                       {"PORT", "/dev/ttyS2"}},
                      machine);
    EXPECT_EQ(map.DeviceFor(1), "/dev/ttyUSB10");
    EXPECT_EQ(map.DeviceFor(2), "/dev/ttyS0");
    EXPECT_EQ(map.DeviceFor(3), "/dev/ttyACM0");
    EXPECT_EQ(map.DeviceFor(4), "/dev/ttyUSB2");
    EXPECT_EQ(map.DeviceFor(0), "");
    EXPECT_EQ(map.DeviceFor(5), "");
}

TEST(PortMap, PortsBeyondTheMachinesDevicesStayEmpty) {
    const PortMap map({{"COM1", "/dev/ttyS0"}}, {"/dev/ttyS0", "/dev/ttyUSB0"});
    EXPECT_EQ(map.DeviceFor(1), "/dev/ttyS0");
    EXPECT_EQ(map.DeviceFor(2), "/dev/ttyUSB0");
    EXPECT_EQ(map.DeviceFor(3), "");
    EXPECT_EQ(map.DeviceFor(4), "");
    EXPECT_EQ(PortMap::NameFor(3), "COM3");
    EXPECT_EQ(PortMap::NameFor(5), "");
}

// The stable by-id name of an adapter in [PORTS] and its plain name among the machine's
// devices are one device: it is not handed out twice.
TEST_F(SerialDeviceList, AFixedLinkAndThePlainNameAreOneDevice) {
    Node("ttyUSB0");
    Node("ttyUSB1");
    fs::create_directories(dev / "serial/by-id");
    const fs::path byId = dev / "serial/by-id/usb-FTDI_FT232R-if00-port0";
    fs::create_symlink("../../ttyUSB0", byId);
    const PortMap map({{"COM1", byId.string()}},
                      {(dev / "ttyUSB0").string(), (dev / "ttyUSB1").string()});
    EXPECT_EQ(map.DeviceFor(1), byId.string());
    EXPECT_EQ(map.DeviceFor(2), (dev / "ttyUSB1").string());
    EXPECT_EQ(map.DeviceFor(3), "");
}

TEST(PortMap, ReadsThePortsSectionOfTheProfile) {
    ProfileFile profile;
    profile.SetText("[OPTIONEN]\nTOOLTIPS=1\n[ports]\nCom3=/dev/ttyUSB7\n");
    const PortMap map = PortMap::FromProfile(profile, {"/dev/ttyS0"});
    EXPECT_EQ(map.DeviceFor(1), "/dev/ttyS0");
    EXPECT_EQ(map.DeviceFor(3), "/dev/ttyUSB7");
}

} // namespace
} // namespace fw
