#include "tools/cli/TerminalInteraction.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

#include <istream>
#include <ostream>
#include <string>

namespace fw::cli {

TerminalInteraction::TerminalInteraction(std::ostream& err, std::istream* answers, bool assumeYes,
                                         std::mutex* outputLock)
    : m_err(err), m_answers(answers), m_assumeYes(assumeYes), m_outputLock(outputLock) {}

void TerminalInteraction::Write(const std::string& text) {
    std::unique_lock<std::mutex> lock;
    if (m_outputLock != nullptr)
        lock = std::unique_lock(*m_outputLock);
    m_err << text << std::flush;
}

void TerminalInteraction::ShowMessage(const std::string& text, MessageIcon) {
    Write(text + '\n');
}

// The stream is free while the user thinks: other transfers go on writing.
std::string TerminalInteraction::AskLine(const std::string& prompt) {
    Write(prompt);
    std::string line;
    if (m_answers == nullptr || !std::getline(*m_answers, line)) {
        Write("\n");
        return {};
    }
    return std::string(Trim(line));
}

void TerminalInteraction::ShowLastError(const std::string& text) {
    Write(text + '\n');
}

Answer TerminalInteraction::Ask(const Question& question) {
    std::lock_guard one(m_oneQuestion);
    Write(question.text + '\n');
    if (m_assumeYes)
        return Answer::Yes;
    const std::string answer = AskLine(LoadResString(str::kCliYesNoPrompt));
    if (!answer.empty() &&
        (answer[0] == 'y' || answer[0] == 'Y' || answer[0] == 'j' || answer[0] == 'J'))
        return Answer::Yes;
    // Anything but a clear no gives up where giving up is offered.
    const bool no = !answer.empty() && (answer[0] == 'n' || answer[0] == 'N');
    return question.answers == AnswerSet::YesNoCancel && !no ? Answer::Cancel : Answer::No;
}

ListTypeChoice TerminalInteraction::AskRadioOrTv() {
    std::lock_guard one(m_oneQuestion);
    const std::string answer = AskLine(LoadResString(str::kCliRadioOrTvPrompt));
    if (answer == "tv" || answer == "TV")
        return ListTypeChoice::Tv;
    if (answer == "radio" || answer == "RA" || answer == "ra")
        return ListTypeChoice::Radio;
    return ListTypeChoice::Cancelled;
}

} // namespace fw::cli
