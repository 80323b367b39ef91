#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/print/MarginEdit.h"
#include "gui/print/PageSetupDialog.h"
#include "gui/print/PrintFont.h"
#include "gui/ui/Texts.h"
#include "tests/core/config/TestSupport.h"
#include "tests/gui/ModalHelper.h"
#include "tests/support/ScriptedInteraction.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace fw {
namespace {

using namespace ids::pageSetup;

template <typename T = QWidget> T* Control(const QWidget& dialog, int id) {
    auto* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void TypeMargin(const QWidget& dialog, int id, const QString& text) {
    Control<MarginEdit>(dialog, id)->findChild<QLineEdit*>()->setText(text);
}

// Answers Qt's font or colour dialog with a value, or cancels it without one.
template <typename Dialog, typename Value>
ModalDriver::Action AnswerWith(std::optional<Value> value, void (Dialog::*set)(const Value&)) {
    return [value, set](QWidget* modal) {
        auto* dialog = qobject_cast<Dialog*>(modal);
        ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
        if (!value)
            return dialog->reject();
        (dialog->*set)(*value);
        dialog->accept();
    };
}
ModalDriver::Action AnswerFont(std::optional<QFont> font) {
    return AnswerWith(font, &QFontDialog::setCurrentFont);
}
ModalDriver::Action AnswerColour(std::optional<QColor> colour) {
    return AnswerWith(colour, &QColorDialog::setCurrentColor);
}

// 24 points, struck out and not underlined: every part of it differs from the stored default.
QFont ChosenFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(24);
    font.setStrikeOut(true);
    font.setUnderline(false);
    return font;
}
constexpr std::int32_t kChosenHeight = -32; // 24 points on a 96-dpi screen

class PageSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProfileFile none;
        config.Load(none); // the defaults of a section PRINT without keys
    }

    struct Run {
        int result = QDialog::Rejected;
        bool openAfterWork = false;
        std::vector<std::string> messages;
    };
    // Runs the dialog as the print dialog does and does the work inside it; the windows the
    // work opens get the answers, in order.
    Run RunDialog(const std::function<void(PageSetupDialog&)>& work,
                  const std::function<void(ModalDriver&)>& answers = {}) {
        test::ScriptedInteraction interaction;
        PageSetupDialog dialog(config.m_printSettings, interaction);
        ModalDriver driver(&dialog);
        if (answers)
            answers(driver);
        Run run;
        driver.Later(&dialog, [&] {
            work(dialog);
            run.openAfterWork = dialog.isVisible();
            if (run.openAfterWork)
                dialog.reject();
        });
        run.result = dialog.exec();
        ExpectAllAnswered(driver);
        run.messages = interaction.shown;
        return run;
    }

    CKonfiguration config;
    CDruckDat& print = config.m_printSettings;
};

TEST_F(PageSetupTest, OkStoresTheFieldsWhileCancelKeepsOnlyTheChosenFont) {
    for (const int button : {kOk, kCancel}) {
        SCOPED_TRACE(button);
        SetUp();
        const LogFont headerFont = print.m_headerFont;
        const Run run = RunDialog(
            [button](PageSetupDialog& dialog) {
                auto* columns = Control<QListWidget>(dialog, kColumns);
                columns->setCurrentRow(1); // "Ca"
                QTest::keyClick(columns, Qt::Key_Space);
                Control<QLineEdit>(dialog, kHeaderText)->setText(QStringLiteral("Astra 19.2"));
                TypeMargin(dialog, kTopMargin, QStringLiteral("5"));
                TypeMargin(dialog, kLeftMargin, QStringLiteral(" -3 "));
                TypeMargin(dialog, kRightMargin, QStringLiteral("7"));
                TypeMargin(dialog, kBottomMargin, QStringLiteral("0"));
                Control<QPushButton>(dialog, kMainFont)->click();
                Control<QPushButton>(dialog, button)->click();
            },
            [](ModalDriver& driver) {
                driver.Then(AnswerFont(ChosenFont()));
                driver.Then(AnswerColour(QColor(0x12, 0x34, 0x56)));
            });

        // The font button stores at once, whichever way the dialog ends.
        EXPECT_EQ(print.m_mainFont.height, kChosenHeight);
        EXPECT_EQ(print.m_mainFont.strikeOut, 1);
        EXPECT_EQ(print.m_mainFont.underline, 0);
        EXPECT_EQ(print.m_mainColour, 0x563412u) << "0x00BBGGRR";
        EXPECT_EQ(print.m_headerFont, headerFont);
        if (button == kCancel) {
            EXPECT_EQ(run.result, QDialog::Rejected);
            EXPECT_EQ(print.m_headerText, "Programpool list");
            EXPECT_EQ(print.m_columnFlags, std::vector<int>(12, 1));
            EXPECT_EQ(print.m_topMargin, 20);
            EXPECT_EQ(print.m_leftMargin, 20);
            continue;
        }
        EXPECT_EQ(run.result, QDialog::Accepted);
        EXPECT_EQ(print.m_headerText, "Astra 19.2");
        EXPECT_EQ(std::tie(print.m_topMargin, print.m_leftMargin, print.m_rightMargin,
                           print.m_bottomMargin),
                  std::make_tuple(5, -3, 7, 0));
        // As the configuration store writes it at the end of the run.
        const test::TempDir folder;
        ProfileFile profile;
        profile.SetPath(folder.File("upd.ini"));
        const ConfigSaveResult saved = config.Save(profile);
        ASSERT_EQ(saved.status, ConfigSaveStatus::Saved) << saved.reason;
        const std::string text = test::ReadBytes(folder.File("upd.ini"));
        EXPECT_NE(text.find("\nCOLCHECK=1|0|1|1|1|1|1|1|1|1|1|1\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\nCOLMAIN=5649426\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\nLEFT=-3\n"), std::string::npos) << text;
    }
}

