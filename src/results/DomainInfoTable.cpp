#include "results/DomainInfoTable.h"

#include "base/AsciiCase.h"
#include "base/FixedText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace ip2h {

// clang-format off
constexpr DomainInfoRecord DomainInfoTable[kDomainInfoCount] = {
    // Infrastructure.
    {"arpa", "インターネットインフラ用", "Infrastructure"},  // 0
    // Generic domains.
    {"com", "商業組織用", "Commercial"},  // 1
    {"net", "ネットワーク用", "Network"},  // 2
    {"org", "非営利組織用", "other organizations"},  // 3
    {"edu", "教育機関用", "4 year colleges"},  // 4
    {"gov", "米国政府機関用", "Federal Government"},  // 5
    {"mil", "米国軍事機関用", "U.S. Military"},  // 6
    {"int", "国際機関用", "international organizations"},  // 7
    {"biz", "ビジネス用", "for business"},  // 8
    {"info", "制限なし", "General"},  // 9
    {"name", "個人名用", "Personal"},  // 10
    // Second-level domains under "jp"; they come before "jp" so that they win over it.
    {"ac.jp", "日本: 大学等教育機関", "Japan: institutions such as universities"},  // 11
    {"co.jp", "日本: 一般企業", "Japan: General Company"},  // 12
    {"go.jp", "日本: 日本国政府機関", "Japan: Government of Japan"},  // 13
    {"or.jp", "日本: 会社以外の法人", "Japan: non-corporate company"},  // 14
    {"ad.jp", "日本: JPNIC会員", "Japan: JPNIC members"},  // 15
    {"ne.jp", "日本: ネットワークサービス", "Japan: Network Services"},  // 16
    {"gr.jp", "日本: 任意団体", "Japan: voluntary organization"},  // 17
    {"ed.jp", "日本: 各種学校", "Japan: miscellaneous schools"},  // 18
    {"lg.jp", "日本: 地方公共団体", "Japan: Local governments"},  // 19
    // "jp" and the most common country codes.
    {"jp", "日本", "Japan"},  // 20
    {"us", "アメリカ合衆国", "United States"},  // 21
    {"cn", "中国", "China"},  // 22
    {"uk", "イギリス", "United Kingdom"},  // 23
    {"gb", "イギリス", "United Kingdom"},  // 24
    {"de", "ドイツ", "Germany"},  // 25
    {"kr", "大韓民国", "Korea. Republic of"},  // 26
    {"br", "ブラジル", "Brazil"},  // 27
    {"fr", "フランス", "France"},  // 28
    {"ca", "カナダ", "Canada"},  // 29
    {"it", "イタリア", "Italy"},  // 30
    {"au", "オーストラリア", "Australia"},  // 31
    {"nl", "オランダ", "Netherlands"},  // 32
    {"ru", "ロシア連邦", "Russian Federation"},  // 33
    {"in", "インド", "India"},  // 34
    {"tw", "台湾", "Taiwan"},  // 35
    {"hk", "香港", "Hong Kong"},  // 36
    {"sg", "シンガポール", "Singapore"},  // 37
    {"es", "スペイン", "Spain"},  // 38
    {"ch", "スイス", "Switzerland"},  // 39
    {"mx", "メキシコ", "Mexico"},  // 40
    {"be", "ベルギー", "Belgium"},  // 41
    {"at", "オーストリア", "Austria"},  // 42
    {"bg", "ブルガリア", "Bulgaria"},  // 43
    {"dk", "デンマーク", "Denmark"},  // 44
    {"se", "スウェーデン", "Sweden"},  // 45
    // Every other country code, alphabetical.
    {"ac", "アセンション島", "Ascension Island"},  // 46
    {"ad", "アンドラ", "Andorra"},  // 47
    {"ae", "アラブ首長国連邦", "United Arab Emirates"},  // 48
    {"af", "アフガニスタン", "Afghanistan"},  // 49
    {"ag", "アンティグア・バーブーダ", "Antigua And Barbuda"},  // 50
    {"ai", "アンギラ", "Anguilla"},  // 51
    {"al", "アルバニア", "Albania"},  // 52
    {"am", "アルメニア", "Armenia"},  // 53
    {"an", "オランダ領アンティル", "Netherlands Antilles"},  // 54
    {"ao", "アンゴラ", "Angola"},  // 55
    {"aq", "南極大陸", "Antarctica"},  // 56
    {"ar", "アルゼンチン", "Argentina"},  // 57
    {"as", "アメリカ領サモア", "American Samoa"},  // 58
    {"aw", "アルバ", "Aruba"},  // 59
    {"ax", "オーランド諸島", "Aland Islands"},  // 60
    {"az", "アゼルバイジャン", "Azerbaijan"},  // 61
    {"ba", "ボスニア・ヘルツェゴビナ", "Bosnia and Herzegowina"},  // 62
    {"bb", "バルバドス", "Barbados"},  // 63
    {"bd", "バングラデシュ", "Bangladesh"},  // 64
    {"bf", "ブルキナファソ", "Burkina Faso"},  // 65
    {"bh", "バーレーン", "Bahrain"},  // 66
    {"bi", "ブルンジ", "Burundi"},  // 67
    {"bj", "ベナン", "Benin"},  // 68
    {"bl", "サン・バルテルミー島", "Saint Barthelemy"},  // 69
    {"bm", "バミューダ諸島", "Bermuda"},  // 70
    {"bn", "ブルネイ", "Brunei Darussalam"},  // 71
    {"bo", "ボリビア", "Bolivia"},  // 72
    {"bq", "ボネール、シント・ユースタティウスおよびサバ", "Bonaire. Saint Eustatius and Saba"},  // 73
    {"bs", "バハマ", "Bahamas"},  // 74
    {"bt", "ブータン", "Bhutan"},  // 75
    {"bv", "ブーベ島", "Bouvet Island"},  // 76
    {"bw", "ボツワナ", "Botswana"},  // 77
    {"by", "ベラルーシ", "Belarus"},  // 78
    {"bz", "ベリーズ", "Belize"},  // 79
    {"cc", "ココス(キーリング)諸島", "Cocos (Keeling) Islands"},  // 80
    {"cd", "コンゴ民主共和国", "Congo. Democratic Republic of"},  // 81
    {"cf", "中央アフリカ共和国", "Central African Republic"},  // 82
    {"cg", "コンゴ共和国", "Congo. Republic of"},  // 83
    {"ci", "コートジボワール", "Cote d'Ivoire"},  // 84
    {"ck", "クック諸島", "Cook Islands"},  // 85
    {"cl", "チリ", "Chile"},  // 86
    {"cm", "カメルーン", "Cameroon"},  // 87
    {"co", "コロンビア", "Colombia"},  // 88
    {"cr", "コスタリカ", "Costa Rica"},  // 89
    {"cu", "キューバ", "Cuba"},  // 90
    {"cv", "カーボベルデ", "Cape Verde"},  // 91
    {"cw", "キュラソー", "Curacao"},  // 92
    {"cx", "クリスマス島", "Christmas Island"},  // 93
    {"cy", "キプロス", "Cyprus"},  // 94
    {"cz", "チェコ", "Czech Republic"},  // 95
    {"dj", "ジブチ", "Djibouti"},  // 96
    {"dm", "ドミニカ国", "Dominica"},  // 97
    {"do", "ドミニカ共和国", "Dominican Republic"},  // 98
    {"dz", "アルジェリア", "Algeria"},  // 99
    {"ec", "エクアドル", "Ecuador"},  // 100
    {"ee", "エストニア", "Estonia"},  // 101
    {"eg", "エジプト", "Egypt"},  // 102
    {"eh", "西サハラ", "Western Sahara"},  // 103
    {"er", "エリトリア", "Eritrea"},  // 104
    {"et", "エチオピア", "Ethiopia"},  // 105
    {"eu", "ヨーロッパ連合", "European Union"},  // 106
    {"fi", "フィンランド", "Finland"},  // 107
    {"fj", "フィジー", "Fiji"},  // 108
    {"fk", "フォークランド諸島", "Falkland Islands (Malvinas)"},  // 109
    {"fm", "ミクロネシア連邦", "Micronesia. Federated States of"},  // 110
    {"fo", "フェロー諸島", "Faroe Islands"},  // 111
    {"ga", "ガボン", "Gabon"},  // 112
    {"gd", "グレナダ", "Grenada"},  // 113
    {"ge", "ジョージア", "Georgia"},  // 114
    {"gf", "フランス領ギアナ", "French Guiana"},  // 115
    {"gg", "ガーンジー", "Guernsey"},  // 116
    {"gh", "ガーナ", "Ghana"},  // 117
    {"gi", "ジブラルタル", "Gibraltar"},  // 118
    {"gl", "グリーンランド", "Greenland"},  // 119
    {"gm", "ガンビア", "Gambia"},  // 120
    {"gn", "ギニア", "Guinea"},  // 121
    {"gp", "グアドループ", "Guadeloupe"},  // 122
    {"gq", "赤道ギニア", "Equatorial Guinea"},  // 123
    {"gr", "ギリシャ", "Greece"},  // 124
    {"gs", "サウスジョージア・サウスサンドウィッチ諸島", "South Georgia and the South Sandwich Islands"},  // 125
    {"gt", "グアテマラ", "Guatemala"},  // 126
    {"gu", "グアム", "Guam"},  // 127
    {"gw", "ギニアビサウ", "Guinea-Bissau"},  // 128
    {"gy", "ガイアナ", "Guyana"},  // 129
    {"hm", "ハード島・マクドナルド諸島", "Heard and McDonald Islands"},  // 130
    {"hn", "ホンジュラス", "Honduras"},  // 131
    {"hr", "クロアチア", "Croatia (Hrvatska)"},  // 132
    {"ht", "ハイチ", "Haiti"},  // 133
    {"hu", "ハンガリー", "Hungary"},  // 134
    {"id", "インドネシア", "Indonesia"},  // 135
    {"ie", "アイルランド", "Ireland"},  // 136
    {"il", "イスラエル", "Israel"},  // 137
    {"im", "マン島", "Isle of Man"},  // 138
    {"io", "イギリス領インド洋地域", "British Indian Ocean Territory"},  // 139
    {"iq", "イラク", "Iraq"},  // 140
    {"ir", "イラン", "Iran"},  // 141
    {"is", "アイスランド", "Iceland"},  // 142
    {"je", "ジャージー", "Jersey"},  // 143
    {"jm", "ジャマイカ", "Jamaica"},  // 144
    {"jo", "ヨルダン", "Jordan"},  // 145
    {"ke", "ケニア", "Kenya"},  // 146
    {"kg", "キルギス", "Kyrgyzstan"},  // 147
    {"kh", "カンボジア", "Cambodia"},  // 148
    {"ki", "キリバス", "Kiribati"},  // 149
    {"km", "コモロ", "Comoros"},  // 150
    {"kn", "セントクリストファー・ネイビス", "Saint Kitts and Nevis"},  // 151
    {"kp", "朝鮮民主主義人民共和国", "Korea. Democratic People's Republic of"},  // 152
    {"kw", "クウェート", "Kuwait"},  // 153
    {"ky", "ケイマン諸島", "Cayman Islands"},  // 154
    {"kz", "カザフスタン", "Kazakhstan"},  // 155
    {"la", "ラオス", "Lao People's Democratic Republic"},  // 156
    {"lb", "レバノン", "Lebanon"},  // 157
    {"lc", "セントルシア", "Saint Lucia"},  // 158
    {"li", "リヒテンシュタイン", "Liechtenstein"},  // 159
    {"lk", "スリランカ", "Sri Lanka"},  // 160
    {"lr", "リベリア", "Liberia"},  // 161
    {"ls", "レソト", "Lesotho"},  // 162
    {"lt", "リトアニア", "Lithuania"},  // 163
    {"lu", "ルクセンブルク", "Luxembourg"},  // 164
    {"lv", "ラトビア", "Latvia"},  // 165
    {"ly", "リビア", "Libyan Arab Jamahiriya"},  // 166
    {"ma", "モロッコ", "Morocco"},  // 167
    {"mc", "モナコ", "Monaco"},  // 168
    {"md", "モルドバ", "Moldova. Republic of"},  // 169
    {"me", "モンテネグロ", "Montenegro"},  // 170
    {"mf", "サン・マルタン(フランス領)", "Saint Martin(French part)"},  // 171
    {"mg", "マダガスカル", "Madagascar"},  // 172
    {"mh", "マーシャル諸島", "Marshall Islands"},  // 173
    {"mk", "マケドニア旧ユーゴスラビア共和国", "Macedonia. Former Yugoslav Republic of"},  // 174
    {"ml", "マリ", "Mali"},  // 175
    {"mm", "ミャンマー", "Myanmar"},  // 176
    {"mn", "モンゴル", "Mongolia"},  // 177
    {"mo", "マカオ", "Macau"},  // 178
    {"mp", "北マリアナ諸島", "Northern Mariana Islands"},  // 179
    {"mq", "マルティニーク", "Martinique"},  // 180
    {"mr", "モーリタニア", "Mauritania"},  // 181
    {"ms", "モントセラト", "Montserrat"},  // 182
    {"mt", "マルタ", "Malta"},  // 183
    {"mu", "モーリシャス", "Mauritius"},  // 184
    {"mv", "モルディブ", "Maldives"},  // 185
    {"mw", "マラウイ", "Malawi"},  // 186
    {"my", "マレーシア", "Malaysia"},  // 187
    {"mz", "モザンビーク", "Mozambique"},  // 188
    {"na", "ナミビア", "Namibia"},  // 189
    {"nc", "ニューカレドニア", "New Caledonia"},  // 190
    {"ne", "ニジェール", "Niger"},  // 191
    {"nf", "ノーフォーク島", "Norfolk Island"},  // 192
    {"ng", "ナイジェリア", "Nigeria"},  // 193
    {"ni", "ニカラグア", "Nicaragua"},  // 194
    {"no", "ノルウェー", "Norway"},  // 195
    {"np", "ネパール", "Nepal"},  // 196
    {"nr", "ナウル", "Nauru"},  // 197
    {"nu", "ニウエ", "Niue"},  // 198
    {"nz", "ニュージーランド", "New Zealand"},  // 199
    {"om", "オマーン", "Oman"},  // 200
    {"pa", "パナマ", "Panama"},  // 201
    {"pe", "ペルー", "Peru"},  // 202
    {"pf", "フランス領ポリネシア", "French Polynesia"},  // 203
    {"pg", "パプアニューギニア", "Papua New Guinea"},  // 204
    {"ph", "フィリピン", "Philippines"},  // 205
    {"pk", "パキスタン", "Pakistan"},  // 206
    {"pl", "ポーランド", "Poland"},  // 207
    {"pm", "サンピエール島・ミクロン島", "St. Pierre and Miquelon"},  // 208
    {"pn", "ピトケアン諸島", "Pitcairn"},  // 209
    {"pr", "プエルトリコ", "Puerto Rico"},  // 210
    {"ps", "パレスチナ自治区", "Palestinian Territories"},  // 211
    {"pt", "ポルトガル", "Portugal"},  // 212
    {"pw", "パラオ", "Palau"},  // 213
    {"py", "パラグアイ", "Paraguay"},  // 214
    {"qa", "カタール", "Qatar"},  // 215
    {"re", "レユニオン", "Reunion"},  // 216
    {"ro", "ルーマニア", "Romania"},  // 217
    {"rs", "セルビア", "Serbia"},  // 218
    {"rw", "ルワンダ", "Rwanda"},  // 219
    {"sa", "サウジアラビア", "Saudi Arabia"},  // 220
    {"sb", "ソロモン諸島", "Solomon Islands"},  // 221
    {"sc", "セーシェル", "Seychelles"},  // 222
    {"sd", "スーダン", "Sudan"},  // 223
    {"sh", "セントヘレナ", "St. Helena"},  // 224
    {"si", "スロベニア", "Slovenia"},  // 225
    {"sj", "スバールバル諸島・ヤンマイエン島", "Svalbard And Jan Mayen Islands"},  // 226
    {"sk", "スロバキア", "Slovakia (Slovak Republic)"},  // 227
    {"sl", "シエラレオネ", "Sierra Leone"},  // 228
    {"sm", "サンマリノ", "San Marino"},  // 229
    {"sn", "セネガル", "Senegal"},  // 230
    {"so", "ソマリア", "Somalia"},  // 231
    {"sr", "スリナム", "Suriname"},  // 232
    {"ss", "南スーダン", "South Sudan"},  // 233
    {"st", "サントメ・プリンシペ", "Sao Tome and Principe"},  // 234
    {"sv", "エルサルバドル", "El Salvador"},  // 235
    {"sx", "シント・マールテン(オランダ領)", "Sint Maarten (Dutch part)"},  // 236
    {"sy", "シリア", "Syrian Arab Republic"},  // 237
    {"sz", "スワジランド", "Swaziland"},  // 238
    {"tc", "タークス・カイコス諸島", "Turks and Caicos Islands"},  // 239
    {"td", "チャド", "Chad"},  // 240
    {"tf", "フランス領南方・南極地域", "French Southern Territories"},  // 241
    {"tg", "トーゴ", "Togo"},  // 242
    {"th", "タイ", "Thailand"},  // 243
    {"tj", "タジキスタン", "Tajikistan"},  // 244
    {"tk", "トケラウ", "Tokelau"},  // 245
    {"tl", "東ティモール", "Timor-Leste"},  // 246
    {"tm", "トルクメニスタン", "Turkmenistan"},  // 247
    {"tn", "チュニジア", "Tunisia"},  // 248
    {"to", "トンガ", "Tonga"},  // 249
    {"tp", "東ティモール", "East Timor"},  // 250
    {"tr", "トルコ", "Turkey"},  // 251
    {"tt", "トリニダード・トバゴ", "Trinidad and Tobago"},  // 252
    {"tv", "ツバル", "Tuvalu"},  // 253
    {"tz", "タンザニア", "Tanzania. United Republic of"},  // 254
    {"ua", "ウクライナ", "Ukraine"},  // 255
    {"ug", "ウガンダ", "Uganda"},  // 256
    {"um", "米領太平洋諸島(ミッドウェー、ジョンストン、ウェーク島)", "United States Minor Outlying Islands"},  // 257
    {"uy", "ウルグアイ", "Uruguay"},  // 258
    {"uz", "ウズベキスタン", "Uzbekistan"},  // 259
    {"va", "バチカン市国", "Vatican City State"},  // 260
    {"vc", "セントビンセント・グレナディーン", "Saint Vincent and the Grenadines"},  // 261
    {"ve", "ベネズエラ", "Venezuela"},  // 262
    {"vg", "イギリス領ヴァージン諸島", "Virgin Islands (British)"},  // 263
    {"vi", "アメリカ領ヴァージン諸島", "Virgin Islands (USA)"},  // 264
    {"vn", "ベトナム", "Viet Nam"},  // 265
    {"vu", "バヌアツ", "Vanuatu"},  // 266
    {"wf", "ウォリス・フツナ", "Wallis and Futuna Islands"},  // 267
    {"ws", "西サモア", "Western Samoa"},  // 268
    {"ye", "イエメン", "Yemen"},  // 269
    {"yt", "マヨット", "Mayotte"},  // 270
    {"za", "南アフリカ共和国", "South Africa"},  // 271
    {"zm", "ザンビア", "Zambia"},  // 272
    {"zw", "ジンバブエ", "Zimbabwe"},  // 273
};
// clang-format on

