#include "core/link/PortMap.h"

#include "core/config/ProfileFile.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <string_view>
#include <tuple>

namespace fw {
namespace {

// Group order of the device families; USB adapters are what users plug in for a receiver.
constexpr std::array<std::string_view, 3> kFamilies = {"ttyUSB", "ttyACM", "ttyS"};

struct Candidate {
    std::size_t family;
    std::string digits; // without leading zeros, so that length orders first
    std::string name;

    bool operator<(const Candidate& other) const {
        return std::make_tuple(family, digits.size(), std::cref(digits), std::cref(name)) <
               std::make_tuple(other.family, other.digits.size(), std::cref(other.digits),
                               std::cref(other.name));
    }
};

// "ttyS12" -> family of ttyS, "12"; names like "ttySAC0" belong to no family.
bool Classify(const std::string& name, Candidate& candidate) {
    for (std::size_t family = 0; family < kFamilies.size(); ++family) {
        const std::string_view prefix = kFamilies[family];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string_view number = std::string_view(name).substr(prefix.size());
        if (!IsAllDigits(number))
            return false;
        const auto first = number.find_first_not_of('0');
        candidate = {
            family, std::string(first == std::string_view::npos ? "" : number.substr(first)), name};
        return true;
    }
    return false;
}

bool UartPresent(const std::string& sysTtyFolder, const std::string& name) {
    std::ifstream typeFile(sysTtyFolder + "/" + name + "/type");
    int type = 0;
    if (!typeFile || !(typeFile >> type))
        return true;
    return type != 0;
}

std::string Upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

} // namespace

std::vector<std::string> ListSerialDevices(const std::string& devFolder,
                                           const std::string& sysTtyFolder) {
    std::vector<Candidate> found;
    if (DIR* dir = ::opendir(devFolder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            Candidate candidate;
            if (entry->d_type == DT_DIR || !Classify(entry->d_name, candidate))
                continue;
            if (kFamilies[candidate.family] == "ttyS" && !UartPresent(sysTtyFolder, entry->d_name))
                continue;
            found.push_back(std::move(candidate));
        }
        ::closedir(dir);
    }
    std::sort(found.begin(), found.end());

    std::string prefix = devFolder;
    if (prefix.empty() || prefix.back() != '/')
        prefix += '/';
    std::vector<std::string> devices;
    devices.reserve(found.size());
    for (const Candidate& candidate : found)
        devices.push_back(prefix + candidate.name);
    return devices;
}

PortMap::PortMap(const Entries& configured, const std::vector<std::string>& machineDevices) {
    std::array<bool, kPortCount> fixed{};
    for (const auto& [key, value] : configured) {
        const std::string name = Upper(Trim(key));
        const std::string_view device = Trim(value);
        for (int port = 1; port <= kPortCount; ++port) {
            if (name != NameFor(port) || fixed[port - 1] || device.empty())
                continue;
            m_devices[port - 1] = device.find('/') == std::string_view::npos
                                      ? "/dev/" + std::string(device)
                                      : std::string(device);
            fixed[port - 1] = true;
        }
    }

    // A fixed entry may name its device through a link (/dev/serial/by-id/...); that device is
    // not handed out a second time under its plain name.
    const auto real = [](const std::string& device) {
        const std::string resolved = RealPathOf(device);
        return resolved.empty() ? device : resolved;
    };
    std::vector<std::string> taken;
    for (const std::string& device : m_devices) {
        if (!device.empty())
            taken.push_back(real(device));
    }
    auto next = machineDevices.begin();
    for (int port = 0; port < kPortCount; ++port) {
        if (fixed[port])
            continue;
        next = std::find_if(next, machineDevices.end(), [&](const std::string& device) {
            return std::find(taken.begin(), taken.end(), real(device)) == taken.end();
        });
        if (next == machineDevices.end())
            break;
        m_devices[port] = *next++;
    }
}

std::string PortMap::DeviceFor(int comNumber) const {
    if (comNumber < 1 || comNumber > kPortCount)
        return {};
    return m_devices[comNumber - 1];
}

std::string PortMap::NameFor(int comNumber) {
    if (comNumber < 1 || comNumber > kPortCount)
        return {};
    return "COM" + std::to_string(comNumber);
}

PortMap PortMap::FromProfile(const ProfileFile& profile,
                             const std::vector<std::string>& machineDevices) {
    return PortMap(profile.GetSection("PORTS"), machineDevices);
}

} // namespace fw
