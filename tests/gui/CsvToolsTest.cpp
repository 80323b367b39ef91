#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

namespace fw {
namespace {

class CsvToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
        editor.Document().pool.SetRowFromLine(0, test::ProgramLine("A"));
        editor.Document().banks.Insert(1, {0}, -1);
        editor.Refresh();
    }
    void TearDown() override { SetLanguage(Language::English); }
    QAction* Entry(const char* name) const { return editor.ToolsMenu()->findChild<QAction*>(name); }
    // Answers the file dialog with path.
    void ChooseFile(ModalDriver& driver, const std::string& path) {
        driver.Then([path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();
        });
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    test::ScriptedInteraction& script = context.script;
    CDlgProgrammpool editor{context, nullptr};
};

TEST_F(CsvToolsTest, ToolsMenuExportsInTheSpreadsheetFormOfTheLanguage) {
    const QList<QAction*> actions = editor.ToolsMenu()->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions[actions.size() - 2], Entry("exportCsv"));
    EXPECT_EQ(actions.back()->text(), ResText(str::kEditorImportCsv));
    struct Case {
        Language language;
        std::string start;
    };
    for (const Case& c : {Case{Language::English, "Place,CA,Name,"},
                          Case{Language::German, "\xEF\xBB\xBFPlatz;CA;Name;"}}) {
        SetLanguage(c.language);
        const std::string path = folder.File(c.language == Language::German ? "de" : "en");
        ModalDriver driver(&editor);
        ChooseFile(driver, path);
        Entry("exportCsv")->trigger();
        ExpectAllAnswered(driver);
        const std::string csv = test::ReadBytes(path + ".csv");
        EXPECT_EQ(csv.substr(0, c.start.size()), c.start);
        EXPECT_NE(csv.find(c.language == Language::German ? ";F1:1\r\n" : ",F1:1\r\n"),
                  std::string::npos);
    }
}

TEST_F(CsvToolsTest, ImportAsksReplaceOrAddAndIsOneUndoStepWithAReport) {
    const std::string path = folder.File("in.csv");
    test::WriteBytes(path, "Name,Place,SID,Banks\r\nB,,1,F1\r\nC,0,2,\r\n");
    struct Case {
        Answer answer;
        std::string names; // of places 0 and 1
        int bank1;
        bool refused;
    };
    for (const Case& c : {Case{Answer::Cancel, "A,", 1, false}, Case{Answer::No, "A,B", 2, true},
                          Case{Answer::Yes, "C,B", 1, false}}) {
        script.answers = {c.answer};
        ModalDriver driver(&editor);
        ChooseFile(driver, path);
        QString report;
        if (c.answer != Answer::Cancel)
            driver.Then([&report](QWidget* modal) {
                auto* window = qobject_cast<ReportWindow*>(modal);
                ASSERT_NE(window, nullptr) << modal->metaObject()->className();
                report = window->Text();
                window->reject();
            });
        Entry("importCsv")->trigger();
        ExpectAllAnswered(driver);
        ASSERT_EQ(script.asked.size(), 1u);
        EXPECT_EQ(script.asked.back().answers, AnswerSet::YesNoCancel);
        script.asked.clear();
        const ProgramPool& pool = editor.Document().pool;
        EXPECT_EQ(pool.Cell(0, kFieldName) + "," + pool.Cell(1, kFieldName), c.names);
        EXPECT_EQ(editor.Document().banks.GetCount(1), c.bank1);
        if (c.answer == Answer::Cancel) {
            EXPECT_FALSE(editor.History().CanUndo());
            continue;
        }
        EXPECT_EQ(report.contains(ResText(str::kCsvAllTaken)), !c.refused) << report.toStdString();
        EXPECT_EQ(editor.History().UndoName(), str::kStepImportCsv);
        ASSERT_TRUE(editor.History().Undo(editor.Document()));
        EXPECT_FALSE(editor.History().CanUndo());
        editor.Refresh();
    }
}

} // namespace
} // namespace fw
