#pragma once

#include "core/production/Recipe.h"
#include "core/production/Station.h"
#include "gui/production/StationPortView.h"
#include "gui/ui/ChangeQueue.h"

#include <QDialog>

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QFileSystemWatcher;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace fw {

struct AppContext;

namespace ids::production {
inline constexpr int kStationButton = 12354; // on the options page; its tip is that string
} // namespace ids::production

// The production station: one recipe (firmware, settings, TV and radio list from the
// catalogues, the check and the safety copy) sent to the receivers on several ports at once,
// one row per port with its step, progress and verdict, and the day's report below. Not
// modal: the rest of the program stays usable. The run goes on a worker thread; each port's
// view posts to this window, and only a port's question waits for the user.
class ProductionWindow : public QDialog, private StationViewHost {
    Q_OBJECT
public:
    enum FileStep { kFirmware, kSettings, kTvList, kRadioList, kFileStepCount };

    // byIdFolder: where the serial adapters' stable names are (tests give their own).
    ProductionWindow(AppContext& context, QWidget* parent = nullptr,
                     std::string byIdFolder = "/dev/serial/by-id");
    ~ProductionWindow() override;

    // The recipe as the window shows it, and the other way round; a file the catalogues do
    // not hold is offered by its name.
    Recipe CurrentRecipe() const;
    void ShowRecipe(const Recipe& recipe);
    // The buttons' work once the file is chosen; false after telling the user why.
    bool OpenRecipeFile(const std::string& path);
    bool SaveRecipeFile(const std::string& path);

    void Start();
    void CancelAll();
    void RepeatFailed();
    bool Running() const { return m_running; }

    QComboBox* FileChoice(FileStep step) const { return m_files[step]; }
    QCheckBox* VerifyBox() const { return m_verify; }
    QCheckBox* BackupBox() const { return m_backup; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CancelAllButton() const { return m_cancelAll; }
    QPushButton* RepeatFailedButton() const { return m_repeatFailed; }
    QTableWidget* ReportTable() const { return m_report; }
    // The port's check box, verdict and bar; nullptr for a port the window does not list.
    QCheckBox* PortBox(const QString& name) const;
    QString PortVerdict(const QString& name) const;
    QProgressBar* PortProgress(const QString& name) const;

    // Esc and closing the window come here: during a run it asks first.
    void reject() override;

signals:
    // A run has ended on every port, its verdicts and the report shown.
    void RunFinished();

private:
    struct PortRow;
    struct PendingQuestion {
        std::string text;
        MessageIcon icon;
        std::shared_ptr<std::promise<bool>> answer;
    };

    void BuildLayout();
    QWidget* BuildRecipeGroup();
    QWidget* BuildPortGroup();
    void FillCatalogues();
    void RecipeEdited();
    void OnOpenRecipe();
    void OnSaveRecipe();
    void RunOn(std::shared_ptr<const PreparedRecipe> recipe, const std::vector<PortRow*>& rows);
    void OnRunEnded(const std::vector<StationPort>& ports, const std::vector<ProductionRow>& rows,
                    const std::vector<std::string>& writeFailures);
    void UpdateControls();
    void UpdateSummary();
    void RefreshReport();
    void WatchReport();
    PortRow* RowNamed(const QString& name) const;

    // StationViewHost (worker threads)
    void Post(std::function<void()> change) override;
    bool AskOnWindow(const std::string& text, MessageIcon icon) override;
    void AskNextQuestion();

    AppContext& m_context;
    const std::string m_byIdFolder;
    std::array<QComboBox*, kFileStepCount> m_files{};
    QCheckBox* m_verify = nullptr;
    QCheckBox* m_backup = nullptr;
    QPushButton* m_openRecipe = nullptr;
    QPushButton* m_saveRecipe = nullptr;
    QGridLayout* m_portGrid = nullptr;
    std::vector<std::unique_ptr<PortRow>> m_rows;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancelAll = nullptr;
    QPushButton* m_repeatFailed = nullptr;
    QPushButton* m_close = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_reportLabel = nullptr;
    QTableWidget* m_report = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;

    bool m_running = false;
    bool m_closeWhenDone = false;
    // The last run's recipe and the ports it failed on, for Repeat failed; a changed recipe
    // is no repeat.
    std::shared_ptr<const PreparedRecipe> m_lastRecipe;
    std::vector<QString> m_failedPorts;
    std::thread m_driver;

    ChangeQueue* m_changes = new ChangeQueue(this);
    std::deque<PendingQuestion> m_questions; // window's thread only
    bool m_asking = false;
    std::atomic<bool> m_abandoned{false}; // the window is going away: questions stop waiting
};

} // namespace fw
