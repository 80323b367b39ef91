#include "gui/production/ProductionWindow.h"

#include "core/config/Konfiguration.h"
#include "core/firmware/FirmwareCatalogue.h"
#include "core/link/LinkTiming.h"
#include "core/lists/ListCatalogue.h"
#include "core/production/ProductionLog.h"
#include "core/production/StationPorts.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/settings/SettingsCatalogue.h"
#include "gui/page/AppContext.h"
#include "gui/ui/ControlToolTips.h"
#include "gui/ui/FileChooser.h"
#include "gui/ui/PageGroup.h"
#include "gui/ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace fw {
namespace {

constexpr std::array<TransferTimer, 4> kTimers{TransferTimer::Progress, TransferTimer::SendingBlink,
                                               TransferTimer::ProgramBlink,
                                               TransferTimer::EraseSeconds};

unsigned TimerPeriod(TransferTimer timer) {
    return timer == TransferTimer::Progress ? 100 : 1000;
}

// The catalogues are the pages' business: a broken file there is theirs to ask about.
class QuietInteraction : public UserInteraction {
public:
    void ShowMessage(const std::string&, MessageIcon) override {}
    void ShowLastError(const std::string&) override {}
    Answer Ask(const Question& question) override {
        return question.answers == AnswerSet::YesNoCancel ? Answer::Cancel : Answer::No;
    }
    ListTypeChoice AskRadioOrTv() override { return ListTypeChoice::Cancelled; }
};

QString FileNameText(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

// A catalogue file as a recipe names it: under the data folder relative to it.
std::string RecipeName(const std::string& dataFolder, const std::string& path) {
    const std::string prefix = dataFolder + "/";
    return path.starts_with(prefix) ? path.substr(prefix.size()) : path;
}

// The report's columns in the user's language; an unknown column keeps its name.
QString ReportColumnTitle(const std::string& column) {
    static const std::array<std::pair<const char*, int>, 14> kTitles{{
        {"start", str::kProductionColumnStart},
        {"end", str::kProductionColumnEnd},
        {"port", str::kProductionColumnPort},
        {"device", str::kProductionColumnDevice},
        {"model", str::kProductionColumnModel},
        {"software_before", str::kProductionColumnSoftwareBefore},
        {"software_after", str::kProductionColumnSoftwareAfter},
        {"firmware", str::kProductionColumnFirmware},
        {"settings", str::kProductionColumnSettings},
        {"tv", str::kProductionColumnTv},
        {"radio", str::kProductionColumnRadio},
        {"check", str::kProductionColumnCheck},
        {"result", str::kProductionColumnResult},
        {"seconds", str::kProductionColumnSeconds},
    }};
    for (const auto& [name, id] : kTitles) {
        if (column == name)
            return ResText(id);
    }
    return QString::fromStdString(column);
}

// The first line of a message, for a cell; the whole stays in its tip.
QString FirstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

// Why the receiver failed, its first line; a port a question stopped may have no reason.
QString FailedVerdict(const QString& reason) {
    const QString first = FirstLine(reason);
    return first.isEmpty() ? ResText(str::kProductionVerdictFailedPlain) : first;
}

} // namespace

// One port: its widgets, its view, its cancel and its timers. Everything but the view's
// insides belongs to the window's thread.
struct ProductionWindow::PortRow : StationPortDisplay {
    PortRow(const StationPortChoice& port, ProductionWindow& owner)
        : window(owner), name(QString::fromStdString(port.name)), device(port.device),
          view(port.name, *this, owner) {}

