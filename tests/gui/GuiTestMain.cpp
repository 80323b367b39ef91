#include "app/QtLanguage.h"
#include "core/res/StringTable.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Widget tests need one application object for the whole run, no display, and texts in a
// known language unless a run asks for another.
int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (std::getenv("FLASHWERK_LANG") == nullptr)
        fw::SetLanguage(fw::Language::English);
    fw::PointSystemLocaleAt(fw::CurrentLanguage());
    QApplication application(argc, argv);
    fw::InstallQtTranslations(fw::CurrentLanguage());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
