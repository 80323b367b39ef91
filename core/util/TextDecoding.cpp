#include "core/util/TextDecoding.h"

#include "core/util/Cp1252.h"

namespace fw {

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos++]);
        if (lead < 0x80)
            continue;
        int extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
            min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
            min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        for (int i = 0; i < extra; ++i, ++pos) {
            if (pos >= bytes.size() || (static_cast<unsigned char>(bytes[pos]) & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[pos]) & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
    }
    return true;
}

std::string DecodeUtf8OrCp1252(std::string_view bytes, bool* wasCp1252) {
    const bool utf8 = IsValidUtf8(bytes);
    if (wasCp1252)
        *wasCp1252 = !utf8;
    if (!utf8)
        return Cp1252ToUtf8(bytes);
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    return std::string(bytes);
}

} // namespace fw
