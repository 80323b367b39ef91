// log: the logbook of transfers, newest first.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"

#include "core/app/DataFolders.h"
#include "core/app/Logbook.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

#include <ostream>

namespace fw::cli {

int RunLog(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.words.size() != 1)
        return UsageError(err, LoadResString(str::kCliWrongWordCount), str::kCliLogUsage);
    std::size_t last = kWholeLogbook;
    if (arguments.Has("--last")) {
        const std::string value = arguments.Value("--last");
        const std::optional<int> count = NumberInRange(value, 1, 999999);
        if (!count)
            return UsageError(err, FormatText(LoadResString(str::kCliBadValue), {"--last", value}),
                              str::kCliLogUsage);
        last = static_cast<std::size_t>(*count);
    }
    const std::string dataFolder =
        ChooseDataFolder(ExecutableFolder(), arguments.Value("--data-dir"));
    std::vector<LogbookRecord> records;
    std::string reason;
    if (!ReadLogbook(dataFolder, last, records, reason)) {
        err << FormatText(LoadResString(str::kLogbookUnreadable), {reason}) << '\n';
        return kExitBadFile;
    }
    if (records.empty())
        err << FormatText(LoadResString(str::kLogbookEmpty), {LogbookPath(dataFolder)}) << '\n';
    // Written back as stored: escaped, so that no field can drive the terminal.
    for (const LogbookRecord& record : records)
        out << LogbookLine(record);
    return kExitOk;
}

} // namespace fw::cli
