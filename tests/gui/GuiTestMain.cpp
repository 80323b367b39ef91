#include "app/QtLanguage.h"
#include "core/res/StringTable.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// All tests share one process: a window one test leaves open would take the next test's
// clicks and questions. The test that left it fails, and the window goes out of the way.
class WindowsLeftOpenCheck : public ::testing::EmptyTestEventListener {
    static constexpr const char* kReported = "leftOpenReported";

    void OnTestEnd(const ::testing::TestInfo&) override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->property(kReported).toBool())
                continue;
            window->setProperty(kReported, true);
            ADD_FAILURE() << "a window outlived the test: " << window->metaObject()->className()
                          << " \"" << window->windowTitle().toStdString() << "\"";
            window->hide();
        }
    }
};

} // namespace

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
    ::testing::UnitTest::GetInstance()->listeners().Append(new WindowsLeftOpenCheck);
    return RUN_ALL_TESTS();
}
