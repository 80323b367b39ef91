#pragma once

#include "core/link/PortMap.h"

#include <string>
#include <vector>

namespace fw {

// A port a station can run a receiver on: its name in the report and the device it opens.
struct StationPortChoice {
    std::string name;   // "COM1".."COM4", or the link's own name under by-id
    std::string device; // "/dev/ttyUSB0", or the by-id link itself
    bool operator==(const StationPortChoice&) const = default;
};

// COM1..COM4 as the port map gives them (ports without a device left out), then each serial
// adapter of byIdFolder by its stable name, in name order. An adapter the map already names
// under a COM port is left out: the same line opened twice would fail the second time.
std::vector<StationPortChoice>
StationPortChoices(const PortMap& ports, const std::string& byIdFolder = "/dev/serial/by-id");

} // namespace fw
