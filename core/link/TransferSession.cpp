#include "core/link/TransferSession.h"

#include "core/config/Konfiguration.h"
#include "core/link/LinkTiming.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>
#include <utility>

namespace fw {

LinkSettings LinkSettings::FromConfiguration(const CKonfiguration& config) {
    return {config.m_comPort, config.m_baudRate, config.m_recTimeout, config.m_versionHint, {}};
}

TransferSession::TransferSession(TransferJob job, LinkSettings settings, PortMap ports,
                                 TransferView& view, ChainMemory& chain, CancelEvent& cancel)
    : m_job(std::move(job)), m_settings(std::move(settings)), m_ports(std::move(ports)),
      m_view(view), m_chain(chain), m_cancel(cancel) {}

void TransferSession::Run() {
    m_outcome.store(JobOutcome::Running);
    switch (m_job.kind) {
    case TransferJobKind::FirmwareSend:
        RunFirmwareSend(*this);
        break;
    case TransferJobKind::ListSend:
        RunListSend(*this);
        break;
    case TransferJobKind::ListLoad:
        RunListLoad(*this);
        break;
    case TransferJobKind::SettingsSend:
        RunSettingsSend(*this);
        break;
    case TransferJobKind::SettingsLoad:
        RunSettingsLoad(*this);
        break;
    }
    // Every path closes the port itself; this only keeps a forgotten one from holding the
    // device locked until the dialog goes away.
    m_port.Close();
    // A path that forgot to say how it ended must not pass for a success.
    JobOutcome running = JobOutcome::Running;
    m_outcome.compare_exchange_strong(running, JobOutcome::Failed);
}

void TransferSession::PrepareRestart() {
    m_cancel.Reset();
    if (m_job.kind == TransferJobKind::ListLoad) {
        sendList.clear();
        banks.Clear();
    }
    if (m_job.kind == TransferJobKind::FirmwareSend)
        m_view.SetStatusFont(StatusFont::Normal);
    bytesTotal.store(0);
    bytesSent.store(0);
    m_eraseSeconds.store(0);
    m_chainContinue.store(0);
    m_firmwareCancelled.store(0);
    m_outcome.store(JobOutcome::Running);
    m_view.EnableStart(false);
    m_view.SetCancelCaption(LoadResString(str::kCancelCaption));
}

void TransferSession::OnTimer(TransferTimer timer) {
    switch (timer) {
    case TransferTimer::Progress: {
        const std::uint64_t total = bytesTotal.load();
        if (total > 0)
            SetProgress(
                static_cast<int>(std::min<std::uint64_t>(bytesSent.load(), total) * 100 / total));
        break;
    }
    case TransferTimer::SendingBlink:
    case TransferTimer::ProgramBlink: {
        const int text = timer == TransferTimer::SendingBlink ? str::kDataTransmitted
                                                              : str::kReceiverProgramming;
        std::lock_guard lock(m_statusMutex);
        m_status = m_status.empty() ? LoadResString(text) : std::string();
        m_view.SetStatus(m_status);
        break;
    }
    case TransferTimer::EraseSeconds: {
        const int seconds = m_eraseSeconds.fetch_add(1) + 1;
        // The receiver may take a moment longer than the 15 s the bar is scaled to.
        SetProgress(std::min(seconds * 100 / 15, 100));
        break;
    }
    }
}

int TransferSession::FailJob(int stringId) {
    return FailJobText(LoadResString(stringId));
}

std::string TransferSession::WithModemManagerHint(const std::string& text,
                                                  const std::vector<std::string>& devices) const {
    const std::string hint = ModemManagerHint(devices, m_systemFacts);
    return hint.empty() ? text : text + "\n" + hint;
}

int TransferSession::FailJobText(const std::string& text) {
    // A blinking status would otherwise overwrite the emptied one after the message.
    for (TransferTimer timer : {TransferTimer::Progress, TransferTimer::SendingBlink,
                                TransferTimer::ProgramBlink, TransferTimer::EraseSeconds})
        m_view.StopTimer(timer);
    m_outcome.store(JobOutcome::Failed);
    m_view.ShowMessage(text, MessageIcon::Stop);
    m_port.Close();
    SetStatus(std::string());
    SetProgress(0);
    m_view.EnableStart(true);
    m_view.EnableCancel(true);
    if (m_job.chained != 0) {
        m_chainContinue.store(0);
        m_view.EndDialog();
    }
    return 0;
}

// The view is called under the lock so that the job's text and a blink reach it in the order
// they were decided; its setters post to its own thread and never wait for it.
void TransferSession::SetStatus(const std::string& text) {
    std::lock_guard lock(m_statusMutex);
    m_status = text;
    m_view.SetStatus(text);
}

void TransferSession::SetProgress(int percent) {
    m_view.SetProgress(percent);
}

void TransferSession::StartTimer(TransferTimer timer) {
    if (timer == TransferTimer::EraseSeconds)
        m_eraseSeconds.store(0);
    m_view.StartTimer(timer);
}

void TransferSession::StopTimer(TransferTimer timer) {
    m_view.StopTimer(timer);
}

bool TransferSession::OpenChainedPort() {
    m_port.Close();
    m_portNumber = m_chain.lastPort;
    m_portDevice =
        !m_chain.lastDevice.empty() ? m_chain.lastDevice : m_ports.DeviceFor(m_chain.lastPort);
    if (m_portDevice.empty())
        return false;
    return m_port.OpenReadWrite(m_portDevice, static_cast<std::uint32_t>(m_settings.baudRate), 8,
                                CComPort::kNoParity, CComPort::kOneStopBit) == 1;
}

void TransferSession::EndAborted() {
    for (TransferTimer timer : {TransferTimer::Progress, TransferTimer::SendingBlink,
                                TransferTimer::ProgramBlink, TransferTimer::EraseSeconds})
        m_view.StopTimer(timer);
    m_port.Close();
    m_chainContinue.store(0);
    m_outcome.store(JobOutcome::AbortedByReceiver);
    m_view.EndDialog();
}

void TransferSession::EndCancelled() {
    m_port.Close();
    m_outcome.store(JobOutcome::Cancelled);
    m_view.EndDialog();
}

void TransferSession::EndWithoutResult(JobOutcome outcome) {
    SetStatus(std::string());
    SetProgress(0);
    m_view.EnableStart(true);
    m_port.Close();
    m_outcome.store(outcome);
}

void TransferSession::EndNotSaved() {
    EndWithoutResult(JobOutcome::NotSaved);
    SetStatus(LoadResString(str::kReceivedNotSaved));
}

void TransferSession::EndChainStep() {
    m_port.Close();
    m_chainContinue.store(1);
    m_outcome.store(JobOutcome::Succeeded);
    m_view.EndDialog();
}

void TransferSession::FinishSend() {
    m_view.EnableCancel(true);
    m_view.SetCancelCaption(LoadResString(str::kOkCaption));
    if (m_job.kind == TransferJobKind::FirmwareSend)
        m_view.SetStatusFont(StatusFont::Normal);
    SetStatus(LoadResString(str::kProgrammingFinished));
    m_view.EnableStart(true);
    if (m_job.chained != 0) {
        // The receiver restarts and announces itself before the next step may talk to it.
        if (m_job.lastStep == 0 && WaitForRecOk() == 0)
            return;
        EndChainStep();
        return;
    }
    m_port.Close();
    m_outcome.store(JobOutcome::Succeeded);
}

void TransferSession::FinishLoad(int statusId, const std::string& path) {
    m_view.SetCancelCaption(LoadResString(str::kOkCaption));
    SetStatus(LoadResString(statusId));
    m_view.EnableStart(true);
    m_outcome.store(JobOutcome::Succeeded);
    m_view.FileSaved(path);
}

bool TransferSession::DetectOrEnd(const char* command) {
    const int found = DetectReceiver(command);
    if (found < 0)
        EndCancelled();
    return found > 0;
}

void TransferSession::ShowConnected() {
    SetStatus(PortStatusText());
    SetProgress(100);
    LinkPause(link_ms::kPauseAfterConnect);
}

std::string TransferSession::PortName() const {
    if (m_portNumber >= 1 && m_portNumber <= PortMap::kPortCount)
        return PortMap::NameFor(m_portNumber);
    return m_portDevice;
}

std::string TransferSession::PortStatusText() const {
    std::string text = FormatText(LoadResString(str::kPortRecognized), {PortName() + ":"});
    const bool manual = !m_settings.device.empty() ||
                        (m_settings.comPort >= 1 && m_settings.comPort <= PortMap::kPortCount);
    if (manual) {
        const auto lineEnd = text.find('\n');
        if (lineEnd != std::string::npos)
            text.erase(0, lineEnd + 1);
    }
    return text;
}

} // namespace fw
