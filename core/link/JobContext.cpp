#include "core/link/JobContext.h"

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

JobContext::JobContext(LinkSettings settings, PortMap ports, TransferView& view, ChainMemory& chain,
                       CancelEvent& cancel)
    : m_settings(std::move(settings)), m_ports(std::move(ports)), m_view(&view), m_chain(chain),
      m_cancel(cancel) {}

void JobContext::Begin(ChainStep step, bool largeStatusFont) {
    m_step = step;
    m_largeStatusFont = largeStatusFont;
    m_receiver = {};
    m_detectionWindowMs = 0;
    m_savedPath.clear();
    m_failure.clear();
    m_outcome.store(JobOutcome::Running);
}

void JobContext::PinPort() {
    m_pinnedNumber = m_portNumber;
    m_pinnedDevice = m_portDevice;
}

void JobContext::Unpin() {
    m_pinnedNumber = 0;
    m_pinnedDevice.clear();
}

void JobContext::Reset() {
    m_bytesTotal.store(0);
    m_bytesSent.store(0);
    m_eraseSeconds.store(0);
    m_chainContinue.store(0);
    m_firmwareCancelled.store(0);
    m_outcome.store(JobOutcome::Running);
}

JobResult JobContext::Result() const {
    JobResult result;
    result.outcome = m_outcome.load();
    result.capacity = m_receiver.capacity;
    result.loaderVersion = m_receiver.loaderVersion;
    result.model = m_receiver.model;
    if (m_portNumber != 0) {
        result.port = PortName();
        result.device = m_portDevice;
    }
    result.savedPath = m_savedPath;
    result.failure = m_failure;
    return result;
}

void JobContext::StartByteCount(std::uint64_t total) {
    m_bytesSent.store(0);
    m_bytesTotal.store(total);
}

std::uint64_t JobContext::CountBytesSent(std::uint64_t bytes) {
    return m_bytesSent.fetch_add(bytes) + bytes;
}

void JobContext::OnTimer(TransferTimer timer) {
    switch (timer) {
    case TransferTimer::Progress: {
        const std::uint64_t total = m_bytesTotal.load();
        if (total > 0)
            SetProgress(
                static_cast<int>(std::min<std::uint64_t>(m_bytesSent.load(), total) * 100 / total));
        break;
    }
    case TransferTimer::SendingBlink:
    case TransferTimer::ProgramBlink: {
        const int text = timer == TransferTimer::SendingBlink ? str::kDataTransmitted
                                                              : str::kReceiverProgramming;
        std::lock_guard lock(m_statusMutex);
        m_status = m_status.empty() ? LoadResString(text) : std::string();
        View().SetStatus(m_status);
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

int JobContext::FailJob(int stringId) {
    return FailJobText(LoadResString(stringId));
}

std::string JobContext::WithModemManagerHint(const std::string& text,
                                             const std::vector<std::string>& devices) const {
    const std::string hint = ModemManagerHint(devices, m_systemFacts);
    return hint.empty() ? text : text + "\n" + hint;
}

int JobContext::FailJobText(const std::string& text) {
    // A blinking status would otherwise overwrite the emptied one after the message.
    for (TransferTimer timer : {TransferTimer::Progress, TransferTimer::SendingBlink,
                                TransferTimer::ProgramBlink, TransferTimer::EraseSeconds})
        View().StopTimer(timer);
    m_outcome.store(JobOutcome::Failed);
    m_failure = text;
    View().ShowMessage(text, MessageIcon::Stop);
    m_port.Close();
    SetStatus(std::string());
    SetProgress(0);
    View().EnableStart(true);
    View().EnableCancel(true);
    if (m_step.chained != 0) {
        m_chainContinue.store(0);
        View().EndDialog();
    }
    return 0;
}

// The view is called under the lock so that the job's text and a blink reach it in the order
// they were decided; its setters post to its own thread and never wait for it.
void JobContext::SetStatus(const std::string& text) {
    std::lock_guard lock(m_statusMutex);
    m_status = text;
    View().SetStatus(text);
}

void JobContext::SetProgress(int percent) {
    View().SetProgress(percent);
}

void JobContext::StartTimer(TransferTimer timer) {
    if (timer == TransferTimer::EraseSeconds)
        m_eraseSeconds.store(0);
    View().StartTimer(timer);
}

void JobContext::StopTimer(TransferTimer timer) {
    View().StopTimer(timer);
}

bool JobContext::OpenChainedPort() {
    m_port.Close();
    m_portNumber = m_chain.lastPort;
    m_portDevice =
        !m_chain.lastDevice.empty() ? m_chain.lastDevice : m_ports.DeviceFor(m_chain.lastPort);
    if (m_portDevice.empty())
        return false;
    return m_port.OpenReadWrite(m_portDevice, static_cast<std::uint32_t>(m_settings.baudRate), 8,
                                CComPort::kNoParity, CComPort::kOneStopBit) == 1;
}

void JobContext::EndAborted() {
    for (TransferTimer timer : {TransferTimer::Progress, TransferTimer::SendingBlink,
                                TransferTimer::ProgramBlink, TransferTimer::EraseSeconds})
        View().StopTimer(timer);
    m_port.Close();
    m_chainContinue.store(0);
    m_outcome.store(JobOutcome::AbortedByReceiver);
    View().EndDialog();
}

void JobContext::EndCancelled() {
    m_port.Close();
    m_outcome.store(JobOutcome::Cancelled);
    View().EndDialog();
}

void JobContext::EndWithoutResult(JobOutcome outcome) {
    SetStatus(std::string());
    SetProgress(0);
    View().EnableStart(true);
    m_port.Close();
    m_outcome.store(outcome);
}

void JobContext::EndNotSaved() {
    EndWithoutResult(JobOutcome::NotSaved);
    SetStatus(LoadResString(str::kReceivedNotSaved));
}

void JobContext::EndChainStep() {
    m_port.Close();
    m_chainContinue.store(1);
    m_outcome.store(JobOutcome::Succeeded);
    View().EndDialog();
}

void JobContext::FinishSend() {
    View().EnableCancel(true);
    View().SetCancelCaption(LoadResString(str::kOkCaption));
    if (m_largeStatusFont)
        View().SetStatusFont(StatusFont::Normal);
    SetStatus(LoadResString(str::kProgrammingFinished));
    View().EnableStart(true);
    if (m_step.chained != 0) {
        // The receiver restarts and announces itself before the next step may talk to it.
        if (m_step.lastStep == 0 && WaitForRecOk() == 0)
            return;
        EndChainStep();
        return;
    }
    m_port.Close();
    m_outcome.store(JobOutcome::Succeeded);
}

void JobContext::FinishLoad(int statusId, const std::string& path) {
    View().SetCancelCaption(LoadResString(str::kOkCaption));
    SetStatus(LoadResString(statusId));
    View().EnableStart(true);
    m_outcome.store(JobOutcome::Succeeded);
    m_savedPath = path;
    if (!path.empty())
        View().FileSaved(path);
}

bool JobContext::DetectOrEnd(const char* command) {
    const int found = DetectReceiver(command);
    if (found < 0)
        EndCancelled();
    return found > 0;
}

void JobContext::ShowConnected() {
    SetStatus(PortStatusText());
    SetProgress(100);
    LinkPause(link_ms::kPauseAfterConnect);
}

std::string JobContext::PortName() const {
    if (m_portNumber >= 1 && m_portNumber <= PortMap::kPortCount)
        return PortMap::NameFor(m_portNumber);
    return m_portDevice;
}

std::string JobContext::PortStatusText() const {
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
