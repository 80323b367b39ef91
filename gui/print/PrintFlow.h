#pragma once

#include "gui/print/DlgDrucke.h"
#include "gui/print/ListDruck.h"

#include <QString>

#include <functional>

#include <optional>
#include <vector>

class QPageRanges;
class QPageSize;
class QPrinter;
class QWidget;

namespace fw {

struct AppContext;
class ProgramPool;
class UserInteraction;

// The editor's ways out to paper: print, preview, PDF export and the page setup. Each takes
// the pool and the grid's selected rows as they are when the command starts; the printout
// keeps its own copy, so the job may run while the editor goes on.
class PrintFlow {
public:
    PrintFlow(AppContext& context, QWidget* owner);

    // The print dialog, then the job with its progress window. Printing to a file (offered
    // only without a printer) writes the PDF as the export does; suggestedName names it.
    void Print(const ProgramPool& pool, const std::vector<int>& selectedRows,
               const QString& suggestedName);
    // Painted at once, without a progress window; its toolbar offers the page setup too.
    void Preview(const ProgramPool& pool, const std::vector<int>& selectedRows);
    // The file name offered is suggestedName with the suffix .pdf.
    void ExportPdf(const ProgramPool& pool, const std::vector<int>& selectedRows,
                   const QString& suggestedName);
    void PageSetup();

    // The job on a printer already chosen, with the progress window and its messages; the
    // printer's page range, if it has one, chooses the pages.
    void PrintOn(QPrinter& printer, CListDruck& printout);

    // Called on the worker as each page starts, after the window was told; tests hold the
    // job there to look at the window.
    void SetWorkerPageObserver(CDlgDrucke::PageStarted observer) {
        m_workerPageObserver = std::move(observer);
    }
    // Called with the layout of every printout once its job has ended, whatever the way out;
    // tests compare the preview's layout with the PDF's.
    void SetLayoutObserver(std::function<void(const PrintLayout&)> observer) {
        m_layoutObserver = std::move(observer);
    }

private:
    enum class RowChoice { All, Selection, Cancelled };

    // Asks only when several rows are selected.
    RowChoice AskRowsToPrint(const std::vector<int>& selectedRows);
    QString AskPdfPath(const QString& suggestedName);
    // Rendered on the worker with the progress window, then written atomically.
    void WritePdf(CListDruck& printout, const QString& path, const QPageSize& paper,
                  const QPageRanges& pages);
    CListDruck MakePrintout(const ProgramPool& pool, const std::vector<int>& selectedRows,
                            bool selectionOnly) const;
    // The line of the progress window names device and port.
    PrintOutcome RunWithProgress(const QString& device, const QString& port,
                                 const CDlgDrucke::Job& job);
    // Tells the layout observer and the user how the job ended, when it failed.
    void Conclude(PrintOutcome outcome, const CListDruck& printout);
    UserInteraction& Interaction();

    AppContext& m_context;
    QWidget* m_owner;
    QString m_documentTitle;
    CDlgDrucke::PageStarted m_workerPageObserver;
    std::function<void(const PrintLayout&)> m_layoutObserver;
};

} // namespace fw
