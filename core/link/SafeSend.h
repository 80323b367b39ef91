#pragma once

#include "core/app/Logbook.h"
#include "core/link/JobResult.h"
#include "core/link/TransferJob.h"

#include <functional>
#include <string>
#include <vector>

namespace fw {

class SafetyCopyStore;
class TransferSession;

// What surrounds a list or settings send: a safety copy of what the receiver held before, and
// a check that it holds what it was sent afterwards.
struct SafeSendOptions {
    SafetyCopyStore* safetyCopies = nullptr; // none: no safety copy
    bool verify = true;
};

enum class SafeSendEnd {
    Sent,             // sent, and the receiver holds what was sent (or no check was asked for)
    Differs,          // sent, but the receiver holds something else
    CheckNotRun,      // sent, but the load for the check did not succeed
    SentUnconfirmed,  // firmware programmed as the receiver said, but it did not answer after
    SafetyCopyFailed, // nothing sent: the safety copy could not be loaded or written
    SendFailed,       // the send did not succeed (its outcome says how)
};

struct SafeSendResult {
    SafeSendEnd end = SafeSendEnd::SendFailed;
    JobOutcome outcome = JobOutcome::Running; // of the last step that ran
    std::string safetyCopyPath;
    std::string reason;  // why the safety copy or the check failed
    std::string verdict; // the check's verdict in one sentence
    std::string report;  // the check's whole comparison
    // One line per step that ran, in order, for the logbook.
    std::vector<LogbookRecord> log;
};

// Runs a ListSend or SettingsSend with the steps the options ask for as one sequence on the
// port the first step found; a FirmwareSend takes no safety copy, and its check asks the
// restarted receiver for its software text. A send whose file cannot be read runs alone and
// reports why.
SafeSendResult RunSafeSend(TransferSession& session, TransferJob send,
                           const SafeSendOptions& options);

// What a comparison of a file with what the receiver holds found.
struct CheckVerdict {
    bool same = false;
    std::string verdict; // one sentence
    std::string report;  // the whole comparison
};
// A list send's lines and banks, or a settings file's bytes, against a load's result (which
// must hold the list or the settings).
CheckVerdict CheckList(const SendList& sent, const JobResult& loaded);
CheckVerdict CheckSettings(const std::string& sent, const JobResult& loaded);
// Judges what a load brought back, for a check without a send.
using CheckJudge = std::function<CheckVerdict(const JobResult& loaded)>;

// The logbook line of a job that ran on its own; seconds as measured by the caller.
LogbookRecord LogbookRecordOf(const TransferJob& job, const JobResult& result, double seconds);

} // namespace fw
