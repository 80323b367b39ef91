#include "core/production/Station.h"

#include "core/app/Logbook.h"
#include "core/link/PortMap.h"
#include "core/link/SafeSend.h"
#include "core/link/TransferCheck.h"
#include "core/link/TransferSession.h"
#include "core/link/WireTokens.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/safety/SafetyCopyStore.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace fw {
namespace {

using Clock = std::chrono::system_clock;

StepVerdict VerdictOf(const JobResult& result) {
    return result.outcome == JobOutcome::Succeeded ? StepVerdict::Ok : StepVerdict::Failed;
}

// Why a job did not succeed, in the words the user saw.
std::string FailureOf(const JobResult& result) {
    if (result.outcome == JobOutcome::Cancelled)
        return LoadResString(str::kCheckCancelled);
    if (result.outcome == JobOutcome::AbortedByReceiver)
        return LoadResString(str::kCliReceiverCancelled);
    return result.failure;
}

// A step after the firmware, with the column it reports in and the check that follows it.
struct LaterStep {
    TransferJob job;
    StepVerdict ProductionRow::*verdict;
};

// Settings, TV list, radio list: the order of the production chain.
std::vector<LaterStep> LaterSteps(const PreparedRecipe& recipe) {
    std::vector<LaterStep> steps;
    if (recipe.settings)
        steps.push_back({*recipe.settings, &ProductionRow::settings});
    if (recipe.tvList)
        steps.push_back({*recipe.tvList, &ProductionRow::tvList});
    if (recipe.radioList)
        steps.push_back({*recipe.radioList, &ProductionRow::radioList});
    return steps;
}

bool IsRadioListSend(const TransferJob& job) {
    const auto* list = std::get_if<ListSend>(&job);
    return list != nullptr && list->list.m_strType == "RA";
}

// The list a load of the same kind asks for: 'R' radio, 'T' TV.
char ListKind(const TransferJob& job) {
    return IsRadioListSend(job) ? 'R' : 'T';
}

// A receiver differs as soon as one check finds it so; one that could not run leaves it
// unconfirmed.
CheckState Worse(CheckState a, CheckState b) {
    if (a == CheckState::Differs || b == CheckState::Differs)
        return CheckState::Differs;
    if (a == CheckState::NotRun || b == CheckState::NotRun)
        return CheckState::NotRun;
    return CheckState::Same;
}

class PortRun {
public:
    PortRun(const PreparedRecipe& recipe, const StationPort& port, const StationOptions& options)
        : m_recipe(recipe), m_port(port), m_options(options),
          m_settings(WithDevice(options.link, port.device)),
          m_session(m_settings, PortMap({}, {}), *port.view, m_chain, *port.cancel) {
        if (m_port.attachTimers)
            m_port.attachTimers(&m_session);
    }
    ~PortRun() {
        if (m_port.attachTimers)
            m_port.attachTimers(nullptr);
    }
    PortRun(const PortRun&) = delete;
    PortRun& operator=(const PortRun&) = delete;

    ProductionRow Run() {
        const Clock::time_point started = Clock::now();
        m_row.start = LogbookTime(started);
        m_row.port = m_port.name;
        m_row.device = m_port.device;
        m_row.check = m_recipe.verify ? CheckState::Same : CheckState::Off;

        std::vector<LaterStep> later = LaterSteps(m_recipe);
        std::size_t next = 0;
        bool ok = !m_recipe.backup || KeepSafetyCopies(later);
        if (ok && m_recipe.firmware)
            ok = RunFirmwareChain(later, next);
        for (; ok && next < later.size(); ++next) {
            TransferJob job = later[next].job;
            SetChainStep(job, {});
            ok = RunDetected(job, m_row.*later[next].verdict);
        }
        // The software after comes from a detection after the restart, wanted in the report
        // even when nothing is checked.
        if (ok && m_recipe.firmware && !m_softwareAsked)
            AskSoftware();
        if (m_recipe.verify) {
            if (!ok)
                m_row.check = CheckState::NotRun;
            else
                RunChecks(later);
        }
        m_row.end = LogbookTime(Clock::now());
        m_row.seconds = std::chrono::duration<double>(Clock::now() - started).count();
        return m_row;
    }

private:
    static LinkSettings WithDevice(LinkSettings link, const std::string& device) {
        link.device = device;
        return link;
    }

    void Learn(const JobResult& result) {
        if (!result.model.empty())
            m_row.model = result.model;
    }