    void ShowStep(const QString& text) override {
        step->setText(text);
        step->setToolTip(notes.isEmpty() ? text : text + QStringLiteral("\n\n") + notes);
    }
    void ShowProgress(int percent) override { progress->setValue(percent); }
    void RunTimer(TransferTimer timer, bool on) override {
        QTimer* qtimer = timers[static_cast<std::size_t>(timer) - 1];
        if (on)
            qtimer->start();
        else
            qtimer->stop();
    }
    void ShowNote(const QString& text, MessageIcon icon) override {
        if (icon == MessageIcon::Stop && failure.isEmpty()) {
            failure = text;
            ShowVerdict(FailedVerdict(text), text);
        } else if (icon != MessageIcon::Stop) {
            notes += (notes.isEmpty() ? QString() : QStringLiteral("\n")) + text;
            ShowStep(step->text());
        }
    }
    void PortEnded() override {
        running = false;
        step->setText(ResText(str::kProductionPortEnded));
        window.UpdateSummary();
    }

    void ShowVerdict(const QString& text, const QString& tip) {
        verdict->setText(text);
        verdict->setToolTip(tip);
    }
    void ShowResult(const ProductionRow& result) {
        running = false;
        if (RowSucceeded(result)) {
            ShowVerdict(ResText(str::kProductionVerdictOk), {});
            progress->setValue(100);
        } else {
            const QString reason = QString::fromStdString(result.reason);
            ShowVerdict(FailedVerdict(reason), reason);
        }
    }
    // Ready for a run: nothing of the one before is left in the row.
    void Reset() {
        running = true;
        cancel.Clear();
        failure.clear();
        notes.clear();
        step->setText(ResText(str::kProductionWaiting));
        step->setToolTip({});
        progress->setValue(0);
        ShowVerdict({}, {});
    }

    ProductionWindow& window;
    const QString name;
    const std::string device;
    StationPortView view;
    CancelEvent cancel;
    QCheckBox* box = nullptr;
    QLabel* deviceLabel = nullptr;
    QLabel* step = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* verdict = nullptr;
    std::array<QTimer*, 4> timers{};
    bool running = false;
    QString failure; // the first failure the port's jobs reported
    QString notes;   // their other messages
};

ProductionWindow::ProductionWindow(AppContext& context, QWidget* parent, std::string byIdFolder)
    : QDialog(parent), m_context(context), m_byIdFolder(std::move(byIdFolder)) {
    setWindowTitle(ResText(str::kProductionTitle));
    BuildLayout();
    FillCatalogues();
    if (m_context.config.m_productionRecipe) {
        const ProductionRecipeSetting& kept = *m_context.config.m_productionRecipe;
        ShowRecipe({kept.firmware, kept.settings, kept.tvList, kept.radioList, kept.verify != 0,
                    kept.backup != 0});
    }
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &ProductionWindow::RefreshReport);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &ProductionWindow::RefreshReport);
    RefreshReport();
    UpdateControls();
    UpdateSummary();
    resize(std::max(sizeHint().width(), fontMetrics().averageCharWidth() * 165),
           fontMetrics().height() * 42);
}

ProductionWindow::~ProductionWindow() {
    // Only reached during a run when the program ends with the window open: every port is
    // told to stop, a question waiting gives up, and the ports end before their rows go.
    if (m_driver.joinable()) {
        m_abandoned.store(true);
        for (const auto& row : m_rows)
            row->cancel.SetForGood();
        m_driver.join();
    }
}

