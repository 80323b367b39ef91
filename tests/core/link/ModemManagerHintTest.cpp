#include "core/link/ModemManagerHint.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include "tests/support/FileTestSupport.h"
#include "tests/support/PtyTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fw {
namespace {

namespace fs = std::filesystem;

TEST(ModemManagerHintTest, ProcessNamesComeFromTheNumberedFoldersOnly) {
    test::TempDir proc;
    for (const auto& [folder, comm] :
         {std::pair{"1", "systemd\n"}, std::pair{"842", "ModemManager\n"},
          std::pair{"self", "flashwerk\n"}}) {
        fs::create_directories(proc.Path() / folder);
        test::WriteBytes(proc.File(std::string(folder) + "/comm"), comm);
    }
    fs::create_directories(proc.Path() / "77"); // ended while the folder was read
    std::vector<std::string> names = RunningProcessNames(proc.Path().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ModemManager", "systemd"}));
    EXPECT_TRUE(RunningProcessNames(proc.File("absent")).empty());
}

// A small /dev and /sys/class/tty: a USB-serial converter, a USB modem-class adapter, a
// built-in port, and a stable by-id link to the converter.
TEST(ModemManagerHintTest, UsbSerialPortsAreToldFromBuiltInPortsAndPseudoTerminals) {
    test::TempDir root;
    const fs::path dev = root.Path() / "dev";
    const fs::path sys = root.Path() / "sys";
    fs::create_directories(dev / "serial/by-id");
    for (const char* bus : {"bus/usb-serial", "bus/usb", "bus/platform"})
        fs::create_directories(sys / bus);
    for (const auto& [name, bus] : {std::pair{"ttyUSB0", "usb-serial"}, std::pair{"ttyACM0", "usb"},
                                    std::pair{"ttyS0", "platform"}}) {
        test::WriteBytes((dev / name).string(), "");
        fs::create_directories(sys / name / "device");
        fs::create_directory_symlink(sys / "bus" / bus, sys / name / "device/subsystem");
    }
    fs::create_symlink("../../ttyUSB0", dev / "serial/by-id/usb-FTDI_FT232R-if00-port0");
    test::PtyEnd pty;
    ASSERT_TRUE(pty.Ok());

    const std::pair<std::string, bool> cases[] = {
        {(dev / "serial/by-id/usb-FTDI_FT232R-if00-port0").string(), true},
        {(dev / "ttyUSB0").string(), true},
        {(dev / "ttyACM0").string(), true},
        {(dev / "ttyS0").string(), false},
        {(dev / "ttyUSB9").string(), false}, // unplugged
        {pty.Device(), false},
    };
    for (const auto& [device, usb] : cases)
        EXPECT_EQ(IsUsbSerialDevice(device, sys.string()), usb) << device;
    EXPECT_FALSE(IsUsbSerialDevice(pty.Device(), "/sys/class/tty"));
}

TEST(ModemManagerHintTest, AdviceOnlyWhenModemManagerRunsAndADeviceIsOnUsb) {
    const std::string advice = LoadResString(str::kModemManagerHint);
    struct Case {
        std::vector<std::string> processes;
        std::vector<std::string> devices;
        bool advised;
    };
    const Case cases[] = {
        {{"systemd", "ModemManager"}, {"/dev/ttyS0", "/dev/ttyUSB0"}, true},
        {{"systemd", "ModemManager"}, {"/dev/ttyS0"}, false},
        {{"systemd", "ModemManagerX"}, {"/dev/ttyUSB0"}, false},
        {{"systemd"}, {"/dev/ttyUSB0"}, false},
        {{"ModemManager"}, {}, false},
    };
    for (const Case& c : cases) {
        const SerialSystemFacts facts{
            [&] { return c.processes; },
            [](const std::string& device) { return device.find("USB") != std::string::npos; }};
        EXPECT_EQ(ModemManagerHint(c.devices, facts), c.advised ? advice : "")
            << c.processes.back() << " " << c.devices.size();
    }
}

} // namespace
} // namespace fw
