#pragma once

#include <cstdint>
#include <string>

namespace fw {

// The numbers of a Windows LOGFONT, kept so that stored font texts read and write back
// unchanged; the GUI turns it into a font of its own.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;

    bool operator==(const LogFont&) const = default;
};

} // namespace fw
