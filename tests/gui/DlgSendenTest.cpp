#include "gui/link/DlgSenden.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/Cp1252.h"
#include "gui/link/DlgHinweis.h"
#include "gui/link/DlgSpeichernAls.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"
#include "tests/gui/ModalHelper.h"
#include "tests/linkjobs/JobHarness.h"
#include "tests/support/ListFixture.h"
#include "tests/support/ScriptedInteraction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
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
                                            Lists(), Settings(), interaction);
    }

    // A firmware send of image, written to the folder as name.
    FirmwareSend FirmwareJob(const std::string& name, const std::string& image,
                             const std::string& version) const {
        FirmwareSend job;
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

    // The dialog after a job that ended well: it stays open with OK in the focus, for Enter,
    // and the start button grey, so that no click does it again.
    static void ExpectSucceededAndOpen(const CDlgSenden& dialog, int statusId) {
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Outcome(), JobOutcome::Succeeded);
        EXPECT_EQ(LabelText(dialog, ids::transfer::kStatus), ResText(statusId));
        EXPECT_EQ(Control<QPushButton>(dialog, ids::transfer::kCancel)->text(),
                  ResText(str::kOkCaption));
        auto* ok = Control<QPushButton>(dialog, ids::transfer::kCancel);
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(dialog.focusWidget(), ok);
        EXPECT_FALSE(Control<QPushButton>(dialog, ids::transfer::kStart)->isEnabled());
        EXPECT_EQ(Control<QProgressBar>(dialog, ids::transfer::kProgress)->value(), 100);
        EXPECT_EQ(LabelText(dialog, ids::transfer::kPercent), "100 %");
    }

    test::TempDir folder;
    ChainMemory chain;
    CancelEvent cancel;
    test::ScriptedInteraction interaction;
    std::unique_ptr<sim::ReceiverSimulator> receiver;
};

