// info and repair: what a file holds, and the repair of a list file in place.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"

#include "core/firmware/TransferFile.h"
#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramPool.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <ostream>

namespace fw::cli {

int BadFile(std::ostream& err, int message, const std::string& path, const std::string& reason) {
    err << FormatText(LoadResString(message), {path, reason}) << '\n';
    return kExitBadFile;
}

int UsageError(std::ostream& err, const std::string& message, int usage) {
    err << message << "\n\n" << LoadResString(usage);
    return kExitUsage;
}

int UnknownWord(std::ostream& err, const std::string& word, const std::string& expected,
                int usage) {
    return UsageError(err, FormatText(LoadResString(str::kCliUnknownSubcommand), {word, expected}),
                      usage);
}

bool RefuseOptions(const Arguments& arguments, const std::vector<OptionSpec>& refused, int usage,
                   std::ostream& err) {
    for (const OptionSpec& option : refused) {
        if (arguments.Has(option.name)) {
            UsageError(err, FormatText(LoadResString(str::kUnknownOption), {option.name}), usage);
            return false;
        }
    }
    return true;
}

std::optional<std::string> ReadInputFile(const std::string& path, std::ostream& err,
                                         std::uint64_t limit) {
    std::string data, reason;
    if (!ReadWholeFile(path, data, reason, limit)) {
        BadFile(err, str::kCliOpenFailed, path, reason);
        return std::nullopt;
    }
    return data;
}

std::string ShownText(std::string_view bytes, bool escapeBackslash) {
    std::string shown;
    for (const char byte : bytes) {
        const std::string decoded = Cp1252ToUtf8(std::string_view(&byte, 1));
        const auto code = static_cast<unsigned char>(byte);
        const bool c1 = decoded.size() == 2 && decoded[0] == '\xC2' &&
                        static_cast<unsigned char>(decoded[1]) < 0xA0;
        if (code < 0x20 || code == 0x7F || c1) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            shown += {'\\', 'x', kHex[code >> 4], kHex[code & 0xF]};
        } else if (byte == '\\' && escapeBackslash) {
            shown += "\\\\";
        } else {
            shown += decoded;
        }
    }
    return shown;
}

namespace {

int FirmwareInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> data = ReadInputFile(path, err, kFirmwareFileLimit);
    if (!data)
        return kExitBadFile;
    CTransferFile file;
    int result = file.TakeTrailer(path, *data);
    if (result == CTransferFile::kLoaded)
        result = file.CheckSignature(str::kFirmwareSignature);
    if (result == CTransferFile::kWrongFormat)
        return BadFile(err, str::kCliWrongFormat, path);
    if (result != CTransferFile::kLoaded)
        return BadFile(err, str::kCliLoadFailed, path);
    file.ReadTrailerStrings(3);
    const std::vector<std::string> strings = file.TrailerStrings();
    const int kind = file.Kind(); // a load starts afresh
    if (file.TakeWhole(path, *data) != CTransferFile::kLoaded)
        return BadFile(err, str::kCliLoadFailed, path);
    out << "kind: " << kind << '\n'
        << "version: " << ShownText(strings.size() > 1 ? strings[1] : "") << '\n'
        << "description: " << ShownText(strings.size() > 2 ? strings[2] : "") << '\n'
        << "size: " << file.Size() << '\n'
        << "sum: " << file.SumBytes() << '\n';
    return kExitOk;
}

int ListInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> data = ReadInputFile(path, err);
    if (!data)
        return kExitBadFile;
    // Read as the program would after its repair, without changing the file.
    ProgramPool pool;
    CFavoritenDat banks;
    const auto list = ParseRepairedList(*data, pool, banks);
    if (!list)
        return BadFile(err, str::kCliWrongFormat, path);
    const ListAnalysis& analysis = list->analysis;
    const int type = ListTypeFromText(analysis.type) == kListRadio ? kListRadio : kListTv;
    out << "type: " << analysis.type << '\n'
        << "description: " << ShownText(analysis.description) << '\n'
        << "programs: " << pool.LastUsedRow() + 1 << '\n'
        << "incomplete: " << FindIncompleteRow(pool, type) << '\n';
    for (int bank = 0; bank < kBankCount; ++bank) {
        out << "bank" << bank << ':';
        for (int entry = 0; entry < banks.GetCount(bank); ++entry)
            out << ' ' << banks.GetAddress(bank, entry);
        out << '\n';
    }
    if (analysis.droppedBankEntries > 0)
        out << "dropped-bank-entries: " << analysis.droppedBankEntries << '\n';
    // Program lines past the last place are lost on saving; empty ones hold nothing.
    if (list->read.droppedLines > 0)
        out << "dropped-lines: " << list->read.droppedLines << '\n';
    if (list->read.extraLines > 0)
        out << "extra-lines: " << list->read.extraLines << '\n';
    return kExitOk;
}

int SettingsInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> data = ReadInputFile(path, err);
    if (!data)
        return kExitBadFile;
    out << "size: " << data->size() << '\n';
    return kExitOk;
}

bool OneFileArgument(const Arguments& arguments, int usage, std::ostream& err) {
    if (arguments.words.size() == 2)
        return true;
    err << LoadResString(str::kCliWrongWordCount) << "\n\n" << LoadResString(usage);
    return false;
}

} // namespace

int RunInfo(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(arguments, str::kCliInfoUsage, err))
        return kExitUsage;
    const std::string& path = arguments.words[1];
    if (EndsWithNoCase(path, ".bsr"))
        return FirmwareInfo(path, out, err);
    if (EndsWithNoCase(path, ".lst"))
        return ListInfo(path, out, err);
    if (EndsWithNoCase(path, ".grd"))
        return SettingsInfo(path, out, err);
    err << FormatText(LoadResString(str::kCliUnknownKind), {path}) << '\n';
    return kExitBadFile;
}

int RunRepair(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(arguments, str::kCliRepairUsage, err))
        return kExitUsage;
    const std::string& path = arguments.words[1];
    if (!EndsWithNoCase(path, ".lst"))
        return BadFile(err, str::kCliNotAList, path);
    const NormalizeResult result = NormalizeListFile(path);
    if (result.status == NormalizeStatus::NotAList)
        return BadFile(err, str::kCliWrongFormat, path);
    if (result.status == NormalizeStatus::Unreadable) {
        // Either the file could not be read or its repair could not be written.
        err << FormatText(LoadResString(str::kCliRepairFailed), {result.reason}) << '\n';
        return kExitBadFile;
    }
    out << (result.changed ? "changed" : "unchanged") << '\n';
    return kExitOk;
}

} // namespace fw::cli
