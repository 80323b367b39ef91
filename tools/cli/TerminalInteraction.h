#pragma once

#include "core/util/UserInteraction.h"

#include <iosfwd>

namespace fw::cli {

// Messages go to the error stream. Questions are answered Yes with --yes, else from the user
// when a terminal is attached, else No: a script must never hang on a question or say Yes by
// accident.
class TerminalInteraction : public UserInteraction {
public:
    TerminalInteraction(std::ostream& err, std::istream* answers, bool assumeYes);

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void ShowLastError(const std::string& text) override;
    Answer Ask(const Question& question) override;
    ListTypeChoice AskRadioOrTv() override;

private:
    std::string AskLine(const std::string& prompt);

    std::ostream& m_err;
    std::istream* m_answers; // null when no one can answer
    bool m_assumeYes;
};

} // namespace fw::cli
