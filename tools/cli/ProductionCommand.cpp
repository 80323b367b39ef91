// The production station on the command line: one recipe, several receivers at once.
#include "tools/cli/Cli.h"
#include "tools/cli/Commands.h"
#include "tools/cli/LinkContext.h"
#include "tools/cli/TerminalInteraction.h"
#include "tools/cli/TerminalTransferView.h"

#include "core/production/ProductionReport.h"
#include "core/production/Recipe.h"
#include "core/production/Station.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <iomanip>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <unistd.h>

namespace fw::cli {
namespace {

struct ChosenPort {
    std::string name;   // "COM1", or the device as given
    std::string given;  // as on the command line, for messages
    std::string device; // the device the port's jobs open
};

bool IsComName(const std::string& port) {
    return port.size() == 4 && EndsWithNoCase(port.substr(0, 3), "COM") && port[3] >= '1' &&
           port[3] <= '4';
}

// Every --port once, each a fixed port: a station never searches, as two ports could find one
// receiver. Without --port, COMPORT of upd.ini when it names a port.
bool ChoosePorts(const Arguments& arguments, const LinkContext& context,
                 std::vector<ChosenPort>& chosen, std::ostream& err) {
    std::vector<std::string> given = arguments.Values("--port");
    if (given.empty() && context.settings.comPort >= 1 &&
        context.settings.comPort <= PortMap::kPortCount)
        given.push_back(PortMap::NameFor(context.settings.comPort));
    if (given.empty()) {
        UsageError(err, LoadResString(str::kCliProductionNeedsPorts), str::kCliProductionUsage);
        return false;
    }
    for (const std::string& port : given) {
        ChosenPort next{port, port, port};
        if (IsComName(port)) {
            next.name = PortMap::NameFor(port[3] - '0');
            next.device = context.ports->DeviceFor(port[3] - '0');
            if (next.device.empty()) {
                err << FormatText(LoadResString(str::kCliProductionNoDevice), {next.name}) << '\n';
                return false;
            }
        } else if (port.find('/') == std::string::npos) {
            UsageError(err,
                       FormatText(LoadResString(str::kCliBadValue), {"--port", port}) + "\n" +
                           LoadResString(str::kCliProductionNeedsPorts),
                       str::kCliProductionUsage);
            return false;
        }
        for (const ChosenPort& earlier : chosen) {
            if (NamesSameFile(earlier.device, next.device)) {
                err << FormatText(LoadResString(str::kCliProductionPortTwice),
                                  {earlier.given, next.given})
                    << '\n';
                return false;
            }
        }
        chosen.push_back(next);
    }
    return true;
}

// A report over the recipe, one of its files, upd.ini or the day's log would destroy it; one
// that cannot be written is said before anything is sent.
bool RefuseReportOverInput(const std::string& report, const std::string& recipePath,
                           const Recipe& recipe, const LinkContext& context, std::ostream& err) {
    const std::string& data = context.folders.program;
    std::vector<std::string> inputs = {recipePath, context.profilePath,
                                       ProductionLogPath(data, std::chrono::system_clock::now())};
    for (const std::string* file :
         {&recipe.firmware, &recipe.settings, &recipe.tvList, &recipe.radioList}) {
        if (!file->empty())
            inputs.push_back(RecipeFilePath(data, *file));
    }
    for (const std::string& input : inputs) {
        if (NamesSameFile(report, input)) {
            err << FormatText(LoadResString(str::kCliReportIsInput), {report, input}) << '\n';
            return true;
        }
    }
    // Known before the first receiver rather than after the last.
    const std::size_t slash = report.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : report.substr(0, slash);
    std::string reason;
    if (!CanReplaceFile(report, reason) || !CanWriteInFolder(folder, reason)) {
        err << FormatText(LoadResString(str::kCliTargetNotWritable), {report, reason}) << '\n';
        return true;
    }
    return false;
}

// One port of the run, with what the interrupt handler may touch.
struct StationSlot {
    ChosenPort port;
    std::unique_ptr<TerminalTransferView> view;
    CancelEvent cancel;
    std::atomic<bool> finished{false};
    std::atomic<bool> cancelTaken{false};
};

using Slots = std::vector<std::unique_ptr<StationSlot>>;

// Ctrl+C is every running port's Cancel button, each taken only where its receiver allows it
// at that moment. The slots do not change while the handler is installed.
std::atomic<Slots*> g_slots{nullptr};

void OnStationInterrupt(int) {
    Slots* slots = g_slots.load();
    if (slots == nullptr)
        return;
    for (const auto& slot : *slots) {
        if (slot->finished.load())
            continue;
        if (slot->view->NoteInterrupt()) {
            slot->cancelTaken.store(true);
            // The port ends, not only its running job: a press between two jobs would
            // otherwise be forgotten by the next.
            slot->cancel.SetForGood();
        }
    }
}

class StationInterruptGuard {
public:
    explicit StationInterruptGuard(Slots& slots) {
        g_slots = &slots;
        struct sigaction action {};
        action.sa_handler = OnStationInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, &m_previous);
    }
    ~StationInterruptGuard() {
        ::sigaction(SIGINT, &m_previous, nullptr);
        g_slots = nullptr;
    }
    StationInterruptGuard(const StationInterruptGuard&) = delete;
    StationInterruptGuard& operator=(const StationInterruptGuard&) = delete;

private:
    struct sigaction m_previous {};
};

// Table cells and event lines are one line each; a receiver's text must not drive the terminal.
std::string OneLineText(const std::string& text) {
    std::string line;
    for (char c : text) {
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
        if (control && (line.empty() || line.back() == ' '))
            continue;
        line += control ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// Characters on the terminal, not bytes: the German headings hold umlauts.
std::size_t ShownWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string SummaryTable(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], ShownWidth(line[i]));
    }
    std::string table;
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size())
                text += std::string(widths[i] - ShownWidth(line[i]) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        table += text + '\n';
    }
    return table;
}

