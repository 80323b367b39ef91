#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"

#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/firmware/DlgFlashwerk.h"
#include "gui/lists/DlgProgrammlisten.h"
#include "gui/settings/DlgGrundeinstellung.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/IconButton.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>

namespace fw {
namespace {

namespace fs = std::filesystem;

// What the shared scenarios need to know of each catalogue page. Content(units, variant)
// makes a valid file whose size grows with units; variant tells two files of one size apart.
struct FirmwarePage {
    using Page = CDlgFlashwerk;
    static constexpr auto kFolder = &DataFolders::firmware;
    static constexpr auto kChosen = &CKonfiguration::m_chosenFirmwareFile;
    static constexpr int kSend = ids::firmware::kSend, kDelete = ids::firmware::kDelete,
                         kImport = ids::firmware::kImport, kRefresh = ids::firmware::kRefresh,
                         kInternet = ids::firmware::kInternet, kPath = ids::firmware::kPath;
    static constexpr int kPathHint = 111, kEmptyText = str::kNoFirmwareFiles, kSizeColumn = 2;
    static std::string Name(const std::string& base) { return base + ".bsr"; }
    static std::string ImportedName(const std::string& name) { return name; }
    static std::string Content(int units, char variant = 'x') {
        return test::FirmwareImage(3000 + 1000 * static_cast<std::size_t>(units), "V1", "",
                                   variant);
    }
};

struct ListPage {
    using Page = CDlgProgrammlisten;
    static constexpr auto kFolder = &DataFolders::lists;
    static constexpr auto kChosen = &CKonfiguration::m_chosenListFile;
    static constexpr int kSend = ids::lists::kSend, kDelete = ids::lists::kDelete,
                         kImport = ids::lists::kImport, kRefresh = ids::lists::kRefresh,
                         kInternet = ids::lists::kInternet, kPath = ids::lists::kStatus;
    static constexpr int kPathHint = 139, kEmptyText = str::kNoCatalogueFiles, kSizeColumn = 3;
    static std::string Name(const std::string& base) { return base + ".lst"; }
    // The import writes the extension in upper case.
    static std::string ImportedName(const std::string& name) {
        return name.substr(0, name.size() - 3) + "LST";
    }
    static std::string Content(int units, char variant = 'x') {
        return test::NumberedList("TV", "List " + std::string(1, variant), units + 1);
    }
};

struct SettingsPage {
    using Page = CDlgGrundeinstellung;
    static constexpr auto kFolder = &DataFolders::settings;
    static constexpr auto kChosen = &CKonfiguration::m_chosenSettingsFile;
    static constexpr int kSend = ids::settings::kSend, kDelete = ids::settings::kDelete,
                         kImport = ids::settings::kImport, kRefresh = ids::settings::kRefresh,
                         kInternet = ids::settings::kInternet, kPath = ids::settings::kInfo;
    static constexpr int kPathHint = str::kChooseSettingsHint, kEmptyText = str::kNoCatalogueFiles,
                         kSizeColumn = 1;
    static std::string Name(const std::string& base) { return base + ".grd"; }
    static std::string ImportedName(const std::string& name) { return name; }
    static std::string Content(int units, char variant = 'x') {
        return std::string(100 + 100 * static_cast<std::size_t>(units), variant);
    }
};

template <typename Kind> class CataloguePageTest : public test::LinkJobTest {
protected:
    using Page = typename Kind::Page;

    void SetUp() override {
        LinkJobTest::SetUp();
        for (const std::string& path : {folders.firmware, folders.lists, folders.settings})
            fs::create_directories(path);
    }

    std::unique_ptr<Page> MakePage() {
        auto page = std::make_unique<Page>(context);
        page->resize(640, 480);
        page->show();
        return page;
    }
    std::string InFolder(const std::string& name) const {
        return folders.*Kind::kFolder + "/" + name;
    }
    void Write(const std::string& base, int units, char variant = 'x') const {
        test::WriteBytes(InFolder(Kind::Name(base)), Kind::Content(units, variant));
    }
    static QPushButton* Button(const QWidget& page, int id) {
        return page.findChild<QPushButton*>(QString::number(id));
    }
    static QStringList Names(const Page& page) {
        QStringList names;
        for (int row = 0; row < page.List()->RowCount(); ++row)
            names << page.List()->topLevelItem(row)->text(0);
        return names;
    }
    static QString SelectedName(const Page& page) {
        const int row = page.List()->GetSelectedIndex();
        return row >= 0 ? page.List()->topLevelItem(row)->text(0) : QString();
    }
    static QString Shown(const std::string& base) {
        return QString::fromStdString(Kind::Name(base));
    }
    static QString PathText(const Page& page) {
        return page.template findChild<QLabel*>(QString::number(Kind::kPath))->text();
    }
    static void ExpectNoSelectionState(const Page& page) {
        EXPECT_EQ(page.List()->GetSelectedIndex(), -1);
        EXPECT_FALSE(Button(page, Kind::kSend)->isEnabled());
        EXPECT_FALSE(Button(page, Kind::kDelete)->isEnabled());
        EXPECT_EQ(PathText(page), QString::fromStdString(LoadResString(Kind::kPathHint)));
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
};

using PageKinds = ::testing::Types<FirmwarePage, ListPage, SettingsPage>;
TYPED_TEST_SUITE(CataloguePageTest, PageKinds);

TYPED_TEST(CataloguePageTest, EmptyFolderOffersOnlyTheCommandsThatNeedNoRow) {
    using Kind = TypeParam;
    auto page = this->MakePage();
    EXPECT_EQ(page->List()->RowCount(), 0);
    EXPECT_TRUE(page->List()->ShowsEmptyText());
    EXPECT_EQ(page->List()->EmptyText(), QString::fromStdString(LoadResString(Kind::kEmptyText)));
    this->ExpectNoSelectionState(*page);
    EXPECT_TRUE(this->Button(*page, Kind::kImport)->isEnabled());
    EXPECT_TRUE(this->Button(*page, Kind::kRefresh)->isEnabled());
    EXPECT_TRUE(this->Button(*page, Kind::kInternet)->isHidden()) << "no download service";

    const std::unique_ptr<QMenu> menu = page->CreateContextMenu();
    const auto item = [&menu](int id) { return menu->findChild<QAction*>(QString::number(id)); };
    EXPECT_FALSE(item(Kind::kSend)->isEnabled());
    EXPECT_FALSE(item(Kind::kDelete)->isEnabled());
    EXPECT_TRUE(item(Kind::kImport)->isEnabled());
    EXPECT_TRUE(item(Kind::kRefresh)->isEnabled());
    // No empty row: the command without a download service is named, but greyed.
    EXPECT_FALSE(item(Kind::kInternet)->text().isEmpty());
    EXPECT_FALSE(item(Kind::kInternet)->isEnabled());
}

TYPED_TEST(CataloguePageTest, SelectionIsRememberedAndAGoneFileSelectsTheFirstRow) {
    using Kind = TypeParam;
    this->Write("b", 1);
    this->Write("c", 1);
    this->config.*Kind::kChosen = Kind::Name("gone");
    auto page = this->MakePage();
    EXPECT_EQ(page->List()->GetSelectedIndex(), 0);
    EXPECT_EQ(page->List()->GetFocusedIndex(), 0);
    EXPECT_EQ(this->config.*Kind::kChosen, Kind::Name("b"));
    EXPECT_EQ(this->PathText(*page).toStdString(), this->InFolder(Kind::Name("b")));
    EXPECT_TRUE(this->Button(*page, Kind::kSend)->isEnabled());

    page->List()->SelectRow(1, true);
    EXPECT_EQ(this->config.*Kind::kChosen, Kind::Name("c"));
    page->List()->clearSelection();
    this->ExpectNoSelectionState(*page);
    EXPECT_EQ(this->config.*Kind::kChosen, Kind::Name("c")) << "no selection keeps the name";
}

TYPED_TEST(CataloguePageTest, SortColumnShowsItsArrowReversesOnASecondClickAndHolds) {
    using Kind = TypeParam;
    this->Write("a", 3);
    this->Write("b", 1);
    this->Write("c", 2);
    this->config.*Kind::kChosen = Kind::Name("a");
    {
        auto page = this->MakePage();
        QHeaderView* header = page->List()->header();
        const QStringList bySize{this->Shown("b"), this->Shown("c"), this->Shown("a")};
        const QStringList reversed{bySize[2], bySize[1], bySize[0]};
        const QStringList byName{this->Shown("a"), this->Shown("b"), this->Shown("c")};
        // One click after the other on the column titles.
        struct Click {
            int column;
            QStringList names;
            Qt::SortOrder order;
        };
        for (const Click& click : {Click{Kind::kSizeColumn, bySize, Qt::AscendingOrder},
                                   Click{Kind::kSizeColumn, reversed, Qt::DescendingOrder},
                                   Click{Kind::kSizeColumn, bySize, Qt::AscendingOrder},
                                   Click{Kind::kSizeColumn, reversed, Qt::DescendingOrder},
                                   Click{0, byName, Qt::AscendingOrder},
                                   Click{Kind::kSizeColumn, bySize, Qt::AscendingOrder}}) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(click.column) + 5, header->height() / 2));
            EXPECT_EQ(this->Names(*page), click.names) << click.column;
            EXPECT_EQ(header->sortIndicatorSection(), click.column);
            EXPECT_EQ(header->sortIndicatorOrder(), click.order);
        }
        EXPECT_EQ(this->SelectedName(*page), this->Shown("a")) << "the sort keeps the selection";
        EXPECT_TRUE(header->isSortIndicatorShown());
    }
    auto page = this->MakePage();
    EXPECT_EQ(this->Names(*page),
              (QStringList{this->Shown("b"), this->Shown("c"), this->Shown("a")}));
    EXPECT_EQ(this->SelectedName(*page), this->Shown("a"));
    EXPECT_EQ(page->List()->header()->sortIndicatorSection(), Kind::kSizeColumn);
}

