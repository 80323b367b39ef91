#pragma once

#include "core/firmware/Receiverdat.h"

#include <string>
#include <vector>

namespace fw {

class UserInteraction;

// The records of the firmware files ("*.bsr", any case) in a folder, sorted by file name. A file
// that cannot be read or is no firmware is asked about (Yes deletes it) and left out; the scan
// goes on with the next file.
std::vector<CReceiverdat> ScanFirmwareFolder(const std::string& folder,
                                             UserInteraction& interaction);

} // namespace fw
