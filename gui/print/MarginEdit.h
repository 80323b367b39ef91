#pragma once

#include "core/util/WholeNumber.h"

#include <QAbstractSpinBox>

namespace fw {

// A margin field with up/down arrows. Unlike a QSpinBox it has no range of its own, so it
// shows every stored number as it is, and it keeps whatever is typed: the dialog checks the
// text when it is confirmed and says what is wrong.
class MarginEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit MarginEdit(QWidget* parent = nullptr);

    void SetValue(int value);
    WholeNumber Value() const;

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;
};

} // namespace fw
