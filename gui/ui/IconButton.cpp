#include "gui/ui/IconButton.h"

#include <QKeyEvent>
#include <QStyle>

namespace fw {

CIconButton::CIconButton(QWidget* parent) : QPushButton(parent) {}

CIconButton::CIconButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

int CIconButton::SetIcon(const QIcon& icon, QSize size) {
    if (icon.isNull() || size.isEmpty()) {
        setIcon(QIcon());
        return 0;
    }
    setIconSize(size);
    setIcon(icon);
    return 1;
}

int CIconButton::SetCommandIcon(const QIcon& icon) {
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) * 3 / 2;
    return SetIcon(icon, QSize(side, side));
}

void CIconButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && plain) {
        // A held key would otherwise start the same command again and again.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace fw
