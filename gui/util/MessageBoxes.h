#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace fw {

// A numbered error of the string table, with the stop icon.
QMessageBox::StandardButton ShowError(QWidget* parent, int stringId);
QMessageBox::StandardButton ShowErrorText(QWidget* parent, const QString& text);
// A failed file or system operation: the text followed by the system's reason, warning icon.
void ShowLastError(QWidget* parent, const QString& text, const QString& reason);

} // namespace fw
