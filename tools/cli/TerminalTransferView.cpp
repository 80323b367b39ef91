#include "tools/cli/TerminalTransferView.h"

#include "core/link/TransferSession.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "tools/cli/TerminalInteraction.h"

#include <algorithm>
#include <ostream>

namespace fw::cli {
namespace {

std::chrono::milliseconds PeriodOf(TransferTimer timer) {
    return std::chrono::milliseconds(timer == TransferTimer::Progress ? 100 : 1000);
}

// Status texts are laid out for a dialog; on a terminal they become one line.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        const char shown = (c == '\n' || c == '\r') ? ' ' : c;
        if (shown == ' ' && (line.empty() || line.back() == ' '))
            continue;
        line += shown;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace

TerminalTransferView::TerminalTransferView(std::ostream& err, TerminalInteraction& questions,
                                           bool progressBar, std::optional<SaveTarget> saveTarget)
    : m_err(err), m_questions(questions),
      m_progressShown(progressBar ? ProgressShown::Bar : ProgressShown::None),
      m_saveTarget(std::move(saveTarget)), m_ticker([this] { Tick(); }) {}

TerminalTransferView::TerminalTransferView(std::ostream& err, TerminalInteraction& questions,
                                           ProgressShown progress, PortLines lines)
    : m_err(err), m_questions(questions), m_progressShown(progress), m_lines(std::move(lines)),
      m_ticker([this] { Tick(); }) {}

TerminalTransferView::~TerminalTransferView() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_ticker.join();
    std::lock_guard lock(m_mutex);
    ReportInterrupt(); // a job that ended right after Ctrl+C still says it saw it
    Emit(ClearBar());
}

std::string TerminalTransferView::Line(const std::string& text) const {
    return m_lines.port.empty() ? text + '\n' : m_lines.port + ": " + text + '\n';
}

std::string TerminalTransferView::AroundBar(const std::string& lines) {
    // In this order: the bar's state changes in both calls.
    std::string text = ClearBar();
    text += lines;
    text += DrawBar();
    return text;
}

void TerminalTransferView::Emit(const std::string& text) {
    if (text.empty())
        return;
    std::unique_lock<std::mutex> turn;
    if (m_lines.outputLock != nullptr)
        turn = std::unique_lock(*m_lines.outputLock);
    m_err << text << std::flush;
}

void TerminalTransferView::ReportInterrupt() {
    const int interrupt = m_interrupt.exchange(kNoInterrupt);
    if (interrupt == kNoInterrupt)
        return;
    Emit(AroundBar(Line(LoadResString(interrupt == kCancelTaken ? str::kCliCancelRequested
                                                                : str::kCliCannotCancelNow))));
}

void TerminalTransferView::SayLast(const std::string& text) {
    std::lock_guard lock(m_mutex);
    ReportInterrupt();
    std::string last = ClearBar();
    Emit(last + Line(text));
    m_progress = -1; // no bar comes back after it
}

void TerminalTransferView::Attach(TransferSession& session) {
    std::lock_guard lock(m_mutex);
    m_session = &session;
}

void TerminalTransferView::Detach() {
    std::unique_lock lock(m_mutex);
    m_session = nullptr;
    m_nextTick = {};
    m_timerDone.wait(lock, [this] { return !m_inTimer; });
}

void TerminalTransferView::SetStatus(const std::string& text) {
    const std::string line = OneLine(text);
    std::lock_guard lock(m_mutex);
    // Blinking texts come back again and again; say each one once.
    if (line.empty() || line == m_lastStatus)
        return;
    m_lastStatus = line;
    Emit(AroundBar(Line(line)));
}

void TerminalTransferView::SetProgress(int percent) {
    std::lock_guard lock(m_mutex);
    if (percent == m_progress)
        return;
    m_progress = percent;
    if (m_progressShown == ProgressShown::Bar) {
        Emit(AroundBar({}));
        return;
    }
    if (m_progressShown != ProgressShown::Quarters)
        return;
    // A new step starts from the bottom again; a small step back within one is no news.
    const int quarter = std::clamp(percent, 0, 100) / 25;
    if (quarter == 0)
        m_quarterShown = 0;
    if (quarter > m_quarterShown) {
        m_quarterShown = quarter;
        Emit(Line(std::to_string(quarter * 25) + " %"));
    }
}

void TerminalTransferView::StartTimer(TransferTimer timer) {
    std::lock_guard lock(m_mutex);
    m_nextTick[static_cast<int>(timer)] = Clock::now() + PeriodOf(timer);
}

void TerminalTransferView::StopTimer(TransferTimer timer) {
    std::lock_guard lock(m_mutex);
    m_nextTick[static_cast<int>(timer)].reset();
}

void TerminalTransferView::ShowMessage(const std::string& text, MessageIcon) {
    std::lock_guard lock(m_mutex);
    // Among several ports every event is one line with its port, so that it can be told apart.
    Emit(AroundBar(Line(m_lines.port.empty() ? text : OneLine(text))));
}

bool TerminalTransferView::AskYesNo(const std::string& text, MessageIcon icon) {
    {
        std::lock_guard lock(m_mutex);
        Emit(ClearBar());
    }
    std::string asked = text;
    if (!m_lines.port.empty()) {
        // The question names its port on every line: others may be asked the same.
        asked.clear();
        std::size_t from = 0;
        while (from <= text.size()) {
            const std::size_t end = std::min(text.find('\n', from), text.size());
            asked +=
                (asked.empty() ? "" : "\n") + m_lines.port + ": " + text.substr(from, end - from);
            from = end + 1;
        }
    }
    const bool yes = m_questions.AskYesNo(asked, icon);
    m_questionDeclined = m_questionDeclined || !yes;
    return yes;
}

bool TerminalTransferView::AskVersionWarning(const VersionWarning& warning) {
    return AskYesNo(VersionWarningText(warning), MessageIcon::Warning);
}

std::optional<SaveTarget> TerminalTransferView::AskSaveAs(SaveKind) {
    return m_saveTarget;
}

void TerminalTransferView::Tick() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_wake.wait_for(lock, std::chrono::milliseconds(50));
        ReportInterrupt();
        const auto now = Clock::now();
        for (int id = 1; id < static_cast<int>(m_nextTick.size()) && m_session != nullptr; ++id) {
            auto& next = m_nextTick[id];
            if (!next || now < *next)
                continue;
            const auto timer = static_cast<TransferTimer>(id);
            *next = now + PeriodOf(timer);
            // OnTimer calls back into SetStatus/SetProgress, which take the lock; Detach waits
            // for it to return before the session may go.
            TransferSession* session = m_session;
            m_inTimer = true;
            lock.unlock();
            session->OnTimer(timer);
            lock.lock();
            m_inTimer = false;
            m_timerDone.notify_all();
        }
    }
}

std::string TerminalTransferView::ClearBar() {
    if (!m_barShown)
        return {};
    m_barShown = false;
    return "\r\033[K";
}

std::string TerminalTransferView::DrawBar() {
    if (m_progressShown != ProgressShown::Bar || m_progress < 0)
        return {};
    constexpr int kWidth = 40;
    const int filled = std::clamp(m_progress, 0, 100) * kWidth / 100;
    m_barShown = true;
    return m_lines.port + (m_lines.port.empty() ? "" : ": ") + '[' + std::string(filled, '#') +
           std::string(kWidth - filled, '.') + "] " + std::to_string(m_progress) + " %";
}

} // namespace fw::cli
