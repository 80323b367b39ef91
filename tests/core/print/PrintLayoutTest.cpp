#include "core/print/PrintLayout.h"

#include "core/lists/ProgramPool.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <ostream>

namespace fw {
namespace {

// Every character is as wide as the font is high, so widths are easy to work out by hand.
TextSize FakeMeasure(const std::string& text, const LogFont& font) {
    const int size = std::abs(font.height);
    return {static_cast<int>(text.size()) * size, size};
}

// Fonts of height 2 become 7 units on paper; margins 20 become 240.
CDruckDat Settings() {
    CDruckDat settings;
    settings.m_mainFont.height = 2;
    settings.m_headerFont.height = 2;
    settings.m_columnFlags.assign(kGridColumnCount, 1);
    settings.m_leftMargin = settings.m_rightMargin = 20;
    settings.m_topMargin = settings.m_bottomMargin = 20;
    return settings;
}

void FillRows(ProgramPool& pool, std::initializer_list<int> rows) {
    for (int row : rows)
        pool.SetCell(row, kFieldName, "N");
}

struct LayoutCase {
    const char* name = "";
    std::function<void(CDruckDat&, ProgramPool&)> setup = [](CDruckDat&, ProgramPool&) {};
    std::optional<std::vector<int>> selection = std::nullopt;
    int pageWidth = 5000;
    int pageHeight = 680;          // (680 - 57 - 480) / (7 + 2 * 6 + 1) - 1 = 6 rows a page
    std::vector<int> columns = {}; // empty: all twelve; {-1}: none
    std::vector<int> leadingWidths = {};
    int rowsPerPage = 6;
    std::vector<std::vector<int>> pages = {{}};
    double scale = 1.0;
};

// English captions: "Adr" 3, "Ca" 2, "Program name" 12 characters; padding 20.
const LayoutCase kCases[] = {
    {.name = "EmptyListPrintsOnePageWithTitles", .leadingWidths = {41, 34, 104}},
    {.name = "RowsUpToLastProgramWithGapsKept",
     .setup =
         [](CDruckDat&, ProgramPool& pool) {
             FillRows(pool, {0, 3, 7});
         },
     .pages = {{0, 1, 2, 3, 4, 5}, {6, 7}}},
    {.name = "UncheckedColumnTakesNoSpace",
     .setup =
         [](CDruckDat& s, ProgramPool& pool) {
             s.m_columnFlags[1] = 0;
             FillRows(pool, {0});
         },
     .columns = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     .leadingWidths = {41, 104},
     .pages = {{0}}},
    {.name = "WideCellWidensItsColumnOnEveryPage",
     .setup =
         [](CDruckDat&, ProgramPool& pool) {
             FillRows(pool, {0});
             pool.SetCell(9, kFieldName, std::string(30, 'W'));
         },
     .leadingWidths = {41, 34, 230},
     .pages = {{0, 1, 2, 3, 4, 5}, {6, 7, 8, 9}}},
    {.name = "SelectionPrintsItsRowsInGridOrder",
     .setup =
         [](CDruckDat&, ProgramPool& pool) {
             FillRows(pool, {0, 1, 2, 3, 4, 5, 6, 7, 8});
         },
     .selection = std::vector<int>{7, 2, 5, 2, -1, kPoolRows},
     .pages = {{2, 5, 7}}},
    {.name = "RoomForJustOneRowAPage",
     .setup = [](CDruckDat&, ProgramPool& pool) { FillRows(pool, {1}); },
     .pageHeight = 577, // 57 + 480 + 2 * 20
     .rowsPerPage = 1,
     .pages = {{0}, {1}}},
    {.name = "ShortFlagListIsPaddedWithPrint",
     .setup =
         [](CDruckDat& s, ProgramPool&) {
             s.m_columnFlags = {1, 0};
         },
     .columns = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    {.name = "LongFlagListIsCut",
     .setup = [](CDruckDat& s, ProgramPool&) { s.m_columnFlags.resize(15, 1); }},
    {.name = "NoCheckedColumnPrintsHeaderOnly",
     .setup =
         [](CDruckDat& s, ProgramPool& pool) {
             s.m_columnFlags.assign(kGridColumnCount, 0);
             FillRows(pool, {3});
         },
     .columns = {-1}},
    // The twelve captions are 56 characters: 392 + 12 * 20 = 632 units against 316 printable.
    // Cells come out 3 high with insets of 3, so (680 - 57 - 480) / 10 - 1 = 13 rows fit.
    {.name = "WideTableIsScaledToThePrintableWidth",
     .pageWidth = 796,
     .leadingWidths = {20, 17, 52},
     .rowsPerPage = 13,
     .scale = 0.5},
};

void PrintTo(const LayoutCase& layoutCase, std::ostream* out) {
    *out << layoutCase.name;
}

class PrintLayoutTest : public ::testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override { SetLanguage(Language::English); }
};

TEST_P(PrintLayoutTest, LaysOutTheTable) {
    const LayoutCase& c = GetParam();
    CDruckDat settings = Settings();
    ProgramPool pool;
    c.setup(settings, pool);
    const PrintLayout layout =
        LayOutPrint(pool, settings, c.selection, c.pageWidth, c.pageHeight, FakeMeasure);

    std::vector<int> columns = c.columns;
    if (columns.empty())
        for (int column = 0; column < kGridColumnCount; ++column)
            columns.push_back(column);
    else if (columns == std::vector<int>{-1})
        columns.clear();
    EXPECT_EQ(layout.columns, columns);
    ASSERT_EQ(layout.columnX.size(), columns.size() + 1);
    EXPECT_EQ(layout.columnX.front(), 240);
    EXPECT_EQ(layout.topMargin, 240);
    for (std::size_t k = 0; k < c.leadingWidths.size(); ++k)
        EXPECT_EQ(layout.columnX[k + 1] - layout.columnX[k], c.leadingWidths[k]) << "column " << k;
    EXPECT_LE(layout.columnX.back(), std::max(c.pageWidth - 240, 240));

    EXPECT_EQ(layout.problem, PrintProblem::None);
    EXPECT_DOUBLE_EQ(layout.scale, c.scale);
    EXPECT_EQ(layout.textInsetX, static_cast<int>(10 * c.scale));
    EXPECT_EQ(layout.rowHeight, static_cast<int>(7 * c.scale) + 2 * layout.textInsetY)
        << "room above and below the text";
    EXPECT_GT(layout.textInsetY, 0);
    EXPECT_EQ(layout.headerHeight, 57) << "the header is never scaled";
    EXPECT_EQ(layout.rowsPerPage, c.rowsPerPage);
    ASSERT_EQ(layout.pages.size(), c.pages.size());
    for (std::size_t p = 0; p < c.pages.size(); ++p) {
        EXPECT_EQ(layout.pages[p].rows, c.pages[p]) << "page " << p + 1;
        EXPECT_EQ(layout.pages[p].tableBottom,
                  layout.firstRowTop + static_cast<int>(c.pages[p].size()) * (layout.rowHeight + 1))
            << "the table closes right under the last row of page " << p + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintLayoutTest, ::testing::ValuesIn(kCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(PrintFontsTest, HeightsAndStylesOfTheDocumentStart) {
    CDruckDat settings = Settings();
    settings.m_mainFont.height = -13;
    settings.m_mainFont.weight = 400;
    settings.m_headerFont.height = 22;
    settings.m_headerFont.weight = 900;
    settings.m_headerFont.italic = settings.m_headerFont.underline = 1;
    const PrintFonts fonts =
        LayOutPrint(ProgramPool{}, settings, std::nullopt, 5000, 5000, FakeMeasure).fonts;
    EXPECT_EQ(fonts.cell.height, -45) << "truncated toward zero";
    EXPECT_EQ(fonts.cell.weight, 400);
    EXPECT_EQ(fonts.title.height, -45);
    EXPECT_EQ(fonts.title.weight, 900);
    EXPECT_EQ(fonts.title.italic, 1);
    EXPECT_EQ(fonts.header.height, 77);
    EXPECT_EQ(fonts.pageNumber.height, 66);
    EXPECT_EQ(fonts.pageNumber.weight, 400);
    EXPECT_EQ(fonts.pageNumber.italic, 0);
    EXPECT_EQ(fonts.pageNumber.underline, 0);

    settings.m_mainFont.height = 0;
    EXPECT_EQ(LayOutPrint(ProgramPool{}, settings, std::nullopt, 50000, 5000, FakeMeasure)
                  .fonts.cell.height,
              77)
        << "0 is the default height of 22, not one pixel";
}

// Settings that no page of 2480 x 3508 units (A4 at 300 dpi) can hold, nor any int overflow
// while working that out.
TEST(PrintProblemTest, SettingsWithoutRoomForOneRowAreRefusedNamingTheSetting) {
    SetLanguage(Language::English);
    const struct {
        const char* name;
        std::function<void(CDruckDat&)> change;
        PrintProblem problem;
    } cases[] = {
        {"usual settings", [](CDruckDat&) {}, PrintProblem::None},
        {"top margin past int range when times 12", [](CDruckDat& s) { s.m_topMargin = 178956971; },
         PrintProblem::TopBottomMargins},
        {"bottom margin INT_MIN", [](CDruckDat& s) { s.m_bottomMargin = INT_MIN; },
         PrintProblem::TopBottomMargins},
        {"margins together fill the page",
         [](CDruckDat& s) { s.m_topMargin = s.m_bottomMargin = 146; },
         PrintProblem::TopBottomMargins},
        {"margins leave no room below the header",
         [](CDruckDat& s) { s.m_topMargin = s.m_bottomMargin = 143; },
         PrintProblem::TopBottomMargins},
        {"negative margin beyond the page", [](CDruckDat& s) { s.m_topMargin = -300; },
         PrintProblem::TopBottomMargins},
        {"right margin INT_MAX", [](CDruckDat& s) { s.m_rightMargin = INT_MAX; },
         PrintProblem::LeftRightMargins},
        {"left and right margins fill the width",
         [](CDruckDat& s) { s.m_leftMargin = s.m_rightMargin = 104; },
         PrintProblem::LeftRightMargins},
        {"main font beyond 32 bits when times 3.5",
         [](CDruckDat& s) { s.m_mainFont.height = 600000001; }, PrintProblem::MainFont},
        {"main font INT_MIN", [](CDruckDat& s) { s.m_mainFont.height = INT_MIN; },
         PrintProblem::MainFont},
        {"header font INT_MAX", [](CDruckDat& s) { s.m_headerFont.height = INT_MAX; },
         PrintProblem::HeaderFont},
        {"header font leaves no room for rows", [](CDruckDat& s) { s.m_headerFont.height = -990; },
         PrintProblem::HeaderFont},
    };
    for (const auto& c : cases) {
        CDruckDat settings = Settings();
        c.change(settings);
        ProgramPool pool;
        FillRows(pool, {0, 1, 2});
        const PrintLayout layout =
            LayOutPrint(pool, settings, std::nullopt, 2480, 3508, FakeMeasure);
        EXPECT_EQ(layout.problem, c.problem) << c.name;
        EXPECT_EQ(layout.pages.empty(), c.problem != PrintProblem::None) << c.name;
        if (c.problem == PrintProblem::None) {
            EXPECT_GE(layout.rowsPerPage, 1) << c.name;
        }
    }
}

TEST(PrintProblemTest, MessagesNameTheSettingAndItsValue) {
    SetLanguage(Language::English);
    CDruckDat settings = Settings();
    settings.m_topMargin = 178956971;
    settings.m_leftMargin = -7;
    settings.m_headerFont.height = INT_MIN;
    settings.m_mainFont.height = 600000001;
    EXPECT_EQ(PrintProblemText(PrintProblem::TopBottomMargins, settings),
              "The top and bottom margins (UP=178956971, DOWN=20) leave no room on the page for "
              "one table row.");
    EXPECT_EQ(PrintProblemText(PrintProblem::LeftRightMargins, settings),
              "The left and right margins (LEFT=-7, RIGHT=20) leave no room on the page for the "
              "table.");
    EXPECT_NE(
        PrintProblemText(PrintProblem::HeaderFont, settings).find("(FONTHEAD, height -2147483648)"),
        std::string::npos);
    EXPECT_NE(
        PrintProblemText(PrintProblem::MainFont, settings).find("(FONTMAIN, height 600000001)"),
        std::string::npos);
    EXPECT_EQ(PrintProblemText(PrintProblem::None, settings), "");
}

TEST(FitColumnsToGridTest, CutsOrPadsTitlesAndFlags) {
    SetLanguage(Language::English);
    CDruckDat settings;
    settings.m_columnTitles = {"A", "B"};
    settings.m_columnFlags = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    FitColumnsToGrid(settings);
    ASSERT_EQ(settings.m_columnTitles.size(), std::size_t{kGridColumnCount});
    EXPECT_EQ(settings.m_columnTitles[1], "B");
    EXPECT_EQ(settings.m_columnTitles[2], "Program name");
    EXPECT_EQ(settings.m_columnFlags, std::vector<int>(kGridColumnCount, 0));
    settings.m_columnFlags = {0};
    FitColumnsToGrid(settings);
    EXPECT_EQ(settings.m_columnFlags[0], 0);
    EXPECT_EQ(settings.m_columnFlags[11], 1);
}

} // namespace
} // namespace fw
