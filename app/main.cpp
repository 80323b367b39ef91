#include "app/DemoReceiver.h"
#include "app/FlashwerkApp.h"
#include "app/PrintPdfCommand.h"
#include "app/QtLanguage.h"
#include "core/app/CommandLine.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "sim/ReceiverSimulator.h"

#include <QApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
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

// The display the platform plugin tries, for the sentence when it cannot be reached.
std::string DisplayName() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const bool wayland =
        !Empty(platform) ? std::string(platform).rfind("wayland", 0) == 0 : Empty(display);
    const char* name = wayland ? std::getenv("WAYLAND_DISPLAY") : display;
    return Empty(name) ? std::string() : name;
}

// Qt ends with a fatal message and abort() when its platform plugin cannot reach the display.
// While the application object is built, Qt's messages are held back; a fatal one becomes
// one plain sentence and exit code 1, the others are passed on once the start succeeded.
struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<HeldMessage> g_heldMessages;
QtMessageHandler g_qtHandler = nullptr;

void HoldStartMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        g_heldMessages.push_back({type, context.category ? context.category : "", text});
        return;
    }
    const std::string sentence =
        fw::FormatText(fw::LoadResString(fw::str::kDisplayNotReached), {DisplayName()});
    std::fprintf(stderr, "%s\n", sentence.c_str());
    std::fflush(stderr);
    ::_exit(1);
}

void PassOnStartMessages() {
    qInstallMessageHandler(g_qtHandler);
    for (const HeldMessage& message : g_heldMessages)
        qt_message_output(message.type,
                          QMessageLogContext(nullptr, 0, nullptr, message.category.c_str()),
                          message.text);
    g_heldMessages.clear();
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace fw;
    LetOversizedWritesFail();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLineOptions options = ParseCommandLine(arguments);
    const std::string programName = argc > 0 ? argv[0] : "flashwerk";
    // A store fault the demo receiver cannot take is a wrong command line, not a start problem.
    if (sim::StoreFaults faults; options.error.empty())
        ParseDemoStoreFaults(options.demoStoreFaults, faults, options.error);
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
    if (options.printPdf)
        return RunPrintPdf(options, argc, argv);
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", LoadResString(str::kNoDisplay).c_str());
        return 1;
    }

    PointSystemLocaleAt(CurrentLanguage());
    g_qtHandler = qInstallMessageHandler(HoldStartMessages);
    QApplication application(argc, argv);
    PassOnStartMessages();
    QApplication::setApplicationName(QStringLiteral("Flashwerk"));
    QApplication::setApplicationVersion(QStringLiteral(FLASHWERK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(FLASHWERK_APP_ID));
    InstallQtTranslations(CurrentLanguage());

    CFlashwerkApp app(options);
    return app.Run();
}