namespace {

template <std::size_t N>
constexpr bool HoldsText(const char (&field)[N]) {
    const std::size_t length = FieldText(field).size();
    return length > 0 && length < N;
}

constexpr bool IsValidSuffix(std::string_view suffix) {
    if (suffix.empty() || suffix.front() == '.' || suffix.back() == '.' ||
        suffix.find("..") != std::string_view::npos) {
        return false;
    }
    return std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || c == '.'; });
}

// Every field is a non-empty text with its terminator inside the field (an empty field
// would also betray a record missing from the initialiser), and every suffix is a plain
// lower-case name, since lookups compare against it after lower-casing only the host name.
constexpr bool AllRecordsWellFormed() {
    for (const DomainInfoRecord& record : DomainInfoTable) {
        if (!HoldsText(record.Suffix) || !HoldsText(record.JapaneseText) ||
            !HoldsText(record.EnglishText) || !IsValidSuffix(FieldText(record.Suffix))) {
            return false;
        }
    }
    return true;
}
static_assert(AllRecordsWellFormed());

struct SuffixEntry {
    std::string_view Suffix;
    int Index;
};

// The suffixes in byte order, for binary search.
constexpr std::array<SuffixEntry, kDomainInfoCount> BuildSuffixIndex() {
    std::array<SuffixEntry, kDomainInfoCount> entries{};
    for (int i = 0; i < kDomainInfoCount; ++i) {
        entries[i] = SuffixEntry{FieldText(DomainInfoTable[i].Suffix), i};
    }
    std::sort(entries.begin(), entries.end(),
              [](const SuffixEntry& a, const SuffixEntry& b) { return a.Suffix < b.Suffix; });
    return entries;
}
constexpr std::array<SuffixEntry, kDomainInfoCount> SuffixIndex = BuildSuffixIndex();

