#pragma once

#include <string>
#include <string_view>

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

} // namespace fw::test
