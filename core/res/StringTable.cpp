#include "core/res/StringTable.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <string_view>
#include <utility>

namespace fw {

extern const std::string_view kStringTableData; // generated from strings.tsv

namespace {

std::atomic<Language> g_language{LanguageFromEnvironment()};

struct Texts {
    std::string german;
    std::string english;
};

using Table = std::map<std::string, Texts, std::less<>>;

std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        switch (field[++i]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        default:
            out += field[i];
            break;
        }
    }
    return out;
}

// Lines are KIND TAB KEY TAB GERMAN TAB ENGLISH; the map key is "KIND:KEY".
Table ParseTable(std::string_view data) {
    Table table;
    while (!data.empty()) {
        const auto end = data.find('\n');
        std::string_view line = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        std::string_view fields[4];
        int count = 0;
        while (count < 3) {
            const auto tab = line.find('\t');
            if (tab == std::string_view::npos)
                break;
            fields[count++] = line.substr(0, tab);
            line.remove_prefix(tab + 1);
        }
        if (count != 3)
            continue;
        fields[3] = line;
        table.emplace(std::string(fields[0]) + ":" + std::string(fields[1]),
                      Texts{Unescape(fields[2]), Unescape(fields[3])});
    }
    return table;
}

const Table& TheTable() {
    static const Table table = ParseTable(kStringTableData);
    return table;
}

std::string Lookup(const std::string& key) {
    const Table& table = TheTable();
    const auto found = table.find(key);
    if (found == table.end())
        return {};
    return CurrentLanguage() == Language::German ? found->second.german : found->second.english;
}

bool StartsWithGerman(const char* value) {
    return value[0] == 'd' && value[1] == 'e';
}

} // namespace

Language LanguageFromEnvironment() {
    if (const char* forced = std::getenv("FLASHWERK_LANG"); forced && *forced)
        return StartsWithGerman(forced) ? Language::German : Language::English;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return StartsWithGerman(value) ? Language::German : Language::English;
    }
    return Language::English;
}

void SetLanguage(Language language) {
    g_language.store(language);
}

Language CurrentLanguage() {
    return g_language.load();
}

std::string LoadResString(int id) {
    return Lookup("S:" + std::to_string(id));
}

std::string LoadDialogText(int dialogId, std::string_view control) {
    return Lookup("D:" + std::to_string(dialogId) + "." + std::string(control));
}

std::string LoadMenuText(int menuId, std::string_view item) {
    return Lookup("M:" + std::to_string(menuId) + "." + std::string(item));
}

std::string FormatText(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
            out += *(arguments.begin() + index);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace fw
