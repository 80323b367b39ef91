#include "core/lists/FavoritenDat.h"

#include "core/lists/ProgramPool.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <cstdint>

namespace fw {
namespace {

// Part of the file format, so not taken from the translated texts.
constexpr std::string_view kLabelLine =
    "BANK0:\tBANK1:\tBANK2:\tBANK3:\tBANK4:\tBANK5:\tBANK6:\tBANK7:\tBANK8:\tBANK9:";

void MarkChanged(BankFlags& changed, int bank) {
    changed[static_cast<std::size_t>(bank)] = 0;
}

} // namespace

void ChangedBanks::Add(int bank) {
    if (bank >= 0 && bank < kBankCount)
        MarkChanged(m_flags, bank);
}

bool ChangedBanks::Contains(int bank) const {
    return bank >= 0 && bank < kBankCount && m_flags[static_cast<std::size_t>(bank)] == 0;
}

CFavoritenDat::Entries& CFavoritenDat::WritableBank(int bank) {
    auto& shared = m_banks[static_cast<std::size_t>(bank)];
    if (!shared)
        shared = std::make_shared<Entries>();
    else if (shared.use_count() > 1)
        shared = std::make_shared<Entries>(*shared);
    return *shared;
}

const CFavoritenDat::Entries& CFavoritenDat::Bank(int bank) const {
    static const Entries kNoEntries;
    const auto& shared = m_banks[static_cast<std::size_t>(bank)];
    return shared ? *shared : kNoEntries;
}

void CFavoritenDat::Clear() {
    std::fill(m_banks.begin(), m_banks.end(), nullptr);
}

bool CFavoritenDat::SameBanks(const CFavoritenDat& other) const {
    for (int bank = 0; bank < kBankCount; ++bank)
        if (Bank(bank) != other.Bank(bank))
            return false;
    return true;
}

std::size_t CFavoritenDat::BytesBeyond(const CFavoritenDat& other) const {
    std::size_t bytes = sizeof(CFavoritenDat) + m_wireBuffer.capacity();
    for (std::size_t bank = 0; bank < m_banks.size(); ++bank)
        if (m_banks[bank] && m_banks[bank] != other.m_banks[bank])
            bytes += sizeof(Entries) + m_banks[bank]->capacity() * sizeof(CFavEintrag);
    return bytes;
}

int CFavoritenDat::GetCount(int bank) const {
    return IsValidBank(bank) ? static_cast<int>(Bank(bank).size()) : 0;
}

int CFavoritenDat::GetAddress(int bank, int index) const {
    if (index < 0 || index >= GetCount(bank))
        return -1;
    return Bank(bank)[static_cast<std::size_t>(index)].m_nAddress;
}

int CFavoritenDat::GetMaxCount() const {
    int most = 0;
    for (int bank = 0; bank < kBankCount; ++bank)
        most = std::max(most, GetCount(bank));
    return most;
}

bool CFavoritenDat::Insert(int bank, CFavEintrag entry, int position) {
    if (!IsValidBank(bank))
        return false;
    auto& entries = WritableBank(bank);
    if (position >= 0 && position < GetCount(bank))
        entries.insert(entries.begin() + position, entry);
    else
        entries.push_back(entry);
    return true;
}

bool CFavoritenDat::RemoveAt(int bank, int index) {
    if (index < 0 || index >= GetCount(bank))
        return false;
    auto& entries = WritableBank(bank);
    entries.erase(entries.begin() + index);
    return true;
}

int CFavoritenDat::ReadBlock(std::span<const std::string_view> lines, bool skipHeader) {
    Clear();
    int dropped = 0;
    if (skipHeader && !lines.empty())
        lines = lines.subspan(1);
    for (std::string_view line : lines) {
        for (int bank = 0; bank < kBankCount; ++bank) {
            const std::size_t tab = line.find('\t');
            const std::string_view field = Trim(line.substr(0, tab));
            // An address beyond the pool would reach the wire modulo 65536 and name another
            // program; text that is no number still reads as 0.
            const int address = field.empty() ? -1 : ToIntC(field);
            if (address >= 0 && address < kPoolRows)
                WritableBank(bank).push_back(CFavEintrag{address});
            else if (!field.empty())
                ++dropped;
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
        }
    }
    return dropped;
}

void CFavoritenDat::WriteBlock(std::string& out) const {
    out += kLabelLine;
    out += "\r\n";
    const int rows = GetMaxCount();
    for (int index = 0; index < rows; ++index) {
        std::string row;
        for (int bank = 0; bank < kBankCount; ++bank) {
            if (index < GetCount(bank))
                row += std::to_string(GetAddress(bank, index));
            row += '\t';
        }
        row.pop_back();
        out += row;
        out += "\r\n";
    }
}

std::span<const unsigned char> CFavoritenDat::BuildWireBuffer(int bank) {
    m_wireBuffer.clear();
    if (!IsValidBank(bank))
        return m_wireBuffer;
    m_wireBuffer.reserve(Bank(bank).size() * 2);
    for (const CFavEintrag& entry : Bank(bank)) {
        m_wireBuffer.push_back(static_cast<unsigned char>((entry.m_nAddress >> 8) & 0xFF));
        m_wireBuffer.push_back(static_cast<unsigned char>(entry.m_nAddress & 0xFF));
    }
    return m_wireBuffer;
}

int CFavoritenDat::GetWireLength(int bank) const {
    return 2 * GetCount(bank);
}

std::span<unsigned char> CFavoritenDat::AllocReceiveBuffer(std::size_t length) {
    m_wireBuffer.assign(length, 0);
    return m_wireBuffer;
}

void CFavoritenDat::ParseWireBuffer(int bank) {
    if (!IsValidBank(bank))
        return;
    for (std::size_t k = 0; k + 1 < m_wireBuffer.size(); k += 2)
        WritableBank(bank).push_back(CFavEintrag{m_wireBuffer[k] * 256 + m_wireBuffer[k + 1]});
}

void CFavoritenDat::RemoveProgram(int address, BankFlags& changed) {
    const auto named = [address](const CFavEintrag& entry) { return entry.m_nAddress == address; };
    for (int bank = 0; bank < kBankCount; ++bank) {
        // Only a bank that changes is unshared.
        if (std::none_of(Bank(bank).begin(), Bank(bank).end(), named))
            continue;
        std::erase_if(WritableBank(bank), named);
        MarkChanged(changed, bank);
    }
}

void CFavoritenDat::DeleteProgram(int address, BankFlags& changed) {
    RemoveProgram(address, changed);
    const auto behind = [address](const CFavEintrag& entry) { return entry.m_nAddress > address; };
    for (int bank = 0; bank < kBankCount; ++bank) {
        if (std::none_of(Bank(bank).begin(), Bank(bank).end(), behind))
            continue;
        for (CFavEintrag& entry : WritableBank(bank))
            if (behind(entry))
                --entry.m_nAddress;
        MarkChanged(changed, bank);
    }
}

void CFavoritenDat::InsertPrograms(int address, int count, BankFlags& changed) {
    if (count <= 0)
        return;
    const auto moved = [address](const CFavEintrag& entry) { return entry.m_nAddress >= address; };
    for (int bank = 0; bank < kBankCount; ++bank) {
        if (std::none_of(Bank(bank).begin(), Bank(bank).end(), moved))
            continue;
        auto& entries = WritableBank(bank);
        for (CFavEintrag& entry : entries) {
            if (moved(entry)) {
                // Anything shifted past the pool is removed below, so clamping cannot
                // change an outcome; it only keeps the sum from overflowing.
                const std::int64_t shifted = std::int64_t{entry.m_nAddress} + count;
                entry.m_nAddress = static_cast<int>(std::min<std::int64_t>(shifted, kPoolRows));
            }
        }
        // The pool drops the programs pushed past its last row; their references go with them.
        std::erase_if(entries,
                      [](const CFavEintrag& entry) { return entry.m_nAddress >= kPoolRows; });
        MarkChanged(changed, bank);
    }
}

void CFavoritenDat::RemapPrograms(std::span<const int> table, BankFlags& changed) {
    for (int bank = 0; bank < kBankCount; ++bank) {
        // Built aside, so that a bank the table leaves as it is stays shared.
        Entries remapped;
        remapped.reserve(Bank(bank).size());
        for (const CFavEintrag& entry : Bank(bank))
            if (entry.m_nAddress >= 0 &&
                static_cast<std::size_t>(entry.m_nAddress) < table.size() &&
                table[static_cast<std::size_t>(entry.m_nAddress)] >= 0)
                remapped.push_back(CFavEintrag{table[static_cast<std::size_t>(entry.m_nAddress)]});
        if (remapped == Bank(bank))
            continue;
        WritableBank(bank) = std::move(remapped);
        MarkChanged(changed, bank);
    }
}

} // namespace fw
