#include "core/res/StringIds.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/DlgRadioTV.h"
#include "gui/ui/IconButton.h"
#include "gui/ui/Icons.h"
#include "gui/ui/MessageInteraction.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"
#include "gui/ui/ToolTipDialog.h"
#include "tests/support/ScriptedInteraction.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace fw {
namespace {

TEST(IconButtonTest, EnterClicksTheButton) {
    CIconButton button(QStringLiteral("&Local"));
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicked.count(), 2);
    QTest::keyClick(&button, Qt::Key_Return, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&button, &repeat);
    EXPECT_EQ(clicked.count(), 2) << "neither a modified Enter nor a held key clicks again";
}

TEST(IconButtonTest, DisabledButtonIgnoresEnterAndGreysItsIcon) {
    CIconButton button(QStringLiteral("&Delete"));
    ASSERT_EQ(button.SetIcon(FlashwerkIcon(CommandIcon::Delete), QSize(24, 24)), 1);
    EXPECT_EQ(button.iconSize(), QSize(24, 24));
    button.setEnabled(false);
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);

    const QImage normal = button.icon().pixmap(QSize(24, 24), QIcon::Normal).toImage();
    const QImage disabled = button.icon().pixmap(QSize(24, 24), QIcon::Disabled).toImage();
    EXPECT_NE(normal, disabled) << "the disabled look differs from the normal one";

    EXPECT_EQ(button.SetIcon(QIcon(), QSize(24, 24)), 0);
    EXPECT_TRUE(button.icon().isNull()) << "a failed icon leaves none behind";
}

TEST(IconButtonTest, EveryCommandIconIsDrawn) {
    for (CommandIcon id : {CommandIcon::Import, CommandIcon::Receiver, CommandIcon::SendToReceiver,
                           CommandIcon::LoadFromReceiver, CommandIcon::Delete, CommandIcon::Refresh,
                           CommandIcon::New, CommandIcon::Edit}) {
        const QImage image = FlashwerkIcon(id).pixmap(QSize(24, 24)).toImage();
        ASSERT_FALSE(image.isNull()) << static_cast<int>(id);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        EXPECT_GT(opaque, 40) << "icon " << static_cast<int>(id) << " is not blank";
    }
}

TEST(ToolTipDialogTest, NumberedControlsGetTheStringOfTheirNumber) {
    CToolTipDialog dialog;
    auto* known = new QLabel(&dialog);
    SetControlId(known, 1010);
    auto* unnamed = new QLabel(&dialog);
    auto* unknown = new QLabel(&dialog);
    SetControlId(unknown, 4711);
    auto* nested = new QLabel(new QWidget(&dialog));
    SetControlId(nested, 1021);
    dialog.show();

    EXPECT_EQ(known->toolTip(), "Load update from disc,harddisc,etc.");
    EXPECT_EQ(nested->toolTip(), "send selected files to receiver");
    EXPECT_TRUE(unnamed->toolTip().isEmpty());
    EXPECT_TRUE(unknown->toolTip().isEmpty());
    EXPECT_TRUE(dialog.testAttribute(Qt::WA_AlwaysShowToolTips));
}

// Fails the test and closes what opened instead, so that the test does not hang.
void CloseUnexpected(QWidget* modal) {
    ADD_FAILURE() << "unexpected window: "
                  << (modal != nullptr ? modal->metaObject()->className() : "none");
    if (modal != nullptr)
        modal->close();
}

