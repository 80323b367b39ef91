#include "gui/link/DlgSenden.h"

#include "core/link/LinkTiming.h"
#include "core/link/SaveName.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"
#include "core/util/Cp1252.h"
#include "core/util/UserInteraction.h"
#include "gui/link/DlgHinweis.h"
#include "gui/link/DlgSpeichernAls.h"
#include "gui/ui/ReportWindow.h"
#include "gui/ui/Texts.h"

#include <QDate>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <utility>

namespace fw {
namespace {

using namespace ids::transfer;

constexpr int kBaudRateText = 2006;
constexpr int kManualPortSearch = 2040;
constexpr int kAutoPortSearch = 130;

unsigned PeriodOf(TransferTimer timer) {
    return timer == TransferTimer::Progress ? 100 : 1000;
}

// File names are the file system's bytes; texts inside the files are Windows-1252.
QString FileNameText(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}
QString FileText(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

std::chrono::year_month_day Today() {
    const QDate today = QDate::currentDate();
    return {std::chrono::year{today.year()},
            std::chrono::month{static_cast<unsigned>(today.month())},
            std::chrono::day{static_cast<unsigned>(today.day())}};
}

QLabel* Label(const QString& text, int id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    return label;
}

} // namespace

CDlgSenden::CDlgSenden(TransferJob job, LinkSettings settings, PortMap ports, ChainMemory& chain,
                       CancelEvent& cancel, std::string listsFolder, std::string settingsFolder,
                       UserInteraction& interaction, QWidget* parent)
    : QDialog(parent), m_listsFolder(std::move(listsFolder)),
      m_settingsFolder(std::move(settingsFolder)), m_cancel(cancel), m_interaction(interaction),
      m_job(std::move(job)), m_settings(std::move(settings)),
      m_session(m_settings, std::move(ports), *this, chain, cancel) {
    setObjectName(QString::number(kDialog));
    setModal(true);
    BuildLayout();

    for (TransferTimer timer : {TransferTimer::Progress, TransferTimer::SendingBlink,
                                TransferTimer::ProgramBlink, TransferTimer::EraseSeconds}) {
        auto* qtimer = new QTimer(this);
        qtimer->setInterval(static_cast<int>(std::max(1u, LinkMs(PeriodOf(timer)))));
        connect(qtimer, &QTimer::timeout, this, [this, timer] { m_session.OnTimer(timer); });
        m_timers[static_cast<std::size_t>(timer) - 1] = qtimer;
    }
}

CDlgSenden::~CDlgSenden() {
    // Only reached with a worker when the dialog is destroyed without being closed: the job
    // is told to stop, and a question it waits for gives up.
    if (m_worker.joinable()) {
        m_abandoned.store(true);
        m_cancel.Set();
        m_worker.join();
    }
}

void CDlgSenden::BuildLayout() {
    const JobDescription description = Describe(m_job);
    const LinkSettings& settings = m_settings;
    setWindowTitle(ResText(description.titleId));

    // The values line up in one column, the status among them, so no caption stands alone.
    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    fields->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto addField = [&](const QString& caption, int labelId, const QString& value, int valueId) {
        auto* shown = Label(value, valueId, this);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fields->addRow(Label(caption, labelId, this), shown);
    };
    for (const auto& [field, value] : description.fields) {
        switch (field) {
        case JobField::FileName:
            addField(DialogText(kDialog, kFileNameLabel), kFileNameLabel, FileNameText(value),
                     kFileName);
            break;
        case JobField::Version:
            addField(ResText(str::kVersionLabel), kDescriptionLabel, FileText(value), kDescription);
            break;
        case JobField::Description:
            addField(DialogText(kDialog, kDescriptionLabel), kDescriptionLabel, FileText(value),
                     kDescription);
            break;
        case JobField::Type:
            addField(DialogText(kDialog, kTypeLabel), kTypeLabel, QString::fromStdString(value),
                     kType);
            break;
        }
    }
    m_normalFont = font();
    m_normalFont.setWeight(QFont::DemiBold);
    m_largeFont = m_normalFont;
    if (m_largeFont.pointSizeF() > 0)
        m_largeFont.setPointSizeF(m_largeFont.pointSizeF() * 1.4);
    else
        m_largeFont.setPixelSize(m_largeFont.pixelSize() * 14 / 10);

    auto* statusLabel = Label(DialogText(kDialog, kStatusLabel), kStatusLabel, this);
    const int autoOrManual =
        settings.comPort != 0 || !settings.device.empty() ? kManualPortSearch : kAutoPortSearch;
    m_status = Label(ResText(autoOrManual), kStatus, this);
    m_status->setFont(m_normalFont);
    m_status->setWordWrap(true);
    // Its first line beside its caption, the room for more below.
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest status (three lines in the large font) so the dialog does not jump.
    m_status->setMinimumHeight(QFontMetrics(m_largeFont).lineSpacing() * 3);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(kProgress));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_percent = Label(QStringLiteral("0 %"), kPercent, this);
    m_percent->setMinimumWidth(m_percent->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_percent);

