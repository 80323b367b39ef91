// The commands that talk to the receiver: ports, firmware, list and settings.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"
#include "tools/cli/LinkContext.h"
#include "tools/cli/TerminalInteraction.h"
#include "tools/cli/TerminalTransferView.h"

#include "core/app/DataFolders.h"
#include "core/app/Logbook.h"
#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/firmware/TransferFile.h"
#include "core/link/SafeSend.h"
#include "core/link/SaveName.h"
#include "core/link/TransferSession.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "core/util/Cp1252.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fw::cli {

bool LoadLinkContext(const Arguments& arguments, LinkContext& context, std::ostream& err) {
    const DataFolders folders =
        FoldersUnder(ChooseDataFolder(ExecutableFolder(), arguments.Value("--data-dir")));
    context.folders = folders;
    context.profilePath = folders.profile;
    ProfileFile profile;
    std::string reason;
    if (!profile.Load(folders.profile, reason)) {
        err << FormatText(LoadResString(str::kCliOpenFailed), {folders.profile, reason}) << '\n';
        return false;
    }
    CKonfiguration config;
    if (profile.Exists())
        config.Load(profile);
    context.settings = LinkSettings::FromConfiguration(config);
    context.safetyCopy = config.m_safetyCopy != 0 && !arguments.Has("--no-backup");
    context.verify = config.m_verifyAfterSend != 0 && !arguments.Has("--no-verify");
    context.safetyCopyKeep = config.m_safetyCopyKeep;
    context.ports.emplace(PortMap::FromProfile(profile, ListSerialDevices()));

    if (arguments.Has("--port")) {
        const std::string port = arguments.Value("--port");
        if (port == "auto") {
            context.settings.comPort = 0;
        } else if (port.size() == 4 && EndsWithNoCase(port.substr(0, 3), "COM") && port[3] >= '1' &&
                   port[3] <= '4') {
            context.settings.comPort = port[3] - '0';
        } else if (port.find('/') != std::string::npos) {
            context.settings.device = port;
        } else {
            err << FormatText(LoadResString(str::kCliBadValue), {"--port", port}) << '\n';
            return false;
        }
    }
    if (arguments.Has("--baud")) {
        const std::string baud = arguments.Value("--baud");
        const auto offered = std::find_if(kBaudRates.begin(), kBaudRates.end(),
                                          [&](int rate) { return std::to_string(rate) == baud; });
        if (offered == kBaudRates.end()) {
            err << FormatText(LoadResString(str::kCliBadValue), {"--baud", baud}) << '\n';
            return false;
        }
        context.settings.baudRate = *offered;
    }
    return true;
}

namespace {

// Ctrl+C works like the dialog's Cancel button: the job sees it at its next poll, and only
// while the button could be pressed. The handler may run on any thread, so the two are handed
// over as lock-free atomics.
std::atomic<CancelEvent*> g_cancel{nullptr};
std::atomic<TerminalTransferView*> g_view{nullptr};

void OnInterrupt(int) {
    TerminalTransferView* view = g_view.load();
    CancelEvent* cancel = g_cancel.load();
    if (view != nullptr && view->NoteInterrupt() && cancel != nullptr)
        cancel->Set();
}

class InterruptGuard {
public:
    InterruptGuard(CancelEvent& cancel, TerminalTransferView& view) {
        g_cancel = &cancel;
        g_view = &view;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &m_previous);
    }
    ~InterruptGuard() {
        ::sigaction(SIGINT, &m_previous, nullptr);
        g_cancel = nullptr;
        g_view = nullptr;
    }

private:
    struct sigaction m_previous {};
};

// Every byte on the line with the time since the start, for support. A write that fails (a full
// disk) must not end the transfer; it is remembered and reported once the transfer is over.
class TraceFile {
public:
    TraceFile() = default;
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;
    ~TraceFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool Open(const std::string& path, std::string& reason) {
        m_path = path;
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            reason = SystemReason(path, errno);
            return false;
        }
        m_start = std::chrono::steady_clock::now();
        return true;
    }
    void Record(bool sent, const unsigned char* data, std::size_t size) {
        if (!m_failure.empty())
            return;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        std::ostringstream line;
        line << std::fixed << std::setprecision(3) << seconds << (sent ? " > " : " < ");
        for (std::size_t i = 0; i < size; ++i)
            line << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0')
                 << static_cast<int>(data[i]) << std::dec << std::setfill(' ');
        line << '\n';
        const std::string text = line.str();
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t wrote = ::write(m_fd, text.data() + done, text.size() - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0) {
                m_failure = SystemReason(m_path, wrote < 0 ? errno : ENOSPC);
                return;
            }
            done += static_cast<std::size_t>(wrote);
        }
    }
    // Why the trace stops early; empty when it is whole.
    const std::string& Failure() const { return m_failure; }
    const std::string& Path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
    std::string m_failure;
    std::chrono::steady_clock::time_point m_start;
};

