#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/editor/EditorStatus.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/favourites/DlgFavoriten.h"
#include "gui/favourites/FavListCtrl.h"
#include "gui/lists/DlgProgrammpool.h"
#include "gui/lists/PoolListCtrl.h"
#include "gui/lists/PoolModel.h"
#include "gui/ui/ResizeDialog.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fw {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = test::NumberedProgram(1);

TEST(ResizeDialogPlacementTest, StoredGeometryIsPulledOntoTheDesktop) {
    const QRect desktop(0, 0, 1280, 1024);
    struct Case {
        QRect stored;
        bool restored;
        QPoint position;
        QSize size;
    };
    const QMargins frame(4, 30, 4, 4);
    // The whole window stays on the desktop, so its buttons at the bottom right can be reached.
    const Case cases[] = {
        {QRect(10, 20, 2000, 600), true, QPoint(0, 20), QSize(1272, 600)},
        {QRect(1500, 20, 600, 2000), true, QPoint(0, 0), QSize(600, 990)},
        {QRect(10, 1100, 600, 400), true, QPoint(10, 0), QSize(600, 400)},
        {QRect(900, 700, 600, 400), true, QPoint(672, 590), QSize(600, 400)},
        {QRect(-50, -9, 600, 400), true, QPoint(0, 0), QSize(600, 400)},
        {QRect(10, 20, 0, 400), false, {}, {}}, // nothing stored: the designed size stays
    };
    for (const Case& c : cases) {
        const DialogPlacement placement = PlaceOnDesktop(c.stored, desktop, frame);
        EXPECT_EQ(placement.restored, c.restored);
        if (c.restored) {
            EXPECT_EQ(placement.position, c.position);
            EXPECT_EQ(placement.size, c.size);
        }
    }
    EXPECT_EQ(CDlgProgrammpool::SideBySide(QRect(0, 0, 1024, 768)),
              std::make_pair(QRect(24, 0, 655, 668), QRect(679, 0, 320, 668)));
    EXPECT_EQ(CDlgProgrammpool::SideBySide(QRect(0, 0, 800, 600)),
              std::make_pair(QRect(), QRect()));
    // Wide enough for every column where the desktop leaves room beside the favourites.
    EXPECT_EQ(CDlgProgrammpool::SideBySide(QRect(0, 0, 1920, 1080), 900),
              std::make_pair(QRect(350, 0, 900, 980), QRect(1250, 0, 320, 980)));
    EXPECT_EQ(CDlgProgrammpool::SideBySide(QRect(0, 0, 1024, 768), 900).first.width(), 704);
}

TEST(ResizeDialogTest, RemembersOnlyAResizedWindowAndReopensItAsItWas) {
    test::TempDir folder;
    const std::string profile = folder.Path().string() + "/upd.ini";
    test::WriteBytes(profile, "[OPTIONEN]\nSPRACHE=1\n");
    {
        CResizeDialog dialog(150, profile);
        dialog.resize(300, 200); // the designed size
        dialog.show();
        dialog.hide();
    }
    EXPECT_EQ(test::ReadBytes(profile), "[OPTIONEN]\nSPRACHE=1\n")
        << "nothing resized, nothing written";

    QPoint position;
    {
        CResizeDialog dialog(150, profile);
        dialog.resize(300, 200); // the designed size
        dialog.show();
        dialog.resize(200, 100);
        EXPECT_EQ(dialog.size(), QSize(300, 200)) << "never smaller than designed";
        dialog.resize(420, 280);
        dialog.move(40, 30);
        position = dialog.pos();
        dialog.hide();
    }
    ProfileFile stored;
    ASSERT_TRUE(stored.Load(profile));
    const int width = stored.GetInt("96", "CX", 0);
    EXPECT_EQ(width, 420);
    EXPECT_EQ(stored.GetString("OPTIONEN", "SPRACHE", ""), "1");

    for (int run = 0; run < 2; ++run) { // the same size at every run, never growing
        CResizeDialog dialog(150, profile);
        dialog.resize(300, 200); // the designed size
        dialog.show();
        EXPECT_EQ(dialog.width(), width);
        EXPECT_EQ(dialog.pos(), position);
        dialog.resize(dialog.width() + 1, dialog.height());
        dialog.resize(dialog.width() - 1, dialog.height());
        dialog.hide();
    }
}

class ProgrammpoolDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(CreateDataFolders(folders, reason)) << reason;
    }
    std::string ListPath(const std::string& name) const { return folders.lists + "/" + name; }
    static QLineEdit* Edit(const QWidget& dialog, int id) {
        return dialog.findChild<QLineEdit*>(QString::number(id));
    }
    static std::string Caption() {
        return DialogText(CDlgProgrammpool::kDialogId, "caption").toStdString();
    }
    static QRadioButton* Radio(const QWidget& dialog, int id) {
        return dialog.findChild<QRadioButton*>(QString::number(id));
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    test::ScriptedInteraction& script = context.script;
};

TEST_F(ProgrammpoolDialogTest, FavouritesButtonBringsTheWindowForwardAndItFollowsTheEditor) {
    CDlgProgrammpool editor(context, nullptr);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    CDlgFavoriten* favourites = editor.Favourites();
    auto* button = editor.findChild<QPushButton*>(QString::number(ids::pool::kFavourites));
    // The favourites window shares the editor's activation (it is the editor's dialog), so
    // waiting for it to be active would wait for nothing.
    const auto inFront = [](QWidget* window) {
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
    };
    const auto activate = [&inFront](QWidget* window) {
        window->activateWindow();
        return inFront(window);
    };
    for (const char* state : {"closed", "open behind the editor"}) {
        ASSERT_TRUE(activate(&editor));
        button->click();
        ASSERT_TRUE(inFront(favourites)) << state;
        favourites->Tabs()->setCurrentIndex(3);
        EXPECT_TRUE(favourites->List(3)->hasFocus()) << state;
    }

    ASSERT_TRUE(activate(&editor));
    const QPoint beside = favourites->pos();
    EXPECT_TRUE(favourites->FollowsEditor()) << "coming to the front is no move of the user's";
    editor.move(editor.pos() + QPoint(30, 20));
    EXPECT_EQ(favourites->pos(), beside + QPoint(30, 20)) << "moves along";
    ASSERT_TRUE(activate(favourites));
    favourites->move(favourites->pos() + QPoint(-50, 0));
    QCoreApplication::processEvents(); // the window system's answer to the user's move
    const QPoint own = favourites->pos();
    EXPECT_FALSE(favourites->FollowsEditor());
    ASSERT_TRUE(activate(&editor));
    editor.move(editor.pos() + QPoint(10, 10));
    EXPECT_EQ(favourites->pos(), own) << "the user's own place stays";
    favourites->hide();
}

TEST_F(ProgrammpoolDialogTest, OpensAListAndShowsItsHeader) {
    test::WriteBytes(ListPath("old.lst"),
                     test::ListHead("NDEF", "Astra") + kProgram + "\r\nBANK0:\r\n0\r\n");
    CListenDat record({"NDEF", "Astra", ListPath("old.lst"), "old.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    EXPECT_FALSE(dialog.LoadFailed());
    EXPECT_EQ(Edit(dialog, ids::pool::kFileName)->text(), "old.lst");
    EXPECT_EQ(Edit(dialog, ids::pool::kDescription)->text(), "Astra");
    EXPECT_FALSE(Radio(dialog, ids::pool::kRadio)->isChecked());
    EXPECT_FALSE(Radio(dialog, ids::pool::kTv)->isChecked());
    EXPECT_EQ(dialog.Grid()->model()->index(0, 2).data().toString(), "TV 1");
    EXPECT_EQ(dialog.Document().banks.GetAddress(0, 0), 0);
    EXPECT_FALSE(dialog.History().CanUndo());
}

TEST_F(ProgrammpoolDialogTest, FavouritesWindowOpensBesideAndSharesTheDocument) {
    test::WriteBytes(ListPath("two.lst"), test::ListHead("TV", "Two") + kProgram + "\r\n" +
                                              kProgram + "\r\nBANK0:\r\n0\r\n");
    CListenDat record({"TV", "Two", ListPath("two.lst"), "two.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    CDlgFavoriten* favourites = dialog.Favourites();
    ASSERT_NE(favourites, nullptr);
    QTimer::singleShot(0, &dialog, [&] {
        // The favourites window comes up with the editor.
        QTimer::singleShot(0, &dialog, [&] {
            EXPECT_TRUE(favourites->isVisible());
            CPoolListCtrl* grid = dialog.Grid();
            auto centre = [grid](int row, int column) {
                return grid->visualRect(grid->model()->index(row, column)).center();
            };
            grid->selectRow(1);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre(1, 0));
            EXPECT_EQ(dialog.Document().banks.GetCount(0), 2) << "added to the bank on display";
            EXPECT_EQ(favourites->List(0)->model()->index(1, 1).data().toString(), "TV 1");
            EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "1 =");

            favourites->findChild<QTabWidget*>()->setCurrentIndex(4);
            EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "1")
                << "the marks follow the tab";
            favourites->resize(favourites->width() + 30, favourites->height());
            dialog.done(QDialog::Rejected);
        });
    });
    test::WriteBytes(folders.profile, "");
    dialog.exec();
    EXPECT_FALSE(favourites->isVisible());
    ProfileFile stored;
    ASSERT_TRUE(stored.Load(folders.profile));
    EXPECT_EQ(stored.GetInt("cc", "CX", 0), favourites->width())
        << "the favourites window's geometry is kept when the editor closes";
}

TEST_F(ProgrammpoolDialogTest, ListWhoseSaveWouldLoseDataWarnsOnOpening) {
    // 4002 program lines, two of them with a twelfth field: both losses are named.
    std::string text = test::ListHead("TV", "Long");
    for (int i = 0; i < 4002; ++i)
        text += kProgram + (i == 5 || i == 9 ? "\textra" : "") + "\r\n";
    test::WriteBytes(ListPath("long.lst"), text);
    CListenDat record({"TV", "Long", ListPath("long.lst"), "long.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    EXPECT_EQ(script.shown, (std::vector<std::string>{
                                FormatText(LoadResString(str::kLinesPastLastPlace), {"2"}),
                                FormatText(LoadResString(str::kTextPastLastField), {"2"})}));
    EXPECT_EQ(dialog.Document().pool.LastUsedRow(), 3999);
}

