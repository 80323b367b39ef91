#include "app/DemoFiles.h"
#include "app/FlashwerkApp.h"
#include "core/config/ProfileFile.h"
#include "core/link/LinkTiming.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "gui/app/DlgOptionen.h"
#include "gui/app/ReceiverSheet.h"
#include "gui/firmware/DlgFlashwerk.h"
#include "gui/link/DlgSenden.h"
#include "gui/page/PropertyPagePlus.h"
#include "gui/ui/DateiListCtrl.h"
#include "gui/ui/MessageInteraction.h"
#include "tests/gui/ModalHelper.h"

#include "tests/support/FileTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace fw {
namespace {

CommandLineOptions OptionsFor(const std::string& dataDir, bool demo = false) {
    CommandLineOptions options;
    options.dataDir = dataDir;
    options.demo = demo;
    return options;
}

template <typename T> T* OptionsControl(const QWidget& sheet, int id) {
    return sheet.findChild<T*>(QString::number(id));
}

class StartupTest : public ::testing::Test {
protected:
    std::string ReadProfile() {
        std::string text, reason;
        EXPECT_TRUE(ReadWholeFile(m_data + "/upd.ini", text, reason)) << reason;
        return text;
    }
    void WriteProfile(const std::string& text) {
        std::filesystem::create_directories(m_data);
        std::string reason;
        ASSERT_TRUE(WriteFileAtomically(m_data + "/upd.ini", text, reason)) << reason;
    }
    static void ShowAndActivate(CReceiverSheet* sheet) {
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    }

    test::TempDir m_dir;
    const std::string m_root = m_dir.Path().string();
    const std::string m_data = m_root + "/data";
};

TEST_F(StartupTest, FirstStartCreatesFoldersAndACompleteProfileBeforeTheWindow) {
    CFlashwerkApp app(OptionsFor(m_data));
    app.Start();
    EXPECT_TRUE(app.IsFirstStart());
    for (const char* folder : {"OS", "lists", "settings"})
        EXPECT_TRUE(std::filesystem::is_directory(m_data + "/" + folder)) << folder;

    const std::string text = ReadProfile();
    std::vector<std::string> sections;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with('[') && line.find(']') != std::string::npos)
            sections.push_back(line.substr(1, line.find(']') - 1));
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"OPTIONEN", "DATENTRANSFER", "INTERNET",
                                                  "PERSISTENT", "PRINT", "SAFETY"}));
    EXPECT_NE(text.find("ACTIVEPAGE=0"), std::string::npos);
    EXPECT_FALSE(app.Sheet()->isVisible()) << "the profile exists before the window shows";
    EXPECT_EQ(app.Sheet()->ActivePage(), 0);
}

TEST_F(StartupTest, ABadFileQuestionAppearsCentredOverTheShownWindow) {
    std::filesystem::create_directories(m_data + "/OS");
    test::WriteBytes(m_data + "/OS/short.bsr", std::string(2999, 'x'));
    CFlashwerkApp app(OptionsFor(m_data));
    // Ready before the start, which must not ask anything before the window shows.
    ModalDriver driver(nullptr);
    bool windowShown = false;
    QPoint offset;
    driver.Then([&](QWidget* modal) {
        const CReceiverSheet* sheet = app.Sheet();
        windowShown = sheet != nullptr && sheet->isVisible() && modal->parentWidget() != nullptr &&
                      modal->parentWidget()->window() == sheet;
        if (windowShown)
            offset = modal->frameGeometry().center() - sheet->frameGeometry().center();
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        driver.Click(box->button(QMessageBox::No));
    });
    app.Start();
    app.Sheet()->show();
    ASSERT_TRUE(QTest::qWaitFor([&driver] { return driver.Done(); }));
    EXPECT_TRUE(windowShown);
    EXPECT_LE(offset.manhattanLength(), 20) << offset.x() << "," << offset.y();
    EXPECT_TRUE(driver.Unexpected().empty());
    app.Sheet()->reject();
}

