#include "core/editor/CsvList.h"

#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/util/Cp1252.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>

namespace fw {
namespace {

struct ColumnNames {
    std::string_view german;
    std::string_view english;
};

constexpr std::array<ColumnNames, kCsvColumnCount> kColumnNames = {{
    {"Platz", "Place"},
    {"CA", "CA"},
    {"Name", "Name"},
    {"Frequenz", "Frequency"},
    {"Polarisation", "Polarisation"},
    {"Symbolrate", "Symbol rate"},
    {"FEC", "FEC"},
    {"SID", "SID"},
    {"V-PID", "V-PID"},
    {"A-PID", "A-PID"},
    {"PCR", "PCR"},
    {"Satellit", "Satellite"},
    {"Banken", "Banks"},
}};

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Bank tokens are written with blanks between them; a hand-edited cell may use commas too.
constexpr std::string_view kTokenGaps = " \t,;";

// RFC 4180: a field with the separator, a quotation mark or a line break is quoted.
void AppendField(std::string& out, std::string_view text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// "F0:2 F3:1" for each place: bank order, then position.
std::vector<std::string> BankTokens(const CFavoritenDat& banks) {
    std::vector<std::string> tokens(kPoolRows);
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int index = 0; index < banks.GetCount(bank); ++index) {
            const int address = banks.GetAddress(bank, index);
            if (!ProgramPool::IsValidRow(address))
                continue;
            std::string& text = tokens[static_cast<std::size_t>(address)];
            if (!text.empty())
                text += ' ';
            text += 'F' + std::to_string(bank) + ':' + std::to_string(index + 1);
        }
    }
    return tokens;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        std::size_t length = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07u;
        } else {
            return false;
        }
        if (pos + length > bytes.size())
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(bytes[pos + i]);
            if ((next & 0xC0u) != 0x80u)
                return false;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        // Over-long forms, surrogates and values past Unicode.
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        pos += length;
    }
    return true;
}

struct RawRecord {
    int line = 0;
    std::vector<std::string> fields;
    bool openQuote = false;
};

// Splits the text into records. A quoted field may hold separators, doubled quotation marks and
// line breaks; text after its closing mark is kept as spreadsheets keep it. CR LF, LF and a lone
// CR end a record.
std::vector<RawRecord> SplitRecords(std::string_view text, char separator) {
    std::vector<RawRecord> records;
    std::size_t pos = 0;
    int line = 1;
    const auto atLineEnd = [&](std::size_t at) {
        return at < text.size() && (text[at] == '\r' || text[at] == '\n');
    };
    const auto skipLineEnd = [&] {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
            ++pos;
        ++pos;
        ++line;
    };
    while (pos < text.size()) {
        RawRecord record;
        record.line = line;
        for (;;) {
            std::string field;
            if (pos < text.size() && text[pos] == '"') {
                ++pos;
                bool closed = false;
                while (pos < text.size()) {
                    const char c = text[pos];
                    if (c == '"') {
                        if (pos + 1 < text.size() && text[pos + 1] == '"') {
                            field += '"';
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        closed = true;
                        break;
                    }
                    if (c == '\n' ||
                        (c == '\r' && !(pos + 1 < text.size() && text[pos + 1] == '\n')))
                        ++line;
                    field += c;
                    ++pos;
                }
                if (!closed)
                    record.openQuote = true;
            }
            while (pos < text.size() && text[pos] != separator && !atLineEnd(pos))
                field += text[pos++];
            record.fields.push_back(std::move(field));
            if (pos < text.size() && text[pos] == separator) {
                ++pos;
                continue;
            }
            break;
        }
        if (atLineEnd(pos))
            skipLineEnd();
        records.push_back(std::move(record));
    }
    return records;
}

bool IsBlankRecord(const RawRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& field) { return Trim(field).empty(); });
}

