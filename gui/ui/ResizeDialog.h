#pragma once

#include "gui/ui/ToolTipDialog.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <string>

namespace fw {

// Where a resizable dialog opens: the stored position and size (or the initial placement
// where nothing is stored), pulled onto the desktop so that the whole window with its frame
// is on it. A size of zero keeps the designed one. The position is the frame's, the size the
// client's.
struct DialogPlacement {
    QPoint position;
    QSize size;
    bool restored = false;
};
DialogPlacement PlaceOnDesktop(QRect stored, const QRect& desktop, const QMargins& frame = {});

// Base of the dialogs the user can resize. Layouts keep the controls anchored; this base keeps
// the designed size as the least size and remembers position and size per dialog in upd.ini,
// in a section named by the dialog's number in hex ("96" for 150).
class CResizeDialog : public CToolTipDialog {
    Q_OBJECT
public:
    CResizeDialog(int templateId, std::string profilePath, QWidget* parent = nullptr);

    // Defaults for the restore when upd.ini holds nothing for this dialog.
    void SetInitialPlacement(int x, int y, int cx, int cy);
    QString ProfileSection() const;
    // Tests put the desktop where they need it.
    void SetDesktopForTest(const QRect& desktop) { m_desktopOverride = desktop; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    QRect Desktop() const;

private:
    void RestoreGeometry();
    void StoreGeometry();

    int m_templateId;
    std::string m_profilePath;
    QRect m_initial;
    QRect m_desktopOverride;
    QSize m_sizeAtStart; // an invalid size while the window is not shown
};

} // namespace fw
