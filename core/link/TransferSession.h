#pragma once

#include "core/link/CancelEvent.h"
#include "core/link/ComPort.h"
#include "core/link/ModemManagerHint.h"
#include "core/link/PortMap.h"
#include "core/link/TransferJob.h"
#include "core/link/TransferView.h"
#include "core/lists/FavoritenDat.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace fw {

class CKonfiguration;

// The configuration a transfer reads, copied when the dialog opens.
struct LinkSettings {
    int comPort = 0; // 0 automatic search, 1..4 COM1..COM4
    int baudRate = 115200;
    int recTimeout = 500; // ms to wait for the detection reply
    int versionHint = 1;
    std::string device; // when set: only this device is tried (command line --port DEVICE)

    // Port, rate, time-out and version warning as the user configured them.
    static LinkSettings FromConfiguration(const CKonfiguration& config);
};

// What the production chain keeps from one step to the next: later steps open the port the
// first step found, without detection, and send as many program lines as it learned.
struct ChainMemory {
    int lastPort = 0;       // 1..4, or 0 when the device was given directly
    std::string lastDevice; // the device behind it
    int lastCapacity = 0;
};

// How a job run ended. Every ending of a job sets it, so that callers without a screen (the
// command-line tool) can tell success from failure without reading the status texts.
enum class JobOutcome {
    Running,
    Succeeded,
    Failed,            // a numbered error or another failure message was shown
    Cancelled,         // the user cancelled (detection, a piece)
    NotSaved,          // a load received everything, but the user declined to save it
    AbortedByReceiver, // the receiver answered 0x0A
    Refused,           // the PC refused the firmware (loader too old, version warning answered No)
};

// The working state of one transfer dialog and the pieces every job shares: detection, the
// answer readers, the single error path. A job runs on one worker thread; OnTimer runs on the
// view's thread and only reads the counters.
class TransferSession {
public:
    TransferSession(TransferJob job, LinkSettings settings, PortMap ports, TransferView& view,
                    ChainMemory& chain, CancelEvent& cancel);

    // Runs the job to its end on the calling thread.
    void Run();
    // Prepares a run of the same job after an earlier one ended (the dialog's start button):
    // resets the cancel signal, the counters and both results, disables the start button and
    // gives Cancel its caption back; a list load forgets what it received, a firmware send
    // returns to the normal status font.
    void PrepareRestart();
    // A timer of the view ticked (view thread).
    void OnTimer(TransferTimer timer);

    // Fills the send list and the banks from the job's list file (or the bytes the job carries),
    // padded to 4000 lines; bank entries outside the program places are left out. Returns 0, or
    // -1 when the file cannot be read or holds a program line the wire cannot carry (a CR, more
    // than 499 bytes): the lists are then empty and sendListError says why and where.
    int LoadSendList();

    // Results for the page after the dialog closed.
    int ChainContinue() const { return m_chainContinue.load(); }
    int FirmwareCancelled() const { return m_firmwareCancelled.load(); }
    JobOutcome Outcome() const { return m_outcome.load(); }
    void SetOutcome(JobOutcome outcome) { m_outcome.store(outcome); }

