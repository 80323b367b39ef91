#include "core/production/StationPorts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fw {
namespace {

// Where a path leads once its links are followed; the path itself when it leads nowhere.
std::string Resolved(const std::string& path) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

} // namespace

std::vector<StationPortChoice> StationPortChoices(const PortMap& ports,
                                                  const std::string& byIdFolder) {
    std::vector<StationPortChoice> choices;
    std::vector<std::string> taken;
    for (int com = 1; com <= PortMap::kPortCount; ++com) {
        const std::string device = ports.DeviceFor(com);
        if (device.empty())
            continue;
        choices.push_back({PortMap::NameFor(com), device});
        taken.push_back(Resolved(device));
    }
    std::vector<StationPortChoice> adapters;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(byIdFolder, error)) {
        const std::string link = entry.path().string();
        if (std::find(taken.begin(), taken.end(), Resolved(link)) != taken.end())
            continue;
        adapters.push_back({entry.path().filename().string(), link});
    }
    std::sort(adapters.begin(), adapters.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    choices.insert(choices.end(), adapters.begin(), adapters.end());
    return choices;
}

} // namespace fw
