// The program-list jobs: a TV or radio list with its ten favourite banks, read from the
// receiver into a new list file, or sent from a list file to the receiver.

#include "core/link/JobContext.h"
#include "core/link/JobSupport.h"
#include "core/link/Jobs.h"
#include "core/link/LinkTiming.h"
#include "core/link/WireTokens.h"
#include "core/lists/ListFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fw {
namespace {

using wire::kAbort;
using wire::kAck;

// A receiver line is at most this long, its 0x0D included.
constexpr std::size_t kMaxLineBytes = 500;
// The send list always covers the largest receiver.
constexpr std::size_t kSendListLines = 4000;
// 1000 entries of two bytes; a longer bank is cut to its first 1000 entries.
constexpr int kMaxBankWireBytes = 2000;
// An empty program place: ten empty fields.
constexpr std::string_view kEmptyProgramLine = "\t\t\t\t\t\t\t\t\t";

std::string Text(int id) {
    return LoadResString(id);
}

bool WriteByte(CComPort& port, unsigned char byte) {
    return link::WriteAll(port, &byte, 1);
}

// The byte the job answers with: 0x0D until the user cancels, then 0x0A for the rest of the
// job. The event resets itself when taken, so the job has to remember what it saw.
class AnswerByte {
public:
    explicit AnswerByte(JobContext& context) : m_context(context) {}

    // Looks at the Cancel button once; called once per program line and once per bank.
    unsigned char Next() {
        if (!m_aborted && m_context.Cancel().TakeSignal()) {
            m_aborted = true;
            m_context.View().EnableCancel(false);
            m_context.SetStatus(Text(str::kCancelInAction));
        }
        return Current();
    }
    unsigned char Current() const { return m_aborted ? kAbort : kAck; }
    bool Aborted() const { return m_aborted; }

