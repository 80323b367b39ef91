#pragma once

#include "core/util/UserInteraction.h"

#include <array>
#include <string>
#include <string_view>

namespace fw {

// The eleven text fields of a program place, in file and grid order.
enum ProgramField : int {
    kFieldCa = 0,
    kFieldName,
    kFieldFrequency,
    kFieldPolarisation,
    kFieldSymbolRate,
    kFieldFec,
    kFieldSid,
    kFieldVideoPid,
    kFieldAudioPid,
    kFieldPcr,
    kFieldSatellite,
    kFieldCount
};

// The grid shows the address (Adr) in front of the fields: grid column = field + 1.
inline constexpr int kAdrColumn = 0;
inline constexpr int kGridColumnCount = kFieldCount + 1;
inline constexpr std::size_t kMaxNameLength = 24;

inline constexpr int FieldOfColumn(int column) {
    return column - 1;
}
inline constexpr int ColumnOfField(int field) {
    return field + 1;
}

using ProgramRow = std::array<std::string, kFieldCount>;

// List types as the editor keeps them; the file carries "RA", "TV" or "NDEF".
inline constexpr int kListRadio = 0;
inline constexpr int kListTv = 1;
inline constexpr int kListUnknown = -1;

inline constexpr std::string_view kTypeTextRadio = "RA";
inline constexpr std::string_view kTypeTextTv = "TV";
inline constexpr std::string_view kTypeTextUnknown = "NDEF";

std::string_view ListTypeText(int listType);
// kListUnknown for anything but exactly "RA" or "TV".
int ListTypeFromText(std::string_view text);

// Outcome of the check of an edited cell. The grid shows the message itself when the cell
// is rejected; nothing is shown here.
// The codes of the cell check as the grid has always known them.
enum class CellStatus : int {
    Rejected = 0,
    Accepted = 1,
    PolarisationAccepted = 2, // the text was upper-cased
};

struct CellCheck {
    CellStatus status = CellStatus::Accepted;
    int messageId = 0;   // string number of the message, 0 when accepted
    std::string message; // formatted text in the current language
    MessageIcon icon = MessageIcon::Stop;
};

// Check of a grid cell when an edit is committed; column 0 is the Adr column. The text may be
// trimmed (every column but the name), upper-cased (polarisation) or get backslashes for
// slashes (FEC) in place. A refusal's message names the first character not allowed and the
// field's digit limit.
CellCheck ValidateCell(int column, std::string& text);

// One of the eight code rates a list file may hold (the grid offers five of them), written
// with the backslash.
bool IsStoredFec(std::string_view text);

// The refusal of a typed text (UTF-8) that a program list cannot store, naming its first
// character without a Windows-1252 byte.
std::string UnstorableTextMessage(std::string_view utf8);

// Check of a program line read from a file or pasted: 1 when every field passes and the line
// is left as it was (but for white space around the last field of a line with fewer than
// eleven: the check ignores it); 0 when the line was rebuilt as eleven TAB-terminated fields
// with the failing ones emptied.
int SanitizeProgramLine(std::string& line);

// A program place the receiver cannot take: something is filled in (or force is set) but a
// field the receiver needs is missing. listType 1 is TV, anything else radio.
bool IsProgramIncomplete(const ProgramRow& row, int listType, bool force);

// Replaces TAB, CR and LF by a blank: they would split a line of the list file, and the
// receiver ends a line at CR.
std::string SingleLineText(std::string_view text);

} // namespace fw
