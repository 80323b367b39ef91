#include "core/app/CommandLine.h"
#include "app/FlashwerkApp.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool Empty(const char* value) {
    return value == nullptr || *value == '\0';
}

// Qt aborts with a cryptic message when it finds no display; say it plainly instead.
bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!Empty(platform) && std::string(platform).rfind("xcb", 0) != 0 &&
        std::string(platform).rfind("wayland", 0) != 0)
        return true;
    return !Empty(std::getenv("DISPLAY")) || !Empty(std::getenv("WAYLAND_DISPLAY"));
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace fw;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CommandLineOptions options = ParseCommandLine(arguments);
    const std::string programName = argc > 0 ? argv[0] : "flashwerk";
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s\n\n%s", options.error.c_str(), UsageText(programName).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText(programName).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", LoadResString(str::kNoDisplay).c_str());
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flashwerk"));
    QApplication::setApplicationVersion(QStringLiteral(FLASHWERK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("flashwerk"));

    // Qt's own buttons and dialogs in the program's language.
    QTranslator qtTexts;
    const bool german = CurrentLanguage() == Language::German;
    QLocale::setDefault(QLocale(german ? QLocale::German : QLocale::English));
    if (german &&
        qtTexts.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    CFlashwerkApp app(options);
    return app.Run();
}
