#pragma once

#include "core/link/LinkTiming.h"
#include "core/link/TransferSession.h"
#include "core/link/TransferView.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace fw::test {

// A TransferView for tests: records every call in order as a readable event, keeps the state
// the dialog would show, and answers the questions from a script. Safe to call from the job's
// thread, the timer pump and the test's thread at once.
//
// Events: "status=TEXT", "font=normal|large", "progress=N", "start=on|off", "cancel=on|off",
// "caption=TEXT", "timer+N", "timer-N", "message[stop|warning|question|info]=TEXT",
// "question[ICON]=TEXT->yes|no", "warning=MODE|FIRST|SECOND->yes|no", "saveas=lst|grd->PATH|none",
// "saved=PATH", "end". Calls made by a ticking timer (TimerPump) change the state but are kept
// apart in Ticks().
class RecordingView : public TransferView {
public:
    // saveFolder: the folder the save-as answers point into.
    explicit RecordingView(std::filesystem::path saveFolder = {})
        : m_saveFolder(std::move(saveFolder)) {}

    // --- the script ---
    void AnswerVersionWarning(bool goOn) {
        std::lock_guard lock(m_mutex);
        m_versionAnswers.push_back(goOn);
    }
    // The next Yes/No question; unscripted ones get the default, No.
    void AnswerYesNo(bool yes) {
        std::lock_guard lock(m_mutex);
        m_yesNoAnswers.push_back(yes);
    }
    // The next save-as question is answered with saveFolder/fileName.
    void AnswerSaveAs(const std::string& fileName, const std::string& description = {}) {
        // A view without a folder would write into the working directory.
        if (m_saveFolder.empty())
            throw std::logic_error("RecordingView: AnswerSaveAs needs a save folder");
        std::lock_guard lock(m_mutex);
        m_saveAnswers.push_back(SaveTarget{(m_saveFolder / fileName).string(), description});
    }
    void AnswerSaveAsCancel() {
        std::lock_guard lock(m_mutex);
        m_saveAnswers.push_back(std::nullopt);
    }
    // Called on the calling thread after each job event was recorded (not for timer ticks).
    // Tests press Cancel from here at an exact point of the protocol.
    void OnEvent(std::function<void(const std::string&)> hook) {
        std::lock_guard lock(m_mutex);
        m_hook = std::move(hook);
    }

    // --- TransferView ---
    void SetStatus(const std::string& text) override {
        Record("status=" + text, [&] { m_status = text; });
    }
    void SetStatusFont(StatusFont font) override {
        Record(std::string("font=") + (font == StatusFont::Large ? "large" : "normal"),
               [&] { m_font = font; });
    }
    void SetProgress(int percent) override {
        Record("progress=" + std::to_string(percent), [&] {
            m_progress = percent;
            if (!InTick())
                m_progressHistory.push_back(percent);
        });
    }
    void EnableStart(bool enabled) override {
        Record(std::string("start=") + (enabled ? "on" : "off"), [&] { m_startEnabled = enabled; });
    }
    void EnableCancel(bool enabled) override {
        Record(std::string("cancel=") + (enabled ? "on" : "off"),
               [&] { m_cancelEnabled = enabled; });
    }
    void SetCancelCaption(const std::string& caption) override {
        Record("caption=" + caption, [&] { m_cancelCaption = caption; });
    }
    void StartTimer(TransferTimer timer) override {
        Record("timer+" + std::to_string(static_cast<int>(timer)), [&] {
            m_running.insert(timer);
            m_started[timer] = std::chrono::steady_clock::now();
        });
    }
    void StopTimer(TransferTimer timer) override {
        // Waits for a tick in flight, so that no tick of this timer lands after the stop.
        std::lock_guard tick(m_tickMutex);
        Record("timer-" + std::to_string(static_cast<int>(timer)), [&] { m_running.erase(timer); });
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        Record("message[" + IconName(icon) + "]=" + text, [&] { m_messages.push_back(text); });
    }
    bool AskYesNo(const std::string& text, MessageIcon icon) override {
        bool answer = false;
        {
            std::lock_guard lock(m_mutex);
            if (!m_yesNoAnswers.empty()) {
                answer = m_yesNoAnswers.front();
                m_yesNoAnswers.pop_front();
            }
        }
        Record("question[" + IconName(icon) + "]=" + text + "->" + (answer ? "yes" : "no"), [] {});
        return answer;
    }
    bool AskVersionWarning(const VersionWarning& warning) override {
        bool answer = false;
        std::string event;
        {
            std::lock_guard lock(m_mutex);
            if (!m_versionAnswers.empty()) {
                answer = m_versionAnswers.front();
                m_versionAnswers.pop_front();
            }
            m_warnings.push_back(warning);
        }
        Record("warning=" + std::to_string(static_cast<int>(warning.mode)) + "|" + warning.first +
                   "|" + warning.second + "->" + (answer ? "yes" : "no"),
               [] {});
        return answer;
    }
    std::optional<SaveTarget> AskSaveAs(SaveKind kind) override {
        std::optional<SaveTarget> answer;
        {
            std::lock_guard lock(m_mutex);
            ++m_saveQuestions;
            if (!m_saveAnswers.empty()) {
                answer = m_saveAnswers.front();
                m_saveAnswers.pop_front();
            }
        }
        Record(std::string("saveas=") + (kind == SaveKind::ProgramList ? "lst" : "grd") + "->" +
                   (answer ? answer->path : "none"),
               [] {});
        return answer;
    }
    void FileSaved(const std::string& path) override {
        Record("saved=" + path, [&] { m_savedPaths.push_back(path); });
    }
    void EndDialog() override {
        Record("end", [&] { ++m_endDialogs; });
    }

