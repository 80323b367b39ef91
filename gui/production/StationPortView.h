#pragma once

#include "core/link/TransferView.h"

#include <QString>

#include <functional>
#include <mutex>
#include <string>

namespace fw {

class TransferSession;

// What one port's row in the production window shows; called on the window's thread only.
class StationPortDisplay {
public:
    virtual ~StationPortDisplay() = default;
    virtual void ShowStep(const QString& step) = 0;
    virtual void ShowProgress(int percent) = 0;
    virtual void RunTimer(TransferTimer timer, bool on) = 0;
    // A message of the port's jobs: a failure (stop icon) or a note; never a box of its own.
    virtual void ShowNote(const QString& text, MessageIcon icon) = 0;
    // The port's run is over; its row in the day's report follows.
    virtual void PortEnded() = 0;
};

// What the view needs of the window (worker thread).
class StationViewHost {
public:
    virtual ~StationViewHost() = default;
    // Runs change on the window's thread, later, in the order posted.
    virtual void Post(std::function<void()> change) = 0;
    // A Yes/No question (default No) shown on the window's thread, one at a time; blocks the
    // calling worker until it is answered, and answers No when the window goes away.
    virtual bool AskOnWindow(const std::string& text, MessageIcon icon) = 0;
};

// The transfer view of one port of a station run. Its jobs run on the port's worker and never
// touch a widget: every change is posted to the window, and only questions block the worker,
// naming the port, since several receivers may ask at once.
class StationPortView : public TransferView {
public:
    StationPortView(std::string portName, StationPortDisplay& display, StationViewHost& host);

    // The session whose timers the view drives while the port runs; nullptr once it ends
    // (worker thread). After Attach(nullptr) returns no tick reaches the old session.
    void Attach(TransferSession* session);
    // A timer of the port ticked (window's thread); nothing once the session has ended.
    void Tick(TransferTimer timer);

    void SetStatus(const std::string& text) override;
    void SetStatusFont(StatusFont) override {}
    void SetProgress(int percent) override;
    void EnableStart(bool) override {}
    // A port's cancel waits for a point where the receiver allows it (see CancelAll).
    void EnableCancel(bool) override {}
    void SetCancelCaption(const std::string&) override {}
    void StartTimer(TransferTimer timer) override;
    void StopTimer(TransferTimer timer) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, MessageIcon icon) override;
    bool AskVersionWarning(const VersionWarning& warning) override;
    // A station keeps what it loads itself (safety copies, checks); it never asks where.
    std::optional<SaveTarget> AskSaveAs(SaveKind) override { return std::nullopt; }
    void FileSaved(const std::string&) override {}
    void EndDialog() override {}

private:
    const std::string m_portName;
    StationPortDisplay& m_display;
    StationViewHost& m_host;
    std::mutex m_sessionMutex; // a tick and the session's end never overlap
    TransferSession* m_session = nullptr;
};

} // namespace fw
