#include "gui/ui/PageGroup.h"

namespace fw {

PageGroup::PageGroup(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
    // A group box hands its font down to its children; only the title is meant to be bold.
    setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
}

} // namespace fw
