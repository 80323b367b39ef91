// Writing a firmware file into the receiver's flash.
#include "core/firmware/TransferFile.h"
#include "core/link/JobSupport.h"
#include "core/link/LinkTiming.h"
#include "core/link/TransferSession.h"
#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ByteOrder.h"

#include <optional>
#include <string>
#include <string_view>

namespace fw {
namespace {

using link::FileExists;
using link::WriteAll;
using link::WriteText;

constexpr std::size_t kBlockSize = 1024;
constexpr std::size_t kSimplePieces = 100;

// The file must exist and be in memory whole, and be the file the catalogue listed: the size
// goes on the wire before or with the data, so a file changed since would be sent short.
// 0 when the job has ended (reported).
int LoadFirmware(TransferSession& session, CTransferFile& file) {
    const CReceiverdat& record = session.Job().firmware;
    const std::optional<std::string>& given = session.Job().fileData;
    if (!given && !FileExists(record.m_strPath))
        return session.FailJobText(
            FormatText(LoadResString(str::kFileNotFound), {record.m_strPath}));
    const int loaded =
        given ? file.TakeWhole(record.m_strPath, *given) : file.LoadWhole(record.m_strPath);
    if (loaded != CTransferFile::kLoaded || record.m_size < 0 ||
        file.Data().size() != static_cast<std::size_t>(record.m_size))
        return session.FailJob(str::kIoError);
    return 1;
}

// LoaderVersion up to 1.0: header, then the image in 100 large pieces without answers.
int SendSimple(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();
    LinkPause(link_ms::kPauseBeforeSimpleHeader);
    if (port.Purge(CComPort::kPurgeTxClear | CComPort::kPurgeRxClear) != 1)
        return session.FailJob(str::kReceiveSendError);
    port.SetReadTimeout(LinkMs(link_ms::kJobReadTimeout));

    CTransferFile file;
    if (LoadFirmware(session, file) == 0)
        return 0;
    const auto data = file.Data();
    const std::size_t size = data.size();

    unsigned char header[8];
    PutU32BE(static_cast<std::uint32_t>(size), header);
    PutU32BE(file.SumBytes(), header + 4);
    if (!WriteAll(port, header, sizeof header))
        return session.FailJob(str::kReceiveSendError);

    char answer[5] = {};
    std::size_t got = 0;
    if (port.Read(answer, sizeof answer, got) != 1)
        return session.FailJob(str::kReceiveSendError);
    if (got < sizeof answer)
        return session.FailJob(str::kReceiverNotRecognized);
    if (std::string_view(answer, got) != wire::kRecOk)
        return session.FailJob(str::kTransmissionError);

    session.SetStatus(std::string());
    session.SetProgress(100);
    LinkPause(link_ms::kPauseBeforeSimpleData);
    session.bytesSent.store(0);
    session.bytesTotal.store(size);
    session.StopTimer(TransferTimer::Progress);
    session.StopTimer(TransferTimer::SendingBlink);
    view.SetStatusFont(StatusFont::Large);
    session.StartTimer(TransferTimer::Progress);
    session.StartTimer(TransferTimer::SendingBlink);

    const std::size_t piece = size / kSimplePieces;
    for (std::size_t i = 0; i < kSimplePieces; ++i) {
        if (!WriteAll(port, data.data() + i * piece, piece))
            return session.FailJob(str::kReceiveSendError);
        session.bytesSent.fetch_add(piece);
        if (session.Cancel().TakeSignal()) {
            session.SetFirmwareCancelled();
            session.StopTimer(TransferTimer::Progress);
            session.StopTimer(TransferTimer::SendingBlink);
            session.EndCancelled();
            return 0;
        }
    }
    const std::size_t rest = size % kSimplePieces;
    if (rest != 0) {
        if (!WriteAll(port, data.data() + kSimplePieces * piece, rest))
            return session.FailJob(str::kReceiveSendError);
        session.bytesSent.fetch_add(rest);
    }

    session.StopTimer(TransferTimer::Progress);
    session.StopTimer(TransferTimer::SendingBlink);
    session.SetProgress(100);
    char result[4] = {};
    got = 0;
    if (port.Read(result, sizeof result, got) != 1)
        return session.FailJob(str::kReceiveSendError);
    if (got == 0)
        return session.FailJob(str::kConnectionLost);
    if (std::string_view(result, got) != wire::kChOk)
        return session.FailJob(str::kTransmissionError);
    return 1;
}

// LoaderVersion above 1.0: the block count, then 1024-byte blocks each answered by the receiver.
int SendBlocks(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();
    const CReceiverdat& record = session.Job().firmware;
    port.SetReadTimeout(LinkMs(link_ms::kJobReadTimeout));

    const std::size_t blocks =
        record.m_size > 0 ? static_cast<std::size_t>(record.m_size) / kBlockSize : 0;
    unsigned char count[4];
    PutU32BE(static_cast<std::uint32_t>(blocks), count);
    if (!WriteAll(port, count, sizeof count))
        return session.FailJob(str::kReceiveSendError);

    CTransferFile file;
    if (LoadFirmware(session, file) == 0)
        return 0;
    if (session.WaitForRecOk() == 0)
        return 0;
    const auto data = file.Data();
    session.bytesSent.store(0);
    session.bytesTotal.store(data.size());

    session.StartTimer(TransferTimer::SendingBlink);
    unsigned char flag = wire::kAck;
    for (std::size_t block = 0; block < blocks; ++block) {
        unsigned char header[5];
        header[0] = flag;
        PutU32BE(file.SumBytes(block * kBlockSize, kBlockSize), header + 1);
        if (!WriteAll(port, header, sizeof header) ||
            !WriteAll(port, data.data() + block * kBlockSize, kBlockSize)) {
            session.StopTimer(TransferTimer::SendingBlink);
            return session.FailJob(str::kReceiveSendError);
        }
        session.bytesSent.fetch_add(kBlockSize);
        session.SetProgress(static_cast<int>(session.bytesSent.load() * 100 / data.size()));
        if (flag == wire::kAck && session.Cancel().TakeSignal()) {
            flag = wire::kAbort;
            view.EnableCancel(false);
            // Keeps the blinking from replacing the notice while the receiver winds down.
            session.StopTimer(TransferTimer::SendingBlink);
            session.SetStatus(LoadResString(str::kCancelInAction));
        }

        unsigned char answer = 0;
        std::size_t got = 0;
        const int read = port.Read(&answer, 1, got);
        if (read != 1 || got == 0) {
            session.StopTimer(TransferTimer::SendingBlink);
            return session.FailJob(read != 1 ? str::kReceiveSendError
                                             : str::kFirmwareTransferError);
        }
        if (answer == wire::kAbort) {
            session.EndAborted();
            // After our own abort flag this is the user's cancel coming through.
            if (flag == wire::kAbort)
                session.SetOutcome(JobOutcome::Cancelled);
            return 0;
        }
        if (answer == wire::kSumWrong) {
            session.StopTimer(TransferTimer::SendingBlink);
            return session.FailJob(str::kTransmissionError);
        }
        if (answer != wire::kAck) {
            session.StopTimer(TransferTimer::SendingBlink);
            view.EnableCancel(true);
            return session.FailJob(str::kFirmwareTransferError);
        }
    }
    session.StopTimer(TransferTimer::SendingBlink);
    session.SetProgress(0);
    return 1;
}

// The receiver reports how far it has programmed its flash, then 0xFF.
int FollowProgramming(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();
    view.EnableCancel(false);
    view.SetStatusFont(StatusFont::Large);
    session.SetStatus(LoadResString(str::kReceiverProgramming));
    LinkPause(link_ms::kPauseBeforeProgramming);
    session.SetProgress(0);
    session.StartTimer(TransferTimer::ProgramBlink);
    port.SetReadTimeout(LinkMs(link_ms::kJobReadTimeout));

    for (;;) {
        unsigned char progress = 0;
        std::size_t got = 0;
        if (port.Read(&progress, 1, got) != 1) {
            session.StopTimer(TransferTimer::ProgramBlink);
            return session.FailJob(str::kReceiveSendError);
        }
        if (got == 0) {
            session.StopTimer(TransferTimer::ProgramBlink);
            view.EnableCancel(true);
            return session.FailJob(str::kConnectionLost);
        }
        if (progress == wire::kFinished)
            break;
        if (progress > 100) {
            session.StopTimer(TransferTimer::ProgramBlink);
            return session.FailJob(str::kFlashProgrammingError);
        }
        session.SetProgress(progress);
    }

    session.SetProgress(100);
    session.StopTimer(TransferTimer::ProgramBlink);
    return 1;
}

} // namespace

void RunFirmwareSend(TransferSession& session) {
    CComPort& port = session.Port();
    TransferView& view = session.View();
    const TransferJob& job = session.Job();
    const CReceiverdat& record = job.firmware;

    session.ClearFirmwareCancelled();
    session.Cancel().Reset();
    const char* command = job.chained != 0 ? wire::kProgFert : wire::kProgCode;
    const int found = session.DetectReceiver(command);

    // The later steps of a chain open this port again and send as many lines as it holds.
    ChainMemory& chain = session.Chain();
    chain.lastPort = found >= 1 && found <= PortMap::kPortCount ? found : 0;
    chain.lastDevice = found > 0 ? session.PortDevice() : std::string();
    chain.lastCapacity = found > 0 ? session.programCapacity : 0;
    if (found < 0) {
        session.EndCancelled();
        return;
    }
    if (found == 0)
        return;

    std::string receiverText;
    if (port.ReadString(receiverText) != 1) {
        session.FailJob(str::kReceiveSendError);
        return;
    }

    if (static_cast<float>(record.m_kind) > session.loaderVersion) {
        WriteText(port, wire::kRecFa);
        session.FailJob(str::kWrongSoftwareVersion);
        session.SetOutcome(JobOutcome::Refused);
        return;
    }

    const VersionWarning warning =
        CompareVersions(receiverText, record.m_version, session.Settings().versionHint);
    if (warning.mode != VersionWarningMode::None && !view.AskVersionWarning(warning)) {
        WriteText(port, wire::kRecFa);
        session.EndWithoutResult(JobOutcome::Refused);
        return;
    }

    if (!WriteText(port, wire::kRecOk)) {
        session.FailJob(str::kReceiveSendError);
        return;
    }
    const int sent = session.loaderVersion > 1.0f ? SendBlocks(session) : SendSimple(session);
    if (sent == 0)
        return;
    if (FollowProgramming(session) == 0)
        return;
    session.FinishSend();
}

} // namespace fw
