#pragma once

#include "sim/ReceiverSimulator.h"

#include <string>
#include <string_view>
#include <vector>

// The receiver's memory on disk, in the program's own file formats, so that the program can
// open what the receiver was sent.
namespace fw::sim {

inline constexpr std::string_view kFirmwareFile = "firmware.bin";
inline constexpr std::string_view kTvListFile = "tv.lst";
inline constexpr std::string_view kRadioListFile = "radio.lst";
inline constexpr std::string_view kSettingsFile = "settings.grd";
// The software the receiver names, as plain text: that of the last firmware it programmed.
inline constexpr std::string_view kSoftwareFile = "software.txt";

struct ProgramList {
    std::vector<std::string> lines;
    Banks banks{};
};

// A ".lst" text: header, column titles, the lines up to the last one that holds a program,
// the bank block.
std::string ListFileText(bool tv, const ProgramList& list);
// Lines after the two head lines up to "BANK0:", then the banks; entries outside 16 bits
// are left out.
ProgramList ParseListFile(std::string_view text);

// Creates the folder when missing and replaces lists, settings and the software text by those
// found there.
bool LoadStateFolder(SimulatorOptions& options, std::string& reason);
bool SaveStateFile(const std::string& folder, std::string_view name, std::string_view data,
                   std::string& reason);

} // namespace fw::sim
