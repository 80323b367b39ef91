#include "sim/Receiver.h"

#include <algorithm>
#include <utility>

namespace fw::sim {
namespace {

std::string Byte(unsigned char value) {
    return std::string(1, static_cast<char>(value));
}

std::string Hex(unsigned char value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0x0F];
}

bool IsListCommand(Command command) {
    return command == Command::LoadTlis || command == Command::LoadRlis ||
           command == Command::ProgTlis || command == Command::ProgRlis;
}

const char* ListName(bool tv) {
    return tv ? "TV list" : "radio list";
}

std::string BankData(const std::vector<std::uint16_t>& entries) {
    std::string data;
    const std::size_t count = std::min(entries.size(), kMaxBankBytes / 2);
    for (std::size_t k = 0; k < count; ++k)
        data += U16BE(entries[k]);
    return data;
}

} // namespace

Receiver::Receiver(const SimulatorOptions& options, PtyLine& line, ReceiverMemory& memory)
    : m_options(options), m_line(line), m_memory(memory),
      m_pauses(options.realisticPauses ? kRealisticPauses : kQuickPauses), m_faults(options.faults),
      m_model(options.model) {}

void Receiver::Log(std::string event) {
    m_memory.Log(std::move(event));
}

bool Receiver::Check(LineState state, std::string_view what) {
    switch (state) {
    case LineState::Ok:
        return true;
    case LineState::TimedOut:
        Log(std::string(what) + ": the PC fell silent");
        break;
    case LineState::HungUp:
        Log(std::string(what) + ": the PC closed the port");
        break;
    case LineState::Stopped:
        m_halted = true;
        break;
    case LineState::Gone:
        m_halted = true;
        Log(std::string(what) + ": the line is gone");
        break;
    }
    return false;
}

bool Receiver::Pause(Millis duration) {
    return Check(m_line.Pause(duration), "pause");
}

bool Receiver::Send(Step step, std::string_view message, const std::function<void()>& commit) {
    if (const std::optional<FaultKind> kind = m_faults.Next(step)) {
        Log("fault at " + std::string(StepName(step)) + " " +
            std::to_string(m_faults.LastIndex(step)) + ": " + std::string(FaultKindName(*kind)));
        if (*kind == FaultKind::LineVanishes) {
            m_line.Vanish();
            m_halted = true;
            return false;
        }
        const std::string faulty = FaultyMessage(step, *kind, message);
        if (!faulty.empty())
            Check(m_line.Write(faulty), StepName(step));
        return false;
    }
    if (commit)
        commit();
    return Check(m_line.Write(message), StepName(step));
}

bool Receiver::SendPlain(std::string_view message, std::string_view what) {
    return Check(m_line.Write(message), what);
}

bool Receiver::ReadBytes(std::string& out, std::size_t count, Millis patience,
                         std::string_view what) {
    return Check(m_line.Read(out, count, patience), what);
}

bool Receiver::ReadByte(unsigned char& byte, std::string_view what) {
    std::string one;
    if (!ReadBytes(one, 1, kAnswerPatience, what))
        return false;
    byte = static_cast<unsigned char>(one[0]);
    return true;
}

void Receiver::Serve() {
    // A stopped simulator may be started again; a vanished line stays gone.
    m_halted = m_line.IsGone();
    while (!m_halted) {
        if (m_chain != ChainStep::None) {
            RunChainStep();
            continue;
        }
        const std::optional<CommandFrame> frame = WaitForFrame();
        if (frame)
            RunCommand(*frame);
    }
}

std::optional<CommandFrame> Receiver::WaitForFrame() {
    std::string window;
    std::size_t ignored = 0;
    auto reportIgnored = [&] {
        if (ignored > 0)
            Log("ignored " + std::to_string(ignored) + " bytes that formed no command frame");
        ignored = 0;
    };
    for (;;) {
        const LineState state = m_line.WaitForByte(Clock::time_point::max(), OnHangup::KeepWaiting);
        if (m_line.TakeHangupSeen()) {
            // Whatever a PC left half-sent went with it.
            ignored += window.size();
            window.clear();
            reportIgnored();
        }
        if (state != LineState::Ok) {
            Check(state, "waiting for a command");
            return std::nullopt;
        }
        unsigned char byte = 0;
        while (m_line.TakeByte(byte)) {
            window.push_back(static_cast<char>(byte));
            if (window.size() > kFrameSize) {
                window.erase(0, 1);
                ++ignored;
            }
            if (const std::optional<CommandFrame> frame = ParseCommandFrame(window)) {
                reportIgnored();
                return frame;
            }
        }
    }
}

