#pragma once

#include "core/link/TransferView.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace fw {
class TransferSession;
}

namespace fw::cli {

class TerminalInteraction;

// How the progress shows: a bar redrawn in place needs a terminal to itself; several ports
// writing at once get a line at each quarter.
enum class ProgressShown { None, Bar, Quarters };

// One port among several on one stream: each line begins with the port's name, and the ports
// take turns on the stream under outputLock, so that no line lands inside another.
struct PortLines {
    std::string port;
    std::mutex* outputLock = nullptr;
};

// Shows a transfer on the terminal: status lines and messages on the error stream, a progress
// bar when that is a terminal, questions through the terminal interaction. Runs the dialog's
// timers on a thread of its own.
class TerminalTransferView : public TransferView {
public:
    TerminalTransferView(std::ostream& err, TerminalInteraction& questions, bool progressBar,
                         std::optional<SaveTarget> saveTarget);
    TerminalTransferView(std::ostream& err, TerminalInteraction& questions, ProgressShown progress,
                         PortLines lines);
    ~TerminalTransferView() override;

    // The session whose OnTimer the timers call; set before the job runs.
    void Attach(TransferSession& session);
    // The session is about to end: the timers stop calling it, and a call under way is waited
    // for.
    void Detach();
    // Ctrl+C was pressed; said on the next tick. True when cancelling is allowed now, and the
    // caller then sets the session's cancel event.
    bool NoteInterrupt() {
        const bool allowed = m_cancelEnabled.load();
        m_interrupt.store(allowed ? kCancelTaken : kCancelRefused);
        return allowed;
    }

    // The port's last line, what came of it: after a Ctrl+C the timers have not said yet, and
    // in place of the bar.
    void SayLast(const std::string& text);

    // The user answered No to a question of the job (the version warning, writing firmware).
    bool QuestionDeclined() const { return m_questionDeclined; }
    const std::string& SavedPath() const { return m_savedPath; }

    void SetStatus(const std::string& text) override;
    void SetStatusFont(StatusFont) override {}
    void SetProgress(int percent) override;
    void EnableStart(bool) override {}
    void EnableCancel(bool enabled) override { m_cancelEnabled.store(enabled); }
    void SetCancelCaption(const std::string&) override {}
    void StartTimer(TransferTimer timer) override;
    void StopTimer(TransferTimer timer) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, MessageIcon icon) override;
    bool AskVersionWarning(const VersionWarning& warning) override;
    std::optional<SaveTarget> AskSaveAs(SaveKind kind) override;
    void FileSaved(const std::string& path) override { m_savedPath = path; }
    void EndDialog() override {}

private:
    using Clock = std::chrono::steady_clock;

    void Tick();
    // With the lock held.
    void ReportInterrupt();
    std::string ClearBar();
    std::string DrawBar();
    std::string AroundBar(const std::string& lines); // the bar cleared, then drawn again
    std::string Line(const std::string& text) const; // the port in front
    void Emit(const std::string& text);

    std::ostream& m_err;
    TerminalInteraction& m_questions;
    const ProgressShown m_progressShown;
    const PortLines m_lines;
    std::optional<SaveTarget> m_saveTarget;
    bool m_questionDeclined = false;
    std::string m_savedPath;

    std::mutex m_mutex; // guards the output and the timer table
    std::string m_lastStatus;
    int m_progress = -1;
    int m_quarterShown = 0;
    bool m_barShown = false;
    std::array<std::optional<Clock::time_point>, 5> m_nextTick{}; // by timer id
    TransferSession* m_session = nullptr;
    bool m_inTimer = false; // the ticker is in the session's OnTimer
    std::condition_variable m_timerDone;
    std::atomic<bool> m_cancelEnabled{true};
    // What Ctrl+C met, to be said outside the signal handler.
    static constexpr int kNoInterrupt = 0, kCancelTaken = 1, kCancelRefused = 2;
    std::atomic<int> m_interrupt{kNoInterrupt};

    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_ticker;
};

} // namespace fw::cli