TEST_F(StartupTest, OpensOnTheStoredPageAndStoresThePageShownAtClose) {
    WriteProfile("[PERSISTENT]\nACTIVEPAGE=2\nMAINX=30\nMAINY=40\nMAINCX=750\nMAINCY=540\n"
                 "[MINE]\nKEEP=yes\n");
    CFlashwerkApp app(OptionsFor(m_data));
    app.Start();
    EXPECT_FALSE(app.IsFirstStart());
    CReceiverSheet* sheet = app.Sheet();
    ShowAndActivate(sheet);
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 2);
    EXPECT_EQ(sheet->pos(), QPoint(30, 40));
    EXPECT_EQ(sheet->size(), QSize(750, 540));

    sheet->Tabs()->setCurrentIndex(3);
    sheet->move(60, 50);
    sheet->resize(760, 550);
    QTest::mouseClick(
        sheet->findChild<QPushButton*>(QString::number(CReceiverSheet::kQuitButtonId)),
        Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    app.Finish();

    ProfileFile profile;
    ASSERT_TRUE(profile.Load(m_data + "/upd.ini"));
    EXPECT_EQ(profile.GetInt("PERSISTENT", "ACTIVEPAGE", -1), 3);
    EXPECT_EQ(profile.GetInt("PERSISTENT", "MAINX", -1), 60);
    EXPECT_EQ(profile.GetInt("PERSISTENT", "MAINY", -1), 50);
    EXPECT_EQ(profile.GetInt("PERSISTENT", "MAINCX", -1), 760);
    EXPECT_EQ(profile.GetInt("PERSISTENT", "MAINCY", -1), 550);
    EXPECT_EQ(profile.GetString("MINE", "KEEP", ""), "yes") << "foreign sections survive";
}

TEST_F(StartupTest, EveryWayOfClosingStoresThePage) {
    for (int way = 0; way < 2; ++way) {
        CFlashwerkApp app(OptionsFor(m_data));
        app.Start();
        CReceiverSheet* sheet = app.Sheet();
        ShowAndActivate(sheet);
        sheet->Tabs()->setCurrentIndex(way + 1);
        // A stray Escape, on the sheet or from a page's control, closes nothing.
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTest::keyClick(sheet->Tabs()->currentWidget(), Qt::Key_Escape);
        ASSERT_TRUE(sheet->isVisible()) << "way " << way;
        if (way == 0)
            sheet->close(); // the close box
        else
            sheet->reject(); // what a termination signal does
        EXPECT_FALSE(sheet->isVisible()) << "way " << way;
        app.Finish();
        ProfileFile profile;
        ASSERT_TRUE(profile.Load(m_data + "/upd.ini"));
        EXPECT_EQ(profile.GetInt("PERSISTENT", "ACTIVEPAGE", -1), way + 1) << "way " << way;
    }
}

TEST_F(StartupTest, OptionsChosenOnThePageAreThereAfterARestart) {
    {
        CommandLineOptions options = OptionsFor(m_data);
        options.production = true;
        CFlashwerkApp app(options);
        app.Start();
        CReceiverSheet* sheet = app.Sheet();
        ShowAndActivate(sheet);
        sheet->SetActivePage(3);
        OptionsControl<QRadioButton>(*sheet, CDlgOptionen::kFirstBaudButton + 1)->click();
        OptionsControl<QCheckBox>(*sheet, CDlgOptionen::kToolTips)->click();
        OptionsControl<QCheckBox>(*sheet, CDlgOptionen::kSafetyCopy)->click();
        OptionsControl<QComboBox>(*sheet, CDlgOptionen::kPortBox)->setCurrentIndex(2);
        OptionsControl<QLineEdit>(*sheet, CDlgOptionen::kProductionField)->setText("1,0,2,3");
        sheet->reject();
        app.Finish();
    }
    CFlashwerkApp app(OptionsFor(m_data));
    app.Start();
    CReceiverSheet* sheet = app.Sheet();
    ShowAndActivate(sheet);
    EXPECT_EQ(sheet->ActivePage(), 3);
    EXPECT_TRUE(
        OptionsControl<QRadioButton>(*sheet, CDlgOptionen::kFirstBaudButton + 1)->isChecked());
    EXPECT_FALSE(OptionsControl<QCheckBox>(*sheet, CDlgOptionen::kToolTips)->isChecked());
    EXPECT_FALSE(OptionsControl<QCheckBox>(*sheet, CDlgOptionen::kSafetyCopy)->isChecked());
    EXPECT_TRUE(OptionsControl<QCheckBox>(*sheet, CDlgOptionen::kCheckAfterSend)->isChecked());
    EXPECT_EQ(OptionsControl<QComboBox>(*sheet, CDlgOptionen::kPortBox)->currentIndex(), 2);
    EXPECT_EQ(OptionsControl<QLineEdit>(*sheet, CDlgOptionen::kProductionField)->text(), "1,0,2,3");
    EXPECT_TRUE(OptionsControl<QPushButton>(*sheet, CDlgOptionen::kProductionButton)->isHidden())
        << "production mode is for one run";
    sheet->reject();
}

