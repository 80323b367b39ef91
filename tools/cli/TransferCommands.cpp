// The commands that talk to the receiver: ports, firmware, list and settings.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"
#include "tools/cli/TerminalInteraction.h"
#include "tools/cli/TerminalTransferView.h"

#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/firmware/TransferFile.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "core/link/TransferSession.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/FolderScan.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <unistd.h>

namespace fw::cli {
namespace {

// What a transfer reads from the program's data folder, with the command line's overrides.
struct LinkContext {
    LinkSettings settings;
    std::optional<PortMap> ports;
};

int UsageError(std::ostream& err, const std::string& message, int usage) {
    err << message << "\n\n" << LoadResString(usage);
    return kExitUsage;
}

bool LoadLinkContext(const Arguments& arguments, LinkContext& context, std::ostream& err) {
    const DataFolders folders =
        FoldersUnder(ChooseDataFolder(ExecutableFolder(), arguments.Value("--data-dir")));
    CProfileFile profile;
    std::string reason;
    if (!profile.Load(folders.profile, reason)) {
        err << FormatText(LoadResString(str::kCliOpenFailed), {folders.profile, reason}) << '\n';
        return false;
    }
    CKonfiguration config;
    if (profile.Exists())
        config.Load(profile);
    context.settings = LinkSettings::FromConfiguration(config);
    context.ports.emplace(PortMap::FromProfile(profile, ListSerialDevices()));

    if (arguments.Has("--port")) {
        const std::string port = arguments.Value("--port");
        if (port == "auto") {
            context.settings.comPort = 0;
        } else if (port.size() == 4 && EndsWithNoCase(port.substr(0, 3), "COM") &&
                   port[3] >= '1' && port[3] <= '4') {
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

// Ctrl+C works like the dialog's Cancel button: the job sees it at its next poll. The handler
// may run on any thread, so the two are handed over as lock-free atomics.
std::atomic<CancelEvent*> g_cancel{nullptr};
std::atomic<TerminalTransferView*> g_view{nullptr};

void OnInterrupt(int) {
    if (CancelEvent* cancel = g_cancel.load())
        cancel->Set();
    if (TerminalTransferView* view = g_view.load())
        view->NoteInterrupt();
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

// Every byte on the line with the time since the start, for support.
class TraceFile {
public:
    bool Open(const std::string& path, std::string& reason) {
        m_file.open(path, std::ios::binary | std::ios::trunc);
        if (!m_file) {
            reason = SystemReason(path, errno);
            return false;
        }
        m_start = std::chrono::steady_clock::now();
        return true;
    }
    void Record(bool sent, const unsigned char* data, std::size_t size) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        m_file << std::fixed << std::setprecision(3) << seconds << (sent ? " > " : " < ");
        for (std::size_t i = 0; i < size; ++i)
            m_file << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0')
                   << static_cast<int>(data[i]) << std::dec << std::setfill(' ');
        m_file << '\n';
    }

private:
    std::ofstream m_file;
    std::chrono::steady_clock::time_point m_start;
};

int RunJob(const Arguments& arguments, const TransferJob& job, std::optional<SaveTarget> target,
           std::ostream& err) {
    LinkContext context;
    if (!LoadLinkContext(arguments, context, err))
        return kExitUsage;
    TraceFile trace;
    if (arguments.Has("--trace")) {
        std::string reason;
        if (!trace.Open(arguments.Value("--trace"), reason)) {
            err << FormatText(LoadResString(str::kCliTraceFailed), {reason}) << '\n';
            return kExitUsage;
        }
    }
    const bool terminal = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
    TerminalInteraction questions(err, terminal ? &std::cin : nullptr, arguments.Has("--yes"));
    TerminalTransferView view(err, questions, &err == &std::cerr && ::isatty(STDERR_FILENO),
                              std::move(target));
    CancelEvent cancel;
    ChainMemory chain;
    TransferSession session(job, context.settings, *context.ports, view, chain, cancel);
    if (arguments.Has("--trace"))
        session.Port().SetTrace([&trace](bool sent, const unsigned char* data, std::size_t size) {
            trace.Record(sent, data, size);
        });
    if (job.kind == TransferJobKind::ListSend && session.LoadSendList() < 0) {
        err << session.sendListError << '\n';
        return kExitBadFile;
    }
    view.Attach(session);
    {
        InterruptGuard interrupts(cancel, view);
        session.Run();
    }
    switch (session.Outcome()) {
    case JobOutcome::Succeeded:
        return kExitOk;
    case JobOutcome::Cancelled:
        return kExitCancelled;
    case JobOutcome::Refused:
        return view.WarningDeclined() ? kExitCancelled : kExitFailed;
    default:
        return kExitFailed;
    }
}

// An output path: the extension is added when missing, an existing file needs --force.
bool PrepareOutput(const Arguments& arguments, std::string& path, std::string_view extension,
                   std::ostream& err) {
    if (!EndsWithNoCase(path, extension))
        path += extension;
    if (::access(path.c_str(), F_OK) == 0 && !arguments.Has("--force")) {
        err << FormatText(LoadResString(str::kCliOutExists), {path}) << '\n';
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

int UnknownWord(std::ostream& err, const std::string& word, const std::string& expected, int usage) {
    return UsageError(err, FormatText(LoadResString(str::kCliUnknownSubcommand), {word, expected}),
                      usage);
}

int FirmwareSend(const Arguments& arguments, std::ostream& err) {
    const std::string& path = arguments.words[2];
    if (!ReadInputFile(path, err))
        return kExitBadFile;
    CTransferFile file;
    if (LoadFirmwareTrailer(file, path) != CTransferFile::kLoaded)
        return BadFile(err, str::kCliWrongFormat, path);
    file.ReadTrailerStrings(3);
    TransferJob job;
    job.kind = TransferJobKind::FirmwareSend;
    job.firmware = CReceiverdat(file);
    return RunJob(arguments, job, std::nullopt, err);
}

int ListLoad(const Arguments& arguments, std::ostream& err) {
    const std::string& which = arguments.words[2];
    if (which != "tv" && which != "radio")
        return UnknownWord(err, which, "tv|radio", str::kCliListUsage);
    std::string out = arguments.words[3];
    if (!PrepareOutput(arguments, out, ".lst", err))
        return kExitBadFile;
    TransferJob job;
    job.kind = TransferJobKind::ListLoad;
    job.listKind = which == "tv" ? 'T' : 'R';
    return RunJob(arguments, job, SaveTarget{out, arguments.Value("--description")}, err);
}

int ListSend(const Arguments& arguments, std::ostream& err) {
    const std::string& path = arguments.words[2];
    const std::optional<std::string> read = ReadInputFile(path, err);
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
    if (programs(data) != programs(analysis.RepairedText(data)))
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
    TransferJob job;
    job.kind = TransferJobKind::ListSend;
    job.list.Fill({type, analysis.shownDescription, path, FileNameOfPath(path),
                   std::to_string(data.size())});
    return RunJob(arguments, job, std::nullopt, err);
}

int SettingsLoad(const Arguments& arguments, std::ostream& err) {
    std::string out = arguments.words[2];
    if (!PrepareOutput(arguments, out, ".grd", err))
        return kExitBadFile;
    TransferJob job;
    job.kind = TransferJobKind::SettingsLoad;
    return RunJob(arguments, job, SaveTarget{out, {}}, err);
}

int SettingsSend(const Arguments& arguments, std::ostream& err) {
    const std::string& path = arguments.words[2];
    const std::optional<std::string> data = ReadInputFile(path, err);
    if (!data)
        return kExitBadFile;
    TransferJob job;
    job.kind = TransferJobKind::SettingsSend;
    job.settings.m_size = static_cast<std::int32_t>(data->size());
    job.settings.m_path = path;
    job.settings.m_name = FileNameOfPath(path);
    return RunJob(arguments, job, std::nullopt, err);
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

int RunFirmware(const Arguments& arguments, std::ostream&, std::ostream& err) {
    if (!Expect(arguments, 3, str::kCliFirmwareUsage, err))
        return kExitUsage;
    if (arguments.words[1] != "send")
        return UnknownWord(err, arguments.words[1], "send", str::kCliFirmwareUsage);
    return FirmwareSend(arguments, err);
}

int RunList(const Arguments& arguments, std::ostream&, std::ostream& err) {
    if (arguments.words.size() >= 2 && arguments.words[1] == "load") {
        if (!Expect(arguments, 4, str::kCliListUsage, err))
            return kExitUsage;
        return ListLoad(arguments, err);
    }
    if (arguments.words.size() >= 2 && arguments.words[1] == "send") {
        if (!Expect(arguments, 3, str::kCliListUsage, err))
            return kExitUsage;
        return ListSend(arguments, err);
    }
    if (arguments.words.size() < 2)
        return UsageError(err, LoadResString(str::kCliWrongWordCount), str::kCliListUsage);
    return UnknownWord(err, arguments.words[1], "load|send", str::kCliListUsage);
}

int RunSettings(const Arguments& arguments, std::ostream&, std::ostream& err) {
    if (!Expect(arguments, 3, str::kCliSettingsUsage, err))
        return kExitUsage;
    if (arguments.words[1] == "load")
        return SettingsLoad(arguments, err);
    if (arguments.words[1] == "send")
        return SettingsSend(arguments, err);
    return UnknownWord(err, arguments.words[1], "load|send", str::kCliSettingsUsage);
}

} // namespace fw::cli