void ProductionWindow::BuildLayout() {
    m_start = new QPushButton(ResText(str::kProductionStart), this);
    m_start->setObjectName("start");
    m_cancelAll = new QPushButton(ResText(str::kProductionCancelAll), this);
    m_cancelAll->setObjectName("cancelAll");
    m_repeatFailed = new QPushButton(ResText(str::kProductionRepeatFailed), this);
    m_repeatFailed->setObjectName("repeatFailed");
    m_close = new QPushButton(ResText(str::kProductionClose), this);
    m_close->setObjectName("close");
    for (QPushButton* button : {m_start, m_cancelAll, m_repeatFailed, m_close})
        button->setAutoDefault(false);
    connect(m_start, &QPushButton::clicked, this, &ProductionWindow::Start);
    connect(m_cancelAll, &QPushButton::clicked, this, &ProductionWindow::CancelAll);
    connect(m_repeatFailed, &QPushButton::clicked, this, &ProductionWindow::RepeatFailed);
    connect(m_close, &QPushButton::clicked, this, &ProductionWindow::reject);

    m_summary = new QLabel(this);
    m_summary->setObjectName("summary");

    m_report = new QTableWidget(this);
    m_report->setObjectName("report");
    m_report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_report->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_report->setTabKeyNavigation(false); // Tab leaves the table
    m_report->setWordWrap(false);
    m_report->setAlternatingRowColors(true);
    m_report->verticalHeader()->hide();
    m_report->horizontalHeader()->setStretchLastSection(true);
    m_reportLabel = new QLabel(this);
    m_reportLabel->setBuddy(m_report);

    auto* reportBox = new QWidget(this);
    auto* reportLayout = new QVBoxLayout(reportBox);
    reportLayout->setContentsMargins(0, 0, 0, 0);
    reportLayout->addWidget(m_reportLabel);
    reportLayout->addWidget(m_report, 1);

    QWidget* recipe = BuildRecipeGroup();
    // The report may take the room the ports do not need.
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(BuildPortGroup());
    splitter->addWidget(reportBox);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancelAll);
    buttons->addWidget(m_repeatFailed);
    buttons->addSpacing(fontMetrics().averageCharWidth() * 2);
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(recipe);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    // Recipe, ports, run buttons, report, close: the order the work goes.
    QWidget* chain[] = {m_files[kFirmware],  m_files[kSettings], m_files[kTvList],
                        m_files[kRadioList], m_verify,           m_backup,
                        m_openRecipe,        m_saveRecipe};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    QWidget* last = m_saveRecipe;
    for (const auto& row : m_rows) {
        setTabOrder(last, row->box);
        last = row->box;
    }
    for (QWidget* next :
         std::initializer_list<QWidget*>{m_start, m_cancelAll, m_repeatFailed, m_report, m_close}) {
        setTabOrder(last, next);
        last = next;
    }
}

QWidget* ProductionWindow::BuildRecipeGroup() {
    auto* group = new PageGroup(ResText(str::kProductionRecipeGroup), this);
    // Two columns: what the receiver runs on the left, the lists on the right.
    auto* files = new QGridLayout;
    const std::array<std::pair<int, const char*>, kFileStepCount> captions{{
        {str::kProductionFirmware, "firmware"},
        {str::kProductionSettings, "settings"},
        {str::kProductionTvList, "tvList"},
        {str::kProductionRadioList, "radioList"},
    }};
    for (int step = 0; step < kFileStepCount; ++step) {
        auto* box = new QComboBox(group);
        box->setObjectName(captions[step].second);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(18);
        connect(box, &QComboBox::currentIndexChanged, this, &ProductionWindow::RecipeEdited);
        auto* label = new QLabel(ResText(captions[step].first), group);
        label->setBuddy(box);
        const int column = step < kTvList ? 0 : 3;
        files->addWidget(label, step % 2, column);
        files->addWidget(box, step % 2, column + 1);
        m_files[step] = box;
    }
    files->setColumnStretch(1, 1);
    files->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 3);
    files->setColumnStretch(4, 1);
    m_verify = new QCheckBox(ResText(str::kProductionVerify), group);
    m_verify->setObjectName("verify");
    m_verify->setChecked(true); // as a recipe without the key
    m_backup = new QCheckBox(ResText(str::kProductionBackup), group);
    m_backup->setObjectName("backup");
    connect(m_verify, &QCheckBox::toggled, this, &ProductionWindow::RecipeEdited);
    connect(m_backup, &QCheckBox::toggled, this, &ProductionWindow::RecipeEdited);
    m_openRecipe = new QPushButton(ResText(str::kProductionOpenRecipe), group);
    m_openRecipe->setObjectName("openRecipe");
    m_saveRecipe = new QPushButton(ResText(str::kProductionSaveRecipe), group);
    m_saveRecipe->setObjectName("saveRecipe");
    for (QPushButton* button : {m_openRecipe, m_saveRecipe})
        button->setAutoDefault(false);
    connect(m_openRecipe, &QPushButton::clicked, this, &ProductionWindow::OnOpenRecipe);
    connect(m_saveRecipe, &QPushButton::clicked, this, &ProductionWindow::OnSaveRecipe);

    auto* options = new QHBoxLayout;
    options->addWidget(m_verify);
    options->addSpacing(fontMetrics().averageCharWidth() * 3);
    options->addWidget(m_backup);
    options->addStretch(1);
    options->addWidget(m_openRecipe);
    options->addWidget(m_saveRecipe);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(files);
    layout->addLayout(options);
    return group;
}

