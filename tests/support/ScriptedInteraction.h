#pragma once

#include "core/util/UserInteraction.h"

#include <deque>
#include <string>
#include <vector>

namespace fw::test {

// Answers from a script and keeps every text it was shown, in order.
class ScriptedInteraction : public UserInteraction {
public:
    std::deque<bool> yesNoAnswers;               // when empty, the answer is No
    std::deque<ListTypeChoice> radioOrTvAnswers; // when empty, the answer is Cancelled
    std::vector<std::string> shown;              // messages and questions, in order

    void ShowMessage(const std::string& text, MessageIcon) override { shown.push_back(text); }
    bool AskYesNo(const std::string& text, MessageIcon) override {
        shown.push_back(text);
        if (yesNoAnswers.empty())
            return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
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
