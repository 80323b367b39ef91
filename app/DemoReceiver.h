#pragma once

#include "core/link/PortMap.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fw {

namespace sim {
class ReceiverSimulator;
struct StoreFaults;
} // namespace sim

// "--store-..." options and their values, as the command line gives them.
using StoreFaultOptions = std::vector<std::pair<std::string, std::string>>;

// The store faults that the options set; false with error set at the first that makes no sense.
bool ParseDemoStoreFaults(const StoreFaultOptions& options, sim::StoreFaults& faults,
                          std::string& error);

// How fast the demo receiver works: as a receiver on a real line, so that progress moves as
// it would, or at once (for tests).
enum class DemoSpeed { RealLine, Instant };

// The simulated receiver of demo mode, serving on a pseudo-terminal while the program runs.
// It keeps what it is sent in its state folder, so a later demo run finds it again.
class DemoReceiver {
public:
    // An empty stateFolder keeps nothing beyond this run. storeFaults make the receiver store
    // something other than it is sent, so that the check after a send can be tried.
    DemoReceiver(std::string stateFolder, DemoSpeed speed, StoreFaultOptions storeFaults = {});
    ~DemoReceiver();
    DemoReceiver(const DemoReceiver&) = delete;
    DemoReceiver& operator=(const DemoReceiver&) = delete;

    // Opens the pseudo-terminal and starts serving; false with the reason when it cannot.
    bool Start(std::string& reason);
    const std::string& DevicePath() const;

    // COM1 leads to the receiver. The other ports keep what the user configured or the
    // machine's devices; nothing of this is written back.
    PortMap Ports(const PortMap::Entries& configured,
                  const std::vector<std::string>& machineDevices) const;

private:
    std::string m_stateFolder;
    DemoSpeed m_speed;
    StoreFaultOptions m_storeFaults;
    std::unique_ptr<sim::ReceiverSimulator> m_simulator;
    std::string m_noDevice;
};

} // namespace fw