TEST_F(DlgSendenTest, SettingsLoadAsksForANameWritesTheFileAndOkCloses) {
    sim::SimulatorOptions options;
    options.settings = std::string(2048, '\x5A');
    StartReceiver(options);
    SettingsLoad job;
    auto dialog = Dialog(job);

    EXPECT_EQ(dialog->windowTitle(), ResText(2012));
    EXPECT_EQ(Control<QPushButton>(*dialog, ids::transfer::kStart)->text(), ResText(2011));
    EXPECT_FALSE(Control<QPushButton>(*dialog, ids::transfer::kStart)->isEnabled());
    EXPECT_EQ(Control(*dialog, ids::transfer::kFileName), nullptr) << "a load shows no file fields";
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kBaud), "Baudrate: 115200");
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kStatus), ResText(2040)) << "a port chosen by hand";

    ModalDriver driver(dialog.get());
    // First an empty name, which the save dialog refuses, then a usable one.
    driver.ThenSaveAs("   ");
    driver.ThenSaveAs(" receiver ");
    QSignalSpy saved(dialog.get(), &CDlgSenden::FileSavedSignal);
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);

    const std::string path = Settings() + "/receiver.grd";
    EXPECT_EQ(test::ReadBytes(path), options.settings);
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).toString().toStdString(), path);
    EXPECT_EQ(interaction.shown, std::vector<std::string>{LoadResString(153)});
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
    const FirmwareSend job = FirmwareJob("update.bsr", image, "XYZ V1.30");
    auto dialog = Dialog(job);

    EXPECT_EQ(dialog->windowTitle(), ResText(2007));
    EXPECT_EQ(Control<QPushButton>(*dialog, ids::transfer::kStart)->text(),
              QString::fromStdString(LoadDialogText(132, "1030")));
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kFileName), "update.bsr");
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kDescriptionLabel), ResText(2008));
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kDescription), "XYZ V1.30");
    EXPECT_EQ(Control(*dialog, ids::transfer::kType), nullptr) << "no list type for firmware";

    interaction.answers = {Answer::Yes}; // the question before the flash is written
    ModalDriver driver(dialog.get());
    std::vector<QString> warningLines;
    driver.Then([&](QWidget* modal) {
        ASSERT_NE(qobject_cast<CDlgHinweis*>(modal), nullptr) << modal->metaObject()->className();
        for (int id = ids::hint::kFirstLine; id < ids::hint::kFirstLine + 6; ++id)
            warningLines.push_back(LabelText(*modal, id));
        driver.Click(modal->findChild<QPushButton*>(QString::number(ids::hint::kYes)));
    });
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);

    ASSERT_EQ(warningLines.size(), 6u);
    // Other software: the two names, the receiver's first.
    EXPECT_EQ(warningLines[0], ResText(2015));
    EXPECT_EQ(warningLines[1].toStdString(), "ABC");
    EXPECT_EQ(warningLines[3].toStdString(), "XYZ");
    // After the warning the question names what is replaced; Enter would say No.
    ASSERT_EQ(interaction.asked.size(), 1u);
    EXPECT_EQ(interaction.asked[0].text,
              "Write firmware update.bsr (version XYZ V1.30) into the receiver that runs ABC "
              "V1.20?");
    EXPECT_EQ(interaction.asked[0].defaultAnswer, Answer::No);
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
    const FirmwareSend job = FirmwareJob("old.bsr", std::string(4096, 'x'), "ABC V1.10");
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

    ListLoad load;
    load.listKind = 'T';
    auto loading = Dialog(load);
    EXPECT_EQ(loading->windowTitle(), ResText(2010));
    ModalDriver driver(loading.get());
    driver.ThenSaveAs("astra", QStringLiteral("Astra Ä"));
    const QDate before = QDate::currentDate();
    ASSERT_TRUE(RunUntilEnded(*loading)) << test::LogOf(*receiver);
    ExpectSucceededAndOpen(*loading, str::kProgramListLoaded);
    // Dated the day the dialog opened, even when the test ran over midnight.
    ASSERT_EQ(driver.proposedNames.size(), 1u);
    const QString proposed = driver.proposedNames[0];
    EXPECT_TRUE(proposed == before.toString("'tv-'yyyy-MM-dd") ||
                proposed == QDate::currentDate().toString("'tv-'yyyy-MM-dd"))
        << proposed.toStdString();
    const std::string path = Lists() + "/astra.lst";
    // The description is stored in the file's code page.
    EXPECT_NE(test::ReadBytes(path).find(Utf8ToCp1252("Astra Ä")), std::string::npos);
    loading->reject();
    ASSERT_TRUE(test::WaitForJobs(*receiver, 1));

    ListSend send;
    send.list.m_strPath = path;
    send.list.m_strFileName = "astra.lst";
    send.list.m_strName = Utf8ToCp1252("Astra Ä");
    send.list.m_strType = "TV";
    auto sending = Dialog(send);
    EXPECT_EQ(sending->windowTitle(), ResText(2009));
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
    SettingsSend job;
    job.settings.m_strPath = folder.File("mine.grd");
    job.settings.m_strFileName = "mine.grd";
    test::WriteBytes(job.settings.m_strPath, image);
    auto dialog = Dialog(job);
    EXPECT_EQ(dialog->windowTitle(), ResText(2013));
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kFileName), "mine.grd");
    EXPECT_EQ(Control(*dialog, ids::transfer::kDescription), nullptr);

    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);
    EXPECT_EQ(interaction.shown, std::vector<std::string>{LoadResString(str::kSettingsSendError)});
    EXPECT_EQ(interaction.messageIcons, std::vector<MessageIcon>{MessageIcon::Stop});
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
    EXPECT_EQ(interaction.shown.size(), 1u);
}

