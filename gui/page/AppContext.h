#pragma once

#include "core/app/DataFolders.h"
#include "core/link/CancelEvent.h"
#include "core/link/JobContext.h"
#include "core/link/PortMap.h"
#include "gui/ui/MessageInteraction.h"

#include <string>

namespace fw {

class CKonfiguration;

// What the pages share, owned by the application object for the whole run: the configuration
// record, the data folders, the port map of this run, and what the transfers keep between
// dialogs (the production chain's port and capacity, the Cancel button's signal), and who
// answers the questions of the pages and their dialogs.
struct AppContext {
    AppContext(CKonfiguration& configuration, const DataFolders& dataFolders)
        : config(configuration), folders(dataFolders) {}

    CKonfiguration& config;
    const DataFolders& folders;
    PortMap ports{{}, {}};
    ChainMemory chain;
    CancelEvent cancel;
    // The device of demo mode's simulated receiver, so the pages can call it by what it is;
    // empty outside demo mode.
    std::string simulatedDevice;
    MessageInteraction messageBoxes;
    // Message boxes; tests put a script in their place.
    UserInteraction* interaction = &messageBoxes;
};

} // namespace fw
