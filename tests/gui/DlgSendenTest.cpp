#include "gui/link/DlgSenden.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "gui/link/DlgHinweis.h"
#include "gui/link/DlgSpeichernAls.h"
#include "tests/gui/ModalHelper.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fw {
namespace {

using sim::FaultKind;
using sim::Step;

QString Text(int id) {
    return QString::fromStdString(LoadResString(id));
}

using test::ReceiverProgramLines;

class DlgSendenTest : public test::LinkJobTest {
protected:
    void SetUp() override {
        LinkJobTest::SetUp();
        std::filesystem::create_directory(folder.Path() / "lists");
        std::filesystem::create_directory(folder.Path() / "settings");
    }

    void StartReceiver(sim::SimulatorOptions options) {
        receiver = test::StartReceiver(std::move(options));
        ASSERT_TRUE(receiver);
    }

    // A dialog for job on COM1, which leads to the simulator unless ports says otherwise.
    std::unique_ptr<CDlgSenden> Dialog(const TransferJob& job, LinkSettings settings = {},
                                       PortMap::Entries ports = {}) {
        if (ports.empty() && receiver)
            ports = {{"COM1", receiver->DevicePath()}};
        if (settings.comPort == 0 && settings.device.empty() && ports.size() == 1)
            settings.comPort = 1;
        return std::make_unique<CDlgSenden>(job, settings, PortMap(ports, {}), chain, cancel,
                                            Lists(), Settings());
    }

    // A firmware send of image, written to the folder as name.
    TransferJob FirmwareJob(const std::string& name, const std::string& image,
                            const std::string& version) const {
        TransferJob job;
        job.kind = TransferJobKind::FirmwareSend;
        job.firmware.m_strPath = folder.File(name);
        job.firmware.m_strFileName = name;
        job.firmware.m_size = static_cast<std::int32_t>(image.size());
        job.firmware.m_kind = 1;
        job.firmware.m_version = version;
        test::WriteBytes(job.firmware.m_strPath, image);
        return job;
    }

    std::string Lists() const { return (folder.Path() / "lists").string(); }
    std::string Settings() const { return (folder.Path() / "settings").string(); }

    template <typename T = QWidget> static T* Control(const QWidget& dialog, int id) {
        return dialog.findChild<T*>(QString::number(id));
    }
    static QString LabelText(const QWidget& dialog, int id) {
        const QLabel* label = Control<QLabel>(dialog, id);
        return label != nullptr ? label->text() : QStringLiteral("<none>");
    }

    // Shows the dialog and waits until its job has ended and the dialog holds still.
    static bool RunUntilEnded(CDlgSenden& dialog, int timeoutMs = 20000) {
        QSignalSpy finished(&dialog, &CDlgSenden::WorkerFinished);
        if (!dialog.isVisible())
            dialog.open();
        return finished.wait(timeoutMs) || finished.count() > 0;
    }

    // The dialog after a job that ended well and stays open for another run.
    static void ExpectSucceededAndOpen(const CDlgSenden& dialog, int statusId) {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Outcome(), JobOutcome::Succeeded);
        EXPECT_EQ(LabelText(dialog, ids::transfer::kStatus), Text(statusId));
        EXPECT_EQ(Control<QPushButton>(dialog, ids::transfer::kCancel)->text(),
                  Text(str::kOkCaption));
        EXPECT_TRUE(Control<QPushButton>(dialog, ids::transfer::kCancel)->isEnabled());
        EXPECT_TRUE(Control<QPushButton>(dialog, ids::transfer::kStart)->isEnabled());
        EXPECT_EQ(Control<QProgressBar>(dialog, ids::transfer::kProgress)->value(), 100);
        EXPECT_EQ(LabelText(dialog, ids::transfer::kPercent), "100 %");
    }

