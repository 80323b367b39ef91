// Editing a program list: one command of the editor per call, the file rewritten only when the
// command changed the list. A batch runs many of them on one loaded list.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ListEditSession.h"

#include "core/editor/BankCommands.h"
#include "core/editor/CsvList.h"
#include "core/editor/Duplicates.h"
#include "core/editor/EditHistory.h"
#include "core/editor/ListDiff.h"
#include "core/editor/ListDocument.h"
#include "core/editor/OrderLike.h"
#include "core/editor/PoolCommands.h"
#include "core/editor/RowsPastEnd.h"
#include "core/editor/SortCommands.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileIo.h"
#include "core/util/FileLock.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <utility>

namespace fw::cli {

const std::vector<OptionSpec> kListEditOptions = {
    {"--all", false},
    {"--count", true},
    {"--to", true},
    {"--insert", false},
    {"--at", true},
    {"--after", true},
    {"--value", true},
    {"--by", true},
    {"--rows", true},
    {"--up", false},
    {"--descending", false},
    {"--down", false},
    // list batch
    {"--script", true},
    {"--keep-going", false},
    {"--keep", true},
    {"--separator", true},
    {"--bom", false},
    {"--replace", false},
    {"--like", true},
    {"--rest", true},
};

namespace {

constexpr int kLastRow = kPoolRows - 1;

// What one call works on, and what it tells.
struct EditCall {
    const Arguments& arguments;
    std::ostream& out;
    std::ostream& err;
    ListDocument& doc;
    EditHistory& history; // tells whether the command changed anything
};

struct EditWord {
    std::string name;
    std::size_t words; // with "list", the word itself and the file
    std::vector<std::string> options;
    bool changesList;
    int (*run)(EditCall& call);
};

int Usage(EditCall& call, const std::string& message) {
    return UsageError(call.err, message, str::kCliListUsage);
}

void RefuseNumber(EditCall& call, const std::string& what, std::string_view text, int low,
                  int high) {
    Usage(call, FormatText(LoadResString(str::kCliNumberOutOfRange),
                           {what, std::string(text), std::to_string(low), std::to_string(high)}));
}

// A number within [low, high]; told as bad usage when there is none.
std::optional<int> Number(EditCall& call, const std::string& what, std::string_view text, int low,
                          int high) {
    const std::optional<int> value = NumberInRange(text, low, high);
    if (!value)
        RefuseNumber(call, what, text, low, high);
    return value;
}

// "4,7,10-12": numbers and inclusive ranges, in any order, repeats allowed.
std::optional<std::vector<int>> NumberList(EditCall& call, const std::string& what,
                                           std::string_view text, int low, int high) {
    auto items = ParseNumberList(text, low, high);
    if (!items)
        RefuseNumber(call, what, text, low, high);
    return items;
}

std::optional<int> OptionNumber(EditCall& call, const std::string& option, int low, int high,
                                int fallback) {
    if (!call.arguments.Has(option))
        return fallback;
    return Number(call, option, call.arguments.Value(option), low, high);
}

std::optional<int> RequiredOptionNumber(EditCall& call, const std::string& option, int low,
                                        int high) {
    if (!call.arguments.Has(option)) {
        Usage(call, FormatText(LoadResString(str::kCliMissingOption), {option}));
        return std::nullopt;
    }
    return Number(call, option, call.arguments.Value(option), low, high);
}

// Text from the terminal as the file stores it; characters the code page lacks are refused.
std::optional<std::string> FileText(EditCall& call, const std::string& what,
                                    std::string_view utf8) {
    bool lossless = true;
    std::string text = Utf8ToCp1252(utf8, &lossless);
    if (lossless)
        return text;
    Usage(call, FormatText(LoadResString(str::kCliNotEncodable), {what}));
    return std::nullopt;
}

// Runs the command as the editor does, one undo step; a refusal is told and exits 1, keeping
// what the command did before it stopped.
int Apply(EditCall& call, const std::function<EditResult(ListDocument&)>& command) {
    const EditResult result = call.history.Run(call.doc, command);
    switch (result.status) {
    case EditStatus::Done:
    case EditStatus::NothingToDo:
        return kExitOk;
    case EditStatus::TargetInCut:
        call.err << LoadResString(str::kCliTargetInMoved) << '\n';
        return kExitFailed;
    case EditStatus::IncompleteProgram:
        call.err << LoadResString(result.messageId) << '\n'
                 << FormatText(LoadResString(str::kCliIncompletePlace),
                               {std::to_string(result.row)})
                 << '\n';
        return kExitFailed;
    default:
        call.err << (result.message.empty() ? LoadResString(result.messageId) : result.message)
                 << '\n';
        return kExitFailed;
    }
}

const std::string& Word(const EditCall& call, std::size_t index) {
    return call.arguments.words[index];
}

int Rows(EditCall& call) {
    const bool all = call.arguments.Has("--all");
    for (int row = 0; row < kPoolRows; ++row) {
        if (!all && call.doc.pool.IsRowEmpty(row))
            continue;
        call.out << row;
        for (const std::string& cell : call.doc.pool.Row(row))
            call.out << '\t' << ShownText(cell, false);
        call.out << '\n';
    }
    return kExitOk;
}

int Set(EditCall& call) {
    // The value may come as --value, for one that starts with "-".
    if ((call.arguments.words.size() == 6) == call.arguments.Has("--value"))
        return Usage(call, LoadResString(str::kCliWrongWordCount));
    const auto row = Number(call, "ROW", Word(call, 3), 0, kLastRow);
    if (!row)
        return kExitUsage;
    const auto column = Number(call, "COLUMN", Word(call, 4), 1, kFieldCount);
    if (!column)
        return kExitUsage;
    const auto value =
        FileText(call, "VALUE",
                 call.arguments.Has("--value") ? call.arguments.Value("--value") : Word(call, 5));
    if (!value)
        return kExitUsage;
    return Apply(call, [&](ListDocument& doc) { return EditCell(doc, *row, *column, *value); });
}

// Programs the edit would push or write past the last place are lost only with --force.
bool RefusesLoss(EditCall& call, const RowsPastEnd& lost) {
    if (lost.programs == 0 || call.arguments.Has("--force"))
        return false;
    call.err << RowsPastEndText(lost) << ' ' << LoadResString(str::kCliForceDoesItAnyway) << '\n';
    return true;
}

int Insert(EditCall& call) {
    const auto row = Number(call, "ROW", Word(call, 3), 0, kLastRow);
    const auto count = row ? OptionNumber(call, "--count", 1, kPoolRows, 1) : std::nullopt;
    if (!count)
        return kExitUsage;
    if (RefusesLoss(call, RowsPastEndOfInsert(call.doc, *row, *count)))
        return kExitFailed;
    return Apply(call, [&](ListDocument& doc) { return InsertEmptyRows(doc, *row, *count); });
}

std::optional<std::vector<int>> RowsWord(EditCall& call) {
    return NumberList(call, "ROWS", Word(call, 3), 0, kLastRow);
}

int Clear(EditCall& call) {
    const auto rows = RowsWord(call);
    if (!rows)
        return kExitUsage;
    return Apply(call, [&](ListDocument& doc) { return ClearRows(doc, *rows); });
}

int Delete(EditCall& call) {
    const auto rows = RowsWord(call);
    if (!rows)
        return kExitUsage;
    return Apply(call, [&](ListDocument& doc) { return DeleteRows(doc, *rows); });
}

// To a place with --to, or one place with --up or --down.
int Move(EditCall& call) {
    const bool up = call.arguments.Has("--up");
    const bool down = call.arguments.Has("--down");
    if (static_cast<int>(up) + static_cast<int>(down) +
            static_cast<int>(call.arguments.Has("--to")) !=
        1)
        return Usage(call, LoadResString(str::kCliMoveDirection));
    const auto rows = RowsWord(call);
    if (!rows)
        return kExitUsage;
    if (up || down)
        return Apply(call,
                     [&](ListDocument& doc) { return MoveRowsOnePlace(doc, *rows, up ? -1 : 1); });
    const auto target = RequiredOptionNumber(call, "--to", 0, kLastRow);
    if (!target)
        return kExitUsage;
    return Apply(
        call, [&](ListDocument& doc) { return PasteInserting(doc, *target, CutRows(doc, *rows)); });
}

int Sort(EditCall& call) {
    static const std::vector<std::pair<std::string, SortKey>> kKeys = {
        {"name", SortKey::Name},
        {"frequency", SortKey::Frequency},
        {"satellite", SortKey::Satellite},
        {"sid", SortKey::Sid},
    };
    if (!call.arguments.Has("--by"))
        return Usage(call, FormatText(LoadResString(str::kCliMissingOption), {"--by"}));
    const std::string& by = call.arguments.Value("--by");
    const auto key = std::find_if(kKeys.begin(), kKeys.end(),
                                  [&](const auto& entry) { return entry.first == by; });
    if (key == kKeys.end())
        return UnknownWord(call.err, by, "name|frequency|satellite|sid", str::kCliListUsage);
    int first = 0;
    int last = kLastRow;
    if (call.arguments.Has("--rows")) {
        // One range A-B (or a single place); a reversed one is refused.
        const std::string& text = call.arguments.Value("--rows");
        const auto rows =
            text.find(',') == std::string::npos ? ParseNumberList(text, 0, kLastRow) : std::nullopt;
        if (!rows) {
            RefuseNumber(call, "--rows", text, 0, kLastRow);
            return kExitUsage;
        }
        first = rows->front();
        last = rows->back();
    }
    const bool descending = call.arguments.Has("--descending");
    return Apply(call, [&](ListDocument& doc) {
        return SortRows(doc, first, last, key->second, descending);
    });
}

int Copy(EditCall& call) {
    const auto rows = RowsWord(call);
    const auto target = rows ? RequiredOptionNumber(call, "--to", 0, kLastRow) : std::nullopt;
    if (!target)
        return kExitUsage;
    const bool inserting = call.arguments.Has("--insert");
    const std::string text = CopyRows(call.doc, *rows);
    if (RefusesLoss(call, RowsPastEndOfPaste(call.doc, *target, text, inserting)))
        return kExitFailed;
    return Apply(call, [&](ListDocument& doc) {
        return inserting ? PasteInserting(doc, *target, text)
                         : PasteOverwriting(doc, *target, text);
    });
}

// The entries of a bank, which must hold at least one.
std::optional<std::vector<int>> Positions(EditCall& call, int bank) {
    const int count = call.doc.banks.GetCount(bank);
    if (count == 0) {
        Usage(call, FormatText(LoadResString(str::kCliBankEmpty), {std::to_string(bank)}));
        return std::nullopt;
    }
    return NumberList(call, "POSITIONS", Word(call, 5), 0, count - 1);
}

// Where new entries go: before the entry at --at, or at the end (the bank list's empty last row).
std::optional<int> InsertPosition(EditCall& call, int bank) {
    return OptionNumber(call, "--at", 0, call.doc.banks.GetCount(bank), -1);
}

int BankAdd(EditCall& call, int bank) {
    const auto rows = NumberList(call, "ROWS", Word(call, 5), 0, kLastRow);
    const auto position = rows ? InsertPosition(call, bank) : std::nullopt;
    if (!position)
        return kExitUsage;
    return Apply(call, [&](ListDocument& doc) { return AddToBank(doc, *rows, bank, *position); });
}

int BankDelete(EditCall& call, int bank) {
    const auto positions = Positions(call, bank);
    if (!positions)
        return kExitUsage;
    return Apply(call, [&](ListDocument& doc) { return DeleteBankEntries(doc, bank, *positions); });
}

int BankMove(EditCall& call, int bank) {
    const auto positions = Positions(call, bank);
    const auto target =
        positions ? RequiredOptionNumber(call, "--to", 0, kBankCount - 1) : std::nullopt;
    const auto position = target ? InsertPosition(call, *target) : std::nullopt;
    if (!position)
        return kExitUsage;
    return Apply(call, [&](ListDocument& doc) {
        const std::string text = CutBankEntries(doc, bank, *positions);
        // The paste would put entries cut before themselves at the end instead.
        if (*target == bank && doc.bankCut && doc.bankCut->Contains(*position))
            return MakeResult(EditStatus::TargetInCut, 0, str::kStepMoveBankEntries);
        return PasteBankEntries(doc, *target, *position, text);
    });
}

int Bank(EditCall& call) {
    const auto bank = Number(call, "BANK", Word(call, 3), 0, kBankCount - 1);
    if (!bank)
        return kExitUsage;
    const std::string& action = Word(call, 4);
    // --to and --at belong to some actions only.
    const bool moving = action == "move";
    if (call.arguments.Has("--to") && !moving)
        return Usage(call, FormatText(LoadResString(str::kUnknownOption), {"--to"}));
    if (call.arguments.Has("--at") && action == "delete")
        return Usage(call, FormatText(LoadResString(str::kUnknownOption), {"--at"}));
    if (action == "add")
        return BankAdd(call, *bank);
    if (action == "delete")
        return BankDelete(call, *bank);
    if (moving)
        return BankMove(call, *bank);
    return UnknownWord(call.err, action, "add|delete|move", str::kCliListUsage);
}

int Find(EditCall& call) {
    const auto after = OptionNumber(call, "--after", 0, kLastRow, -1);
    const auto text = after ? FileText(call, "TEXT", Word(call, 3)) : std::nullopt;
    if (!text)
        return kExitUsage;
    if (text->empty())
        return Usage(call, LoadResString(str::kCliEmptySearchText));
    const EditResult found = SearchPool(call.doc, *text, *after);
    if (found.status != EditStatus::Done) {
        call.err << LoadResString(found.messageId) << '\n';
        return kExitFailed;
    }
    call.out << found.row << '\n';
    return kExitOk;
}

// --by of duplicates and dedupe: the full matching rule unless "name".
std::optional<MatchRule> DuplicateRule(EditCall& call) {
    const std::string by = call.arguments.Has("--by") ? call.arguments.Value("--by") : "match";
    if (by == "match")
        return MatchRule::Program;
    if (by == "name")
        return MatchRule::Name;
    UnknownWord(call.err, by, "match|name", str::kCliListUsage);
    return std::nullopt;
}

int Duplicates(EditCall& call) {
    const auto rule = DuplicateRule(call);
    if (!rule)
        return kExitUsage;
    const std::vector<DuplicateGroup> groups = FindDuplicates(call.doc.pool, *rule);
    for (std::size_t index = 0; index < groups.size(); ++index) {
        call.out << DuplicateGroupTitle(groups[index], static_cast<int>(index) + 1) << '\n';
        for (int place : groups[index])
            call.out << "  " << place << '\t'
                     << ShownText(call.doc.pool.Cell(place, kFieldName), false) << '\n';
    }
    call.out << DuplicatesSummary(groups) << '\n';
    return kExitOk;
}

int Dedupe(EditCall& call) {
    const auto rule = DuplicateRule(call);
    if (!rule)
        return kExitUsage;
    const std::string keepWord =
        call.arguments.Has("--keep") ? call.arguments.Value("--keep") : "first";
    if (keepWord != "first" && keepWord != "banked")
        return UnknownWord(call.err, keepWord, "first|banked", str::kCliListUsage);
    const DuplicateKeep keep = keepWord == "banked" ? DuplicateKeep::Banked : DuplicateKeep::First;
    int removed = 0;
    const int code = Apply(
        call, [&](ListDocument& doc) { return RemoveDuplicates(doc, *rule, keep, &removed); });
    call.out << DuplicatesRemovedText(removed) << '\n';
    return code;
}

// The list as a spreadsheet file; an existing file is replaced only with --force, and never
// when it is anything but a regular file.
int Export(EditCall& call) {
    const std::string& out = Word(call, 3);
    CsvExportOptions options;
    options.language = CurrentLanguage();
    options.bom = call.arguments.Has("--bom");
    if (call.arguments.Has("--separator")) {
        const std::string separator = call.arguments.Value("--separator");
        if (separator != "," && separator != ";")
            return Usage(call, LoadResString(str::kCliCsvBadSeparator));
        options.separator = separator.front();
    }
    // --force replaces an old export, never the list it was made from.
    if (NamesSameFile(out, Word(call, 2)))
        return BadFile(call.err, str::kCliCsvIsTheList, out);
    std::error_code error;
    const auto status = std::filesystem::status(out, error);
    if (std::filesystem::exists(status)) {
        if (!std::filesystem::is_regular_file(status))
            return BadFile(call.err, str::kCliCsvNotRegular, out);
        if (!call.arguments.Has("--force"))
            return BadFile(call.err, str::kCliCsvExists, out);
    }
    std::string reason;
    if (!WriteFileAtomically(out, BuildCsvText(call.doc.pool, call.doc.banks, options), reason))
        return BadFile(call.err, str::kCsvWriteFailed, reason);
    int programs = 0;
    for (int row = 0; row < kPoolRows; ++row)
        programs += call.doc.pool.IsRowEmpty(row) ? 0 : 1;
    call.out << FormatText(LoadResString(str::kCsvExported), {std::to_string(programs), out})
             << '\n';
    return kExitOk;
}

// A spreadsheet file into the list, one undo step; the report on stdout. What was taken stays
// even when something was refused.
int Import(EditCall& call) {
    const std::string& in = Word(call, 3);
    const std::optional<std::string> data = ReadInputFile(in, call.err);
    if (!data)
        return kExitBadFile;
    const CsvTable table = ReadCsvTable(*data);
    if (!table.ok) {
        call.err << in << ": " << table.error << '\n';
        return kExitBadFile;
    }
    CsvImportReport report;
    const bool replace = call.arguments.Has("--replace");
    call.history.Run(call.doc,
                     [&](ListDocument& doc) { return ImportCsv(doc, table, replace, report); });
    call.out << CsvReportText(table, report);
    return report.AllTaken() ? kExitOk : kExitFailed;
}

// Compares the list (A) with a second one (B): one line per difference, exit 1 when a place or
// a bank differs. Reads both files and writes nothing.
int Diff(EditCall& call) {
    const std::string& path = Word(call, 3);
    if (!EndsWithNoCase(path, ".lst"))
        return BadFile(call.err, str::kCliNotAList, path);
    const std::optional<std::string> data = ReadInputFile(path, call.err);
    if (!data)
        return kExitBadFile;
    ListDocument other;
    const auto list = ParseRepairedList(*data, other.pool, other.banks);
    if (!list)
        return BadFile(call.err, str::kCliWrongFormat, path);
    other.description = list->analysis.description;
    other.listType = ListTypeFromText(list->analysis.type);
    const std::vector<DiffLine> lines =
        DiffLines(CompareListDocuments(call.doc, other), call.doc, other,
                  [](std::string_view bytes) { return ShownText(bytes, false); });
    for (const DiffLine& line : lines)
        call.out << line.text << '\n';
    return AnyCountingLine(lines) ? kExitFailed : kExitOk;
}

// Into the order of the reference list; the report goes to standard output.
int Order(EditCall& call) {
    if (!call.arguments.Has("--like"))
        return Usage(call, FormatText(LoadResString(str::kCliMissingOption), {"--like"}));
    RestPlacement rest = RestPlacement::End;
    if (call.arguments.Has("--rest")) {
        const std::string value = call.arguments.Value("--rest");
        if (value == "keep")
            rest = RestPlacement::Keep;
        else if (value != "end")
            return UnknownWord(call.err, value, "end|keep", str::kCliListUsage);
    }
    std::string error;
    const std::optional<ReferenceList> reference =
        ReadReferenceList(call.arguments.Value("--like"), error);
    if (!reference) {
        call.err << error << '\n';
        return kExitBadFile;
    }
    OrderLikeReport report;
    const int code = Apply(call, [&](ListDocument& doc) {
        return OrderLike(doc, reference->pool, reference->banks, rest, report);
    });
    if (code == kExitOk)
        call.out << OrderLikeReportText(report);
    return code;
}

const std::vector<EditWord>& EditWords() {
    static const std::vector<EditWord> words = {
        {"rows", 3, {"--all"}, false, Rows},
        {"set", 6, {"--value", "--force"}, true, Set},
        {"insert", 4, {"--count", "--force"}, true, Insert},
        {"clear", 4, {"--force"}, true, Clear},
        {"delete", 4, {"--force"}, true, Delete},
        {"move", 4, {"--to", "--up", "--down", "--force"}, true, Move},
        {"sort", 3, {"--by", "--rows", "--descending", "--force"}, true, Sort},
        {"copy", 4, {"--to", "--insert", "--force"}, true, Copy},
        {"bank", 6, {"--to", "--at", "--force"}, true, Bank},
        {"find", 4, {"--after"}, false, Find},
        {"duplicates", 3, {"--by"}, false, Duplicates},
        {"dedupe", 3, {"--by", "--keep", "--force"}, true, Dedupe},
        {"export", 4, {"--force", "--separator", "--bom"}, false, Export},
        {"import", 4, {"--replace", "--force"}, true, Import},
        {"diff", 4, {}, false, Diff},
        {"order", 3, {"--like", "--rest", "--force"}, true, Order},
    };
    return words;
}

const EditWord* FindEditWord(const std::string& name) {
    const auto& words = EditWords();
    const auto found = std::find_if(words.begin(), words.end(),
                                    [&](const EditWord& word) { return word.name == name; });
    return found == words.end() ? nullptr : &*found;
}

} // namespace

int CheckListEditCall(const Arguments& arguments, std::ostream& err) {
    const EditWord* word = arguments.words.size() >= 2 ? FindEditWord(arguments.words[1]) : nullptr;
    if (!word)
        return UnknownWord(err, arguments.words.size() >= 2 ? arguments.words[1] : std::string(),
                           ListEditWords(), str::kCliListUsage);
    // Options of other words or of the transfers are refused rather than ignored.
    for (const auto& option : arguments.options) {
        const std::string& name = option.first;
        if (name != "--lang" &&
            std::find(word->options.begin(), word->options.end(), name) == word->options.end())
            return UsageError(err, FormatText(LoadResString(str::kUnknownOption), {name}),
                              str::kCliListUsage);
    }
    // set takes its value as a word or as --value.
    const std::size_t words = arguments.words.size();
    if (words != word->words && !(word->name == "set" && words == word->words - 1))
        return UsageError(err, LoadResString(str::kCliWrongWordCount), str::kCliListUsage);
    return kExitOk;
}

bool ListEditWordChanges(const std::string& name) {
    const EditWord* word = FindEditWord(name);
    return word && word->changesList;
}

int LoadListForEdit(ListEditSession& session, std::ostream& err) {
    const std::string& path = session.path;
    if (!EndsWithNoCase(path, ".lst"))
        return BadFile(err, str::kCliNotAList, path);
    const std::optional<std::string> data = ReadInputFile(path, err);
    if (!data)
        return kExitBadFile;
    const auto list = ParseRepairedList(*data, session.doc.pool, session.doc.banks);
    if (!list)
        return BadFile(err, str::kCliWrongFormat, path);
    session.savingLoses = list->read.droppedLines > 0 || list->read.longLines > 0;
    session.doc.description = list->analysis.description;
    session.doc.listType = ListTypeFromText(list->analysis.type);
    return kExitOk;
}

int RunListEditWord(const Arguments& arguments, ListEditSession& session, std::ostream& out,
                    std::ostream& err) {
    const EditWord& word = *FindEditWord(arguments.words[1]);
    if (word.changesList && session.savingLoses && !session.lossAccepted) {
        if (!arguments.Has("--force"))
            return BadFile(err, str::kCliListWouldLoseData, session.path);
        session.lossAccepted = true;
    }
    EditCall call{arguments, out, err, session.doc, session.history};
    return word.run(call);
}

int WriteEditedList(const ListEditSession& session, std::ostream& err) {
    const ListDocument& doc = session.doc;
    const std::string text = BuildListFileText(doc.listType, doc.description, doc.pool, doc.banks);
    std::string reason;
    if (!WriteFileAtomically(session.path, text, reason))
        return BadFile(err, str::kCliTargetNotWritable, session.path, reason);
    return kExitOk;
}

bool IsListEditWord(const std::string& word) {
    return FindEditWord(word) != nullptr;
}

std::string ListEditWords() {
    std::string names;
    for (const EditWord& word : EditWords())
        names += (names.empty() ? "" : "|") + word.name;
    return names;
}

int RunListEdit(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (const int checked = CheckListEditCall(arguments, err); checked != kExitOk)
        return checked;
    const bool changes = ListEditWordChanges(arguments.words[1]);
    ListEditSession session;
    session.path = arguments.words[2];
    // Read, change and write as one: a parallel edit of the same list waits instead of being lost.
    FileLock lock;
    std::string lockFailure;
    const bool locked = !changes || lock.Acquire(session.path, lockFailure);
    // A list that cannot be read says so rather than that its lock cannot be made.
    if (const int loaded = LoadListForEdit(session, err); loaded != kExitOk)
        return loaded;
    if (!locked)
        return BadFile(err, str::kCliTargetNotWritable, session.path, lockFailure);
    const int code = RunListEditWord(arguments, session, out, err);
    if (!changes || code == kExitUsage)
        return code;
    // Written only when the command changed the list.
    if (!session.history.CanUndo()) {
        out << "unchanged\n";
        return code;
    }
    if (const int written = WriteEditedList(session, err); written != kExitOk)
        return written;
    out << "changed\n";
    return code;
}

} // namespace fw::cli