TEST_F(ProgrammpoolDialogTest, CloseBoxAsksOnlyAfterChangesAndCanGoBack) {
    struct Case {
        QString fileName;
        bool changed;
        Answer answer;
        bool messageAfter; // our own message about the empty name
        bool closed;
        bool written;
    };
    const Case cases[] = {
        {"", true, Answer::Yes, true, false, false},
        {"new", true, Answer::No, false, true, false},
        {"new", true, Answer::Yes, false, true, true},
        {"new", true, Answer::Cancel, false, false, false},
        {"new", false, Answer::Yes, false, true, false},
    };
    for (const Case& c : cases) {
        fs::remove(ListPath("new.lst"));
        CDlgProgrammpool dialog(context, nullptr);
        dialog.show();
        Edit(dialog, ids::pool::kFileName)->setText(c.fileName);
        if (c.changed)
            Radio(dialog, ids::pool::kTv)->click();
        script.shown.clear();
        script.asked.clear();
        script.answers = {c.answer};
        dialog.close();
        std::vector<std::string> expected;
        if (c.changed)
            expected.push_back(LoadResString(str::kAskSaveList));
        if (c.messageAfter)
            expected.push_back(LoadResString(str::kEnterFileName));
        EXPECT_EQ(script.shown, expected) << c.fileName.toStdString();
        if (c.changed) {
            EXPECT_EQ(script.asked.at(0).answers, AnswerSet::YesNoCancel);
        }
        EXPECT_EQ(dialog.isVisible(), !c.closed) << c.fileName.toStdString();
        EXPECT_EQ(fs::exists(ListPath("new.lst")), c.written);
        if (c.written) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.FileName(), "new.lst");
            EXPECT_NE(test::ReadBytes(ListPath("new.lst")).find("HEADER:\tTV\tNDEF\r\n"),
                      std::string::npos);
        }
        dialog.done(QDialog::Rejected);
    }
}

// The answers themselves are the core's; here: the name proposed for "Save under another name".
TEST_F(ProgrammpoolDialogTest, AListChangedOnDiskCanBeSavedUnderAProposedName) {
    const std::string path = ListPath("mine.lst");
    const std::string theirs = test::ListHead("TV", "Theirs") + kProgram + "\r\n";
    test::WriteBytes(path, test::ListHead("TV", "Mine") + kProgram + "\r\n");
    CListenDat record({"TV", "Mine", path, "mine.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    test::WriteBytes(path, theirs);
    script.answers = {Answer::No};
    EXPECT_FALSE(dialog.Save());
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].noText, "Save under another name");
    EXPECT_EQ(Edit(dialog, ids::pool::kFileName)->text(), "mine-2.lst");
    EXPECT_TRUE(dialog.Save());
    EXPECT_EQ(script.asked.size(), 1u) << "a new name asks nothing";
    EXPECT_EQ(test::ReadBytes(path), theirs);
    EXPECT_NE(test::ReadBytes(ListPath("mine-2.lst")).find("\tMine\r\n"), std::string::npos);
}