    // --- what happened ---
    std::vector<std::string> Events() const {
        return Locked([&] { return m_events; });
    }
    std::vector<std::string> Ticks() const {
        return Locked([&] { return m_ticks; });
    }
    std::vector<std::string> Messages() const {
        return Locked([&] { return m_messages; });
    }
    std::vector<VersionWarning> Warnings() const {
        return Locked([&] { return m_warnings; });
    }
    std::vector<std::string> SavedPaths() const {
        return Locked([&] { return m_savedPaths; });
    }
    // Progress values set by the job, in order (timer ticks left out).
    std::vector<int> ProgressHistory() const {
        return Locked([&] { return m_progressHistory; });
    }
    std::string Status() const {
        return Locked([&] { return m_status; });
    }
    StatusFont Font() const {
        return Locked([&] { return m_font; });
    }
    int Progress() const {
        return Locked([&] { return m_progress; });
    }
    bool StartEnabled() const {
        return Locked([&] { return m_startEnabled; });
    }
    bool CancelEnabled() const {
        return Locked([&] { return m_cancelEnabled; });
    }
    std::string CancelCaption() const {
        return Locked([&] { return m_cancelCaption; });
    }
    std::set<TransferTimer> RunningTimers() const {
        return Locked([&] { return m_running; });
    }
    int EndDialogCount() const {
        return Locked([&] { return m_endDialogs; });
    }
    int FileSavedCount() const {
        return Locked([&] { return static_cast<int>(m_savedPaths.size()); });
    }
    int SaveQuestions() const {
        return Locked([&] { return m_saveQuestions; });
    }

