#pragma once

#include "core/app/DataFolders.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Demo mode: sample files the program makes itself, and what the simulated receiver holds
// when it is first switched on. Every name and byte in them is invented.

// The simulated receiver runs this software; the sample firmware is a newer version of it,
// so that sending the sample asks no version question.
inline constexpr std::string_view kDemoReceiverSoftware = "ABC V1.20";
inline constexpr std::string_view kDemoFirmwareVersion = "ABC V1.30";

inline constexpr std::string_view kDemoFirmwareFile = "demo-firmware.bsr";
inline constexpr std::string_view kDemoListFile = "demo-tv.lst";
inline constexpr std::string_view kDemoSettingsFile = "demo-settings.grd";

// A firmware file of 128 KiB: a whole number of 1024-byte blocks, so that every byte goes
// over the line, and small enough that a paced send at 115200 baud takes seconds.
std::string DemoFirmwareBytes();
// The text of a TV list file with a few dozen programs and some favourite banks.
std::string DemoTvListText();
// 2048 bytes of made-up default settings; variant tells the receiver's own from the sample.
std::string DemoSettingsBytes(int variant = 0);

// The receiver's own lists: program lines as the list transfer carries them, and banks.
struct DemoReceiverContent {
    std::vector<std::string> tvList, radioList;
    std::array<std::vector<std::uint16_t>, 10> tvBanks{}, radioBanks{};
    std::string settings;
};
DemoReceiverContent MakeDemoReceiverContent();

// Writes each sample into its folder when that folder holds no file of its kind, so that a
// fresh data folder shows something on every page while a user's own files are never
// touched. False with the reason when a sample could not be written; the others are still
// tried.
[[nodiscard]] bool SeedDemoFiles(const DataFolders& folders, std::string& reason);

} // namespace fw
