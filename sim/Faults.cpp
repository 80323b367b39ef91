#include "sim/Faults.h"

#include "core/lists/ProgramRecord.h"
#include "sim/Wire.h"

#include <algorithm>

namespace fw::sim {
namespace {

constexpr char kWrongText = 'X';
constexpr char kWrongByte = 0x55;
// Out of the percent range and below 0xFF: the PC reads it as a failed programming.
constexpr char kWrongProgress = static_cast<char>(0xFE);

std::size_t StepSlot(Step step) {
    return static_cast<std::size_t>(step);
}

std::string Filled(std::size_t count, char byte) {
    return std::string(count, byte);
}

std::string WrongContent(Step step, std::string_view message) {
    std::string wrong(message);
    switch (step) {
    case Step::DetectionReply: // the token is wrong, the loader version stays
        std::fill_n(wrong.begin(), std::min(kReplySize, wrong.size()), kWrongText);
        return wrong;
    case Step::SoftwareText: // keep the NUL or the 0x0D that ends it
    case Step::ProgramLine:
        if (!wrong.empty())
            std::fill(wrong.begin(), wrong.end() - 1, kWrongText);
        return wrong;
    case Step::ModelReply:
    case Step::SimpleHeaderReply:
    case Step::SimpleResult:
    case Step::BlockCountReply:
    case Step::RestartAnnouncement:
        return Filled(message.size(), kWrongText);
    case Step::ProgressByte:
        return std::string(1, kWrongProgress);
    case Step::BankHeader: // a flag that is neither continue nor abort
        if (!wrong.empty())
            wrong[0] = kWrongByte;
        return wrong;
    case Step::BlockAnswer:
    case Step::LineAnswer:
    case Step::BankAnswer:
    case Step::EraseResult:
    case Step::SettingsBlock:
    case Step::SettingsResult:
        return Filled(message.size(), kWrongByte);
    }
    return wrong;
}

// Cuts the name field of a program line; true when it was longer.
bool CutName(std::string& line, std::size_t length) {
    std::size_t start = 0;
    for (int field = 0; field < kFieldName; ++field) {
        start = line.find('\t', start);
        if (start == std::string::npos)
            return false;
        ++start;
    }
    const std::size_t end = std::min(line.find('\t', start), line.size());
    if (end - start <= length)
        return false;
    line.erase(start + length, end - start - length);
    return true;
}

void AddNote(std::string& note, const std::string& part) {
    note += note.empty() ? "stored otherwise than sent: " : ", ";
    note += part;
}

} // namespace

FaultPlan::FaultPlan(std::vector<Fault> faults)
    : m_faults(std::move(faults)), m_spent(m_faults.size(), false) {}

void FaultPlan::Restart() {
    std::fill(m_counts.begin(), m_counts.end(), 0);
}

std::optional<FaultKind> FaultPlan::Next(Step step) {
    const int index = m_counts[StepSlot(step)]++;
    for (std::size_t k = 0; k < m_faults.size(); ++k) {
        if (!m_spent[k] && m_faults[k].step == step && m_faults[k].index == index) {
            m_spent[k] = true;
            return m_faults[k].kind;
        }
    }
    return std::nullopt;
}

int FaultPlan::LastIndex(Step step) const {
    return m_counts[StepSlot(step)] - 1;
}

std::string FaultyMessage(Step step, FaultKind kind, std::string_view message) {
    switch (kind) {
    case FaultKind::Silence:
    case FaultKind::LineVanishes:
        return {};
    case FaultKind::WrongByte:
        return WrongContent(step, message);
    case FaultKind::Byte0E:
        return std::string(1, static_cast<char>(kSumWrong));
    case FaultKind::Abort0A:
        // The PC reads a bank header whole before it looks at the flag.
        if (step == Step::BankHeader)
            return std::string{static_cast<char>(kAbort), 0, 0};
        return std::string(1, static_cast<char>(kAbort));
    case FaultKind::ShortReply:
        if (step == Step::DetectionReply)
            return std::string(message.substr(0, 4));
        return std::string(message.substr(0, message.empty() ? 0 : message.size() - 1));
    }
    return {};
}

ProgramList ListAsStored(const StoreFaults& faults, ProgramList list, std::string& note) {
    note.clear();
    if (faults.nameMax) {
        int cut = 0;
        for (std::string& line : list.lines)
            cut += CutName(line, *faults.nameMax) ? 1 : 0;
        if (cut > 0)
            AddNote(note, std::to_string(cut) + " names cut to " + std::to_string(*faults.nameMax) +
                              " characters");
    }
    if (faults.dropPlace && *faults.dropPlace < list.lines.size() &&
        list.lines[*faults.dropPlace] != kEmptyProgramLine) {
        list.lines[*faults.dropPlace] = kEmptyProgramLine;
        AddNote(note, "place " + std::to_string(*faults.dropPlace) + " emptied");
    }
    if (faults.bankMax) {
        for (std::size_t bank = 0; bank < list.banks.size(); ++bank) {
            auto& entries = list.banks[bank];
            if (entries.size() <= *faults.bankMax)
                continue;
            AddNote(note, "bank " + std::to_string(bank) + " cut from " +
                              std::to_string(entries.size()) + " to " +
                              std::to_string(*faults.bankMax) + " entries");
            entries.resize(*faults.bankMax);
        }
    }
    return list;
}

std::string SettingsAsStored(const StoreFaults& faults, std::string image, std::string& note) {
    note.clear();
    if (const auto& change = faults.settingsByte;
        change && change->offset < image.size() &&
        static_cast<unsigned char>(image[change->offset]) != change->value) {
        AddNote(note, "settings byte " + std::to_string(change->offset) + " changed from " +
                          std::to_string(static_cast<unsigned char>(image[change->offset])) +
                          " to " + std::to_string(change->value));
        image[change->offset] = static_cast<char>(change->value);
    }
    return image;
}

} // namespace fw::sim