QWidget* ProductionWindow::BuildPortGroup() {
    auto* group = new PageGroup(ResText(str::kProductionReceivers), this);
    group->setObjectName("receivers");
    auto* inner = new QWidget;
    m_portGrid = new QGridLayout(inner);
    const int columns[] = {str::kProductionPortColumn, str::kProductionDeviceColumn,
                           str::kProductionStepColumn, str::kProductionProgressColumn,
                           str::kProductionVerdictColumn};
    for (int column = 0; column < int(std::size(columns)); ++column) {
        auto* title = new QLabel(ResText(columns[column]), inner);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        m_portGrid->addWidget(title, 0, column);
    }
    const std::vector<StationPortChoice> choices =
        StationPortChoices(m_context.ports, m_byIdFolder);
    for (const StationPortChoice& choice : choices) {
        auto row = std::make_unique<PortRow>(choice, *this);
        const int line = int(m_rows.size()) + 1;
        // An adapter's stable name can be long; the row shows its start, the tip all of it.
        const int most = 24;
        row->box = new QCheckBox(
            row->name.size() > most ? row->name.left(most - 1) + u'\u2026' : row->name, inner);
        row->box->setToolTip(row->name);
        row->box->setObjectName("port:" + row->name);
        const bool simulated =
            !m_context.simulatedDevice.empty() && choice.device == m_context.simulatedDevice;
        row->deviceLabel = new QLabel(
            simulated ? ResText(str::kSimulatedReceiver) : FileNameText(choice.device), inner);
        row->deviceLabel->setToolTip(FileNameText(choice.device));
        row->step = new QLabel(inner);
        row->step->setObjectName("step:" + row->name);
        row->progress = new QProgressBar(inner);
        row->progress->setRange(0, 100);
        row->progress->setValue(0);
        row->progress->setObjectName("progress:" + row->name);
        row->verdict = new QLabel(inner);
        row->verdict->setObjectName("verdict:" + row->name);
        for (TransferTimer timer : kTimers) {
            auto* qtimer = new QTimer(this);
            qtimer->setInterval(static_cast<int>(std::max(1u, LinkMs(TimerPeriod(timer)))));
            connect(qtimer, &QTimer::timeout, this,
                    [view = &row->view, timer] { view->Tick(timer); });
            row->timers[static_cast<std::size_t>(timer) - 1] = qtimer;
        }
        m_portGrid->addWidget(row->box, line, 0);
        m_portGrid->addWidget(row->deviceLabel, line, 1);
        m_portGrid->addWidget(row->step, line, 2);
        m_portGrid->addWidget(row->progress, line, 3);
        m_portGrid->addWidget(row->verdict, line, 4);
        m_rows.push_back(std::move(row));
    }
    if (m_rows.empty())
        m_portGrid->addWidget(new QLabel(ResText(str::kProductionNoPorts), inner), 1, 0, 1, 5);
    // The step and the verdict take the room; a bar of a sensible width.
    // Long texts are cut at the row's end rather than widening it; the tips hold them whole.
    const int charWidth = fontMetrics().averageCharWidth();
    // The devices are shown whole unless one is very long.
    int deviceWidth = charWidth * 12;
    for (const auto& row : m_rows) {
        for (QLabel* label : {row->deviceLabel, row->step, row->verdict})
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        deviceWidth =
            std::max(deviceWidth, fontMetrics().horizontalAdvance(row->deviceLabel->text()));
    }
    m_portGrid->setColumnMinimumWidth(1, std::min(deviceWidth, charWidth * 32));
    m_portGrid->setColumnMinimumWidth(2, charWidth * 24);
    m_portGrid->setColumnMinimumWidth(3, charWidth * 12);
    m_portGrid->setColumnMinimumWidth(4, charWidth * 18);
    m_portGrid->setColumnStretch(2, 1);
    m_portGrid->setColumnStretch(4, 1);
    m_portGrid->setRowStretch(int(m_rows.size()) + 1, 1);

    auto* scroll = new QScrollArea(group);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Never narrower than the rows need, since it does not scroll sideways.
    scroll->setMinimumWidth(inner->minimumSizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width());
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(scroll);
    return group;
}

