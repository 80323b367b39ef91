// Reading and writing the receiver's 2048-byte default settings block.
#include "core/firmware/TransferFile.h"
#include "core/link/JobContext.h"
#include "core/link/JobSupport.h"
#include "core/link/Jobs.h"
#include "core/link/LinkTiming.h"
#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"

#include <array>
#include <string>
#include <string_view>

namespace fw {
namespace {

constexpr std::size_t kSettingsSize = 2048;

} // namespace

JobResult SettingsLoadJob::Run(JobContext& context) {
    Work(context);
    JobResult result = context.Result();
    if (!m_received.empty())
        result.settings = std::move(m_received);
    return result;
}

void SettingsLoadJob::Work(JobContext& context) {
    CComPort& port = context.Port();
    TransferView& view = context.View();

    context.Cancel().Reset();
    context.SetDetectionWindow(DetectionWindowOf(m_job.use));
    if (!context.DetectOrEnd(wire::kLoadSettings))
        return;

    view.EnableCancel(false);
    context.ShowConnected();

    context.SetStatus(LoadResString(str::kReadingSettings));
    std::array<char, kSettingsSize> block{};
    port.SetReadTimeout(LinkTimeoutMs(link_ms::kSettingsReadTimeout));
    context.SetProgress(0);
    std::size_t got = 0;
    if (port.Read(block.data(), block.size(), got) != 1) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    if (got < block.size()) {
        view.EnableCancel(true);
        context.FailJob(str::kSettingsReadError);
        return;
    }
    port.Close();
    view.EnableCancel(true);
    context.SetProgress(100);
    m_received.assign(block.data(), block.size());
    if (m_job.use != LoadUse::SaveAs) {
        context.FinishLoad(str::kSettingsLoaded, {});
        return;
    }

    const std::optional<SaveTarget> target = view.AskSaveAs(SaveKind::Settings);
    if (!target) {
        context.EndNotSaved();
        return;
    }
    std::string reason;
    if (!WriteFileAtomically(target->path, m_received, reason)) {
        context.FailJobText(reason);
        return;
    }
    context.FinishLoad(str::kSettingsLoaded, target->path);
}

JobResult SettingsSendJob::Run(JobContext& context) {
    Work(context);
    return context.Result();
}

void SettingsSendJob::Work(JobContext& context) {
    CComPort& port = context.Port();
    TransferView& view = context.View();
    const SettingsSend& job = m_job;

    context.Cancel().Reset();
    if (job.chain.chained != 0) {
        if (!context.OpenChainedPort()) {
            context.FailJob(str::kReceiveSendError);
            return;
        }
        port.Purge(CComPort::kPurgeTxAbort | CComPort::kPurgeRxAbort | CComPort::kPurgeTxClear |
                   CComPort::kPurgeRxClear);
    } else if (!context.DetectOrEnd(wire::kProgSettings)) {
        return;
    }

    view.EnableCancel(false);
    context.ShowConnected();
    port.SetReadTimeout(LinkTimeoutMs(link_ms::kJobReadTimeout));

    const std::string& path = job.settings.m_strPath;
    if (!job.fileData && !link::FileExists(path)) {
        context.FailJobText(FormatText(LoadResString(str::kFileNotFound), {path}));
        return;
    }
    CTransferFile file;
    const int loaded =
        job.fileData ? file.TakeWhole(path, *job.fileData) : file.LoadWhole(path, kTextFileLimit);
    if (loaded == CTransferFile::kNotReadable) {
        context.FailJobText(file.LastReason());
        return;
    }
    if (loaded != CTransferFile::kLoaded) {
        context.FailJob(str::kIoError);
        return;
    }
    const auto data = file.Data();
    if (!link::WriteAll(port, data.data(), data.size())) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    context.SetStatus(LoadResString(str::kReceiverProgramming));

    unsigned char result = 0;
    std::size_t got = 0;
    if (port.Read(&result, 1, got) != 1) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    if (got == 0 || result != wire::kFinished) {
        context.FailJob(str::kSettingsSendError);
        return;
    }

    context.FinishSend();
}

} // namespace fw