TEST_F(PageSetupTest, AFontButtonStoresWhatWasChosenBeforeACancel) {
    const struct {
        const char* name;
        std::optional<QFont> font;
        std::optional<QColor> colour; // asked only after a chosen font
        bool fontStored;
        bool colourStored;
    } cases[] = {
        {"font cancelled", std::nullopt, std::nullopt, false, false},
        {"colour cancelled", ChosenFont(), std::nullopt, true, false},
        {"both chosen", ChosenFont(), QColor(Qt::red), true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        print.m_headerColour = 0x00FF00;
        const CDruckDat before = print;
        RunDialog(
            [](PageSetupDialog& dialog) { Control<QPushButton>(dialog, kHeaderFont)->click(); },
            [&c](ModalDriver& driver) {
                driver.Then(AnswerFont(c.font));
                if (c.font)
                    driver.Then(AnswerColour(c.colour));
            });
        EXPECT_EQ(print.m_headerFont.height,
                  c.fontStored ? kChosenHeight : before.m_headerFont.height);
        EXPECT_EQ(print.m_headerColour, c.colourStored ? 0x0000FFu : before.m_headerColour);
        EXPECT_EQ(print.m_mainFont, before.m_mainFont);
        EXPECT_EQ(print.m_mainColour, before.m_mainColour);
    }
}

TEST_F(PageSetupTest, AMarginThatIsNoIntegerKeepsTheDialogOpenOnThatField) {
    const struct {
        int field;
        const char* text;
        QString message;
    } cases[] = {
        {kTopMargin, "abc", ResText(str::kNotAnInteger)},
        {kLeftMargin, "12.5", ResText(str::kNotAnInteger)},
        {kRightMargin, "", ResText(str::kNotAnInteger)},
        {kBottomMargin, "3000000000", ResText(str::kIntegerOutOfRange).arg(INT_MIN).arg(INT_MAX)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SetUp();
        const CDruckDat before = print;
        QString focus;
        const Run run = RunDialog([&](PageSetupDialog& dialog) {
            Control<QLineEdit>(dialog, kHeaderText)->setText(QStringLiteral("not stored"));
            TypeMargin(dialog, c.field, QString::fromLatin1(c.text));
            Control<QPushButton>(dialog, kOk)->click();
            focus =
                dialog.focusWidget() != nullptr ? dialog.focusWidget()->objectName() : QString();
        });
        EXPECT_TRUE(run.openAfterWork);
        EXPECT_EQ(run.messages, std::vector<std::string>{c.message.toStdString()});
        EXPECT_EQ(focus, QString::number(c.field));
        EXPECT_EQ(print.m_headerText, before.m_headerText);
        EXPECT_EQ(print.m_topMargin, before.m_topMargin);
    }
}

TEST_F(PageSetupTest, StoredValuesShowAsTheyAreAndPassThroughUnchanged) {
    print.m_topMargin = -5;
    print.m_leftMargin = 0;
    print.m_rightMargin = 100;
    print.m_bottomMargin = 123;
    print.m_footerText = "footer";
    print.m_columnTitles = {"A", "B", "C"};
    print.m_columnFlags = {0, 1};
    const CDruckDat before = print;
    std::vector<QString> shown;
    std::vector<Qt::CheckState> checks;
    const Run run = RunDialog([&](PageSetupDialog& dialog) {
        for (int id : {kTopMargin, kLeftMargin, kRightMargin, kBottomMargin})
            shown.push_back(Control<MarginEdit>(dialog, id)->text());
        auto* columns = Control<QListWidget>(dialog, kColumns);
        for (int row = 0; row < columns->count(); ++row)
            checks.push_back(columns->item(row)->checkState());
        EXPECT_EQ(columns->item(2)->text(), "C");
        EXPECT_EQ(columns->item(3)->text(), "FreqMHz") << "padded from the grid's captions";
        Control<QPushButton>(dialog, kOk)->click();
    });
    EXPECT_EQ(run.result, QDialog::Accepted);
    EXPECT_EQ(shown, (std::vector<QString>{"-5", "0", "100", "123"}));
    ASSERT_EQ(checks.size(), 12u);
    EXPECT_EQ(checks[0], Qt::Unchecked);
    EXPECT_EQ(checks[11], Qt::Checked) << "a column without a flag is printed";
    EXPECT_EQ(
        std::tie(print.m_topMargin, print.m_leftMargin, print.m_rightMargin, print.m_bottomMargin),
        std::tie(before.m_topMargin, before.m_leftMargin, before.m_rightMargin,
                 before.m_bottomMargin));
    EXPECT_EQ(print.m_footerText, "footer");
    EXPECT_EQ(print.m_headerText, before.m_headerText);
    EXPECT_EQ(print.m_columnFlags, (std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

// Values that leave no room on an A4 page for one table row (a stored one, or one typed): OK
// names the setting, keeps the dialog open on it and stores nothing.
TEST_F(PageSetupTest, OkRefusesSettingsThatLeaveNoRoomForOneRow) {
    const struct {
        const char* name;
        std::function<void(CDruckDat&)> stored;
        int typedField; // 0: nothing typed
        const char* typed;
        int focus;
        std::string message;
    } cases[] = {
        {"stored margin past the int range times 12", [](CDruckDat& s) { s.m_topMargin = INT_MIN; },
         0, "", kTopMargin,
         "The top and bottom margins (UP=-2147483648, DOWN=20) leave no room on the page for "
         "one table row."},
        {"typed margin", [](CDruckDat&) {}, kBottomMargin, "178956971", kTopMargin,
         "The top and bottom margins (UP=20, DOWN=178956971) leave no room on the page for one "
         "table row."},
        {"typed side margins", [](CDruckDat&) {}, kRightMargin, "200", kLeftMargin,
         "The left and right margins (LEFT=20, RIGHT=200) leave no room on the page for the "
         "table."},
        {"stored header font", [](CDruckDat& s) { s.m_headerFont.height = 600000001; }, 0, "",
         kHeaderFont,
         "The header font (FONTHEAD, height 600000001) is too large: it leaves no room on the "
         "page for one table row."},
        {"stored main font", [](CDruckDat& s) { s.m_mainFont.height = INT_MIN; }, 0, "", kMainFont,
         "The main font (FONTMAIN, height -2147483648) is too large: not one table row fits on "
         "the page."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.stored(print);
        const CDruckDat before = print;
        QString focus;
        const Run run = RunDialog([&](PageSetupDialog& dialog) {
            Control<QLineEdit>(dialog, kHeaderText)->setText(QStringLiteral("not stored"));
            if (c.typedField != 0)
                TypeMargin(dialog, c.typedField, QString::fromLatin1(c.typed));
            Control<QPushButton>(dialog, kOk)->click();
            focus =
                dialog.focusWidget() != nullptr ? dialog.focusWidget()->objectName() : QString();
        });
        EXPECT_TRUE(run.openAfterWork);
        EXPECT_EQ(run.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(focus, QString::number(c.focus));
        EXPECT_EQ(print.m_headerText, before.m_headerText);
        EXPECT_EQ(std::tie(print.m_topMargin, print.m_bottomMargin, print.m_rightMargin),
                  std::tie(before.m_topMargin, before.m_bottomMargin, before.m_rightMargin));
    }
}

// The font dialog opens on the stored font as it prints; OK there and in the colour dialog
// after it, titled with what the colour is for, leave the stored font and colour as they were.
TEST_F(PageSetupTest, FontDialogOpensOnTheStoredFontAndOkWithoutAChangeKeepsIt) {
    LogFont dejaVu;
    dejaVu.height = -13;
    dejaVu.weight = 400;
    dejaVu.faceName = "DejaVu Sans";
    const struct {
        const char* name;
        int button;
        Language language;
        std::function<void(CDruckDat&)> stored;
        int pointSize;
        bool bold, italic, underline;
        const char* colourTitle;
    } cases[] = {
        {"default header font: ARIAL 22 high, weight 900, italic, underlined", kHeaderFont,
         Language::English, [](CDruckDat&) {}, 15, true, true, true, "Header colour"},
        {"main font, German", kMainFont, Language::German,
         [&dejaVu](CDruckDat& s) { s.m_mainFont = dejaVu; }, 10, false, false, false,
         "Tabellenfarbe"},
        {"height 0 is the default size", kMainFont, Language::English,
         [](CDruckDat& s) { s.m_mainFont.height = 0; }, 15, true, true, true, "Table colour"},
        {"a height beyond any page shows as the dialog's largest size", kMainFont,
         Language::English, [](CDruckDat& s) { s.m_mainFont.height = INT_MIN; }, 512, true, true,
         true, "Table colour"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        SetLanguage(c.language);
        c.stored(print);
        print.m_headerColour = 0x123456;
        print.m_mainColour = 0x654321;
        const CDruckDat before = print;
        QFont shown;
        QString colourTitle;
        RunDialog([&](PageSetupDialog& dialog) { Control<QPushButton>(dialog, c.button)->click(); },
                  [&](ModalDriver& driver) {
                      driver.Then([&](QWidget* modal) {
                          auto* dialog = qobject_cast<QFontDialog*>(modal);
                          ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
                          shown = dialog->currentFont();
                          dialog->accept();
                      });
                      driver.Then([&](QWidget* modal) {
                          colourTitle = modal->windowTitle();
                          static_cast<QDialog*>(modal)->accept();
                      });
                  });
        SetLanguage(Language::English);
        const LogFont& font = c.button == kHeaderFont ? before.m_headerFont : before.m_mainFont;
        EXPECT_EQ(shown.family(), QFontInfo(PrintFont(font)).family());
        EXPECT_EQ(shown.pointSize(), c.pointSize);
        EXPECT_EQ(shown.bold(), c.bold);
        EXPECT_EQ(shown.italic(), c.italic);
        EXPECT_EQ(shown.underline(), c.underline);
        EXPECT_EQ(colourTitle, c.colourTitle);
        EXPECT_EQ(print.m_headerFont, before.m_headerFont);
        EXPECT_EQ(print.m_mainFont, before.m_mainFont);
        EXPECT_EQ(print.m_headerColour, before.m_headerColour);
        EXPECT_EQ(print.m_mainColour, before.m_mainColour);
    }
}

TEST_F(PageSetupTest, MarginArrowsStepAndStopAtTheEndsOfTheRange) {
    test::ScriptedInteraction interaction;
    PageSetupDialog dialog(print, interaction);
    auto* top = Control<MarginEdit>(dialog, kTopMargin);
    QTest::keyClick(top, Qt::Key_Up);
    EXPECT_EQ(top->text(), "21");
    QTest::keyClick(top, Qt::Key_PageDown);
    EXPECT_EQ(top->text(), "11");
    TypeMargin(dialog, kTopMargin, QString::number(INT_MAX));
    QTest::keyClick(top, Qt::Key_Up);
    EXPECT_EQ(top->text(), "2147483647");
    TypeMargin(dialog, kTopMargin, QStringLiteral("x"));
    QTest::keyClick(top, Qt::Key_Up);
    EXPECT_EQ(top->text(), "x") << "text that is no number is left for the check on OK";
}

TEST_F(PageSetupTest, SpaceSwitchesEverySelectedColumnLikeTheCurrentOne) {
    test::ScriptedInteraction interaction;
    PageSetupDialog dialog(print, interaction);
    auto* columns = Control<QListWidget>(dialog, kColumns);
    columns->setCurrentRow(2);
    QTest::keyClick(columns, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(columns, Qt::Key_Down, Qt::ShiftModifier);
    auto states = [&] {
        std::vector<bool> checked;
        for (int row = 0; row < columns->count(); ++row)
            checked.push_back(columns->item(row)->checkState() == Qt::Checked);
        return checked;
    };
    QTest::keyClick(columns, Qt::Key_Space);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, false, false, false, true, true, true, true,
                                           true, true, true}));
    columns->item(3)->setCheckState(Qt::Checked); // mixed: the current row decides
    QTest::keyClick(columns, Qt::Key_Space);
    EXPECT_EQ(states(), std::vector<bool>(12, true));
}

} // namespace
} // namespace fw