    test::TempDir folder;
    ChainMemory chain;
    CancelEvent cancel;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(DlgSendenTest, SettingsLoadAsksForANameWritesTheFileAndOkCloses) {
    sim::SimulatorOptions options;
    options.settings = std::string(2048, '\x5A');
    StartReceiver(options);
    TransferJob job;
    job.kind = TransferJobKind::SettingsLoad;
    auto dialog = Dialog(job);

    EXPECT_EQ(dialog->windowTitle(), Text(2012));
    EXPECT_EQ(Control<QPushButton>(*dialog, ids::transfer::kStart)->text(), Text(2011));
    EXPECT_FALSE(Control<QPushButton>(*dialog, ids::transfer::kStart)->isEnabled());
    EXPECT_EQ(Control(*dialog, ids::transfer::kFileName), nullptr) << "a load shows no file fields";
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kBaud), "Baudrate: 115200");
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kStatus), Text(2040)) << "a port chosen by hand";

    ModalDriver driver(dialog.get());
    // First an empty name, which the save dialog refuses, then a usable one.
    driver.ThenSaveAs("   ");
    driver.ThenAcceptMessage();
    driver.ThenSaveAs(" receiver ");
    QSignalSpy saved(dialog.get(), &CDlgSenden::FileSavedSignal);
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);

    const std::string path = Settings() + "/receiver.grd";
    EXPECT_EQ(test::ReadBytes(path), options.settings);
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).toString().toStdString(), path);
    EXPECT_EQ(driver.Messages(), std::vector<QString>{Text(153)});
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front().toStdString();
    ExpectSucceededAndOpen(*dialog, str::kSettingsLoaded);

    Control<QPushButton>(*dialog, ids::transfer::kCancel)->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DlgSendenTest, FirmwareSendAsksTheVersionWarningAndProgramsTheReceiver) {
    sim::SimulatorOptions options;
    options.loaderVersion = "1.1";
    options.softwareText = "ABC V1.20";
    StartReceiver(options);
    std::string image(5 * 1024, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>((i * 7) & 0xFF);
    const TransferJob job = FirmwareJob("update.bsr", image, "XYZ V1.30");
    auto dialog = Dialog(job);

    EXPECT_EQ(dialog->windowTitle(), Text(2007));
    EXPECT_EQ(Control<QPushButton>(*dialog, ids::transfer::kStart)->text(),
              QString::fromStdString(LoadDialogText(132, "1030")));
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kFileName), "update.bsr");
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kDescriptionLabel), Text(2008));
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kDescription), "XYZ V1.30");
    EXPECT_EQ(Control(*dialog, ids::transfer::kType), nullptr) << "no list type for firmware";

    ModalDriver driver(dialog.get());
    std::vector<QString> warningLines;
    driver.Then([&](QWidget* modal) {
        ASSERT_NE(qobject_cast<CDlgHinweis*>(modal), nullptr) << modal->metaObject()->className();
        for (int id = 1109; id <= 1114; ++id)
            warningLines.push_back(LabelText(*modal, id));
        driver.Click(modal->findChild<QPushButton*>("1"));
    });
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);

    ASSERT_EQ(warningLines.size(), 6u);
    // Other software: the two names, the receiver's first.
    EXPECT_EQ(warningLines[0], Text(2015));
    EXPECT_EQ(warningLines[1].toStdString(), "ABC");
    EXPECT_EQ(warningLines[3].toStdString(), "XYZ");
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front().toStdString();
    const std::vector<unsigned char> received = receiver->ReceivedFirmware();
    EXPECT_EQ(std::string(received.begin(), received.end()), image);
    ExpectSucceededAndOpen(*dialog, str::kProgrammingFinished);
    // The large status font of the programming phase is gone again.
    EXPECT_EQ(Control(*dialog, ids::transfer::kStatus)->font().pointSizeF(),
              dialog->font().pointSizeF());
    EXPECT_EQ(dialog->FirmwareCancelled(), 0);
}

TEST_F(DlgSendenTest, VersionWarningAnsweredNoSendsNothing) {
    sim::SimulatorOptions options;
    options.softwareText = "ABC V1.20";
    StartReceiver(options);
    const TransferJob job = FirmwareJob("old.bsr", std::string(4096, 'x'), "ABC V1.10");
    auto dialog = Dialog(job);
    ModalDriver driver(dialog.get());
    driver.Then([&driver](QWidget* modal) {
        ASSERT_NE(qobject_cast<CDlgHinweis*>(modal), nullptr);
        // NO is the default, so Enter refuses.
        driver.Later(modal, [modal] { QTest::keyClick(modal, Qt::Key_Return); });
    });
    ASSERT_TRUE(RunUntilEnded(*dialog));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(dialog->Outcome(), JobOutcome::Refused);
    EXPECT_TRUE(receiver->ReceivedFirmware().empty());
}

