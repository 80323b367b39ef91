#include "core/app/Logbook.h"
#include "core/config/Konfiguration.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "gui/app/DlgOptionen.h"
#include "gui/app/ReceiverSheet.h"
#include "gui/firmware/DlgFlashwerk.h"
#include "tests/gui/ModalHelper.h"
#include "tests/gui/ScriptedContext.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fw {
namespace {

constexpr int kOptionsPage = 3;

// A list holding one program named like the list.
std::string List(const std::string& type, const std::string& name) {
    return test::ListHead(type, name) + test::ProgramLine(name) + "\r\n";
}

class OptionsPageTest : public test::LinkJobTest {
protected:
    void SetUp() override {
        LinkJobTest::SetUp();
        for (const std::string& path : {folders.firmware, folders.lists, folders.settings})
            std::filesystem::create_directories(path);
        config.m_versionHint = 0;
        config.m_activePage = kOptionsPage;
    }

    void ShowSheet() {
        sheet = std::make_unique<CReceiverSheet>(context);
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
    }
    CDlgOptionen& Page() const { return *static_cast<CDlgOptionen*>(sheet->Page(kOptionsPage)); }
    template <typename T = QWidget> T* Control(int id) const {
        return sheet->findChild<T*>(QString::number(id));
    }
    void UseReceiver(const sim::SimulatorOptions& options) {
        receiver = test::StartReceiver(options);
        ASSERT_TRUE(receiver);
        context.ports = PortMap({{"COM1", receiver->DevicePath()}}, {});
        config.m_comPort = 1;
    }
    // One file for each of the four steps: firmware, settings, and a radio list (row 0)
    // before a TV list (row 1).
    void WriteChainFiles() {
        test::WriteBytes(folders.firmware + "/new.bsr",
                         test::FirmwareImage(6144, "ABC V1.30", "production"));
        test::WriteBytes(folders.settings + "/factory.grd", std::string(2048, 'g'));
        test::WriteBytes(folders.lists + "/radio.lst", List("RA", "Radio One"));
        test::WriteBytes(folders.lists + "/tv.lst", List("TV", "Channel One"));
    }

