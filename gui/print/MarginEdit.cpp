#include "gui/print/MarginEdit.h"

#include <QLineEdit>

#include <climits>

namespace fw {

MarginEdit::MarginEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setAccelerated(true);
}

QSize MarginEdit::sizeHint() const {
    // Room for the widest number a margin can hold.
    QSize size = QAbstractSpinBox::sizeHint();
    size.rwidth() += fontMetrics().horizontalAdvance(QString::number(INT_MIN));
    return size;
}

QSize MarginEdit::minimumSizeHint() const {
    return sizeHint();
}

void MarginEdit::SetValue(int value) {
    lineEdit()->setText(QString::number(value));
}

WholeNumber MarginEdit::Value() const {
    return ParseWholeNumber(text().toStdString());
}

void MarginEdit::stepBy(int steps) {
    const WholeNumber current = Value();
    if (current.status != WholeNumberStatus::Ok)
        return;
    SetValue(StepWholeNumber(current.value, steps));
    selectAll();
}

QAbstractSpinBox::StepEnabled MarginEdit::stepEnabled() const {
    const WholeNumber current = Value();
    if (current.status != WholeNumberStatus::Ok)
        return StepNone;
    StepEnabled enabled = StepNone;
    if (current.value < INT_MAX)
        enabled |= StepUpEnabled;
    if (current.value > INT_MIN)
        enabled |= StepDownEnabled;
    return enabled;
}

} // namespace fw
