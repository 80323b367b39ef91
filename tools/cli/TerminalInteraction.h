#pragma once

#include "core/util/UserInteraction.h"

#include <iosfwd>
#include <mutex>

namespace fw::cli {

// Messages go to the error stream. Questions are answered Yes with --yes, else from the user
// when a terminal is attached, else No: a script must never hang on a question or say Yes by
// accident. Several transfers may share one: their questions come one at a time, and with
// outputLock the texts take turns with the other writers of the stream.
class TerminalInteraction : public UserInteraction {
public:
    TerminalInteraction(std::ostream& err, std::istream* answers, bool assumeYes,
                        std::mutex* outputLock = nullptr);

    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void ShowLastError(const std::string& text) override;
    Answer Ask(const Question& question) override;
    ListTypeChoice AskRadioOrTv() override;

private:
    std::string AskLine(const std::string& prompt);
    void Write(const std::string& text);

    std::ostream& m_err;
    std::istream* m_answers; // null when no one can answer
    bool m_assumeYes;
    std::mutex* m_outputLock;
    std::mutex m_oneQuestion;
};

} // namespace fw::cli