    // The receiver answered with 0x0A: after our own abort that is the user's cancel coming
    // through, else the receiver gave up.
    void EndByReceiverAbort() {
        m_context.EndAborted();
        NoteReceiverAbort();
    }
    void NoteReceiverAbort() {
        if (m_aborted)
            m_context.SetOutcome(JobOutcome::Cancelled);
    }

private:
    JobContext& m_context;
    bool m_aborted = false;
};

// Opens the line for a list job and shows statusId. Returns false when the job has already
// ended.
bool StartListJob(JobContext& context, const char* command, bool chained, int statusId) {
    if (chained) {
        if (!context.OpenChainedPort()) {
            context.FailJob(str::kReceiveSendError);
            return false;
        }
    } else if (!context.DetectOrEnd(command)) {
        return false;
    }
    context.ShowConnected();
    if (context.Port().SetReadTimeout(LinkTimeoutMs(link_ms::kJobReadTimeout)) != 1) {
        context.FailJob(str::kReceiveSendError);
        return false;
    }
    context.SetStatus(Text(statusId));
    return true;
}

enum class ReadOutcome { Done, Ended };

// One program line as the receiver sends it: up to 0x0D or 500 bytes. The last byte read is
// never part of the line: normally the 0x0D, for an unterminated 500-byte line its last
// character.
ReadOutcome ReadProgramLine(JobContext& context, std::string& line, AnswerByte& answer) {
    CComPort& port = context.Port();
    std::string raw;
    while (raw.size() < kMaxLineBytes) {
        unsigned char byte = 0;
        std::size_t got = 0;
        if (port.Read(&byte, 1, got) != 1) {
            context.FailJob(str::kReceiveSendError);
            return ReadOutcome::Ended;
        }
        if (got == 0) {
            port.Purge(CComPort::kPurgeTxAbort | CComPort::kPurgeRxAbort | CComPort::kPurgeTxClear |
                       CComPort::kPurgeRxClear);
            context.FailJob(str::kProgramListError);
            return ReadOutcome::Ended;
        }
        if (byte == kAbort) {
            answer.EndByReceiverAbort();
            return ReadOutcome::Ended;
        }
        raw.push_back(static_cast<char>(byte));
        if (byte == kAck)
            break;
    }
    raw.pop_back();
    line = std::move(raw);
    return ReadOutcome::Done;
}

// One bank from the receiver: header, answer, data, answer.
ReadOutcome ReceiveBank(JobContext& context, CFavoritenDat& banks, int bank, AnswerByte& answer) {
    CComPort& port = context.Port();
    std::array<unsigned char, 3> header{};
    std::size_t got = 0;
    if (port.Read(header.data(), header.size(), got) != 1) {
        context.FailJob(str::kReceiveSendError);
        return ReadOutcome::Ended;
    }
    // The receiver's abort is a single 0x0A, so it wins over a short header.
    if (got >= 1 && header[0] == kAbort) {
        answer.EndByReceiverAbort();
        return ReadOutcome::Ended;
    }
    // A partial header would give a made-up length and a bank out of step.
    if (got < header.size()) {
        context.FailJob(str::kBankTransferError);
        return ReadOutcome::Ended;
    }
    const std::size_t length = static_cast<std::size_t>(header[1]) << 8 | header[2];
    const unsigned char reply = answer.Next();
    if (!WriteByte(port, reply)) {
        context.FailJob(str::kReceiveSendError);
        return ReadOutcome::Ended;
    }
    if (length == 0)
        return ReadOutcome::Done;

    const std::span<unsigned char> data = banks.AllocReceiveBuffer(length);
    if (port.Read(data.data(), data.size(), got) != 1) {
        context.FailJob(str::kReceiveSendError);
        return ReadOutcome::Ended;
    }
    if (got < length) {
        // After our abort the receiver answers with a lone 0x0A instead of the data.
        if (reply == kAbort && got == 1 && data[0] == kAbort) {
            answer.EndByReceiverAbort();
            return ReadOutcome::Ended;
        }
        // Short data would be stored as entries that the receiver never sent.
        context.FailJob(str::kBankTransferError);
        return ReadOutcome::Ended;
    }
    banks.ParseWireBuffer(bank);
    if (!WriteByte(port, reply)) {
        context.FailJob(str::kReceiveSendError);
        return ReadOutcome::Ended;
    }
    return ReadOutcome::Done;
}

} // namespace

SendList ReadSendList(const ListSend& job) {
    SendList list;
    std::string data, reason;
    if (job.fileData) {
        data = *job.fileData;
    } else if (!ReadWholeFile(job.list.m_strPath, data, reason)) {
        list.error = FormatText(Text(str::kSendListNotRead), {reason});
        return list;
    }
    // The disk still holds the text the catalogue could not repair: its head lines would shift
    // every program by their number.
    if (job.list.m_unrepairedOnDisk)
        data = AnalyseListText(data).RepairedText(data);
    const std::vector<std::string_view> lines = SplitTextModeLines(data);
    std::size_t next = std::min<std::size_t>(2, lines.size()); // header and column titles
    for (; next < lines.size() && !lines[next].starts_with(kBankBlockMark); ++next) {
        const std::string_view line = lines[next];
        // Checked before any byte goes out: a CR would end the line on the wire early, a longer
        // line is cut by the receiver, and either breaks the send half-way.
        const int unfit = line.size() >= kMaxLineBytes                ? str::kSendLineTooLong
                          : line.find('\r') != std::string_view::npos ? str::kSendLineHasCr
                                                                      : 0;
        if (unfit != 0) {
            SendList refused;
            refused.error = FormatText(
                Text(unfit), {std::to_string(list.lines.size() + 1), std::to_string(next + 1)});
            return refused;
        }
        if (line.find_first_not_of("\t ") != std::string_view::npos)
            list.hasPrograms = true;
        list.lines.emplace_back(line);
    }
    if (list.lines.size() < kSendListLines)
        list.lines.resize(kSendListLines, std::string(kEmptyProgramLine));
    if (next < lines.size())
        list.droppedBankEntries = list.banks.ReadBlock(std::span(lines).subspan(next + 1), false);
    return list;
}