void Receiver::EndJob() {
    // A chain goes on at the working rate; otherwise the receiver listens at 19200 again.
    if (m_chain == ChainStep::None)
        m_line.SetBaud(kDetectionBaud);
    m_memory.FinishJob();
}

void Receiver::RunCommand(const CommandFrame& frame) {
    m_faults.Restart();
    m_chain = ChainStep::None;
    const std::string_view text = CommandText(frame.command);
    m_memory.AddCommand(text);
    Log("command " + std::string(text) + " at " + std::to_string(frame.baud) + " baud");
    if (m_busyFrames > 0) {
        --m_busyFrames;
        Log("busy storing: no answer");
        EndJob();
        return;
    }
    bool stored = false;
    if (Detect(frame)) {
        switch (frame.command) {
        case Command::ProgCode:
            stored = ReceiveFirmware(false);
            break;
        case Command::ProgFert:
            stored = ReceiveFirmware(true);
            break;
        case Command::LoadTlis:
        case Command::LoadRlis:
            SendList(frame.command == Command::LoadTlis);
            break;
        case Command::ProgTlis:
        case Command::ProgRlis:
            stored = ReceiveList(frame.command == Command::ProgTlis, ProgramCapacity(m_model),
                                 std::nullopt);
            break;
        case Command::LoadDefw:
            SendSettings();
            break;
        case Command::ProgDefw:
            stored = ReceiveSettings(std::nullopt);
            break;
        }
    }
    if (stored)
        m_busyFrames = m_options.framesIgnoredAfterStore;
    EndJob();
}

bool Receiver::Detect(const CommandFrame& frame) {
    m_line.SetBaud(kDetectionBaud);
    if (!Send(Step::DetectionReply, std::string(kRecOk) + ' ' + m_options.loaderVersion))
        return false;
    // The PC switches its port only after it has read the reply.
    if (!Pause(m_pauses.baudSwitch))
        return false;
    m_line.SetBaud(frame.baud);
    if (!Send(Step::ModelReply, ModelReply(m_model)))
        return false;
    if (m_model == Model::RecFa && IsListCommand(frame.command)) {
        Log("no operating software, so no program lists");
        return false;
    }
    return true;
}

// ---- Firmware ----

bool Receiver::ReceiveFirmware(bool chained) {
    // The chain's lists are as long as this job's model reply said, even if flashing changes it.
    const Model replied = m_model;
    const std::string software =
        m_model == Model::RecFa ? std::string(kNoSoftware) : m_memory.SoftwareText();
    if (!Send(Step::SoftwareText, software + '\0'))
        return false;
    std::string verdict;
    if (!ReadBytes(verdict, kReplySize, kVerdictPatience, "the PC's verdict on the software"))
        return false;
    if (verdict != kRecOk) {
        Log(verdict == kRecFa ? "the PC keeps the receiver's software"
                              : "the PC's verdict is neither RECOK nor RECFA");
        return false;
    }
    const bool received =
        UsesBlockProtocol(m_options.loaderVersion) ? ReceiveBlocks() : ReceiveSimple();
    if (!received || !Program())
        return false;
    if (!chained)
        return true;
    if (!AnnounceRestart())
        return false;
    // The PC learned the capacity from this job's model reply and sends that many lines.
    m_chainLines = ProgramCapacity(replied);
    m_chain = ChainStep::Settings;
    return true;
}