// The file sent or the file a load writes: a trace of the same name would destroy it.
std::string FileOfTheRun(const TransferJob& job, const std::optional<SaveTarget>& target) {
    std::string sent = Describe(job).filePath;
    return !sent.empty() ? sent : target ? target->path : std::string();
}

// Checks what only the job itself can tell once the link settings are known; an exit code,
// kExitOk to go on.
using JobCheck = std::function<int(TransferJob& job)>;

// unanswered: the job's questions had no one to answer them (no terminal, no --yes).
int ExitOf(JobOutcome outcome, const TerminalTransferView& view, bool unanswered,
           std::ostream& err) {
    switch (outcome) {
    case JobOutcome::Succeeded:
        return kExitOk;
    case JobOutcome::Cancelled:
        return kExitCancelled;
    case JobOutcome::Refused:
        if (!view.QuestionDeclined())
            return kExitFailed;
        if (unanswered)
            err << LoadResString(str::kCliQuestionNeedsYes) << '\n';
        return kExitCancelled;
    case JobOutcome::AbortedByReceiver:
        err << LoadResString(str::kCliReceiverCancelled) << '\n';
        return kExitFailed;
    default:
        return kExitFailed;
    }
}

// The verdict goes to stdout, where a script reads it; everything else to stderr.
int ExitOfSafeSend(const SafeSendResult& safe, const TerminalTransferView& view, bool unanswered,
                   std::ostream& out, std::ostream& err) {
    if (!safe.safetyCopyPath.empty())
        err << FormatText(LoadResString(str::kCliSafetyCopyWritten), {safe.safetyCopyPath}) << '\n';
    switch (safe.end) {
    case SafeSendEnd::Sent:
        if (!safe.verdict.empty())
            out << safe.verdict << '\n';
        return kExitOk;
    case SafeSendEnd::Differs:
        out << safe.verdict << '\n';
        return kExitReceiverDiffers;
    case SafeSendEnd::CheckNotRun:
        err << safe.verdict << '\n';
        return kExitFailed;
    case SafeSendEnd::SentUnconfirmed:
        err << safe.verdict << '\n';
        return kExitOk;
    case SafeSendEnd::SafetyCopyFailed:
        if (safe.outcome == JobOutcome::Cancelled)
            return kExitCancelled;
        err << FormatText(LoadResString(str::kCliSafetyCopyFailed), {safe.reason}) << '\n';
        return kExitFailed;
    case SafeSendEnd::SendFailed:
        break;
    }
    return ExitOf(safe.outcome, view, unanswered, err);
}

// A logbook that cannot be written must not turn a transfer into a failure; it is said.
void AppendToLogbook(const std::string& dataFolder, const std::vector<LogbookRecord>& records,
                     std::ostream& err) {
    for (const LogbookRecord& record : records) {
        std::string reason;
        if (!fw::AppendToLogbook(dataFolder, record, reason)) {
            err << FormatText(LoadResString(str::kLogbookNotWritten), {reason}) << '\n';
            return;
        }
    }
}

// Writes the whole comparison where --report asks for it. A report asked for and not written
// turns a success into a failure.
int WithReport(const std::string& path, const std::string& report, int code, std::ostream& err) {
    if (path.empty() || report.empty())
        return code;
    std::string reason;
    if (WriteFileAtomically(path, report, reason))
        return code;
    err << FormatText(LoadResString(str::kCliReportNotWritten), {reason}) << '\n';
    return code == kExitOk ? kExitFailed : code;
}

// Compares what a load brought back with a file, for the check commands.
using Judge = std::function<CheckVerdict(const JobResult& loaded)>;

