#include "core/lists/ListFile.h"

#include "core/lists/FavoritenDat.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FileLock.h"
#include "core/util/TextUtil.h"
#include "core/util/UserInteraction.h"

#include <algorithm>
#include <sys/stat.h>

namespace fw {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeaderMark = "HEADER:";
// Some editors put it before the header; it is no part of it.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Only blanks: a program line without CA begins with a TAB, and removing it would shift
// every field and cost the line its place as a program.
std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string_view> SplitAtTabs(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = text.find('\t');
        fields.push_back(text.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        text.remove_prefix(tab + 1);
    }
}

bool IsProgramLine(std::string_view line) {
    std::string copy(line);
    return SanitizeProgramLine(copy) == 1;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// A program line as the receiver can take it: a CR right before the line end (left by a double
// conversion to CR LF) goes, any other CR would end the line on the wire early and becomes a blank.
bool RepairCarriageReturns(std::string& line) {
    if (line.find('\r') == std::string::npos)
        return false;
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::replace(line.begin(), line.end(), '\r', ' ');
    return true;
}

struct BodyRepair {
    int crLines = 0;
    int droppedBankEntries = 0;
};

// The program lines and the bank block behind the two head lines. Counts what the repair would
// change and, with out given, appends the repaired text; each line keeps its own line end, a bank
// block that loses entries is written anew.
BodyRepair RepairBody(std::string_view body, std::string* out) {
    BodyRepair repair;
    while (!body.empty()) {
        const std::size_t lf = body.find('\n');
        const std::size_t end = lf == std::string_view::npos ? body.size() : lf + 1;
        const std::string_view raw = body.substr(0, end);
        if (raw.starts_with(kBankBlockMark)) {
            const std::vector<std::string_view> lines = SplitTextModeLines(body);
            CFavoritenDat banks;
            repair.droppedBankEntries = banks.ReadBlock(lines, true);
            if (out != nullptr && repair.droppedBankEntries > 0)
                banks.WriteBlock(*out);
            else if (out != nullptr)
                *out += body;
            return repair;
        }
        std::string_view lineEnd = raw.substr(lf == std::string_view::npos ? raw.size() : lf);
        std::string_view content = raw.substr(0, raw.size() - lineEnd.size());
        if (!lineEnd.empty() && content.ends_with('\r')) {
            content.remove_suffix(1);
            lineEnd = raw.substr(content.size());
        }
        if (out == nullptr) {
            // Counting only: every line of a large list is looked at on each catalogue refresh.
            if (content.find('\r') != std::string_view::npos)
                ++repair.crLines;
        } else {
            std::string line(content);
            if (RepairCarriageReturns(line))
                ++repair.crLines;
            *out += line;
            *out += lineEnd;
        }
        body.remove_prefix(end);
    }
    return repair;
}

ListWriteResult Stopped(ListWriteResult result, ListWriteStatus status) {
    result.status = status;
    return result;
}

// "NAME-2.lst", "NAME-3.lst", ...: the first that is not in the folder.
std::string FreeListFileName(const std::string& folder, const std::string& fileName) {
    const std::string stem = fileName.substr(0, fileName.size() - 4);
    for (int number = 2;; ++number) {
        std::string name = stem + "-" + std::to_string(number) + fileName.substr(stem.size());
        if (!FileExists(folder + "/" + name))
            return name;
    }
}

// Whether the file that was opened may be replaced: it is as it was read, it is gone, or the user
// chose to overwrite another program's change.
bool MayReplaceOpenedFile(const std::string& folder, const FileStamp& opened,
                          ListWriteResult& result, UserInteraction& ui) {
    const std::optional<FileStamp> now = StampOfFile(result.path);
    if (!FileExists(result.path) || (now && *now == opened))
        return true;
    Question question{FormatText(LoadResString(str::kListChangedOnDisk), {result.path}),
                      MessageIcon::Warning, AnswerSet::YesNoCancel, Answer::Cancel};
    question.yesText = LoadResString(str::kButtonOverwrite);
    question.noText = LoadResString(str::kButtonSaveUnderOtherName);
    question.cancelText = LoadResString(str::kButtonBack);
    switch (ui.Ask(question)) {
    case Answer::Yes:
        return true;
    case Answer::No:
        result.fileName = FreeListFileName(folder, result.fileName);
        result.status = ListWriteStatus::OtherNameWanted;
        return false;
    case Answer::Cancel:
        break;
    }
    result.status = ListWriteStatus::ChangedOnDisk;
    return false;
}

} // namespace

std::vector<std::string_view> SplitTextModeLines(std::string_view data) {
    std::vector<std::string_view> lines;
    while (!data.empty()) {
        const std::size_t lf = data.find('\n');
        if (lf == std::string_view::npos) {
            lines.push_back(data);
            break;
        }
        std::string_view line = data.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        data.remove_prefix(lf + 1);
    }
    return lines;
}

std::string CompleteListFileName(std::string_view name) {
    std::string completed(name);
    if (!EndsWithNoCase(name, ".lst"))
        completed += ".lst";
    return completed;
}

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F;
    });
}

