#pragma once

#include <QIcon>
#include <QPushButton>
#include <QSize>

namespace fw {

// The pages' command buttons: an icon beside a caption with its "&" mnemonic, drawn by the
// platform's style. The icon's disabled mode gives the disabled look. Enter clicks the button
// that has the focus, also outside a dialog where Qt would ignore it.
class CIconButton : public QPushButton {
    Q_OBJECT
public:
    explicit CIconButton(QWidget* parent = nullptr);
    CIconButton(const QString& caption, QWidget* parent = nullptr);

    // 1 when the button now shows the icon; 0 for a null icon or an empty size, and then the
    // button shows none (never a half-set icon).
    int SetIcon(const QIcon& icon, QSize size);
    // The icon at the size the commands of every page share.
    int SetCommandIcon(const QIcon& icon);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace fw