TEST_F(StartupTest, ATerminationSignalClosesAnOpenQuestionAndTheWindowAndSavesTheSettings) {
    struct sigaction before {};
    ::sigaction(SIGTERM, nullptr, &before);
    bool stuck = false;
    Answer answer = Answer::Yes;
    {
        CFlashwerkApp app(OptionsFor(m_data));
        // Every timer here ends with the app: one left running would fire in a later test of
        // this process, answer its question and write to this test's gone stack.
        QTimer::singleShot(0, &app, [&] {
            app.Sheet()->SetActivePage(2);
            QTimer::singleShot(50, &app, [] { ::raise(SIGTERM); });
            // The box must go without anyone answering; if it stays, this fails the test
            // instead of hanging it.
            QTimer::singleShot(5000, &app, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    stuck = true;
                    box->done(QMessageBox::No);
                }
            });
            answer = MessageInteraction().Ask({"Delete the file?", MessageIcon::Warning});
        });
        EXPECT_EQ(app.Run(), 0);
    }
    EXPECT_FALSE(stuck);
    EXPECT_EQ(answer, Answer::No) << "closing never answers yes";
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(m_data + "/upd.ini"));
    EXPECT_EQ(profile.GetInt("PERSISTENT", "ACTIVEPAGE", -1), 2);
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler) << "the handler ends with the app";
}