std::string ListFileHead(std::string_view typeText, std::string_view description) {
    const std::string singleLine = SingleLineText(description);
    std::string_view text = Trim(singleLine);
    if (text.empty())
        text = kTypeTextUnknown;
    std::string head(kHeaderMark);
    head += '\t';
    head += typeText;
    head += '\t';
    head += text;
    head += kLineEnd;
    head += LoadResString(str::kListColumnTitles);
    head += kLineEnd;
    return head;
}

namespace {

// Whether a program line holds text the pool drops: anything but white space past its
// eleventh field (the old program ended its lines with a TAB).
bool HasTextPastLastField(std::string_view line) {
    std::size_t tab = 0;
    for (int field = 0; field < kFieldCount; ++field) {
        tab = line.find('\t', tab);
        if (tab == std::string_view::npos)
            return false;
        ++tab;
    }
    return line.find_first_not_of("\t ", tab) != std::string_view::npos;
}

} // namespace

ListReadResult ParseListText(std::string_view data, ProgramPool& pool, CFavoritenDat& banks) {
    ListReadResult result;
    pool.Clear();
    banks.Clear();
    const std::vector<std::string_view> lines = SplitTextModeLines(data);
    std::size_t next = std::min<std::size_t>(2, lines.size()); // header and column titles
    for (; next < lines.size() && !lines[next].starts_with(kBankBlockMark); ++next) {
        if (result.programLines >= ProgramPool::RowCount()) {
            // An empty place past the last one holds nothing that could be lost.
            if (lines[next].find_first_not_of("\t ") == std::string_view::npos)
                ++result.extraLines;
            else
                ++result.droppedLines;
            continue;
        }
        if (HasTextPastLastField(lines[next]))
            ++result.longLines;
        std::string line(lines[next]);
        if (SanitizeProgramLine(line) == 0)
            ++result.repairedLines;
        pool.SetRowFromLine(result.programLines++, line);
    }
    if (next < lines.size())
        banks.ReadBlock(std::span(lines).subspan(next + 1), false);
    result.ok = true;
    return result;
}

ListReadResult ReadListFile(const std::string& path, ProgramPool& pool, CFavoritenDat& banks,
                            UserInteraction& ui) {
    std::string data, reason;
    if (!ReadWholeFile(path, data, reason)) {
        pool.Clear();
        banks.Clear();
        ui.ShowMessage(FormatText(LoadResString(str::kFileNotFound), {path}), MessageIcon::Stop);
        return {};
    }
    return ParseListText(data, pool, banks);
}

std::optional<RepairedList> ParseRepairedList(std::string_view data, ProgramPool& pool,
                                              CFavoritenDat& banks) {
    ListAnalysis analysis = AnalyseListText(data);
    if (!analysis.isList)
        return std::nullopt;
    const ListReadResult read = ParseListText(analysis.RepairedText(data), pool, banks);
    return RepairedList{std::move(analysis), read};
}

std::string BuildListFileText(int listType, std::string_view description, const ProgramPool& pool,
                              const CFavoritenDat& banks) {
    std::string text = ListFileHead(ListTypeText(listType), description);
    const int lastRow = pool.LastUsedRow();
    for (int row = 0; row <= lastRow; ++row) {
        text += pool.LineOfRow(row);
        text += kLineEnd;
    }
    banks.WriteBlock(text);
    return text;
}

std::string BuildReceivedListText(std::string_view typeText, std::string_view description,
                                  const std::vector<std::string>& programLines,
                                  const CFavoritenDat& banks) {
    std::string text = ListFileHead(typeText, description);
    for (const std::string& line : programLines) {
        text += line;
        text += kLineEnd;
    }
    banks.WriteBlock(text);
    return text;
}

