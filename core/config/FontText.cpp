#include "core/config/FontText.h"

#include "core/config/SplitJoin.h"
#include "core/util/TextUtil.h"

#include <vector>

namespace fw {

LogFont DefaultPrintFont() {
    LogFont font;
    font.height = 22;
    font.weight = 900;
    font.italic = 1;
    font.underline = 1;
    font.pitchAndFamily = 48;
    font.faceName = "ARIAL";
    return font;
}

std::int32_t HeightOrDefault(const LogFont& font) {
    return font.height != 0 ? font.height : DefaultPrintFont().height;
}

std::string FontToString(const LogFont& font) {
    const int numbers[] = {font.clipPrecision, font.escapement,   font.height,         font.italic,
                           font.orientation,   font.outPrecision, font.pitchAndFamily, font.quality,
                           font.strikeOut,     font.underline,    font.weight,         font.width,
                           font.charSet};
    std::string text;
    for (const int number : numbers) {
        text += std::to_string(number);
        text += '|';
    }
    return text + font.faceName;
}

LogFont StringToFont(std::string_view text) {
    const std::vector<std::string> pieces = SplitStrings(text, '|');
    if (pieces.size() < 14)
        return DefaultPrintFont();
    // Byte fields wrap as the LOGFONT bytes do: "-1" reads as 255.
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(ToIntC(pieces[i])); };
    LogFont font;
    font.clipPrecision = byte(0);
    font.escapement = ToIntC(pieces[1]);
    font.height = ToIntC(pieces[2]);
    font.italic = byte(3);
    font.orientation = ToIntC(pieces[4]);
    font.outPrecision = byte(5);
    font.pitchAndFamily = byte(6);
    font.quality = byte(7);
    font.strikeOut = byte(8);
    font.underline = byte(9);
    font.weight = ToIntC(pieces[10]);
    font.width = ToIntC(pieces[11]);
    font.charSet = byte(12);
    font.faceName = pieces[13];
    return font;
}

} // namespace fw