    auto* baud = Label(QStringLiteral("%1 %2").arg(ResText(kBaudRateText)).arg(settings.baudRate),
                       kBaud, this);

    m_start = new QPushButton(
        description.load ? ResText(str::kLoadCaption) : DialogText(kDialog, kStart), this);
    m_start->setObjectName(QString::number(kStart));
    m_start->setEnabled(false);
    m_start->setAutoDefault(false);
    m_cancelButton = new QPushButton(DialogText(kDialog, kCancel), this);
    m_cancelButton->setObjectName(QString::number(kCancel));
    m_cancelButton->setAutoDefault(false);
    connect(m_start, &QPushButton::clicked, this, &CDlgSenden::OnStart);
    connect(m_cancelButton, &QPushButton::clicked, this, &CDlgSenden::reject);
    // Shown once a check has compared something: the verdict tells the first difference only.
    m_reportButton = new QPushButton(ResText(str::kShowCheckReport), this);
    m_reportButton->setObjectName("report");
    m_reportButton->setAutoDefault(false);
    m_reportButton->hide();
    connect(m_reportButton, &QPushButton::clicked, this, &CDlgSenden::ShowReport);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(baud);
    buttons->addStretch();
    buttons->addWidget(m_reportButton);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancelButton);

    // As tall as the status, so that both start on the same line.
    statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    statusLabel->setMinimumHeight(m_status->minimumHeight());
    fields->addRow(statusLabel, m_status);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(progressRow);
    layout->addSpacing(layout->spacing());
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

void CDlgSenden::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        StartWorker();
    }
}

void CDlgSenden::StartWorker() {
    m_endRequested = false;
    m_workerRunning = true;
    m_worker = std::thread([this] {
        RunJob();
        Post([this] { OnWorkerEnded(); });
    });
}