TEST_F(DlgSendenTest, ListLoadedWithADescriptionIsSentBackUnchanged) {
    sim::SimulatorOptions options;
    options.model = sim::Model::RecOk;
    options.tvList = ReceiverProgramLines(30);
    options.tvBanks[0] = {3, 1, 2};
    StartReceiver(options);

    TransferJob load;
    load.kind = TransferJobKind::ListLoad;
    load.listKind = 'T';
    auto loading = Dialog(load);
    EXPECT_EQ(loading->windowTitle(), Text(2010));
    ModalDriver driver(loading.get());
    driver.ThenSaveAs("astra", QStringLiteral("Astra Ä"));
    ASSERT_TRUE(RunUntilEnded(*loading)) << test::LogOf(*receiver);
    ExpectSucceededAndOpen(*loading, str::kProgramListLoaded);
    const std::string path = Lists() + "/astra.lst";
    // The description is stored in the file's code page.
    EXPECT_NE(test::ReadBytes(path).find(Utf8ToCp1252("Astra Ä")), std::string::npos);
    loading->reject();
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1));

    TransferJob send;
    send.kind = TransferJobKind::ListSend;
    send.list.m_strPath = path;
    send.list.m_strFileName = "astra.lst";
    send.list.m_strName = Utf8ToCp1252("Astra Ä");
    send.list.m_strType = "TV";
    auto sending = Dialog(send);
    EXPECT_EQ(sending->windowTitle(), Text(2009));
    EXPECT_EQ(LabelText(*sending, ids::transfer::kFileName), "astra.lst");
    EXPECT_EQ(LabelText(*sending, ids::transfer::kDescription), QStringLiteral("Astra Ä"));
    EXPECT_EQ(LabelText(*sending, ids::transfer::kType), "TV");
    ASSERT_TRUE(RunUntilEnded(*sending)) << test::LogOf(*receiver);
    ExpectSucceededAndOpen(*sending, str::kProgrammingFinished);
    std::vector<std::string> expected = ReceiverProgramLines(30);
    const std::vector<std::string> received = receiver->ReceivedList(true);
    ASSERT_GE(received.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(received.begin(), received.begin() + 30), expected);
    EXPECT_EQ(receiver->ReceivedBanks(true)[0], (std::vector<std::uint16_t>{3, 1, 2}));
}

TEST_F(DlgSendenTest, FailureShowsItsMessageThenStartRunsTheJobAgain) {
    StartReceiver([] {
        sim::SimulatorOptions options;
        options.faults = {{Step::SettingsResult, 0, FaultKind::WrongByte}};
        return options;
    }());
    const std::string image(2048, '\x11');
    TransferJob job;
    job.kind = TransferJobKind::SettingsSend;
    job.settings.m_strPath = folder.File("mine.grd");
    job.settings.m_strFileName = "mine.grd";
    test::WriteBytes(job.settings.m_strPath, image);
    auto dialog = Dialog(job);
    EXPECT_EQ(dialog->windowTitle(), Text(2013));
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kFileName), "mine.grd");
    EXPECT_EQ(Control(*dialog, ids::transfer::kDescription), nullptr);

    ModalDriver driver(dialog.get());
    driver.ThenAcceptMessage();
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);
    EXPECT_EQ(driver.Messages(), std::vector<QString>{Text(str::kSettingsSendError)});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Outcome(), JobOutcome::Failed);
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kStatus), "");
    EXPECT_EQ(Control<QProgressBar>(*dialog, ids::transfer::kProgress)->value(), 0);
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kPercent), "0 %");
    auto* start = Control<QPushButton>(*dialog, ids::transfer::kStart);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(*dialog, ids::transfer::kCancel)->isEnabled());

    // The receiver's fault fired once; the second run goes through.
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1));
    QSignalSpy finished(dialog.get(), &CDlgSenden::WorkerFinished);
    start->click();
    EXPECT_FALSE(start->isEnabled()) << "a second click must not start a second run";
    start->click();
    ASSERT_TRUE(finished.wait(20000));
    // A queued restart would have started in the same call that ended the run, and every
    // change the worker posted ran before that call: no worker now means no second run.
    EXPECT_FALSE(dialog->WorkerRunning()) << "a second run was started";
    EXPECT_EQ(finished.count(), 1);
    ExpectSucceededAndOpen(*dialog, str::kProgrammingFinished);
    EXPECT_EQ(receiver->ReceivedSettings(), image);
    EXPECT_TRUE(driver.Unexpected().empty());
}

TEST_F(DlgSendenTest, ClosingDuringDetectionCancelsAndTheDialogClosesWhenTheJobHasEnded) {
    test::PtyEnd first, second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    TransferJob job;
    job.kind = TransferJobKind::SettingsLoad;
    LinkSettings settings;
    settings.recTimeout = 300;
    auto dialog = Dialog(job, settings, {{"COM1", first.Device()}, {"COM2", second.Device()}});
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kStatus), Text(130)) << "automatic search";
    ModalDriver driver(dialog.get());

    bool visibleAfterClose = false;
    QTimer::singleShot(100, dialog.get(), [&] {
        // The window's close button while the first port is tried: the job is told, the
        // dialog stays until the job has ended.
        dialog->close();
        visibleAfterClose = dialog->isVisible();
    });
    QSignalSpy finished(dialog.get(), &CDlgSenden::WorkerFinished);
    dialog->exec();

    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(finished.count(), 1) << "exec returned only after the worker ended";
    EXPECT_FALSE(dialog->WorkerRunning());
    EXPECT_EQ(dialog->Outcome(), JobOutcome::Cancelled);
    EXPECT_TRUE(driver.Unexpected().empty()) << "a cancel shows no message";
    EXPECT_EQ(dialog->ChainContinue(), 0);
    EXPECT_TRUE(test::JobRig::CanOpen(first.Device()));
}