void ProductionWindow::FillCatalogues() {
    const DataFolders& folders = m_context.folders;
    QuietInteraction quiet;
    std::array<std::vector<std::pair<QString, std::string>>, kFileStepCount> entries;
    for (const CReceiverdat& file : ScanFirmwareFolder(folders.firmware, quiet))
        entries[kFirmware].push_back(
            {FileNameText(file.m_strFileName), RecipeName(folders.program, file.m_strPath)});
    for (const CGrundDat& file : ScanSettingsFolder(folders.settings, quiet).records)
        entries[kSettings].push_back(
            {FileNameText(file.m_strFileName), RecipeName(folders.program, file.m_strPath)});
    for (const CListenDat& file : ScanListFolder(folders.lists, quiet).records) {
        const int step = file.m_strType == "TV"   ? kTvList
                         : file.m_strType == "RA" ? kRadioList
                                                  : -1;
        if (step >= 0)
            entries[step].push_back(
                {FileNameText(file.m_strFileName), RecipeName(folders.program, file.m_strPath)});
    }
    for (int step = 0; step < kFileStepCount; ++step) {
        QComboBox* box = m_files[step];
        const QSignalBlocker quietBox(box);
        box->clear();
        box->addItem(ResText(str::kProductionNone), QString());
        for (const auto& [shown, name] : entries[step])
            box->addItem(shown, QString::fromStdString(name));
    }
}

Recipe ProductionWindow::CurrentRecipe() const {
    const auto name = [this](FileStep step) {
        return m_files[step]->currentData().toString().toStdString();
    };
    return {name(kFirmware),  name(kSettings),       name(kTvList),
            name(kRadioList), m_verify->isChecked(), m_backup->isChecked()};
}

void ProductionWindow::ShowRecipe(const Recipe& recipe) {
    const std::array<const std::string*, kFileStepCount> names{&recipe.firmware, &recipe.settings,
                                                               &recipe.tvList, &recipe.radioList};
    for (int step = 0; step < kFileStepCount; ++step) {
        QComboBox* box = m_files[step];
        const QSignalBlocker quiet(box);
        const QString name = QString::fromStdString(*names[step]);
        int index = box->findData(name);
        if (index < 0) {
            // Not in the catalogue (another folder, or gone): kept by its name, so that the
            // recipe stays as it was and Start says what is wrong with it.
            box->addItem(QFile::decodeName(QByteArray::fromStdString(*names[step])), name);
            index = box->count() - 1;
        }
        box->setCurrentIndex(index);
    }
    {
        const QSignalBlocker quietVerify(m_verify);
        const QSignalBlocker quietBackup(m_backup);
        m_verify->setChecked(recipe.verify);
        m_backup->setChecked(recipe.backup);
    }
    RecipeEdited();
}

void ProductionWindow::RecipeEdited() {
    const Recipe recipe = CurrentRecipe();
    m_context.config.m_productionRecipe =
        ProductionRecipeSetting{recipe.firmware,  recipe.settings,       recipe.tvList,
                                recipe.radioList, recipe.verify ? 1 : 0, recipe.backup ? 1 : 0};
    // Another recipe: the receivers that failed the last one are no repeat of it.
    m_failedPorts.clear();
    m_lastRecipe.reset();
    UpdateControls();
}

