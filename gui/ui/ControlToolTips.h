#pragma once

class QWidget;

namespace fw {

// A control's object name is its control number; its tool tip is the string of that number.
void SetControlId(QWidget* control, int id);

// Gives every numbered descendant of root its tip, or clears the tips when on is false.
// A number without a string gets no tip.
void ApplyControlToolTips(QWidget* root, bool on);

} // namespace fw