    // A cancel that came between two jobs would be lost, since every job starts by clearing
    // the signal: it ends the port here instead.
    bool Cancelled(StepVerdict& verdict) {
        if (!m_port.cancel->TakeSignal())
            return false;
        verdict = StepVerdict::Failed;
        m_row.reason = LoadResString(str::kCheckCancelled);
        return true;
    }

    // The first failure is the one the report gives.
    void Fail(std::string reason) {
        if (m_row.reason.empty())
            m_row.reason = std::move(reason);
    }

    bool RunDetected(const TransferJob& job, StepVerdict& verdict) {
        if (Cancelled(verdict))
            return false;
        const JobResult result = m_session.Run(job);
        Learn(result);
        verdict = VerdictOf(result);
        if (verdict != StepVerdict::Ok)
            Fail(FailureOf(result));
        return verdict == StepVerdict::Ok;
    }

    // What the receiver holds of the kind the step sends, for a safety copy or a check.
    JobResult LoadWhatStepSends(const LaterStep& step, LoadUse use) {
        const JobResult loaded = m_session.Run(std::holds_alternative<ListSend>(step.job)
                                                   ? TransferJob{ListLoad{ListKind(step.job), use}}
                                                   : TransferJob{SettingsLoad{use}});
        Learn(loaded);
        return loaded;
    }

    // What the later steps will replace, loaded and kept before anything is sent. A receiver
    // without operating software holds no lists: there is nothing of it to keep. False when a
    // copy could not be made; nothing has been sent then.
    bool KeepSafetyCopies(const std::vector<LaterStep>& later) {
        SafetyCopyStore store(FoldersUnder(m_options.dataFolder), m_options.safetyCopiesKept);
        for (const LaterStep& step : later) {
            StepVerdict unused = StepVerdict::Skipped;
            if (Cancelled(unused))
                return false;
            const auto* list = std::get_if<ListSend>(&step.job);
            const char kind = ListKind(step.job);
            const JobResult loaded = LoadWhatStepSends(step, LoadUse::SafetyCopy);
            if (loaded.model == wire::kRecFa)
                continue;
            SafetyCopyWriteResult written;
            if (loaded.outcome != JobOutcome::Succeeded)
                written.reason = FailureOf(loaded);
            else if (list && loaded.list)
                written =
                    store.WriteListCopy(kind, loaded.list->lines, loaded.list->banks, loaded.model);
            else if (!list && loaded.settings)
                written = store.WriteSettingsCopy(*loaded.settings, loaded.model);
            if (!written.written) {
                Fail(FormatText(LoadResString(str::kStationSafetyCopyFailed), {written.reason}));
                return false;
            }
        }
        return true;
    }

    // The firmware and the later steps as one chain; next is the first later step still to
    // run on its own. False when a step failed.
    bool RunFirmwareChain(const std::vector<LaterStep>& later, std::size_t& next) {
        if (Cancelled(m_row.firmware))
            return false;
        std::vector<TransferJob> jobs{*m_recipe.firmware};
        for (const LaterStep& step : later)
            jobs.push_back(step.job);
        // The receiver announces its restart after every chained step but the radio list and
        // then waits for the next one. A chain that ends earlier still takes that announcement,
        // or it would meet the next detection on the line.
        for (TransferJob& job : jobs)
            SetChainStep(job, {1, IsRadioListSend(job) ? 1 : 0});
        // Without operating software the receiver cannot tell its places; the chain's lists
        // would have no length.
        bool newReceiver = false;
        const auto gate = [&newReceiver](std::size_t index, const JobResult& result) {
            if (index == 0 && result.capacity <= 0) {
                newReceiver = true;
                return false;
            }
            return true;
        };
        const std::vector<JobResult> results = m_session.RunSequence(jobs, gate);
        m_row.softwareBefore = results.front().software;
        bool ok = true;
        for (std::size_t i = 0; i < results.size(); ++i) {
            Learn(results[i]);
            StepVerdict& verdict = i == 0 ? m_row.firmware : m_row.*later[i - 1].verdict;
            verdict = VerdictOf(results[i]);
            if (verdict != StepVerdict::Ok)
                Fail(FailureOf(results[i]));
            ok = ok && verdict == StepVerdict::Ok;
        }
        if (!ok)
            return false;
        next = results.size() - 1;
        // Detected again once restarted: the detection waits for it and names the new
        // software and model.
        if (newReceiver)
            AskSoftware();
        return true;
    }