int RunJob(const Arguments& arguments, TransferJob job, std::optional<SaveTarget> target,
           std::ostream& out, std::ostream& err, const JobCheck& check = {},
           const Judge& judge = {}) {
    LinkContext context;
    if (!LoadLinkContext(arguments, context, err))
        return kExitUsage;
    const std::string reportPath = arguments.Value("--report");
    if (arguments.Has("--report")) {
        for (const std::string& used : {arguments.words.back(), context.profilePath}) {
            if (NamesSameFile(reportPath, used)) {
                err << FormatText(LoadResString(str::kCliReportIsInput), {reportPath, used})
                    << '\n';
                return kExitUsage;
            }
        }
    }
    const bool tracing = arguments.Has("--trace");
    const std::string tracePath = arguments.Value("--trace");
    if (tracing) {
        for (const std::string& used : {FileOfTheRun(job, target), context.profilePath}) {
            if (!used.empty() && NamesSameFile(tracePath, used)) {
                err << FormatText(LoadResString(str::kCliTraceIsInput), {tracePath, used}) << '\n';
                return kExitUsage;
            }
        }
    }
    // Questions are read from the terminal only when they were written to it.
    const bool terminal = &err == &std::cerr && ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
    TerminalInteraction questions(err, terminal ? &std::cin : nullptr, arguments.Has("--yes"));
    const bool unanswered = !terminal && !arguments.Has("--yes");
    TerminalTransferView view(err, questions, &err == &std::cerr && ::isatty(STDERR_FILENO),
                              std::move(target));
    CancelEvent cancel;
    ChainMemory chain;
    TransferSession session(context.settings, *context.ports, view, chain, cancel);
    if (check) {
        if (const int checked = check(job); checked != kExitOk)
            return checked;
    }
    // Only now: every input has been read, so a trace can no longer destroy one.
    TraceFile trace;
    if (tracing) {
        std::string reason;
        if (!trace.Open(tracePath, reason)) {
            err << FormatText(LoadResString(str::kCliTraceFailed), {reason}) << '\n';
            return kExitUsage;
        }
        session.Port().SetTrace([&trace](bool sent, const unsigned char* data, std::size_t size) {
            trace.Record(sent, data, size);
        });
    }
    view.Attach(session);
    const bool send = std::holds_alternative<fw::ListSend>(job) ||
                      std::holds_alternative<fw::SettingsSend>(job) ||
                      std::holds_alternative<fw::FirmwareSend>(job);
    SafetyCopyStore safetyCopies(context.folders, context.safetyCopyKeep);
    std::optional<SafeSendResult> safe;
    JobResult result;
    const auto started = std::chrono::steady_clock::now();
    {
        InterruptGuard interrupts(cancel, view);
        if (send)
            safe = RunSafeSend(session, job,
                               {context.safetyCopy ? &safetyCopies : nullptr, context.verify});
        else
            result = session.Run(job);
    }
    // The session goes before the view: its timers must not reach it then.
    view.Detach();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!trace.Failure().empty())
        err << FormatText(LoadResString(str::kCliTraceIncomplete), {trace.Path(), trace.Failure()})
            << '\n';
    if (safe) {
        AppendToLogbook(context.folders.program, safe->log, err);
        return WithReport(reportPath, safe->report,
                          ExitOfSafeSend(*safe, view, unanswered, out, err), err);
    }
    LogbookRecord record = LogbookRecordOf(job, result, seconds);
    if (!judge || session.Outcome() != JobOutcome::Succeeded) {
        AppendToLogbook(context.folders.program, {record}, err);
        return ExitOf(session.Outcome(), view, unanswered, err);
    }
    const CheckVerdict verdict = judge(result);
    record.job = std::holds_alternative<fw::ListLoad>(job) ? "list check" : "settings check";
    record.verdict = verdict.verdict;
    AppendToLogbook(context.folders.program, {record}, err);
    out << verdict.verdict << '\n';
    return WithReport(reportPath, verdict.report, verdict.same ? kExitOk : kExitReceiverDiffers,
                      err);
}

// An output path: the same name rule as the save dialog, the extension added when missing, an
// existing file only with --force, and a folder that takes a new file; all before the transfer,
// which would otherwise throw the received data away.
bool PrepareOutput(const Arguments& arguments, std::string& path, SaveKind kind,
                   std::ostream& err) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const SaveName name =
        CheckSaveName(slash == std::string::npos ? path : path.substr(slash + 1), kind, folder);
    if (name.status != SaveNameStatus::Ok) {
        err << name.message << '\n';
        return false;
    }
    path = slash == std::string::npos ? name.fileName : path.substr(0, slash + 1) + name.fileName;
    if (name.exists && !arguments.Has("--force")) {
        err << FormatText(LoadResString(str::kCliOutExists), {path}) << '\n';
        return false;
    }
    std::string reason;
    if (name.exists && !CanReplaceFile(path, reason)) {
        err << reason << '\n';
        return false;
    }
    if (!CanWriteInFolder(folder, reason)) {
        err << FormatText(LoadResString(str::kCliTargetNotWritable), {path, reason}) << '\n';
        return false;
    }
    return true;
}