TEST_F(DlgSendenTest, ClosingDuringDetectionCancelsAndTheDialogClosesWhenTheJobHasEnded) {
    test::PtyEnd first, second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    SettingsLoad job;
    LinkSettings settings;
    settings.recTimeout = 300;
    auto dialog = Dialog(job, settings, {{"COM1", first.Device()}, {"COM2", second.Device()}});
    EXPECT_EQ(LabelText(*dialog, ids::transfer::kStatus), ResText(130)) << "automatic search";

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
    EXPECT_TRUE(interaction.shown.empty()) << "a cancel shows no message";
    EXPECT_EQ(dialog->ChainContinue(), 0);
    EXPECT_TRUE(test::JobRig::CanOpen(first.Device()));
}

TEST_F(DlgSendenTest, CancelDuringSimpleFirmwareDataClosesAndTellsThePage) {
    sim::SimulatorOptions options;
    options.loaderVersion = "1.0";
    options.softwareText = "NONE";
    options.pacing = true; // the data takes long enough to be cancelled on the way
    StartReceiver(options);
    const FirmwareSend job = FirmwareJob("big.bsr", std::string(250000, 'x'), "ABC V1.30");
    auto dialog = Dialog(job);
    interaction.answers = {Answer::Yes};

    // Cancel as soon as the data blinks in the status, once.
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (LabelText(*dialog, ids::transfer::kStatus) == ResText(str::kDataTransmitted)) {
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
    EXPECT_EQ(interaction.shown.size(), 1u) << "the question before writing, no message";
    EXPECT_TRUE(receiver->ReceivedFirmware().empty());
}

TEST_F(DlgSendenTest, FinishedDialogSendsOnceAndEnterClosesIt) {
    StartReceiver({});
    SettingsSend job;
    job.settings.m_strPath = folder.File("once.grd");
    job.settings.m_strFileName = "once.grd";
    test::WriteBytes(job.settings.m_strPath, std::string(2048, '\x33'));
    auto dialog = Dialog(job);
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);
    ExpectSucceededAndOpen(*dialog, str::kProgrammingFinished);

    QSignalSpy finished(dialog.get(), &CDlgSenden::WorkerFinished);
    QTest::mouseClick(Control<QPushButton>(*dialog, ids::transfer::kStart), Qt::LeftButton);
    EXPECT_FALSE(dialog->WorkerRunning()) << "the grey start button started a second send";
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(receiver->Commands().size(), 1u);
}

TEST_F(DlgSendenTest, ACheckOffersItsWholeComparisonBehindTheReportButton) {
    sim::SimulatorOptions options;
    options.settings = std::string(2048, '\x44');
    StartReceiver(options);
    std::string sent = options.settings;
    sent[7] = '\x01';
    sent[9] = '\x02';
    auto dialog = Dialog(SettingsLoad{LoadUse::Compare});
    dialog->JudgeLoad([&](const JobResult& loaded) { return CheckSettings(sent, loaded); });
    ASSERT_TRUE(RunUntilEnded(*dialog)) << test::LogOf(*receiver);
    ASSERT_TRUE(dialog->ReportButton()->isVisible());

    QString report;
    QTimer::singleShot(0, dialog.get(), [&] {
        auto* window = dialog->findChild<ReportWindow*>();
        ASSERT_NE(window, nullptr);
        report = window->Text();
        window->reject();
    });
    dialog->ReportButton()->click();
    // The verdict names the first difference; the report names every one.
    EXPECT_TRUE(report.contains("Byte 7: sent 1, holds 68")) << report.toStdString();
    EXPECT_TRUE(report.contains("Byte 9: sent 2, holds 68")) << report.toStdString();

    // A job without a check has nothing to report.
    auto plain = Dialog(SettingsLoad{});
    ModalDriver driver(plain.get());
    driver.ThenSaveAs("plain");
    ASSERT_TRUE(RunUntilEnded(*plain));
    EXPECT_FALSE(plain->ReportButton()->isVisible());
}

// ---- the save dialog on its own ----

class DlgSpeichernAlsTest : public ::testing::Test {
protected:
    static QLineEdit* Field(const QWidget& save, int id) {
        return save.findChild<QLineEdit*>(QString::number(id));
    }

    test::TempDir dir;
    test::ScriptedInteraction interaction;
};

