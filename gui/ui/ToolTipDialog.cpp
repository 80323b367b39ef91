#include "gui/ui/ToolTipDialog.h"

#include "gui/ui/ControlToolTips.h"

namespace fw {

CToolTipDialog::CToolTipDialog(QWidget* parent) : QDialog(parent) {
    // Tips also while another window is active, as the dialogs always promised.
    setAttribute(Qt::WA_AlwaysShowToolTips);
}

void CToolTipDialog::ApplyToolTips() {
    ApplyControlToolTips(this, true);
}

void CToolTipDialog::showEvent(QShowEvent* event) {
    // Derived constructors build their controls after this base, so the tips wait for the show.
    ApplyToolTips();
    QDialog::showEvent(event);
}

} // namespace fw