bool Expect(const Arguments& arguments, std::size_t words, int usage, std::ostream& err) {
    if (arguments.words.size() == words)
        return true;
    UsageError(err, LoadResString(str::kCliWrongWordCount), usage);
    return false;
}

int FirmwareSend(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::string& path = arguments.words[2];
    std::optional<std::string> data = ReadInputFile(path, err, kFirmwareFileLimit);
    if (!data)
        return kExitBadFile;
    CTransferFile file;
    if (file.TakeTrailer(path, *data) != CTransferFile::kLoaded ||
        file.CheckSignature(str::kFirmwareSignature) != CTransferFile::kLoaded)
        return BadFile(err, str::kCliWrongFormat, path);
    file.ReadTrailerStrings(3);
    fw::FirmwareSend job;
    job.firmware = CReceiverdat(file);
    job.fileData = std::move(data);
    return RunJob(arguments, std::move(job), std::nullopt, out, err);
}

int ListLoad(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::string& which = arguments.words[2];
    if (which != "tv" && which != "radio")
        return UnknownWord(err, which, "tv|radio", str::kCliListUsage);
    std::string target = arguments.words[3];
    if (!PrepareOutput(arguments, target, SaveKind::ProgramList, err))
        return kExitBadFile;
    bool lossless = true;
    const std::string description = Utf8ToCp1252(arguments.Value("--description"), &lossless);
    if (!lossless) {
        err << LoadResString(str::kDescriptionNotEncodable) << '\n';
        return kExitUsage;
    }
    return RunJob(arguments, fw::ListLoad{which == "tv" ? 'T' : 'R'},
                  SaveTarget{target, description}, out, err);
}

// The list file as a send (or a check) takes it: read, checked and typed; an exit code.
int ReadListToSend(const Arguments& arguments, fw::ListSend& job, std::ostream& err) {
    const std::string& path = arguments.words[2];
    std::optional<std::string> read = ReadInputFile(path, err);
    if (!read)
        return kExitBadFile;
    const std::string& data = *read;
    const ListAnalysis analysis = AnalyseListText(data);
    if (!analysis.isList)
        return BadFile(err, str::kCliWrongFormat, path);
    // Sending skips the first two lines; a file whose repair would move its programs must be
    // repaired first, or programs would be lost on the way.
    const auto programs = [](std::string_view text) {
        std::vector<std::string_view> lines = SplitTextModeLines(text);
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
        return std::vector<std::string>(lines.begin(), lines.end());
    };
    if (programs(data) != programs(analysis.HeadRepairedText(data)))
        return BadFile(err, str::kCliListNeedsRepair, path);
    std::string type = analysis.type;
    if (arguments.Has("--type")) {
        const std::string given = arguments.Value("--type");
        if (given != "tv" && given != "radio")
            return UsageError(err, FormatText(LoadResString(str::kCliBadValue), {"--type", given}),
                              str::kCliListUsage);
        type = given == "tv" ? ListTypeText(kListTv) : ListTypeText(kListRadio);
    }
    if (ListTypeFromText(type) == kListUnknown) {
        err << LoadResString(str::kCliListWithoutType) << '\n';
        return kExitBadFile;
    }
    job.list.Fill(
        {type, analysis.shownDescription, path, FileNameOfPath(path), std::to_string(data.size())});
    job.fileData = std::move(read);
    return kExitOk;
}

int ListSend(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    fw::ListSend job;
    if (const int read = ReadListToSend(arguments, job, err); read != kExitOk)
        return read;
    // Read once the link settings are known, so that a bad option is reported first.
    const auto checkSendList = [&arguments, &err](TransferJob& prepared) {
        fw::ListSend& send = std::get<fw::ListSend>(prepared);
        send.sendList = ReadSendList(send);
        if (!send.sendList->error.empty()) {
            err << send.sendList->error << '\n';
            return kExitBadFile;
        }
        if (!send.sendList->hasPrograms && !arguments.Has("--yes")) {
            err << FormatText(LoadResString(str::kSendEmptyListRefused), {send.list.m_strPath})
                << ' ' << LoadResString(str::kCliEmptyListNeedsYes) << '\n';
            return kExitBadFile;
        }
        return kExitOk;
    };
    return RunJob(arguments, std::move(job), std::nullopt, out, err, checkSendList);
}