constexpr bool SuffixesUnique() {
    return std::adjacent_find(SuffixIndex.begin(), SuffixIndex.end(),
                              [](const SuffixEntry& a, const SuffixEntry& b) {
                                  return a.Suffix == b.Suffix;
                              }) == SuffixIndex.end();
}
static_assert(SuffixesUnique(), "a suffix occurs twice; only its first record could match");

constexpr std::size_t LongestSuffix() {
    std::size_t longest = 0;
    for (const SuffixEntry& entry : SuffixIndex) {
        longest = std::max(longest, entry.Suffix.size());
    }
    return longest;
}
constexpr std::size_t kLongestSuffixLength = LongestSuffix();

// The record index of an already lower-cased suffix, or kDomainInfoCount.
int IndexOfSuffix(std::string_view suffix) {
    const auto it = std::lower_bound(
        SuffixIndex.begin(), SuffixIndex.end(), suffix,
        [](const SuffixEntry& entry, std::string_view key) { return entry.Suffix < key; });
    return it != SuffixIndex.end() && it->Suffix == suffix ? it->Index : kDomainInfoCount;
}

// The lowest index of a record whose suffix, after a dot, ends name[0, end); only the
// dots close enough to `end` for some suffix to fit need checking.
int LowestMatchEndingAt(std::string_view name, std::size_t end) {
    int lowest = kDomainInfoCount;
    const std::size_t first = end > kLongestSuffixLength ? end - kLongestSuffixLength - 1 : 0;
    char lowered[kLongestSuffixLength];
    for (std::size_t dot = end; dot-- > first;) {
        if (name[dot] != '.') {
            continue;
        }
        const std::size_t length = end - dot - 1;
        for (std::size_t i = 0; i < length; ++i) {
            lowered[i] = LowerAscii(name[dot + 1 + i]);
        }
        lowest = std::min(lowest, IndexOfSuffix(std::string_view(lowered, length)));
    }
    return lowest;
}

}  // namespace

