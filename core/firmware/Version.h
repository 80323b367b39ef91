#pragma once

#include <array>
#include <string>
#include <string_view>

namespace fw {

struct SoftwareVersion {
    std::string name;
    float version = 0.0f;
};

// "NAME V1.20" into "NAME" and 1.2. The last lower-case "v" marks the number, or else the last
// capital "V"; without either the whole text is the number and the name is empty. "NONE" in any
// case (a receiver without software) keeps its text as name with version 0. Numbers are read by
// the C library's atof rules, whatever the program's locale.
SoftwareVersion SplitVersion(std::string_view text);

enum class VersionWarningMode {
    None = 0,
    OtherSoftware = 1,  // names differ
    SameVersion = 2,    // this version is already installed
    OlderOntoNewer = 3, // the file's version is lower than the receiver's
};

struct VersionWarning {
    VersionWarningMode mode = VersionWarningMode::None;
    std::string first;
    std::string second;
};

// Which warning to show before sending firmware, and its two texts. No warning when the
// receiver has no software ("NONE") or the warning is switched off (versionHint not 1).
VersionWarning CompareVersions(std::string_view receiverText, std::string_view fileVersionText,
                               int versionHint);

// The six centred lines of the version warning, top to bottom; empty lines stay empty.
std::array<std::string, 6> VersionWarningLines(const VersionWarning& warning);
// The same as one question text: the lines that say something, one below the other.
std::string VersionWarningText(const VersionWarning& warning);

} // namespace fw
