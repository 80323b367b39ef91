#include "app/FlashwerkApp.h"

#include "app/DemoFiles.h"
#include "core/config/ProfileFile.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "gui/app/ReceiverSheet.h"
#include "gui/ui/Texts.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace fw {
namespace {

int g_signalPipe[2] = {-1, -1};
constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGINT, SIGHUP};

void WriteSignalByte(int) {
    // The interrupted code may be about to read errno; a full socket drops the byte instead
    // of blocking the handler, and the one already waiting does the work.
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

CFlashwerkApp::CFlashwerkApp(const CommandLineOptions& options, DemoSpeed demoSpeed)
    : m_options(options),
      m_folders(FoldersUnder(ChooseDataFolder(ExecutableFolder(), options.dataDir,
                                              options.demo ? DataUse::Demo : DataUse::Real))),
      m_context{m_config, m_folders}, m_demoSpeed(demoSpeed) {}

CFlashwerkApp::~CFlashwerkApp() {
    if (m_signalNotifier == nullptr)
        return;
    // The handlers end with the window they close: a later signal does what it did before,
    // instead of writing into a socket nobody reads.
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
        ::sigaction(kTerminationSignals[i], &m_previousSignalActions[i], nullptr);
    delete m_signalNotifier;
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

void CFlashwerkApp::Start() {
    std::string reason;
    const bool foldersUsable = CreateDataFolders(m_folders, reason);
    if (!foldersUsable) {
        m_savingAllowed = false;
        m_problems << ResText(str::kDataFolderUnusable) + QString::fromStdString(reason);
    }
    if (m_options.demo)
        StartDemo(foldersUsable);

    ProfileFile profile;
    if (!profile.Load(m_folders.profile, reason)) {
        m_savingAllowed = false;
        m_problems << ResText(str::kSettingsNotRead) + QString::fromStdString(reason);
    }
    // A write-protected upd.ini is the user's choice: no message box about it at every end.
    if (m_savingAllowed && profile.Exists() && !CanReplaceFile(m_folders.profile, reason)) {
        m_savingAllowed = false;
        std::fprintf(stderr, "%s\n",
                     FormatText(LoadResString(str::kSettingsStayUnsaved), {reason}).c_str());
    }
    m_firstStart = !profile.Exists();
    if (m_firstStart) {
        m_config.ResetInternet();
        m_config.ReadSystemProxy();
        m_config.ResetOptions();
        m_config.ResetPrint();
        if (m_savingAllowed)
            ReportFailedSave(m_config.Save(profile));
    } else {
        m_config.Load(profile);
    }
    // Production mode lives for this run only; loading the configuration clears it.
    m_config.m_bFertigung = m_options.production ? 1 : 0;
    // The demo receiver's device exists for this run only, so it never goes into upd.ini.
    m_context.ports = m_demoReceiver
                          ? m_demoReceiver->Ports(profile.GetSection("PORTS"), ListSerialDevices())
                          : PortMap::FromProfile(profile, ListSerialDevices());
    if (m_demoReceiver)
        m_context.simulatedDevice = m_demoReceiver->DevicePath();
    m_sheet = std::make_unique<CReceiverSheet>(m_context);
    if (m_demoReceiver)
        m_sheet->setWindowTitle(ResText(str::kDemoWindowTitle));
}

void CFlashwerkApp::StartDemo(bool foldersUsable) {
    std::string reason;
    if (foldersUsable && !SeedDemoFiles(m_folders, reason))
        m_problems << ResText(str::kDemoFilesNotWritten) + QString::fromStdString(reason);
    // Without a usable data folder the receiver still runs, but forgets at the end.
    auto receiver = std::make_unique<DemoReceiver>(
        foldersUsable ? m_folders.program + "/demo-receiver" : std::string(), m_demoSpeed,
        m_options.demoStoreFaults);
    if (!receiver->Start(reason)) {
        m_problems << ResText(str::kDemoReceiverNotStarted) + QString::fromStdString(reason);
        return;
    }
    m_demoReceiver = std::move(receiver);
}

void CFlashwerkApp::Finish() {
    if (!m_savingAllowed)
        return;
    // Read the file again so that anything written to it meanwhile survives the save.
    ProfileFile profile;
    std::string reason;
    if (!profile.Load(m_folders.profile, reason)) {
        m_problems << ResText(str::kSettingsNotSaved) + QString::fromStdString(reason);
        return;
    }
    ReportFailedSave(m_config.Save(profile));
}

void CFlashwerkApp::ReportFailedSave(const ConfigSaveResult& result) {
    if (result.status != ConfigSaveStatus::Saved)
        m_problems << ResText(str::kSettingsNotSaved) + QString::fromStdString(result.reason);
}

int CFlashwerkApp::Run() {
    CloseOnTerminationSignals();
    Start();
    // Centred over the main window, which exists only once the loop runs.
    QTimer::singleShot(0, m_sheet.get(), [this] { ShowProblems(); });
    if (!m_closingAfterSignal.isActive())
        m_sheet->exec();
    Finish();
    ShowProblems();
    return 0;
}

void CFlashwerkApp::ShowProblems() {
    for (const QString& problem : std::as_const(m_problems)) {
        // Nobody is there to read a message box once the session asked the program to end.
        if (m_closingAfterSignal.isActive())
            std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
        else
            m_context.interaction->ShowLastError(problem.toStdString());
    }
    m_problems.clear();
}

void CFlashwerkApp::CloseAfterSignal() {
    // Whatever is open on top of the window goes first: a question or message as by Escape
    // (never the answer that deletes or overwrites), a transfer as by its Cancel button, which
    // closes it once the receiver allows. Until then this runs again.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != m_sheet.get())
        modal->close();
    else if (m_sheet != nullptr && m_sheet->isVisible())
        m_sheet->reject();
}

void CFlashwerkApp::CloseOnTerminationSignals() {
    // A signal only writes a byte; the window closes on the GUI thread, so the settings are
    // saved as after Quit.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0)
        return;
    m_signalNotifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        if (!m_closingAfterSignal.isActive()) {
            m_closingAfterSignal.start();
            CloseAfterSignal();
        }
    });
    m_closingAfterSignal.setInterval(100);
    connect(&m_closingAfterSignal, &QTimer::timeout, this, &CFlashwerkApp::CloseAfterSignal);
    struct sigaction action {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
        ::sigaction(kTerminationSignals[i], &action, &m_previousSignalActions[i]);
}

} // namespace fw
