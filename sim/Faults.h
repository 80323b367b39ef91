#pragma once

#include "sim/ReceiverSimulator.h"
#include "sim/StateFolder.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw::sim {

// Counts the occurrences of each step and tells when a planned fault is due.
class FaultPlan {
public:
    explicit FaultPlan(std::vector<Fault> faults);

    // A command frame starts the count again.
    void Restart();
    // Counts one occurrence of step; the fault planned for it, which is then spent.
    std::optional<FaultKind> Next(Step step);
    // The occurrence Next counted last for step (for the log).
    int LastIndex(Step step) const;

private:
    static constexpr std::size_t kStepCount =
        static_cast<std::size_t>(Step::RestartAnnouncement) + 1;

    std::vector<Fault> m_faults;
    std::vector<bool> m_spent;
    std::vector<int> m_counts = std::vector<int>(kStepCount, 0);
};

// What the receiver sends instead of message when kind strikes at step. LineVanishes sends
// nothing; closing the line is up to the caller.
std::string FaultyMessage(Step step, FaultKind kind, std::string_view message);

// What the receiver keeps of a list or a settings image it was sent. note says what the store
// faults changed, for the log; it stays empty when they changed nothing.
ProgramList ListAsStored(const StoreFaults& faults, ProgramList list, std::string& note);
std::string SettingsAsStored(const StoreFaults& faults, std::string image, std::string& note);

} // namespace fw::sim
