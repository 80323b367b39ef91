#pragma once

#include "sim/ReceiverSimulator.h"

#include <string>
#include <vector>

namespace fw::sim {

struct ToolSettings {
    SimulatorOptions options;
    std::string linkPath;
    bool help = false;
    bool version = false;
};

// "--name value" and "--name=value" both work; --fault may be given more than once.
// false with error set at the first argument that makes no sense.
bool ParseToolArguments(const std::vector<std::string>& arguments, ToolSettings& settings,
                        std::string& error);
std::string ToolUsage();

} // namespace fw::sim
