// Qt's own dialogs in the program's language. The suite runs it in English; its own entry runs
// it under LANG=C FLASHWERK_LANG=de, where Qt's system locale would otherwise say English.
#include "core/res/StringTable.h"

#include "tests/support/FileTestSupport.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace fw {
namespace {

TEST(QtLanguageTest, FileDialogAndButtonsSpeakTheProgramLanguage) {
    const bool german = CurrentLanguage() == Language::German;
    test::TempDir dir;
    const std::string file = dir.File("Astra.lst");
    test::WriteBytes(file, "x");
    std::tm march{};
    march.tm_year = 2024 - 1900;
    march.tm_mon = 2;
    march.tm_mday = 15;
    march.tm_hour = 12;
    march.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&march), 0}, {std::mktime(&march), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    QFileDialog dialog(nullptr, QString(), QString::fromStdString(dir.Path().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.show();
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait());

    const QModelIndex date = model->index(QString::fromStdString(file)).siblingAtColumn(3);
    EXPECT_EQ(date.data().toString().startsWith("15.03.24"), german)
        << date.data().toString().toStdString();
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(),
              german ? QStringLiteral("Änderungsdatum") : QStringLiteral("Date Modified"));

    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(),
              german ? QStringLiteral("&Ja") : QStringLiteral("&Yes"));
}

} // namespace
} // namespace fw
