#include "app/DemoReceiver.h"

#include "app/DemoFiles.h"

#include "sim/ReceiverSimulator.h"

#include <utility>

namespace fw {
namespace {

constexpr sim::Model kDemoModel = sim::Model::Zeb30;

} // namespace

bool ParseDemoStoreFaults(const StoreFaultOptions& options, sim::StoreFaults& faults,
                          std::string& error) {
    for (const auto& [name, value] : options) {
        if (!sim::ParseStoreFault(name, value, faults, error))
            return false;
    }
    return sim::CheckStoreFaults(faults, kDemoModel, error);
}

DemoReceiver::DemoReceiver(std::string stateFolder, DemoSpeed speed, StoreFaultOptions storeFaults)
    : m_stateFolder(std::move(stateFolder)), m_speed(speed), m_storeFaults(std::move(storeFaults)) {
}

DemoReceiver::~DemoReceiver() = default;

bool DemoReceiver::Start(std::string& reason) {
    DemoReceiverContent content = MakeDemoReceiverContent();
    sim::SimulatorOptions options;
    if (!ParseDemoStoreFaults(m_storeFaults, options.storeFaults, reason))
        return false;
    options.model = kDemoModel;
    options.softwareText = std::string(kDemoReceiverSoftware);
    options.tvList = std::move(content.tvList);
    options.radioList = std::move(content.radioList);
    options.tvBanks = std::move(content.tvBanks);
    options.radioBanks = std::move(content.radioBanks);
    options.settings = std::move(content.settings);
    options.stateFolder = m_stateFolder;
    // Bytes take their time at the baud rate the program chose, and erasing and programming
    // take as long as on a receiver, so the transfer dialog shows what a user will see.
    options.pacing = m_speed == DemoSpeed::RealLine;
    options.realisticPauses = m_speed == DemoSpeed::RealLine;

    auto simulator = std::make_unique<sim::ReceiverSimulator>(std::move(options));
    if (!simulator->Open(reason))
        return false;
    simulator->Start();
    m_simulator = std::move(simulator);
    return true;
}

const std::string& DemoReceiver::DevicePath() const {
    return m_simulator ? m_simulator->DevicePath() : m_noDevice;
}

PortMap DemoReceiver::Ports(const PortMap::Entries& configured,
                            const std::vector<std::string>& machineDevices) const {
    // The first entry of a port wins, so the receiver goes in front of the user's own map.
    PortMap::Entries entries{{PortMap::NameFor(1), DevicePath()}};
    entries.insert(entries.end(), configured.begin(), configured.end());
    return PortMap(entries, machineDevices);
}

} // namespace fw
