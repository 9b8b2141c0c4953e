#include "results/DomainInfoTable.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "results/FixedText.h"

namespace ip2h {
namespace {

std::string_view SuffixAt(int index) {
    return FieldText(DomainInfoTable[index].Suffix);
}

// True when `text` is well-formed UTF-8 with at least one non-ASCII character, which a
// field cut in the middle of a character, or left in English, would not be.
bool IsNonAsciiUtf8(std::string_view text) {
    bool sawMultibyte = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x06 ? 2
                                   : (lead >> 4) == 0x0E ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x02) {
                return false;
            }
        }
        sawMultibyte = sawMultibyte || length > 1;
        i += length;
    }
    return sawMultibyte;
}

// The plain definition the fast lookup must agree with: search the lower-cased name plus
// "$$" for "." + suffix + "$$", record by record.
std::optional<int> ReferenceFind(std::string_view hostName) {
    std::string subject(hostName.substr(0, hostName.find('\0')));
    subject += "$$";
    for (char& c : subject) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    static const std::vector<std::string> patterns = [] {
        std::vector<std::string> all;
        for (int i = 0; i < DomainInfoCount; ++i)
            all.push_back("." + std::string(SuffixAt(i)) + "$$");
        return all;
    }();
    for (int i = 0; i < DomainInfoCount; ++i) {
        if (subject.find(patterns[i]) != std::string::npos) return i;
    }
    return std::nullopt;
}

TEST(DomainInfoTableTest, GroupsStandInTheirFixedOrder) {
    const std::vector<std::string_view> leading = {
        "arpa", "com",   "net",   "org",   "edu",   "gov",   "mil",   "int",   "biz",   "info",
        "name", "ac.jp", "co.jp", "go.jp", "or.jp", "ad.jp", "ne.jp", "gr.jp", "ed.jp", "lg.jp",
        "jp",   "us",    "cn",    "uk",    "gb",    "de",    "kr",    "br",    "fr",    "ca",
        "it",   "au",    "nl",    "ru",    "in",    "tw",    "hk",    "sg",    "es",    "ch",
        "mx",   "be",    "at",    "bg",    "dk",    "se"};
    for (int i = 0; i < static_cast<int>(leading.size()); ++i) {
        EXPECT_EQ(SuffixAt(i), leading[i]) << "index " << i;
    }

    EXPECT_EQ(SuffixAt(46), "ac");
    EXPECT_EQ(SuffixAt(DomainInfoCount - 1), "zw");
    for (int i = 46; i < DomainInfoCount; ++i) {
        EXPECT_EQ(SuffixAt(i).size(), 2u) << "index " << i;
        if (i > 46) {
            EXPECT_LT(SuffixAt(i - 1), SuffixAt(i)) << "index " << i;
        }
    }

    std::set<std::string_view> unique;
    for (int i = 0; i < DomainInfoCount; ++i) unique.insert(SuffixAt(i));
    EXPECT_EQ(unique.size(), static_cast<std::size_t>(DomainInfoCount));
}

TEST(DomainInfoTableTest, TextsFitTheirFieldsAndJapaneseTextsAreJapanese) {
    for (int i = 0; i < DomainInfoCount; ++i) {
        const DomainInfoRecord& r = DomainInfoTable[i];
        SCOPED_TRACE(testing::Message() << "index " << i << " " << SuffixAt(i));
        EXPECT_LT(FieldText(r.JapaneseText).size(), sizeof r.JapaneseText);
        EXPECT_LT(FieldText(r.EnglishText).size(), sizeof r.EnglishText);
        EXPECT_LT(FieldText(r.Region).size(), sizeof r.Region);
        EXPECT_TRUE(IsNonAsciiUtf8(FieldText(r.JapaneseText)));
        EXPECT_FALSE(FieldText(r.EnglishText).empty());
        // Country records carry a Japanese region label; the first 21 have their own.
        if (i > 20) {
            EXPECT_TRUE(IsNonAsciiUtf8(FieldText(r.Region)));
        }
    }
}

