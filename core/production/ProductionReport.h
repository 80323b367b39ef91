#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

enum class StepVerdict { Ok, Failed, Skipped };
// What the check after the last step found: off when the recipe asks for none; a check that
// could not run counts as a failure of the receiver.
enum class CheckState { Same, Differs, NotRun, Off };

// One receiver of a production run: one row of the day's report. Texts are UTF-8.
struct ProductionRow {
    std::string start; // local time, ISO 8601 with its offset (LogbookTime)
    std::string end;
    std::string port;   // "COM1" or the device's own name
    std::string device; // "/dev/ttyUSB0"
    std::string model;  // as the receiver answered last
    // From the firmware step's detection and from the detection after the restart; empty
    // without a firmware step.
    std::string softwareBefore;
    std::string softwareAfter;
    StepVerdict firmware = StepVerdict::Skipped;
    StepVerdict settings = StepVerdict::Skipped;
    StepVerdict tvList = StepVerdict::Skipped;
    StepVerdict radioList = StepVerdict::Skipped;
    CheckState check = CheckState::Off;
    double seconds = 0;
    // Why the receiver failed, as the user was told; not a column of the report.
    std::string reason;
};

// ok only when no step failed and the check found the receiver the same (or was off); a row
// without any step that ran is no success either.
bool RowSucceeded(const ProductionRow& row);

std::string_view StepVerdictText(StepVerdict verdict); // "ok", "failed", "skipped"
std::string_view CheckStateText(CheckState verdict);   // "same", "differs", "not run", "off"

// The header row and the rows as CSV (comma, RFC 4180 quoting), each line ending in CR LF.
std::string ProductionReportHeader();
std::string ProductionReportLine(const ProductionRow& row);
// Header plus the rows: the report of one run.
std::string ProductionReportText(const std::vector<ProductionRow>& rows);

// DATA/log/production-YYYYMMDD.csv for the local day of when.
std::string ProductionLogPath(const std::string& dataFolder,
                              std::chrono::system_clock::time_point when);

// Appends the row to the day's report with a single write, the header in front only when the
// file is new, creating the data and log folders when needed. Ports that finish together take
// turns, so that no row lands inside another and the header comes once. False with the
// system's reason; a row cut short by a full disk is taken back.
[[nodiscard]] bool AppendProductionRow(const std::string& dataFolder, const ProductionRow& row,
                                       std::chrono::system_clock::time_point when,
                                       std::string& reason);

} // namespace fw
