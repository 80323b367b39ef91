#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fw::cli {

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // the transfer failed, or the list edit was refused
inline constexpr int kExitBadFile =
    2;                               // a file cannot be read or has the wrong format, or bad usage
inline constexpr int kExitUsage = 2; // the command line itself is wrong
inline constexpr int kExitCancelled = 3;
// Sent, but the check found that the receiver holds something else.
inline constexpr int kExitReceiverDiffers = 4;

// Runs one command line (without the program name); output and messages go to the streams.
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace fw::cli
