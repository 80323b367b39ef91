#pragma once

#include "core/res/StringTable.h"

namespace fw {

// Qt's own dialogs (the file dialog's dates, sizes and column titles, the standard buttons)
// in the program's language, also when FLASHWERK_LANG chose one against the system locale.

// Before the QApplication exists: Qt takes the system locale from the environment once, so the
// locale categories it reads are pointed at the chosen language where they say another.
void PointSystemLocaleAt(Language language);

// Once the QApplication exists: the default locale and Qt's translations. The translator
// lives as long as the application.
void InstallQtTranslations(Language language);

} // namespace fw
