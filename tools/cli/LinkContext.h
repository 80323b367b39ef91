#pragma once

#include "tools/cli/Arguments.h"

#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/link/JobContext.h"
#include "core/link/PortMap.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace fw::cli {

// What a transfer reads from the program's data folder, with the command line's overrides.
struct LinkContext {
    LinkSettings settings;
    std::optional<PortMap> ports;
    std::string profilePath; // the upd.ini in use
    DataFolders folders;
    bool safetyCopy = true; // [SAFETY] BACKUP, unless --no-backup
    bool verify = true;     // [SAFETY] VERIFY, unless --no-verify
    int safetyCopyKeep = kDefaultSafetyCopies;
};

// False once the reason (upd.ini unreadable, a bad --port or --baud) has been printed.
bool LoadLinkContext(const Arguments& arguments, LinkContext& context, std::ostream& err);

} // namespace fw::cli
