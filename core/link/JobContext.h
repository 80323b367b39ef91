#pragma once

#include "core/link/CancelEvent.h"
#include "core/link/ComPort.h"
#include "core/link/JobResult.h"
#include "core/link/ModemManagerHint.h"
#include "core/link/PortMap.h"
#include "core/link/TransferJob.h"
#include "core/link/TransferView.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

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

// What the receiver told detection about itself.
struct ReceiverFacts {
    int capacity = 0; // program lines of its model
    float loaderVersion = 0.0f;
    std::string model; // its model reply, "ZEB30"
};

// What a job works with: the port, the view, the cancel signal and the link settings, and the
// pieces every job shares (detection, the answer readers, the single error path, the endings).
// The job runs on one worker thread; OnTimer runs on the view's thread and only reads the
// counters.
class JobContext {
public:
    JobContext(LinkSettings settings, PortMap ports, TransferView& view, ChainMemory& chain,
               CancelEvent& cancel);

    // A job starts: nothing learned, no outcome yet.
    void Begin(ChainStep step, bool largeStatusFont);
    // The view the job talks to from now on (a step of several shows through its own).
    void UseView(TransferView& view) { m_view.store(&view); }
    // Later detections try only the port in use, never a new search; Unpin searches again.
    void PinPort();
    void Unpin();
    // A timer of the view ticked (view thread).
    void OnTimer(TransferTimer timer);
    // A restart of the same job: counters, chain result and outcome as before any run.
    void Reset();

    JobOutcome Outcome() const { return m_outcome.load(); }
    void SetOutcome(JobOutcome outcome) { m_outcome.store(outcome); }
    int ChainContinue() const { return m_chainContinue.load(); }
    int FirmwareCancelled() const { return m_firmwareCancelled.load(); }
    void SetFirmwareCancelled(bool cancelled) { m_firmwareCancelled.store(cancelled ? 1 : 0); }
    const ReceiverFacts& Receiver() const { return m_receiver; }
    // The outcome and what detection learned, for the job's result.
    JobResult Result() const;

    // Detection of this job asks again for the window (milliseconds, scaled by LinkMs) while
    // the receiver stays silent; 0 asks once.
    void SetDetectionWindow(unsigned milliseconds) { m_detectionWindowMs = milliseconds; }
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
    void SetStatus(const std::string& text);
    void SetProgress(int percent);
    // The view's timers; starting timer 4 restarts its seconds count.
    void StartTimer(TransferTimer timer);
    void StopTimer(TransferTimer timer);
    // The progress timer shows the share of total that CountBytesSent has counted.
    void StartByteCount(std::uint64_t total);
    std::uint64_t CountBytesSent(std::uint64_t bytes); // the count so far
    // Shows the port in use at full progress, then gives the receiver its pause after the
    // connect.
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
    // enabled; a job in the large font returns to the normal one. A chained step then waits
    // for the receiver's restart announcement (unless it is the chain's last step) and ends
    // the step; a job on its own closes the port and has succeeded.
    void FinishSend();
    // A load went through: Cancel gets the OK caption, the status shows statusId, start enabled,
    // the outcome is Succeeded and the view hears of the file written (none for a load kept in
    // memory, path empty).
    void FinishLoad(int statusId, const std::string& path);

    const LinkSettings& Settings() const { return m_settings; }
    TransferView& View() { return *m_view.load(); }
    CComPort& Port() { return m_port; }
    CancelEvent& Cancel() { return m_cancel; }
    ChainMemory& Chain() { return m_chain; }
    std::string PortName() const; // "COM3" or the device given directly
    const std::string& PortDevice() const { return m_portDevice; } // the device path in use
    // What detection asks about the machine when a port is busy or stays silent.
    void SetSystemFacts(SerialSystemFacts facts) { m_systemFacts = std::move(facts); }

private:
    // "... COM3: recognized / Data send to receiver" for the port in use; with a port chosen
    // by hand only the lines after the first.
    std::string PortStatusText() const;
    // The text with the ModemManager advice below it when that may have taken a device.
    std::string WithModemManagerHint(const std::string& text,
                                     const std::vector<std::string>& devices) const;

    LinkSettings m_settings;
    PortMap m_ports;
    std::atomic<TransferView*> m_view;
    ChainMemory& m_chain;
    CancelEvent& m_cancel;
    CComPort m_port;
    int m_portNumber = 0;
    std::string m_portDevice;
    int m_pinnedNumber = 0; // with m_pinnedDevice: the port later detections keep to
    std::string m_pinnedDevice;
    SerialSystemFacts m_systemFacts = SerialSystemFacts::OfThisMachine();
    ChainStep m_step;
    bool m_largeStatusFont = false;
    ReceiverFacts m_receiver;
    unsigned m_detectionWindowMs = 0;
    std::string m_savedPath;
    std::string m_failure;
    std::atomic<int> m_chainContinue{0};
    std::atomic<int> m_firmwareCancelled{0};
    std::atomic<JobOutcome> m_outcome{JobOutcome::Running};
    std::atomic<std::uint64_t> m_bytesTotal{0};
    std::atomic<std::uint64_t> m_bytesSent{0};

    std::mutex m_statusMutex; // the status text is set by the job and blinked by the timers
    std::string m_status;
    std::atomic<int> m_eraseSeconds{0}; // reset by the job, counted by the view's thread
};

} // namespace fw
