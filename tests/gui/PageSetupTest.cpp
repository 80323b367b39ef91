#include "core/config/Konfiguration.h"
#include "core/config/ProfileFile.h"
#include "core/res/StringIds.h"
#include "gui/print/MarginEdit.h"
#include "gui/print/PageSetupDialog.h"
#include "gui/ui/Texts.h"
#include "tests/core/config/TestSupport.h"
#include "tests/gui/ModalHelper.h"
#include "tests/support/ScriptedInteraction.h"

#include <QColorDialog>
#include <QFontDialog>
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
    print.m_topMargin = INT_MIN;
    print.m_leftMargin = -5;
    print.m_rightMargin = INT_MAX;
    print.m_bottomMargin = 123456789;
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
    EXPECT_EQ(shown, (std::vector<QString>{"-2147483648", "-5", "2147483647", "123456789"}));
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
