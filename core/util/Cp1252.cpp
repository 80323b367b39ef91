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

// What each byte folds to; bytes that stay themselves have no entry.
const std::array<std::string_view, 256>& FoldTable() {
    static const std::array<std::string_view, 256> table = [] {
        std::array<std::string_view, 256> folded{};
        const auto set = [&folded](int first, int last, std::string_view to) {
            for (int byte = first; byte <= last; ++byte)
                folded[static_cast<std::size_t>(byte)] = to;
        };
        static const std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz";
        for (std::size_t i = 0; i < kLetters.size(); ++i)
            folded['A' + i] = kLetters.substr(i, 1);
        // Upper and lower case of each accented letter fold alike; the multiplication and
        // division signs between them are no letters.
        for (const int offset : {0, 0x20}) {
            set(0xC0 + offset, 0xC5 + offset, "a");
            set(0xC6 + offset, 0xC6 + offset, "ae");
            set(0xC7 + offset, 0xC7 + offset, "c");
            set(0xC8 + offset, 0xCB + offset, "e");
            set(0xCC + offset, 0xCF + offset, "i");
            set(0xD0 + offset, 0xD0 + offset, "d");
            set(0xD1 + offset, 0xD1 + offset, "n");
            set(0xD2 + offset, 0xD6 + offset, "o");
            set(0xD8 + offset, 0xD8 + offset, "o");
            set(0xD9 + offset, 0xDC + offset, "u");
            set(0xDD + offset, 0xDD + offset, "y");
            set(0xDE + offset, 0xDE + offset, "th");
        }
        set(0xDF, 0xDF, "ss");
        set(0x8A, 0x8A, "s"); // Š š
        set(0x9A, 0x9A, "s");
        set(0x8C, 0x8C, "oe"); // Œ œ
        set(0x9C, 0x9C, "oe");
        set(0x8E, 0x8E, "z"); // Ž ž
        set(0x9E, 0x9E, "z");
        set(0x9F, 0x9F, "y"); // Ÿ ÿ
        set(0xFF, 0xFF, "y");
        return folded;
    }();
    return table;
}

} // namespace

std::string FoldCp1252(std::string_view text) {
    const auto& table = FoldTable();
    std::string folded;
    folded.reserve(text.size());
    for (const char c : text) {
        const std::string_view to = table[static_cast<unsigned char>(c)];
        if (to.empty())
            folded += c;
        else
            folded += to;
    }
    return folded;
}

bool ContainsFoldedCp1252(std::string_view text, std::string_view part) {
    return FoldCp1252(text).find(FoldCp1252(part)) != std::string::npos;
}

bool EqualsIgnoringCaseCp1252(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameLetter);
}

} // namespace fw