    test::TempDir folder;
    DataFolders folders = FoldersUnder(folder.Path().string());
    CKonfiguration config;
    test::ScriptedContext context{config, folders};
    std::unique_ptr<sim::ReceiverSimulator> receiver;
    std::unique_ptr<CReceiverSheet> sheet;
};

TEST_F(OptionsPageTest, ControlsShowTheConfigurationAndWriteItBack) {
    config.m_baudRate = 57600;
    config.m_comPort = 0;
    config.m_productionFiles = "1,2";
    context.ports = PortMap({{"COM1", "/dev/ttyUSB7"}, {"COM3", "/dev/pts/9"}}, {});
    context.simulatedDevice = "/dev/pts/9";
    ShowSheet();

    EXPECT_TRUE(Control<QRadioButton>(CDlgOptionen::kFirstBaudButton + 2)->isChecked());
    Control<QRadioButton>(CDlgOptionen::kFirstBaudButton)->click();
    EXPECT_EQ(config.m_baudRate, 19200) << "a radio button sets the rate at once";

    QComboBox* ports = Page().PortBox();
    EXPECT_EQ(ports->currentText(), "Auto");
    EXPECT_EQ(ports->itemText(1), "COM1  (/dev/ttyUSB7)");
    // One pair of brackets, and the demo receiver called by what it is.
    EXPECT_EQ(ports->itemText(2),
              "COM2  (" + QString::fromStdString(LoadResString(str::kNoDeviceInPortBox)) + ")");
    EXPECT_FALSE(ports->itemText(2).contains("(("));
    EXPECT_EQ(ports->itemText(3),
              "COM3  (" + QString::fromStdString(LoadResString(str::kSimulatedReceiver)) + ")");
    ports->setCurrentIndex(3);

    // Without production mode the row numbers pass through the hidden field unchanged.
    EXPECT_TRUE(Page().ProductionButton()->isHidden());
    EXPECT_TRUE(Page().ProductionField()->isHidden());
    config.m_productionFiles = "changed meanwhile";
    sheet->SetActivePage(0);
    EXPECT_EQ(config.m_comPort, 3);
    EXPECT_EQ(config.m_productionFiles, "1,2");
    EXPECT_EQ(config.m_baudRate, 19200);

    // Values flow back in when the page is shown again.
    config.m_baudRate = 38400;
    config.m_comPort = 4;
    sheet->SetActivePage(kOptionsPage);
    EXPECT_TRUE(Control<QRadioButton>(CDlgOptionen::kFirstBaudButton + 1)->isChecked());
    EXPECT_EQ(ports->currentIndex(), 4);
}

TEST_F(OptionsPageTest, ToolTipsSwitchOffHereAtOnceAndOnOtherPagesWhenTheyShow) {
    config.m_activePage = 0;
    ShowSheet();
    ASSERT_FALSE(Control(ids::firmware::kSend)->toolTip().isEmpty())
        << "the firmware page's send button";
    sheet->SetActivePage(kOptionsPage);
    ASSERT_FALSE(Control(CDlgOptionen::kFirstBaudButton)->toolTip().isEmpty());

    Control<QCheckBox>(CDlgOptionen::kToolTips)->click();
    EXPECT_EQ(config.m_toolTips, 0);
    EXPECT_TRUE(Control(CDlgOptionen::kFirstBaudButton)->toolTip().isEmpty());
    sheet->SetActivePage(0);
    EXPECT_TRUE(Control(ids::firmware::kSend)->toolTip().isEmpty());
}

TEST_F(OptionsPageTest, SafetyCopyAndCheckSwitchesFollowTheConfigurationAndTheKeyboard) {
    config.m_safetyCopy = 0;
    ShowSheet();
    auto* safetyCopy = Control<QCheckBox>(CDlgOptionen::kSafetyCopy);
    auto* check = Control<QCheckBox>(CDlgOptionen::kCheckAfterSend);
    EXPECT_FALSE(safetyCopy->isChecked());
    EXPECT_TRUE(check->isChecked());
    EXPECT_FALSE(safetyCopy->toolTip().isEmpty());

    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    // A mnemonic clicks its box with the button's short animation: wait for the click.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return config.m_safetyCopy == 1; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return config.m_verifyAfterSend == 0; }));

    config.m_verifyAfterSend = 1;
    sheet->SetActivePage(0);
    sheet->SetActivePage(kOptionsPage);
    EXPECT_TRUE(check->isChecked()) << "shown again as stored";
}

TEST_F(OptionsPageTest, StoredPortTheBoxDoesNotOfferIsKept) {
    config.m_comPort = 7;
    ShowSheet();
    EXPECT_EQ(Page().PortBox()->currentIndex(), -1);
    sheet->SetActivePage(0);
    EXPECT_EQ(config.m_comPort, 7);
}

TEST_F(OptionsPageTest, ProductionDownloadChainsTheFourSendsAcrossThePages) {
    WriteChainFiles();
    UseReceiver({});
    config.m_bFertigung = 1;
    config.m_productionFiles = "0,0,1,0";
    ShowSheet();
    ASSERT_FALSE(Page().ProductionButton()->isHidden());
    ASSERT_FALSE(Page().ProductionField()->isHidden());
    EXPECT_EQ(Page().ProductionField()->text(), "0,0,1,0");

    ModalDriver driver(sheet.get());
    Page().ProductionButton()->click();

    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front().toStdString();
    EXPECT_TRUE(context.script.shown.empty());
    EXPECT_EQ(sheet->ActivePage(), kOptionsPage);
    EXPECT_EQ(receiver->ReceivedFirmware().size(), 6144u) << test::LogOf(*receiver);
    EXPECT_EQ(receiver->ReceivedSettings(), std::string(2048, 'g'));
    ASSERT_FALSE(receiver->ReceivedList(true).empty()) << test::LogOf(*receiver);
    EXPECT_EQ(receiver->ReceivedList(true).front().substr(0, 12), "\tChannel One");
    ASSERT_FALSE(receiver->ReceivedList(false).empty()) << test::LogOf(*receiver);
    EXPECT_EQ(receiver->ReceivedList(false).front().substr(0, 10), "\tRadio One");

    // Every step of the chain has its logbook line, without a safety copy or a check.
    std::vector<LogbookRecord> newestFirst;
    std::string reason;
    ASSERT_TRUE(ReadLogbook(folders.program, kWholeLogbook, newestFirst, reason)) << reason;
    std::vector<std::string> steps;
    for (const LogbookRecord& record : newestFirst) {
        steps.insert(steps.begin(), record.job + " " + record.file + " " + record.outcome);
        EXPECT_EQ(record.safetyCopy, "");
        EXPECT_EQ(record.verdict, "");
    }
    EXPECT_EQ(steps,
              (std::vector<std::string>{"firmware send " + folders.firmware + "/new.bsr ok",
                                        "settings send " + folders.settings + "/factory.grd ok",
                                        "list send " + folders.lists + "/tv.lst ok",
                                        "list send " + folders.lists + "/radio.lst ok"}));
}

TEST_F(OptionsPageTest, ProductionDownloadStopsAtTheFirstStepThatFails) {
    WriteChainFiles();
    sim::SimulatorOptions options;
    options.faults = {{sim::Step::SettingsResult, 0, sim::FaultKind::Silence}};
    UseReceiver(options);
    config.m_bFertigung = 1;
    config.m_productionFiles = "0,0,1,0";
    ShowSheet();

    ModalDriver driver(sheet.get());
    Page().ProductionButton()->click();

    EXPECT_EQ(context.script.shown.size(), 1u) << "the failed step shows its message";
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_EQ(sheet->ActivePage(), kOptionsPage);
    EXPECT_FALSE(receiver->ReceivedFirmware().empty());
    EXPECT_TRUE(receiver->ReceivedList(true).empty()) << "no list after the failed settings step";
    EXPECT_TRUE(receiver->ReceivedList(false).empty());

    // A row that is not there ends the chain before anything is sent.
    const int jobs = receiver->JobsFinished();
    Page().ProductionField()->setText("5");
    Page().ProductionButton()->click();
    EXPECT_EQ(receiver->JobsFinished(), jobs);
    EXPECT_EQ(sheet->ActivePage(), kOptionsPage);
}

} // namespace
} // namespace fw