// A record matches when "." + suffix + "$$" occurs in the lower-cased host name followed
// by "$$". Every occurrence ends in a "$$" of that subject, so instead of searching for
// each of the 274 patterns, this looks at each "$$" once and asks which suffixes precede
// it. Normally the only "$$" is the appended end marker; a host name containing "$"
// adds the places where its own "$$" (or a final "$" joined to the marker) ends a suffix,
// and such a match counts like one at the end of the name.
std::optional<int> FindDomainEntry(std::string_view hostName) {
    const std::string_view name = hostName.substr(0, hostName.find('\0'));
    int lowest = LowestMatchEndingAt(name, name.size());
    for (std::size_t pos = name.find('$'); pos != std::string_view::npos;
         pos = name.find('$', pos + 1)) {
        if (pos + 1 == name.size() || name[pos + 1] == '$') {
            lowest = std::min(lowest, LowestMatchEndingAt(name, pos));
        }
    }
    if (lowest == kDomainInfoCount) {
        return std::nullopt;
    }
    return lowest;
}

std::string_view DomainDescription(int index, bool japanese) {
    if (index < 0 || index >= kDomainInfoCount) {
        return {};
    }
    const DomainInfoRecord& record = DomainInfoTable[index];
    return japanese ? FieldText(record.JapaneseText) : FieldText(record.EnglishText);
}

}  // namespace ip2h
