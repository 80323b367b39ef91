#pragma once

#include "core/link/TransferJob.h"

#include <optional>
#include <string>
#include <string_view>

namespace fw {

// What a production station sends to every receiver, as a small INI file (*.recipe) that a
// dealer can copy to another machine. A file name is relative to the data folder unless it is
// absolute; an empty one leaves its step out.
struct Recipe {
    std::string firmware;
    std::string settings;
    std::string tvList;
    std::string radioList;
    bool verify = true;  // check what the receiver holds after the last step
    bool backup = false; // a safety copy of what it held before
};

bool operator==(const Recipe&, const Recipe&);

// The recipe in a file's text; false with reason (naming recipeName) when VERIFY or BACKUP is
// neither 0 nor 1 or when the section is missing.
bool RecipeFromText(std::string_view text, const std::string& recipeName, Recipe& recipe,
                    std::string& reason);
std::string RecipeText(const Recipe& recipe);

[[nodiscard]] bool LoadRecipe(const std::string& path, Recipe& recipe, std::string& reason);
// Written atomically.
[[nodiscard]] bool SaveRecipe(const std::string& path, const Recipe& recipe, std::string& reason);

// A recipe's file name as a path: absolute names stay, others lie under the data folder.
std::string RecipeFilePath(const std::string& dataFolder, const std::string& name);

// Every step of a recipe read and checked, ready to go to any number of receivers. The jobs
// carry the bytes they send, so a file changed during a run changes nothing.
struct PreparedRecipe {
    std::optional<FirmwareSend> firmware;
    std::optional<SettingsSend> settings;
    std::optional<ListSend> tvList;
    std::optional<ListSend> radioList;
    bool verify = true;
    bool backup = false;
};

// Reads and checks every file the recipe names before anything is sent. False with a message
// naming the step, the file and why it cannot be sent when any one of them is unfit, or when
// the recipe names no file at all.
[[nodiscard]] bool PrepareRecipe(const Recipe& recipe, const std::string& dataFolder,
                                 PreparedRecipe& prepared, std::string& reason);

} // namespace fw
