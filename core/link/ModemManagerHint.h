#pragma once

#include <functional>
#include <string>
#include <vector>

namespace fw {

// What the machine says about the processes that run and about a serial device. A transfer
// asks only after it failed; tests pass their own facts.
struct SerialSystemFacts {
    std::function<std::vector<std::string>()> runningProcessNames;
    std::function<bool(const std::string& device)> isUsbSerial;

    // Reads /proc and /sys.
    static SerialSystemFacts OfThisMachine();
};

// The names (comm) of the processes in procFolder ("/proc").
std::vector<std::string> RunningProcessNames(const std::string& procFolder);

// True when the device, after following links such as /dev/serial/by-id/..., is a serial port
// on USB: sysTtyFolder ("/sys/class/tty") names "usb" or "usb-serial" as the subsystem of its
// device. Never true for a pseudo-terminal.
bool IsUsbSerialDevice(const std::string& device, const std::string& sysTtyFolder);

// ModemManager probes new USB serial adapters and may hold one for a while or answer in the
// receiver's place: the advice to keep it away when it runs and one of the devices is such an
// adapter, else empty.
std::string ModemManagerHint(const std::vector<std::string>& devices,
                             const SerialSystemFacts& facts);

} // namespace fw
