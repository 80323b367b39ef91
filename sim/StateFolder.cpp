#include "sim/StateFolder.h"

#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "core/util/FileIo.h"
#include "sim/Wire.h"

#include <cerrno>
#include <filesystem>
#include <span>
#include <system_error>

namespace fw::sim {
namespace {

constexpr std::string_view kDescription = "Receiver";

std::string PathOf(const std::string& folder, std::string_view name) {
    return (std::filesystem::path(folder) / name).string();
}

// false only when the file is there but cannot be read.
bool ReadIfPresent(const std::string& path, std::string& data, bool& present, std::string& reason) {
    std::error_code error;
    present = std::filesystem::exists(path, error);
    if (!present)
        return true;
    return ReadWholeFile(path, data, reason);
}

} // namespace

std::string ListFileText(bool tv, const ProgramList& list) {
    std::string text = ListFileHead(tv ? kTypeTextTv : kTypeTextRadio, kDescription);
    std::size_t used = list.lines.size();
    while (used > 0 && IsEmptyProgramLine(list.lines[used - 1]))
        --used;
    for (std::size_t k = 0; k < used; ++k) {
        text += list.lines[k];
        text += "\r\n";
    }
    CFavoritenDat banks;
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (const std::uint16_t entry : list.banks[static_cast<std::size_t>(bank)])
            banks.Insert(bank, CFavEintrag{entry}, -1);
    }
    banks.WriteBlock(text);
    return text;
}

ProgramList ParseListFile(std::string_view text) {
    ProgramList list;
    const std::vector<std::string_view> lines = SplitTextModeLines(text);
    std::size_t next = std::min<std::size_t>(2, lines.size());
    for (; next < lines.size() && !lines[next].starts_with(kBankBlockMark); ++next)
        list.lines.emplace_back(lines[next]);
    if (next < lines.size()) {
        CFavoritenDat banks;
        banks.ReadBlock(std::span(lines).subspan(next + 1), false);
        for (int bank = 0; bank < kBankCount; ++bank) {
            for (int k = 0; k < banks.GetCount(bank); ++k) {
                const int entry = banks.GetAddress(bank, k);
                if (entry >= 0 && entry <= 0xFFFF)
                    list.banks[static_cast<std::size_t>(bank)].push_back(
                        static_cast<std::uint16_t>(entry));
            }
        }
    }
    return list;
}

bool LoadStateFolder(SimulatorOptions& options, std::string& reason) {
    const std::string& folder = options.stateFolder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        reason = SystemReason(folder, error.value());
        return false;
    }
    const struct {
        std::string_view name;
        std::vector<std::string>& lines;
        Banks& banks;
    } lists[] = {{kTvListFile, options.tvList, options.tvBanks},
                 {kRadioListFile, options.radioList, options.radioBanks}};
    for (const auto& list : lists) {
        std::string text;
        bool present = false;
        if (!ReadIfPresent(PathOf(folder, list.name), text, present, reason))
            return false;
        if (present) {
            ProgramList parsed = ParseListFile(text);
            list.lines = std::move(parsed.lines);
            list.banks = std::move(parsed.banks);
        }
    }
    std::string settings;
    bool present = false;
    const std::string settingsPath = PathOf(folder, kSettingsFile);
    if (!ReadIfPresent(settingsPath, settings, present, reason))
        return false;
    if (present) {
        if (settings.size() != kSettingsSize) {
            reason = settingsPath + ": holds " + std::to_string(settings.size()) +
                     " bytes, a receiver's settings are " + std::to_string(kSettingsSize);
            return false;
        }
        options.settings = std::move(settings);
    }
    std::string software;
    const std::string softwarePath = PathOf(folder, kSoftwareFile);
    if (!ReadIfPresent(softwarePath, software, present, reason))
        return false;
    if (present) {
        if (software.empty() || software.find('\0') != std::string::npos) {
            reason = softwarePath + ": the software text must not be empty or hold a NUL byte";
            return false;
        }
        options.softwareText = std::move(software);
    }
    return true;
}

bool SaveStateFile(const std::string& folder, std::string_view name, std::string_view data,
                   std::string& reason) {
    return WriteFileAtomically(PathOf(folder, name), data, reason);
}

} // namespace fw::sim