TYPED_TEST(CataloguePageTest, ImportCopiesTheFileAndSelectsIt) {
    using Kind = TypeParam;
    this->Write("old", 1);
    test::TempDir outside;
    const std::string source = outside.File(Kind::Name("new"));
    test::WriteBytes(source, Kind::Content(2));
    auto page = this->MakePage();

    page->ImportFrom(QString::fromStdString(source));
    const std::string imported = Kind::ImportedName(Kind::Name("new"));
    EXPECT_EQ(test::ReadBytes(this->InFolder(imported)), Kind::Content(2));
    EXPECT_EQ(this->SelectedName(*page).toStdString(), imported);
    EXPECT_EQ(this->config.*Kind::kChosen, imported);
    EXPECT_TRUE(this->Button(*page, Kind::kSend)->isEnabled());
    EXPECT_TRUE(this->context.script.shown.empty());
}

TYPED_TEST(CataloguePageTest, ImportOverAnExistingNameAsksAndReplacesOnlyOnYes) {
    using Kind = TypeParam;
    const std::string name = Kind::ImportedName(Kind::Name("same"));
    test::WriteBytes(this->InFolder(name), Kind::Content(1, 'a'));
    this->Write("zz", 1);
    test::TempDir outside;
    const std::string source = outside.File(Kind::Name("same"));
    test::WriteBytes(source, Kind::Content(1, 'b'));
    auto page = this->MakePage();
    test::ScriptedInteraction& script = this->context.script;

    script.answers = {Answer::No, Answer::Yes};
    page->ImportFrom(QString::fromStdString(source));
    EXPECT_EQ(test::ReadBytes(this->InFolder(name)), Kind::Content(1, 'a'));

    page->ImportFrom(QString::fromStdString(source));
    EXPECT_EQ(test::ReadBytes(this->InFolder(name)), Kind::Content(1, 'b'));
    EXPECT_EQ(this->Names(*page).count(QString::fromStdString(name)), 1) << "listed once";
    EXPECT_EQ(this->SelectedName(*page).toStdString(), name);
    EXPECT_EQ(script.shown, std::vector<std::string>(2, FormatText(LoadResString(str::kFileExists),
                                                                   {this->InFolder(name)})));
}

