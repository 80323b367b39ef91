#include "app/DemoReceiver.h"

#include "app/DemoFiles.h"

#include "sim/ReceiverSimulator.h"

#include <utility>

namespace fw {

DemoReceiver::DemoReceiver(std::string stateFolder, DemoSpeed speed)
    : m_stateFolder(std::move(stateFolder)), m_speed(speed) {}

DemoReceiver::~DemoReceiver() = default;

bool DemoReceiver::Start(std::string& reason) {
    DemoReceiverContent content = MakeDemoReceiverContent();
    sim::SimulatorOptions options;
    options.model = sim::Model::Zeb30;
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
