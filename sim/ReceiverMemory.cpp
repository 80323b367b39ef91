#include "sim/ReceiverMemory.h"

#include "sim/Faults.h"
#include "sim/Wire.h"

namespace fw::sim {
namespace {

std::size_t Slot(bool tv) {
    return tv ? 1 : 0;
}

} // namespace

ReceiverMemory::ReceiverMemory(const SimulatorOptions& options)
    : m_folder(options.stateFolder), m_storeFaults(options.storeFaults),
      m_onEvent(options.onEvent), m_stored{{options.radioList, options.radioBanks},
                                           {options.tvList, options.tvBanks}},
      m_settings(options.settings), m_softwareText(options.softwareText) {}

void ReceiverMemory::Restore(const SimulatorOptions& options) {
    std::lock_guard lock(m_mutex);
    m_stored[Slot(false)] = {options.radioList, options.radioBanks};
    m_stored[Slot(true)] = {options.tvList, options.tvBanks};
    m_settings = options.settings;
    m_softwareText = options.softwareText;
}

ProgramList ReceiverMemory::StoredList(bool tv) const {
    std::lock_guard lock(m_mutex);
    return m_stored[Slot(tv)];
}

std::string ReceiverMemory::StoredSettings() const {
    std::lock_guard lock(m_mutex);
    return m_settings;
}

std::string ReceiverMemory::SoftwareText() const {
    std::lock_guard lock(m_mutex);
    return m_softwareText;
}

void ReceiverMemory::KeepFirmware(std::string image) {
    {
        std::lock_guard lock(m_mutex);
        m_firmware = image;
    }
    Save(kFirmwareFile, image);
}

void ReceiverMemory::KeepList(bool tv, ProgramList list) {
    std::string note;
    ProgramList stored = ListAsStored(m_storeFaults, list, note);
    if (!note.empty())
        Log(note);
    if (!m_folder.empty())
        Save(tv ? kTvListFile : kRadioListFile, ListFileText(tv, stored));
    std::lock_guard lock(m_mutex);
    m_stored[Slot(tv)] = std::move(stored);
    m_received[Slot(tv)] = std::move(list);
}

void ReceiverMemory::KeepSettings(std::string image) {
    std::string note;
    std::string stored = SettingsAsStored(m_storeFaults, image, note);
    if (!note.empty())
        Log(note);
    Save(kSettingsFile, stored);
    std::lock_guard lock(m_mutex);
    m_settings = std::move(stored);
    m_receivedSettings = std::move(image);
}

void ReceiverMemory::KeepSoftwareText(std::string text) {
    {
        std::lock_guard lock(m_mutex);
        m_softwareText = text;
    }
    Save(kSoftwareFile, text);
}

void ReceiverMemory::Save(std::string_view name, std::string_view data) {
    if (m_folder.empty())
        return;
    std::string reason;
    if (!SaveStateFile(m_folder, name, data, reason))
        Log("could not keep " + std::string(name) + ": " + reason);
}

void ReceiverMemory::AddCommand(std::string_view command) {
    std::lock_guard lock(m_mutex);
    m_commands.emplace_back(command);
}

void ReceiverMemory::Log(std::string event) {
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
        if (m_events.size() > kMaxEvents)
            m_events.pop_front();
    }
    // Outside the lock: the callback may well ask for a copy of something.
    if (m_onEvent)
        m_onEvent(event);
}

void ReceiverMemory::FinishJob() {
    std::lock_guard lock(m_mutex);
    ++m_jobsFinished;
}

std::vector<unsigned char> ReceiverMemory::ReceivedFirmware() const {
    std::lock_guard lock(m_mutex);
    return {m_firmware.begin(), m_firmware.end()};
}

ProgramList ReceiverMemory::ReceivedList(bool tv) const {
    std::lock_guard lock(m_mutex);
    return m_received[Slot(tv)];
}

std::string ReceiverMemory::ReceivedSettings() const {
    std::lock_guard lock(m_mutex);
    return m_receivedSettings;
}

std::vector<std::string> ReceiverMemory::Commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}

std::vector<std::string> ReceiverMemory::Events() const {
    std::lock_guard lock(m_mutex);
    return {m_events.begin(), m_events.end()};
}

int ReceiverMemory::JobsFinished() const {
    std::lock_guard lock(m_mutex);
    return m_jobsFinished;
}

} // namespace fw::sim
