#include "core/res/StringTable.h"
#include "core/res/StringIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace fw {
namespace {

class LanguageGuard {
public:
    explicit LanguageGuard(Language language) : m_saved(CurrentLanguage()) {
        SetLanguage(language);
    }
    ~LanguageGuard() { SetLanguage(m_saved); }

private:
    Language m_saved;
};

TEST(StringTableTest, LooksUpBothLanguages) {
    {
        LanguageGuard german(Language::German);
        EXPECT_EQ(LoadResString(str::kQuit), "B&eenden");
        EXPECT_EQ(LoadResString(str::kDefaultPrintHeader), "Programmpoolliste");
        EXPECT_EQ(LoadDialogText(149, "caption"), "&Grundeinstellungen");
        EXPECT_EQ(LoadDialogText(162, "2001"), "  19200 Baud") << "leading blanks are kept";
    }
    LanguageGuard english(Language::English);
    EXPECT_EQ(LoadResString(str::kQuit), "&Quit");
    EXPECT_EQ(LoadDialogText(149, "caption"), "Default &settings");
    EXPECT_EQ(LoadResString(1057), "Load default setting from receiver");
}

TEST(StringTableTest, UnknownEntriesAreEmpty) {
    EXPECT_EQ(LoadResString(-1), "");
    EXPECT_EQ(LoadResString(8888), "");
    EXPECT_EQ(LoadDialogText(162, "nonexistent"), "");
    EXPECT_EQ(LoadMenuText(1, "2"), "");
}

TEST(StringTableTest, EscapesBecomeTheirCharacters) {
    LanguageGuard english(Language::English);
    // The advice follows the lines that users and scripts know.
    EXPECT_EQ(LoadResString(118).rfind("ERROR 001:\nReceiver not recognized.\n\n", 0), 0u);
    EXPECT_EQ(LoadResString(108), "\\*.bsr");
    SetLanguage(Language::German);
    EXPECT_EQ(LoadResString(118).rfind("FEHLER 001:\nReceiver nicht erkannt.\n\n", 0), 0u);
}

TEST(StringTableTest, EveryEntryHasBothLanguages) {
    // Scan the whole number range; an entry present in one language only is a gap.
    int entries = 0;
    for (int id = 0; id < 70000; ++id) {
        SetLanguage(Language::German);
        const std::string german = LoadResString(id);
        SetLanguage(Language::English);
        const std::string english = LoadResString(id);
        EXPECT_EQ(german.empty(), english.empty()) << "string " << id;
        entries += !german.empty();
    }
    EXPECT_GT(entries, 150);
}

TEST(StringTableTest, FormatTextFillsNumberedPlaces) {
    EXPECT_EQ(FormatText("%1 allready exists.", {"a.lst"}), "a.lst allready exists.");
    EXPECT_EQ(FormatText("%2-%1-%2", {"a", "b"}), "b-a-b");
    EXPECT_EQ(FormatText("100% and %3", {"x"}), "100% and %3") << "unknown places stay";
    EXPECT_EQ(FormatText("end %", {}), "end %");
}

TEST(StringTableTest, LanguageFollowsTheEnvironment) {
    struct Case {
        const char* forced;
        const char* lang;
        Language expected;
    };
    const Case cases[] = {
        {nullptr, "de_DE.UTF-8", Language::German}, {nullptr, "en_GB.UTF-8", Language::English},
        {nullptr, nullptr, Language::English},      {"de", "en_US.UTF-8", Language::German},
        {"en", "de_AT.UTF-8", Language::English},
    };
    auto restore = [](const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    };
    auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto forced = saved("FLASHWERK_LANG"), language = saved("LANGUAGE"),
               all = saved("LC_ALL"), messages = saved("LC_MESSAGES"), lang = saved("LANG");
    ::unsetenv("LANGUAGE");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    for (const Case& c : cases) {
        restore("FLASHWERK_LANG", c.forced ? std::optional<std::string>(c.forced) : std::nullopt);
        restore("LANG", c.lang ? std::optional<std::string>(c.lang) : std::nullopt);
        EXPECT_EQ(LanguageFromEnvironment(), c.expected) << (c.lang ? c.lang : "(none)");
    }
    restore("FLASHWERK_LANG", forced);
    restore("LANGUAGE", language);
    restore("LC_ALL", all);
    restore("LC_MESSAGES", messages);
    restore("LANG", lang);
}

} // namespace
} // namespace fw