bool ProductionWindow::OpenRecipeFile(const std::string& path) {
    Recipe recipe;
    std::string reason;
    if (!LoadRecipe(path, recipe, reason)) {
        m_context.interaction->ShowMessage(reason, MessageIcon::Stop);
        return false;
    }
    ShowRecipe(recipe);
    return true;
}

bool ProductionWindow::SaveRecipeFile(const std::string& path) {
    std::string reason;
    if (!SaveRecipe(path, CurrentRecipe(), reason)) {
        m_context.interaction->ShowLastError(
            FormatText(LoadResString(str::kProductionRecipeNotSaved), {reason}));
        return false;
    }
    return true;
}

void ProductionWindow::OnOpenRecipe() {
    const QString path = AskOpenPath(this, ResText(str::kProductionOpenRecipeTitle),
                                     QString::fromStdString(m_context.folders.program),
                                     ResText(str::kProductionRecipeFilter));
    if (!path.isEmpty())
        OpenRecipeFile(QFile::encodeName(path).toStdString());
}

void ProductionWindow::OnSaveRecipe() {
    const QString path =
        AskSavePath(this, *m_context.interaction, ResText(str::kProductionSaveRecipeTitle),
                    QString::fromStdString(m_context.folders.program + "/shop.recipe"),
                    ResText(str::kProductionRecipeFilter), QStringLiteral(".recipe"));
    if (!path.isEmpty())
        SaveRecipeFile(QFile::encodeName(path).toStdString());
}

void ProductionWindow::Start() {
    if (m_running)
        return;
    auto prepared = std::make_shared<PreparedRecipe>();
    std::string reason;
    if (!PrepareRecipe(CurrentRecipe(), m_context.folders.program, *prepared, reason)) {
        m_context.interaction->ShowMessage(
            FormatText(LoadResString(str::kProductionNothingSent), {reason}), MessageIcon::Stop);
        return;
    }
    std::vector<PortRow*> chosen;
    for (const auto& row : m_rows) {
        if (row->box->isChecked())
            chosen.push_back(row.get());
    }
    if (chosen.empty()) {
        m_context.interaction->ShowMessage(LoadResString(str::kProductionNoPortChosen),
                                           MessageIcon::Warning);
        return;
    }
    RunOn(std::move(prepared), chosen);
}

void ProductionWindow::RepeatFailed() {
    if (m_running || !m_lastRecipe)
        return;
    std::vector<PortRow*> rows;
    for (const QString& name : m_failedPorts) {
        if (PortRow* row = RowNamed(name))
            rows.push_back(row);
    }
    if (!rows.empty())
        RunOn(m_lastRecipe, rows);
}

void ProductionWindow::RunOn(std::shared_ptr<const PreparedRecipe> recipe,
                             const std::vector<PortRow*>& rows) {
    std::vector<StationPort> ports;
    for (PortRow* row : rows) {
        row->Reset();
        StationPort port;
        port.name = row->name.toStdString();
        port.device = row->device;
        port.view = &row->view;
        port.cancel = &row->cancel;
        port.attachTimers = [view = &row->view](TransferSession* session) {
            view->Attach(session);
        };
        // The window outlives the run: closing it waits for the ports to end.
        port.finished = [this, row](const ProductionRow& result) {
            Post([row, result] { row->ShowResult(result); });
        };
        ports.push_back(std::move(port));
    }
    StationOptions options;
    options.link = LinkSettings::FromConfiguration(m_context.config);
    options.link.comPort = 0; // each port's device is its own
    options.dataFolder = m_context.folders.program;
    options.safetyCopiesKept = SafetyCopiesToKeep(m_context.config.m_safetyCopyKeep);
    m_lastRecipe = recipe;
    m_failedPorts.clear();
    m_running = true;
    UpdateControls();
    UpdateSummary();
    m_driver = std::thread([this, recipe = std::move(recipe), ports, options] {
        std::vector<std::string> failures;
        std::vector<ProductionRow> results = RunStation(*recipe, ports, options, failures);
        Post([this, ports, results = std::move(results), failures = std::move(failures)] {
            OnRunEnded(ports, results, failures);
        });
    });
}

