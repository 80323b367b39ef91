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
    : m_err(err), m_questions(questions), m_progressBar(progressBar),
      m_saveTarget(std::move(saveTarget)), m_ticker([this] { Tick(); }) {}

TerminalTransferView::~TerminalTransferView() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_ticker.join();
    std::lock_guard lock(m_mutex);
    ReportInterrupt(); // a job that ended right after Ctrl+C still says it saw it
    ClearBar();
}

void TerminalTransferView::ReportInterrupt() {
    const int interrupt = m_interrupt.exchange(kNoInterrupt);
    if (interrupt == kNoInterrupt)
        return;
    ClearBar();
    m_err << LoadResString(interrupt == kCancelTaken ? str::kCliCancelRequested
                                                     : str::kCliCannotCancelNow)
          << '\n';
    DrawBar();
}

void TerminalTransferView::Attach(TransferSession& session) {
    std::lock_guard lock(m_mutex);
    m_session = &session;
}

void TerminalTransferView::SetStatus(const std::string& text) {
    const std::string line = OneLine(text);
    std::lock_guard lock(m_mutex);
    // Blinking texts come back again and again; say each one once.
    if (line.empty() || line == m_lastStatus)
        return;
    m_lastStatus = line;
    ClearBar();
    m_err << line << '\n';
    DrawBar();
}

void TerminalTransferView::SetProgress(int percent) {
    std::lock_guard lock(m_mutex);
    if (percent == m_progress)
        return;
    m_progress = percent;
    ClearBar();
    DrawBar();
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
    ClearBar();
    m_err << text << '\n';
    DrawBar();
}

bool TerminalTransferView::AskYesNo(const std::string& text, MessageIcon icon) {
    {
        std::lock_guard lock(m_mutex);
        ClearBar();
    }
    const bool yes = m_questions.AskYesNo(text, icon);
    m_questionDeclined = m_questionDeclined || !yes;
    return yes;
}

bool TerminalTransferView::AskVersionWarning(const VersionWarning& warning) {
    std::string text;
    for (const std::string& line : VersionWarningLines(warning)) {
        if (!line.empty())
            text += (text.empty() ? "" : "\n") + line;
    }
    return AskYesNo(text, MessageIcon::Warning);
}

std::optional<SaveTarget> TerminalTransferView::AskSaveAs(SaveKind) {
    return m_saveTarget;
}

void TerminalTransferView::Tick() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_wake.wait_for(lock, std::chrono::milliseconds(50));
        ReportInterrupt();
        if (m_session == nullptr)
            continue;
        const auto now = Clock::now();
        for (int id = 1; id < static_cast<int>(m_nextTick.size()); ++id) {
            auto& next = m_nextTick[id];
            if (!next || now < *next)
                continue;
            const auto timer = static_cast<TransferTimer>(id);
            *next = now + PeriodOf(timer);
            // OnTimer calls back into SetStatus/SetProgress, which take the lock.
            TransferSession* session = m_session;
            lock.unlock();
            session->OnTimer(timer);
            lock.lock();
        }
    }
}

void TerminalTransferView::ClearBar() {
    if (m_barShown) {
        m_err << "\r\033[K";
        m_barShown = false;
    }
}

void TerminalTransferView::DrawBar() {
    if (!m_progressBar || m_progress < 0)
        return;
    constexpr int kWidth = 40;
    const int filled = std::clamp(m_progress, 0, 100) * kWidth / 100;
    m_err << '[' << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
          << m_progress << " %" << std::flush;
    m_barShown = true;
}

} // namespace fw::cli
