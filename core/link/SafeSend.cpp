#include "core/link/SafeSend.h"

#include "core/link/TransferCheck.h"
#include "core/link/TransferSession.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "core/util/FileIo.h"
#include "core/util/Sha256.h"

#include <chrono>
#include <utility>
#include <variant>

namespace fw {
namespace {

using Clock = std::chrono::system_clock;

template <typename... Ts> struct Overloaded : Ts... { using Ts::operator()...; };

// The logbook's fixed words for how a job ended; a failure keeps the message the user saw.
std::string OutcomeText(const JobResult& result) {
    switch (result.outcome) {
    case JobOutcome::Succeeded:
        return "ok";
    case JobOutcome::Cancelled:
        return "cancelled";
    case JobOutcome::NotSaved:
        return "not saved";
    case JobOutcome::AbortedByReceiver:
        return "aborted by the receiver";
    case JobOutcome::Refused:
        return "refused";
    default:
        return result.failure.empty() ? "failed" : result.failure;
    }
}

std::string JobName(const TransferJob& job) {
    return std::visit(Overloaded{
                          [](const FirmwareSend&) { return "firmware send"; },
                          [](const ListSend&) { return "list send"; },
                          [](const ListLoad&) { return "list load"; },
                          [](const SettingsSend&) { return "settings send"; },
                          [](const SettingsLoad&) { return "settings load"; },
                          [](const FirmwareCheck&) { return "firmware check"; },
                      },
                      job);
}

std::string HashOfFile(const std::string& path) {
    std::string reason;
    return path.empty() ? std::string() : Sha256HexOfFile(path, reason);
}

LogbookRecord StepRecord(std::string job, const JobResult& result, Clock::time_point started,
                         Clock::time_point ended) {
    LogbookRecord record;
    record.time = LogbookTime(started);
    record.job = std::move(job);
    record.port = result.port;
    record.device = result.device;
    record.model = result.model;
    record.outcome = OutcomeText(result);
    record.seconds = std::chrono::duration<double>(ended - started).count();
    return record;
}

// The bytes a send puts on the wire, read once so that the check compares with exactly them.
// False when they cannot be read: the send alone then reports why.
bool TakeSentData(TransferJob& send, SendList& list, std::string& settings) {
    if (auto* listSend = std::get_if<ListSend>(&send)) {
        if (!listSend->sendList)
            listSend->sendList = ReadSendList(*listSend);
        list = *listSend->sendList;
        return list.error.empty();
    }
    // A firmware image is checked by the version text it names, not by its bytes.
    if (std::holds_alternative<FirmwareSend>(send))
        return true;
    auto& settingsSend = std::get<SettingsSend>(send);
    if (!settingsSend.fileData) {
        std::string data, reason;
        if (!ReadWholeFile(settingsSend.settings.m_strPath, data, reason))
            return false;
        settingsSend.fileData = std::move(data);
    }
    settings = *settingsSend.fileData;
    return true;
}

} // namespace

CheckVerdict CheckList(const SendList& sent, const JobResult& loaded) {
    const ListComparison comparison = CompareLists(sent.lines, sent.banks, loaded.list->lines,
                                                   loaded.list->banks, loaded.capacity);
    return {comparison.Same(), ListVerdict(comparison), ListReport(comparison)};
}

CheckVerdict CheckSettings(const std::string& sent, const JobResult& loaded) {
    const SettingsComparison comparison = CompareSettings(sent, *loaded.settings);
    return {comparison.Same(), SettingsVerdict(comparison), SettingsReport(comparison)};
}

LogbookRecord LogbookRecordOf(const TransferJob& job, const JobResult& result, double seconds) {
    const Clock::time_point ended = Clock::now();
    const auto started =
        ended - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    LogbookRecord record = StepRecord(JobName(job), result, started, ended);
    const std::string sent = Describe(job).filePath;
    record.file = sent.empty() ? result.savedPath : sent;
    record.sha256 = HashOfFile(record.file);
    return record;
}

SafeSendResult RunSafeSend(TransferSession& session, TransferJob send,
                           const SafeSendOptions& options) {
    SafeSendResult safe;
    const bool list = std::holds_alternative<ListSend>(send);
    const bool firmware = std::holds_alternative<FirmwareSend>(send);
    SendList sentList;
    std::string sentSettings;
    const bool readable = TakeSentData(send, sentList, sentSettings);
    const char listKind = list && std::get<ListSend>(send).list.m_strType == "RA" ? 'R' : 'T';
    const auto load = [&](LoadUse use) -> TransferJob {
        if (list)
            return ListLoad{listKind, use};
        return SettingsLoad{use};
    };

    std::vector<TransferJob> steps;
    // New firmware replaces the old; there is nothing of the receiver's own to keep.
    const bool copy = readable && !firmware && options.safetyCopies != nullptr;
    if (copy)
        steps.push_back(load(LoadUse::SafetyCopy));
    const std::size_t sendIndex = steps.size();
    steps.push_back(send);
    if (readable && options.verify)
        steps.push_back(firmware ? TransferJob{FirmwareCheck{}} : load(LoadUse::CheckAfterSend));

    std::vector<Clock::time_point> times{Clock::now()};
    const auto gate = [&](std::size_t index, const JobResult& result) {
        times.push_back(Clock::now());
        if (!copy || index != 0)
            return true;
        const SafetyCopyWriteResult written =
            list && result.list
                ? options.safetyCopies->WriteListCopy(listKind, result.list->lines,
                                                      result.list->banks, result.model)
            : result.settings
                ? options.safetyCopies->WriteSettingsCopy(*result.settings, result.model)
                : SafetyCopyWriteResult{};
        if (!written.written) {
            safe.reason = written.reason;
            return false;
        }
        safe.safetyCopyPath = written.path;
        return true;
    };
    const std::vector<JobResult> results = steps.size() == 1
                                               ? std::vector<JobResult>{session.Run(send)}
                                               : session.RunSequence(steps, gate);
    if (times.size() == results.size())
        times.push_back(Clock::now());
    safe.outcome = results.back().outcome;

    const std::string kind = list ? "list" : firmware ? "firmware" : "settings";
    if (copy) {
        LogbookRecord record = StepRecord(kind + " safety copy", results[0], times[0], times[1]);
        record.file = safe.safetyCopyPath;
        record.sha256 = HashOfFile(safe.safetyCopyPath);
        if (results[0].outcome == JobOutcome::Succeeded && safe.safetyCopyPath.empty())
            record.outcome = safe.reason;
        safe.log.push_back(std::move(record));
    }
    if (results.size() <= sendIndex) {
        safe.end = SafeSendEnd::SafetyCopyFailed;
        if (safe.reason.empty())
            safe.reason = results[0].failure;
        return safe;
    }

    const JobResult& sent = results[sendIndex];
    LogbookRecord sendRecord =
        StepRecord(JobName(send), sent, times[sendIndex], times[sendIndex + 1]);
    sendRecord.file = Describe(send).filePath;
    sendRecord.sha256 = list || firmware ? HashOfFile(sendRecord.file) : Sha256Hex(sentSettings);
    sendRecord.safetyCopy = safe.safetyCopyPath;
    safe.log.push_back(sendRecord);
    if (sent.outcome != JobOutcome::Succeeded) {
        safe.end = SafeSendEnd::SendFailed;
        return safe;
    }
    if (results.size() == sendIndex + 1) {
        safe.end = SafeSendEnd::Sent;
        return safe;
    }

    const JobResult& check = results[sendIndex + 1];
    if (firmware) {
        // The receiver itself confirmed the programming; a silent one afterwards is a warning.
        const std::string& version = std::get<FirmwareSend>(send).firmware.m_version;
        if (check.outcome != JobOutcome::Succeeded) {
            safe.end = SafeSendEnd::SentUnconfirmed;
            safe.reason = check.outcome == JobOutcome::Cancelled
                              ? LoadResString(str::kCheckCancelled)
                              : check.failure;
            safe.verdict = CheckNotRunText(safe.reason);
        } else if (FirmwareRuns(version, check.software)) {
            safe.end = SafeSendEnd::Sent;
            safe.verdict = FirmwareRunsText(version);
        } else {
            safe.end = SafeSendEnd::Differs;
            safe.verdict = FirmwareStillNamesText(version, check.software);
        }
    } else if (check.outcome != JobOutcome::Succeeded || (list ? !check.list : !check.settings)) {
        safe.end = SafeSendEnd::CheckNotRun;
        safe.reason = check.outcome == JobOutcome::Cancelled ? LoadResString(str::kCheckCancelled)
                                                             : check.failure;
        safe.verdict = CheckNotRunText(safe.reason);
    } else {
        CheckVerdict verdict =
            list ? CheckList(sentList, check) : CheckSettings(sentSettings, check);
        safe.end = verdict.same ? SafeSendEnd::Sent : SafeSendEnd::Differs;
        safe.verdict = std::move(verdict.verdict);
        safe.report = std::move(verdict.report);
    }
    LogbookRecord checkRecord =
        StepRecord(kind + " check", check, times[sendIndex + 1], times[sendIndex + 2]);
    checkRecord.verdict = safe.verdict;
    checkRecord.software = check.software;
    safe.log.back().verdict = safe.verdict;
    safe.log.push_back(std::move(checkRecord));
    return safe;
}

} // namespace fw
