// Program-list files: repair, read, write and read again.
#include "fuzz/FuzzSupport.h"

#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "core/lists/ProgramRecord.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace fw;
using fw::fuzz::Require;
using fw::fuzz::SameBanks;

namespace {

bool SamePool(const ProgramPool& a, const ProgramPool& b) {
    for (int row = 0; row < ProgramPool::RowCount(); ++row)
        if (a.Row(row) != b.Row(row))
            return false;
    return true;
}

void CheckProgramLines(std::string_view text) {
    for (std::string_view line : SplitTextModeLines(text)) {
        std::string once(line);
        const int first = SanitizeProgramLine(once);
        if (first == 1) {
            // Only white space around the last field may go.
            const std::size_t last = line.rfind('\t') + 1;
            Require(once == line ||
                        (once.substr(0, last) == line.substr(0, last) &&
                         once.substr(std::min(last, once.size())) == Trim(line.substr(last))),
                    "a line that passes keeps its fields");
        }
        // A checked line must not change again on the next load.
        std::string twice = once;
        const int second = SanitizeProgramLine(twice);
        Require(twice == once && (first == 0 || second == 1),
                "checking a checked line changes nothing");
    }
}

// Lines from the third on, up to the bank block, are programs whatever the first two hold;
// a repair replaces at most those two.
int ProgramLinesAfterTheHeader(std::string_view text) {
    const std::vector<std::string_view> lines = SplitTextModeLines(text);
    int count = 0;
    // The bank block may begin on the second line already.
    for (std::size_t i = 1; i < lines.size() && !lines[i].starts_with(kBankBlockMark); ++i) {
        std::string line(lines[i]);
        count += i >= 2 && SanitizeProgramLine(line) == 1 ? 1 : 0;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckProgramLines(text);

    const ListAnalysis analysis = AnalyseListText(text);
    const std::string repaired = analysis.RepairedText(text);
    Require(analysis.repair || repaired == text, "a sound list is taken as it is");

    // Reused: a pool is 44000 strings, and every parse empties it first anyway.
    static ProgramPool pool, again;
    static CFavoritenDat banks, againBanks;
    const ListReadResult read = ParseListText(repaired, pool, banks);
    Require(read.ok, "a list text always parses");
    Require(read.programLines + read.droppedLines >= ProgramLinesAfterTheHeader(text),
            "the repair keeps every program line");

    const int listType = ListTypeFromText(analysis.type);
    const std::string written = BuildListFileText(listType, analysis.description, pool, banks);

    ParseListText(written, again, againBanks);
    Require(SamePool(pool, again), "a written list reads back to the same pool");
    Require(SameBanks(banks, againBanks), "a written list reads back to the same banks");
    Require(BuildListFileText(listType, analysis.description, again, againBanks) == written,
            "writing a list read back gives the same bytes");

    // What the program writes must never look damaged to its own repair.
    const ListAnalysis ofWritten = AnalyseListText(written);
    Require(ofWritten.isList && !ofWritten.repair, "a written list needs no repair");
    Require(ofWritten.type == ListTypeText(listType), "a written list keeps its type");
    return 0;
}
