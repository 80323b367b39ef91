// Reading and writing the receiver's 2048-byte default settings block.
#include "firmware/TransferFile.h"
#include "link/JobSupport.h"
#include "link/LinkTiming.h"
#include "link/TransferSession.h"
#include "link/WireTokens.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "util/FileIo.h"

#include <array>
#include <string>
#include <string_view>

namespace fw {
namespace {

constexpr std::size_t kSettingsSize = 2048;

// -1 and 0 of the detection end the job here; the dialog closes after a cancel.
bool Detected(TransferSession& session, const char* command) {
    const int found = session.DetectReceiver(command);
    if (found < 0) {
        session.Port().Close();
        session.SetOutcome(JobOutcome::Cancelled);
        session.View().EndDialog();
    }
    return found > 0;
}

} // namespace

void RunSettingsLoad(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();

    session.Cancel().Reset();
    if (!Detected(session, wire::kLoadSettings))
        return;

    view.EnableCancel(false);
    session.SetStatus(session.PortStatusText());
    session.SetProgress(100);
    LinkPause(link_ms::kPauseAfterConnect);

    session.SetStatus(LoadResString(str::kReadingSettings));
    std::array<char, kSettingsSize> block{};
    port.SetReadTimeout(LinkMs(link_ms::kSettingsReadTimeout));
    session.SetProgress(0);
    std::size_t got = 0;
    if (port.Read(block.data(), block.size(), got) != 1) {
        session.FailJob(str::kReceiveSendError);
        return;
    }
    if (got < block.size()) {
        view.EnableCancel(true);
        session.FailJob(str::kSettingsReadError);
        return;
    }
    port.Close();
    view.EnableCancel(true);
    session.SetProgress(100);

    const std::optional<SaveTarget> target = view.AskSaveAs(SaveKind::Settings);
    if (!target) {
        session.SetStatus(std::string());
        session.SetProgress(0);
        view.EnableStart(true);
        session.SetOutcome(JobOutcome::Cancelled);
        return;
    }
    std::string reason;
    if (!WriteFileAtomically(target->path, std::string_view(block.data(), block.size()), reason)) {
        session.FailJobText(reason);
        return;
    }
    view.SetCancelCaption(LoadResString(str::kOkCaption));
    session.SetStatus(LoadResString(str::kSettingsLoaded));
    view.EnableStart(true);
    session.SetOutcome(JobOutcome::Succeeded);
    view.FileSaved(target->path);
}

void RunSettingsSend(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();
    const TransferJob& job = session.Job();

    session.Cancel().Reset();
    if (job.chained != 0) {
        if (!session.OpenChainedPort()) {
            session.FailJob(str::kReceiveSendError);
            return;
        }
        port.Purge(CComPort::kPurgeTxAbort | CComPort::kPurgeRxAbort | CComPort::kPurgeTxClear |
                   CComPort::kPurgeRxClear);
    } else if (!Detected(session, wire::kProgSettings)) {
        return;
    }

    view.EnableCancel(false);
    session.SetStatus(session.PortStatusText());
    session.SetProgress(100);
    LinkPause(link_ms::kPauseAfterConnect);
    port.SetReadTimeout(LinkMs(link_ms::kJobReadTimeout));

    const std::string& path = job.settings.m_path;
    if (!link::FileExists(path)) {
        session.FailJobText(FormatText(LoadResString(str::kFileNotFound), {path}));
        return;
    }
    CTransferFile file;
    if (file.LoadWhole(path) != CTransferFile::kLoaded) {
        session.FailJob(str::kIoError);
        return;
    }
    const auto data = file.Data();
    if (!link::WriteAll(port, data.data(), data.size())) {
        session.FailJob(str::kReceiveSendError);
        return;
    }
    session.SetStatus(LoadResString(str::kReceiverProgramming));

    unsigned char result = 0;
    std::size_t got = 0;
    if (port.Read(&result, 1, got) != 1) {
        session.FailJob(str::kReceiveSendError);
        return;
    }
    if (got == 0 || result != wire::kFinished) {
        session.FailJob(str::kSettingsSendError);
        return;
    }

    view.EnableCancel(true);
    view.SetCancelCaption(LoadResString(str::kOkCaption));
    session.SetStatus(LoadResString(str::kProgrammingFinished));
    view.EnableStart(true);
    if (job.chained != 0) {
        if (job.lastStep == 0 && session.WaitForRecOk() == 0)
            return;
        session.EndChainStep();
        return;
    }
    port.Close();
    session.SetOutcome(JobOutcome::Succeeded);
}

} // namespace fw