ListWriteResult WriteListFile(const std::string& folder, std::string_view fileName,
                              std::string_view openedFileName, std::string_view description,
                              int listType, const ProgramPool& pool, const CFavoritenDat& banks,
                              UserInteraction& ui, const FileStamp* openedStamp) {
    ListWriteResult result;
    result.fileName = CompleteListFileName(fileName);
    result.listType = listType;
    if (!IsPlainFileName(result.fileName)) {
        result.message = FormatText(LoadResString(str::kInvalidFileName), {result.fileName});
        return Stopped(std::move(result), ListWriteStatus::InvalidName);
    }
    result.path = folder + "/" + result.fileName;

    if (result.fileName != openedFileName && FileExists(result.path) &&
        !ui.AskYesNo(FormatText(LoadResString(str::kFileExists), {result.path}),
                     MessageIcon::Warning))
        return Stopped(std::move(result), ListWriteStatus::ReplaceDeclined);

    if (listType != kListRadio && listType != kListTv) {
        const ListTypeChoice choice = ui.AskRadioOrTv();
        if (choice == ListTypeChoice::Cancelled)
            return Stopped(std::move(result), ListWriteStatus::TypeCancelled);
        result.listType = choice == ListTypeChoice::Tv ? kListTv : kListRadio;
    }

    const int incomplete = FindIncompleteRow(pool, result.listType);
    if (incomplete >= 0 &&
        !ui.AskYesNo(LoadResString(str::kIncompleteProgram), MessageIcon::Question)) {
        result.incompleteRow = incomplete;
        return Stopped(std::move(result), ListWriteStatus::IncompleteRow);
    }

    // Held from the check on: an edit by another process cannot slip in before the write.
    FileLock lock;
    if (!lock.Acquire(result.path, result.message))
        return Stopped(std::move(result), ListWriteStatus::WriteFailed);
    if (openedStamp != nullptr && result.fileName == openedFileName &&
        !MayReplaceOpenedFile(folder, *openedStamp, result, ui))
        return result;
    const std::string text = BuildListFileText(result.listType, description, pool, banks);
    if (!WriteFileAtomically(result.path, text, result.message))
        return Stopped(std::move(result), ListWriteStatus::WriteFailed);
    result.status = ListWriteStatus::Written;
    return result;
}

bool RewriteFile(const std::string& path, std::string_view header, std::string_view data,
                 std::string& reason) {
    std::string text;
    text.reserve(header.size() + data.size());
    text += header;
    text += data;
    return WriteFileAtomically(path, text, reason);
}

ListAnalysis AnalyseListText(std::string_view data) {
    ListAnalysis analysis;
    const std::size_t bom = data.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    const std::string_view all = data.substr(bom);
    if (all.find(kLineEnd) == std::string_view::npos)
        return analysis;
    // The repair writes the header anew without the mark.
    analysis.repair = bom > 0;
    // The two lines end where the reader ends them (at LF, see SplitTextModeLines): ended at
    // CR LF only, a first line with lone LFs would swallow the programs behind them, and the
    // rewritten header would drop them. The second line may lack its end and be a program.
    const std::size_t firstEnd = all.find('\n');
    const std::size_t secondStart = firstEnd + 1;
    const std::size_t secondEnd = all.find('\n', secondStart);
    const std::size_t afterSecond =
        secondEnd == std::string_view::npos ? all.size() : secondEnd + 1;
    const std::vector<std::string_view> lines = SplitTextModeLines(all.substr(0, afterSecond));
    const std::string_view line1 = TrimBlanks(lines[0]);
    const std::string_view line2 = TrimBlanks(lines.size() > 1 ? lines[1] : std::string_view{});
    const std::string titles = LoadResString(str::kListColumnTitles);

    analysis.isList = true;
    analysis.type = kTypeTextUnknown;
    analysis.description = kTypeTextUnknown;
    analysis.shownDescription = kTypeTextUnknown;
    if (IsProgramLine(line1)) {
        analysis.repair = true; // no header at all: every line is a program
    } else {
        analysis.dataStart = secondStart;
        if (line1.starts_with(kHeaderMark)) {
            const std::vector<std::string_view> fields =
                SplitAtTabs(line1.substr(std::min(line1.size(), kHeaderMark.size() + 1)));
            if (ListTypeFromText(fields[0]) != kListUnknown || fields[0] == kTypeTextUnknown)
                analysis.type = fields[0];
            else
                analysis.repair = true;
            if (fields.size() > 1 && !fields[1].empty()) {
                analysis.description = analysis.shownDescription = fields[1];
            } else {
                analysis.shownDescription = LoadResString(str::kNotDefined);
                analysis.repair = true;
            }
        } else {
            analysis.repair = true; // a title line of another program, or anything else
        }
        if (!IsProgramLine(line2))
            analysis.dataStart = afterSecond;
    }
    if (line2 != titles)
        analysis.repair = true;
    if (analysis.repair)
        analysis.header = std::string(kHeaderMark) + '\t' + analysis.type + '\t' +
                          analysis.description + std::string(kLineEnd) + titles +
                          std::string(kLineEnd);
    const BodyRepair body = RepairBody(all.substr(analysis.dataStart), nullptr);
    analysis.droppedBankEntries = body.droppedBankEntries;
    if (body.crLines > 0 || body.droppedBankEntries > 0)
        analysis.repair = true;
    analysis.dataStart += bom;
    return analysis;
}

