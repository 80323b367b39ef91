#pragma once

#include <QWidget>

namespace fw {

// A sheet of paper with its margins, drawn in the colours of the palette so that it reads on
// light and dark desktops alike; the margin fields stand around it.
class PagePicture : public QWidget {
    Q_OBJECT
public:
    explicit PagePicture(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace fw
