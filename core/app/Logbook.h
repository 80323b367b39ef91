#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// One transfer as the logbook keeps it: one line of log/transfers.tsv in the data folder.
// Texts are UTF-8; a field that does not apply to the job stays empty.
struct LogbookRecord {
    std::string time;       // local time, ISO 8601 with its offset: LogbookTime()
    std::string job;        // "list send", "settings load", "firmware send", ...
    std::string port;       // "COM1"
    std::string device;     // "/dev/ttyUSB0"
    std::string model;      // "ZEB30"
    std::string software;   // the software text the receiver sent
    std::string file;       // the file sent, or written by a load
    std::string sha256;     // of that file's bytes: Sha256Hex(), Sha256HexOfFile()
    std::string safetyCopy; // the copy of the receiver's data made before a send
    std::string outcome;    // "ok", "cancelled" or the error the user saw
    std::string verdict;    // what the check after a send found; empty when none ran
    double seconds = 0;     // how long the job took
};

// The columns in the order of the file, the seconds with one decimal.
inline constexpr std::size_t kLogbookColumns = 12;
std::array<std::string, kLogbookColumns> LogbookFields(const LogbookRecord& record);

// "2026-12-07T23:26:02+01:00" in the machine's time zone.
std::string LogbookTime(std::chrono::system_clock::time_point when);

// The record as one line with its newline. Backslash, tab, line breaks and other control
// characters in a field are written as \\, \t, \n, \r and \xHH, so that a field can never
// split the line or reach a terminal as a control sequence.
std::string LogbookLine(const LogbookRecord& record);
// The reverse; missing fields stay empty and fields a later version adds are ignored.
LogbookRecord ParseLogbookLine(std::string_view line);

// The logbook is rotated before a line would take it past this size.
inline constexpr std::uint64_t kLogbookRotateBytes = std::uint64_t{1} << 20;
std::string LogbookPath(const std::string& dataFolder);        // DATA/log/transfers.tsv
std::string RotatedLogbookPath(const std::string& dataFolder); // DATA/log/transfers.1.tsv

// Appends the record with a single write, creating the data and log folders when needed. When the
// line would take the logbook past rotateAt bytes, the logbook first becomes transfers.1.tsv
// (replacing the older one) and a new one begins. Appends of several processes take turns, so
// that a rotation never loses another's line. False with the system's reason; a line cut short
// by a full disk is taken back.
[[nodiscard]] bool AppendToLogbook(const std::string& dataFolder, const LogbookRecord& record,
                                   std::string& reason,
                                   std::uint64_t rotateAt = kLogbookRotateBytes);

inline constexpr std::size_t kWholeLogbook = std::numeric_limits<std::size_t>::max();

// The last records of both files, newest first. An absent logbook is empty, not an error.
[[nodiscard]] bool ReadLogbook(const std::string& dataFolder, std::size_t last,
                               std::vector<LogbookRecord>& newestFirst, std::string& reason);

// Whether every blank-separated word of filter occurs in one of the record's fields, ignoring
// ASCII case. An empty filter matches every record.
bool LogbookRecordMatches(const LogbookRecord& record, std::string_view filter);

} // namespace fw
