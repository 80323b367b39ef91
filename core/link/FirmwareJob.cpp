// Writing a firmware file into the receiver's flash.
#include "core/firmware/TransferFile.h"
#include "core/link/JobContext.h"
#include "core/link/JobSupport.h"
#include "core/link/Jobs.h"
#include "core/link/LinkTiming.h"
#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ByteOrder.h"
#include "core/util/Cp1252.h"
#include "core/util/TextUtil.h"

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
int LoadFirmware(JobContext& context, const FirmwareSend& job, CTransferFile& file) {
    const CReceiverdat& record = job.firmware;
    const std::optional<std::string>& given = job.fileData;
    if (!given && !FileExists(record.m_strPath))
        return context.FailJobText(
            FormatText(LoadResString(str::kFileNotFound), {record.m_strPath}));
    const int loaded =
        given ? file.TakeWhole(record.m_strPath, *given) : file.LoadWhole(record.m_strPath);
    if (loaded != CTransferFile::kLoaded || record.m_size < 0 ||
        file.Data().size() != static_cast<std::size_t>(record.m_size))
        return context.FailJob(str::kIoError);
    return 1;
}

// LoaderVersion up to 1.0: header, then the image in 100 large pieces without answers.
int SendSimple(JobContext& context, const FirmwareSend& job) {
    CComPort& port = context.Port();
    TransferView& view = context.View();
    LinkPause(link_ms::kPauseBeforeSimpleHeader);
    if (port.Purge(CComPort::kPurgeTxClear | CComPort::kPurgeRxClear) != 1)
        return context.FailJob(str::kReceiveSendError);
    port.SetReadTimeout(LinkTimeoutMs(link_ms::kJobReadTimeout));

    CTransferFile file;
    if (LoadFirmware(context, job, file) == 0)
        return 0;
    const auto data = file.Data();
    const std::size_t size = data.size();

    unsigned char header[8];
    PutU32BE(static_cast<std::uint32_t>(size), header);
    PutU32BE(file.SumBytes(), header + 4);
    if (!WriteAll(port, header, sizeof header))
        return context.FailJob(str::kReceiveSendError);

    char answer[5] = {};
    std::size_t got = 0;
    if (port.Read(answer, sizeof answer, got) != 1)
        return context.FailJob(str::kReceiveSendError);
    if (got < sizeof answer)
        return context.FailJob(str::kReceiverNotRecognized);
    if (std::string_view(answer, got) != wire::kRecOk)
        return context.FailJob(str::kTransmissionError);

    context.SetStatus(std::string());
    context.SetProgress(100);
    LinkPause(link_ms::kPauseBeforeSimpleData);
    context.StartByteCount(size);
    context.StopTimer(TransferTimer::Progress);
    context.StopTimer(TransferTimer::SendingBlink);
    view.SetStatusFont(StatusFont::Large);
    context.StartTimer(TransferTimer::Progress);
    context.StartTimer(TransferTimer::SendingBlink);

    const std::size_t piece = size / kSimplePieces;
    for (std::size_t i = 0; i < kSimplePieces; ++i) {
        if (!WriteAll(port, data.data() + i * piece, piece))
            return context.FailJob(str::kReceiveSendError);
        context.CountBytesSent(piece);
        if (context.Cancel().TakeSignal()) {
            context.SetFirmwareCancelled(true);
            context.StopTimer(TransferTimer::Progress);
            context.StopTimer(TransferTimer::SendingBlink);
            context.EndCancelled();
            return 0;
        }
    }
    const std::size_t rest = size % kSimplePieces;
    if (rest != 0) {
        if (!WriteAll(port, data.data() + kSimplePieces * piece, rest))
            return context.FailJob(str::kReceiveSendError);
        context.CountBytesSent(rest);
    }

    context.StopTimer(TransferTimer::Progress);
    context.StopTimer(TransferTimer::SendingBlink);
    context.SetProgress(100);
    char result[4] = {};
    got = 0;
    if (port.Read(result, sizeof result, got) != 1)
        return context.FailJob(str::kReceiveSendError);
    if (got == 0)
        return context.FailJob(str::kConnectionLost);
    if (std::string_view(result, got) != wire::kChOk)
        return context.FailJob(str::kTransmissionError);
    return 1;
}

