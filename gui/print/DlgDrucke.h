#pragma once

#include "gui/print/ListDruck.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace fw {

namespace ids::printing {
inline constexpr int kDialog = 106;
inline constexpr int kBusy = 1035;
inline constexpr int kTarget = 1038;
inline constexpr int kPage = 1039;
inline constexpr int kProgress = 1009;
inline constexpr int kPercent = 1037;
inline constexpr int kCancel = 2;
} // namespace ids::printing

// The progress window of a print job. It runs the job on a worker thread while it is shown
// window-modal over its owner, so the rest of the program stays responsive; the job reports
// each page it starts, and the report is queued to the window's thread. Cancel, Escape and
// the close box ask the job to stop after the current page; the window closes when the job
// has ended.
//
//   CDlgDrucke progress(title, printerName, port, editor);
//   const PrintOutcome outcome = progress.Run([&](const auto& cancel, const auto& pageStarted) {
//       return RunPrintJob(printer, printout, cancel, pageStarted);
//   });
class CDlgDrucke : public QDialog {
    Q_OBJECT
public:
    using PageStarted = std::function<void(int page, int total)>;
    using Job = std::function<PrintOutcome(const std::atomic<bool>& cancel,
                                           const PageStarted& pageStarted)>;

    // The line "%s %s PORT:%s" is filled with the three texts.
    CDlgDrucke(const QString& documentTitle, const QString& device, const QString& port,
               QWidget* owner);
    ~CDlgDrucke() override;

    // Shows the window until the job has ended and returns the job's outcome.
    PrintOutcome Run(Job job);

    void reject() override;

private:
    void BuildLayout(const QString& target);
    void ShowPage();
    void OnJobEnded();

    QLabel* m_page = nullptr;
    QLabel* m_percent = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QString m_pageFormat;

    std::thread m_worker;
    bool m_running = false; // dialog thread only
    PrintOutcome m_outcome = PrintOutcome::Cancelled;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_startedPage{0};
    std::atomic<int> m_totalPages{0};
};

} // namespace fw