TEST_F(ProgrammpoolDialogTest, CancelAndEscapeAskBeforeDiscardingChanges) {
    test::WriteBytes(ListPath("old.lst"), test::ListHead("TV", "Astra") + kProgram + "\r\n");
    CListenDat record({"TV", "Astra", ListPath("old.lst"), "old.lst", "0"});
    const std::string question = FormatText(LoadResString(str::kAskDiscardChanges), {"old.lst"});
    struct Case {
        const char* how;
        std::function<void(CDlgProgrammpool&)> edit;
        Answer answer;
        bool asked;
    };
    const auto rename = [](CDlgProgrammpool& d) {
        d.Grid()->BeginEdit(0, PoolModel::ColumnName);
        d.Grid()->Editor()->setText("Renamed");
        d.Grid()->CommitEditor();
    };
    const auto describe = [](CDlgProgrammpool& d) {
        Edit(d, ids::pool::kDescription)->setText("typed, not yet confirmed");
    };
    const Case cases[] = {
        {"unchanged", [](CDlgProgrammpool&) {}, Answer::No, false},
        {"cell, back", rename, Answer::No, true},
        {"cell, discard", rename, Answer::Yes, true},
        {"description typed", describe, Answer::No, true},
        {"edited and undone", [&](CDlgProgrammpool& d) { rename(d), d.Grid()->OnUndo(); },
         Answer::No, false},
    };
    for (const bool escape : {false, true}) {
        for (const Case& c : cases) {
            CDlgProgrammpool dialog(context, &record);
            dialog.show();
            c.edit(dialog);
            script.asked.clear();
            script.answers = {c.answer};
            if (escape)
                QTest::keyClick(dialog.Grid(), Qt::Key_Escape); // where the focus starts
            else
                dialog.findChild<QPushButton*>(QString::number(ids::pool::kCancel))->click();
            ASSERT_EQ(script.asked.size(), c.asked ? 1u : 0u) << c.how;
            if (c.asked) {
                EXPECT_EQ(script.asked[0].text, question);
                EXPECT_EQ(script.asked[0].yesText, LoadResString(str::kAnswerDiscard));
                EXPECT_EQ(script.asked[0].noText, LoadResString(str::kAnswerBack));
                EXPECT_EQ(script.asked[0].defaultAnswer, Answer::No);
            }
            EXPECT_EQ(dialog.isVisible(), c.answer == Answer::No && c.asked) << c.how;
            dialog.done(QDialog::Rejected);
        }
    }
    EXPECT_EQ(test::ReadBytes(ListPath("old.lst")),
              test::ListHead("TV", "Astra") + kProgram + "\r\n");
}