int ListCheck(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    fw::ListSend file;
    if (const int read = ReadListToSend(arguments, file, err); read != kExitOk)
        return read;
    file.sendList = ReadSendList(file);
    if (!file.sendList->error.empty()) {
        err << file.sendList->error << '\n';
        return kExitBadFile;
    }
    const char kind = file.list.m_strType == ListTypeText(kListRadio) ? 'R' : 'T';
    return RunJob(arguments, fw::ListLoad{kind, LoadUse::Compare}, std::nullopt, out, err, {},
                  [&file](const JobResult& loaded) { return CheckList(*file.sendList, loaded); });
}

int SettingsCheck(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> data = ReadInputFile(arguments.words[2], err);
    if (!data)
        return kExitBadFile;
    return RunJob(arguments, fw::SettingsLoad{LoadUse::Compare}, std::nullopt, out, err, {},
                  [&data](const JobResult& loaded) { return CheckSettings(*data, loaded); });
}

int SettingsLoad(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    std::string target = arguments.words[2];
    if (!PrepareOutput(arguments, target, SaveKind::Settings, err))
        return kExitBadFile;
    return RunJob(arguments, fw::SettingsLoad{}, SaveTarget{target, {}}, out, err);
}

int SettingsSend(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::string& path = arguments.words[2];
    std::optional<std::string> data = ReadInputFile(path, err);
    if (!data)
        return kExitBadFile;
    fw::SettingsSend job;
    job.settings.m_size = static_cast<std::int32_t>(data->size());
    job.settings.m_strPath = path;
    job.settings.m_strFileName = FileNameOfPath(path);
    job.fileData = std::move(data);
    return RunJob(arguments, std::move(job), std::nullopt, out, err);
}

} // namespace

int RunPorts(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (!Expect(arguments, 1, str::kCliPortsUsage, err))
        return kExitUsage;
    LinkContext context;
    if (!LoadLinkContext(arguments, context, err))
        return kExitUsage;
    for (int port = 1; port <= PortMap::kPortCount; ++port) {
        const std::string device = context.ports->DeviceFor(port);
        out << PortMap::NameFor(port) << ": "
            << (device.empty() ? LoadResString(str::kNoDevice) : device) << '\n';
    }
    return kExitOk;
}

int RunFirmware(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (!Expect(arguments, 3, str::kCliFirmwareUsage, err))
        return kExitUsage;
    if (arguments.words[1] != "send")
        return UnknownWord(err, arguments.words[1], "send", str::kCliFirmwareUsage);
    return FirmwareSend(arguments, out, err);
}

int RunList(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.words.size() >= 2 && IsListEditWord(arguments.words[1]))
        return RunListEdit(arguments, out, err);
    if (arguments.words.size() >= 2 && arguments.words[1] == "batch")
        return RunListBatch(arguments, out, err);
    if (!RefuseOptions(arguments, kListEditOptions, str::kCliListUsage, err))
        return kExitUsage;
    if (arguments.words.size() >= 2 && arguments.words[1] == "load") {
        if (!Expect(arguments, 4, str::kCliListUsage, err))
            return kExitUsage;
        return ListLoad(arguments, out, err);
    }
    if (arguments.words.size() >= 2 && arguments.words[1] == "send") {
        if (!Expect(arguments, 3, str::kCliListUsage, err))
            return kExitUsage;
        return ListSend(arguments, out, err);
    }
    if (arguments.words.size() >= 2 && arguments.words[1] == "check") {
        if (!Expect(arguments, 3, str::kCliListUsage, err))
            return kExitUsage;
        return ListCheck(arguments, out, err);
    }
    if (arguments.words.size() < 2)
        return UsageError(err, LoadResString(str::kCliWrongWordCount), str::kCliListUsage);
    return UnknownWord(err, arguments.words[1], "load|send|check|" + ListEditWords() + "|batch",
                       str::kCliListUsage);
}

int RunSettings(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (!Expect(arguments, 3, str::kCliSettingsUsage, err))
        return kExitUsage;
    if (arguments.words[1] == "load")
        return SettingsLoad(arguments, out, err);
    if (arguments.words[1] == "send")
        return SettingsSend(arguments, out, err);
    if (arguments.words[1] == "check")
        return SettingsCheck(arguments, out, err);
    return UnknownWord(err, arguments.words[1], "load|send|check", str::kCliSettingsUsage);
}

} // namespace fw::cli
