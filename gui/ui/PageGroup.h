#pragma once

#include <QGroupBox>

namespace fw {

// A titled frame on a page. Every page's groups look alike: the title stands out in bold,
// the controls inside keep the normal font.
class PageGroup : public QGroupBox {
    Q_OBJECT
public:
    PageGroup(const QString& title, QWidget* parent = nullptr);
};

} // namespace fw
