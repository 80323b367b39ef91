#pragma once

#include "core/link/CancelEvent.h"
#include "core/link/JobContext.h"
#include "core/link/TransferView.h"
#include "core/production/ProductionReport.h"
#include "core/production/Recipe.h"

#include <functional>
#include <string>
#include <vector>

namespace fw {

class TransferSession;

// One port of a station with what belongs to it alone: the view its jobs talk to and the
// signal that cancels them. Ports never share either.
struct StationPort {
    std::string name;   // shown in the report: "COM1" or the device itself
    std::string device; // the only device its jobs try
    TransferView* view = nullptr;
    CancelEvent* cancel = nullptr;
    // Told the session whose OnTimer the view's timers are to call while the port runs (its
    // progress comes from them), and nullptr before that session ends. May be empty.
    std::function<void(TransferSession*)> attachTimers;
    // Told the receiver's row on the port's own thread once it is written, so that a verdict
    // can be shown before the slowest port ends. May be empty.
    std::function<void(const ProductionRow&)> finished;
};

// What every port of a run shares besides the recipe.
struct StationOptions {
    LinkSettings link;         // rate, time-out and version hint; the device is each port's own
    std::string dataFolder;    // the day's report, the logbook and the safety copies
    int safetyCopiesKept = 20; // newest copies of each kind kept when the recipe asks for them
};

// Runs the prepared recipe on one receiver on the calling thread and says how it went.
// With a firmware step the later steps follow as the production chain; a receiver without
// operating software cannot tell its places before it is flashed, so after its restart it is
// detected again and the later steps run as jobs of their own. Without a firmware step every
// step is detected on its own. Checks come after the last step, each a detected load, since a
// command frame would end the receiver's chain. With BACKUP=1 the lists and settings the recipe
// replaces are loaded and kept first; one that cannot be kept sends nothing. A receiver without
// operating software has nothing to keep.
ProductionRow RunRecipeOnPort(const PreparedRecipe& recipe, const StationPort& port,
                              const StationOptions& options);

// Runs the recipe on every port at once, one worker thread per port. Each finished receiver
// gets its row in the day's report and a logbook line in the data folder (failures to write
// them go to writeFailures). The rows come back in the order of the ports.
std::vector<ProductionRow> RunStation(const PreparedRecipe& recipe,
                                      const std::vector<StationPort>& ports,
                                      const StationOptions& options,
                                      std::vector<std::string>& writeFailures);

// The ports whose receiver failed, for running the recipe on them again.
std::vector<StationPort> FailedPorts(const std::vector<StationPort>& ports,
                                     const std::vector<ProductionRow>& rows);

} // namespace fw