TEST(DomainInfoTableTest, FixedRecordsHoldTheirExactTexts) {
    struct Row {
        int index;
        const char* suffix;
        const char* japanese;
        const char* english;
        const char* region;
    };
    const Row rows[] = {
        {0, "arpa", "インターネットインフラ用", "Infrastructure", "Infrastructure TLD"},
        {1, "com", "商業組織用", "Commercial", "gTLD"},
        {2, "net", "ネットワーク用", "Network", "gTLD"},
        {3, "org", "非営利組織用", "other organizations", "gTLD"},
        {4, "edu", "教育機関用", "4 year colleges", "gTLD"},
        {5, "gov", "米国政府機関用", "Federal Government", "gTLD"},
        {6, "mil", "米国軍事機関用", "U.S. Military", "gTLD"},
        {7, "int", "国際機関用", "international organizations", "gTLD"},
        {8, "biz", "ビジネス用", "for business", "gTLD"},
        {9, "info", "制限なし", "General", "gTLD"},
        {10, "name", "個人名用", "Personal", "gTLD"},
        {11, "ac.jp", "日本: 大学等教育機関", "Japan: institutions such as universities",
         "東アジア"},
        {12, "co.jp", "日本: 一般企業", "Japan: General Company", "jp TLD"},
        {13, "go.jp", "日本: 日本国政府機関", "Japan: Government of Japan", "東アジア"},
        {14, "or.jp", "日本: 会社以外の法人", "Japan: non-corporate company", "東アジア"},
        {15, "ad.jp", "日本: JPNIC会員", "Japan: JPNIC members", "東アジア"},
        {16, "ne.jp", "日本: ネットワークサービス", "Japan: Network Services", "東アジア"},
        {17, "gr.jp", "日本: 任意団体", "Japan: voluntary organization", "東アジア"},
        {18, "ed.jp", "日本: 各種学校", "Japan: miscellaneous schools", "東アジア"},
        {19, "lg.jp", "日本: 地方公共団体", "Japan: Local governments", "東アジア"},
        {20, "jp", "日本", "Japan", "東アジア"},
        {21, "us", "アメリカ合衆国", "United States", "北アメリカ"},
        {22, "cn", "中国", "China", "東アジア"},
        {23, "uk", "イギリス", "United Kingdom", "西ヨーロッパ"},
        {24, "gb", "イギリス", "United Kingdom", "西ヨーロッパ"},
        {26, "kr", "大韓民国", "Korea. Republic of", "東アジア"},
        {33, "ru", "ロシア連邦", "Russian Federation", "ロシア"},
        {46, "ac", "アセンション島", "Ascension Island", "西アフリカ"},
        {106, "eu", "ヨーロッパ連合", "European Union", "ヨーロッパ"},
        {246, "tl", "東ティモール", "Timor-Leste", "東南アジア"},
        {250, "tp", "東ティモール", "East Timor", "東南アジア"},
        {257, "um", "米領太平洋諸島(ミッドウェー、ジョンストン、ウェーク島)",
         "United States Minor Outlying Islands", "オセアニア"},
    };
    for (const Row& row : rows) {
        const DomainInfoRecord& r = DomainInfoTable[row.index];
        SCOPED_TRACE(testing::Message() << "index " << row.index);
        EXPECT_EQ(FieldText(r.Suffix), row.suffix);
        EXPECT_EQ(FieldText(r.JapaneseText), row.japanese);
        EXPECT_EQ(FieldText(r.EnglishText), row.english);
        EXPECT_EQ(FieldText(r.Region), row.region);
    }

    // English texts whose unusual spelling must survive as it is shown.
    const std::pair<int, std::string_view> english[] = {
        {50, "Antigua And Barbuda"},
        {62, "Bosnia and Herzegowina"},
        {73, "Bonaire. Saint Eustatius and Saba"},
        {84, "Cote d'Ivoire"},
        {125, "South Georgia and the South Sandwich Islands"},
        {152, "Korea. Democratic People's Republic of"},
        {171, "Saint Martin(French part)"},
        {268, "Western Samoa"},
    };
    for (const auto& [index, text] : english) {
        EXPECT_EQ(FieldText(DomainInfoTable[index].EnglishText), text) << "index " << index;
    }
}

