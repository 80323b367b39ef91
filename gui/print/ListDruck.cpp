#include "gui/print/ListDruck.h"

#include "core/res/StringIds.h"
#include "gui/print/PrintFont.h"
#include "gui/ui/Texts.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPageLayout>
#include <QPageRanges>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <utility>

namespace fw {

namespace {

// Fonts are measured on an image of the print resolution rather than on the device, so that
// every device gets the same layout. The two fonts of a table alternate while it is measured;
// their metrics are kept at hand.
class CachedMeasure {
public:
    CachedMeasure() : m_image(1, 1, QImage::Format_Mono) {
        const int dotsPerMeter = static_cast<int>(std::lround(CListDruck::kDotsPerInch / 0.0254));
        m_image.setDotsPerMeterX(dotsPerMeter);
        m_image.setDotsPerMeterY(dotsPerMeter);
    }

    TextSize operator()(const std::string& text, const LogFont& font) {
        const QFontMetrics& metrics = MetricsOf(font);
        return {metrics.horizontalAdvance(QString::fromUtf8(text)), metrics.height()};
    }

private:
    const QFontMetrics& MetricsOf(const LogFont& font) {
        for (const auto& [cached, metrics] : m_metrics)
            if (cached == font)
                return metrics;
        return m_metrics.emplace_back(font, QFontMetrics(PrintFont(font), &m_image)).second;
    }

    QImage m_image;
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

PrintProblem CListDruck::LayOut(int pageWidth, int pageHeight) {
    m_pageWidth = pageWidth;
    CachedMeasure measure;
    m_layout =
        LayOutPrint(m_pool, m_settings, m_selectedRows, pageWidth, pageHeight, std::ref(measure));
    if (m_layout.problem == PrintProblem::None) {
        m_cellFont = PrintFont(m_layout.fonts.cell);
        m_titleFont = PrintFont(m_layout.fonts.title);
        m_pageNumberFont = PrintFont(m_layout.fonts.pageNumber);
        m_headerFont = PrintFont(m_layout.fonts.header);
    }
    return m_layout.problem;
}

std::string CListDruck::ProblemText() const {
    return PrintProblemText(m_layout.problem, m_settings);
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

    const std::vector<int>& x = layout.columnX;
    const std::size_t columns = layout.columns.size();
    if (columns == 0) {
        painter.restore();
        return;
    }

    painter.setPen(ColourFromStored(m_settings.m_mainColour));
    painter.setFont(m_titleFont);
    for (std::size_t k = 0; k < columns; ++k)
        DrawTextFromTop(painter, x[k] + layout.textInsetX, layout.titleTop + layout.textInsetY,
                        QString::fromStdString(layout.titles[k]));
    painter.setFont(m_cellFont);
    const int pitch = layout.rowHeight + 1;
    int y = layout.firstRowTop;
    for (int row : page.rows) {
        for (std::size_t k = 0; k < columns; ++k)
            DrawTextFromTop(
                painter, x[k] + layout.textInsetX, y + layout.textInsetY,
                QString::fromStdString(PrintedCellText(m_pool, row, layout.columns[k])));
        y += pitch;
    }

    // Each ruled line once: one across the table above every row and below the last, one
    // down the table at every column edge.
    QVector<QLine> rules;
    rules.append(QLine(x.front(), layout.titleTop, x.back(), layout.titleTop));
    for (int top = layout.firstRowTop; top <= page.tableBottom; top += pitch)
        rules.append(QLine(x.front(), top, x.back(), top));
    for (int edge : x)
        rules.append(QLine(edge, layout.titleTop, edge, page.tableBottom));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLines(rules);
    painter.restore();
}

void PreparePrintDevice(QPagedPaintDevice& device) {
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        printer->setFullPage(true);
        printer->setResolution(CListDruck::kDotsPerInch);
    } else if (auto* writer = dynamic_cast<QPdfWriter*>(&device)) {
        writer->setResolution(CListDruck::kDotsPerInch);
    }
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
}

QPageSize DefaultPaper() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    return printer.isNull() ? QPageSize(QPageSize::A4) : printer.defaultPageSize();
}

PrintProblem CheckPrintSettings(const CDruckDat& settings, const QPageSize& paper) {
    const QSize size = paper.sizePixels(CListDruck::kDotsPerInch);
    CachedMeasure measure;
    return LayOutPrint(ProgramPool{}, settings, std::nullopt, size.width(), size.height(),
                       std::ref(measure))
        .problem;
}

PrintOutcome RunPrintJob(QPagedPaintDevice& device, CListDruck& printout, const QPageRanges& pages,
                         const std::atomic<bool>& cancel,
                         const std::function<void(int page, int total)>& pageStarted) {
    PreparePrintDevice(device);
    if (printout.LayOut(device.width(), device.height()) != PrintProblem::None)
        return PrintOutcome::Unusable;
    std::vector<int> chosen;
    for (int page = 1; page <= printout.PageCount(); ++page)
        if (pages.isEmpty() || pages.contains(page))
            chosen.push_back(page);
    if (chosen.empty())
        return PrintOutcome::NoPageInRange;

    QPainter painter;
    if (!painter.begin(&device))
        return PrintOutcome::StartFailed;
    auto* printer = dynamic_cast<QPrinter*>(&device);
    const auto abandon = [&](PrintOutcome outcome) {
        if (printer != nullptr)
            printer->abort();
        painter.end();
        return outcome;
    };
    const int total = static_cast<int>(chosen.size());
    for (int n = 1; n <= total; ++n) {
        if (n > 1 && !device.newPage())
            return abandon(PrintOutcome::PageFailed);
        if (pageStarted)
            pageStarted(n, total);
        printout.PaintPage(painter, chosen[static_cast<std::size_t>(n - 1)]);
        if (cancel.load())
            return abandon(PrintOutcome::Cancelled);
    }
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::PageFailed;
}

RenderedPdf RenderPdf(CListDruck& printout, const QString& title, const QPageSize& paper,
                      const QPageRanges& pages, const std::atomic<bool>& cancel,
                      const std::function<void(int page, int total)>& pageStarted) {
    RenderedPdf pdf;
    {
        QBuffer buffer(&pdf.bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Flashwerk"));
        pdf.outcome = RunPrintJob(writer, printout, pages, cancel, pageStarted);
    }
    if (pdf.outcome != PrintOutcome::Printed)
        pdf.bytes.clear();
    return pdf;
}

} // namespace fw
