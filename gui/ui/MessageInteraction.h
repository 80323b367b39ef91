#pragma once

#include "core/util/UserInteraction.h"

namespace fw {

// The one place that builds message boxes. Each box belongs to the window the user works in,
// as the platform's own boxes do, so the widgets need not say where they stand. Titles carry
// the program's name, failed file operations the word for an error.
class MessageInteraction : public UserInteraction {
public:
    // Messages with their icon and OK.
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    // Warning icon and OK, titled "Fehler" / "Error".
    void ShowLastError(const std::string& text) override;
    Answer Ask(const Question& question) override;
    // A small Radio/TV choice.
    ListTypeChoice AskRadioOrTv() override;
};

} // namespace fw
