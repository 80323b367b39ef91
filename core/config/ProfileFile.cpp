#include "core/config/ProfileFile.h"

#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace fw {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r\n\v\f";

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;     // trimmed
    std::size_t valueStart = 0; // where a rewrite of the value begins
};

ParsedLine ParseLine(std::string_view text) {
    ParsedLine parsed;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';')
        return parsed;
    if (trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        if (close != std::string_view::npos) {
            parsed.kind = LineKind::Section;
            parsed.name = Trim(trimmed.substr(1, close - 1));
            return parsed;
        }
        // Without "]" the line is read like any other, as the system functions do.
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(text.substr(0, equals));
    const auto valueStart = text.find_first_not_of(kBlanks, equals + 1);
    parsed.valueStart = valueStart == std::string_view::npos ? text.size() : valueStart;
    parsed.value = Trim(text.substr(equals + 1));
    return parsed;
}

// What a read returns for a stored value: up to a NUL, without enclosing quotes, capped.
std::string ReadValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, ProfileFile::kMaxValueLength));
}

bool IsBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

// A value must stay on its line, and must read back as it was written: blanks at its ends
// and enclosing quotes would otherwise be lost, so such a value gets quotes of its own.
std::string StoredValue(std::string_view value) {
    std::string stored(value);
    std::replace_if(
        stored.begin(), stored.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; },
        ' ');
    if (stored.empty())
        return stored;
    const bool quoted = stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') &&
                        stored.back() == stored.front();
    if (quoted || IsBlank(stored.front()) || IsBlank(stored.back()))
        return '"' + stored + '"';
    return stored;
}

bool IsWritableName(std::string_view name, std::string_view forbidden) {
    return !name.empty() && Trim(name) == name &&
           name.find_first_of(forbidden) == std::string_view::npos;
}

} // namespace

bool ProfileFile::Load(const std::string& path, std::string& reason) {
    m_path = path;
    SetText({});
    m_exists = false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        reason = SystemReason(path, errno);
        return false;
    }
    m_exists = true;
    std::string data;
    if (!ReadWholeFile(path, data, reason))
        return false;
    SetText(data);
    return true;
}

bool ProfileFile::Load(const std::string& path) {
    std::string reason;
    return Load(path, reason);
}

void ProfileFile::SetText(std::string_view text) {
    m_blocks.assign(1, Block{});
    m_sections.clear();
    m_prefix.clear();
    m_lineEnd = "\n";
    if (text.starts_with(kByteOrderMark)) {
        m_prefix = kByteOrderMark;
        text.remove_prefix(kByteOrderMark.size());
    }
    const auto firstBreak = text.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
        m_lineEnd = "\r\n";
    while (!text.empty()) {
        const auto lineBreak = text.find('\n');
        std::string_view line = text.substr(0, lineBreak);
        std::string_view end;
        if (lineBreak != std::string_view::npos) {
            end = "\n";
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
                end = "\r\n";
            }
            text.remove_prefix(lineBreak + 1);
        } else {
            text = {};
        }
        AddLine(std::string(line), end);
    }
}

void ProfileFile::AddLine(std::string text, std::string_view end) {
    const ParsedLine parsed = ParseLine(text);
    if (parsed.kind == LineKind::Section) {
        // Only the first section of a name is ever searched, as the system functions do.
        m_sections.try_emplace(ToLowerAscii(parsed.name), m_blocks.size());
        m_blocks.emplace_back();
    }
    Block& block = m_blocks.back();
    if (parsed.kind == LineKind::Key) {
        block.keyLines.push_back(block.lines.size());
        block.firstKey.try_emplace(ToLowerAscii(parsed.name), block.lines.size());
    }
    block.lines.push_back({std::move(text), end});
}

const ProfileFile::Block* ProfileFile::FindSection(std::string_view section) const {
    if (section.empty())
        return nullptr;
    const auto found = m_sections.find(ToLowerAscii(section));
    return found == m_sections.end() ? nullptr : &m_blocks[found->second];
}

const ProfileFile::Line* ProfileFile::FindKey(std::string_view section,
                                              std::string_view key) const {
    const Block* block = FindSection(section);
    if (block == nullptr || key.empty())
        return nullptr;
    const auto found = block->firstKey.find(ToLowerAscii(key));
    return found == block->firstKey.end() ? nullptr : &block->lines[found->second];
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return std::string(defaultValue);
    return ReadValue(ParseLine(line->text).value);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return defaultValue;
    const std::string value = ReadValue(ParseLine(line->text).value);
    return value.empty() ? defaultValue : ToIntC(value);
}

bool ProfileFile::HasKey(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

std::vector<std::pair<std::string, std::string>>
ProfileFile::GetSection(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    const Block* block = FindSection(section);
    if (block == nullptr)
        return entries;
    for (const std::size_t line : block->keyLines) {
        const ParsedLine parsed = ParseLine(block->lines[line].text);
        if (!parsed.name.empty())
            entries.emplace_back(std::string(parsed.name), ReadValue(parsed.value));
    }
    return entries;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    using namespace std::string_view_literals;
    if (!IsWritableName(section, "\r\n\0]"sv) || !IsWritableName(key, "\r\n\0="sv) ||
        key.front() == ';' || key.front() == '[')
        return false;
    const std::string stored = StoredValue(value);

    if (const Line* existing = FindKey(section, key)) {
        std::string& text = const_cast<Line*>(existing)->text;
        text = text.substr(0, ParseLine(text).valueStart) + stored;
        return true;
    }

    EndLastLine();
    std::string line = std::string(key) + "=" + stored;
    const auto found = m_sections.find(ToLowerAscii(section));
    if (found == m_sections.end()) {
        std::string sectionLine(1, '[');
        sectionLine.append(section).push_back(']');
        AddLine(std::move(sectionLine), m_lineEnd);
        AddLine(std::move(line), m_lineEnd);
        return true;
    }
    // After the section's last key, so that comments and blank lines heading the next
    // section stay with it. Only this section's lines move.
    Block& block = m_blocks[found->second];
    const std::size_t insertAt = block.keyLines.empty() ? 1 : block.keyLines.back() + 1;
    block.lines.insert(block.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                       Line{std::move(line), m_lineEnd});
    block.keyLines.push_back(insertAt);
    block.firstKey.emplace(ToLowerAscii(key), insertAt);
    return true;
}

bool ProfileFile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

// A last line without its line end gets one before anything is added anywhere: the line
// added may follow it.
void ProfileFile::EndLastLine() {
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block) {
        if (!block->lines.empty()) {
            if (block->lines.back().end.empty())
                block->lines.back().end = m_lineEnd;
            return;
        }
    }
}

std::string ProfileFile::Text() const {
    std::string text = m_prefix;
    for (const Block& block : m_blocks) {
        for (const Line& line : block.lines) {
            text += line.text;
            text += line.end;
        }
    }
    return text;
}

bool ProfileFile::Save(std::string& reason) {
    if (!WriteFileAtomically(m_path, Text(), reason))
        return false;
    m_exists = true;
    return true;
}

} // namespace fw
