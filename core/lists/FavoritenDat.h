#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

inline constexpr int kBankCount = 10;
// Editing paths enforce it; the model itself takes what it is given.
inline constexpr int kBankCapacity = 1000;
// A list file's bank block starts with the line that begins so.
inline constexpr std::string_view kBankBlockMark = "BANK0:";

// One bank entry: the pool address (row index) of a program.
struct CFavEintrag {
    int m_nAddress = 0;
    bool operator==(const CFavEintrag&) const = default;
};

// Per bank, set to 0 by an update operation when it changed that bank; other elements are
// left alone so that a caller can collect several operations.
using BankFlags = std::array<int, kBankCount>;

// The banks that one or more operations changed. The update operations below take the flags
// in their integer form; everything above them asks this type.
class ChangedBanks {
public:
    // For the update operations to mark in.
    BankFlags& Flags() { return m_flags; }
    void Add(int bank);
    bool Contains(int bank) const;

private:
    BankFlags m_flags = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

// The ten favourite banks: ordered lists of references into the program pool.
// Bank and entry indices are checked: a bad one reads as nothing and changes nothing.
class CFavoritenDat {
public:
    void Clear();

    // The banks alone; the wire buffer is scratch space.
    bool SameBanks(const CFavoritenDat& other) const;
    // The memory held beyond the banks shared with other (a copy shares every bank until
    // one side changes it).
    std::size_t BytesBeyond(const CFavoritenDat& other) const;

    int GetCount(int bank) const;
    // -1 for a bank or index outside the banks.
    int GetAddress(int bank, int index) const;
    int GetMaxCount() const;

    // Before position when it is inside the bank, else appended.
    bool Insert(int bank, CFavEintrag entry, int position);
    bool RemoveAt(int bank, int index);

    // The bank block of a list file: the label line ("BANK0:" ...) and one row per entry
    // position. Replaces all banks; skipHeader drops the first line (the label line). Entries
    // outside the program places 0..3999 are left out; returns how many.
    int ReadBlock(std::span<const std::string_view> lines, bool skipHeader);
    // Appends the block with CR LF line ends.
    void WriteBlock(std::string& out) const;

    // Wire form of one bank: two bytes per entry, high byte first. One buffer exists at a
    // time; the span stays valid until the buffer is replaced.
    std::span<const unsigned char> BuildWireBuffer(int bank);
    int GetWireLength(int bank) const;
    std::span<unsigned char> AllocReceiveBuffer(std::size_t length);
    // Appends the entries of the buffer to the bank; an odd last byte is ignored.
    void ParseWireBuffer(int bank);

    // Keep the references pointing at the same programs when the pool changes shape.
    void RemoveProgram(int address, BankFlags& changed);
    void DeleteProgram(int address, BankFlags& changed);
    // Entries pushed out of the pool's last row are removed.
    void InsertPrograms(int address, int count, BankFlags& changed);
    // Address x becomes table[x]. An address outside the table, or one whose table value is
    // negative (the program no longer exists), is removed from its bank.
    void RemapPrograms(std::span<const int> table, BankFlags& changed);

private:
    using Entries = std::vector<CFavEintrag>;
    static bool IsValidBank(int bank) { return bank >= 0 && bank < kBankCount; }
    // The bank to change, unshared first.
    Entries& WritableBank(int bank);
    const Entries& Bank(int bank) const;

    std::array<std::shared_ptr<Entries>, kBankCount> m_banks; // no entries: an empty bank
    std::vector<unsigned char> m_wireBuffer;
};

} // namespace fw
