#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fw {

// An INI file read and written the way the Windows private-profile functions do it: lookups
// ignore case, a write changes one key in place and keeps every other line, comment, section
// and unknown key byte for byte. The text is bytes; no character set conversion happens.
class ProfileFile {
public:
    // Longest value a read returns, as with a 4096-byte buffer.
    static constexpr std::size_t kMaxValueLength = 4095;

    // Reads the file at path and remembers path for Save. A missing file gives an empty
    // profile and true; false with reason when a file is there but cannot be read.
    bool Load(const std::string& path, std::string& reason);
    bool Load(const std::string& path);
    // Replaces the contents with text, as if read from a file; the path is kept.
    void SetText(std::string_view text);

    // Whether the file was there when loaded (or has been saved since).
    bool Exists() const { return m_exists; }
    const std::string& Path() const { return m_path; }
    void SetPath(std::string path) { m_path = std::move(path); }

    // The value trimmed of blanks and of one matching pair of enclosing quotes;
    // defaultValue when the section or key is missing.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;
    // Decimal value with C atoi rules (no number gives 0); defaultValue when the key is
    // missing or its value is empty.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    // Every key of the section with its value (read as GetString does), in file order.
    std::vector<std::pair<std::string, std::string>> GetSection(std::string_view section) const;

    // CR, LF and NUL in value become blanks. A value that would not read back as written
    // (blanks at its ends, enclosing quotes) is put in quotes. False for an empty name or
    // one that cannot be written (line breaks, "=" in a key, "]" in a section).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);

    // The whole file text as Save writes it.
    std::string Text() const;
    // Writes Text() atomically to Path(); on failure the old file is untouched.
    [[nodiscard]] bool Save(std::string& reason);

private:
    struct Line {
        std::string text;     // without its line end
        std::string_view end; // "\n", "\r\n", or "" for a last line without one (literals)
    };

    // A section header and the lines up to the next one (the first block has no header),
    // with its keys indexed, so that a lookup does not read the whole file again and an
    // added key moves no line of another section.
    struct Block {
        std::vector<Line> lines;
        std::vector<std::size_t> keyLines;                     // every key line, in order
        std::unordered_map<std::string, std::size_t> firstKey; // lower-case name -> line
    };

    void AddLine(std::string text, std::string_view end);
    void EndLastLine();
    const Block* FindSection(std::string_view section) const;
    const Line* FindKey(std::string_view section, std::string_view key) const;

    std::string m_path;
    std::string m_prefix;              // a UTF-8 byte order mark, written back as found
    std::string_view m_lineEnd = "\n"; // style of the file for new lines
    std::vector<Block> m_blocks{1};
    std::unordered_map<std::string, std::size_t> m_sections; // lower-case name -> first block
    bool m_exists = false;
};

} // namespace fw
