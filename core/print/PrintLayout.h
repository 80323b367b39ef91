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

// What keeps print settings from being laid out on a page: the setting to change.
enum class PrintProblem { None, TopBottomMargins, LeftRightMargins, HeaderFont, MainFont };

// Everything a page is painted from, in device units with the page's top left at (0, 0).
struct PrintLayout {
    PrintProblem problem = PrintProblem::None; // when set, nothing else is filled in
    PrintFonts fonts;                          // cell and title fonts already scaled
    int leftMargin = 0;
    int rightMargin = 0;
    int topMargin = 0;
    int bottomMargin = 0;
    double scale = 1.0;              // applied to the table only, so that it fits the width
    std::vector<int> columns;        // grid columns printed, in order
    std::vector<std::string> titles; // their captions
    std::vector<int> columnX;        // columns.size() + 1 edges, the first at the left margin
    int textInsetX = 0;              // between a cell's text and its left and right edges
    int textInsetY = 0;              // between a cell's text and its top and bottom edges
    int rowHeight = 0;               // of a cell and of the title row, insets included
    int headerHeight = 0;            // header line down to the title row
    int titleTop = 0;
    int firstRowTop = 0;
    int rowsPerPage = 1;
    std::vector<PrintedPage> pages; // at least one, unless there is a problem
};

// Stored title and flag lists of another length than the grid's columns are cut, or padded
// with the grid's captions and with "print".
void FitColumnsToGrid(CDruckDat& settings);

// A cell as printed, in UTF-8: the address for column 0, else the program field.
std::string PrintedCellText(const ProgramPool& pool, int row, int column);

// Without a selection every row up to the last one holding a program is printed; a
// selection prints its rows in grid order. Settings that leave no room for one table row (or
// whose numbers are beyond any page) give a layout with only its problem set; nothing is
// measured then.
PrintLayout LayOutPrint(const ProgramPool& pool, const CDruckDat& settings,
                        const std::optional<std::vector<int>>& selectedRows, int pageWidth,
                        int pageHeight, const MeasureText& measure);

// The message that refuses the settings, naming the setting and its stored value.
std::string PrintProblemText(PrintProblem problem, const CDruckDat& settings);

} // namespace fw
