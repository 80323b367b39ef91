#include "core/link/ModemManagerHint.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>

namespace fw {
SerialSystemFacts SerialSystemFacts::OfThisMachine() {
    return {[] { return RunningProcessNames("/proc"); },
            [](const std::string& device) { return IsUsbSerialDevice(device, "/sys/class/tty"); }};
}

std::vector<std::string> RunningProcessNames(const std::string& procFolder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(procFolder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsAllDigits(entry->d_name))
            continue;
        // A process that ended meanwhile has no comm any more; it is simply not counted.
        std::ifstream comm(procFolder + "/" + entry->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool IsUsbSerialDevice(const std::string& device, const std::string& sysTtyFolder) {
    const std::string resolved = RealPathOf(device);
    if (resolved.empty() || resolved.starts_with("/dev/pts/"))
        return false;
    const std::string name = FileNameOfPath(resolved);
    if (name == "ptmx" || name.empty())
        return false;
    const std::string subsystem =
        FileNameOfPath(RealPathOf(sysTtyFolder + "/" + name + "/device/subsystem"));
    return subsystem == "usb" || subsystem == "usb-serial";
}

std::string ModemManagerHint(const std::vector<std::string>& devices,
                             const SerialSystemFacts& facts) {
    if (devices.empty())
        return {};
    const std::vector<std::string> processes = facts.runningProcessNames();
    if (std::find(processes.begin(), processes.end(), "ModemManager") == processes.end())
        return {};
    if (std::none_of(devices.begin(), devices.end(), facts.isUsbSerial))
        return {};
    return LoadResString(str::kModemManagerHint);
}

} // namespace fw
