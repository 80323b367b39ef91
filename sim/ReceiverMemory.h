#pragma once

#include "sim/StateFolder.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace fw::sim {

// What the receiver holds and what it was sent. The serving thread writes, the accessors of
// the simulator read copies from any thread.
class ReceiverMemory {
public:
    explicit ReceiverMemory(const SimulatorOptions& options);

    // Lists and settings as the receiver holds them when it starts.
    void Restore(const SimulatorOptions& options);

    ProgramList StoredList(bool tv) const;
    std::string StoredSettings() const;
    std::string SoftwareText() const;

    // Each also keeps the data in the state folder, when there is one. What the receiver
    // stores may differ from what it received: the store faults apply.
    void KeepFirmware(std::string image);
    void KeepList(bool tv, ProgramList list);
    void KeepSettings(std::string image);
    // After a firmware has been programmed: the software the receiver names from now on.
    void KeepSoftwareText(std::string text);

    void AddCommand(std::string_view command);
    void Log(std::string event);
    void FinishJob();

    std::vector<unsigned char> ReceivedFirmware() const;
    ProgramList ReceivedList(bool tv) const;
    std::string ReceivedSettings() const;
    std::vector<std::string> Commands() const;
    std::vector<std::string> Events() const;
    int JobsFinished() const;

private:
    void Save(std::string_view name, std::string_view data);

    // A long demo must not grow without bound; the oldest events go first.
    static constexpr std::size_t kMaxEvents = 2000;

    const std::string m_folder;
    const StoreFaults m_storeFaults;
    const std::function<void(const std::string&)> m_onEvent;

    mutable std::mutex m_mutex;
    ProgramList m_stored[2]; // [0] radio, [1] TV
    ProgramList m_received[2];
    std::string m_settings;
    std::string m_softwareText;
    std::string m_receivedSettings;
    std::string m_firmware;
    std::vector<std::string> m_commands;
    std::deque<std::string> m_events;
    int m_jobsFinished = 0;
};

} // namespace fw::sim
