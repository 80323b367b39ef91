#include "core/lists/ListCatalogue.h"

#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"
#include "core/util/UserInteraction.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <unistd.h>

namespace fw {
namespace {

// Every refresh scans again; a file whose repair cannot be written is explained once per run.
bool FirstReportInThisRun(const std::string& path) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    return reported.insert(path).second;
}

} // namespace

ListCatalogue ScanListFolder(const std::string& folder, UserInteraction& ui) {
    ListCatalogue catalogue;
    const std::vector<FoundFile> files = FindFilesWithExtension(folder, ".lst");
    catalogue.anyFile = !files.empty();
    for (const FoundFile& file : files) {
        NormalizeResult normalized = NormalizeListFile(file.path, UnwritableRepair::ListRepaired);
        if (normalized.status == NormalizeStatus::Registered) {
            if (normalized.record.m_unrepairedOnDisk && FirstReportInThisRun(file.path))
                ui.ShowMessage(FormatText(LoadResString(str::kListShownUnrepaired),
                                          {file.path, normalized.reason}),
                               MessageIcon::Warning);
            catalogue.records.push_back(std::move(normalized.record));
        } else if (normalized.status == NormalizeStatus::Unreadable) {
            ReportUnreadableFile(ui, file.path, normalized.reason);
        } else if (ui.AskYesNo(FormatText(LoadResString(str::kWrongFormatDeleteFile), {file.path}),
                               MessageIcon::Warning) &&
                   ::unlink(file.path.c_str()) != 0) {
            ui.ShowLastError(SystemReason(file.path, errno));
        }
    }
    return catalogue;
}

std::string WhyNoList(std::string_view content) {
    if (content.empty())
        return LoadResString(str::kImportFileEmpty);
    if (!AnalyseListText(content).isList)
        return LoadResString(str::kImportNoLineEnds);
    return {};
}

} // namespace fw
