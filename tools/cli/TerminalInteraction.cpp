#include "tools/cli/TerminalInteraction.h"

#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/TextUtil.h"

#include <istream>
#include <ostream>
#include <string>

namespace fw::cli {

TerminalInteraction::TerminalInteraction(std::ostream& err, std::istream* answers, bool assumeYes)
    : m_err(err), m_answers(answers), m_assumeYes(assumeYes) {}

void TerminalInteraction::ShowMessage(const std::string& text, MessageIcon) {
    m_err << text << '\n';
}

std::string TerminalInteraction::AskLine(const std::string& prompt) {
    m_err << prompt << std::flush;
    std::string line;
    if (m_answers == nullptr || !std::getline(*m_answers, line)) {
        m_err << '\n';
        return {};
    }
    return std::string(Trim(line));
}

bool TerminalInteraction::AskYesNo(const std::string& text, MessageIcon) {
    m_err << text << '\n';
    if (m_assumeYes)
        return true;
    const std::string answer = AskLine(LoadResString(str::kCliYesNoPrompt));
    return !answer.empty() &&
           (answer[0] == 'y' || answer[0] == 'Y' || answer[0] == 'j' || answer[0] == 'J');
}

ListTypeChoice TerminalInteraction::AskRadioOrTv() {
    const std::string answer = AskLine(LoadResString(str::kCliRadioOrTvPrompt));
    if (answer == "tv" || answer == "TV")
        return ListTypeChoice::Tv;
    if (answer == "radio" || answer == "RA" || answer == "ra")
        return ListTypeChoice::Radio;
    return ListTypeChoice::Cancelled;
}

} // namespace fw::cli
