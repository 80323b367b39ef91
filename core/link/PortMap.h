#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace fw {

class ProfileFile;

// The machine's serial devices as paths in devFolder, in the order COM1.. are handed out:
// USB adapters (ttyUSB*, then ttyACM*) first, then the built-in ttyS*, each in numeric order.
// Linux creates ttyS nodes for every possible port; a ttyS counts only when sysTtyFolder
// says a UART answered there (its "type" is not 0) or says nothing about it.
std::vector<std::string> ListSerialDevices(const std::string& devFolder = "/dev",
                                           const std::string& sysTtyFolder = "/sys/class/tty");

// COM1..COM4 to device paths. Configured entries ("COM1" -> "/dev/ttyUSB0", keys in any case,
// a bare name meaning one in /dev, the first entry of a key counting) win; the ports left
// over get the machine's devices in order, skipping those already configured.
class PortMap {
public:
    static constexpr int kPortCount = 4;

    using Entries = std::vector<std::pair<std::string, std::string>>;

    PortMap(const Entries& configured, const std::vector<std::string>& machineDevices);

    // "" when the port has no device or the number is outside 1..4.
    std::string DeviceFor(int comNumber) const;
    // "COM1".."COM4"; "" outside 1..4.
    static std::string NameFor(int comNumber);

    // The map of this machine: the [PORTS] section of upd.ini, then the serial devices found.
    static PortMap FromProfile(const ProfileFile& profile,
                               const std::vector<std::string>& machineDevices);

private:
    std::array<std::string, kPortCount> m_devices;
};

} // namespace fw
