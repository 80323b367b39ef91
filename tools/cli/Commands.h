#pragma once

#include "tools/cli/Arguments.h"

#include "core/util/FileIo.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::cli {

// Prints the message with path and reason as %1 and %2; returns kExitBadFile.
int BadFile(std::ostream& err, int message, const std::string& path,
            const std::string& reason = {});
// Prints the message and the command's help; returns kExitUsage.
int UsageError(std::ostream& err, const std::string& message, int usage);
int UnknownWord(std::ostream& err, const std::string& word, const std::string& expected, int usage);
// False, with the usage error printed, when one of the refused options was given.
bool RefuseOptions(const Arguments& arguments, const std::vector<OptionSpec>& refused, int usage,
                   std::ostream& err);

// Texts in the files are Windows-1252; the terminal wants UTF-8, and a control character from a
// file must not reach it as one: it could drive the terminal. Escaping the backslash too keeps
// the text unambiguous, at the price of "3\\4" for a FEC.
std::string ShownText(std::string_view bytes, bool escapeBackslash = true);

// The whole file at path; nothing once the reason it cannot be read has been printed.
std::optional<std::string> ReadInputFile(const std::string& path, std::ostream& err,
                                         std::uint64_t limit = kTextFileLimit);

// The options a command takes besides --help, --version and --lang.
std::vector<OptionSpec> CommandOptions(const std::string& command);

int RunInfo(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunRepair(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunPorts(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunFirmware(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunList(const Arguments& arguments, std::ostream& out, std::ostream& err);
// The list command's editing words: rows, set, insert, ...
bool IsListEditWord(const std::string& word);
std::string ListEditWords(); // "rows|set|..."
// Options only the editing words take.
extern const std::vector<OptionSpec> kListEditOptions;
int RunListEdit(const Arguments& arguments, std::ostream& out, std::ostream& err);
// Many editing words from a script on one loaded list, written once.
int RunListBatch(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunSettings(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunLog(const Arguments& arguments, std::ostream& out, std::ostream& err);
// A production recipe on several receivers at once.
int RunProduction(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace fw::cli
