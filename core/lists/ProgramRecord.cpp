#include "core/lists/ProgramRecord.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <vector>

namespace fw {
namespace {

// The grid offers the five rates the receiver's menu offers; files from the receiver may
// carry all eight.
constexpr std::array<std::string_view, 5> kEditableFec = {"1\\2", "2\\3", "3\\4", "5\\6", "7\\8"};
constexpr std::array<std::string_view, 8> kStoredFec = {"1\\2", "2\\3", "3\\4", "4\\5",
                                                        "5\\6", "6\\7", "7\\8", "8\\9"};

template <std::size_t N>
bool IsOneOf(std::string_view text, const std::array<std::string_view, N>& values) {
    return std::find(values.begin(), values.end(), text) != values.end();
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Digit limit of each numeric field; 0 for the others.
std::size_t DigitLimit(int field) {
    switch (field) {
    case kFieldFrequency:
    case kFieldSymbolRate:
    case kFieldSid:
        return 5;
    case kFieldVideoPid:
    case kFieldAudioPid:
    case kFieldPcr:
        return 4;
    case kFieldSatellite:
        return 1;
    default:
        return 0;
    }
}

CellCheck Rejected(int messageId, std::string message) {
    return CellCheck{CellStatus::Rejected, messageId, std::move(message), MessageIcon::Stop};
}

CellCheck RejectedWithLimit(int messageId, std::size_t limit) {
    return Rejected(messageId, FormatText(LoadResString(messageId), {std::to_string(limit)}));
}

// The message, followed by the first character of text outside allowed (if any) and the
// field's digit limit (if any), so the user sees what to change.
CellCheck RejectedNaming(int messageId, std::string_view text, std::string_view allowed,
                         std::size_t digitLimit = 0) {
    std::string message = LoadResString(messageId);
    const std::size_t offending = text.find_first_not_of(allowed);
    if (offending != std::string_view::npos)
        message += "\n" + FormatText(LoadResString(str::kCellOffendingCharacter),
                                     {Cp1252ToUtf8(text.substr(offending, 1))});
    if (digitLimit > 0)
        message += (offending != std::string_view::npos ? " " : "\n") +
                   FormatText(LoadResString(str::kCellDigitLimit), {std::to_string(digitLimit)});
    return Rejected(messageId, std::move(message));
}

constexpr std::string_view kDigits = "0123456789";

bool IsPolarisation(std::string_view field) {
    return field.size() == 1 && (UpperAscii(field[0]) == 'H' || UpperAscii(field[0]) == 'V');
}

bool FieldPassesLineCheck(int field, std::string_view text) {
    switch (field) {
    case kFieldCa:
        return text.empty() || text == "$";
    case kFieldName:
        return text.size() <= kMaxNameLength;
    case kFieldFrequency: {
        const std::string_view trimmed = Trim(text);
        return trimmed.size() <= 5 && IsAllDigits(trimmed);
    }
    case kFieldPolarisation:
        return IsPolarisation(text);
    case kFieldFec:
        return IsOneOf(text, kStoredFec);
    default:
        return text.size() <= DigitLimit(field) && IsAllDigits(text);
    }
}

} // namespace

std::string_view ListTypeText(int listType) {
    switch (listType) {
    case kListRadio:
        return kTypeTextRadio;
    case kListTv:
        return kTypeTextTv;
    default:
        return kTypeTextUnknown;
    }
}

int ListTypeFromText(std::string_view text) {
    if (text == kTypeTextRadio)
        return kListRadio;
    if (text == kTypeTextTv)
        return kListTv;
    return kListUnknown;
}

CellCheck ValidateCell(int column, std::string& text) {
    if (column != ColumnOfField(kFieldName))
        text = std::string(Trim(text));
    const int field = FieldOfColumn(column);
    if (field < 0 || field >= kFieldCount)
        return {};

    switch (field) {
    case kFieldCa:
        if (text.empty() || text == "$")
            return {};
        return RejectedNaming(str::kCellOnlyDollar, text, "$");
    case kFieldName:
        // The name is not trimmed, so these would reach the file and split its line.
        if (text.find_first_of("\t\r\n") != std::string::npos)
            return Rejected(str::kCellNoLineBreaks, LoadResString(str::kCellNoLineBreaks));
        if (text.size() <= kMaxNameLength)
            return {};
        return RejectedWithLimit(str::kCellMaxCharacters, kMaxNameLength);
    case kFieldPolarisation:
        std::transform(text.begin(), text.end(), text.begin(), UpperAscii);
        if (text.empty() || text == "H" || text == "V")
            return CellCheck{CellStatus::PolarisationAccepted, 0, {}, MessageIcon::Stop};
        return RejectedNaming(str::kCellOnlyHOrV, text, "HV");
    case kFieldFec:
        // The slash is what keyboards and receiver menus show; the file keeps the backslash.
        std::replace(text.begin(), text.end(), '/', '\\');
        if (text.empty() || IsOneOf(text, kEditableFec))
            return {};
        return RejectedNaming(str::kCellFecValues, text, "0123456789\\");
    default:
        if (!IsAllDigits(text))
            return RejectedNaming(str::kCellOnlyDigits, text, kDigits, DigitLimit(field));
        if (text.size() > DigitLimit(field))
            return RejectedWithLimit(str::kCellMaxDigits, DigitLimit(field));
        return {};
    }
}

bool IsStoredFec(std::string_view text) {
    return IsOneOf(text, kStoredFec);
}

std::string UnstorableTextMessage(std::string_view utf8) {
    std::string message = LoadResString(str::kTextNotStorable);
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    for (std::size_t start = 0; start < utf8.size();) {
        std::size_t end = start + 1;
        while (end < utf8.size() && continuation(utf8[end]))
            ++end;
        const std::string_view character = utf8.substr(start, end - start);
        bool lossless = true;
        Utf8ToCp1252(character, &lossless);
        if (!lossless)
            return message + "\n" +
                   FormatText(LoadResString(str::kCellOffendingCharacter), {character});
        start = end;
    }
    return message;
}

int SanitizeProgramLine(std::string& line) {
    if (line.empty()) {
        line.assign(kFieldCount, '\t');
        return 0;
    }
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    const std::size_t lineFieldCount = fields.size();
    fields.back() = std::string(Trim(fields.back()));
    fields.resize(std::max<std::size_t>(fields.size(), kFieldCount));

    bool allPass = true;
    for (int field = 0; field < kFieldCount; ++field) {
        if (!FieldPassesLineCheck(field, fields[static_cast<std::size_t>(field)])) {
            fields[static_cast<std::size_t>(field)].clear();
            allPass = false;
        }
    }
    if (allPass) {
        // The last field passed trimmed. A short line is written back with all eleven fields,
        // where that one is no longer last and would fail untrimmed on the next read.
        if (lineFieldCount < kFieldCount)
            line.replace(start, std::string::npos, fields[lineFieldCount - 1]);
        return 1;
    }
    line.clear();
    for (int field = 0; field < kFieldCount; ++field) {
        line += fields[static_cast<std::size_t>(field)];
        line += '\t';
    }
    return 0;
}

bool IsProgramIncomplete(const ProgramRow& row, int listType, bool force) {
    const auto empty = [&row](int field) { return row[static_cast<std::size_t>(field)].empty(); };
    const bool anyFilled =
        std::any_of(row.begin(), row.end(), [](const std::string& cell) { return !cell.empty(); });
    if (!anyFilled && !force)
        return false;
    if (empty(kFieldFrequency) || empty(kFieldPolarisation) || empty(kFieldSymbolRate) ||
        empty(kFieldSatellite))
        return true;
    if (listType == kListTv)
        return empty(kFieldSid) &&
               (empty(kFieldVideoPid) || empty(kFieldAudioPid) || empty(kFieldPcr));
    return empty(kFieldSid) && empty(kFieldAudioPid);
}

std::string SingleLineText(std::string_view text) {
    std::string result(text);
    std::replace_if(
        result.begin(), result.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return result;
}

} // namespace fw