TEST(DomainInfoTableTest, FindDomainEntryClassifiesHostNames) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view hostName;
        std::optional<int> expected;
    };
    const Case cases[] = {
        // First match in table order: second-level "jp" domains before "jp".
        {"mail.example.co.jp", 12},
        {"x.ac.jp", 11},
        {"x.lg.jp", 19},
        {"x.xx.jp", 20},
        {"x.ac", 46},
        {"example.com.au", 31},
        {"host.uk", 23},
        {"host.gb", 24},
        {"4.3.2.1.in-addr.arpa", 0},
        // ASCII letters compare without case, nothing else is folded: the Kelvin sign
        // lower-cases to "k" in Unicode but must not make ".kr".
        {"HOST.EXAMPLE.COM", 1},
        {"Mail.Example.Co.JP", 12},
        {"サーバ.例え.jp", 20},
        {"example.\xE2\x84\xAAR", std::nullopt},
        {"example.ＪＰ", std::nullopt},
        // The suffix must follow a dot and end the name; no normalisation.
        {"jp", std::nullopt},
        {"co.jp", 20},
        {".jp", 20},
        {"example.jp.", std::nullopt},
        {"example.jpn", std::nullopt},
        {"examplejp", std::nullopt},
        {"example.com ", std::nullopt},
        {"example.local", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        // A "$$" in the name ends a suffix just like the end of the name does.
        {"a.com$$b.net", 1},
        {"a.org$$b.net", 2},
        {"a.jp$", 20},
        {"a.jp$x", std::nullopt},
        {"a.co.jp$$", 12},
        // The name ends at a NUL, as its stored field does.
        {"example.com\0.jp"sv, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindDomainEntry(c.hostName), c.expected) << "host name \"" << c.hostName << '"';
    }

    const std::string longName = std::string(5000, 'a') + ".de";
    EXPECT_EQ(FindDomainEntry(longName), 25);
}

// Every combination of a few tricky pieces, checked against the plain definition: catches
// a fast path that misses a candidate, checks the wrong positions or folds the wrong bytes.
TEST(DomainInfoTableTest, FindDomainEntryAgreesWithPlainSubstringSearch) {
    const std::vector<std::string> pieces = {"",     ".",   "$",  "$$",   "co",
                                             "CO",   "jp",  "Jp", "ac",   "uk",
                                             "arpa", "com", "x",  "日本", "\xC4\xB0"};
    int checked = 0;
    std::string name;
    for (const std::string& a : pieces) {
        for (const std::string& b : pieces) {
            for (const std::string& c : pieces) {
                for (const std::string& d : pieces) {
                    name = a + b + c + d;
                    ASSERT_EQ(FindDomainEntry(name), ReferenceFind(name))
                        << "host name \"" << name << '"';
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 15 * 15 * 15 * 15);
}

TEST(DomainInfoTableTest, DomainDescriptionFollowsLanguageAndIgnoresReservedIndices) {
    EXPECT_EQ(DomainDescription(12, true), "日本: 一般企業");
    EXPECT_EQ(DomainDescription(12, false), "Japan: General Company");
    EXPECT_EQ(DomainDescription(0, false), "Infrastructure");
    EXPECT_EQ(DomainDescription(DomainInfoCount - 1, false), "Zimbabwe");
    for (int index : {-1, DomainInfoCount, 9998, 9999}) {
        EXPECT_EQ(DomainDescription(index, true), "") << "index " << index;
        EXPECT_EQ(DomainDescription(index, false), "") << "index " << index;
    }
}

}  // namespace
}  // namespace ip2h
