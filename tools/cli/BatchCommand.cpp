// list batch: many editing words run on one loaded list with one history, the file written once
// at the end. A word in a batch checks and tells exactly what it does in a call of its own.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ListEditSession.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FileLock.h"
#include "core/util/ShellWords.h"
#include "core/util/TextDecoding.h"

#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace fw::cli {
namespace {

// One command of the script, checked before the first one runs.
struct ScriptCommand {
    int line;            // counted from 1, comments and empty lines included
    Arguments arguments; // as a call of its own: "list", the word, the file, the rest
};

// The script's bytes, from --script FILE or from standard input ("-" or no --script).
std::optional<std::string> ReadScript(const Arguments& arguments, std::ostream& err) {
    const std::string source = arguments.Has("--script") ? arguments.Value("--script") : "-";
    if (source != "-")
        return ReadInputFile(source, err);
    std::string data;
    char buffer[1 << 16];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
        data.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
        if (data.size() > kTextFileLimit) {
            BadFile(err, str::kCliOpenFailed, source,
                    FormatText(LoadResString(str::kFileTooLarge),
                               {source, std::to_string(kTextFileLimit >> 20)}));
            return std::nullopt;
        }
    }
    if (std::cin.bad()) {
        BadFile(err, str::kCliOpenFailed, source, LoadResString(str::kCliBatchStdinUnreadable));
        return std::nullopt;
    }
    return data;
}

// What a word told about its line, with the line's number and without the list command's help,
// which would follow every bad line otherwise.
void TellLine(std::ostream& err, int line, std::string text) {
    const std::string help = "\n\n" + LoadResString(str::kCliListUsage);
    if (text.size() >= help.size() &&
        text.compare(text.size() - help.size(), help.size(), help) == 0)
        text.erase(text.size() - help.size());
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    err << FormatText(LoadResString(str::kCliBatchLine), {std::to_string(line), text}) << '\n';
}

int Malformed(std::ostream& err, int line, const std::string& text) {
    TellLine(err, line, text);
    err << LoadResString(str::kCliBatchNothingWritten) << '\n';
    return kExitUsage;
}

int SplitFailure(ShellWordsError error) {
    switch (error) {
    case ShellWordsError::UnclosedSingleQuote:
        return str::kCliBatchUnclosedSingleQuote;
    case ShellWordsError::UnclosedDoubleQuote:
        return str::kCliBatchUnclosedDoubleQuote;
    case ShellWordsError::NulCharacter:
        return str::kCliBatchNulCharacter;
    default:
        return str::kCliBatchTrailingBackslash;
    }
}

// Every command of the script, each checked as its own call would be; nothing when a line is
// malformed (told with its number).
std::optional<std::vector<ScriptCommand>> ParseScript(std::string_view script,
                                                      const std::string& path, std::ostream& err) {
    const std::vector<OptionSpec> options = CommandOptions("list");
    std::vector<ScriptCommand> commands;
    int line = 0;
    while (!script.empty() || line == 0) {
        ++line;
        const std::size_t end = script.find('\n');
        const std::string_view text = script.substr(0, end);
        script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
        const ShellWords split = SplitShellWords(text);
        if (split.error != ShellWordsError::None) {
            Malformed(err, line, LoadResString(SplitFailure(split.error)));
            return std::nullopt;
        }
        if (split.words.empty())
            continue;
        Arguments arguments = ParseArguments(split.words, options);
        if (!arguments.error.empty()) {
            Malformed(err, line, arguments.error);
            return std::nullopt;
        }
        if (arguments.words.empty()) {
            Malformed(err, line, LoadResString(str::kCliWrongWordCount));
            return std::nullopt;
        }
        if (arguments.words.front() == "batch") {
            Malformed(err, line, LoadResString(str::kCliBatchNested));
            return std::nullopt;
        }
        // It reads a second file and ends with 1 when they differ, which a batch would take
        // for a refused line.
        if (arguments.words.front() == "diff") {
            Malformed(err, line, LoadResString(str::kCliDiffNotInBatch));
            return std::nullopt;
        }
        arguments.words.insert(arguments.words.begin(), "list");
        arguments.words.insert(arguments.words.begin() + 2, path);
        std::ostringstream told;
        if (CheckListEditCall(arguments, told) != kExitOk) {
            Malformed(err, line, told.str());
            return std::nullopt;
        }
        commands.push_back({line, std::move(arguments)});
    }
    return commands;
}

std::string LineList(const std::vector<int>& lines) {
    std::string text;
    for (const int line : lines)
        text += (text.empty() ? "" : ", ") + std::to_string(line);
    return text;
}

} // namespace

int RunListBatch(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.words.size() != 3)
        return UsageError(err, LoadResString(str::kCliWrongWordCount), str::kCliListUsage);
    // --force and the other options of the words belong on the lines they are meant for.
    for (const auto& option : arguments.options) {
        const std::string& name = option.first;
        if (name != "--lang" && name != "--script" && name != "--keep-going")
            return UsageError(err, FormatText(LoadResString(str::kUnknownOption), {name}),
                              str::kCliListUsage);
    }
    ListEditSession session;
    session.path = arguments.words[2];
    const std::optional<std::string> script = ReadScript(arguments, err);
    if (!script)
        return kExitBadFile;
    const std::optional<std::vector<ScriptCommand>> commands =
        ParseScript(DecodeUtf8OrCp1252(*script), session.path, err);
    if (!commands)
        return kExitUsage;

    // The lock is held from reading the list to writing it, over the whole batch.
    FileLock lock;
    std::string lockFailure;
    const bool locked = lock.Acquire(session.path, lockFailure);
    if (const int loaded = LoadListForEdit(session, err); loaded != kExitOk)
        return loaded;
    if (!locked)
        return BadFile(err, str::kCliTargetNotWritable, session.path, lockFailure);

    const bool keepGoing = arguments.Has("--keep-going");
    bool changed = false;
    std::vector<int> refused;
    for (const ScriptCommand& command : *commands) {
        // The list as it stands before each line counts as saved, so that IsModified tells
        // whether the line changed it.
        session.history.MarkSaved();
        std::ostringstream told;
        const int code = RunListEditWord(command.arguments, session, out, told);
        if (code == kExitOk) {
            if (!told.str().empty())
                TellLine(err, command.line, told.str());
            changed = changed || session.history.IsModified();
            continue;
        }
        TellLine(err, command.line, told.str());
        if (code != kExitFailed || !keepGoing) {
            err << LoadResString(str::kCliBatchNothingWritten) << '\n';
            if (code == kExitFailed)
                out << "unchanged\n";
            return code;
        }
        // A refused line leaves nothing behind, not even what it did before it stopped.
        if (session.history.IsModified())
            session.history.Undo(session.doc);
        refused.push_back(command.line);
    }
    if (!changed) {
        out << "unchanged\n";
    } else {
        if (const int written = WriteEditedList(session, err); written != kExitOk)
            return written;
        out << "changed\n";
    }
    if (refused.empty())
        return kExitOk;
    err << FormatText(LoadResString(str::kCliBatchRefusedLines), {LineList(refused)}) << '\n';
    return kExitFailed;
}

} // namespace fw::cli
