#pragma once

#include "core/config/DruckDat.h"
#include "core/config/LogFont.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fw {

class ProgramPool;

struct TextSize {
    int width = 0;
    int height = 0;
};

// Measures a UTF-8 text in a font, in device units. Supplied by the front end over the
// device that is printed on; called only from LayOutPrint, on the caller's thread.
using MeasureText = std::function<TextSize(const std::string& text, const LogFont& font)>;

struct PrintFonts {
    LogFont cell;
    LogFont title;
    LogFont pageNumber;
    LogFont header;
};

struct PrintedPage {
    std::vector<int> rows; // pool rows, top to bottom
    int tableBottom = 0;   // y of the closing line, right under the last row
};

// Everything a page is painted from, in device units with the page's top left at (0, 0).
struct PrintLayout {
    PrintFonts fonts; // cell and title fonts already scaled
    int leftMargin = 0;
    int rightMargin = 0;
    int topMargin = 0;
    int bottomMargin = 0;
    double scale = 1.0;              // applied to the table only, so that it fits the width
    std::vector<int> columns;        // grid columns printed, in order
    std::vector<std::string> titles; // their captions
    std::vector<int> columnX;        // columns.size() + 1 edges, the first at the left margin
    int textInset = 0;               // text starts this far right of its cell's left edge
    int rowHeight = 0;               // of a cell and of the title row
    int headerHeight = 0;            // header line down to the title row
    int titleTop = 0;
    int firstRowTop = 0;
    int rowsPerPage = 1;
    std::vector<PrintedPage> pages; // never empty
};

// Stored title and flag lists of another length than the grid's columns are cut, or padded
// with the grid's captions and with "print".
void FitColumnsToGrid(CDruckDat& settings);

// A cell as printed, in UTF-8: the address for column 0, else the program field.
std::string PrintedCellText(const ProgramPool& pool, int row, int column);

// Without a selection every row up to the last one holding a program is printed; a
// selection prints its rows in grid order.
PrintLayout LayOutPrint(const ProgramPool& pool, const CDruckDat& settings,
                        const std::optional<std::vector<int>>& selectedRows, int pageWidth,
                        int pageHeight, const MeasureText& measure);

} // namespace fw
