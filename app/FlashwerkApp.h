#pragma once

#include "app/DemoReceiver.h"
#include "core/app/CommandLine.h"
#include "core/app/DataFolders.h"
#include "core/config/Konfiguration.h"
#include "gui/page/AppContext.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <array>
#include <csignal>
#include <memory>
#include <string>

class QSocketNotifier;

namespace fw {

class CReceiverSheet;

// The start of the program: data folders, the configuration (loaded, or created on a first
// start), the main window, and one save of the configuration however the window closes.
class CFlashwerkApp : public QObject {
    Q_OBJECT
public:
    // demoSpeed matters only with --demo; tests let the receiver work at once.
    explicit CFlashwerkApp(const CommandLineOptions& options,
                           DemoSpeed demoSpeed = DemoSpeed::RealLine);
    ~CFlashwerkApp() override;

    // Folders and configuration; the sheet is built but not shown. What went wrong is kept
    // in Problems() for Run to show.
    void Start();
    // Stores the configuration; what went wrong is added to Problems().
    void Finish();
    // Start, the modal main window, Finish. Returns the process exit code.
    int Run();

    CKonfiguration& Config() { return m_config; }
    const DataFolders& Folders() const { return m_folders; }
    // COM1..COM4 as this run's transfers see them.
    const PortMap& Ports() const { return m_context.ports; }
    CReceiverSheet* Sheet() const { return m_sheet.get(); }
    bool IsFirstStart() const { return m_firstStart; }
    const QStringList& Problems() const { return m_problems; }

private:
    void StartDemo(bool foldersUsable);
    void ReportFailedSave(const ConfigSaveResult& result);
    void CloseOnTerminationSignals();
    void CloseAfterSignal();
    void ShowProblems();

    CommandLineOptions m_options;
    DataFolders m_folders;
    CKonfiguration m_config;
    AppContext m_context;
    DemoSpeed m_demoSpeed;
    // Outlives the sheet, whose transfers may still talk to it.
    std::unique_ptr<DemoReceiver> m_demoReceiver;
    std::unique_ptr<CReceiverSheet> m_sheet;
    bool m_firstStart = false;
    // False when settings must not be written: no usable folder, or an upd.ini that is
    // there but could not be read (writing would replace the user's settings with defaults).
    bool m_savingAllowed = true;
    QStringList m_problems;
    QSocketNotifier* m_signalNotifier = nullptr;
    // What SIGTERM, SIGINT and SIGHUP did before Run; given back when the app ends.
    std::array<struct sigaction, 3> m_previousSignalActions{};
    // Runs from a termination signal until the window is closed.
    QTimer m_closingAfterSignal;
};

} // namespace fw
