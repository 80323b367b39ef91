#pragma once

#include "tools/cli/Arguments.h"

#include "core/util/FileIo.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace fw::cli {

// Prints the message with path and reason as %1 and %2; returns kExitBadFile.
int BadFile(std::ostream& err, int message, const std::string& path,
            const std::string& reason = {});
// The whole file at path; nothing once the reason it cannot be read has been printed.
std::optional<std::string> ReadInputFile(const std::string& path, std::ostream& err,
                                         std::uint64_t limit = kTextFileLimit);

int RunInfo(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunRepair(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunPorts(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunFirmware(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunList(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunSettings(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace fw::cli
