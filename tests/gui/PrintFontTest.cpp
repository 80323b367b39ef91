#include "gui/print/PrintFont.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <climits>

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

TEST(PrintFontTest, HeightZeroIsTheDefaultSizeAndAHugeOneShowsAsTheDialogsLargest) {
    EXPECT_EQ(PrintFont(Arial(0)).pixelSize(), PrintFont(Arial(22)).pixelSize());
    EXPECT_GT(PrintFont(Arial(0)).pixelSize(), 1);
    EXPECT_DOUBLE_EQ(ScreenFont(Arial(0)).pointSizeF(), ScreenFont(Arial(22)).pointSizeF());
    EXPECT_DOUBLE_EQ(ScreenFont(Arial(INT_MIN)).pointSizeF(), 512.0);
}

TEST(PrintFontTest, AnUnchangedChoiceKeepsTheStoredFontAndAChangedOneKeepsWhatQtCannotShow) {
    LogFont stored = Arial(22, 900);
    stored.italic = 1;
    stored.charSet = 238;
    stored.pitchAndFamily = 34;
    const QFont shown = ScreenFont(stored);
    EXPECT_EQ(FromScreenFont(shown, shown, stored), stored);

    QFont chosen = shown;
    chosen.setItalic(false);
    chosen.setPointSizeF(9.75);
    const LogFont changed = FromScreenFont(chosen, shown, stored);
    EXPECT_EQ(changed.italic, 0);
    EXPECT_EQ(changed.height, -13);
    EXPECT_EQ(changed.faceName, shown.family().toStdString());
    EXPECT_EQ(changed.charSet, 238);
    EXPECT_EQ(changed.pitchAndFamily, 34);
}

TEST(PrintFontTest, StoredColoursHoldRedInTheLowByte) {
    EXPECT_EQ(ColourFromStored(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColourFromStored(0x00FF8000), QColor(0, 128, 255));
    EXPECT_EQ(StoredColour(QColor(0, 128, 255)), 0x00FF8000u);
}

} // namespace
} // namespace fw
