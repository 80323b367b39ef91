#pragma once

#include "core/lists/FavoritenDat.h"
#include "core/lists/ProgramPool.h"

#include <string>
#include <string_view>
#include <vector>

// The pieces of list files as tests write and expect them, so that every test spells them the
// same way.
namespace fw::test {

// The column titles of a list file in English (FLASHWERK_LANG=en).
inline const std::string kListTitles = "CA\tProgram name\tFrequence in MHz\tPolarisation\t"
                                       "Symbolrate\tFEC\tSID\tV-PID\tA-PID\tPCR\tSatellite";
// The line above the bank rows.
inline const std::string kBankLabels =
    "BANK0:\tBANK1:\tBANK2:\tBANK3:\tBANK4:\tBANK5:\tBANK6:\tBANK7:\tBANK8:\tBANK9:";

// A complete program (TV and radio) without CA and without line end; the SID tells programs of
// one name apart.
inline std::string ProgramLine(std::string_view name, int sid = 28106) {
    return "\t" + std::string(name) + "\t11836\tH\t27500\t3\\4\t" + std::to_string(sid) +
           "\t101\t102\t101\t1";
}

// "TV <number>" with SID 28000 + number: programs that tell their place after a move.
inline std::string NumberedProgram(int number) {
    return ProgramLine("TV " + std::to_string(number), 28000 + number);
}

// Program lines as a receiver holds them, each telling its number: a CA mark on every second,
// FEC written with a slash, a satellite named.
inline std::vector<std::string> ReceiverProgramLines(int count, std::string_view tag = "TV") {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(std::to_string(i % 2) + "\t" + std::string(tag) + " " + std::to_string(i) +
                        "\t11954\tH\t27500\t3/4\t" + std::to_string(28000 + i) +
                        "\t160\t80\t160\tAstra 19.2E");
    return lines;
}

// The header line and the column titles, each ended by CR LF.
inline std::string ListHead(std::string_view type, std::string_view description) {
    return "HEADER:\t" + std::string(type) + "\t" + std::string(description) + "\r\n" +
           kListTitles + "\r\n";
}

// A list file without banks holding programs "TV 0" to "TV <count - 1>".
inline std::string NumberedList(std::string_view type, std::string_view description, int count) {
    std::string text = ListHead(type, description);
    for (int number = 0; number < count; ++number)
        text += NumberedProgram(number) + "\r\n";
    return text;
}

// A list's programs by place and its non-empty banks, "0=A 5=B | b1=5,0": what an edit of the
// whole list must get right, in one comparable line.
inline std::string ListState(const ProgramPool& pool, const CFavoritenDat& banks) {
    std::string state;
    for (int row = 0; row < kPoolRows; ++row)
        if (!pool.IsRowEmpty(row))
            state += std::to_string(row) + "=" + pool.Cell(row, kFieldName) + " ";
    state += "|";
    for (int bank = 0; bank < kBankCount; ++bank) {
        if (banks.GetCount(bank) == 0)
            continue;
        state += " b" + std::to_string(bank) + "=";
        for (int entry = 0; entry < banks.GetCount(bank); ++entry)
            state += (entry ? "," : "") + std::to_string(banks.GetAddress(bank, entry));
    }
    return state;
}

// A TV list file of the numbered programs in the given order; bank 0 holds the given places.
inline std::string NumberedListText(const std::vector<int>& numbers,
                                    const std::vector<int>& bank0 = {}) {
    std::string text = ListHead("TV", "Mine");
    for (int number : numbers)
        text += NumberedProgram(number) + "\r\n";
    text += kBankLabels + "\r\n";
    for (int place : bank0)
        text += std::to_string(place) + "\r\n";
    return text;
}

} // namespace fw::test