JobResult ListLoadJob::Run(JobContext& context) {
    Work(context);
    JobResult result = context.Result();
    if (m_whole)
        result.list = std::move(m_received);
    return result;
}

void ListLoadJob::Work(JobContext& context) {
    context.Cancel().Reset();
    const bool radio = m_job.listKind == 'R';
    context.SetDetectionWindow(DetectionWindowOf(m_job.use));
    if (!StartListJob(context, radio ? wire::kLoadRadioList : wire::kLoadTvList, false,
                      str::kReadingProgramList))
        return;

    TransferView& view = context.View();
    CComPort& port = context.Port();
    AnswerByte answer(context);

    const int capacity = context.Receiver().capacity;
    for (int place = 1; place <= capacity; ++place) {
        std::string line;
        if (ReadProgramLine(context, line, answer) == ReadOutcome::Ended)
            return;
        m_received.lines.push_back(std::move(line));
        context.SetProgress(place * 100 / capacity);
        if (!WriteByte(port, answer.Next())) {
            context.FailJob(str::kReceiveSendError);
            return;
        }
    }

    for (int bank = 0; bank < kBankCount; ++bank) {
        context.SetStatus(FormatText(Text(str::kBankTransmitted), {std::to_string(bank)}));
        context.SetProgress(10 * bank + 10);
        if (ReceiveBank(context, m_received.banks, bank, answer) == ReadOutcome::Ended)
            return;
    }

    port.Close();
    context.SetProgress(100);
    // The user cancelled after the receiver's last chance to confirm: nothing is kept.
    if (answer.Aborted()) {
        answer.EndByReceiverAbort();
        return;
    }
    m_whole = true;
    if (m_job.use != LoadUse::SaveAs) {
        context.FinishLoad(str::kProgramListLoaded, {});
        return;
    }

    const std::optional<SaveTarget> target = view.AskSaveAs(SaveKind::ProgramList);
    if (!target) {
        context.EndNotSaved();
        return;
    }
    const std::string text = BuildReceivedListText(radio ? "RA" : "TV", target->description,
                                                   m_received.lines, m_received.banks);
    std::string reason;
    if (!WriteFileAtomically(target->path, text, reason)) {
        view.ShowMessage(reason, MessageIcon::Stop);
        context.EndWithoutResult(JobOutcome::Failed);
        return;
    }
    view.EnableCancel(true);
    context.FinishLoad(str::kProgramListLoaded, target->path);
}

JobResult ListSendJob::Run(JobContext& context) {
    Work(context);
    JobResult result = context.Result();
    result.capacity = m_capacity;
    return result;
}