bool Receiver::ReceiveSimple() {
    std::string header;
    if (!ReadBytes(header, kSimpleHeaderSize, kAnswerPatience, "the firmware header"))
        return false;
    const std::uint32_t size = GetU32BE(header);
    const std::uint32_t sum = GetU32BE(std::string_view(header).substr(4));
    if (size == 0 || size > kMaxImageSize) {
        Log("refused a firmware image of " + std::to_string(size) + " bytes");
        Send(Step::SimpleHeaderReply, kRecFa);
        return false;
    }
    if (!Send(Step::SimpleHeaderReply, kRecOk))
        return false;
    std::string image;
    if (!ReadBytes(image, size, kAnswerPatience, "the firmware data"))
        return false;
    if (SumBytes(image) != sum) {
        Log("firmware of " + std::to_string(size) + " bytes: the sum is wrong");
        Send(Step::SimpleResult, kSumMismatch);
        return false;
    }
    Log("firmware of " + std::to_string(size) + " bytes received, sum right");
    return Send(Step::SimpleResult, kSumOk, [&] { m_memory.KeepFirmware(image); });
}

bool Receiver::ReceiveBlocks() {
    std::string count;
    if (!ReadBytes(count, kBlockCountSize, kAnswerPatience, "the block count"))
        return false;
    const std::uint32_t blocks = GetU32BE(count);
    if (blocks == 0 || blocks > kMaxImageSize / kBlockSize) {
        Log("refused a firmware image of " + std::to_string(blocks) + " blocks");
        Send(Step::BlockCountReply, kRecFa);
        return false;
    }
    if (!Send(Step::BlockCountReply, kRecOk))
        return false;
    std::string image;
    image.reserve(blocks * kBlockSize);
    for (std::uint32_t block = 0; block < blocks; ++block) {
        const std::string what = "firmware block " + std::to_string(block);
        std::string header, data;
        // The PC sends the data right after the header and reads the answer only then.
        if (!ReadBytes(header, kBlockHeaderSize, kAnswerPatience, what) ||
            !ReadBytes(data, kBlockSize, kAnswerPatience, what))
            return false;
        const auto flag = static_cast<unsigned char>(header[0]);
        if (flag == kAbort) {
            Log("the PC cancelled at " + what);
            Send(Step::BlockAnswer, Byte(kAbort));
            return false;
        }
        if (flag != kAck || SumBytes(data) != GetU32BE(std::string_view(header).substr(1))) {
            Log(what + (flag != kAck ? ": flag " + Hex(flag) : ": the sum is wrong"));
            Send(Step::BlockAnswer, Byte(kSumWrong));
            return false;
        }
        image += data;
        const bool last = block + 1 == blocks;
        std::function<void()> keep;
        if (last) {
            Log("firmware of " + std::to_string(blocks) + " blocks received, every sum right");
            keep = [&] { m_memory.KeepFirmware(image); };
        }
        if (!Send(Step::BlockAnswer, Byte(kAck), keep))
            return false;
    }
    return true;
}

bool Receiver::Program() {
    for (const int value : m_options.progressSequence) {
        const auto byte = static_cast<unsigned char>(value);
        // The new software is in place before the PC sees the programming finished.
        const auto nameTheNewSoftware = [&] {
            if (byte != kFinished)
                return;
            TakeSoftwareName();
            if (m_model == Model::RecFa) {
                m_model = m_options.flashedModel;
                Log("the receiver now has operating software and answers " +
                    std::string(ModelReply(m_model)));
            }
        };
        if (!Pause(m_pauses.progressStep) ||
            !Send(Step::ProgressByte, Byte(byte), nameTheNewSoftware))
            return false;
        if (byte == kFinished) {
            Log("flash programmed");
            return true;
        }
        if (byte > 100) {
            Log("flash programming failed with " + Hex(byte));
            return false;
        }
    }
    Log("programming stopped without 0xFF");
    return false;
}

