#include "gui/print/ListDruck.h"

#include "core/res/StringIds.h"
#include "gui/print/PrintFont.h"
#include "gui/ui/Texts.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <utility>

namespace fw {

namespace {

// The two fonts of a table alternate while it is measured; keep their metrics at hand.
class CachedMeasure {
public:
    explicit CachedMeasure(QPaintDevice& device) : m_device(device) {}

    TextSize operator()(const std::string& text, const LogFont& font) {
        const QFontMetrics& metrics = MetricsOf(font);
        return {metrics.horizontalAdvance(QString::fromUtf8(text)), metrics.height()};
    }

private:
    const QFontMetrics& MetricsOf(const LogFont& font) {
        for (const auto& [cached, metrics] : m_metrics)
            if (cached == font)
                return metrics;
        return m_metrics.emplace_back(font, QFontMetrics(PrintFont(font), &m_device)).second;
    }

    QPaintDevice& m_device;
    std::vector<std::pair<LogFont, QFontMetrics>> m_metrics;
};

// GDI places text by the top of its cell, Qt by the baseline.
void DrawTextFromTop(QPainter& painter, int x, int top, const QString& text) {
    painter.drawText(x, top + painter.fontMetrics().ascent(), text);
}

} // namespace

CListDruck::CListDruck(const ProgramPool& pool, const CDruckDat& settings,
                       std::optional<std::vector<int>> selectedRows)
    : m_pool(pool), m_settings(settings), m_selectedRows(std::move(selectedRows)),
      m_pageWord(ResText(str::kPageWord)) {}

bool CListDruck::Begin(QPainter& painter, QPagedPaintDevice& device) {
    if (!painter.begin(&device))
        return false;
    m_pageWidth = device.width();
    CachedMeasure measure(device);
    m_layout = LayOutPrint(m_pool, m_settings, m_selectedRows, device.width(), device.height(),
                           std::ref(measure));
    m_cellFont = PrintFont(m_layout.fonts.cell);
    m_titleFont = PrintFont(m_layout.fonts.title);
    m_pageNumberFont = PrintFont(m_layout.fonts.pageNumber);
    m_headerFont = PrintFont(m_layout.fonts.header);
    return true;
}

void CListDruck::PaintPage(QPainter& painter, int pageNumber) const {
    const PrintLayout& layout = m_layout;
    const PrintedPage& page = layout.pages.at(static_cast<std::size_t>(pageNumber - 1));
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);

    painter.setPen(ColourFromStored(m_settings.m_headerColour));
    painter.setFont(m_headerFont);
    DrawTextFromTop(painter, layout.leftMargin, layout.topMargin,
                    QString::fromStdString(m_settings.m_headerText));
    painter.setFont(m_pageNumberFont);
    const QString pageText = QStringLiteral("%1 %2").arg(m_pageWord).arg(pageNumber);
    DrawTextFromTop(painter,
                    m_pageWidth - layout.rightMargin -
                        painter.fontMetrics().horizontalAdvance(pageText),
                    layout.topMargin, pageText);

    const QPen textPen(ColourFromStored(m_settings.m_mainColour));
    const QPen rulePen(Qt::black, 1);
    const std::vector<int>& x = layout.columnX;
    const int columns = static_cast<int>(layout.columns.size());
    if (columns == 0) {
        painter.restore();
        return;
    }
    const int h = layout.rowHeight;
    const int right = x.back();

    // Title cells carry all four edges; the first row's top edge is their bottom.
    painter.setFont(m_titleFont);
    for (int k = 0; k < columns; ++k) {
        painter.setPen(textPen);
        DrawTextFromTop(painter, x[k] + layout.textInset, layout.titleTop,
                        QString::fromStdString(layout.titles[static_cast<std::size_t>(k)]));
        painter.setPen(rulePen);
        painter.drawLine(x[k], layout.titleTop, x[k + 1], layout.titleTop);
        painter.drawLine(x[k], layout.titleTop, x[k], layout.firstRowTop);
    }
    painter.drawLine(right, layout.titleTop, right, layout.firstRowTop);

    // Rows are h + 1 apart; their vertical rules run on to the next row, so the table has no
    // gaps.
    painter.setFont(m_cellFont);
    int y = layout.firstRowTop;
    for (int row : page.rows) {
        for (int k = 0; k < columns; ++k) {
            painter.setPen(textPen);
            DrawTextFromTop(painter, x[k] + layout.textInset, y,
                            QString::fromStdString(PrintedCellText(
                                m_pool, row, layout.columns[static_cast<std::size_t>(k)])));
            painter.setPen(rulePen);
            painter.drawLine(x[k], y, x[k + 1], y);
            painter.drawLine(x[k], y, x[k], y + h + 1);
        }
        painter.drawLine(right, y, right, y + h + 1);
        y += h + 1;
    }
    painter.setPen(rulePen);
    painter.drawLine(x.front(), page.tableBottom, right, page.tableBottom);
    painter.restore();
}

PrintOutcome RunPrintJob(QPagedPaintDevice& device, CListDruck& printout,
                         const std::atomic<bool>& cancel,
                         const std::function<void(int page, int total)>& pageStarted) {
    QPainter painter;
    if (!printout.Begin(painter, device))
        return PrintOutcome::StartFailed;
    auto* printer = dynamic_cast<QPrinter*>(&device);
    const auto abandon = [&](PrintOutcome outcome) {
        if (printer != nullptr)
            printer->abort();
        painter.end();
        return outcome;
    };
    const int total = printout.PageCount();
    for (int page = 1; page <= total; ++page) {
        if (page > 1 && !device.newPage())
            return abandon(PrintOutcome::PageFailed);
        if (pageStarted)
            pageStarted(page, total);
        printout.PaintPage(painter, page);
        if (cancel.load())
            return abandon(PrintOutcome::Cancelled);
    }
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::PageFailed;
}

std::optional<QByteArray> RenderPdf(CListDruck& printout, const QString& title,
                                    const std::atomic<bool>& cancel,
                                    const std::function<void(int page, int total)>& pageStarted,
                                    const QPageSize& paper) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(CListDruck::kDotsPerInch);
        writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Flashwerk"));
        if (RunPrintJob(writer, printout, cancel, pageStarted) != PrintOutcome::Printed)
            return std::nullopt;
    }
    return bytes;
}

} // namespace fw