TEST_F(StartupTest, AltAndAMarkedLetterSwitchPages) {
    CFlashwerkApp app(OptionsFor(m_data));
    app.Start();
    CReceiverSheet* sheet = app.Sheet();
    ShowAndActivate(sheet);
    QTest::keyClick(sheet, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(sheet->ActivePage(), 1);
    QTest::keyClick(sheet, Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(sheet->ActivePage(), 3);
    QTest::keyClick(sheet, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(sheet->ActivePage(), 2);
    QTest::keyClick(sheet, Qt::Key_U, Qt::AltModifier);
    EXPECT_EQ(sheet->ActivePage(), 0);
    QTest::keyClick(sheet, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(sheet->ActivePage(), 0) << "a letter no tab marks changes nothing";
    sheet->reject();
}

TEST_F(StartupTest, AStoredPageThatDoesNotExistOpensTheFirst) {
    WriteProfile("[PERSISTENT]\nACTIVEPAGE=9\n");
    CFlashwerkApp app(OptionsFor(m_data));
    app.Start();
    EXPECT_EQ(app.Sheet()->ActivePage(), 0);
}

TEST_F(StartupTest, AnUnreadableProfileIsReportedAndNeverOverwritten) {
    const std::string profile = m_data + "/upd.ini";
    std::filesystem::create_directories(m_data);
    // A folder, and a pipe that nobody writes to (a blocking read would hang the start).
    for (const bool pipe : {false, true}) {
        std::filesystem::remove_all(profile);
        if (pipe)
            ASSERT_EQ(::mkfifo(profile.c_str(), 0600), 0);
        else
            std::filesystem::create_directories(profile + "/inside");
        CFlashwerkApp app(OptionsFor(m_data));
        app.Start();
        ASSERT_EQ(app.Problems().size(), 1);
        EXPECT_TRUE(app.Problems().front().contains("could not be read"))
            << app.Problems().front().toStdString();
        EXPECT_EQ(app.Config().m_baudRate, 115200) << "the run goes on with the defaults";
        app.Sheet()->reject();
        app.Finish();
        EXPECT_EQ(std::filesystem::is_fifo(profile), pipe);
        EXPECT_EQ(app.Problems().size(), 1) << "nothing was saved, so nothing more failed";
    }
}

TEST_F(StartupTest, AWriteProtectedProfileIsSaidOnceAndKeptAndALinkedOneIsSavedThroughTheLink) {
    WriteProfile("[OPTIONEN]\nTOOLTIPS=0\n");
    const std::string profile = m_data + "/upd.ini";
    ::chmod(profile.c_str(), 0444);
    testing::internal::CaptureStderr();
    {
        CFlashwerkApp app(OptionsFor(m_data));
        app.Start();
        app.Sheet()->reject();
        app.Finish();
        EXPECT_TRUE(app.Problems().isEmpty());
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("write-protected"), std::string::npos) << said;
    EXPECT_EQ(said.find("write-protected"), said.rfind("write-protected")) << said;
    EXPECT_EQ(ReadProfile(), "[OPTIONEN]\nTOOLTIPS=0\n");

    ::chmod(profile.c_str(), 0644);
    const std::string real = m_root + "/real.ini";
    std::filesystem::rename(profile, real);
    std::filesystem::create_symlink(real, profile);
    {
        CFlashwerkApp app(OptionsFor(m_data));
        app.Start();
        app.Sheet()->reject();
        app.Finish();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(profile));
    EXPECT_NE(test::ReadBytes(real).find("BAUDRATE="), std::string::npos) << "saved at the target";
}

TEST_F(StartupTest, AnUnusableDataFolderIsReported) {
    std::filesystem::create_directories(m_root);
    test::WriteBytes(m_data, ""); // a file where the data folder belongs
    CFlashwerkApp app(OptionsFor(m_data));
    app.Start();
    ASSERT_FALSE(app.Problems().isEmpty());
    EXPECT_TRUE(app.Problems().front().contains(QString::fromStdString(m_data)));
    app.Finish();
    EXPECT_TRUE(std::filesystem::is_regular_file(m_data));
}

class DemoStartupTest : public StartupTest {
protected:
    void SetUp() override { SetLinkTimeFactor(0.1); }
    void TearDown() override { SetLinkTimeFactor(1.0); }
};

TEST_F(DemoStartupTest, TheSimulatedReceiverTakesTheSampleFirmwareOnCom1AndUpdIniKeepsItsMap) {
    const std::string ports = "[PORTS]\nCOM1=/dev/ttyUSB7\nCOM2=ttyS9\n";
    WriteProfile("[DATENTRANSFER]\nCOMPORT=0\n" + ports);
    CFlashwerkApp app(OptionsFor(m_data, true), DemoSpeed::Instant);
    app.Start();
    ASSERT_TRUE(app.Problems().isEmpty()) << app.Problems().front().toStdString();
    CReceiverSheet* sheet = app.Sheet();
    EXPECT_TRUE(sheet->windowTitle().contains("Demo")) << sheet->windowTitle().toStdString();
    EXPECT_EQ(app.Ports().DeviceFor(1).rfind("/dev/pts/", 0), 0u) << app.Ports().DeviceFor(1);
    EXPECT_EQ(app.Ports().DeviceFor(2), "/dev/ttyS9") << "the user's map holds for the other ports";

    // The page lists the seeded sample; the port search (COMPORT 0) finds the receiver.
    // The port box calls COM1 by what it is.
    EXPECT_TRUE(OptionsControl<QComboBox>(*sheet, CDlgOptionen::kPortBox)
                    ->itemText(1)
                    .contains(QString::fromStdString(LoadResString(str::kSimulatedReceiver))));
    auto* page = sheet->findChild<CDlgFlashwerk*>();
    ASSERT_NE(page, nullptr);
    // The page reads its folder once the window is on the screen.
    ShowAndActivate(sheet);
    ASSERT_TRUE(QTest::qWaitFor([page] { return page->List()->RowCount() == 1; }));
    page->List()->SelectRow(0, true);
    ModalDriver driver(sheet);
    TransferCloser closer;
    QString question;
    driver.Then([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << modal->metaObject()->className();
        question = box->text();
        driver.Click(box->button(QMessageBox::Yes));
    });
    // The check after the send asks the receiver which software it runs now.
    driver.Then([&driver](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << modal->metaObject()->className();
        EXPECT_EQ(box->text().toStdString(), "The receiver now runs ABC V1.30.");
        driver.Click(box->buttons().front());
    });
    page->findChild<QPushButton*>(QString::number(ids::firmware::kSend))->click();
    EXPECT_EQ(closer.outcomes, std::vector<JobOutcome>{JobOutcome::Succeeded});
    EXPECT_TRUE(question.startsWith("Write firmware ")) << question.toStdString();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(driver.Unexpected().empty())
        << "no version warning, no other message: " << driver.Unexpected().front().toStdString();
    // The receiver keeps what it was sent for the next demo run.
    EXPECT_EQ(test::ReadBytes(m_data + "/demo-receiver/firmware.bin"), DemoFirmwareBytes());

    sheet->reject();
    app.Finish();
    const std::string text = ReadProfile();
    EXPECT_NE(text.find(ports), std::string::npos) << text;
    EXPECT_EQ(text.find("/dev/pts"), std::string::npos) << text;
    ProfileFile profile;
    ASSERT_TRUE(profile.Load(m_data + "/upd.ini"));
    EXPECT_EQ(profile.GetInt("DATENTRANSFER", "COMPORT", -1), 0);
}

TEST_F(DemoStartupTest, AReceiverThatCannotStartIsReportedAndTheRunGoesOnWithoutIt) {
    std::filesystem::create_directories(m_data);
    test::WriteBytes(m_data + "/demo-receiver", ""); // a file where its state folder belongs
    CFlashwerkApp app(OptionsFor(m_data, true), DemoSpeed::Instant);
    app.Start();
    ASSERT_EQ(app.Problems().size(), 1);
    EXPECT_TRUE(app.Problems().front().contains("demo-receiver"))
        << app.Problems().front().toStdString();
    EXPECT_FALSE(app.Sheet()->windowTitle().contains("Demo"));
    EXPECT_EQ(app.Ports().DeviceFor(1).rfind("/dev/pts/", 0), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(m_data + "/OS/" + std::string(kDemoFirmwareFile)))
        << "the samples do not need the receiver";
}

} // namespace
} // namespace fw
