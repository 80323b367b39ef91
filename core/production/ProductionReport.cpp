#include "core/production/ProductionReport.h"

#include "core/util/FileIo.h"
#include "core/util/FileLock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {
namespace {

constexpr std::string_view kHeader = "start,end,port,device,model,software_before,software_after,"
                                     "firmware,settings,tv,radio,check,result,seconds";

// RFC 4180: a field with a comma, a quotation mark or a line break is quoted.
void AppendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string ReportSeconds(double seconds) {
    char text[32];
    const double shown = std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
    const auto end = std::to_chars(text, text + sizeof text, shown, std::chars_format::fixed, 1);
    return std::string(text, end.ptr);
}

bool MakeFolder(const std::string& folder, std::string& reason) {
    if (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST)
        return true;
    reason = SystemReason(folder, errno);
    return false;
}

} // namespace

bool RowSucceeded(const ProductionRow& row) {
    const std::array<StepVerdict, 4> steps{row.firmware, row.settings, row.tvList, row.radioList};
    bool ran = false;
    for (const StepVerdict step : steps) {
        if (step == StepVerdict::Failed)
            return false;
        ran = ran || step == StepVerdict::Ok;
    }
    return ran && (row.check == CheckState::Same || row.check == CheckState::Off);
}

std::string_view StepVerdictText(StepVerdict verdict) {
    switch (verdict) {
    case StepVerdict::Ok:
        return "ok";
    case StepVerdict::Failed:
        return "failed";
    case StepVerdict::Skipped:
        break;
    }
    return "skipped";
}

std::string_view CheckStateText(CheckState verdict) {
    switch (verdict) {
    case CheckState::Same:
        return "same";
    case CheckState::Differs:
        return "differs";
    case CheckState::NotRun:
        return "not run";
    case CheckState::Off:
        break;
    }
    return "off";
}

std::string ProductionReportHeader() {
    return std::string(kHeader) + "\r\n";
}

std::string ProductionReportLine(const ProductionRow& row) {
    // Named, so that the view below does not outlive it.
    const std::string seconds = ReportSeconds(row.seconds);
    const std::array<std::string_view, 14> fields{row.start,
                                                  row.end,
                                                  row.port,
                                                  row.device,
                                                  row.model,
                                                  row.softwareBefore,
                                                  row.softwareAfter,
                                                  StepVerdictText(row.firmware),
                                                  StepVerdictText(row.settings),
                                                  StepVerdictText(row.tvList),
                                                  StepVerdictText(row.radioList),
                                                  CheckStateText(row.check),
                                                  RowSucceeded(row) ? "ok" : "failed",
                                                  seconds};
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        AppendCsvField(line, fields[i]);
    }
    return line + "\r\n";
}

std::string ProductionReportText(const std::vector<ProductionRow>& rows) {
    std::string text = ProductionReportHeader();
    for (const ProductionRow& row : rows)
        text += ProductionReportLine(row);
    return text;
}

std::string ProductionLogPath(const std::string& dataFolder,
                              std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char day[16];
    std::strftime(day, sizeof day, "%Y%m%d", &local);
    return dataFolder + "/log/production-" + day + ".csv";
}

bool AppendProductionRow(const std::string& dataFolder, const ProductionRow& row,
                         std::chrono::system_clock::time_point when, std::string& reason) {
    // The tool may run before the program ever made its data folder.
    if (!MakeFolder(dataFolder, reason) || !MakeFolder(dataFolder + "/log", reason))
        return false;
    const std::string path = ProductionLogPath(dataFolder, when);
    // Without turns, two ports finishing together could both find the file new and write the
    // header twice.
    FileLock lock;
    if (!lock.Acquire(path, reason))
        return false;
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        reason = SystemReason(path, errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = SystemReason(path, S_ISREG(info.st_mode) ? errno : EINVAL);
        ::close(fd);
        return false;
    }
    const std::string text =
        (info.st_size == 0 ? ProductionReportHeader() : std::string()) + ProductionReportLine(row);
    return AppendRecordAndClose(fd, text, info.st_size, path, reason);
}

} // namespace fw
