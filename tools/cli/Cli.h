#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fw::cli {

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the work could not be done (a transfer failed, ...)
inline constexpr int kExitBadFile = 2;  // a file cannot be read or has the wrong format
inline constexpr int kExitUsage = 64;   // the command line itself is wrong

// Runs one command line (without the program name); output and messages go to the streams.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace fw::cli
