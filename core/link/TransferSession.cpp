#include "core/link/TransferSession.h"

#include "core/link/Jobs.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>

namespace fw {
namespace {

// The view of one step in a sequence: its status under a line naming the step, its progress
// as its share of the whole. One object for the whole sequence, as the view's timers may still
// reach it while the next step starts.
class StepView : public TransferView {
public:
    StepView(TransferView& view, std::size_t count) : m_view(view), m_count(count) {}

    void Enter(std::size_t index, const std::string& title) {
        std::lock_guard lock(m_mutex);
        m_index = index;
        m_stepLine = FormatText(LoadResString(str::kJobStep),
                                {std::to_string(index + 1), std::to_string(m_count), title});
    }

    void SetStatus(const std::string& text) override {
        std::string shown;
        {
            std::lock_guard lock(m_mutex);
            shown = text.empty() ? m_stepLine : m_stepLine + "\n" + text;
        }
        m_view.SetStatus(shown);
    }
    void SetProgress(int percent) override {
        std::size_t index = 0;
        {
            std::lock_guard lock(m_mutex);
            index = m_index;
        }
        const auto share = static_cast<std::size_t>(std::clamp(percent, 0, 100));
        m_view.SetProgress(static_cast<int>((index * 100 + share) / m_count));
    }

    void SetStatusFont(StatusFont font) override { m_view.SetStatusFont(font); }
    void EnableStart(bool enabled) override { m_view.EnableStart(enabled); }
    void EnableCancel(bool enabled) override { m_view.EnableCancel(enabled); }
    void SetCancelCaption(const std::string& caption) override { m_view.SetCancelCaption(caption); }
    void StartTimer(TransferTimer timer) override { m_view.StartTimer(timer); }
    void StopTimer(TransferTimer timer) override { m_view.StopTimer(timer); }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        m_view.ShowMessage(text, icon);
    }
    bool AskYesNo(const std::string& text, MessageIcon icon) override {
        return m_view.AskYesNo(text, icon);
    }
    bool AskVersionWarning(const VersionWarning& warning) override {
        return m_view.AskVersionWarning(warning);
    }
    std::optional<SaveTarget> AskSaveAs(SaveKind kind) override { return m_view.AskSaveAs(kind); }
    void FileSaved(const std::string& path) override { m_view.FileSaved(path); }
    void EndDialog() override { m_view.EndDialog(); }

private:
    TransferView& m_view;
    const std::size_t m_count;
    std::mutex m_mutex; // the step changes on the worker while the timers show through it
    std::size_t m_index = 0;
    std::string m_stepLine;
};

} // namespace

TransferSession::TransferSession(LinkSettings settings, PortMap ports, TransferView& view,
                                 ChainMemory& chain, CancelEvent& cancel)
    : m_context(std::move(settings), std::move(ports), view, chain, cancel) {}

JobResult TransferSession::Run(const TransferJob& job) {
    const JobDescription description = Describe(job);
    m_largeStatusFont = description.largeStatusFont;
    m_context.Begin(ChainStepOf(job), description.largeStatusFont);
    JobResult result = std::visit(
        [this](const auto& kind) {
            typename std::decay_t<decltype(kind)>::Job work(kind);
            return work.Run(m_context);
        },
        job);
    // Every path closes the port itself; this only keeps a forgotten one from holding the
    // device locked until the dialog goes away.
    m_context.Port().Close();
    // A path that forgot to say how it ended must not pass for a success.
    if (m_context.Outcome() == JobOutcome::Running)
        m_context.SetOutcome(JobOutcome::Failed);
    result.outcome = m_context.Outcome();
    return result;
}

std::vector<JobResult> TransferSession::RunSequence(std::span<const TransferJob> steps,
                                                    const StepGate& gate) {
    std::vector<JobResult> results;
    TransferView& view = m_context.View();
    StepView stepView(view, steps.size());
    m_context.UseView(stepView);
    for (std::size_t index = 0; index < steps.size(); ++index) {
        stepView.Enter(index, LoadResString(Describe(steps[index]).titleId));
        // The step before may have ended as a job on its own ends: start enabled, Cancel
        // reading OK. Until the last step is over, neither may start the run again or pass for
        // closing.
        if (index > 0) {
            stepView.EnableStart(false);
            stepView.SetCancelCaption(LoadResString(str::kCancelCaption));
        }
        results.push_back(Run(steps[index]));
        if (index == 0)
            m_context.PinPort();
        if (results.back().outcome != JobOutcome::Succeeded)
            break;
        if (gate && !gate(index, results.back()))
            break;
    }
    m_context.Unpin();
    m_context.UseView(view);
    return results;
}

void TransferSession::PrepareRestart() {
    m_context.Cancel().Reset();
    if (m_largeStatusFont)
        m_context.View().SetStatusFont(StatusFont::Normal);
    m_context.Reset();
    m_context.View().EnableStart(false);
    m_context.View().SetCancelCaption(LoadResString(str::kCancelCaption));
}

void TransferSession::OnTimer(TransferTimer timer) {
    m_context.OnTimer(timer);
}

JobOutcome TransferSession::Outcome() const {
    return m_context.Outcome();
}

int TransferSession::ChainContinue() const {
    return m_context.ChainContinue();
}

int TransferSession::FirmwareCancelled() const {
    return m_context.FirmwareCancelled();
}

CComPort& TransferSession::Port() {
    return m_context.Port();
}

} // namespace fw
