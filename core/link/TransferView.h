#pragma once

#include "core/firmware/Version.h"
#include "core/util/UserInteraction.h"

#include <optional>
#include <string>

namespace fw {

enum class StatusFont { Normal, Large };

// The four timers of the transfer dialog; the numbers are their ids.
enum class TransferTimer {
    Progress = 1,     // 100 ms: progress from the bytes sent
    SendingBlink = 2, // 1000 ms: "data transmitted" blinks
    ProgramBlink = 3, // 1000 ms: "receiver in programming state" blinks
    EraseSeconds = 4, // 1000 ms: seconds of the erase wait as progress
};

enum class SaveKind { ProgramList, Settings };

struct SaveTarget {
    std::string path;        // where the received file goes
    std::string description; // program lists only
};

// Everything a transfer job shows or asks. Jobs run on a worker thread and never touch a widget:
// the program's dialog implements this by posting to its own thread and blocks the worker only
// for the questions; the command-line tool writes to the terminal; tests record the calls.
class TransferView {
public:
    virtual ~TransferView() = default;

    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetStatusFont(StatusFont font) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void EnableStart(bool enabled) = 0;
    virtual void EnableCancel(bool enabled) = 0;
    virtual void SetCancelCaption(const std::string& caption) = 0;
    // While a timer runs, the view calls TransferSession::OnTimer with its id at its period,
    // on the view's own thread.
    virtual void StartTimer(TransferTimer timer) = 0;
    virtual void StopTimer(TransferTimer timer) = 0;

    // Questions and messages; these block the job until answered.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // A Yes/No question whose default answer is No; true for Yes.
    virtual bool AskYesNo(const std::string& text, MessageIcon icon) = 0;
    // The version warning: true to go on ("YES"), false to refuse.
    virtual bool AskVersionWarning(const VersionWarning& warning) = 0;
    // Where a received file goes; nothing when the user cancels.
    virtual std::optional<SaveTarget> AskSaveAs(SaveKind kind) = 0;

    // A received file was written; the page lists it.
    virtual void FileSaved(const std::string& path) = 0;
    // The job wants the dialog closed (after the worker has ended).
    virtual void EndDialog() = 0;
};

} // namespace fw
