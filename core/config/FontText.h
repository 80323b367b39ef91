#pragma once

#include "core/config/LogFont.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// The print font used when upd.ini holds none: ARIAL, 22 high, weight 900, italic, underlined.
LogFont DefaultPrintFont();
// A height of 0 asks for the default size, as in a LOGFONT: the default font's height.
std::int32_t HeightOrDefault(const LogFont& font);

// Thirteen numbers, each followed by "|", then the face name: clip precision, escapement,
// height, italic, orientation, output precision, pitch and family, quality, strike-out,
// underline, weight, width, character set. Byte fields are written 0 to 255.
std::string FontToString(const LogFont& font);
// The reverse; a text with fewer than fourteen pieces is damaged and gives DefaultPrintFont().
LogFont StringToFont(std::string_view text);

} // namespace fw
