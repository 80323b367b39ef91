#include "core/print/PrintLayout.h"

#include "core/lists/ProgramPool.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"

#include <algorithm>

namespace fw {

namespace {

constexpr int kMarginFactor = 12;
constexpr int kCellPadding = 20;
constexpr int kTextInset = 10;
constexpr int kHeaderGap = 50;

std::vector<std::string> GridCaptions() {
    std::vector<std::string> captions;
    for (const ColumnHeader& header : ParseColumnSpec(LoadResString(str::kColumnTitles)))
        captions.push_back(header.text);
    captions.resize(kGridColumnCount);
    return captions;
}

// Truncated toward zero like the stored heights, but never to 0, which would mean "any size".
LogFont WithHeight(LogFont font, double factor) {
    const int height = static_cast<int>(font.height * factor);
    font.height = height != 0 ? height : (font.height < 0 ? -1 : 1);
    return font;
}

PrintFonts MakeFonts(const CDruckDat& settings, double tableScale) {
    PrintFonts fonts;
    fonts.cell = WithHeight(settings.m_mainFont, 3.5 * tableScale);
    fonts.title = fonts.cell;
    fonts.title.weight = 900;
    fonts.title.italic = 1;
    fonts.pageNumber = WithHeight(settings.m_headerFont, 3.0);
    fonts.pageNumber.italic = 0;
    fonts.pageNumber.underline = 0;
    fonts.pageNumber.weight = 400;
    fonts.header = WithHeight(settings.m_headerFont, 3.5);
    return fonts;
}

std::vector<int> RowsToPrint(const ProgramPool& pool,
                             const std::optional<std::vector<int>>& selectedRows) {
    std::vector<int> rows;
    if (selectedRows) {
        std::copy_if(selectedRows->begin(), selectedRows->end(), std::back_inserter(rows),
                     &ProgramPool::IsValidRow);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    } else {
        for (int row = 0; row <= pool.LastUsedRow(); ++row)
            rows.push_back(row);
    }
    return rows;
}

} // namespace

void FitColumnsToGrid(CDruckDat& settings) {
    const std::vector<std::string> captions = GridCaptions();
    for (std::size_t column = settings.m_columnTitles.size(); column < captions.size(); ++column)
        settings.m_columnTitles.push_back(captions[column]);
    settings.m_columnTitles.resize(captions.size());
    settings.m_columnFlags.resize(captions.size(), 1);
}

std::string PrintedCellText(const ProgramPool& pool, int row, int column) {
    if (column == kAdrColumn)
        return ProgramPool::AdrText(row);
    return Cp1252ToUtf8(pool.Cell(row, FieldOfColumn(column)));
}

PrintLayout LayOutPrint(const ProgramPool& pool, const CDruckDat& settings,
                        const std::optional<std::vector<int>>& selectedRows, int pageWidth,
                        int pageHeight, const MeasureText& measure) {
    PrintLayout layout;
    layout.leftMargin = settings.m_leftMargin * kMarginFactor;
    layout.rightMargin = settings.m_rightMargin * kMarginFactor;
    layout.topMargin = settings.m_topMargin * kMarginFactor;
    layout.bottomMargin = settings.m_bottomMargin * kMarginFactor;

    CDruckDat fitted = settings;
    FitColumnsToGrid(fitted);
    const std::vector<std::string> captions = GridCaptions();
    for (int column = 0; column < kGridColumnCount; ++column) {
        if (fitted.m_columnFlags[static_cast<std::size_t>(column)] != 0) {
            layout.columns.push_back(column);
            layout.titles.push_back(captions[static_cast<std::size_t>(column)]);
        }
    }
    const std::vector<int> rows =
        layout.columns.empty() ? std::vector<int>{} : RowsToPrint(pool, selectedRows);

    // Widths at the stored font sizes; each cell is measured once.
    const PrintFonts unscaled = MakeFonts(settings, 1.0);
    std::vector<int> widths;
    for (std::size_t k = 0; k < layout.columns.size(); ++k) {
        int width = measure(layout.titles[k], unscaled.title).width;
        for (int row : rows)
            width = std::max(
                width, measure(PrintedCellText(pool, row, layout.columns[k]), unscaled.cell).width);
        widths.push_back(width + kCellPadding);
    }
    int tableWidth = 0;
    for (int width : widths)
        tableWidth += width;
    const int printableWidth = pageWidth - layout.leftMargin - layout.rightMargin;
    if (printableWidth > 0 && tableWidth > printableWidth)
        layout.scale = static_cast<double>(printableWidth) / tableWidth;

    layout.fonts = MakeFonts(settings, layout.scale);
    layout.columnX.push_back(layout.leftMargin);
    for (int width : widths)
        layout.columnX.push_back(layout.columnX.back() + static_cast<int>(width * layout.scale));
    layout.textInset = static_cast<int>(kTextInset * layout.scale);

    const int h = measure("X", layout.fonts.cell).height;
    layout.rowHeight = h;
    layout.headerHeight = measure("X", layout.fonts.header).height + kHeaderGap;
    layout.titleTop = layout.topMargin + layout.headerHeight;
    layout.firstRowTop = layout.titleTop + h;
    const int tableHeight =
        pageHeight - layout.headerHeight - layout.topMargin - layout.bottomMargin;
    layout.rowsPerPage = std::max(1, tableHeight / (h + 1) - 1);

    std::size_t next = 0;
    do {
        PrintedPage page;
        const std::size_t end =
            std::min(rows.size(), next + static_cast<std::size_t>(layout.rowsPerPage));
        page.rows.assign(rows.begin() + static_cast<std::ptrdiff_t>(next),
                         rows.begin() + static_cast<std::ptrdiff_t>(end));
        page.tableBottom = layout.firstRowTop + static_cast<int>(page.rows.size()) * (h + 1);
        layout.pages.push_back(std::move(page));
        next = end;
    } while (next < rows.size());
    return layout;
}

} // namespace fw
