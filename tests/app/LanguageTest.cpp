#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/Language.h"
#include "app/Texts.h"

namespace ip2h {
namespace {

// Restores the English default after each test, so that test order never matters.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguageCode("EN"); }
};

TEST_F(LanguageTest, UiLanguageMapsToCode) {
    const struct {
        const char* ui;
        const char* code;
    } cases[] = {
        {"ja", "JP"},
        {"ja-JP", "JP"},
        {"ja_JP.UTF-8", "JP"},
        {"JA_jp", "JP"},
        {"ja@euro", "JP"},
        {"ja:en_US", "JP"},
        {"Japanese_Japan.932", "JP"},
        {"jpn", "JP"},
        {"en_US.UTF-8", "EN"},
        {"de-DE", "EN"},
        {"", "EN"},
        {"C", "EN"},
        {"POSIX", "EN"},
        {"jav", "EN"},  // Javanese
        {"j", "EN"},
        {"en:ja", "EN"},
        {"-ja", "EN"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageCodeForUiLanguage(c.ui), c.code) << "ui language '" << c.ui << "'";
    }
}

TEST_F(LanguageTest, OnlyExactJpIsJapanese) {
    for (const char* code : {"EN", "jp", "JP ", " JP", "", "JPN", "Jp"}) {
        SetLanguageCode(code);
        EXPECT_FALSE(IsJapanese()) << "code '" << code << "'";
        EXPECT_EQ(Tr(TextId::ResultSuccess), "Success") << "code '" << code << "'";
    }
    SetLanguageCode("JP");
    EXPECT_TRUE(IsJapanese());
    EXPECT_EQ(LanguageCode(), "JP");
    EXPECT_EQ(Tr(TextId::ResultSuccess), "成功");
    EXPECT_EQ(Tr(TextId::ResultFailure, false), "Failure");
}

TEST_F(LanguageTest, EveryTextHasBothLanguages) {
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const TextPair& pair = TextOf(static_cast<TextId>(i));
        EXPECT_FALSE(pair.English.empty()) << "text " << i;
        EXPECT_FALSE(pair.Japanese.empty()) << "text " << i;
    }
    // A stray id reads no memory outside the table.
    EXPECT_TRUE(Tr(TextId::Count, true).empty());
}

TEST_F(LanguageTest, MessagesStayEnglishInJapanese) {
    SetLanguageCode("JP");
    EXPECT_EQ(Tr(TextId::MessageNotValid), "Not valid.");
    EXPECT_EQ(Tr(TextId::MessageLimitOver), "Limit over.");
}

TEST_F(LanguageTest, StatusFormatsTakeTheirArguments) {
    // The formats go to snprintf with fixed argument lists; a changed conversion would
    // print garbage or read arguments that are not there.
    for (bool japanese : {false, true}) {
        char buffer[256];
        std::snprintf(buffer, sizeof buffer,
                      std::string(Tr(TextId::StatusTimeFormat, japanese)).c_str(), 1, 2, 3, 4);
        EXPECT_NE(std::string(buffer).find("01:02:03.004"), std::string::npos) << buffer;
        std::snprintf(buffer, sizeof buffer,
                      std::string(Tr(TextId::StatusProgressFormat, japanese)).c_str(), 0, 0);
        EXPECT_EQ(buffer, Tr(TextId::StatusProgressInitial, japanese));
        std::snprintf(buffer, sizeof buffer,
                      std::string(Tr(TextId::StatusSuccessFormat, japanese)).c_str(), 0, 0);
        EXPECT_EQ(buffer, Tr(TextId::StatusSuccessInitial, japanese));
    }
    // The English opening text of the time pane has no blank before the colon; the format
    // that replaces it at the first tick has one.
    EXPECT_EQ(Tr(TextId::StatusTimeInitial, false), " Time Required: 00:00:00.000 ");
    EXPECT_EQ(Tr(TextId::StatusTimeFormat, false), " Time Required : %02d:%02d:%02d.%03d ");
}

}  // namespace
}  // namespace ip2h
