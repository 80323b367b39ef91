#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

// The records of a comma-separated text as RFC 4180 writes them: quoted fields may hold
// commas, doubled quotation marks and line breaks; lines end in CR LF or LF. Empty lines are
// skipped; a quote left open runs to the end of the text.
std::vector<std::vector<std::string>> SplitCsvRecords(std::string_view text);

// A day's production report as written by the station: its header row and the receivers' rows.
struct ProductionLogTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// Reads the report at path. A missing file is an empty table (no receiver yet that day); false
// with the system's reason when it exists but cannot be read.
[[nodiscard]] bool ReadProductionLog(const std::string& path, ProductionLogTable& table,
                                     std::string& reason);

} // namespace fw
