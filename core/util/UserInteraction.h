#pragma once

#include <string>

namespace fw {

enum class MessageIcon { Stop, Warning, Question, Information };

enum class Answer { Yes, No, Cancel };

// The buttons a question offers; Escape answers No, or Cancel where there is one.
enum class AnswerSet { YesNo, YesNoCancel };

struct Question {
    std::string text;
    MessageIcon icon = MessageIcon::Warning;
    AnswerSet answers = AnswerSet::YesNo;
    // The button Enter presses.
    Answer defaultAnswer = Answer::Yes;
    // Texts for the buttons where Yes/No/Cancel would not say what happens ("Discard", "Back");
    // an empty one keeps the standard text.
    std::string yesText = {};
    std::string noText = {};
    std::string cancelText = {};
};

// The answer to the question for the type of a list.
enum class ListTypeChoice { Radio, Tv, Cancelled };

// The questions and messages core code and the widgets need answered. The program shows them in
// message boxes, the command-line tool on the terminal, tests answer from a script. Core never
// shows anything itself.
class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // A failed file operation, its text ending in the system's reason: shown as an error.
    virtual void ShowLastError(const std::string& text) = 0;
    virtual Answer Ask(const Question& question) = 0;
    // The type of a list whose type is not known.
    virtual ListTypeChoice AskRadioOrTv() = 0;

    // A Yes/No question whose default button is Yes; true for Yes.
    bool AskYesNo(const std::string& text, MessageIcon icon) {
        return Ask({text, icon}) == Answer::Yes;
    }
};

} // namespace fw