    void AskSoftware() {
        const JobResult result = m_session.Run(FirmwareCheck{});
        Learn(result);
        m_softwareAsked = true;
        m_row.softwareAfter = result.software;
        if (!m_recipe.verify)
            return;
        if (result.outcome != JobOutcome::Succeeded) {
            m_row.check = Worse(m_row.check, CheckState::NotRun);
            Fail(CheckNotRunText(FailureOf(result)));
        } else if (!FirmwareRuns(m_recipe.firmware->firmware.m_version, result.software)) {
            m_row.check = Worse(m_row.check, CheckState::Differs);
            Fail(FirmwareStillNamesText(m_recipe.firmware->firmware.m_version, result.software));
        }
    }

    void RunChecks(const std::vector<LaterStep>& later) {
        for (const LaterStep& step : later) {
            if (m_port.cancel->TakeSignal()) {
                m_row.check = Worse(m_row.check, CheckState::NotRun);
                Fail(CheckNotRunText(LoadResString(str::kCheckCancelled)));
                return;
            }
            const auto* list = std::get_if<ListSend>(&step.job);
            const JobResult loaded = LoadWhatStepSends(step, LoadUse::CheckAfterSend);
            if (loaded.outcome != JobOutcome::Succeeded ||
                (list ? !loaded.list : !loaded.settings)) {
                m_row.check = Worse(m_row.check, CheckState::NotRun);
                Fail(CheckNotRunText(FailureOf(loaded)));
                continue;
            }
            const CheckVerdict verdict =
                list ? CheckList(*list->sendList, loaded)
                     : CheckSettings(*std::get<SettingsSend>(step.job).fileData, loaded);
            m_row.check = Worse(m_row.check, verdict.same ? CheckState::Same : CheckState::Differs);
            if (!verdict.same)
                Fail(verdict.verdict);
        }
    }

    const PreparedRecipe& m_recipe;
    const StationPort& m_port;
    const StationOptions& m_options;
    const LinkSettings m_settings;
    ChainMemory m_chain;
    TransferSession m_session;
    ProductionRow m_row;
    bool m_softwareAsked = false;
};

LogbookRecord ReceiverRecord(const ProductionRow& row) {
    LogbookRecord record;
    record.time = row.start;
    record.job = "production";
    record.port = row.port;
    record.device = row.device;
    record.model = row.model;
    record.software = row.softwareAfter.empty() ? row.softwareBefore : row.softwareAfter;
    record.outcome = RowSucceeded(row) ? "ok" : "failed";
    record.verdict = std::string(CheckStateText(row.check));
    record.seconds = row.seconds;
    return record;
}

} // namespace

ProductionRow RunRecipeOnPort(const PreparedRecipe& recipe, const StationPort& port,
                              const StationOptions& options) {
    return PortRun(recipe, port, options).Run();
}

std::vector<ProductionRow> RunStation(const PreparedRecipe& recipe,
                                      const std::vector<StationPort>& ports,
                                      const StationOptions& options,
                                      std::vector<std::string>& writeFailures) {
    const std::string& dataFolder = options.dataFolder;
    std::vector<ProductionRow> rows(ports.size());
    std::mutex failuresMutex;
    {
        std::vector<std::jthread> workers;
        for (std::size_t i = 0; i < ports.size(); ++i) {
            workers.emplace_back([&, i] {
                rows[i] = RunRecipeOnPort(recipe, ports[i], options);
                // Written as each receiver finishes, so that a crash later loses no row.
                std::string reason;
                const bool reported =
                    AppendProductionRow(dataFolder, rows[i], Clock::now(), reason);
                std::string logReason;
                const bool logged = AppendToLogbook(dataFolder, ReceiverRecord(rows[i]), logReason);
                {
                    std::lock_guard lock(failuresMutex);
                    if (!reported)
                        writeFailures.push_back(reason);
                    if (!logged)
                        writeFailures.push_back(logReason);
                }
                if (ports[i].finished)
                    ports[i].finished(rows[i]);
            });
        }
    }
    return rows;
}

std::vector<StationPort> FailedPorts(const std::vector<StationPort>& ports,
                                     const std::vector<ProductionRow>& rows) {
    std::vector<StationPort> failed;
    for (std::size_t i = 0; i < ports.size() && i < rows.size(); ++i) {
        if (!RowSucceeded(rows[i]))
            failed.push_back(ports[i]);
    }
    return failed;
}

} // namespace fw