TEST_F(ProgrammpoolDialogTest, TitleShowsChangesAndCtrlSSavesAndStaysOpen) {
    test::WriteBytes(ListPath("old.lst"), test::ListHead("TV", "Astra") + kProgram + "\r\n");
    CListenDat record({"TV", "Astra", ListPath("old.lst"), "old.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const QString caption = dialog.windowTitle();
    EXPECT_EQ(caption.toStdString(), Caption() + " - old.lst");
    EXPECT_EQ(QApplication::focusWidget(), dialog.Grid());
    EXPECT_EQ(dialog.Grid()->SelectedRows(), std::vector<int>{0});
    const auto* status = dialog.findChild<QLabel*>("status");
    EXPECT_EQ(status->text().toStdString(), EditorStatusText(dialog.Document(), 1, 0));

    // F2 edits the cell the arrow keys went to.
    QTest::keyClick(dialog.Grid(), Qt::Key_Right);
    QTest::keyClick(dialog.Grid(), Qt::Key_F2);
    ASSERT_TRUE(dialog.Grid()->IsEditing());
    EXPECT_EQ(dialog.Grid()->EditColumn(), PoolModel::ColumnName);
    dialog.Grid()->Editor()->setText("Renamed");
    dialog.Grid()->CommitEditor();
    EXPECT_EQ(dialog.windowTitle(), caption + "*");

    QLineEdit* fileName = Edit(dialog, ids::pool::kFileName);
    fileName->setText("copy");
    const std::string note = FormatText(LoadResString(str::kTitleSavesCopy), {"old.lst"});
    EXPECT_EQ(dialog.windowTitle().toStdString(), Caption() + " - copy* " + note);
    EXPECT_EQ(fileName->toolTip().toStdString(),
              FormatText(LoadResString(str::kFileNameSavesCopy), {"old.lst"}));

    QTest::keyClick(dialog.Grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialog.isVisible()) << "Ctrl+S stays in the editor";
    EXPECT_TRUE(fs::exists(ListPath("copy.lst")));
    EXPECT_EQ(test::ReadBytes(ListPath("old.lst")),
              test::ListHead("TV", "Astra") + kProgram + "\r\n")
        << "the opened file stays";
    EXPECT_EQ(dialog.windowTitle().toStdString(), Caption() + " - copy");
    EXPECT_EQ(dialog.FileName(), "copy.lst");

    dialog.Favourites()->findChild<QTabWidget*>()->setCurrentIndex(3);
    dialog.Grid()->clearSelection();
    dialog.Grid()->SelectRows(5, 2);
    EXPECT_EQ(status->text().toStdString(), EditorStatusText(dialog.Document(), 2, 3))
        << "the status line follows the selection and the bank on display";
    script.asked.clear();
    dialog.reject();
    EXPECT_TRUE(script.asked.empty()) << "saved: nothing to discard";
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ProgrammpoolDialogTest, ACutGreysItsRowsUntilItsPasteOrAnotherCopy) {
    test::WriteBytes(ListPath("cut.lst"),
                     test::NumberedList("TV", "Cut", 4) + "BANK0:\r\n0\r\n1\r\n2\r\n");
    CListenDat record({"TV", "Cut", ListPath("cut.lst"), "cut.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    CPoolListCtrl* grid = dialog.Grid();
    CFavListCtrl* bank = dialog.Favourites()->List(0);
    const auto greyed = [](const QAbstractItemView* view, int row, int column) {
        const QModelIndex cell = view->model()->index(row, column);
        return cell.data(Qt::ForegroundRole).isValid() &&
               cell.data(Qt::FontRole).value<QFont>().italic();
    };
    const auto poolGreyed = [&] {
        std::vector<int> rows;
        for (int row = 0; row < 4; ++row)
            if (greyed(grid, row, PoolModel::ColumnName))
                rows.push_back(row);
        return rows;
    };
    grid->clearSelection();
    grid->SelectRows(1, 2);
    grid->OnCut();
    EXPECT_EQ(poolGreyed(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(greyed(grid, 1, PoolModel::ColumnAdr));
    grid->clearSelection();
    grid->SelectRows(0, 1);
    grid->OnPasteInserting();
    EXPECT_EQ(dialog.Document().pool.Cell(0, kFieldName), "TV 1") << "the cut was pasted";
    EXPECT_EQ(poolGreyed(), std::vector<int>{});

    grid->clearSelection();
    grid->SelectRows(3, 1);
    grid->OnCut();
    bank->SelectRow(1);
    bank->CutSelected();
    EXPECT_EQ(poolGreyed(), std::vector<int>{}) << "the clipboard holds another text now";
    EXPECT_TRUE(greyed(bank, 1, 1));
    EXPECT_FALSE(greyed(bank, 0, 1));
    EXPECT_FALSE(greyed(dialog.Favourites()->List(1), 1, 1)) << "only in the bank cut from";
    QGuiApplication::clipboard()->setText("copied elsewhere");
    EXPECT_FALSE(greyed(bank, 1, 1));
}

// What a widget was asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

TEST_F(ProgrammpoolDialogTest, ACellEditRepaintsItsRowAndTheBankEntriesThatNameIt) {
    // Program 1 stands in banks 0 and 2; bank 0 also holds program 0.
    test::WriteBytes(ListPath("banks.lst"), "HEADER:\tTV\tBanks\r\n" +
                                                LoadResString(str::kListColumnTitles) + "\r\n" +
                                                kProgram + "\r\n" + kProgram + "\r\n" + kProgram +
                                                "\r\nBANK0:\r\n1\t\t1\r\n0\r\n");
    CListenDat record({"TV", "Banks", ListPath("banks.lst"), "banks.lst", "0"});
    CDlgProgrammpool dialog(context, &record);
    dialog.resize(1000, 600); // wide enough that moving the editor scrolls nothing
    dialog.show();
    dialog.Favourites()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CPoolListCtrl* grid = dialog.Grid();
    grid->BeginEdit(1, PoolModel::ColumnName);
    grid->Editor()->setText("Renamed");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);

    QAbstractItemModel* pool = grid->model();
    QSignalSpy poolCells(pool, &QAbstractItemModel::dataChanged);
    QSignalSpy poolLayout(pool, &QAbstractItemModel::layoutChanged);
    QSignalSpy poolReset(pool, &QAbstractItemModel::modelReset);
    std::vector<std::unique_ptr<QSignalSpy>> bankCells, bankResets;
    for (int bank = 0; bank < kBankCount; ++bank) {
        QAbstractItemModel* model = dialog.Favourites()->List(bank)->model();
        bankCells.push_back(std::make_unique<QSignalSpy>(model, &QAbstractItemModel::dataChanged));
        bankResets.push_back(std::make_unique<QSignalSpy>(model, &QAbstractItemModel::modelReset));
    }
    PaintRecorder paints(grid->viewport());
    CFavListCtrl* shownBank = dialog.Favourites()->List(0);
    PaintRecorder bankPaints(shownBank->viewport());
    QTest::keyClick(grid->Editor(), Qt::Key_Tab);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);

    EXPECT_EQ(dialog.Document().pool.Cell(1, kFieldName), "Renamed");
    ASSERT_EQ(poolCells.count(), 1);
    EXPECT_EQ(poolCells[0][0].toModelIndex(), pool->index(1, PoolModel::ColumnName));
    EXPECT_EQ(poolCells[0][1].toModelIndex(), pool->index(1, PoolModel::ColumnName));
    EXPECT_EQ(poolLayout.count() + poolReset.count(), 0);
    for (int bank = 0; bank < kBankCount; ++bank) {
        EXPECT_EQ(bankResets[static_cast<std::size_t>(bank)]->count(), 0) << bank;
        EXPECT_EQ(bankCells[static_cast<std::size_t>(bank)]->count(), bank == 0 || bank == 2)
            << bank;
    }
    EXPECT_EQ(dialog.Favourites()->List(2)->model()->index(0, 1).data().toString(), "Renamed");
    // The edited cell and its neighbour, where the editor moved; the editor's frame reaches a
    // pixel above the row.
    const QRect row = grid->visualRect(pool->index(1, 0))
                          .united(grid->visualRect(pool->index(1, PoolModel::ColumnCount - 1)))
                          .adjusted(0, -2, 0, 2);
    EXPECT_FALSE(paints.painted.isEmpty());
    EXPECT_TRUE(row.contains(paints.painted.boundingRect()))
        << "painted " << paints.painted.boundingRect().y() << "+"
        << paints.painted.boundingRect().height() << ", row " << row.y() << "+" << row.height();
    // The bank on display shows program 1 in its first row only.
    const QRect entry = shownBank->visualRect(shownBank->model()->index(0, 1));
    EXPECT_EQ(bankPaints.painted.boundingRect(), entry);
}

TEST_F(ProgrammpoolDialogTest, EscapeLeavesWithoutAQuestionAndHeaderEditsAreUndoable) {
    CDlgProgrammpool dialog(context, nullptr);
    dialog.show();
    Radio(dialog, ids::pool::kRadio)->click();
    Edit(dialog, ids::pool::kDescription)->setText("Hotbird");
    emit Edit(dialog, ids::pool::kDescription)->editingFinished();
    EXPECT_EQ(dialog.Document().description, "Hotbird");
    dialog.Grid()->OnUndo();
    EXPECT_EQ(Edit(dialog, ids::pool::kDescription)->text(), "");
    dialog.Grid()->OnUndo();
    EXPECT_FALSE(Radio(dialog, ids::pool::kRadio)->isChecked());

    Edit(dialog, ids::pool::kFileName)->setFocus();
    QTest::keyClick(Edit(dialog, ids::pool::kFileName), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(script.shown.empty());
}

} // namespace
} // namespace fw
