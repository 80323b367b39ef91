#include "app/QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>
#include <string_view>

namespace fw {
namespace {

bool Empty(const char* value) {
    return value == nullptr || *value == '\0';
}

bool SaysGerman(const char* value) {
    return !Empty(value) && std::string_view(value).starts_with("de");
}

} // namespace

void PointSystemLocaleAt(Language language) {
    const bool german = language == Language::German;
    const char* target = german ? "de_DE.UTF-8" : "en_US.UTF-8";
    const char* all = std::getenv("LC_ALL");
    if (!Empty(all)) {
        if (SaysGerman(all) != german)
            ::setenv("LC_ALL", target, 1);
    } else {
        const char* lang = std::getenv("LANG");
        for (const char* category : {"LC_TIME", "LC_NUMERIC", "LC_MONETARY", "LC_MESSAGES",
                                     "LC_MEASUREMENT", "LC_COLLATE"}) {
            const char* value = std::getenv(category);
            if (SaysGerman(Empty(value) ? lang : value) != german)
                ::setenv(category, target, 1);
        }
    }
    // Qt prefers LANGUAGE's first entry where it contradicts LC_MESSAGES.
    const char* languages = std::getenv("LANGUAGE");
    if (!Empty(languages) && SaysGerman(languages) != german)
        ::setenv("LANGUAGE", german ? "de" : "en", 1);
}

void InstallQtTranslations(Language language) {
    const bool german = language == Language::German;
    const QLocale locale(german ? QLocale::German : QLocale::English,
                         german ? QLocale::Germany : QLocale::UnitedStates);
    QLocale::setDefault(locale);
    if (!german)
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace fw
