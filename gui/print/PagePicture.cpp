#include "gui/print/PagePicture.h"

#include <QPainter>
#include <QPainterPath>

namespace fw {

namespace {
// A4 stands 297 to 210.
constexpr double kPageAspect = 297.0 / 210.0;
} // namespace

PagePicture::PagePicture(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PagePicture::sizeHint() const {
    const int width = fontMetrics().height() * 4;
    return {width, static_cast<int>(width * kPageAspect)};
}

void PagePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const double corner = sheet.width() / 5;

    // The sheet with its top right corner folded down.
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - corner, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + corner);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    painter.setPen(QPen(palette().color(QPalette::Text), 1.2));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawPath(outline);
    QPainterPath fold;
    fold.moveTo(sheet.right() - corner, sheet.top());
    fold.lineTo(sheet.right() - corner, sheet.top() + corner);
    fold.lineTo(sheet.right(), sheet.top() + corner);
    painter.setBrush(palette().color(QPalette::Mid));
    painter.drawPath(fold);

    // The printable area inside the margins, and lines of text in it.
    const double margin = sheet.width() / 7;
    const QRectF printable = sheet.adjusted(margin, margin + corner / 2, -margin, -margin);
    QPen dashes(palette().color(QPalette::Highlight), 1.0, Qt::DashLine);
    painter.setPen(dashes);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(printable);
    QColor ink = palette().color(QPalette::Text);
    ink.setAlphaF(0.45);
    painter.setPen(QPen(ink, 1.0));
    const double spacing = printable.height() / 9;
    for (int line = 1; line < 9; ++line) {
        const double y = printable.top() + line * spacing;
        // Every third line ends early, as a paragraph does.
        const double right =
            line % 3 == 0 ? printable.center().x() : printable.right() - spacing / 2;
        painter.drawLine(QPointF(printable.left() + spacing / 2, y), QPointF(right, y));
    }
}

} // namespace fw