// The real boxes: each kind with its title, icon, buttons and default button, and the answer
// its button (or Escape, where none is pressed) gives.
TEST(MessageInteractionTest, EachKindOfBoxShowsItsTitleIconButtonsAndDefault) {
    using Box = QMessageBox;
    const QString program = QApplication::applicationDisplayName();
    const struct Case {
        const char* what;
        std::function<std::optional<Answer>(MessageInteraction&)> show;
        QString title;
        Box::Icon icon;
        Box::StandardButtons buttons;
        Box::StandardButton defaultButton;
        Box::StandardButton press; // NoButton: Escape
        std::optional<Answer> answer;
        QString noText = {}; // an own text for the No button
    } cases[] = {
        {"message",
         [](MessageInteraction& ui) {
             ui.ShowMessage("failed", MessageIcon::Stop);
             return std::nullopt;
         },
         program, Box::Critical, Box::Ok, Box::Ok, Box::Ok, std::nullopt},
        {"failed file operation",
         [](MessageInteraction& ui) {
             ui.ShowLastError("a.lst: Permission denied");
             return std::nullopt;
         },
         ResText(str::kErrorTitle), Box::Warning, Box::Ok, Box::Ok, Box::Ok, std::nullopt},
        {"question", [](MessageInteraction& ui) { return ui.Ask({"Delete?"}); }, program,
         Box::Warning, Box::Yes | Box::No, Box::Yes, Box::NoButton, Answer::No},
        {"question defaulting to No",
         [](MessageInteraction& ui) {
             return ui.Ask({"Replace?", MessageIcon::Question, AnswerSet::YesNo, Answer::No});
         },
         program, Box::Question, Box::Yes | Box::No, Box::No, Box::Yes, Answer::Yes},
        {"three answers",
         [](MessageInteraction& ui) {
             return ui.Ask({"Selection only?", MessageIcon::Question, AnswerSet::YesNoCancel});
         },
         program, Box::Question, Box::Yes | Box::No | Box::Cancel, Box::Yes, Box::NoButton,
         Answer::Cancel},
        {"own button texts",
         [](MessageInteraction& ui) {
             Question question{"Discard?", MessageIcon::Warning, AnswerSet::YesNo, Answer::No};
             question.yesText = "Discard";
             question.noText = "Back";
             return ui.Ask(question);
         },
         program, Box::Warning, Box::Yes | Box::No, Box::No, Box::Yes, Answer::Yes, "Back"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* box = qobject_cast<Box*>(modal);
            if (box == nullptr)
                return CloseUnexpected(modal);
            seen = true;
            EXPECT_EQ(box->windowTitle(), c.title);
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
            if (!c.noText.isEmpty()) {
                EXPECT_EQ(box->button(Box::No)->text(), c.noText);
            }
            if (c.press == Box::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(c.press)->click();
        });
        MessageInteraction interaction;
        EXPECT_EQ(c.show(interaction), c.answer);
        EXPECT_TRUE(seen);
    }
}

TEST(MessageInteractionTest, RadioOrTvChoiceGivesTheButtonPressed) {
    const struct {
        int button;
        ListTypeChoice choice;
    } cases[] = {
        {ids::radioTv::kRadio, ListTypeChoice::Radio},
        {ids::radioTv::kTv, ListTypeChoice::Tv},
        {ids::radioTv::kCancel, ListTypeChoice::Cancelled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        QTimer::singleShot(0, [&c] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<CDlgRadioTV*>(modal);
            if (dialog == nullptr)
                return CloseUnexpected(modal);
            dialog->findChild<QPushButton*>(QString::number(c.button))->click();
        });
        EXPECT_EQ(MessageInteraction().AskRadioOrTv(), c.choice);
    }
}

} // namespace
} // namespace fw

namespace fw {
namespace {

TEST(ReportWindowTest, SavesItsTextAndOffersTheToolsButtons) {
    QTemporaryDir folder;
    test::ScriptedInteraction interaction;
    ReportWindow window("Report", "matched 3\nnew 1", interaction);
    int pressed = 0;
    QPushButton* select = window.AddButton("Select the new ones", [&] { ++pressed; });
    window.show();
    select->click();
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(window.isVisible()) << "a tool's button leaves the report open";

    const QString path = folder.filePath("report.txt");
    ASSERT_TRUE(window.SaveTo(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("matched 3\nnew 1\n"));
    // A folder in the way: the error is shown and nothing claims success.
    EXPECT_FALSE(window.SaveTo(folder.path()));
    EXPECT_EQ(interaction.lastErrors.size(), 1u);

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace fw