    bool Has(std::string_view event) const {
        return Locked(
            [&] { return std::find(m_events.begin(), m_events.end(), event) != m_events.end(); });
    }
    std::size_t CountStartingWith(std::string_view prefix) const {
        return Locked([&] {
            return static_cast<std::size_t>(
                std::count_if(m_events.begin(), m_events.end(), [&](const std::string& e) {
                    return std::string_view(e).starts_with(prefix);
                }));
        });
    }
    // Position of the first event equal to event at or after from; npos when there is none.
    std::size_t IndexOf(std::string_view event, std::size_t from = 0) const {
        return Locked([&]() -> std::size_t {
            for (std::size_t i = from; i < m_events.size(); ++i) {
                if (m_events[i] == event)
                    return i;
            }
            return std::string::npos;
        });
    }
    // Blocks until an event starting with prefix was recorded or the time ran out.
    bool WaitFor(std::string_view prefix, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            return std::any_of(m_events.begin(), m_events.end(), [&](const std::string& e) {
                return std::string_view(e).starts_with(prefix);
            });
        });
    }
    // Every event on its own line, for failure output.
    std::string Dump() const {
        return Locked([&] {
            std::string all;
            for (const std::string& e : m_events)
                all += "  " + e + "\n";
            return all;
        });
    }

    // Ticks the running timers of one session at their periods (scaled by LinkMs) on a thread
    // of its own, as the dialog's timers do. Declare it after the session it drives.
    class TimerPump {
    public:
        TimerPump(RecordingView& view, TransferSession& session)
            : m_view(view), m_session(session), m_thread([this] { Loop(); }) {}
        ~TimerPump() {
            {
                std::lock_guard lock(m_stopMutex);
                m_stop = true;
            }
            m_stopSignal.notify_all();
            m_thread.join();
        }
        TimerPump(const TimerPump&) = delete;
        TimerPump& operator=(const TimerPump&) = delete;

    private:
        void Loop() {
            using Clock = std::chrono::steady_clock;
            std::map<TransferTimer, Clock::time_point> lastTick;
            std::unique_lock stopLock(m_stopMutex);
            while (!m_stopSignal.wait_for(stopLock, std::chrono::milliseconds(1),
                                          [&] { return m_stop; })) {
                for (TransferTimer timer :
                     {TransferTimer::Progress, TransferTimer::SendingBlink,
                      TransferTimer::ProgramBlink, TransferTimer::EraseSeconds}) {
                    std::lock_guard tick(m_view.m_tickMutex);
                    Clock::time_point since;
                    {
                        std::lock_guard lock(m_view.m_mutex);
                        if (!m_view.m_running.contains(timer))
                            continue;
                        since = std::max(m_view.m_started[timer], lastTick[timer]);
                    }
                    const unsigned period = timer == TransferTimer::Progress ? 100 : 1000;
                    const auto due =
                        since + std::chrono::milliseconds(std::max(1u, LinkMs(period)));
                    if (Clock::now() < due)
                        continue;
                    lastTick[timer] = Clock::now();
                    t_inTick = true;
                    m_session.OnTimer(timer);
                    t_inTick = false;
                }
            }
        }

        RecordingView& m_view;
        TransferSession& m_session;
        std::mutex m_stopMutex;
        std::condition_variable m_stopSignal;
        bool m_stop = false;
        std::thread m_thread;
    };

private:
    static std::string IconName(MessageIcon icon) {
        switch (icon) {
        case MessageIcon::Stop:
            return "stop";
        case MessageIcon::Warning:
            return "warning";
        case MessageIcon::Question:
            return "question";
        case MessageIcon::Information:
            return "info";
        }
        return "?";
    }

    static bool InTick() { return t_inTick; }

    template <typename Change> void Record(std::string event, Change change) {
        std::function<void(const std::string&)> hook;
        {
            std::lock_guard lock(m_mutex);
            change();
            if (InTick()) {
                m_ticks.push_back(std::move(event));
                return;
            }
            m_events.push_back(event);
            hook = m_hook;
        }
        m_changed.notify_all();
        if (hook)
            hook(event);
    }

    template <typename Read> auto Locked(Read read) const -> decltype(read()) {
        std::lock_guard lock(m_mutex);
        return read();
    }

    inline static thread_local bool t_inTick = false;

    std::filesystem::path m_saveFolder;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::mutex m_tickMutex; // held while a timer ticks

    std::deque<bool> m_versionAnswers;
    std::deque<bool> m_yesNoAnswers;
    std::deque<std::optional<SaveTarget>> m_saveAnswers;
    std::function<void(const std::string&)> m_hook;

    std::vector<std::string> m_events;
    std::vector<std::string> m_ticks;
    std::vector<std::string> m_messages;
    std::vector<VersionWarning> m_warnings;
    std::vector<std::string> m_savedPaths;
    std::vector<int> m_progressHistory;
    std::string m_status;
    StatusFont m_font = StatusFont::Normal;
    int m_progress = 0;
    bool m_startEnabled = false; // the dialog opens with the start button disabled
    bool m_cancelEnabled = true;
    std::string m_cancelCaption;
    std::set<TransferTimer> m_running;
    std::map<TransferTimer, std::chrono::steady_clock::time_point> m_started;
    int m_endDialogs = 0;
    int m_saveQuestions = 0;
};

} // namespace fw::test
