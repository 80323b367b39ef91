#include "core/util/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace fw {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOfByte(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

bool ByteOfCodePoint(char32_t cp, unsigned char& byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<unsigned char>(cp);
        return true;
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[pos]; returns false for a malformed one.
bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int extra = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        cp = lead & 0x1F;
        extra = 1;
        min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        cp = lead & 0x0F;
        extra = 2;
        min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        cp = lead & 0x07;
        extra = 3;
        min = 0x10000;
    } else {
        ++pos;
        return false;
    }
    ++pos;
    for (int i = 0; i < extra; ++i, ++pos) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos]) & 0x3F);
    }
    return cp >= min && cp <= 0x10FFFF;
}

} // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    bool exact = true;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        unsigned char byte = 0;
        if (NextCodePoint(utf8, pos, cp) && ByteOfCodePoint(cp, byte)) {
            out += static_cast<char>(byte);
        } else {
            out += '?';
            exact = false;
        }
    }
    if (lossless)
        *lossless = exact;
    return out;
}

char UpperCp1252(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
        return static_cast<char>(b - 0x20);
    switch (b) {
    case 0x9A: // š
    case 0x9C: // œ
    case 0x9E: // ž
        return static_cast<char>(b - 0x10);
    case 0xFF: // ÿ
        return static_cast<char>(0x9F);
    default:
        return byte;
    }
}

namespace {

bool SameLetter(char a, char b) {
    return UpperCp1252(a) == UpperCp1252(b);
}

} // namespace

bool ContainsIgnoringCaseCp1252(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), SameLetter) !=
               text.end() ||
           part.empty();
}

bool EqualsIgnoringCaseCp1252(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameLetter);
}

} // namespace fw
