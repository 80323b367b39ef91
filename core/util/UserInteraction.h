#pragma once

#include <string>

namespace fw {

enum class MessageIcon { Stop, Warning, Question, Information };

// The answer to the question for the type of a list.
enum class ListTypeChoice { Radio, Tv, Cancelled };

// The questions and messages core code needs answered. The program shows them in message boxes,
// the command-line tool on the terminal, tests answer from a script. Core never shows anything
// itself.
class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // True for Yes.
    virtual bool AskYesNo(const std::string& text, MessageIcon icon) = 0;
    // The type of a list whose type is not known.
    virtual ListTypeChoice AskRadioOrTv() = 0;
};

} // namespace fw
