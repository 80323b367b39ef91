#pragma once

#include "tools/cli/Cli.h"
#include "core/res/StringTable.h"

#include <sstream>
#include <string>
#include <vector>

namespace fw::test {

// What one run of the tool gave back.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Runs the tool in-process with its output caught. --lang changes the language of the whole
// process, so English is set again afterwards for the next run and the next test.
inline CliRun RunCliCaught(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int code = cli::RunCli(arguments, out, err);
    SetLanguage(Language::English);
    return {code, out.str(), err.str()};
}

} // namespace fw::test
