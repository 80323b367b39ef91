#pragma once

#include "core/link/CancelEvent.h"
#include "core/link/JobContext.h"
#include "core/link/TransferView.h"
#include "core/production/ProductionReport.h"
#include "core/production/Recipe.h"

#include <string>
#include <vector>

namespace fw {

// One port of a station with what belongs to it alone: the view its jobs talk to and the
// signal that cancels them. Ports never share either.
struct StationPort {
    std::string name;   // shown in the report: "COM1" or the device itself
    std::string device; // the only device its jobs try
    TransferView* view = nullptr;
    CancelEvent* cancel = nullptr;
};

// Runs the prepared recipe on one receiver on the calling thread and says how it went.
// With a firmware step the later steps follow as the production chain; a receiver without
// operating software cannot tell its places before it is flashed, so after its restart it is
// detected again and the later steps run as jobs of their own. Without a firmware step every
// step is detected on its own. Checks come after the last step, each a detected load, since a
// command frame would end the receiver's chain. link gives rate, time-out and version hint; its
// device is replaced by the port's. The recipe's safety copy (BACKUP=1) is not made yet.
ProductionRow RunRecipeOnPort(const PreparedRecipe& recipe, const StationPort& port,
                              const LinkSettings& link);

// Runs the recipe on every port at once, one worker thread per port. Each finished receiver
// gets its row in the day's report and a logbook line in dataFolder (failures to write them
// go to writeFailures). The rows come back in the order of the ports.
std::vector<ProductionRow> RunStation(const PreparedRecipe& recipe,
                                      const std::vector<StationPort>& ports,
                                      const LinkSettings& link, const std::string& dataFolder,
                                      std::vector<std::string>& writeFailures);

} // namespace fw
