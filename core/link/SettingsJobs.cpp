// Reading and writing the receiver's 2048-byte default settings block.
#include "core/firmware/TransferFile.h"
#include "core/link/JobSupport.h"
#include "core/link/LinkTiming.h"
#include "core/link/TransferSession.h"
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

void RunSettingsLoad(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();

    session.Cancel().Reset();
    if (!session.DetectOrEnd(wire::kLoadSettings))
        return;

    view.EnableCancel(false);
    session.ShowConnected();

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
        session.EndNotSaved();
        return;
    }
    std::string reason;
    if (!WriteFileAtomically(target->path, std::string_view(block.data(), block.size()), reason)) {
        session.FailJobText(reason);
        return;
    }
    session.FinishLoad(str::kSettingsLoaded, target->path);
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
    } else if (!session.DetectOrEnd(wire::kProgSettings)) {
        return;
    }

    view.EnableCancel(false);
    session.ShowConnected();
    port.SetReadTimeout(LinkMs(link_ms::kJobReadTimeout));

    const std::string& path = job.settings.m_strPath;
    if (!job.fileData && !link::FileExists(path)) {
        session.FailJobText(FormatText(LoadResString(str::kFileNotFound), {path}));
        return;
    }
    CTransferFile file;
    const int loaded =
        job.fileData ? file.TakeWhole(path, *job.fileData) : file.LoadWhole(path, kTextFileLimit);
    if (loaded == CTransferFile::kNotReadable) {
        session.FailJobText(file.LastReason());
        return;
    }
    if (loaded != CTransferFile::kLoaded) {
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

    session.FinishSend();
}

} // namespace fw
