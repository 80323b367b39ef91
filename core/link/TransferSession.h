#pragma once

#include "core/link/JobContext.h"
#include "core/link/JobResult.h"
#include "core/link/TransferJob.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace fw {

// Runs the transfer jobs of one dialog (or one command): a job on its own, or a sequence of
// jobs on the port the first one found. Jobs run on the calling (worker) thread; OnTimer runs
// on the view's thread.
class TransferSession {
public:
    TransferSession(LinkSettings settings, PortMap ports, TransferView& view, ChainMemory& chain,
                    CancelEvent& cancel);

    // Runs the job to its end.
    JobResult Run(const TransferJob& job);
    // Runs the steps in order as one transfer: the view shows which step runs ("Step 1 of 3:
    // ...") and one progress over all of them, and every detection after the first keeps to
    // the port the first step used. Stops after the first step that does not succeed, or
    // that the gate refuses; one result per step run.
    using StepGate = std::function<bool(std::size_t index, const JobResult& result)>;
    std::vector<JobResult> RunSequence(std::span<const TransferJob> steps,
                                       const StepGate& gate = {});
    // Prepares a run of the same job after an earlier one ended (the dialog's start button):
    // resets the cancel signal, the counters and the results, disables the start button and
    // gives Cancel its caption back; a job that used the large status font returns to the
    // normal one.
    void PrepareRestart();
    // A timer of the view ticked (view thread).
    void OnTimer(TransferTimer timer);

    // How the last run ended, for the page after the dialog closed.
    JobOutcome Outcome() const;
    int ChainContinue() const;
    int FirmwareCancelled() const;
    // The line, for a trace of every byte; closed between runs.
    CComPort& Port();

private:
    JobContext m_context;
    bool m_largeStatusFont = false; // the last job may have left the status in the large font
};

} // namespace fw
