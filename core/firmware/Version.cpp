#include "core/firmware/Version.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace fw {
namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

// atof, but always with "." as the decimal point: the Qt program runs under the user's locale,
// where a German one would read "1.20" as 1.
float AtofC(std::string_view text) {
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string copy(text);
    double value = 0.0;
    if (cLocale != locale_t{}) {
        const locale_t previous = ::uselocale(cLocale);
        value = std::strtod(copy.c_str(), nullptr);
        ::uselocale(previous);
    } else {
        value = std::strtod(copy.c_str(), nullptr);
    }
    // Out of float's range the conversion is undefined; take the infinity it would round to.
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

bool IsNone(std::string_view name) {
    return UpperAscii(name) == "NONE";
}

} // namespace

SoftwareVersion SplitVersion(std::string_view text) {
    if (IsNone(text))
        return {std::string(text), 0.0f};
    auto mark = text.rfind('v');
    if (mark == std::string_view::npos)
        mark = text.rfind('V');
    if (mark == std::string_view::npos)
        return {std::string(), AtofC(text)};
    return {std::string(Trim(text.substr(0, mark))), AtofC(text.substr(mark + 1))};
}

VersionWarning CompareVersions(std::string_view receiverText, std::string_view fileVersionText,
                               int versionHint) {
    const SoftwareVersion receiver = SplitVersion(receiverText);
    if (versionHint != 1 || IsNone(receiver.name))
        return {};
    const SoftwareVersion file = SplitVersion(fileVersionText);
    if (receiver.name != file.name)
        return {VersionWarningMode::OtherSoftware, receiver.name, file.name};
    if (file.version == receiver.version)
        return {VersionWarningMode::SameVersion, std::string(receiverText), {}};
    if (file.version < receiver.version)
        return {VersionWarningMode::OlderOntoNewer, std::string(fileVersionText),
                std::string(receiverText)};
    return {};
}

std::array<std::string, 6> VersionWarningLines(const VersionWarning& warning) {
    const std::string& a = warning.first;
    const std::string& b = warning.second;
    switch (warning.mode) {
    case VersionWarningMode::OtherSoftware:
        return {LoadResString(str::kWarnOverwrite),        a,
                LoadResString(str::kWarnWithOther),        b,
                LoadResString(str::kWarnMayCauseProblems), LoadResString(str::kWarnContinue)};
    case VersionWarningMode::SameVersion:
        return {LoadResString(str::kWarnThisVersion), a, LoadResString(str::kWarnInstalled), "",
                LoadResString(str::kWarnContinue),    ""};
    case VersionWarningMode::OlderOntoNewer:
        return {LoadResString(str::kWarnOlderVersion), a,
                LoadResString(str::kWarnOntoNewer),    b,
                LoadResString(str::kWarnTransfer),     LoadResString(str::kWarnContinue)};
    case VersionWarningMode::None:
        break;
    }
    return {};
}

std::string VersionWarningText(const VersionWarning& warning) {
    std::string text;
    for (const std::string& line : VersionWarningLines(warning)) {
        if (!line.empty())
            text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

} // namespace fw
