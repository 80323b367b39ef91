// Favourite banks: the block of a list file and the wire form a receiver sends.
#include "fuzz/FuzzSupport.h"

#include "core/lists/FavoritenDat.h"
#include "core/lists/ListFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using namespace fw;
using fw::fuzz::Require;
using fw::fuzz::SameBanks;

namespace {

void CheckBlock(const std::vector<std::string_view>& lines, bool skipHeader) {
    CFavoritenDat banks;
    banks.ReadBlock(lines, skipHeader);
    std::string written;
    banks.WriteBlock(written);

    CFavoritenDat again;
    again.ReadBlock(SplitTextModeLines(written), true);
    Require(SameBanks(banks, again), "a written bank block reads back to the same banks");
    std::string rewritten;
    again.WriteBlock(rewritten);
    Require(rewritten == written, "writing a bank block read back gives the same bytes");

    // Only addresses that fit two bytes can go over the wire; the pool's all do.
    for (int bank = 0; bank < kBankCount; ++bank) {
        bool fits = true;
        for (int i = 0; i < banks.GetCount(bank); ++i)
            fits = fits && banks.GetAddress(bank, i) >= 0 && banks.GetAddress(bank, i) <= 0xFFFF;
        if (!fits)
            continue;
        const std::span<const unsigned char> wire = banks.BuildWireBuffer(bank);
        Require(wire.size() == static_cast<std::size_t>(banks.GetWireLength(bank)),
                "the wire length is announced correctly");
        const std::vector<unsigned char> sent(wire.begin(), wire.end());
        CFavoritenDat received;
        const std::span<unsigned char> buffer = received.AllocReceiveBuffer(sent.size());
        std::copy(sent.begin(), sent.end(), buffer.begin());
        received.ParseWireBuffer(bank);
        Require(received.GetCount(bank) == banks.GetCount(bank), "a bank sent arrives whole");
        for (int i = 0; i < banks.GetCount(bank); ++i)
            Require(received.GetAddress(bank, i) == banks.GetAddress(bank, i),
                    "a bank sent arrives unchanged");
    }
}

void CheckWire(const std::uint8_t* data, std::size_t size) {
    CFavoritenDat banks;
    const int bank = size > 0 ? data[0] % kBankCount : 0;
    const std::span<unsigned char> buffer = banks.AllocReceiveBuffer(size);
    Require(buffer.size() == size, "the receive buffer has the length asked for");
    std::copy(data, data + size, buffer.begin());
    banks.ParseWireBuffer(bank);
    Require(banks.GetCount(bank) == static_cast<int>(size / 2), "two bytes make one entry");

    const std::span<const unsigned char> built = banks.BuildWireBuffer(bank);
    Require(built.size() == size - size % 2 && std::equal(built.begin(), built.end(), data),
            "a received bank is sent back as its even-length prefix");

    // Bank numbers outside the ten are ignored, never used as an index.
    for (const int outside : {-1, kBankCount, kBankCount + 1000}) {
        banks.AllocReceiveBuffer(size);
        banks.ParseWireBuffer(outside);
        Require(banks.BuildWireBuffer(outside).empty(), "a bank outside the ten is empty");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = SplitTextModeLines(text);
    CheckBlock(lines, true);
    CheckBlock(lines, false);
    CheckWire(data, size);
    return 0;
}
