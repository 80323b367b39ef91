#pragma once

#include "Arguments.h"

#include <iosfwd>

namespace fw::cli {

int RunInfo(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunRepair(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunPorts(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunFirmware(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunList(const Arguments& arguments, std::ostream& out, std::ostream& err);
int RunSettings(const Arguments& arguments, std::ostream& out, std::ostream& err);

} // namespace fw::cli
