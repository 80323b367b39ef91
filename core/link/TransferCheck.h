#pragma once

#include "core/lists/FavoritenDat.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The check after a send: what the receiver loaded back compared with what it was sent, as
// a verdict of one sentence and as a full text report.
namespace fw {

// The receiver keeps no more of a bank than this many entries; only they are compared.
inline constexpr int kCheckedBankEntries = 1000;

// A program place whose line the receiver holds otherwise than it was sent.
struct PlaceDifference {
    int place = 0;    // from 0, as the editor's Adr column
    std::string sent; // the lines as bytes (Windows-1252), "" for a line that is missing
    std::string held;
};

// A bank whose first entries differ. Counts go up to kCheckedBankEntries.
struct BankDifference {
    int bank = 0;
    int sentEntries = 0;
    int heldEntries = 0;
    int firstDifferentEntry = 0; // from 0; the shorter bank's count when one is the other's start
};

struct ListComparison {
    int places = 0; // the places compared: the receiver's capacity
    std::vector<PlaceDifference> placeDifferences;
    std::vector<BankDifference> bankDifferences;

    bool Same() const { return placeDifferences.empty() && bankDifferences.empty(); }
};

// Compares places 0..capacity-1 byte for byte and each bank's first entries. Lines beyond
// capacity never went to the receiver and are not looked at.
ListComparison CompareLists(std::span<const std::string> sentLines, const CFavoritenDat& sentBanks,
                            std::span<const std::string> heldLines, const CFavoritenDat& heldBanks,
                            int capacity);

// "The receiver holds the list as sent (...)." or what differs first, in one sentence.
std::string ListVerdict(const ListComparison& comparison);
// The verdict and then every difference, for saving as a text file (UTF-8).
std::string ListReport(const ListComparison& comparison);

// held or sent is -1 where that side has no byte at the offset.
struct SettingsByteDifference {
    std::size_t offset = 0;
    int sent = 0;
    int held = 0;
};

struct SettingsComparison {
    std::size_t bytes = 0; // the bytes compared: the longer of the two images
    std::vector<SettingsByteDifference> differences;

    bool Same() const { return differences.empty(); }
};

SettingsComparison CompareSettings(std::string_view sent, std::string_view held);
std::string SettingsVerdict(const SettingsComparison& comparison);
std::string SettingsReport(const SettingsComparison& comparison);

// After a firmware send: the software text the receiver names against the image's version
// text. Trailing blanks and NULs do not count; a receiver may pad the text.
bool FirmwareRuns(std::string_view imageVersion, std::string_view receiverSoftware);
// "The receiver now runs X."
std::string FirmwareRunsText(std::string_view imageVersion);
// The warning that the receiver still names its old software.
std::string FirmwareStillNamesText(std::string_view imageVersion,
                                   std::string_view receiverSoftware);

// A send went through but the load for the check did not.
std::string CheckNotRunText(std::string_view reason);

} // namespace fw
