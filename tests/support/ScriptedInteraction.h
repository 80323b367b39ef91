#pragma once

#include "core/util/UserInteraction.h"

#include <deque>
#include <string>
#include <vector>

namespace fw::test {

// Answers from a script and keeps every text it was shown, in order.
class ScriptedInteraction : public UserInteraction {
public:
    // When empty, the answer is No, or Cancel where it is offered.
    std::deque<Answer> answers;
    std::deque<ListTypeChoice> radioOrTvAnswers; // when empty, the answer is Cancelled
    std::vector<std::string> shown;              // messages, errors and questions, in order
    std::vector<MessageIcon> messageIcons;       // one per ShowMessage
    std::vector<std::string> lastErrors;         // the texts of ShowLastError
    std::vector<Question> asked;

    void ShowMessage(const std::string& text, MessageIcon icon) override {
        shown.push_back(text);
        messageIcons.push_back(icon);
    }
    void ShowLastError(const std::string& text) override {
        shown.push_back(text);
        lastErrors.push_back(text);
    }
    Answer Ask(const Question& question) override {
        shown.push_back(question.text);
        asked.push_back(question);
        if (answers.empty())
            return question.answers == AnswerSet::YesNoCancel ? Answer::Cancel : Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    ListTypeChoice AskRadioOrTv() override {
        shown.push_back("<radio or tv>");
        if (radioOrTvAnswers.empty())
            return ListTypeChoice::Cancelled;
        const ListTypeChoice answer = radioOrTvAnswers.front();
        radioOrTvAnswers.pop_front();
        return answer;
    }
};

} // namespace fw::test
