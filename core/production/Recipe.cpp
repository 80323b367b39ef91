#include "core/production/Recipe.h"

#include "core/config/ProfileFile.h"
#include "core/firmware/TransferFile.h"
#include "core/lists/ListFile.h"
#include "core/lists/ProgramRecord.h"
#include "core/res/StringIds.h"
#include "core/res/StringTable.h"
#include "core/util/FileIo.h"
#include "core/util/TextUtil.h"

#include <algorithm>
#include <array>

namespace fw {
namespace {

constexpr std::string_view kSection = "RECIPE";
constexpr std::string_view kFirmwareKey = "FIRMWARE";
constexpr std::string_view kSettingsKey = "SETTINGS";
constexpr std::string_view kTvKey = "TV";
constexpr std::string_view kRadioKey = "RADIO";
constexpr std::string_view kVerifyKey = "VERIFY";
constexpr std::string_view kBackupKey = "BACKUP";

struct FileKey {
    std::string_view key;
    std::string Recipe::*name;
};
constexpr std::array<FileKey, 4> kFileKeys{{{kFirmwareKey, &Recipe::firmware},
                                            {kSettingsKey, &Recipe::settings},
                                            {kTvKey, &Recipe::tvList},
                                            {kRadioKey, &Recipe::radioList}}};

// A flag read loosely (any number, as atoi would) could turn the check off by a typing slip.
bool ReadFlag(const ProfileFile& profile, std::string_view key, const std::string& recipeName,
              bool& flag, std::string& reason) {
    const std::string value = profile.GetString(kSection, key, "");
    if (value.empty())
        return true;
    if (value == "0" || value == "1") {
        flag = value == "1";
        return true;
    }
    reason = FormatText(LoadResString(str::kRecipeBadFlag), {key, recipeName, value});
    return false;
}

bool StepFails(std::string_view key, const std::string& why, std::string& reason) {
    reason = FormatText(LoadResString(str::kRecipeStepFailed), {key, why});
    return false;
}

bool ReadStepFile(std::string_view key, const std::string& path, std::uint64_t limit,
                  std::string& data, std::string& reason) {
    std::string why;
    if (!ReadWholeFile(path, data, why, limit))
        return StepFails(key, why, reason);
    if (data.empty())
        return StepFails(key, FormatText(LoadResString(str::kRecipeEmptyFile), {path}), reason);
    return true;
}

bool PrepareFirmware(const std::string& path, FirmwareSend& job, std::string& reason) {
    std::string data;
    if (!ReadStepFile(kFirmwareKey, path, kFirmwareFileLimit, data, reason))
        return false;
    CTransferFile file;
    if (file.TakeTrailer(path, data) != CTransferFile::kLoaded ||
        file.CheckSignature(str::kFirmwareSignature) != CTransferFile::kLoaded)
        return StepFails(kFirmwareKey, FormatText(LoadResString(str::kCliWrongFormat), {path}),
                         reason);
    file.ReadTrailerStrings(3);
    job.firmware = CReceiverdat(file);
    job.fileData = std::move(data);
    return true;
}

bool PrepareSettings(const std::string& path, SettingsSend& job, std::string& reason) {
    std::string data;
    if (!ReadStepFile(kSettingsKey, path, kTextFileLimit, data, reason))
        return false;
    job.settings.m_size = static_cast<std::int32_t>(data.size());
    job.settings.m_strPath = path;
    job.settings.m_strFileName = FileNameOfPath(path);
    job.fileData = std::move(data);
    return true;
}

bool PrepareList(std::string_view key, int listType, const std::string& path, ListSend& job,
                 std::string& reason) {
    std::string data;
    if (!ReadStepFile(key, path, kTextFileLimit, data, reason))
        return false;
    const ListAnalysis analysis = AnalyseListText(data);
    if (!analysis.isList)
        return StepFails(key, FormatText(LoadResString(str::kCliWrongFormat), {path}), reason);
    // Sending skips the first two lines; a head whose repair would move the programs would
    // lose programs on the way.
    const auto programs = [](std::string_view text) {
        std::vector<std::string_view> lines = SplitTextModeLines(text);
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
        return std::vector<std::string>(lines.begin(), lines.end());
    };
    if (programs(data) != programs(analysis.HeadRepairedText(data)))
        return StepFails(key, FormatText(LoadResString(str::kRecipeListNeedsRepair), {path}),
                         reason);
    // A list without a type goes as the step says; one of the other type is a mix-up.
    const int fileType = ListTypeFromText(analysis.type);
    if (fileType != kListUnknown && fileType != listType)
        return StepFails(key,
                         FormatText(LoadResString(str::kRecipeWrongListType),
                                    {path, analysis.type, ListTypeText(listType)}),
                         reason);
    job.list.Fill({std::string(ListTypeText(listType)), analysis.shownDescription, path,
                   FileNameOfPath(path), std::to_string(data.size())});
    job.fileData = std::move(data);
    job.sendList = ReadSendList(job);
    if (!job.sendList->error.empty())
        return StepFails(key, job.sendList->error, reason);
    if (!job.sendList->hasPrograms)
        return StepFails(key, FormatText(LoadResString(str::kSendEmptyListRefused), {path}),
                         reason);
    return true;
}

} // namespace

bool operator==(const Recipe& a, const Recipe& b) {
    return a.firmware == b.firmware && a.settings == b.settings && a.tvList == b.tvList &&
           a.radioList == b.radioList && a.verify == b.verify && a.backup == b.backup;
}

bool RecipeFromText(std::string_view text, const std::string& recipeName, Recipe& recipe,
                    std::string& reason) {
    ProfileFile profile;
    profile.SetText(text);
    if (profile.GetSection(kSection).empty()) {
        reason = FormatText(LoadResString(str::kRecipeNoSection), {recipeName});
        return false;
    }
    Recipe read;
    for (const FileKey& file : kFileKeys)
        read.*file.name = profile.GetString(kSection, file.key, "");
    if (!ReadFlag(profile, kVerifyKey, recipeName, read.verify, reason) ||
        !ReadFlag(profile, kBackupKey, recipeName, read.backup, reason))
        return false;
    recipe = std::move(read);
    return true;
}

std::string RecipeText(const Recipe& recipe) {
    ProfileFile profile;
    for (const FileKey& file : kFileKeys) {
        if (!(recipe.*file.name).empty())
            profile.WriteString(kSection, file.key, recipe.*file.name);
    }
    profile.WriteInt(kSection, kVerifyKey, recipe.verify ? 1 : 0);
    profile.WriteInt(kSection, kBackupKey, recipe.backup ? 1 : 0);
    return profile.Text();
}

bool LoadRecipe(const std::string& path, Recipe& recipe, std::string& reason) {
    std::string text, why;
    if (!ReadWholeFile(path, text, why, kTextFileLimit)) {
        reason = FormatText(LoadResString(str::kRecipeNotReadable), {why});
        return false;
    }
    return RecipeFromText(text, path, recipe, reason);
}

bool SaveRecipe(const std::string& path, const Recipe& recipe, std::string& reason) {
    // A copied recipe may carry the dealer's comments and keys of a later version: they stay.
    ProfileFile profile;
    if (!profile.Load(path, reason))
        return false;
    for (const FileKey& file : kFileKeys) {
        if (!(recipe.*file.name).empty() || profile.HasKey(kSection, file.key))
            profile.WriteString(kSection, file.key, recipe.*file.name);
    }
    profile.WriteInt(kSection, kVerifyKey, recipe.verify ? 1 : 0);
    profile.WriteInt(kSection, kBackupKey, recipe.backup ? 1 : 0);
    return profile.Save(reason);
}

std::string RecipeFilePath(const std::string& dataFolder, const std::string& name) {
    if (name.empty() || name.front() == '/')
        return name;
    std::string folder = dataFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + '/' + name;
}

bool PrepareRecipe(const Recipe& recipe, const std::string& dataFolder, PreparedRecipe& prepared,
                   std::string& reason) {
    PreparedRecipe ready;
    ready.verify = recipe.verify;
    ready.backup = recipe.backup;
    if (!recipe.firmware.empty()) {
        ready.firmware.emplace();
        if (!PrepareFirmware(RecipeFilePath(dataFolder, recipe.firmware), *ready.firmware, reason))
            return false;
    }
    if (!recipe.settings.empty()) {
        ready.settings.emplace();
        if (!PrepareSettings(RecipeFilePath(dataFolder, recipe.settings), *ready.settings, reason))
            return false;
    }
    if (!recipe.tvList.empty()) {
        ready.tvList.emplace();
        if (!PrepareList(kTvKey, kListTv, RecipeFilePath(dataFolder, recipe.tvList), *ready.tvList,
                         reason))
            return false;
    }
    if (!recipe.radioList.empty()) {
        ready.radioList.emplace();
        if (!PrepareList(kRadioKey, kListRadio, RecipeFilePath(dataFolder, recipe.radioList),
                         *ready.radioList, reason))
            return false;
    }
    if (!ready.firmware && !ready.settings && !ready.tvList && !ready.radioList) {
        reason = LoadResString(str::kRecipeNoStep);
        return false;
    }
    prepared = std::move(ready);
    return true;
}

} // namespace fw