std::string ListAnalysis::RepairedText(std::string_view data) const {
    if (!repair)
        return std::string(data);
    std::string text = header.empty() ? std::string(data.substr(0, dataStart)) : header;
    RepairBody(data.substr(dataStart), &text);
    return text;
}

std::string ListAnalysis::HeadRepairedText(std::string_view data) const {
    if (header.empty())
        return std::string(data);
    return header + std::string(data.substr(dataStart));
}

NormalizeResult NormalizeListFile(const std::string& path, UnwritableRepair unwritable) {
    NormalizeResult result;
    std::string data;
    if (!ReadWholeFile(path, data, result.reason))
        return result;
    const ListAnalysis analysis = AnalyseListText(data);
    if (!analysis.isList) {
        result.status = NormalizeStatus::NotAList;
        return result;
    }
    std::size_t size = data.size();
    if (analysis.repair) {
        const std::string repaired = analysis.RepairedText(data);
        size = repaired.size();
        const bool listOnly = unwritable == UnwritableRepair::ListRepaired;
        struct stat info {};
        // Replacing a link by a plain file would cut it off from what the user set up.
        if (listOnly && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            result.reason = LoadResString(str::kListIsSymlink);
            result.record.m_unrepairedOnDisk = true;
        } else if (WriteFileAtomically(path, repaired, result.reason)) {
            result.changed = true;
        } else if (listOnly) {
            result.record.m_unrepairedOnDisk = true;
        } else {
            return result;
        }
    }
    result.record.Fill({analysis.type, analysis.shownDescription, path, FileNameOfPath(path),
                        std::to_string(size)});
    result.status = NormalizeStatus::Registered;
    return result;
}

SetTypeResult SetListFileType(const std::string& path, std::string_view typeText,
                              std::string& reason) {
    if (ListTypeFromText(typeText) == kListUnknown)
        return SetTypeResult::Untouched;
    std::string data;
    if (!ReadWholeFile(path, data, reason))
        return SetTypeResult::ReadFailed;
    if (data.starts_with(kUtf8Bom))
        data.erase(0, kUtf8Bom.size());
    // The first line ends where the reader ends it; ended at the first CR LF, a header with a
    // lone LF would take the program lines before that CR LF with it.
    const std::size_t lf = data.find('\n');
    if (data.find(kLineEnd) == std::string::npos || lf == std::string::npos)
        return SetTypeResult::Untouched;
    const std::string_view firstLine =
        SplitTextModeLines(std::string_view(data).substr(0, lf + 1)).front();
    // A first line that is a program (a file whose repair could not be written) keeps its fields.
    const std::vector<std::string_view> fields = SplitAtTabs(firstLine);
    if (!firstLine.starts_with(kHeaderMark) || fields.size() <= 2)
        return SetTypeResult::Untouched;
    const std::string header = std::string(fields[0]) + '\t' + std::string(typeText) + '\t' +
                               std::string(fields[2]) + std::string(kLineEnd);
    if (!RewriteFile(path, header, std::string_view(data).substr(lf + 1), reason))
        return SetTypeResult::WriteFailed;
    return SetTypeResult::Done;
}

} // namespace fw