void Receiver::TakeSoftwareName() {
    const std::vector<unsigned char> image = m_memory.ReceivedFirmware();
    const std::optional<std::string> version = FirmwareVersionText(
        std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (!version) {
        Log("the programmed image names no software; the receiver keeps its name");
        return;
    }
    Log("the receiver now names its software \"" + *version + "\"");
    m_memory.KeepSoftwareText(*version);
}

bool Receiver::AnnounceRestart() {
    return Pause(m_pauses.restart) && Send(Step::RestartAnnouncement, kRecOk);
}

// ---- Chained steps ----

void Receiver::RunChainStep() {
    // Whatever happens, the chain goes on only when this step succeeds.
    const ChainStep step = std::exchange(m_chain, ChainStep::None);
    const char* name = step == ChainStep::Settings ? "settings"
                       : step == ChainStep::TvList ? "TV list"
                                                   : "radio list";
    const LineState state =
        m_line.WaitForByte(Clock::now() + kChainPatience, OnHangup::KeepWaiting);
    m_line.TakeHangupSeen();
    if (state == LineState::TimedOut) {
        Log(std::string("the chained ") + name + " did not come; chain given up");
        m_line.SetBaud(kDetectionBaud);
        return;
    }
    if (!Check(state, "waiting for a chained step"))
        return;

    // A command frame instead of the expected data means the PC has left the chain.
    std::optional<CommandFrame> frame;
    if (step == ChainStep::Settings) {
        std::string image;
        if (!Check(m_line.ReadUntilQuiet(image, kSettingsSize + 1, kAnswerPatience, kSettingsQuiet),
                   "the chained settings")) {
            EndJob();
            return;
        }
        frame = ParseCommandFrame(image);
        if (!frame) {
            Log("chained step: settings");
            if (ReceiveSettings(std::move(image)) && AnnounceRestart())
                m_chain = ChainStep::TvList;
            EndJob();
            return;
        }
    } else {
        FirstLine first;
        if (!Check(m_line.ReadLine(first.text, kMaxLineBytes, kAnswerPatience, first.overlong),
                   std::string("the chained ") + name)) {
            EndJob();
            return;
        }
        if (!first.overlong && first.text.size() == kFrameSize - 1)
            frame = ParseCommandFrame(first.text + static_cast<char>(kAck));
        if (!frame) {
            Log(std::string("chained step: ") + name);
            const bool tv = step == ChainStep::TvList;
            // The radio list is the last step: the PC waits for no announcement after it.
            if (ReceiveList(tv, m_chainLines, first) && tv && AnnounceRestart())
                m_chain = ChainStep::RadioList;
            EndJob();
            return;
        }
    }
    Log(std::string("a command frame came instead of the chained ") + name);
    RunCommand(*frame);
}

// ---- Program lists ----

bool Receiver::SendList(bool tv) {
    const int capacity = ProgramCapacity(m_model);
    const ProgramList list = m_memory.StoredList(tv);
    Log("sending the " + std::string(ListName(tv)) + ": " + std::to_string(capacity) +
        " lines and the banks");
    for (int index = 0; index < capacity; ++index) {
        const auto slot = static_cast<std::size_t>(index);
        std::string line =
            slot < list.lines.size() ? list.lines[slot] : std::string(kEmptyProgramLine);
        line += static_cast<char>(kAck);
        unsigned char answer = 0;
        if (!Send(Step::ProgramLine, line) ||
            !ReadByte(answer, "the answer to line " + std::to_string(index)))
            return false;
        if (answer == kAbort) {
            Log("the PC cancelled at line " + std::to_string(index));
            return AcceptLoadAbort(index + 1 == capacity);
        }
        if (answer != kAck) {
            Log("answer " + Hex(answer) + " to line " + std::to_string(index));
            return false;
        }
    }
    for (int bank = 0; bank < kBankCount; ++bank) {
        const std::string data = BankData(list.banks[static_cast<std::size_t>(bank)]);
        const std::string what = "bank " + std::to_string(bank);
        unsigned char answer = 0;
        if (!Send(Step::BankHeader, Byte(kAck) + U16BE(static_cast<std::uint32_t>(data.size()))) ||
            !ReadByte(answer, "the answer to " + what))
            return false;
        if (answer != kAck && answer != kAbort) {
            Log("answer " + Hex(answer) + " to " + what);
            return false;
        }
        bool cancelled = answer == kAbort;
        if (!data.empty()) {
            // The PC reads the data even after it has answered with an abort.
            if (!SendPlain(data, what) || !ReadByte(answer, "the answer to the data of " + what))
                return false;
            if (answer != kAck && answer != kAbort) {
                Log("answer " + Hex(answer) + " to the data of " + what);
                return false;
            }
            cancelled = cancelled || answer == kAbort;
        }
        if (cancelled) {
            Log("the PC cancelled at " + what);
            return bank + 1 < kBankCount && AcceptLoadAbort(true);
        }
    }
    Log("sent the " + std::string(ListName(tv)));
    return true;
}

// The abort byte goes where the PC looks for it: in place of the next line, or as the flag
// of the next bank header.
bool Receiver::AcceptLoadAbort(bool nextIsHeader) {
    const std::string abort =
        nextIsHeader ? std::string{static_cast<char>(kAbort), 0, 0} : Byte(kAbort);
    SendPlain(abort, "accepting the abort");
    return false;
}

bool Receiver::ReceiveList(bool tv, int lineCount, const std::optional<FirstLine>& first) {
    ProgramList list;
    for (int index = 0; index < lineCount; ++index) {
        const std::string what = "line " + std::to_string(index);
        FirstLine line;
        if (index == 0 && first) {
            line = *first;
        } else if (!Check(m_line.ReadLine(line.text, kMaxLineBytes, kAnswerPatience, line.overlong),
                          what)) {
            return false;
        }
        if (line.overlong) {
            Log(what + " has no end within " + std::to_string(kMaxLineBytes) + " bytes");
            return false;
        }
        if (!line.text.empty() && static_cast<unsigned char>(line.text[0]) == kAbort) {
            Log("the PC cancelled at " + what);
            SendPlain(Byte(kAbort), "accepting the abort");
            return false;
        }
        list.lines.push_back(std::move(line.text));
        if (!Send(Step::LineAnswer, Byte(kAck)))
            return false;
    }
    for (int bank = 0; bank < kBankCount; ++bank) {
        const std::string what = "bank " + std::to_string(bank);
        std::string header;
        if (!ReadBytes(header, kBankHeaderSize, kAnswerPatience, what))
            return false;
        const auto flag = static_cast<unsigned char>(header[0]);
        if (flag == kAbort) {
            Log("the PC cancelled at " + what);
            SendPlain(Byte(kAbort), "accepting the abort");
            return false;
        }
        const std::uint32_t length = GetU16BE(std::string_view(header).substr(1));
        if (flag != kAck || length > kMaxBankBytes || length % 2 != 0) {
            Log(what + ": header " + Hex(flag) + " with length " + std::to_string(length));
            return false;
        }
        if (!Send(Step::BankAnswer, Byte(kAck)))
            return false;
        if (length == 0)
            continue;
        std::string data;
        if (!ReadBytes(data, length, kAnswerPatience, what))
            return false;
        auto& entries = list.banks[static_cast<std::size_t>(bank)];
        for (std::size_t k = 0; k < data.size(); k += 2)
            entries.push_back(static_cast<std::uint16_t>(GetU16BE(data.substr(k, 2))));
        if (!Send(Step::BankAnswer, Byte(kAck)))
            return false;
    }
    Log("received the " + std::string(ListName(tv)) + ": " + std::to_string(lineCount) +
        " lines and the banks; erasing");
    if (!Pause(m_pauses.erase))
        return false;
    return Send(Step::EraseResult, Byte(kFinished),
                [&] { m_memory.KeepList(tv, std::move(list)); });
}

// ---- Settings ----

bool Receiver::SendSettings() {
    Log("sending the settings");
    return Send(Step::SettingsBlock, m_memory.StoredSettings());
}

bool Receiver::ReceiveSettings(std::optional<std::string> image) {
    if (!image) {
        image.emplace();
        // The PC sends the whole file, whatever its length, so its end is a quiet line.
        if (!Check(
                m_line.ReadUntilQuiet(*image, kSettingsSize + 1, kAnswerPatience, kSettingsQuiet),
                "the settings"))
            return false;
    }
    if (image->size() != kSettingsSize) {
        Log("refused settings of " +
            (image->size() > kSettingsSize ? "more than " + std::to_string(kSettingsSize)
                                           : std::to_string(image->size())) +
            " bytes");
        Send(Step::SettingsResult, Byte(kSettingsRefused));
        return false;
    }
    Log("programming the settings");
    if (!Pause(m_pauses.settingsProgram))
        return false;
    return Send(Step::SettingsResult, Byte(kFinished),
                [&] { m_memory.KeepSettings(std::move(*image)); });
}

} // namespace fw::sim