void CDlgSenden::RunJob() {
    const bool send = std::holds_alternative<ListSend>(m_job) ||
                      std::holds_alternative<SettingsSend>(m_job) ||
                      std::holds_alternative<FirmwareSend>(m_job);
    if (m_records && send && ChainStepOf(m_job).chained == 0) {
        RunSafeSend();
        return;
    }
    const auto started = std::chrono::steady_clock::now();
    const JobResult result = m_session.Run(m_job);
    LogbookRecord record = LogbookRecordOf(
        m_job, result,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    if (m_judge && result.outcome == JobOutcome::Succeeded) {
        const CheckVerdict verdict = m_judge(result);
        record.job = std::holds_alternative<ListLoad>(m_job) ? "list check" : "settings check";
        record.verdict = verdict.verdict;
        OfferReport(verdict.report);
        ShowMessage(verdict.verdict,
                    verdict.same ? MessageIcon::Information : MessageIcon::Warning);
    }
    if (m_records)
        Log({record});
}

void CDlgSenden::RunSafeSend() {
    SafetyCopyStore store(m_records->folders, m_records->safetyCopyKeep);
    SafeSendResult safe = fw::RunSafeSend(
        m_session, m_job, {m_records->safetyCopy ? &store : nullptr, m_records->verify});
    Log(safe.log);
    // Nothing was sent; the user may still want the send without the copy.
    if (safe.end == SafeSendEnd::SafetyCopyFailed && safe.outcome != JobOutcome::Cancelled &&
        AskYesNo(FormatText(LoadResString(str::kSendWithoutSafetyCopy), {safe.reason}),
                 MessageIcon::Warning)) {
        m_session.PrepareRestart();
        safe = fw::RunSafeSend(m_session, m_job, {nullptr, m_records->verify});
        Log(safe.log);
    }
    OfferReport(safe.report);
    if (!safe.verdict.empty())
        ShowMessage(safe.verdict, safe.end == SafeSendEnd::Sent ? MessageIcon::Information
                                                                : MessageIcon::Warning);
}

void CDlgSenden::OfferReport(const std::string& report) {
    Post([this, report] {
        m_report = report;
        m_reportButton->setVisible(!report.empty());
        // The button must not squeeze the baud rate out of sight.
        if (width() < sizeHint().width())
            resize(sizeHint().width(), height());
    });
}

void CDlgSenden::ShowReport() {
    ReportWindow window(ResText(str::kCheckReportTitle), QString::fromStdString(m_report),
                        m_interaction, this);
    window.exec();
}

void CDlgSenden::Log(const std::vector<LogbookRecord>& records) {
    for (const LogbookRecord& record : records) {
        std::string reason;
        // A logbook that cannot be written must not stop transfers; the user hears of it once.
        if (!AppendToLogbook(m_records->folders.program, record, reason)) {
            ShowMessage(FormatText(LoadResString(str::kLogbookNotWritten), {reason}),
                        MessageIcon::Warning);
            return;
        }
    }
}

void CDlgSenden::OnWorkerEnded() {
    if (m_worker.joinable())
        m_worker.join();
    m_workerRunning = false;
    emit WorkerFinished();
    if (m_endRequested) {
        StopAllTimers();
        done(QDialog::Accepted);
    } else if (m_session.Outcome() == JobOutcome::Succeeded) {
        // Done: Enter closes, and no click sends the same again. A click that came while the
        // job was ending is dropped too.
        m_restartPending = false;
        m_start->setEnabled(false);
        m_cancelButton->setDefault(true);
        m_cancelButton->setFocus();
    } else if (m_restartPending) {
        m_restartPending = false;
        OnStart();
    }
}

void CDlgSenden::OnStart() {
    // Disabled at once, so a second click cannot start a second run.
    m_start->setEnabled(false);
    if (m_workerRunning) {
        // The job enabled the button just before its worker ended.
        m_restartPending = true;
        return;
    }
    m_session.PrepareRestart();
    StartWorker();
}

void CDlgSenden::reject() {
    if (m_workerRunning) {
        // The job stops at its next look; it never closes the dialog under a running worker.
        if (m_cancelButton->isEnabled())
            m_cancel.Set();
        return;
    }
    StopAllTimers();
    QDialog::reject();
}

void CDlgSenden::StopAllTimers() {
    for (QTimer* timer : m_timers)
        timer->stop();
}

QTimer* CDlgSenden::TimerFor(TransferTimer timer) const {
    return m_timers[static_cast<std::size_t>(timer) - 1];
}

void CDlgSenden::Post(std::function<void()> change) {
    m_changes->Post(std::move(change));
}

template <typename T> T CDlgSenden::Ask(std::function<T()> question, T fallback) {
    auto answer = std::make_shared<std::promise<T>>();
    std::future<T> future = answer->get_future();
    Post([answer, question = std::move(question)] { answer->set_value(question()); });
    while (future.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (m_abandoned.load())
            return fallback;
    }
    return future.get();
}

// --- TransferView: each call turns into a change on the dialog's thread ---

void CDlgSenden::SetStatus(const std::string& text) {
    Post([this, shown = QString::fromStdString(text)] { m_status->setText(shown); });
}

void CDlgSenden::SetStatusFont(StatusFont font) {
    Post([this, font] {
        m_status->setFont(font == StatusFont::Large ? m_largeFont : m_normalFont);
    });
}

void CDlgSenden::SetProgress(int percent) {
    const int value = std::clamp(percent, 0, 100);
    Post([this, value] {
        m_progress->setValue(value);
        m_percent->setText(QStringLiteral("%1 %").arg(value));
    });
}

void CDlgSenden::EnableStart(bool enabled) {
    Post([this, enabled] { m_start->setEnabled(enabled); });
}

void CDlgSenden::EnableCancel(bool enabled) {
    Post([this, enabled] { m_cancelButton->setEnabled(enabled); });
}

QString CDlgSenden::CloseButtonText() const {
    return m_cancelButton->text();
}

void CDlgSenden::SetCancelCaption(const std::string& caption) {
    Post([this, shown = QString::fromStdString(caption)] { m_cancelButton->setText(shown); });
}

void CDlgSenden::StartTimer(TransferTimer timer) {
    Post([this, timer] { TimerFor(timer)->start(); });
}

void CDlgSenden::StopTimer(TransferTimer timer) {
    Post([this, timer] { TimerFor(timer)->stop(); });
}

void CDlgSenden::ShowMessage(const std::string& text, MessageIcon icon) {
    Ask<bool>(
        [this, text, icon] {
            m_interaction.ShowMessage(text, icon);
            return true;
        },
        true);
}

bool CDlgSenden::AskYesNo(const std::string& text, MessageIcon icon) {
    return Ask<bool>(
        [this, text, icon] {
            return m_interaction.Ask({.text = text, .icon = icon, .defaultAnswer = Answer::No}) ==
                   Answer::Yes;
        },
        false);
}

bool CDlgSenden::AskVersionWarning(const VersionWarning& warning) {
    return Ask<bool>(
        [this, warning] {
            CDlgHinweis hint(warning, this);
            return hint.exec() == QDialog::Accepted;
        },
        false);
}

std::optional<SaveTarget> CDlgSenden::AskSaveAs(SaveKind kind) {
    return Ask<std::optional<SaveTarget>>(
        [this, kind]() -> std::optional<SaveTarget> {
            const bool list = kind == SaveKind::ProgramList;
            const std::string& folder = list ? m_listsFolder : m_settingsFolder;
            const auto* load = std::get_if<ListLoad>(&m_job);
            CDlgSpeichernAls save(kind, folder, m_interaction,
                                  list && load
                                      ? ProposeListName(load->listKind == 'R', Today(), folder)
                                      : std::string(),
                                  this);
            if (save.exec() != QDialog::Accepted)
                return std::nullopt;
            return SaveTarget{save.Path(), save.Description()};
        },
        std::nullopt);
}

void CDlgSenden::FileSaved(const std::string& path) {
    Post([this, shown = FileNameText(path)] { emit FileSavedSignal(shown); });
}

void CDlgSenden::EndDialog() {
    Post([this] {
        m_endRequested = true;
        if (!m_workerRunning) {
            StopAllTimers();
            done(QDialog::Accepted);
        }
    });
}

} // namespace fw
