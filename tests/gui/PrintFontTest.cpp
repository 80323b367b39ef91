#include "gui/print/PrintFont.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace fw {
namespace {

LogFont Arial(int height, int weight = 400) {
    LogFont font;
    font.height = height;
    font.weight = weight;
    font.faceName = "ARIAL";
    return font;
}

TEST(PrintFontTest, NegativeHeightsAreTheEmAndPositiveOnesTheCell) {
    EXPECT_EQ(PrintFont(Arial(-77)).pixelSize(), 77);
    const QFontMetrics cell(PrintFont(Arial(77)));
    EXPECT_NEAR(cell.ascent() + cell.descent(), 77, 2);
    EXPECT_LT(PrintFont(Arial(77)).pixelSize(), 77);
}

TEST(PrintFontTest, TheFontDialogRoundTripKeepsWhatQtCannotShow) {
    LogFont stored = Arial(-13, 700);
    stored.italic = 1;
    stored.underline = 1;
    stored.charSet = 238;
    stored.pitchAndFamily = 34;
    const QFont shown = ScreenFont(stored);
    EXPECT_DOUBLE_EQ(shown.pointSizeF(), 9.75);
    EXPECT_EQ(FromScreenFont(shown, stored), stored);
}

TEST(PrintFontTest, StoredColoursHoldRedInTheLowByte) {
    EXPECT_EQ(ColourFromStored(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColourFromStored(0x00FF8000), QColor(0, 128, 255));
    EXPECT_EQ(StoredColour(QColor(0, 128, 255)), 0x00FF8000u);
}

} // namespace
} // namespace fw
