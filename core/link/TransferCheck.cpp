#include "core/link/TransferCheck.h"

#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"

#include <algorithm>

namespace fw {
namespace {

std::string Text(int id) {
    return LoadResString(id);
}

std::string_view LineAt(std::span<const std::string> lines, int place) {
    const auto slot = static_cast<std::size_t>(place);
    return slot < lines.size() ? std::string_view(lines[slot]) : std::string_view();
}

std::string_view FieldOf(std::string_view line, std::size_t field) {
    for (std::size_t k = 0; k < field; ++k) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return {};
        line.remove_prefix(tab + 1);
    }
    return line.substr(0, line.find('\t'));
}

std::size_t FieldCount(std::string_view line) {
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
}

int BankEntries(const CFavoritenDat& banks, int bank) {
    return std::min(banks.GetCount(bank), kCheckedBankEntries);
}

// sent "X", holds "Y" for the names; for a place whose name is the same, the first column
// that differs.
std::string PlaceDetail(const PlaceDifference& difference) {
    const std::size_t fields = std::max(FieldCount(difference.sent), FieldCount(difference.held));
    std::size_t field = 0;
    while (field + 1 < fields && FieldOf(difference.sent, field) == FieldOf(difference.held, field))
        ++field;
    const auto name = static_cast<std::size_t>(kFieldName);
    if (field == name)
        return FormatText(Text(str::kCheckNamesDiffer),
                          {Cp1252ToUtf8(FieldOf(difference.sent, name)),
                           Cp1252ToUtf8(FieldOf(difference.held, name))});
    return FormatText(Text(str::kCheckColumnDiffers),
                      {std::to_string(field + 1), Cp1252ToUtf8(FieldOf(difference.sent, name)),
                       Cp1252ToUtf8(FieldOf(difference.sent, field)),
                       Cp1252ToUtf8(FieldOf(difference.held, field))});
}

std::string BankDetail(const BankDifference& difference) {
    const std::string bank = std::to_string(difference.bank);
    const std::string held = std::to_string(difference.heldEntries);
    const std::string sent = std::to_string(difference.sentEntries);
    if (difference.heldEntries < difference.sentEntries)
        return FormatText(Text(str::kCheckBankHoldsFewer), {bank, held, sent});
    if (difference.heldEntries > difference.sentEntries)
        return FormatText(Text(str::kCheckBankHoldsMore), {bank, held, sent});
    return FormatText(Text(str::kCheckBankEntriesDiffer),
                      {bank, std::to_string(difference.firstDifferentEntry)});
}

std::string ByteValue(int value) {
    return value < 0 ? Text(str::kCheckNoByte) : std::to_string(value);
}

int ByteAt(std::string_view image, std::size_t offset) {
    return offset < image.size() ? static_cast<unsigned char>(image[offset]) : -1;
}

std::string_view WithoutPadding(std::string_view text) {
    const std::size_t end = text.find_last_not_of(std::string_view(" \0", 2));
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

} // namespace

ListComparison CompareLists(std::span<const std::string> sentLines, const CFavoritenDat& sentBanks,
                            std::span<const std::string> heldLines, const CFavoritenDat& heldBanks,
                            int capacity) {
    ListComparison comparison;
    comparison.places = std::max(capacity, 0);
    for (int place = 0; place < comparison.places; ++place) {
        const std::string_view sent = LineAt(sentLines, place);
        const std::string_view held = LineAt(heldLines, place);
        if (sent != held)
            comparison.placeDifferences.push_back({place, std::string(sent), std::string(held)});
    }
    for (int bank = 0; bank < kBankCount; ++bank) {
        BankDifference difference{bank, BankEntries(sentBanks, bank), BankEntries(heldBanks, bank),
                                  0};
        const int common = std::min(difference.sentEntries, difference.heldEntries);
        while (difference.firstDifferentEntry < common &&
               sentBanks.GetAddress(bank, difference.firstDifferentEntry) ==
                   heldBanks.GetAddress(bank, difference.firstDifferentEntry))
            ++difference.firstDifferentEntry;
        if (difference.firstDifferentEntry < common ||
            difference.sentEntries != difference.heldEntries)
            comparison.bankDifferences.push_back(difference);
    }
    return comparison;
}

std::string ListVerdict(const ListComparison& comparison) {
    if (comparison.Same())
        return FormatText(Text(str::kCheckListSame),
                          {std::to_string(comparison.places), std::to_string(kBankCount)});
    std::vector<std::string> parts;
    const auto& places = comparison.placeDifferences;
    if (places.size() == 1)
        parts.push_back(
            FormatText(Text(str::kCheckOnePlaceDiffers),
                       {std::to_string(places.front().place), PlaceDetail(places.front())}));
    else if (!places.empty())
        parts.push_back(
            FormatText(Text(str::kCheckPlacesDiffer),
                       {std::to_string(places.size()), std::to_string(places.front().place),
                        PlaceDetail(places.front())}));
    const auto& banks = comparison.bankDifferences;
    if (banks.size() == 1)
        parts.push_back(BankDetail(banks.front()));
    else if (!banks.empty())
        parts.push_back(FormatText(Text(str::kCheckBanksDiffer),
                                   {std::to_string(banks.size()), BankDetail(banks.front())}));
    std::string joined = parts.front();
    if (parts.size() > 1)
        joined += "; " + parts.back();
    return FormatText(Text(str::kCheckListDiffers), {joined});
}

std::string ListReport(const ListComparison& comparison) {
    std::string report = ListVerdict(comparison) + "\n";
    if (!comparison.Same())
        report += "\n";
    for (const PlaceDifference& difference : comparison.placeDifferences)
        report += FormatText(Text(str::kCheckReportPlace),
                             {std::to_string(difference.place), Cp1252ToUtf8(difference.sent),
                              Cp1252ToUtf8(difference.held)}) +
                  "\n";
    for (const BankDifference& difference : comparison.bankDifferences)
        report +=
            FormatText(Text(str::kCheckReportBank),
                       {std::to_string(difference.bank), std::to_string(difference.sentEntries),
                        std::to_string(difference.heldEntries),
                        std::to_string(difference.firstDifferentEntry)}) +
            "\n";
    return report;
}

SettingsComparison CompareSettings(std::string_view sent, std::string_view held) {
    SettingsComparison comparison;
    comparison.bytes = std::max(sent.size(), held.size());
    for (std::size_t offset = 0; offset < comparison.bytes; ++offset) {
        const int sentByte = ByteAt(sent, offset);
        const int heldByte = ByteAt(held, offset);
        if (sentByte != heldByte)
            comparison.differences.push_back({offset, sentByte, heldByte});
    }
    return comparison;
}

std::string SettingsVerdict(const SettingsComparison& comparison) {
    if (comparison.Same())
        return FormatText(Text(str::kCheckSettingsSame), {std::to_string(comparison.bytes)});
    const SettingsByteDifference& first = comparison.differences.front();
    if (comparison.differences.size() == 1)
        return FormatText(
            Text(str::kCheckSettingsByteDiffers),
            {std::to_string(first.offset), ByteValue(first.sent), ByteValue(first.held)});
    return FormatText(Text(str::kCheckSettingsDiffer),
                      {std::to_string(comparison.differences.size()), std::to_string(first.offset),
                       ByteValue(first.sent), ByteValue(first.held)});
}

std::string SettingsReport(const SettingsComparison& comparison) {
    std::string report = SettingsVerdict(comparison) + "\n";
    if (!comparison.Same())
        report += "\n";
    for (const SettingsByteDifference& difference : comparison.differences)
        report += FormatText(Text(str::kCheckReportByte),
                             {std::to_string(difference.offset), ByteValue(difference.sent),
                              ByteValue(difference.held)}) +
                  "\n";
    return report;
}

bool FirmwareRuns(std::string_view imageVersion, std::string_view receiverSoftware) {
    return WithoutPadding(imageVersion) == WithoutPadding(receiverSoftware);
}

std::string FirmwareRunsText(std::string_view imageVersion) {
    return FormatText(Text(str::kCheckFirmwareRuns), {Cp1252ToUtf8(WithoutPadding(imageVersion))});
}

std::string FirmwareStillNamesText(std::string_view imageVersion,
                                   std::string_view receiverSoftware) {
    return FormatText(Text(str::kCheckFirmwareStillNames),
                      {Cp1252ToUtf8(WithoutPadding(receiverSoftware)),
                       Cp1252ToUtf8(WithoutPadding(imageVersion))});
}

std::string CheckNotRunText(std::string_view reason) {
    return FormatText(Text(str::kCheckNotRun), {reason});
}

} // namespace fw
