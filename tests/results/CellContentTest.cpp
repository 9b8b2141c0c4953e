#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "results/CellColours.h"
#include "results/DomainInfoTable.h"
#include "base/FixedText.h"
#include "results/ListRefresh.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

using namespace std::string_view_literals;

std::string_view SuffixAt(int index) {
    return FieldText(DomainInfoTable[index].Suffix);
}

// Rows store their record's index and the domain column sorts by it: the order is data.
TEST(DomainInfoTableTest, RecordsStandInTheirFixedOrderWithTheirTexts) {
    std::string leading;
    for (int i = 0; i < 46; ++i) (leading += SuffixAt(i)) += ' ';
    EXPECT_EQ(leading,
              "arpa com net org edu gov mil int biz info name ac.jp co.jp go.jp or.jp ad.jp ne.jp "
              "gr.jp ed.jp lg.jp jp us cn uk gb de kr br fr ca it au nl ru in tw hk sg es ch mx "
              "be at bg dk se ");
    // Every other country code follows, alphabetically from "ac" to "zw".
    EXPECT_EQ(SuffixAt(46), "ac");
    EXPECT_EQ(SuffixAt(kDomainInfoCount - 1), "zw");
    for (int i = 47; i < kDomainInfoCount; ++i) EXPECT_LT(SuffixAt(i - 1), SuffixAt(i)) << i;
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    };
    for (int i = 0; i < kDomainInfoCount; ++i) {
        EXPECT_FALSE(ascii(DomainDescription(i, true))) << i;
        EXPECT_TRUE(ascii(DomainDescription(i, false))) << i;
    }
    // Unusual spellings are shown as they are.
    const std::pair<int, std::string_view> spellings[] = {
        {62, "Bosnia and Herzegowina"},
        {84, "Cote d'Ivoire"},
        {152, "Korea. Democratic People's Republic of"},
        {171, "Saint Martin(French part)"}};
    for (const auto& [i, text] : spellings) EXPECT_EQ(DomainDescription(i, false), text) << i;
}

TEST(DomainInfoTableTest, FindDomainEntryClassifiesHostNames) {
    const std::string longName = std::string(5000, 'a') + ".de";
    // The first match in table order wins; "$$" or NUL ends the name; only ASCII letters fold.
    const std::pair<int, std::vector<std::string_view>> cases[] = {
        {0, {"4.3.2.1.in-addr.arpa"}},
        {1, {"a.com$$b.net", "example.com\0.jp"sv}},
        {12, {"mail.example.co.jp", "Mail.Example.Co.JP", "a.co.jp$$"}},
        {20, {"x.xx.jp", "co.jp", ".jp", "サーバ.例え.jp", "a.jp$"}},
        {25, {longName}},
        {46, {"x.ac"}},
        {-1,
         {"jp", "example.jp.", "example.jpn", "examplejp", "example.com ", "", ".", "a.jp$x",
          "example.\xE2\x84\xAAR", "example.ＪＰ"}},
    };
    for (const auto& [index, names] : cases) {
        for (auto name : names) EXPECT_EQ(FindDomainEntry(name).value_or(-1), index) << name;
    }
}

// The plain definition: the first record whose ".suffix$$" occurs in the lower-cased name$$.
std::optional<int> ReferenceFind(std::string_view hostName) {
    static const std::vector<std::string> patterns = [] {
        std::vector<std::string> all;
        for (int i = 0; i < kDomainInfoCount; ++i)
            all.push_back("." + std::string(SuffixAt(i)) + "$$");
        return all;
    }();
    std::string subject(hostName.substr(0, hostName.find('\0')));
    subject += "$$";
    for (char& c : subject) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    for (int i = 0; i < kDomainInfoCount; ++i) {
        if (subject.find(patterns[i]) != std::string::npos) return i;
    }
    return std::nullopt;
}

// Every combination of tricky pieces: catches a fast path that misses or misplaces a match.
TEST(DomainInfoTableTest, FindDomainEntryAgreesWithPlainSubstringSearch) {
    const std::string pieces[] = {"",   ".",  "$",    "$$",  "co", "CO",   "jp",      "Jp",
                                  "ac", "uk", "arpa", "com", "x",  "日本", "\xC4\xB0"};
    for (int n = 0; n < 15 * 15 * 15 * 15; ++n) {
        std::string name;
        for (int k = n, i = 0; i < 4; ++i, k /= 15) name += pieces[k % 15];
        ASSERT_EQ(FindDomainEntry(name), ReferenceFind(name)) << name;
    }
}

TEST(CellTextTest, StatusTextsAndColoursFollowTheCellText) {
    EXPECT_EQ(StatusText(Success, false), "Success");
    EXPECT_EQ(StatusText(Failure, true), "失敗");
    EXPECT_EQ(StatusText(Pending, true), "-");

    // The list's own colours differ from every fixed one, so a cell that keeps them shows.
    const Rgb text{1, 2, 3}, back{4, 5, 6}, grey{192, 192, 192}, green{0, 140, 0};
    const Rgb red{210, 0, 0}, paleGreen{230, 255, 230}, paleRed{255, 238, 238};
    const CellColour list{text, back, true};
    const std::tuple<int, const char*, bool, CellColour> cases[] = {
        {0, "10.0.0.1", false, list},
        {1, "10.0.0.1", false, {{0, 0, 0}, back, false}},
        {1, "host.example.com", false, {{0, 150, 0}, back, false}},
        {1, "(10.0.0.1)", false, {grey, back, false}},
        {2, "-", false, {grey, back, false}},
        {2, "Success", false, {green, paleGreen, false}},
        {2, "Failure", false, {red, paleRed, false}},
        {2, "成功", true, {green, paleGreen, false}},
        {2, "Success", true, list},  // an English word in a Japanese list
        {3, "-", false, {grey, back, false}},
        {3, "?", false, list},
    };
    for (const auto& [column, cell, japanese, expected] : cases) {
        SCOPED_TRACE(std::string(cell) + " in column " + std::to_string(column));
        const CellColour colour = CellColours(column, cell, japanese, list);
        EXPECT_EQ(colour.Text, expected.Text);
        EXPECT_EQ(colour.Background, expected.Background);
        EXPECT_EQ(colour.TransparentBackground, expected.TransparentBackground);
    }
}

}  // namespace
}  // namespace ip2h
