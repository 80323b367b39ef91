#pragma once

#include <QString>

class QWidget;

namespace fw {

class UserInteraction;

// Qt's file dialogs as the program's tools use them.

// A file to write: the dialog opens on suggestedPath; suffix (".csv") is added when the name
// lacks it, and an existing file is replaced only after the question. Empty when cancelled.
QString AskSavePath(QWidget* owner, UserInteraction& interaction, const QString& title,
                    const QString& suggestedPath, const QString& filter, const QString& suffix);

// An existing file to read, the dialog opening in folder. Empty when cancelled.
QString AskOpenPath(QWidget* owner, const QString& title, const QString& folder,
                    const QString& filter);

} // namespace fw
