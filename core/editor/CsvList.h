#pragma once

#include "core/editor/ListDocument.h"
#include "core/res/StringTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A program list as a spreadsheet reads and writes it: one row per program with its place,
// its eleven fields and the bank entries naming it. The list's type and description are not in
// it.

// The columns of the file: Place, then the eleven fields (the grid's columns), then Banks.
inline constexpr int kCsvPlaceColumn = 0;
inline constexpr int kCsvBanksColumn = kGridColumnCount;
inline constexpr int kCsvColumnCount = kGridColumnCount + 1;

// The header name of a column in one language; the names are part of the file format.
std::string_view CsvColumnName(int column, Language language);

struct CsvExportOptions {
    char separator = ',';
    bool bom = false; // UTF-8 byte order mark in front, as spreadsheets expect it
    Language language = Language::English;
};

// UTF-8, RFC 4180 quoting, CR LF; "F<bank>:<position>" tokens (position from 1) for the banks.
std::string BuildCsvText(const ProgramPool& pool, const CFavoritenDat& banks,
                         const CsvExportOptions& options);

// A record of the file, its fields already in Windows-1252 where they could be converted.
struct CsvRecord {
    int line = 0;                          // the file line the record starts on, from 1
    std::vector<std::string> fields;       // by CSV column; absent columns are empty
    std::vector<bool> storable;            // false: the field has a character the list lacks
    std::vector<std::string> originalUtf8; // the fields as read, for the report
    bool openQuote = false;                // a quoted field ran to the end of the file
};

struct CsvTable {
    bool ok = false;
    std::string error; // why the file cannot be taken at all (current language)
    char separator = ',';
    bool utf8 = true;               // else read as Windows-1252
    std::vector<int> fileColumn;    // by CSV column: its place in the file from 0, -1 when absent
    std::vector<CsvRecord> records; // without the header and without empty records
};

// Reads the text of a CSV file: comma or semicolon (whichever the header row uses more), UTF-8
// (with or without byte order mark) or, when the bytes are no valid UTF-8, Windows-1252; the
// header row by name in either language, in any order, unknown columns ignored.
CsvTable ReadCsvTable(std::string_view bytes);

struct CsvProblem {
    int line = 0;
    int column = -1; // CSV column (kCsvPlaceColumn ...), -1 for the whole row
    std::string reason;
};

struct CsvImportReport {
    int taken = 0;   // rows stored in the pool
    int refused = 0; // refused rows, emptied fields and refused bank entries
    std::vector<CsvProblem> problems;
    std::vector<int> takenRows; // the places the rows went to
    bool AllTaken() const { return refused == 0; }
};

// Puts the records into the list: rows with a Place first, to that place, then the others in
// row order to the lowest free places. replace empties pool and banks first; otherwise a row
// naming an occupied place is refused. Every field passes the grid's cell check (a failing one
// is emptied); a row with a character outside Windows-1252 is refused. The banks take the
// rows' entries: positioned ones in position order, then plain ones in row order, after the
// entries a bank already holds (none with replace), up to the bank's capacity.
EditResult ImportCsv(ListDocument& doc, const CsvTable& table, bool replace,
                     CsvImportReport& report);

// The report as text (current language): how the file was read, what was taken and what was
// refused, with line and column.
std::string CsvReportText(const CsvTable& table, const CsvImportReport& report);

} // namespace fw