    // --- shared by the jobs (worker thread) ---
    // -1 cancelled, 0 failed (reported), 1..4 the port number (5 for a device given directly).
    int DetectReceiver(const char* command);
    // DetectReceiver for a job that only needs to know whether to go on: a cancel ends the job
    // (EndCancelled). False when the job has ended.
    bool DetectOrEnd(const char* command);
    int WaitForRecOk();
    int ReadAck(int errorStringId);
    // Shows the numbered error, closes the port, clears status and progress, enables both
    // buttons; in a chain ends the dialog with chain-continue 0. Returns 0.
    int FailJob(int stringId);
    int FailJobText(const std::string& text);
    // The text with the ModemManager advice below it when that may have taken a device.
    std::string WithModemManagerHint(const std::string& text,
                                     const std::vector<std::string>& devices) const;
    void SetStatus(const std::string& text);
    void SetProgress(int percent);
    // The view's timers; starting timer 4 restarts its seconds count.
    void StartTimer(TransferTimer timer);
    void StopTimer(TransferTimer timer);
    // "... COM3: recognized / Data send to receiver" for the port in use; with a port chosen
    // by hand only the lines after the first.
    std::string PortStatusText() const;
    // Shows PortStatusText at full progress, then gives the receiver its pause after the connect.
    void ShowConnected();
    // Opens the port of the chain's first step at the working baud rate without detection.
    bool OpenChainedPort();
    // Ends a job that the receiver aborted (it answered 0x0A): no message, the dialog closes.
    void EndAborted();
    // Ends a job the user cancelled: the port closes, the outcome is Cancelled, the dialog
    // closes; no message.
    void EndCancelled();
    // Ends a job that leaves nothing to show: status and progress emptied, start enabled, the
    // port closed, the outcome given.
    void EndWithoutResult(JobOutcome outcome);
    // A load whose data arrived whole and whose save the user declined: said in the status
    // text, not as a cancelled connection (the receiver needs no restart).
    void EndNotSaved();
    // A chained step ended well: chain-continue 1 and the dialog closes.
    void EndChainStep();
    // A send went through: Cancel enabled with the OK caption, "Programming finished", start
    // enabled; a firmware send also returns the status to the normal font. A chained step then
    // waits for the receiver's restart announcement (unless it is the chain's last step) and
    // ends the step; a job on its own closes the port and has succeeded.
    void FinishSend();
    // A load went through and its file is written: Cancel gets the OK caption, the status shows
    // statusId, start enabled, the outcome is Succeeded and the view hears of the file.
    void FinishLoad(int statusId, const std::string& path);

    const TransferJob& Job() const { return m_job; }
    const LinkSettings& Settings() const { return m_settings; }
    TransferView& View() { return m_view; }
    CComPort& Port() { return m_port; }
    CancelEvent& Cancel() { return m_cancel; }
    ChainMemory& Chain() { return m_chain; }
    std::string PortName() const; // "COM3" or the device given directly
    const std::string& PortDevice() const { return m_portDevice; } // the device path in use
    // What detection asks about the machine when a port is busy or stays silent.
    void SetSystemFacts(SerialSystemFacts facts) { m_systemFacts = std::move(facts); }

    int programCapacity = 0;
    float loaderVersion = 0.0f;
    std::vector<std::string> sendList;
    std::string sendListError;        // the text to show after LoadSendList returned -1
    int droppedBankEntries = 0;       // by LoadSendList
    bool sendListHasPrograms = false; // a program line holds a field that is not empty
    CFavoritenDat banks;
    std::atomic<std::uint64_t> bytesTotal{0};
    std::atomic<std::uint64_t> bytesSent{0};

    void SetFirmwareCancelled() { m_firmwareCancelled.store(1); }
    void ClearFirmwareCancelled() { m_firmwareCancelled.store(0); }

private:
    TransferJob m_job;
    LinkSettings m_settings;
    PortMap m_ports;
    TransferView& m_view;
    ChainMemory& m_chain;
    CancelEvent& m_cancel;
    CComPort m_port;
    int m_portNumber = 0;
    std::string m_portDevice;
    SerialSystemFacts m_systemFacts = SerialSystemFacts::OfThisMachine();
    std::atomic<int> m_chainContinue{0};
    std::atomic<int> m_firmwareCancelled{0};
    std::atomic<JobOutcome> m_outcome{JobOutcome::Running};

    std::mutex m_statusMutex; // the status text is set by the job and blinked by the timers
    std::string m_status;
    std::atomic<int> m_eraseSeconds{0}; // reset by the job, counted by the view's thread
};

// The jobs, one per kind; each runs on the worker thread and ends in exactly one outcome.
void RunFirmwareSend(TransferSession& session);
void RunListLoad(TransferSession& session);
void RunListSend(TransferSession& session);
void RunSettingsLoad(TransferSession& session);
void RunSettingsSend(TransferSession& session);

} // namespace fw