void ListSendJob::Work(JobContext& context) {
    context.Cancel().Reset();
    const ListSend& job = m_job;
    const bool chained = job.chain.chained != 0;

    // Sending without the file's lines would overwrite the receiver's list with nothing.
    SendList list = m_job.sendList ? std::move(*m_job.sendList) : ReadSendList(job);
    if (!list.error.empty()) {
        context.FailJobText(list.error);
        return;
    }
    // An empty list would make the receiver erase its own: never without the user's word.
    if (!list.hasPrograms) {
        const std::string refusal =
            FormatText(Text(str::kSendEmptyListRefused), {job.list.m_strPath});
        if (chained) {
            context.FailJobText(refusal);
            return;
        }
        if (!context.View().AskYesNo(
                FormatText(Text(str::kSendEmptyListQuestion), {job.list.m_strPath}),
                MessageIcon::Warning)) {
            context.EndWithoutResult(JobOutcome::Refused);
            return;
        }
    }
    if (list.droppedBankEntries > 0)
        context.View().ShowMessage(
            FormatText(Text(str::kBankEntriesDropped), {std::to_string(list.droppedBankEntries)}),
            MessageIcon::Warning);
    // A chained step skips detection, so only the chain's first step knows the capacity.
    if (chained) {
        m_capacity = context.Chain().lastCapacity;
        if (m_capacity <= 0) {
            context.FailJobText(Text(str::kChainCapacityUnknown));
            return;
        }
    }

    const bool radio = job.list.m_strType == "RA";
    if (!StartListJob(context, radio ? wire::kProgRadioList : wire::kProgTvList, chained,
                      str::kSendingProgramList))
        return;

    TransferView& view = context.View();
    CComPort& port = context.Port();
    AnswerByte answer(context);
    context.SetProgress(0);

    if (!chained)
        m_capacity = context.Receiver().capacity;
    const int capacity = m_capacity;
    const std::size_t lineCount =
        std::min(list.lines.size(), static_cast<std::size_t>(std::max(capacity, 0)));
    for (std::size_t index = 0; index < lineCount; ++index) {
        std::string out;
        if (answer.Next() == kAbort)
            out.push_back(static_cast<char>(kAbort));
        out += list.lines[index];
        out.push_back(static_cast<char>(kAck));
        if (!link::WriteAll(port, out.data(), out.size())) {
            context.FailJob(str::kReceiveSendError);
            return;
        }
        if (context.ReadAck(str::kProgramListError) == 0) {
            if (context.Outcome() == JobOutcome::AbortedByReceiver)
                answer.NoteReceiverAbort();
            return;
        }
        context.SetProgress(
            static_cast<int>((index + 1) * 100 / static_cast<std::size_t>(capacity)));
    }

    for (int bank = 0; bank < kBankCount; ++bank) {
        const int length = std::min(list.banks.GetWireLength(bank), kMaxBankWireBytes);
        const std::array<unsigned char, 3> header{answer.Next(),
                                                  static_cast<unsigned char>(length >> 8 & 0xFF),
                                                  static_cast<unsigned char>(length & 0xFF)};
        if (!link::WriteAll(port, header.data(), header.size())) {
            context.FailJob(str::kReceiveSendError);
            return;
        }
        context.SetStatus(FormatText(Text(str::kBankTransmitted), {std::to_string(bank)}));
        context.SetProgress(10 * bank + 10);
        if (context.ReadAck(str::kBankTransferError) == 0) {
            if (context.Outcome() == JobOutcome::AbortedByReceiver)
                answer.NoteReceiverAbort();
            return;
        }
        if (length == 0)
            continue;
        const std::span<const unsigned char> data =
            list.banks.BuildWireBuffer(bank).first(static_cast<std::size_t>(length));
        if (!link::WriteAll(port, data.data(), data.size())) {
            context.FailJob(str::kReceiveSendError);
            return;
        }
        unsigned char reply = 0;
        std::size_t got = 0;
        if (port.Read(&reply, 1, got) != 1) {
            context.FailJob(str::kReceiveSendError);
            return;
        }
        if (got == 0 || reply != kAck) {
            context.FailJob(str::kBankTransferError);
            return;
        }
    }

    context.SetStatus(Text(str::kErasingFlash));
    view.EnableCancel(false);
    context.SetProgress(0);
    if (port.SetReadTimeout(LinkTimeoutMs(link_ms::kEraseTimeout)) != 1) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    context.StartTimer(TransferTimer::EraseSeconds);
    unsigned char result = 0;
    std::size_t got = 0;
    const int read = port.Read(&result, 1, got);
    context.StopTimer(TransferTimer::EraseSeconds);
    if (read != 1) {
        context.FailJob(str::kReceiveSendError);
        return;
    }
    context.SetProgress(100);
    if (got == 0 || result != wire::kFinished) {
        port.Close();
        context.FailJob(str::kFlashNotErased);
        return;
    }

    context.FinishSend();
}

} // namespace fw
