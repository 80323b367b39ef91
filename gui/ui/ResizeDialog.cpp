#include "gui/ui/ResizeDialog.h"

#include "core/config/ProfileFile.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QMargins>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <utility>

namespace fw {

namespace {
constexpr const char* kKeyWidth = "CX";
constexpr const char* kKeyHeight = "CY";
constexpr const char* kKeyLeft = "X";
constexpr const char* kKeyTop = "Y";
} // namespace

DialogPlacement PlaceOnDesktop(QRect stored, const QRect& desktop, const QMargins& frame) {
    DialogPlacement placement;
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const int width = std::min(stored.width(), desktop.width() - frameWidth);
    const int height = std::min(stored.height(), desktop.height() - frameHeight);
    if (width <= 0 || height <= 0)
        return placement;
    int x = stored.x() > desktop.right() ? desktop.left() : stored.x();
    int y = stored.y() > desktop.bottom() ? desktop.top() : stored.y();
    // The whole window on the desktop: its buttons sit at the bottom right.
    x = std::max(desktop.left(), std::min(x, desktop.right() + 1 - width - frameWidth));
    y = std::max(desktop.top(), std::min(y, desktop.bottom() + 1 - height - frameHeight));
    placement.position = QPoint(x, y);
    placement.size = QSize(width, height);
    placement.restored = true;
    return placement;
}

CResizeDialog::CResizeDialog(int templateId, std::string profilePath, QWidget* parent)
    : CToolTipDialog(parent), m_templateId(templateId), m_profilePath(std::move(profilePath)) {
    setSizeGripEnabled(true);
}

void CResizeDialog::SetInitialPlacement(int x, int y, int cx, int cy) {
    m_initial = QRect(x, y, cx, cy);
}

QString CResizeDialog::ProfileSection() const {
    return QString::number(m_templateId, 16);
}

QRect CResizeDialog::Desktop() const {
    if (m_desktopOverride.isValid())
        return m_desktopOverride;
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    // Without the panels, which would cover the buttons.
    return shown != nullptr ? shown->availableVirtualGeometry() : QRect();
}

void CResizeDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !m_sizeAtStart.isValid()) {
        // The designed size is the least one, as the layout gives it before any restore.
        setMinimumSize(size().expandedTo(minimumSizeHint()));
        RestoreGeometry();
        m_sizeAtStart = size();
    }
    CToolTipDialog::showEvent(event);
}

void CResizeDialog::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && m_sizeAtStart.isValid()) {
        StoreGeometry();
        m_sizeAtStart = QSize();
    }
    CToolTipDialog::hideEvent(event);
}

void CResizeDialog::RestoreGeometry() {
    ProfileFile profile;
    if (m_profilePath.empty() || !profile.Load(m_profilePath))
        return;
    const std::string section = ProfileSection().toStdString();
    const QRect stored(profile.GetInt(section, kKeyLeft, m_initial.x()),
                       profile.GetInt(section, kKeyTop, m_initial.y()),
                       profile.GetInt(section, kKeyWidth, m_initial.width()),
                       profile.GetInt(section, kKeyHeight, m_initial.height()));
    // The frame is known once a window manager has framed the window, so from the second show.
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const DialogPlacement placement =
        PlaceOnDesktop(stored, Desktop(),
                       QMargins(client.left() - frame.left(), client.top() - frame.top(),
                                frame.right() - client.right(), frame.bottom() - client.bottom()));
    if (!placement.restored)
        return;
    // Position of the frame and size of the client: the pair that move() and resize() take,
    // so a stored window opens exactly as it was closed instead of growing by its frame.
    move(placement.position);
    resize(placement.size.expandedTo(minimumSize()));
}

void CResizeDialog::StoreGeometry() {
    if (m_profilePath.empty() || size() == m_sizeAtStart)
        return;
    // Read again just before writing, so that nothing written meanwhile is lost.
    ProfileFile profile;
    std::string reason;
    if (!profile.Load(m_profilePath, reason))
        return;
    const std::string section = ProfileSection().toStdString();
    profile.WriteInt(section, kKeyWidth, width());
    profile.WriteInt(section, kKeyHeight, height());
    profile.WriteInt(section, kKeyLeft, pos().x());
    profile.WriteInt(section, kKeyTop, pos().y());
    // A window size is not worth a message box when upd.ini cannot be written.
    (void)profile.Save(reason);
}

} // namespace fw