TEST_F(DlgSendenTest, CancelDuringSimpleFirmwareDataClosesAndTellsThePage) {
    sim::SimulatorOptions options;
    options.loaderVersion = "1.0";
    options.softwareText = "NONE";
    options.pacing = true; // the data takes long enough to be cancelled on the way
    StartReceiver(options);
    const TransferJob job = FirmwareJob("big.bsr", std::string(250000, 'x'), "ABC V1.30");
    auto dialog = Dialog(job);
    ModalDriver driver(dialog.get());

    // Cancel as soon as the data blinks in the status, once.
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (LabelText(*dialog, ids::transfer::kStatus) == Text(str::kDataTransmitted)) {
            watch.stop();
            Control<QPushButton>(*dialog, ids::transfer::kCancel)->click();
        }
    });
    watch.start();
    dialog->exec();

    EXPECT_FALSE(watch.isActive()) << "the data phase was never seen";
    EXPECT_EQ(dialog->FirmwareCancelled(), 1);
    EXPECT_EQ(dialog->Outcome(), JobOutcome::Cancelled);
    EXPECT_EQ(dialog->ChainContinue(), 0);
    EXPECT_TRUE(driver.Unexpected().empty());
    EXPECT_TRUE(receiver->ReceivedFirmware().empty());
}

// ---- the save dialog on its own ----

class DlgSpeichernAlsTest : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(DlgSpeichernAlsTest, RefusedNamesKeepTheDialogOpenUntilANameIsUsable) {
    test::WriteBytes(dir.File("taken.grd"), "old");
    CDlgSpeichernAls save(SaveKind::Settings, dir.Path().string());
    EXPECT_FALSE(save.findChild<QLineEdit*>("1057")->isVisibleTo(&save))
        << "settings files have no description";
    save.open();
    ModalDriver driver(&save);
    auto* name = save.findChild<QLineEdit*>("1056");

    // A path is refused with its own message.
    name->setText("../escape");
    driver.ThenAcceptMessage();
    save.accept();
    EXPECT_TRUE(save.isVisible());
    ASSERT_EQ(driver.Messages().size(), 1u);
    EXPECT_EQ(driver.Messages()[0],
              QString::fromStdString(FormatText(LoadResString(str::kNotAFileName), {"../escape"})));

    // An existing file: No keeps the dialog, Yes takes it.
    name->setText("taken");
    driver.ThenAnswerQuestion(QMessageBox::No);
    save.accept();
    EXPECT_TRUE(save.isVisible());
    driver.ThenAnswerQuestion(QMessageBox::Yes);
    save.accept();
    EXPECT_FALSE(save.isVisible());
    EXPECT_EQ(save.result(), QDialog::Accepted);
    EXPECT_EQ(save.Path(), dir.File("taken.grd"));
    EXPECT_EQ(driver.Messages().back(),
              QString::fromStdString(
                  FormatText(LoadResString(str::kFileExistsReplace), {dir.File("taken.grd")})));
    EXPECT_EQ(save.Description(), "");
    EXPECT_EQ(test::ReadBytes(dir.File("taken.grd")), "old") << "the dialog itself writes nothing";
}

TEST_F(DlgSpeichernAlsTest, ADescriptionTheFileCannotHoldIsRefusedNotQuestionMarked) {
    CDlgSpeichernAls save(SaveKind::ProgramList, dir.Path().string());
    save.open();
    ModalDriver driver(&save);
    save.findChild<QLineEdit*>("1056")->setText("astra");
    auto* description = save.findChild<QLineEdit*>("1057");
    description->setText(QString::fromUtf8("Sender \xE6\x97\xA5"));
    driver.ThenAcceptMessage();
    save.accept();
    EXPECT_TRUE(save.isVisible());
    ASSERT_EQ(driver.Messages().size(), 1u);
    EXPECT_EQ(driver.Messages()[0],
              QString::fromStdString(LoadResString(str::kDescriptionNotEncodable)));

    description->setText(QString::fromUtf8("K\xC3\xB6ln \xE2\x82\xAC"));
    save.accept();
    EXPECT_EQ(save.result(), QDialog::Accepted);
    EXPECT_EQ(save.Description(), "K\xF6ln \x80");
}

} // namespace
} // namespace fw
