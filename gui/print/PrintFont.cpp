#include "gui/print/PrintFont.h"

#include "core/config/FontText.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fw {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kPointsPerInch = 72.0;
// The largest size Qt's font dialog takes; a stored height far beyond it would make the
// dialog render a sample of absurd size.
constexpr double kLargestDialogPoints = 512.0;

QFont WithoutSize(const LogFont& font) {
    QFont qfont(QString::fromStdString(font.faceName));
    if (font.weight > 0)
        qfont.setWeight(static_cast<QFont::Weight>(font.weight));
    qfont.setItalic(font.italic != 0);
    qfont.setUnderline(font.underline != 0);
    qfont.setStrikeOut(font.strikeOut != 0);
    // The same layout on paper, in the preview and in a PDF.
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

// The em of a font whose cell is this tall.
double EmOfCell(const QFont& font, double cellHeight) {
    QFont probe = font;
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    return cell > 0 ? cellHeight * 1000.0 / cell : cellHeight;
}

double EmPixels(const QFont& font, const LogFont& stored) {
    const std::int32_t height = HeightOrDefault(stored);
    return height < 0 ? -static_cast<double>(height) : EmOfCell(font, height);
}

} // namespace

QFont PrintFont(const LogFont& font) {
    QFont qfont = WithoutSize(font);
    qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(EmPixels(qfont, font)))));
    return qfont;
}

QFont ScreenFont(const LogFont& font) {
    QFont qfont = WithoutSize(font);
    const double points = EmPixels(qfont, font) * kPointsPerInch / kScreenDpi;
    qfont.setPointSizeF(std::clamp(points, 1.0, kLargestDialogPoints));
    // The dialog looks the style up by name; one it does not list shows as another.
    const QFontInfo printed(qfont);
    qfont.setFamily(printed.family());
    qfont.setStyleName(printed.styleName());
    qfont.setWeight(static_cast<QFont::Weight>(printed.weight()));
    qfont.setItalic(printed.italic());
    return qfont;
}

LogFont FromScreenFont(const QFont& chosen, const QFont& shown, const LogFont& before) {
    if (chosen == shown)
        return before;
    LogFont font = before;
    const double pixels = chosen.pointSizeF() > 0
                              ? chosen.pointSizeF() * kScreenDpi / kPointsPerInch
                              : static_cast<double>(chosen.pixelSize());
    font.height = -static_cast<std::int32_t>(std::lround(pixels));
    font.width = 0;
    font.weight = chosen.weight();
    font.italic = chosen.italic() ? 1 : 0;
    font.underline = chosen.underline() ? 1 : 0;
    font.strikeOut = chosen.strikeOut() ? 1 : 0;
    font.faceName = chosen.family().toStdString();
    return font;
}

QColor ColourFromStored(std::uint32_t stored) {
    return QColor(static_cast<int>(stored & 0xFF), static_cast<int>((stored >> 8) & 0xFF),
                  static_cast<int>((stored >> 16) & 0xFF));
}

std::uint32_t StoredColour(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8 |
           static_cast<std::uint32_t>(rgb.blue()) << 16;
}

} // namespace fw
