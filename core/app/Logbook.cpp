#include "core/app/Logbook.h"

#include "core/util/FileIo.h"
#include "core/util/FileLock.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

std::string EscapedField(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\t')
            escaped += "\\t";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else if (code < 0x20 || code == 0x7F)
            escaped += {'\\', 'x', kHex[code >> 4], kHex[code & 0xF]};
        else
            escaped += c;
    }
    return escaped;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = ToLowerAscii(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::string UnescapedField(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 't') {
            plain += '\t';
        } else if (next == 'n') {
            plain += '\n';
        } else if (next == 'r') {
            plain += '\r';
        } else if (next == 'x' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            plain += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else if (next == '\\') {
            plain += '\\';
        } else {
            plain += {'\\', next}; // left by a hand edit: kept as typed
        }
    }
    return plain;
}

std::string SecondsText(double seconds) {
    char text[32];
    const double shown = std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
    const auto end = std::to_chars(text, text + sizeof text, shown, std::chars_format::fixed, 1);
    return std::string(text, end.ptr);
}

double ParseSeconds(std::string_view text) {
    double seconds = 0;
    std::from_chars(text.data(), text.data() + text.size(), seconds);
    return seconds;
}

// Up to limit bytes from the end of the file, starting at a line; an absent file is empty.
bool ReadTail(const std::string& path, std::uint64_t limit, std::string& data,
              std::string& reason) {
    data.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT)
        return true;
    const OpenedFile file = OpenRegularFile(path, std::numeric_limits<std::uint64_t>::max());
    if (file.status != OpenedFile::Status::Opened) {
        reason = file.reason;
        return false;
    }
    const std::uint64_t start = file.size > limit ? file.size - limit : 0;
    data.resize(static_cast<std::size_t>(file.size - start));
    std::size_t got = 0;
    while (got < data.size()) {
        const ssize_t n =
            ::pread(file.fd, data.data() + got, data.size() - got, static_cast<off_t>(start + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = SystemReason(path, errno);
            ::close(file.fd);
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(file.fd);
    data.resize(got);
    if (start > 0)
        data.erase(0, std::min(data.size(), data.find('\n') + 1));
    return true;
}

// Appends the lines of data to newestFirst, from the last one, until it holds last records.
void TakeNewestLines(std::string_view data, std::size_t last,
                     std::vector<LogbookRecord>& newestFirst) {
    std::size_t end = data.size();
    while (end > 0 && newestFirst.size() < last) {
        const std::size_t newline = data.rfind('\n', end - 1);
        const std::size_t start = newline == std::string_view::npos ? 0 : newline + 1;
        if (end > start)
            newestFirst.push_back(ParseLogbookLine(data.substr(start, end - start)));
        end = newline == std::string_view::npos ? 0 : newline;
    }
}

int OpenForAppend(const std::string& path, struct stat& info, std::string& reason) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        reason = SystemReason(path, errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = SystemReason(path, S_ISREG(info.st_mode) ? errno : EINVAL);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::array<std::string, kLogbookColumns> LogbookFields(const LogbookRecord& record) {
    return {record.time,       record.job,      record.port,    record.device,
            record.model,      record.software, record.file,    record.sha256,
            record.safetyCopy, record.outcome,  record.verdict, SecondsText(record.seconds)};
}

std::string LogbookTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset = local.tm_gmtoff / 60;
    const long absolute = offset < 0 ? -offset : offset;
    std::snprintf(text + length, sizeof text - length, "%c%02ld:%02ld", offset < 0 ? '-' : '+',
                  absolute / 60, absolute % 60);
    return text;
}

std::string LogbookLine(const LogbookRecord& record) {
    const auto fields = LogbookFields(record);
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += EscapedField(fields[i]);
    }
    return line + '\n';
}

LogbookRecord ParseLogbookLine(std::string_view line) {
    std::array<std::string, kLogbookColumns> fields;
    std::size_t column = 0;
    std::size_t start = 0;
    while (column < kLogbookColumns) {
        const std::size_t tab = line.find('\t', start);
        fields[column++] = UnescapedField(line.substr(start, tab - start));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return {fields[0], fields[1], fields[2], fields[3], fields[4],  fields[5],
            fields[6], fields[7], fields[8], fields[9], fields[10], ParseSeconds(fields[11])};
}

std::string LogbookPath(const std::string& dataFolder) {
    return dataFolder + "/log/transfers.tsv";
}

std::string RotatedLogbookPath(const std::string& dataFolder) {
    return dataFolder + "/log/transfers.1.tsv";
}

bool AppendToLogbook(const std::string& dataFolder, const LogbookRecord& record,
                     std::string& reason, std::uint64_t rotateAt) {
    // The tool may run before the program ever made its data folder.
    for (const std::string& folder : {dataFolder, dataFolder + "/log"}) {
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            reason = SystemReason(folder, errno);
            return false;
        }
    }
    const std::string path = LogbookPath(dataFolder);
    // Without turns, two processes could both find the logbook full and the second rotation
    // would move the first one's fresh logbook over the old lines.
    FileLock lock;
    if (!lock.Acquire(path, reason))
        return false;
    const std::string line = LogbookLine(record);
    struct stat info {};
    int fd = OpenForAppend(path, info, reason);
    if (fd < 0)
        return false;
    if (info.st_size > 0 && static_cast<std::uint64_t>(info.st_size) + line.size() > rotateAt) {
        ::close(fd);
        const std::string rotated = RotatedLogbookPath(dataFolder);
        if (::rename(path.c_str(), rotated.c_str()) != 0) {
            reason = SystemReason(rotated, errno);
            return false;
        }
        fd = OpenForAppend(path, info, reason);
        if (fd < 0)
            return false;
    }
    return AppendRecordAndClose(fd, line, info.st_size, path, reason);
}

bool ReadLogbook(const std::string& dataFolder, std::size_t last,
                 std::vector<LogbookRecord>& newestFirst, std::string& reason) {
    newestFirst.clear();
    std::string data;
    for (const std::string& path : {LogbookPath(dataFolder), RotatedLogbookPath(dataFolder)}) {
        if (newestFirst.size() >= last)
            break;
        if (!ReadTail(path, kTextFileLimit, data, reason))
            return false;
        TakeNewestLines(data, last, newestFirst);
    }
    return true;
}

bool LogbookRecordMatches(const LogbookRecord& record, std::string_view filter) {
    const auto fields = LogbookFields(record);
    std::vector<std::string> lowerFields;
    for (const std::string& field : fields)
        lowerFields.push_back(ToLowerAscii(field));
    const std::string lowerFilter = ToLowerAscii(filter);
    std::size_t start = 0;
    while (start < lowerFilter.size()) {
        if (IsAsciiSpace(lowerFilter[start])) {
            ++start;
            continue;
        }
        std::size_t end = start;
        while (end < lowerFilter.size() && !IsAsciiSpace(lowerFilter[end]))
            ++end;
        const std::string_view word(lowerFilter.data() + start, end - start);
        if (std::none_of(lowerFields.begin(), lowerFields.end(), [&](const std::string& field) {
                return field.find(word) != std::string::npos;
            }))
            return false;
        start = end;
    }
    return true;
}

} // namespace fw