// The separator the header row uses more often, outside quoted text; comma on a tie.
char DetectSeparator(std::string_view text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\r' || c == '\n'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

int ColumnOfName(std::string_view name) {
    const std::string_view trimmed = Trim(name);
    for (int column = 0; column < kCsvColumnCount; ++column) {
        const ColumnNames& names = kColumnNames[static_cast<std::size_t>(column)];
        if (EqualsNoCase(trimmed, names.german) || EqualsNoCase(trimmed, names.english))
            return column;
    }
    return -1;
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

struct BankToken {
    int bank = 0;
    int position = 0; // from 1; 0 for a plain token
};

std::optional<BankToken> ParseBankToken(std::string_view token) {
    if (token.size() < 2 || (token[0] != 'F' && token[0] != 'f') || token[1] < '0' ||
        token[1] > '9')
        return std::nullopt;
    BankToken result{token[1] - '0', 0};
    if (token.size() == 2)
        return result;
    if (token[2] != ':')
        return std::nullopt;
    const auto position = NumberInRange(token.substr(3), 1, kBankCapacity);
    if (!position)
        return std::nullopt;
    result.position = *position;
    return result;
}

// A row ready to be placed.
struct PendingRow {
    int line = 0;
    std::optional<int> place;
    ProgramRow cells;
    std::vector<BankToken> tokens;
};

struct BankEntry {
    int position; // INT_MAX for a plain token: after the positioned ones
    int order;    // row order, then token order
    int address;
    int line;
};

} // namespace

std::string_view CsvColumnName(int column, Language language) {
    if (column < 0 || column >= kCsvColumnCount)
        return {};
    const ColumnNames& names = kColumnNames[static_cast<std::size_t>(column)];
    return language == Language::German ? names.german : names.english;
}

std::string BuildCsvText(const ProgramPool& pool, const CFavoritenDat& banks,
                         const CsvExportOptions& options) {
    std::string out;
    if (options.bom)
        out += kBom;
    for (int column = 0; column < kCsvColumnCount; ++column) {
        if (column > 0)
            out += options.separator;
        AppendField(out, CsvColumnName(column, options.language), options.separator);
    }
    out += "\r\n";
    const std::vector<std::string> tokens = BankTokens(banks);
    for (int row = 0; row < kPoolRows; ++row) {
        if (pool.IsRowEmpty(row))
            continue;
        out += std::to_string(row);
        for (const std::string& cell : pool.Row(row)) {
            out += options.separator;
            AppendField(out, Cp1252ToUtf8(cell), options.separator);
        }
        out += options.separator;
        out += tokens[static_cast<std::size_t>(row)];
        out += "\r\n";
    }
    return out;
}

CsvTable ReadCsvTable(std::string_view bytes) {
    CsvTable table;
    table.fileColumn.assign(kCsvColumnCount, -1);
    if (bytes.substr(0, kBom.size()) == kBom)
        bytes.remove_prefix(kBom.size());
    table.utf8 = IsValidUtf8(bytes);
    std::size_t start = 0;
    // Empty lines before the header are no header.
    while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    table.separator = DetectSeparator(bytes.substr(start));
    std::vector<RawRecord> raw = SplitRecords(bytes, table.separator);
    auto record =
        std::find_if(raw.begin(), raw.end(), [](const RawRecord& r) { return !IsBlankRecord(r); });
    bool anyKnown = false;
    if (record != raw.end()) {
        for (std::size_t index = 0; index < record->fields.size(); ++index) {
            const int column = ColumnOfName(record->fields[index]);
            if (column < 0)
                continue;
            int& slot = table.fileColumn[static_cast<std::size_t>(column)];
            if (slot >= 0) {
                table.error = FormatText(LoadResString(str::kCsvColumnTwice),
                                         {table.utf8 ? std::string(Trim(record->fields[index]))
                                                     : Cp1252ToUtf8(Trim(record->fields[index]))});
                return table;
            }
            slot = static_cast<int>(index);
            anyKnown = true;
        }
    }
    if (!anyKnown) {
        table.error = LoadResString(str::kCsvNoHeader);
        return table;
    }
    for (++record; record != raw.end(); ++record) {
        if (IsBlankRecord(*record) && !record->openQuote)
            continue;
        CsvRecord out;
        out.line = record->line;
        out.openQuote = record->openQuote;
        out.fields.resize(kCsvColumnCount);
        out.storable.assign(kCsvColumnCount, true);
        out.originalUtf8.resize(kCsvColumnCount);
        for (int column = 0; column < kCsvColumnCount; ++column) {
            const int index = table.fileColumn[static_cast<std::size_t>(column)];
            if (index < 0 || static_cast<std::size_t>(index) >= record->fields.size())
                continue;
            const std::string& field = record->fields[static_cast<std::size_t>(index)];
            const auto at = static_cast<std::size_t>(column);
            if (table.utf8) {
                bool lossless = true;
                out.fields[at] = Utf8ToCp1252(field, &lossless);
                out.storable[at] = lossless;
                out.originalUtf8[at] = field;
            } else {
                out.fields[at] = field;
                out.originalUtf8[at] = Cp1252ToUtf8(field);
            }
        }
        table.records.push_back(std::move(out));
    }
    table.ok = true;
    return table;
}

EditResult ImportCsv(ListDocument& doc, const CsvTable& table, bool replace,
                     CsvImportReport& report) {
    report = {};
    const auto refuse = [&](int line, int column, std::string reason) {
        report.problems.push_back({line, column, std::move(reason)});
        ++report.refused;
    };
    const auto refuseRow = [&](int line, int column, int messageId,
                               std::initializer_list<std::string_view> arguments) {
        refuse(line, column, FormatText(LoadResString(messageId), arguments));
    };

    // Check every row before the list changes.
    std::vector<PendingRow> rows;
    rows.reserve(table.records.size());
    for (const CsvRecord& record : table.records) {
        if (record.openQuote) {
            refuseRow(record.line, -1, str::kCsvOpenQuote, {});
            continue;
        }
        const auto unstorable = std::find(record.storable.begin(), record.storable.end(), false);
        if (unstorable != record.storable.end()) {
            const int column = static_cast<int>(unstorable - record.storable.begin());
            refuseRow(record.line, column, str::kCsvRowNotTaken,
                      {OneLine(UnstorableTextMessage(
                          record.originalUtf8[static_cast<std::size_t>(column)]))});
            continue;
        }
        PendingRow row;
        row.line = record.line;
        const std::string_view placeText = Trim(record.fields[kCsvPlaceColumn]);
        if (!placeText.empty()) {
            row.place = NumberInRange(placeText, 0, kPoolRows - 1);
            if (!row.place) {
                refuseRow(record.line, kCsvPlaceColumn, str::kCsvBadPlace,
                          {record.originalUtf8[kCsvPlaceColumn]});
                continue;
            }
        }
        bool filled = false;
        for (int field = 0; field < kFieldCount; ++field) {
            const int column = ColumnOfField(field);
            std::string text = record.fields[static_cast<std::size_t>(column)];
            std::string& cell = row.cells[static_cast<std::size_t>(field)];
            if (field == kFieldFec) {
                // The grid offers five rates, a list from the receiver may hold all eight.
                std::string fec(Trim(text));
                std::replace(fec.begin(), fec.end(), '/', '\\');
                if (IsStoredFec(fec)) {
                    cell = fec;
                    filled = true;
                    continue;
                }
            }
            const CellCheck check = ValidateCell(column, text);
            if (check.status == CellStatus::Rejected) {
                // A line break is named as such rather than as an unlikely character.
                const bool lineBreak =
                    record.fields[static_cast<std::size_t>(column)].find_first_of("\r\n") !=
                    std::string::npos;
                refuse(record.line, column,
                       FormatText(LoadResString(str::kCsvFieldEmptied),
                                  {lineBreak ? LoadResString(str::kCsvLineBreak)
                                             : OneLine(check.message)}));
                continue;
            }
            cell = std::move(text);
            filled = filled || !cell.empty();
        }
        std::string_view banks = record.fields[kCsvBanksColumn];
        while (!banks.empty()) {
            const std::size_t begin = banks.find_first_not_of(kTokenGaps);
            if (begin == std::string_view::npos)
                break;
            banks.remove_prefix(begin);
            const std::size_t end = std::min(banks.find_first_of(kTokenGaps), banks.size());
            const std::string_view token = banks.substr(0, end);
            banks.remove_prefix(end);
            if (const auto parsed = ParseBankToken(token))
                row.tokens.push_back(*parsed);
            else
                refuseRow(record.line, kCsvBanksColumn, str::kCsvBadBankToken,
                          {table.utf8 ? std::string(token) : Cp1252ToUtf8(token)});
        }
        if (!filled) {
            refuseRow(record.line, -1, str::kCsvNoProgram, {});
            continue;
        }
        rows.push_back(std::move(row));
    }

    if (replace) {
        doc.pool.Clear();
        doc.banks.Clear();
        doc.poolCut.reset();
        doc.bankCut.reset();
    }

    // Places named in the file first, so that a row without one never takes them.
    std::vector<int> placedBy(kPoolRows, 0); // the line that took the place in this import
    std::vector<int> addressOf(rows.size(), -1);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const PendingRow& row = rows[index];
        if (!row.place)
            continue;
        const int place = *row.place;
        int& by = placedBy[static_cast<std::size_t>(place)];
        if (by != 0) {
            refuseRow(row.line, kCsvPlaceColumn, str::kCsvPlaceTwice,
                      {std::to_string(place), std::to_string(by)});
            continue;
        }
        if (!doc.pool.IsRowEmpty(place)) {
            refuseRow(row.line, kCsvPlaceColumn, str::kCsvPlaceOccupied, {std::to_string(place)});
            continue;
        }
        doc.pool.SetRow(place, row.cells);
        by = row.line;
        addressOf[index] = place;
    }
    int free = 0;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const PendingRow& row = rows[index];
        if (row.place)
            continue;
        while (free < kPoolRows && !doc.pool.IsRowEmpty(free))
            ++free;
        if (free == kPoolRows) {
            refuseRow(row.line, -1, str::kCsvNoFreePlace, {});
            continue;
        }
        doc.pool.SetRow(free, row.cells);
        addressOf[index] = free;
    }

    // The banks, each after what it holds: positioned entries in position order, then plain
    // ones in row order.
    std::array<std::vector<BankEntry>, kBankCount> entries;
    int order = 0;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (addressOf[index] < 0)
            continue;
        report.takenRows.push_back(addressOf[index]);
        for (const BankToken& token : rows[index].tokens)
            entries[static_cast<std::size_t>(token.bank)].push_back(
                {token.position == 0 ? INT_MAX : token.position, order++, addressOf[index],
                 rows[index].line});
    }
    report.taken = static_cast<int>(report.takenRows.size());
    // A pending cut of rows the import filled would move the new programs with its paste.
    if (report.taken > 0)
        doc.poolCut.reset();
    ChangedBanks changed;
    for (int bank = 0; bank < kBankCount; ++bank) {
        std::vector<BankEntry>& list = entries[static_cast<std::size_t>(bank)];
        std::sort(list.begin(), list.end(), [](const BankEntry& a, const BankEntry& b) {
            return a.position != b.position ? a.position < b.position : a.order < b.order;
        });
        for (const BankEntry& entry : list) {
            const int count = doc.banks.GetCount(bank);
            if (count >= kBankCapacity) {
                refuseRow(entry.line, kCsvBanksColumn, str::kCsvBankFull, {std::to_string(bank)});
                continue;
            }
            doc.banks.Insert(bank, {entry.address}, count);
            changed.Add(bank);
        }
    }
    ForgetStaleBankCut(doc, changed);
    std::sort(report.takenRows.begin(), report.takenRows.end());
    // The problems in file order, whichever step found them.
    std::stable_sort(report.problems.begin(), report.problems.end(),
                     [](const CsvProblem& a, const CsvProblem& b) { return a.line < b.line; });
    if (report.taken == 0 && !replace)
        return MakeResult(EditStatus::NothingToDo, 0, str::kStepImportCsv);
    return Done(str::kStepImportCsv);
}

