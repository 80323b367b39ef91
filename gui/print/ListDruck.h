#pragma once

#include "core/config/DruckDat.h"
#include "core/lists/ProgramPool.h"
#include "core/print/PrintLayout.h"

#include <QByteArray>
#include <QFont>
#include <QPageSize>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPageRanges;
class QPainter;

namespace fw {

// One printout of the program pool as a ruled table. It holds its own copy of the rows and
// settings, so a worker thread can paint while the editor goes on.
//
//   CListDruck printout(pool, settings, selection);
//   RunPrintJob(device, printout, pages, cancel, onPage);
class CListDruck {
public:
    // Every device is painted in these units, so that margins and fonts come out the same
    // on paper, in the preview and in a PDF.
    static constexpr int kDotsPerInch = 300;

    // Without a selection every row up to the last program is printed.
    CListDruck(const ProgramPool& pool, const CDruckDat& settings,
               std::optional<std::vector<int>> selectedRows);

    // Lays the pages out on paper of this size in device units. Text is measured at
    // kDotsPerInch whatever the device, so a printer, the preview and a PDF get one layout.
    PrintProblem LayOut(int pageWidth, int pageHeight);
    // Why the settings could not be laid out, naming the setting.
    std::string ProblemText() const;
    const PrintLayout& Layout() const { return m_layout; }
    int PageCount() const { return static_cast<int>(m_layout.pages.size()); }
    // Page numbers count from 1.
    void PaintPage(QPainter& painter, int pageNumber) const;

private:
    ProgramPool m_pool;
    CDruckDat m_settings;
    std::optional<std::vector<int>> m_selectedRows;
    PrintLayout m_layout;
    // The layout's fonts made once for painting.
    QFont m_cellFont, m_titleFont, m_pageNumberFont, m_headerFont;
    int m_pageWidth = 0;
    QString m_pageWord;
};

// Sets a printer or PDF writer up as every printout expects it: kDotsPerInch, and the whole
// sheet as the page, so that the stored margins count from the paper's edge.
void PreparePrintDevice(QPagedPaintDevice& device);

// The paper of the preview and of an exported PDF: the default printer's, else A4.
QPageSize DefaultPaper();

// What keeps the settings from being laid out on this paper, for any list.
PrintProblem CheckPrintSettings(const CDruckDat& settings, const QPageSize& paper);

enum class PrintOutcome { Printed, Cancelled, StartFailed, PageFailed, Unusable, NoPageInRange };

// Prepares the device, lays the printout out on it and paints the pages in the ranges (all
// pages when they are empty), calling pageStarted(n, total) before each, n counting the pages
// painted. A set cancel flag ends the job after the current page and aborts the document.
// Runs on any thread.
PrintOutcome RunPrintJob(QPagedPaintDevice& device, CListDruck& printout, const QPageRanges& pages,
                         const std::atomic<bool>& cancel,
                         const std::function<void(int page, int total)>& pageStarted);

struct RenderedPdf {
    PrintOutcome outcome = PrintOutcome::StartFailed;
    QByteArray bytes; // only when printed
};

// The printout as a PDF in portrait.
RenderedPdf RenderPdf(CListDruck& printout, const QString& title, const QPageSize& paper,
                      const QPageRanges& pages, const std::atomic<bool>& cancel,
                      const std::function<void(int page, int total)>& pageStarted = {});

} // namespace fw