TEST_F(DlgSpeichernAlsTest, RefusedNamesKeepTheDialogOpenUntilANameIsUsable) {
    test::WriteBytes(dir.File("taken.grd"), "old");
    CDlgSpeichernAls save(SaveKind::Settings, dir.Path().string(), interaction);
    EXPECT_FALSE(Field(save, ids::saveAs::kDescription)->isVisibleTo(&save))
        << "settings files have no description";
    save.open();
    QLineEdit* name = Field(save, ids::saveAs::kName);

    // A path is refused with its own message.
    name->setText("../escape");
    save.accept();
    EXPECT_TRUE(save.isVisible());
    EXPECT_EQ(interaction.shown, std::vector<std::string>{
                                     FormatText(LoadResString(str::kNotAFileName), {"../escape"})});

    // An existing file: No keeps the dialog, Yes takes it; Enter alone keeps the old file.
    name->setText("taken");
    interaction.answers = {Answer::No, Answer::Yes};
    save.accept();
    EXPECT_TRUE(save.isVisible());
    save.accept();
    EXPECT_FALSE(save.isVisible());
    EXPECT_EQ(save.result(), QDialog::Accepted);
    EXPECT_EQ(save.Path(), dir.File("taken.grd"));
    ASSERT_EQ(interaction.asked.size(), 2u);
    EXPECT_EQ(interaction.asked[1].text,
              FormatText(LoadResString(str::kFileExistsReplace), {dir.File("taken.grd")}));
    EXPECT_EQ(interaction.asked[1].defaultAnswer, Answer::No);
    EXPECT_EQ(save.Description(), "");
    EXPECT_EQ(test::ReadBytes(dir.File("taken.grd")), "old") << "the dialog itself writes nothing";
}

TEST_F(DlgSpeichernAlsTest, AReceivedListIsDiscardedOnlyAfterAQuestion) {
    struct Case {
        SaveKind kind;
        Answer answer;
        bool asked;
        bool closed;
    };
    const Case cases[] = {
        {SaveKind::ProgramList, Answer::No, true, false},
        {SaveKind::ProgramList, Answer::Yes, true, true},
        {SaveKind::Settings, Answer::No, false, true},
    };
    for (const Case& c : cases) {
        CDlgSpeichernAls save(c.kind, dir.Path().string(), interaction, "tv-2026-03-07");
        save.open();
        EXPECT_EQ(Field(save, ids::saveAs::kName)->selectedText(), "tv-2026-03-07");
        interaction.asked.clear();
        interaction.answers = {c.answer};
        QTest::keyClick(Field(save, ids::saveAs::kName), Qt::Key_Escape);
        ASSERT_EQ(interaction.asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(interaction.asked[0].text, LoadResString(str::kAskDiscardReceivedList));
            EXPECT_EQ(interaction.asked[0].defaultAnswer, Answer::No);
            EXPECT_EQ(interaction.asked[0].yesText, LoadResString(str::kAnswerDiscard));
        }
        EXPECT_EQ(save.isVisible(), !c.closed);
        save.done(QDialog::Rejected);
    }
}

TEST_F(DlgSpeichernAlsTest, ADescriptionTheFileCannotHoldIsRefusedNotQuestionMarked) {
    CDlgSpeichernAls save(SaveKind::ProgramList, dir.Path().string(), interaction);
    save.open();
    Field(save, ids::saveAs::kName)->setText("astra");
    QLineEdit* description = Field(save, ids::saveAs::kDescription);
    description->setText(QString::fromUtf8("Sender \xE6\x97\xA5"));
    save.accept();
    EXPECT_TRUE(save.isVisible());
    EXPECT_EQ(interaction.shown,
              std::vector<std::string>{LoadResString(str::kDescriptionNotEncodable)});

    description->setText(QString::fromUtf8("K\xC3\xB6ln \xE2\x82\xAC"));
    save.accept();
    EXPECT_EQ(save.result(), QDialog::Accepted);
    EXPECT_EQ(save.Description(), "K\xF6ln \x80");
}

} // namespace
} // namespace fw
