#include "core/production/Recipe.h"

#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fw {
namespace {

TEST(RecipeFile, ReadsKeysDefaultsAndRefusals) {
    Recipe full;
    full.firmware = "OS/new.bsr";
    full.settings = "settings/shop.grd";
    full.tvList = "lists/shop-tv.lst";
    full.radioList = "/srv/lists/shop radio.lst";
    full.verify = false;
    full.backup = true;
    Recipe firmwareOnly;
    firmwareOnly.firmware = "OS/new.bsr";
    const struct {
        const char* text;
        std::optional<Recipe> expected;
        const char* error; // a part of the message
    } cases[] = {
        {"[RECIPE]\nFIRMWARE=OS/new.bsr\nSETTINGS=settings/shop.grd\nTV=lists/shop-tv.lst\n"
         "RADIO=/srv/lists/shop radio.lst\nVERIFY=0\nBACKUP=1\n",
         full, ""},
        // Missing keys leave steps out; names and keys as a hand may write them.
        {"; shop\r\n[recipe]\r\nfirmware = OS/new.bsr \r\nTV=\r\n", firmwareOnly, ""},
        {"[RECIPE]\nFIRMWARE=OS/new.bsr\nVERIFY=\nBACKUP=\n", firmwareOnly, ""},
        {"[RECIPE]\nFIRMWARE=OS/new.bsr\nVERIFY=yes\n", std::nullopt, "VERIFY"},
        {"[RECIPE]\nFIRMWARE=OS/new.bsr\nBACKUP=2\n", std::nullopt, "BACKUP"},
        {"[PRODUCTION]\nFIRMWARE=OS/new.bsr\n", std::nullopt, "[RECIPE]"},
        {"", std::nullopt, "[RECIPE]"},
    };
    for (const auto& c : cases) {
        Recipe recipe;
        std::string reason;
        const bool read = RecipeFromText(c.text, "shop.recipe", recipe, reason);
        EXPECT_EQ(read, c.expected.has_value()) << c.text << reason;
        if (c.expected) {
            EXPECT_EQ(recipe, *c.expected) << c.text;
        } else {
            EXPECT_NE(reason.find(c.error), std::string::npos) << reason;
            EXPECT_NE(reason.find("shop.recipe"), std::string::npos) << reason;
        }
    }
}

TEST(RecipeFile, RoundTripKeepsWhatADealerAdded) {
    test::TempDir dir;
    const std::string path = dir.File("shop.recipe");
    Recipe recipe;
    recipe.firmware = "OS/new.bsr";
    recipe.tvList = " lists/with blanks.lst";
    recipe.backup = true;
    Recipe read;
    std::string reason;
    ASSERT_TRUE(RecipeFromText(RecipeText(recipe), "x", read, reason)) << reason;
    EXPECT_EQ(read, recipe);

    test::WriteBytes(path, "; for the shop\n[RECIPE]\nRADIO=old.lst\nLABEL=keep me\n");
    ASSERT_TRUE(SaveRecipe(path, recipe, reason)) << reason;
    ASSERT_TRUE(LoadRecipe(path, read, reason)) << reason;
    EXPECT_EQ(read, recipe) << "a step taken out stays out";
    const std::string text = test::ReadBytes(path);
    EXPECT_NE(text.find("; for the shop"), std::string::npos);
    EXPECT_NE(text.find("LABEL=keep me"), std::string::npos);

    EXPECT_FALSE(LoadRecipe(dir.File("missing.recipe"), read, reason));
    EXPECT_NE(reason.find("missing.recipe"), std::string::npos) << reason;
}

TEST(RecipeFile, NamesLieUnderTheDataFolderUnlessAbsolute) {
    EXPECT_EQ(RecipeFilePath("/data/", "OS/new.bsr"), "/data/OS/new.bsr");
    EXPECT_EQ(RecipeFilePath("/data", "/srv/new.bsr"), "/srv/new.bsr");
}

class RecipeCheck : public ::testing::Test {
protected:
    RecipeCheck() {
        for (const char* folder : {"OS", "settings", "lists"})
            std::filesystem::create_directory(m_data.Path() / folder);
        test::WriteBytes(m_data.File("OS/new.bsr"), test::FirmwareImage(4096, "NEW V2.00"));
        test::WriteBytes(m_data.File("OS/other.bin"), std::string(4096, 'x'));
        test::WriteBytes(m_data.File("settings/shop.grd"), std::string(2048, '\x5A'));
        test::WriteBytes(m_data.File("settings/empty.grd"), "");
        test::WriteBytes(m_data.File("lists/tv.lst"), test::NumberedList("TV", "Shop", 3));
        test::WriteBytes(m_data.File("lists/radio.lst"), test::NumberedList("RA", "Shop", 2));
        test::WriteBytes(m_data.File("lists/untyped.lst"), test::NumberedList("NDEF", "Shop", 2));
        test::WriteBytes(m_data.File("lists/none.lst"), test::NumberedList("TV", "Shop", 0));
        test::WriteBytes(m_data.File("lists/text.lst"), "not a list");
    }
    Recipe Full() const {
        Recipe recipe;
        recipe.firmware = "OS/new.bsr";
        recipe.settings = "settings/shop.grd";
        recipe.tvList = "lists/tv.lst";
        recipe.radioList = m_data.File("lists/radio.lst");
        return recipe;
    }
    test::TempDir m_data;
};

TEST_F(RecipeCheck, EveryStepIsReadyWithItsBytes) {
    PreparedRecipe prepared;
    std::string reason;
    Recipe recipe = Full();
    recipe.backup = true;
    ASSERT_TRUE(PrepareRecipe(recipe, m_data.Path().string(), prepared, reason)) << reason;
    ASSERT_TRUE(prepared.firmware && prepared.settings && prepared.tvList && prepared.radioList);
    EXPECT_EQ(prepared.firmware->fileData->size(), 4096u);
    EXPECT_EQ(*prepared.settings->fileData, std::string(2048, '\x5A'));
    EXPECT_EQ(prepared.tvList->list.m_strType, "TV");
    EXPECT_EQ(prepared.radioList->list.m_strType, "RA");
    ASSERT_TRUE(prepared.tvList->sendList);
    EXPECT_TRUE(prepared.tvList->sendList->hasPrograms);
    EXPECT_TRUE(prepared.verify);
    EXPECT_TRUE(prepared.backup);

    // A list without a type goes as its step says.
    recipe = {};
    recipe.radioList = "lists/untyped.lst";
    ASSERT_TRUE(PrepareRecipe(recipe, m_data.Path().string(), prepared, reason)) << reason;
    EXPECT_FALSE(prepared.firmware || prepared.settings || prepared.tvList);
    EXPECT_EQ(prepared.radioList->list.m_strType, "RA");
}

TEST_F(RecipeCheck, AnUnfitFileStopsTheRecipeAndIsNamed) {
    const struct {
        std::string Recipe::*step;
        const char* name;
        const char* key;
    } cases[] = {
        {&Recipe::firmware, "OS/missing.bsr", "FIRMWARE"},
        {&Recipe::firmware, "OS/other.bin", "FIRMWARE"},
        {&Recipe::firmware, "OS", "FIRMWARE"}, // a folder
        {&Recipe::settings, "settings/empty.grd", "SETTINGS"},
        {&Recipe::tvList, "lists/radio.lst", "TV"},
        {&Recipe::radioList, "lists/tv.lst", "RADIO"},
        {&Recipe::tvList, "lists/none.lst", "TV"},
        {&Recipe::tvList, "lists/text.lst", "TV"},
    };
    for (const auto& c : cases) {
        Recipe recipe = Full();
        recipe.*c.step = c.name;
        PreparedRecipe prepared;
        std::string reason;
        EXPECT_FALSE(PrepareRecipe(recipe, m_data.Path().string(), prepared, reason)) << c.name;
        EXPECT_NE(reason.find(std::string("step ") + c.key + ":"), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.name), std::string::npos) << reason;
        EXPECT_FALSE(prepared.firmware) << "nothing is half prepared";
    }
    PreparedRecipe prepared;
    std::string reason;
    EXPECT_FALSE(PrepareRecipe(Recipe{}, m_data.Path().string(), prepared, reason));
    EXPECT_FALSE(reason.empty());
}

} // namespace
} // namespace fw
