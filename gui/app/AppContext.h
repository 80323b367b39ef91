#pragma once

#include "app/DataFolders.h"

namespace fw {

class CKonfiguration;

// What the pages share: the configuration record and the data folders, both owned by the
// application object for the whole run.
struct AppContext {
    CKonfiguration& config;
    const DataFolders& folders;
};

} // namespace fw
