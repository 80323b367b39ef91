#include "app/PrintPdfCommand.h"

#include "app/QtLanguage.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "gui/print/ListDruck.h"
#include "gui/ui/Texts.h"

#include <QGuiApplication>
#include <QPageRanges>
#include <QPageSize>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace fw {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Refuse(int code, int messageId, std::initializer_list<std::string_view> arguments) {
    std::fprintf(stderr, "%s\n", FormatText(LoadResString(messageId), arguments).c_str());
    return code;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The print settings as upd.ini holds them; nothing is created or written.
CDruckDat StoredPrintSettings(const std::string& dataDir) {
    const DataFolders folders = FoldersUnder(ChooseDataFolder(ExecutableFolder(), dataDir));
    ProfileFile profile;
    std::string reason;
    if (!profile.Load(folders.profile, reason))
        std::fprintf(stderr, "%s%s\n", LoadResString(str::kSettingsNotRead).c_str(),
                     reason.c_str());
    CKonfiguration config;
    config.Load(profile);
    return config.m_printSettings;
}

} // namespace

int RunPrintPdf(const CommandLineOptions& options, int& argc, char** argv) {
    const PrintPdfRequest& request = *options.printPdf;
    if (NamesSameFile(request.listFile, request.pdfFile))
        return Refuse(kExitUsage, str::kPrintPdfIsTheList, {request.pdfFile});
    if (!request.force && Exists(request.pdfFile))
        return Refuse(kExitUsage, str::kPrintPdfExists, {request.pdfFile});

    std::string data;
    std::string reason;
    if (Exists(request.pdfFile) && !CanReplaceFile(request.pdfFile, reason))
        return Refuse(kExitUsage, str::kPrintPdfNotWritten, {request.pdfFile, reason});
    if (!ReadWholeFile(request.listFile, data, reason))
        return Refuse(kExitUsage, str::kCliOpenFailed, {request.listFile, reason});
    ProgramPool pool;
    CFavoritenDat banks;
    if (!ParseRepairedList(data, pool, banks))
        return Refuse(kExitUsage, str::kCliWrongFormat, {request.listFile});

    // Fonts need the toolkit, a window does not.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    PointSystemLocaleAt(CurrentLanguage());
    QGuiApplication application(argc, argv);

    CListDruck printout(pool, StoredPrintSettings(options.dataDir), request.rows);
    const std::atomic<bool> never{false};
    const RenderedPdf pdf = RenderPdf(printout, ResText(str::kPrintDocumentTitle),
                                      QPageSize(QPageSize::A4), QPageRanges(), never);
    if (pdf.outcome == PrintOutcome::Unusable) {
        std::fprintf(stderr, "%s\n", printout.ProblemText().c_str());
        return kExitUsage;
    }
    if (pdf.outcome != PrintOutcome::Printed)
        return Refuse(kExitFailed, str::kPrintPdfNotWritten, {request.pdfFile, ""});
    if (!WriteFileAtomically(request.pdfFile,
                             std::string_view(pdf.bytes.constData(), pdf.bytes.size()), reason))
        return Refuse(kExitFailed, str::kPrintPdfNotWritten, {request.pdfFile, reason});
    return Refuse(kExitOk, str::kPrintPdfWritten,
                  {request.pdfFile, std::to_string(printout.PageCount())});
}

} // namespace fw
