#include "gui/ui/ControlToolTips.h"

#include "gui/ui/Texts.h"

#include <QWidget>

namespace fw {

void SetControlId(QWidget* control, int id) {
    control->setObjectName(QString::number(id));
}

void ApplyControlToolTips(QWidget* root, bool on) {
    for (QWidget* child : root->findChildren<QWidget*>()) {
        bool isNumber = false;
        const int id = child->objectName().toInt(&isNumber);
        if (isNumber)
            child->setToolTip(on ? ResText(id) : QString());
    }
}

} // namespace fw