void ProductionWindow::OnRunEnded(const std::vector<StationPort>& ports,
                                  const std::vector<ProductionRow>& rows,
                                  const std::vector<std::string>& writeFailures) {
    if (m_driver.joinable())
        m_driver.join();
    // Each port's verdict came as it finished, before this.
    m_running = false;
    for (const StationPort& port : FailedPorts(ports, rows))
        m_failedPorts.push_back(QString::fromStdString(port.name));
    RefreshReport();
    UpdateControls();
    UpdateSummary();
    if (!writeFailures.empty()) {
        std::string all;
        for (const std::string& failure : writeFailures)
            all += (all.empty() ? "" : "\n") + failure;
        m_context.interaction->ShowMessage(
            FormatText(LoadResString(str::kProductionRecordsNotWritten), {all}),
            MessageIcon::Warning);
    }
    emit RunFinished();
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
        QDialog::reject();
    }
}

void ProductionWindow::CancelAll() {
    for (const auto& row : m_rows) {
        if (!row->running)
            continue;
        // Taken at the receiver's next point that allows it, and by every job after it: a
        // receiver being programmed finishes that first.
        row->cancel.SetForGood();
        row->step->setText(ResText(str::kProductionCancelling));
    }
}

void ProductionWindow::reject() {
    if (!m_running) {
        QDialog::reject();
        return;
    }
    // A receiver is never left half prepared without a word: the user cancels them all, and
    // the window closes once every port has stopped.
    int running = 0;
    for (const auto& row : m_rows)
        running += row->running ? 1 : 0;
    const Question question{.text = FormatText(LoadResString(str::kProductionCloseWhileRunning),
                                               {std::to_string(std::max(running, 1))}),
                            .icon = MessageIcon::Warning,
                            .defaultAnswer = Answer::No};
    if (m_context.interaction->Ask(question) != Answer::Yes)
        return;
    // The run may have ended while the question was open.
    if (!m_running) {
        QDialog::reject();
        return;
    }
    m_closeWhenDone = true;
    CancelAll();
}

void ProductionWindow::UpdateControls() {
    const bool idle = !m_running;
    for (QComboBox* box : m_files)
        box->setEnabled(idle);
    m_verify->setEnabled(idle);
    m_backup->setEnabled(idle);
    m_openRecipe->setEnabled(idle);
    for (const auto& row : m_rows)
        row->box->setEnabled(idle);
    m_start->setEnabled(idle && !m_rows.empty());
    m_cancelAll->setEnabled(m_running);
    m_repeatFailed->setEnabled(idle && m_lastRecipe && !m_failedPorts.empty());
}

void ProductionWindow::UpdateSummary() {
    if (m_running) {
        int running = 0;
        for (const auto& row : m_rows)
            running += row->running ? 1 : 0;
        m_summary->setText(ResText(str::kProductionRunning).arg(running));
        return;
    }
    int done = 0;
    int failed = 0;
    for (const auto& row : m_rows) {
        if (row->verdict->text().isEmpty())
            continue;
        ++done;
        failed += row->verdict->text() == ResText(str::kProductionVerdictOk) ? 0 : 1;
    }
    m_summary->setText(
        done == 0 ? QString()
                  : ResText(str::kProductionSummary).arg(done - failed).arg(done).arg(failed));
}