TYPED_TEST(CataloguePageTest, DeleteAsksAndTheLastRowLeavesTheEmptyState) {
    using Kind = TypeParam;
    this->Write("a", 1);
    this->Write("b", 1);
    this->config.*Kind::kChosen = Kind::Name("b");
    auto page = this->MakePage();
    test::ScriptedInteraction& script = this->context.script;

    script.answers = {Answer::No, Answer::Yes, Answer::Yes};
    this->Button(*page, Kind::kDelete)->click();
    EXPECT_TRUE(fs::exists(this->InFolder(Kind::Name("b"))));
    EXPECT_EQ(page->List()->RowCount(), 2);

    // Del in the catalogue asks the same question.
    QTest::keyClick(page->List(), Qt::Key_Delete);
    EXPECT_FALSE(fs::exists(this->InFolder(Kind::Name("b"))));
    EXPECT_EQ(this->Names(*page), QStringList{this->Shown("a")});
    this->ExpectNoSelectionState(*page);
    EXPECT_EQ(script.shown,
              std::vector<std::string>(2, FormatText(LoadResString(str::kDeleteFileQuestion),
                                                     {this->InFolder(Kind::Name("b"))})));
    EXPECT_EQ(script.asked[0].icon, MessageIcon::Warning);
    EXPECT_EQ(script.asked[0].defaultAnswer, Answer::Yes);

    // The row left still leads to its own file.
    page->List()->SelectRow(0, true);
    EXPECT_EQ(this->PathText(*page).toStdString(), this->InFolder(Kind::Name("a")));
    QTest::keyClick(page->List(), Qt::Key_Delete);
    EXPECT_EQ(page->List()->RowCount(), 0);
    EXPECT_TRUE(page->List()->ShowsEmptyText());
    this->ExpectNoSelectionState(*page);
    EXPECT_EQ(script.shown.size(), 3u);
    QTest::keyClick(page->List(), Qt::Key_Delete);
    EXPECT_EQ(script.shown.size(), 3u) << "without a file, Del asks nothing";
}

