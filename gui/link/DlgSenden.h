#pragma once

#include "core/app/DataFolders.h"
#include "core/link/SafeSend.h"
#include "core/link/TransferSession.h"
#include "core/link/TransferView.h"
#include "gui/ui/ChangeQueue.h"

#include <QDialog>

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace fw {

class UserInteraction;

namespace ids::transfer {
inline constexpr int kDialog = 132;
inline constexpr int kStart = 1030;
inline constexpr int kCancel = 2;
inline constexpr int kProgress = 1029;
inline constexpr int kPercent = 1036;
inline constexpr int kStatus = 1035;
inline constexpr int kStatusLabel = 1037;
inline constexpr int kBaud = 1107;
inline constexpr int kFileNameLabel = 1069;
inline constexpr int kFileName = 1064;
inline constexpr int kDescriptionLabel = 1067;
inline constexpr int kDescription = 1065;
inline constexpr int kTypeLabel = 1068;
inline constexpr int kType = 1066;
} // namespace ids::transfer

// The modal transfer dialog. It runs its job on a worker thread as soon as it shows; the job
// reports through TransferView, whose calls arrive on the worker and are posted to the dialog's
// thread, so the worker never touches a widget. Questions block only the worker.
//
// A page uses it as:
//   CDlgSenden dialog(job, settings, ports, chain, cancel, folders.lists, folders.settings,
//                     interaction, this);
//   connect(&dialog, &CDlgSenden::FileSavedSignal, ...);   // a load wrote a file
//   dialog.exec();
//   dialog.ChainContinue(); dialog.FirmwareCancelled();
// The dialog closes only with no worker running; the value exec() returns carries no meaning.
class CDlgSenden : public QDialog, public TransferView {
    Q_OBJECT
public:
    CDlgSenden(TransferJob job, LinkSettings settings, PortMap ports, ChainMemory& chain,
               CancelEvent& cancel, std::string listsFolder, std::string settingsFolder,
               UserInteraction& interaction, QWidget* parent = nullptr);
    ~CDlgSenden() override;

    // What the program keeps around a transfer: a send that is no step of the production chain
    // takes a safety copy first and checks the receiver afterwards as the switches say, and
    // every job gets its logbook line. Without it the dialog only runs the job.
    struct Records {
        DataFolders folders;
        bool safetyCopy = true;
        int safetyCopyKeep = 20;
        bool verify = true;
    };
    void KeepRecords(Records records) { m_records = std::move(records); }
    // A load that only checks: what it brings back is judged and the verdict shown.
    void JudgeLoad(CheckJudge judge) { m_judge = std::move(judge); }

    // Results for the page once exec() returned.
    int ChainContinue() const { return m_session.ChainContinue(); }
    int FirmwareCancelled() const { return m_session.FirmwareCancelled(); }
    JobOutcome Outcome() const { return m_session.Outcome(); }
    bool WorkerRunning() const { return m_workerRunning; }
    // "OK" once the transfer is over, else "Cancel".
    QString CloseButtonText() const;
    // The report button, visible once a check has a comparison to show.
    QPushButton* ReportButton() const { return m_reportButton; }

    // Cancel and closing the window both come here.
    void reject() override;

    // --- TransferView (called on the worker thread) ---
    void SetStatus(const std::string& text) override;
    void SetStatusFont(StatusFont font) override;
    void SetProgress(int percent) override;
    void EnableStart(bool enabled) override;
    void EnableCancel(bool enabled) override;
    void SetCancelCaption(const std::string& caption) override;
    void StartTimer(TransferTimer timer) override;
    void StopTimer(TransferTimer timer) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, MessageIcon icon) override;
    bool AskVersionWarning(const VersionWarning& warning) override;
    std::optional<SaveTarget> AskSaveAs(SaveKind kind) override;
    void FileSaved(const std::string& path) override;
    void EndDialog() override;

signals:
    // A load wrote a file; the page refreshes its catalogue.
    void FileSavedSignal(const QString& path);
    // The worker of one run has ended and been joined.
    void WorkerFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void StartWorker();
    // The job on the worker thread, with what the records ask for around it.
    void RunJob();
    void RunSafeSend();
    void Log(const std::vector<LogbookRecord>& records);
    // From the worker: the check's whole comparison, offered behind the report button.
    void OfferReport(const std::string& report);
    void ShowReport();
    void OnWorkerEnded();
    void OnStart();
    void StopAllTimers();
    QTimer* TimerFor(TransferTimer timer) const;
    // Runs change on the dialog's thread, later, in the order posted.
    void Post(std::function<void()> change);
    // Shows a question on the dialog's thread and waits for its answer on the worker;
    // fallback when the dialog goes away without answering.
    template <typename T> T Ask(std::function<T()> question, T fallback);

    std::string m_listsFolder;
    std::string m_settingsFolder;
    CancelEvent& m_cancel;
    // Answers the job's questions and messages on the dialog's thread.
    UserInteraction& m_interaction;
    TransferJob m_job;
    LinkSettings m_settings;
    TransferSession m_session;
    std::optional<Records> m_records;
    CheckJudge m_judge;

    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_percent = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_reportButton = nullptr;
    std::string m_report;
    std::array<QTimer*, 4> m_timers{};
    QFont m_normalFont;
    QFont m_largeFont;

    ChangeQueue* m_changes = new ChangeQueue(this);

    std::thread m_worker;
    bool m_workerRunning = false; // dialog thread only
    bool m_started = false;       // the first show started the first run
    bool m_endRequested = false;  // the job asked to close once the worker has ended
    bool m_restartPending = false;
    std::atomic<bool> m_abandoned{false}; // the dialog is going away: questions stop waiting
};

} // namespace fw
