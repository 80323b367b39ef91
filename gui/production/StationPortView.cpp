#include "gui/production/StationPortView.h"

#include "core/link/TransferSession.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>

namespace fw {

StationPortView::StationPortView(std::string portName, StationPortDisplay& display,
                                 StationViewHost& host)
    : m_portName(std::move(portName)), m_display(display), m_host(host) {}

void StationPortView::Attach(TransferSession* session) {
    {
        std::lock_guard lock(m_sessionMutex);
        m_session = session;
    }
    if (session == nullptr) {
        m_host.Post([this] {
            for (TransferTimer timer : {TransferTimer::Progress, TransferTimer::SendingBlink,
                                        TransferTimer::ProgramBlink, TransferTimer::EraseSeconds})
                m_display.RunTimer(timer, false);
            m_display.PortEnded();
        });
    }
}

void StationPortView::Tick(TransferTimer timer) {
    std::lock_guard lock(m_sessionMutex);
    if (m_session != nullptr)
        m_session->OnTimer(timer);
}

void StationPortView::SetStatus(const std::string& text) {
    // A sequence's status is the step line above the job's own: one line in the row.
    QString shown = QString::fromStdString(text).trimmed();
    shown.replace(QLatin1Char('\n'), QStringLiteral(" \u2013 "));
    m_host.Post([this, shown] { m_display.ShowStep(shown.simplified()); });
}

void StationPortView::SetProgress(int percent) {
    const int value = std::clamp(percent, 0, 100);
    m_host.Post([this, value] { m_display.ShowProgress(value); });
}

void StationPortView::StartTimer(TransferTimer timer) {
    m_host.Post([this, timer] { m_display.RunTimer(timer, true); });
}

void StationPortView::StopTimer(TransferTimer timer) {
    m_host.Post([this, timer] { m_display.RunTimer(timer, false); });
}

void StationPortView::ShowMessage(const std::string& text, MessageIcon icon) {
    m_host.Post(
        [this, shown = QString::fromStdString(text), icon] { m_display.ShowNote(shown, icon); });
}

bool StationPortView::AskYesNo(const std::string& text, MessageIcon icon) {
    return m_host.AskOnWindow(
        FormatText(LoadResString(str::kProductionPortQuestion), {m_portName, text}), icon);
}

bool StationPortView::AskVersionWarning(const VersionWarning& warning) {
    return AskYesNo(VersionWarningText(warning), MessageIcon::Warning);
}

} // namespace fw
