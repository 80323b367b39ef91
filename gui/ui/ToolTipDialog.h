#pragma once

#include <QDialog>

namespace fw {

// Base of dialogs whose numbered controls carry the string of their number as tool tip.
// The tips are always on: the TOOLTIPS option switches only the pages' tips.
class CToolTipDialog : public QDialog {
    Q_OBJECT
public:
    explicit CToolTipDialog(QWidget* parent = nullptr);

    // Derived dialogs that add numbered controls after the dialog is shown call this again.
    void ApplyToolTips();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace fw