// LoaderVersion above 1.0: the block count, then 1024-byte blocks each answered by the receiver.
int SendBlocks(JobContext& context, const FirmwareSend& job) {
    CComPort& port = context.Port();
    TransferView& view = context.View();
    const CReceiverdat& record = job.firmware;
    port.SetReadTimeout(LinkTimeoutMs(link_ms::kJobReadTimeout));

    const std::size_t blocks =
        record.m_size > 0 ? static_cast<std::size_t>(record.m_size) / kBlockSize : 0;
    unsigned char count[4];
    PutU32BE(static_cast<std::uint32_t>(blocks), count);
    if (!WriteAll(port, count, sizeof count))
        return context.FailJob(str::kReceiveSendError);

    CTransferFile file;
    if (LoadFirmware(context, job, file) == 0)
        return 0;
    if (context.WaitForRecOk() == 0)
        return 0;
    const auto data = file.Data();
    context.StartByteCount(data.size());

    context.StartTimer(TransferTimer::SendingBlink);
    unsigned char flag = wire::kAck;
    for (std::size_t block = 0; block < blocks; ++block) {
        unsigned char header[5];
        header[0] = flag;
        PutU32BE(file.SumBytes(block * kBlockSize, kBlockSize), header + 1);
        if (!WriteAll(port, header, sizeof header) ||
            !WriteAll(port, data.data() + block * kBlockSize, kBlockSize)) {
            context.StopTimer(TransferTimer::SendingBlink);
            return context.FailJob(str::kReceiveSendError);
        }
        const std::uint64_t sent = context.CountBytesSent(kBlockSize);
        context.SetProgress(static_cast<int>(sent * 100 / data.size()));
        if (flag == wire::kAck && context.Cancel().TakeSignal()) {
            flag = wire::kAbort;
            view.EnableCancel(false);
            // Keeps the blinking from replacing the notice while the receiver winds down.
            context.StopTimer(TransferTimer::SendingBlink);
            context.SetStatus(LoadResString(str::kCancelInAction));
        }

        unsigned char answer = 0;
        std::size_t got = 0;
        const int read = port.Read(&answer, 1, got);
        if (read != 1 || got == 0) {
            context.StopTimer(TransferTimer::SendingBlink);
            return context.FailJob(read != 1 ? str::kReceiveSendError
                                             : str::kFirmwareTransferError);
        }
        if (answer == wire::kAbort) {
            context.EndAborted();
            // After our own abort flag this is the user's cancel coming through.
            if (flag == wire::kAbort)
                context.SetOutcome(JobOutcome::Cancelled);
            return 0;
        }
        if (answer == wire::kSumWrong) {
            context.StopTimer(TransferTimer::SendingBlink);
            return context.FailJob(str::kTransmissionError);
        }
        if (answer != wire::kAck) {
            context.StopTimer(TransferTimer::SendingBlink);
            view.EnableCancel(true);
            return context.FailJob(str::kFirmwareTransferError);
        }
    }
    context.StopTimer(TransferTimer::SendingBlink);
    context.SetProgress(0);
    return 1;
}

// The receiver reports how far it has programmed its flash, then 0xFF.
int FollowProgramming(JobContext& context) {
    CComPort& port = context.Port();
    TransferView& view = context.View();
    view.EnableCancel(false);
    view.SetStatusFont(StatusFont::Large);
    context.SetStatus(LoadResString(str::kReceiverProgramming));
    LinkPause(link_ms::kPauseBeforeProgramming);
    context.SetProgress(0);
    context.StartTimer(TransferTimer::ProgramBlink);
    port.SetReadTimeout(LinkTimeoutMs(link_ms::kJobReadTimeout));

    for (;;) {
        unsigned char progress = 0;
        std::size_t got = 0;
        if (port.Read(&progress, 1, got) != 1) {
            context.StopTimer(TransferTimer::ProgramBlink);
            return context.FailJob(str::kReceiveSendError);
        }
        if (got == 0) {
            context.StopTimer(TransferTimer::ProgramBlink);
            view.EnableCancel(true);
            return context.FailJob(str::kConnectionLost);
        }
        if (progress == wire::kFinished)
            break;
        if (progress > 100) {
            context.StopTimer(TransferTimer::ProgramBlink);
            return context.FailJob(str::kFlashProgrammingError);
        }
        context.SetProgress(progress);
    }

    context.SetProgress(100);
    context.StopTimer(TransferTimer::ProgramBlink);
    return 1;
}

