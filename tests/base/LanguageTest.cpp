#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/Language.h"
#include "base/Texts.h"

namespace ip2h {
namespace {

// Restores the English default after each test, so that test order never matters.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageCode("EN"); }
};

TEST_F(LanguageTest, OnlyAJapaneseFirstUiLanguageSelectsJapanese) {
    for (const char* ui : {"ja", "ja-JP", "ja_JP.UTF-8", "JA_jp", "ja@euro", "ja:en_US",
                           "Japanese_Japan.932", "jpn"}) {
        EXPECT_EQ(LanguageCodeForUiLanguage(ui), "JP") << ui;
    }
    for (const char* ui : {"en_US.UTF-8", "", "C", "jav", "j", "en:ja", "-ja"}) {
        EXPECT_EQ(LanguageCodeForUiLanguage(ui), "EN") << ui;
    }
}

TEST_F(LanguageTest, TextsAreCompleteAndOnlyExactJpShowsJapanese) {
    for (const char* code : {"EN", "jp", "JP ", " JP", "", "JPN", "Jp"}) {
        SetLanguageCode(code);
        EXPECT_EQ(Tr(TextId::ResultSuccess), "Success") << "code '" << code << "'";
    }
    SetLanguageCode("JP");
    EXPECT_EQ(Tr(TextId::ResultSuccess), "成功");
    EXPECT_EQ(Tr(TextId::ResultFailure, false), "Failure");
    EXPECT_EQ(Tr(TextId::MessageNotValid), "Not valid.");
    EXPECT_EQ(Tr(TextId::MessageLimitOver), "Limit over.");
    for (std::size_t i = 0; i < kTextCount; ++i) {
        EXPECT_FALSE(Tr(static_cast<TextId>(i), false).empty()) << "text " << i;
        EXPECT_FALSE(Tr(static_cast<TextId>(i), true).empty()) << "text " << i;
    }
    EXPECT_TRUE(Tr(TextId::Count, true).empty()) << "a stray id reads nothing past the table";
    // The status bar opens with what the timer's formats print for zero rows; only the English
    // time pane differs, by having no blank before its colon.
    EXPECT_EQ(Tr(TextId::StatusTimeInitial, false), " Time Required: 00:00:00.000 ");
    char buffer[64];
    for (bool japanese : {false, true}) {
        for (const auto& [initial, format] :
             {std::pair{TextId::StatusProgressInitial, TextId::StatusProgressFormat},
              std::pair{TextId::StatusSuccessInitial, TextId::StatusSuccessFormat}}) {
            std::snprintf(buffer, sizeof buffer, std::string(Tr(format, japanese)).c_str(), 0, 0);
            EXPECT_EQ(buffer, Tr(initial, japanese));
        }
    }
}

}  // namespace
}  // namespace ip2h
