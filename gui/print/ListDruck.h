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
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace fw {

// One printout of the program pool as a ruled table. It holds its own copy of the rows and
// settings, so a worker thread can paint while the editor goes on.
//
//   device.setResolution(CListDruck::kDotsPerInch);   // before anything is painted
//   CListDruck printout(pool, settings, selection);
//   RunPrintJob(device, printout, cancel, onPage);
class CListDruck {
public:
    // Every device is painted in these units, so that margins and fonts come out the same
    // on paper, in the preview and in a PDF.
    static constexpr int kDotsPerInch = 300;

    // Without a selection every row up to the last program is printed.
    CListDruck(const ProgramPool& pool, const CDruckDat& settings,
               std::optional<std::vector<int>> selectedRows);

    // Opens the painter on the device and lays the pages out for it; false when the
    // document cannot be started.
    bool Begin(QPainter& painter, QPagedPaintDevice& device);
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

enum class PrintOutcome { Printed, Cancelled, StartFailed, PageFailed };

// Paints every page, calling pageStarted(page, total) before each. A set cancel flag ends the
// job after the current page and aborts the document. Runs on any thread.
PrintOutcome RunPrintJob(QPagedPaintDevice& device, CListDruck& printout,
                         const std::atomic<bool>& cancel,
                         const std::function<void(int page, int total)>& pageStarted);

// The printout as a PDF in portrait without page margins, so the stored margins count from
// the paper's edge. Cancelled or failed jobs give no bytes.
std::optional<QByteArray>
RenderPdf(CListDruck& printout, const QString& title, const std::atomic<bool>& cancel,
          const std::function<void(int page, int total)>& pageStarted = {},
          const QPageSize& paper = QPageSize(QPageSize::A4));

} // namespace fw