// Text from the receiver or the file, fit for a message: control bytes would reach a terminal.
std::string ShownText(std::string_view bytes) {
    std::string printable(bytes);
    for (char& c : printable) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return Cp1252ToUtf8(printable);
}

std::string WriteQuestion(const CReceiverdat& record, const std::string& receiverText) {
    const std::string file =
        record.m_strFileName.empty() ? FileNameOfPath(record.m_strPath) : record.m_strFileName;
    const std::string version = ShownText(record.m_version);
    if (EqualsNoCase(receiverText, "NONE"))
        return FormatText(LoadResString(str::kAskWriteFirmwareIntoEmpty), {file, version});
    return FormatText(LoadResString(str::kAskWriteFirmware),
                      {file, version, ShownText(receiverText)});
}

} // namespace

JobResult FirmwareSendJob::Run(JobContext& context) {
    Work(context);
    JobResult result = context.Result();
    result.software = m_software;
    return result;
}

void FirmwareSendJob::Work(JobContext& context) {
    CComPort& port = context.Port();
    TransferView& view = context.View();
    const FirmwareSend& job = m_job;
    const CReceiverdat& record = job.firmware;

    context.SetFirmwareCancelled(false);
    context.Cancel().Reset();
    const char* command = job.chain.chained != 0 ? wire::kProgFert : wire::kProgCode;
    const int found = context.DetectReceiver(command);

    // The later steps of a chain open this port again and send as many lines as it holds.
    ChainMemory& chain = context.Chain();
    chain.lastPort = found >= 1 && found <= PortMap::kPortCount ? found : 0;
    chain.lastDevice = found > 0 ? context.PortDevice() : std::string();
    chain.lastCapacity = found > 0 ? context.Receiver().capacity : 0;
    if (found < 0) {
        context.EndCancelled();
        return;
    }
    if (found == 0)
        return;

    std::string receiverText;
    if (port.ReadString(receiverText) != 1) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    m_software = receiverText;

    if (static_cast<float>(record.m_kind) > context.Receiver().loaderVersion) {
        WriteText(port, wire::kRecFa);
        context.FailJob(str::kWrongSoftwareVersion);
        context.SetOutcome(JobOutcome::Refused);
        return;
    }

    const VersionWarning warning =
        CompareVersions(receiverText, record.m_version, context.Settings().versionHint);
    // The flash cannot be rewritten by mistake: the user names the software to replace. A
    // chain's files were chosen before it started, and a dealer's station must not stop at
    // every receiver.
    const bool goOn =
        (warning.mode == VersionWarningMode::None || view.AskVersionWarning(warning)) &&
        (job.chain.chained != 0 ||
         view.AskYesNo(WriteQuestion(record, receiverText), MessageIcon::Warning));
    if (!goOn) {
        WriteText(port, wire::kRecFa);
        context.EndWithoutResult(JobOutcome::Refused);
        return;
    }

    if (!WriteText(port, wire::kRecOk)) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    const int sent = context.Receiver().loaderVersion > 1.0f ? SendBlocks(context, job)
                                                             : SendSimple(context, job);
    if (sent == 0)
        return;
    if (FollowProgramming(context) == 0)
        return;
    context.FinishSend();
}

JobResult FirmwareCheckJob::Run(JobContext& context) {
    Work(context);
    JobResult result = context.Result();
    result.software = m_software;
    return result;
}

void FirmwareCheckJob::Work(JobContext& context) {
    context.Cancel().Reset();
    context.SetDetectionWindow(kFirmwareCheckWindowMs);
    if (!context.DetectOrEnd(wire::kProgCode))
        return;
    CComPort& port = context.Port();
    std::string receiverText;
    if (port.ReadString(receiverText) != 1) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    // The receiver now waits to be programmed; the refusal sends it back to waiting.
    if (!WriteText(port, wire::kRecFa)) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    port.Close();
    m_software = receiverText;
    context.SetOutcome(JobOutcome::Succeeded);
}

} // namespace fw