// Why a receiver failed; a refused question ends its job without a message of its own.
std::string ReasonOf(const ProductionRow& row, const TerminalTransferView& view) {
    if (row.reason.empty() && view.QuestionDeclined())
        return LoadResString(str::kCliProductionAnsweredNo);
    return OneLineText(row.reason);
}

std::string Seconds(double seconds) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << seconds;
    return text.str();
}

} // namespace

int RunProduction(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.words.size() >= 2 && arguments.words[1] != "run")
        return UnknownWord(err, arguments.words[1], "run", str::kCliProductionUsage);
    if (arguments.words.size() != 3)
        return UsageError(err, LoadResString(str::kCliWrongWordCount), str::kCliProductionUsage);
    LinkContext context;
    if (!LoadLinkContext(arguments, context, err))
        return kExitUsage;
    std::vector<ChosenPort> chosen;
    if (!ChoosePorts(arguments, context, chosen, err))
        return kExitUsage;

    const std::string& recipePath = arguments.words[2];
    const std::string& dataFolder = context.folders.program;
    Recipe recipe;
    std::string reason;
    if (!LoadRecipe(recipePath, recipe, reason)) {
        err << reason << '\n';
        return kExitBadFile;
    }
    const std::string reportPath = arguments.Value("--report");
    if (arguments.Has("--report") &&
        RefuseReportOverInput(reportPath, recipePath, recipe, context, err))
        return kExitUsage;
    PreparedRecipe prepared;
    if (!PrepareRecipe(recipe, dataFolder, prepared, reason)) {
        err << reason << '\n';
        return kExitBadFile;
    }

    // Questions are read from the terminal only when they were written to it.
    const bool errTerminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
    const bool terminal = errTerminal && ::isatty(STDIN_FILENO);
    const bool unanswered = !terminal && !arguments.Has("--yes");
    std::mutex outputLock;
    TerminalInteraction questions(err, terminal ? &std::cin : nullptr, arguments.Has("--yes"),
                                  &outputLock);
    // A bar redrawn in place belongs to one port alone.
    const ProgressShown progress = chosen.size() > 1 ? ProgressShown::Quarters
                                   : errTerminal     ? ProgressShown::Bar
                                                     : ProgressShown::None;
    Slots slots;
    std::vector<StationPort> ports;
    for (const ChosenPort& port : chosen) {
        auto slot = std::make_unique<StationSlot>();
        slot->port = port;
        slot->view = std::make_unique<TerminalTransferView>(err, questions, progress,
                                                            PortLines{port.name, &outputLock});
        TerminalTransferView* view = slot->view.get();
        StationPort station;
        station.name = port.name;
        station.device = port.device;
        station.view = view;
        station.cancel = &slot->cancel;
        station.attachTimers = [view](TransferSession* session) {
            if (session != nullptr)
                view->Attach(*session);
            else
                view->Detach();
        };
        // Each verdict is said as soon as its receiver is done, not when the slowest one is.
        station.finished = [slot = slot.get()](const ProductionRow& row) {
            slot->finished.store(true);
            slot->view->SayLast(
                RowSucceeded(row)
                    ? FormatText(LoadResString(str::kCliProductionPortDone), {Seconds(row.seconds)})
                    : FormatText(LoadResString(str::kCliProductionPortFailed),
                                 {ReasonOf(row, *slot->view)}));
        };
        ports.push_back(std::move(station));
        slots.push_back(std::move(slot));
    }

    StationOptions options;
    options.link = context.settings;
    options.dataFolder = dataFolder;
    options.safetyCopiesKept = context.safetyCopyKeep;
    std::vector<ProductionRow> rows;
    std::vector<std::string> writeFailures;
    {
        StationInterruptGuard interrupts(slots);
        rows = RunStation(prepared, ports, options, writeFailures);
    }

    bool allSucceeded = true;
    bool cancelled = false;
    bool declined = false;
    std::vector<std::vector<std::string>> table;
    std::istringstream headings(LoadResString(str::kCliProductionSummaryHeadings));
    table.emplace_back();
    for (std::string heading; std::getline(headings, heading, '|');)
        table.back().push_back(heading);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ProductionRow& row = rows[i];
        const bool succeeded = RowSucceeded(row);
        const bool answeredNo = slots[i]->view->QuestionDeclined();
        allSucceeded = allSucceeded && succeeded;
        if (!succeeded && (slots[i]->cancelTaken.load() || answeredNo))
            cancelled = true;
        declined = declined || (!succeeded && answeredNo);
        table.push_back({row.port, row.device, OneLineText(row.model), succeeded ? "ok" : "failed",
                         std::string(CheckStateText(row.check)),
                         succeeded ? std::string() : ReasonOf(row, *slots[i]->view)});
    }
    // Each view says a Ctrl+C it saw last before the table comes.
    for (auto& slot : slots)
        slot->view.reset();
    out << SummaryTable(table);
    for (const std::string& failure : writeFailures)
        err << FormatText(LoadResString(str::kCliProductionNotWritten), {failure}) << '\n';
    if (declined && unanswered)
        err << LoadResString(str::kCliQuestionNeedsYes) << '\n';

    int code = allSucceeded ? kExitOk : cancelled ? kExitCancelled : kExitFailed;
    if (arguments.Has("--report") &&
        !WriteFileAtomically(reportPath, ProductionReportText(rows), reason)) {
        err << FormatText(LoadResString(str::kCliReportNotWritten), {reason}) << '\n';
        if (code == kExitOk)
            code = kExitFailed;
    }
    return code;
}

} // namespace fw::cli