void ProductionWindow::RefreshReport() {
    const std::string path =
        ProductionLogPath(m_context.folders.program, std::chrono::system_clock::now());
    m_reportLabel->setText(
        ResText(str::kProductionReport).arg(QFileInfo(FileNameText(path)).fileName()));
    ProductionLogTable table;
    std::string reason;
    if (!ReadProductionLog(path, table, reason)) {
        m_report->setRowCount(0);
        m_reportLabel->setText(
            m_reportLabel->text() + QStringLiteral(" \u2013 ") +
            ResText(str::kProductionReportUnreadable).arg(QString::fromStdString(reason)));
        WatchReport();
        return;
    }
    if (table.header.empty())
        table.header = {
            "start",    "end",      "port", "device", "model", "software_before", "software_after",
            "firmware", "settings", "tv",   "radio",  "check", "result",          "seconds"};
    m_report->setColumnCount(int(table.header.size()));
    QStringList titles;
    for (const std::string& column : table.header)
        titles << ReportColumnTitle(column);
    m_report->setHorizontalHeaderLabels(titles);
    // Newest first, as the logbook shows it.
    m_report->setRowCount(int(table.rows.size()));
    for (int row = 0; row < int(table.rows.size()); ++row) {
        const std::vector<std::string>& record = table.rows[table.rows.size() - 1 - row];
        for (int column = 0; column < int(table.header.size()); ++column) {
            const std::string cell =
                column < int(record.size()) ? record[std::size_t(column)] : std::string();
            auto* item = new QTableWidgetItem(QString::fromStdString(cell));
            // The day is the report's own: its times show the hour, the tip the whole stamp.
            const std::string& name = table.header[std::size_t(column)];
            if ((name == "start" || name == "end") && cell.size() >= 19 && cell[10] == 'T') {
                item->setText(QString::fromStdString(cell.substr(11, 8)));
                item->setToolTip(QString::fromStdString(cell));
            }
            m_report->setItem(row, column, item);
        }
    }
    if (table.rows.empty())
        m_report->setToolTip(ResText(str::kProductionNoReportYet));
    else
        m_report->setToolTip({});
    m_report->resizeColumnsToContents();
    m_report->horizontalHeader()->setStretchLastSection(true);
    WatchReport();
}

// The day's file changes as each receiver finishes, from whichever thread or program wrote
// it; the folders are watched until it exists.
void ProductionWindow::WatchReport() {
    const std::string& dataFolder = m_context.folders.program;
    const std::string path = ProductionLogPath(dataFolder, std::chrono::system_clock::now());
    QStringList wanted;
    for (const std::string& candidate : {dataFolder, dataFolder + "/log", path}) {
        const QString name = FileNameText(candidate);
        if (QFileInfo::exists(name))
            wanted << name;
    }
    QStringList watched = m_watcher->files() + m_watcher->directories();
    for (const QString& name : wanted) {
        if (!watched.contains(name))
            m_watcher->addPath(name);
    }
}

ProductionWindow::PortRow* ProductionWindow::RowNamed(const QString& name) const {
    for (const auto& row : m_rows) {
        if (row->name == name)
            return row.get();
    }
    return nullptr;
}

QCheckBox* ProductionWindow::PortBox(const QString& name) const {
    const PortRow* row = RowNamed(name);
    return row ? row->box : nullptr;
}

QString ProductionWindow::PortVerdict(const QString& name) const {
    const PortRow* row = RowNamed(name);
    return row ? row->verdict->text() : QString();
}

QProgressBar* ProductionWindow::PortProgress(const QString& name) const {
    const PortRow* row = RowNamed(name);
    return row ? row->progress : nullptr;
}

void ProductionWindow::Post(std::function<void()> change) {
    m_changes->Post(std::move(change));
}

bool ProductionWindow::AskOnWindow(const std::string& text, MessageIcon icon) {
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> future = answer->get_future();
    Post([this, question = PendingQuestion{text, icon, answer}] {
        m_questions.push_back(question);
        AskNextQuestion();
    });
    while (future.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (m_abandoned.load())
            return false;
    }
    return future.get();
}

// Ports ask one at a time; the others wait for their turn.
void ProductionWindow::AskNextQuestion() {
    if (m_asking || m_questions.empty())
        return;
    m_asking = true;
    const PendingQuestion question = m_questions.front();
    m_questions.pop_front();
    const Answer answer = m_context.interaction->Ask(
        {.text = question.text, .icon = question.icon, .defaultAnswer = Answer::No});
    question.answer->set_value(answer == Answer::Yes);
    m_asking = false;
    AskNextQuestion();
}

} // namespace fw
