#include "core/print/PrintLayout.h"

#include "core/config/FontText.h"
#include "core/lists/ProgramPool.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/ColumnSpec.h"
#include "core/util/Cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace fw {

namespace {

constexpr std::int64_t kMarginFactor = 12;
constexpr double kTableFontFactor = 3.5;
constexpr double kHeaderFontFactor = 3.5;
constexpr double kPageNumberFontFactor = 3.0;
constexpr int kTextInsetX = 10;
constexpr int kTextInsetY = 6;
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
    const std::int32_t stored = HeightOrDefault(font);
    const int height = static_cast<int>(stored * factor);
    font.height = height != 0 ? height : (stored < 0 ? -1 : 1);
    return font;
}

PrintFonts MakeFonts(const CDruckDat& settings, double tableScale) {
    PrintFonts fonts;
    fonts.cell = WithHeight(settings.m_mainFont, kTableFontFactor * tableScale);
    fonts.title = fonts.cell;
    fonts.title.weight = 900;
    fonts.title.italic = 1;
    fonts.pageNumber = WithHeight(settings.m_headerFont, kPageNumberFontFactor);
    fonts.pageNumber.italic = 0;
    fonts.pageNumber.underline = 0;
    fonts.pageNumber.weight = 400;
    fonts.header = WithHeight(settings.m_headerFont, kHeaderFontFactor);
    return fonts;
}

// A font taller than the page is refused before anything is measured in it.
bool TallerThan(const LogFont& font, double factor, std::int64_t pageHeight) {
    return std::abs(static_cast<double>(HeightOrDefault(font))) * factor >=
           static_cast<double>(pageHeight);
}

// Stored numbers that no page can hold, in 64 bits so that none of them overflows.
PrintProblem CheckStoredNumbers(const CDruckDat& settings, std::int64_t pageWidth,
                                std::int64_t pageHeight) {
    const auto outside = [](std::int64_t first, std::int64_t second, std::int64_t page) {
        return first >= page || -first >= page || second >= page || -second >= page ||
               first + second >= page;
    };
    if (outside(settings.m_topMargin * kMarginFactor, settings.m_bottomMargin * kMarginFactor,
                pageHeight))
        return PrintProblem::TopBottomMargins;
    if (outside(settings.m_leftMargin * kMarginFactor, settings.m_rightMargin * kMarginFactor,
                pageWidth))
        return PrintProblem::LeftRightMargins;
    if (TallerThan(settings.m_headerFont, kHeaderFontFactor, pageHeight))
        return PrintProblem::HeaderFont;
    if (TallerThan(settings.m_mainFont, kTableFontFactor, pageHeight))
        return PrintProblem::MainFont;
    return PrintProblem::None;
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
    layout.problem = CheckStoredNumbers(settings, pageWidth, pageHeight);
    if (layout.problem != PrintProblem::None)
        return layout;
    // Each margin is now smaller than the page, so the products fit an int.
    layout.leftMargin = static_cast<int>(settings.m_leftMargin * kMarginFactor);
    layout.rightMargin = static_cast<int>(settings.m_rightMargin * kMarginFactor);
    layout.topMargin = static_cast<int>(settings.m_topMargin * kMarginFactor);
    layout.bottomMargin = static_cast<int>(settings.m_bottomMargin * kMarginFactor);

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
    std::int64_t tableWidth = 0;
    for (std::size_t k = 0; k < layout.columns.size(); ++k) {
        int width = measure(layout.titles[k], unscaled.title).width;
        for (int row : rows)
            width = std::max(
                width, measure(PrintedCellText(pool, row, layout.columns[k]), unscaled.cell).width);
        widths.push_back(width + 2 * kTextInsetX);
        tableWidth += widths.back();
    }
    const int printableWidth = pageWidth - layout.leftMargin - layout.rightMargin;
    if (tableWidth > printableWidth)
        layout.scale = static_cast<double>(printableWidth) / static_cast<double>(tableWidth);

    layout.fonts = MakeFonts(settings, layout.scale);
    layout.columnX.push_back(layout.leftMargin);
    for (int width : widths)
        layout.columnX.push_back(layout.columnX.back() + static_cast<int>(width * layout.scale));
    layout.textInsetX = static_cast<int>(kTextInsetX * layout.scale);
    layout.textInsetY = static_cast<int>(kTextInsetY * layout.scale);

    layout.rowHeight = measure("X", layout.fonts.cell).height + 2 * layout.textInsetY;
    layout.headerHeight = measure("X", layout.fonts.header).height + kHeaderGap;
    layout.titleTop = layout.topMargin + layout.headerHeight;
    layout.firstRowTop = layout.titleTop + layout.rowHeight;
    // Rows are one unit apart for the ruled line; the title row counts as one of them.
    const int pitch = layout.rowHeight + 1;
    const auto rowsBelowHeader = [&](std::int64_t margins) {
        return (pageHeight - layout.headerHeight - margins) / pitch - 1;
    };
    const std::int64_t rowsPerPage =
        rowsBelowHeader(std::int64_t{layout.topMargin} + layout.bottomMargin);
    if (rowsPerPage < 1) {
        PrintLayout refused;
        if (rowsBelowHeader(0) >= 1)
            refused.problem = PrintProblem::TopBottomMargins;
        else
            refused.problem =
                layout.headerHeight > 2 * pitch ? PrintProblem::HeaderFont : PrintProblem::MainFont;
        return refused;
    }
    layout.rowsPerPage = static_cast<int>(rowsPerPage);

    std::size_t next = 0;
    do {
        PrintedPage page;
        const std::size_t end =
            std::min(rows.size(), next + static_cast<std::size_t>(layout.rowsPerPage));
        page.rows.assign(rows.begin() + static_cast<std::ptrdiff_t>(next),
                         rows.begin() + static_cast<std::ptrdiff_t>(end));
        page.tableBottom = layout.firstRowTop + static_cast<int>(page.rows.size()) * pitch;
        layout.pages.push_back(std::move(page));
        next = end;
    } while (next < rows.size());
    return layout;
}

std::string PrintProblemText(PrintProblem problem, const CDruckDat& settings) {
    using std::to_string;
    switch (problem) {
    case PrintProblem::TopBottomMargins:
        return FormatText(LoadResString(str::kPrintTopBottomMarginsTooLarge),
                          {to_string(settings.m_topMargin), to_string(settings.m_bottomMargin)});
    case PrintProblem::LeftRightMargins:
        return FormatText(LoadResString(str::kPrintLeftRightMarginsTooLarge),
                          {to_string(settings.m_leftMargin), to_string(settings.m_rightMargin)});
    case PrintProblem::HeaderFont:
        return FormatText(LoadResString(str::kPrintHeaderFontTooLarge),
                          {to_string(settings.m_headerFont.height)});
    case PrintProblem::MainFont:
        return FormatText(LoadResString(str::kPrintMainFontTooLarge),
                          {to_string(settings.m_mainFont.height)});
    case PrintProblem::None:
        break;
    }
    return {};
}

} // namespace fw