TYPED_TEST(CataloguePageTest, ZAndTheSpaceBarLeadIntoTheList) {
    using Kind = TypeParam;
    this->Write("a", 1);
    this->Write("b", 1);
    auto page = this->MakePage();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    QPushButton* refresh = this->Button(*page, Kind::kRefresh);
    // On the list page the space bar also opens the editor on the row it selected.
    ModalDriver editors(page.get());
    if constexpr (std::is_same_v<Kind, ListPage>)
        editors.Then([](QWidget* editor) { qobject_cast<QDialog*>(editor)->reject(); });

    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Space, Qt::NoModifier}, std::pair{Qt::Key_Z, Qt::AltModifier},
          std::pair{Qt::Key_Z, Qt::NoModifier}}) {
        page->List()->setCurrentItem(nullptr);
        page->List()->clearSelection();
        refresh->setFocus();
        this->ExpectNoSelectionState(*page);
        QTest::keyClick(refresh, key, modifiers);
        // The page is active again once an editor the key opened has closed.
        EXPECT_TRUE(QTest::qWaitForWindowActive(page.get())) << key;
        EXPECT_TRUE(page->List()->hasFocus()) << key;
        EXPECT_EQ(page->List()->GetSelectedIndex(), 0) << key;
        EXPECT_TRUE(this->Button(*page, Kind::kSend)->isEnabled()) << key;
    }
    // The focus mark decides which row the key selects.
    page->List()->clearSelection();
    page->List()->setCurrentItem(page->List()->topLevelItem(1), 0, QItemSelectionModel::NoUpdate);
    refresh->setFocus();
    QTest::keyClick(refresh, Qt::Key_Z);
    EXPECT_EQ(this->SelectedName(*page), this->Shown("b"));
    // The arrow keys move the selection and the remembered name follows.
    QTest::keyClick(page->List(), Qt::Key_Up);
    EXPECT_EQ(this->config.*Kind::kChosen, Kind::Name("a"));
    ExpectAllAnswered(editors);
}

TYPED_TEST(CataloguePageTest, EnterInTheCatalogueFiresNoCommand) {
    using Kind = TypeParam;
    this->Write("a", 1);
    // Inside a dialog, as in the main window, where a default button would take Enter.
    QDialog window;
    auto* page = new typename Kind::Page(this->context, &window);
    (new QVBoxLayout(&window))->addWidget(page);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([page] { return page->List()->RowCount() == 1; }));
    for (const CIconButton* button : page->template findChildren<CIconButton*>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault())
            << button->objectName().toStdString();

    // A window the keys opened would run inside keyClick, where the driver records and
    // closes it.
    ModalDriver driver(&window);
    TransferCloser closer;
    page->List()->setFocus();
    QTest::keyClick(page->List(), Qt::Key_Return);
    QTest::keyClick(page->List(), Qt::Key_Enter);
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front().toStdString();
    EXPECT_TRUE(this->context.script.shown.empty());
    EXPECT_TRUE(closer.outcomes.empty()) << "a transfer was started";
    EXPECT_TRUE(window.isVisible());
}

TYPED_TEST(CataloguePageTest, ChainedSendOfARowBeyondTheListSendsNothing) {
    this->Write("a", 1);
    auto page = this->MakePage();
    page->List()->SelectRow(0, true);
    ModalDriver driver(page.get());
    TransferCloser closer;
    EXPECT_EQ(page->SendChained(1, 0), 0);
    EXPECT_TRUE(closer.outcomes.empty()) << "a transfer was started";
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_TRUE(this->context.script.shown.empty());
}

} // namespace
} // namespace fw
