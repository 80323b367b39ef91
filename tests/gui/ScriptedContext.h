#pragma once

#include "gui/page/AppContext.h"
#include "tests/support/ScriptedInteraction.h"

namespace fw::test {

// The pages' shared context with a script answering every question in place of message boxes.
struct ScriptedContext : AppContext {
    ScriptedContext(CKonfiguration& configuration, const DataFolders& dataFolders)
        : AppContext(configuration, dataFolders) {
        interaction = &script;
    }

    ScriptedInteraction script;
};

} // namespace fw::test