std::string CsvReportText(const CsvTable& table, const CsvImportReport& report) {
    const Language language = CurrentLanguage();
    std::string text =
        FormatText(LoadResString(str::kCsvReadAs),
                   {table.utf8 ? "UTF-8" : "Windows-1252",
                    LoadResString(table.separator == ';' ? str::kCsvSemicolon : str::kCsvComma)}) +
        "\n" +
        FormatText(LoadResString(str::kCsvSummary),
                   {std::to_string(report.taken), std::to_string(report.refused)}) +
        "\n";
    if (report.AllTaken())
        text += LoadResString(str::kCsvAllTaken) + "\n";
    if (!report.problems.empty())
        text += "\n";
    for (const CsvProblem& problem : report.problems) {
        if (problem.column < 0) {
            text += FormatText(LoadResString(str::kCsvProblemInLine),
                               {std::to_string(problem.line), problem.reason});
        } else {
            const int index = table.fileColumn.empty()
                                  ? problem.column
                                  : table.fileColumn[static_cast<std::size_t>(problem.column)];
            const std::string column = std::to_string(index + 1) + " (" +
                                       std::string(CsvColumnName(problem.column, language)) + ")";
            text += FormatText(LoadResString(str::kCsvProblemAt),
                               {std::to_string(problem.line), column, problem.reason});
        }
        text += "\n";
    }
    return text;
}

} // namespace fw
