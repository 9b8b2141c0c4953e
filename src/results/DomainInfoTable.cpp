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
    {"arpa", "インターネットインフラ用", "Infrastructure", "Infrastructure TLD"},  // 0
    // Generic domains.
    {"com", "商業組織用", "Commercial", "gTLD"},  // 1
    {"net", "ネットワーク用", "Network", "gTLD"},  // 2
    {"org", "非営利組織用", "other organizations", "gTLD"},  // 3
    {"edu", "教育機関用", "4 year colleges", "gTLD"},  // 4
    {"gov", "米国政府機関用", "Federal Government", "gTLD"},  // 5
    {"mil", "米国軍事機関用", "U.S. Military", "gTLD"},  // 6
    {"int", "国際機関用", "international organizations", "gTLD"},  // 7
    {"biz", "ビジネス用", "for business", "gTLD"},  // 8
    {"info", "制限なし", "General", "gTLD"},  // 9
    {"name", "個人名用", "Personal", "gTLD"},  // 10
    // Second-level domains under "jp"; they come before "jp" so that they win over it.
    {"ac.jp", "日本: 大学等教育機関", "Japan: institutions such as universities", "東アジア"},  // 11
    {"co.jp", "日本: 一般企業", "Japan: General Company", "jp TLD"},  // 12
    {"go.jp", "日本: 日本国政府機関", "Japan: Government of Japan", "東アジア"},  // 13
    {"or.jp", "日本: 会社以外の法人", "Japan: non-corporate company", "東アジア"},  // 14
    {"ad.jp", "日本: JPNIC会員", "Japan: JPNIC members", "東アジア"},  // 15
    {"ne.jp", "日本: ネットワークサービス", "Japan: Network Services", "東アジア"},  // 16
    {"gr.jp", "日本: 任意団体", "Japan: voluntary organization", "東アジア"},  // 17
    {"ed.jp", "日本: 各種学校", "Japan: miscellaneous schools", "東アジア"},  // 18
    {"lg.jp", "日本: 地方公共団体", "Japan: Local governments", "東アジア"},  // 19
    // "jp" and the most common country codes.
    {"jp", "日本", "Japan", "東アジア"},  // 20
    {"us", "アメリカ合衆国", "United States", "北アメリカ"},  // 21
    {"cn", "中国", "China", "東アジア"},  // 22
    {"uk", "イギリス", "United Kingdom", "西ヨーロッパ"},  // 23
    {"gb", "イギリス", "United Kingdom", "西ヨーロッパ"},  // 24
    {"de", "ドイツ", "Germany", "西ヨーロッパ"},  // 25
    {"kr", "大韓民国", "Korea. Republic of", "東アジア"},  // 26
    {"br", "ブラジル", "Brazil", "南アメリカ"},  // 27
    {"fr", "フランス", "France", "西ヨーロッパ"},  // 28
    {"ca", "カナダ", "Canada", "北アメリカ"},  // 29
    {"it", "イタリア", "Italy", "南ヨーロッパ"},  // 30
    {"au", "オーストラリア", "Australia", "オセアニア"},  // 31
    {"nl", "オランダ", "Netherlands", "西ヨーロッパ"},  // 32
    {"ru", "ロシア連邦", "Russian Federation", "ロシア"},  // 33
    {"in", "インド", "India", "南アジア"},  // 34
    {"tw", "台湾", "Taiwan", "東アジア"},  // 35
    {"hk", "香港", "Hong Kong", "東アジア"},  // 36
    {"sg", "シンガポール", "Singapore", "東南アジア"},  // 37
    {"es", "スペイン", "Spain", "南ヨーロッパ"},  // 38
    {"ch", "スイス", "Switzerland", "西ヨーロッパ"},  // 39
    {"mx", "メキシコ", "Mexico", "中央アメリカ"},  // 40
    {"be", "ベルギー", "Belgium", "西ヨーロッパ"},  // 41
    {"at", "オーストリア", "Austria", "西ヨーロッパ"},  // 42
    {"bg", "ブルガリア", "Bulgaria", "東ヨーロッパ"},  // 43
    {"dk", "デンマーク", "Denmark", "北ヨーロッパ"},  // 44
    {"se", "スウェーデン", "Sweden", "北ヨーロッパ"},  // 45
    // Every other country code, alphabetical.
    {"ac", "アセンション島", "Ascension Island", "西アフリカ"},  // 46
    {"ad", "アンドラ", "Andorra", "南ヨーロッパ"},  // 47
    {"ae", "アラブ首長国連邦", "United Arab Emirates", "中東"},  // 48
    {"af", "アフガニスタン", "Afghanistan", "南アジア"},  // 49
    {"ag", "アンティグア・バーブーダ", "Antigua And Barbuda", "カリブ海"},  // 50
    {"ai", "アンギラ", "Anguilla", "カリブ海"},  // 51
    {"al", "アルバニア", "Albania", "南ヨーロッパ"},  // 52
    {"am", "アルメニア", "Armenia", "西アジア"},  // 53
    {"an", "オランダ領アンティル", "Netherlands Antilles", "カリブ海"},  // 54
    {"ao", "アンゴラ", "Angola", "中部アフリカ"},  // 55
    {"aq", "南極大陸", "Antarctica", "南極"},  // 56
    {"ar", "アルゼンチン", "Argentina", "南アメリカ"},  // 57
    {"as", "アメリカ領サモア", "American Samoa", "オセアニア"},  // 58
    {"aw", "アルバ", "Aruba", "カリブ海"},  // 59
    {"ax", "オーランド諸島", "Aland Islands", "北ヨーロッパ"},  // 60
    {"az", "アゼルバイジャン", "Azerbaijan", "西アジア"},  // 61
    {"ba", "ボスニア・ヘルツェゴビナ", "Bosnia and Herzegowina", "南ヨーロッパ"},  // 62
    {"bb", "バルバドス", "Barbados", "カリブ海"},  // 63
    {"bd", "バングラデシュ", "Bangladesh", "南アジア"},  // 64
    {"bf", "ブルキナファソ", "Burkina Faso", "西アフリカ"},  // 65
    {"bh", "バーレーン", "Bahrain", "中東"},  // 66
    {"bi", "ブルンジ", "Burundi", "東アフリカ"},  // 67
    {"bj", "ベナン", "Benin", "西アフリカ"},  // 68
    {"bl", "サン・バルテルミー島", "Saint Barthelemy", "カリブ海"},  // 69
    {"bm", "バミューダ諸島", "Bermuda", "北アメリカ"},  // 70
    {"bn", "ブルネイ", "Brunei Darussalam", "東南アジア"},  // 71
    {"bo", "ボリビア", "Bolivia", "南アメリカ"},  // 72
    {"bq", "ボネール、シント・ユースタティウスおよびサバ", "Bonaire. Saint Eustatius and Saba", "カリブ海"},  // 73
    {"bs", "バハマ", "Bahamas", "カリブ海"},  // 74
    {"bt", "ブータン", "Bhutan", "南アジア"},  // 75
    {"bv", "ブーベ島", "Bouvet Island", "南極"},  // 76
    {"bw", "ボツワナ", "Botswana", "南部アフリカ"},  // 77
    {"by", "ベラルーシ", "Belarus", "東ヨーロッパ"},  // 78
    {"bz", "ベリーズ", "Belize", "中央アメリカ"},  // 79
    {"cc", "ココス(キーリング)諸島", "Cocos (Keeling) Islands", "オセアニア"},  // 80
    {"cd", "コンゴ民主共和国", "Congo. Democratic Republic of", "中部アフリカ"},  // 81
    {"cf", "中央アフリカ共和国", "Central African Republic", "中部アフリカ"},  // 82
    {"cg", "コンゴ共和国", "Congo. Republic of", "中部アフリカ"},  // 83
    {"ci", "コートジボワール", "Cote d'Ivoire", "西アフリカ"},  // 84
    {"ck", "クック諸島", "Cook Islands", "オセアニア"},  // 85
    {"cl", "チリ", "Chile", "南アメリカ"},  // 86
    {"cm", "カメルーン", "Cameroon", "中部アフリカ"},  // 87
    {"co", "コロンビア", "Colombia", "南アメリカ"},  // 88
    {"cr", "コスタリカ", "Costa Rica", "中央アメリカ"},  // 89
    {"cu", "キューバ", "Cuba", "カリブ海"},  // 90
    {"cv", "カーボベルデ", "Cape Verde", "西アフリカ"},  // 91
    {"cw", "キュラソー", "Curacao", "カリブ海"},  // 92
    {"cx", "クリスマス島", "Christmas Island", "オセアニア"},  // 93
    {"cy", "キプロス", "Cyprus", "南ヨーロッパ"},  // 94
    {"cz", "チェコ", "Czech Republic", "東ヨーロッパ"},  // 95
    {"dj", "ジブチ", "Djibouti", "東アフリカ"},  // 96
    {"dm", "ドミニカ国", "Dominica", "カリブ海"},  // 97
    {"do", "ドミニカ共和国", "Dominican Republic", "カリブ海"},  // 98
    {"dz", "アルジェリア", "Algeria", "北アフリカ"},  // 99
    {"ec", "エクアドル", "Ecuador", "南アメリカ"},  // 100
    {"ee", "エストニア", "Estonia", "北ヨーロッパ"},  // 101
    {"eg", "エジプト", "Egypt", "北アフリカ"},  // 102
    {"eh", "西サハラ", "Western Sahara", "北アフリカ"},  // 103
    {"er", "エリトリア", "Eritrea", "東アフリカ"},  // 104
    {"et", "エチオピア", "Ethiopia", "東アフリカ"},  // 105
    {"eu", "ヨーロッパ連合", "European Union", "ヨーロッパ"},  // 106
    {"fi", "フィンランド", "Finland", "北ヨーロッパ"},  // 107
    {"fj", "フィジー", "Fiji", "オセアニア"},  // 108
    {"fk", "フォークランド諸島", "Falkland Islands (Malvinas)", "南アメリカ"},  // 109
    {"fm", "ミクロネシア連邦", "Micronesia. Federated States of", "オセアニア"},  // 110
    {"fo", "フェロー諸島", "Faroe Islands", "北ヨーロッパ"},  // 111
    {"ga", "ガボン", "Gabon", "中部アフリカ"},  // 112
    {"gd", "グレナダ", "Grenada", "カリブ海"},  // 113
    {"ge", "ジョージア", "Georgia", "西アジア"},  // 114
    {"gf", "フランス領ギアナ", "French Guiana", "南アメリカ"},  // 115
    {"gg", "ガーンジー", "Guernsey", "西ヨーロッパ"},  // 116
    {"gh", "ガーナ", "Ghana", "西アフリカ"},  // 117
    {"gi", "ジブラルタル", "Gibraltar", "南ヨーロッパ"},  // 118
    {"gl", "グリーンランド", "Greenland", "北アメリカ"},  // 119
    {"gm", "ガンビア", "Gambia", "西アフリカ"},  // 120
    {"gn", "ギニア", "Guinea", "西アフリカ"},  // 121
    {"gp", "グアドループ", "Guadeloupe", "カリブ海"},  // 122
    {"gq", "赤道ギニア", "Equatorial Guinea", "中部アフリカ"},  // 123
    {"gr", "ギリシャ", "Greece", "南ヨーロッパ"},  // 124
    {"gs", "サウスジョージア・サウスサンドウィッチ諸島", "South Georgia and the South Sandwich Islands", "南極"},  // 125
    {"gt", "グアテマラ", "Guatemala", "中央アメリカ"},  // 126
    {"gu", "グアム", "Guam", "オセアニア"},  // 127
    {"gw", "ギニアビサウ", "Guinea-Bissau", "西アフリカ"},  // 128
    {"gy", "ガイアナ", "Guyana", "南アメリカ"},  // 129
    {"hm", "ハード島・マクドナルド諸島", "Heard and McDonald Islands", "南極"},  // 130
    {"hn", "ホンジュラス", "Honduras", "中央アメリカ"},  // 131
    {"hr", "クロアチア", "Croatia (Hrvatska)", "南ヨーロッパ"},  // 132
    {"ht", "ハイチ", "Haiti", "カリブ海"},  // 133
    {"hu", "ハンガリー", "Hungary", "東ヨーロッパ"},  // 134
    {"id", "インドネシア", "Indonesia", "東南アジア"},  // 135
    {"ie", "アイルランド", "Ireland", "西ヨーロッパ"},  // 136
    {"il", "イスラエル", "Israel", "中東"},  // 137
    {"im", "マン島", "Isle of Man", "西ヨーロッパ"},  // 138
    {"io", "イギリス領インド洋地域", "British Indian Ocean Territory", "南アジア"},  // 139
    {"iq", "イラク", "Iraq", "中東"},  // 140
    {"ir", "イラン", "Iran", "中東"},  // 141
    {"is", "アイスランド", "Iceland", "北ヨーロッパ"},  // 142
    {"je", "ジャージー", "Jersey", "西ヨーロッパ"},  // 143
    {"jm", "ジャマイカ", "Jamaica", "カリブ海"},  // 144
    {"jo", "ヨルダン", "Jordan", "中東"},  // 145
    {"ke", "ケニア", "Kenya", "東アフリカ"},  // 146
    {"kg", "キルギス", "Kyrgyzstan", "中央アジア"},  // 147
    {"kh", "カンボジア", "Cambodia", "東南アジア"},  // 148
    {"ki", "キリバス", "Kiribati", "オセアニア"},  // 149
    {"km", "コモロ", "Comoros", "東アフリカ"},  // 150
    {"kn", "セントクリストファー・ネイビス", "Saint Kitts and Nevis", "カリブ海"},  // 151
    {"kp", "朝鮮民主主義人民共和国", "Korea. Democratic People's Republic of", "東アジア"},  // 152
    {"kw", "クウェート", "Kuwait", "中東"},  // 153
    {"ky", "ケイマン諸島", "Cayman Islands", "カリブ海"},  // 154
    {"kz", "カザフスタン", "Kazakhstan", "中央アジア"},  // 155
    {"la", "ラオス", "Lao People's Democratic Republic", "東南アジア"},  // 156
    {"lb", "レバノン", "Lebanon", "中東"},  // 157
    {"lc", "セントルシア", "Saint Lucia", "カリブ海"},  // 158
    {"li", "リヒテンシュタイン", "Liechtenstein", "西ヨーロッパ"},  // 159
    {"lk", "スリランカ", "Sri Lanka", "南アジア"},  // 160
    {"lr", "リベリア", "Liberia", "西アフリカ"},  // 161
    {"ls", "レソト", "Lesotho", "南部アフリカ"},  // 162
    {"lt", "リトアニア", "Lithuania", "北ヨーロッパ"},  // 163
    {"lu", "ルクセンブルク", "Luxembourg", "西ヨーロッパ"},  // 164
    {"lv", "ラトビア", "Latvia", "北ヨーロッパ"},  // 165
    {"ly", "リビア", "Libyan Arab Jamahiriya", "北アフリカ"},  // 166
    {"ma", "モロッコ", "Morocco", "北アフリカ"},  // 167
    {"mc", "モナコ", "Monaco", "西ヨーロッパ"},  // 168
    {"md", "モルドバ", "Moldova. Republic of", "東ヨーロッパ"},  // 169
    {"me", "モンテネグロ", "Montenegro", "南ヨーロッパ"},  // 170
    {"mf", "サン・マルタン(フランス領)", "Saint Martin(French part)", "カリブ海"},  // 171
    {"mg", "マダガスカル", "Madagascar", "東アフリカ"},  // 172
    {"mh", "マーシャル諸島", "Marshall Islands", "オセアニア"},  // 173
    {"mk", "マケドニア旧ユーゴスラビア共和国", "Macedonia. Former Yugoslav Republic of", "南ヨーロッパ"},  // 174
    {"ml", "マリ", "Mali", "西アフリカ"},  // 175
    {"mm", "ミャンマー", "Myanmar", "東南アジア"},  // 176
    {"mn", "モンゴル", "Mongolia", "東アジア"},  // 177
    {"mo", "マカオ", "Macau", "東アジア"},  // 178
    {"mp", "北マリアナ諸島", "Northern Mariana Islands", "オセアニア"},  // 179
    {"mq", "マルティニーク", "Martinique", "カリブ海"},  // 180
    {"mr", "モーリタニア", "Mauritania", "西アフリカ"},  // 181
    {"ms", "モントセラト", "Montserrat", "カリブ海"},  // 182
    {"mt", "マルタ", "Malta", "南ヨーロッパ"},  // 183
    {"mu", "モーリシャス", "Mauritius", "東アフリカ"},  // 184
    {"mv", "モルディブ", "Maldives", "南アジア"},  // 185
    {"mw", "マラウイ", "Malawi", "南部アフリカ"},  // 186
    {"my", "マレーシア", "Malaysia", "東南アジア"},  // 187
    {"mz", "モザンビーク", "Mozambique", "南部アフリカ"},  // 188
    {"na", "ナミビア", "Namibia", "南部アフリカ"},  // 189
    {"nc", "ニューカレドニア", "New Caledonia", "オセアニア"},  // 190
    {"ne", "ニジェール", "Niger", "西アフリカ"},  // 191
    {"nf", "ノーフォーク島", "Norfolk Island", "オセアニア"},  // 192
    {"ng", "ナイジェリア", "Nigeria", "西アフリカ"},  // 193
    {"ni", "ニカラグア", "Nicaragua", "中央アメリカ"},  // 194
    {"no", "ノルウェー", "Norway", "北ヨーロッパ"},  // 195
    {"np", "ネパール", "Nepal", "南アジア"},  // 196
    {"nr", "ナウル", "Nauru", "オセアニア"},  // 197
    {"nu", "ニウエ", "Niue", "オセアニア"},  // 198
    {"nz", "ニュージーランド", "New Zealand", "オセアニア"},  // 199
    {"om", "オマーン", "Oman", "中東"},  // 200
    {"pa", "パナマ", "Panama", "中央アメリカ"},  // 201
    {"pe", "ペルー", "Peru", "南アメリカ"},  // 202
    {"pf", "フランス領ポリネシア", "French Polynesia", "オセアニア"},  // 203
    {"pg", "パプアニューギニア", "Papua New Guinea", "オセアニア"},  // 204
    {"ph", "フィリピン", "Philippines", "東南アジア"},  // 205
    {"pk", "パキスタン", "Pakistan", "南アジア"},  // 206
    {"pl", "ポーランド", "Poland", "東ヨーロッパ"},  // 207
    {"pm", "サンピエール島・ミクロン島", "St. Pierre and Miquelon", "北アメリカ"},  // 208
    {"pn", "ピトケアン諸島", "Pitcairn", "オセアニア"},  // 209
    {"pr", "プエルトリコ", "Puerto Rico", "カリブ海"},  // 210
    {"ps", "パレスチナ自治区", "Palestinian Territories", "中東"},  // 211
    {"pt", "ポルトガル", "Portugal", "南ヨーロッパ"},  // 212
    {"pw", "パラオ", "Palau", "オセアニア"},  // 213
    {"py", "パラグアイ", "Paraguay", "南アメリカ"},  // 214
    {"qa", "カタール", "Qatar", "中東"},  // 215
    {"re", "レユニオン", "Reunion", "東アフリカ"},  // 216
    {"ro", "ルーマニア", "Romania", "東ヨーロッパ"},  // 217
    {"rs", "セルビア", "Serbia", "南ヨーロッパ"},  // 218
    {"rw", "ルワンダ", "Rwanda", "東アフリカ"},  // 219
    {"sa", "サウジアラビア", "Saudi Arabia", "中東"},  // 220
    {"sb", "ソロモン諸島", "Solomon Islands", "オセアニア"},  // 221
    {"sc", "セーシェル", "Seychelles", "東アフリカ"},  // 222
    {"sd", "スーダン", "Sudan", "北アフリカ"},  // 223
    {"sh", "セントヘレナ", "St. Helena", "西アフリカ"},  // 224
    {"si", "スロベニア", "Slovenia", "南ヨーロッパ"},  // 225
    {"sj", "スバールバル諸島・ヤンマイエン島", "Svalbard And Jan Mayen Islands", "北ヨーロッパ"},  // 226
    {"sk", "スロバキア", "Slovakia (Slovak Republic)", "東ヨーロッパ"},  // 227
    {"sl", "シエラレオネ", "Sierra Leone", "西アフリカ"},  // 228
    {"sm", "サンマリノ", "San Marino", "南ヨーロッパ"},  // 229
    {"sn", "セネガル", "Senegal", "西アフリカ"},  // 230
    {"so", "ソマリア", "Somalia", "東アフリカ"},  // 231
    {"sr", "スリナム", "Suriname", "南アメリカ"},  // 232
    {"ss", "南スーダン", "South Sudan", "東アフリカ"},  // 233
    {"st", "サントメ・プリンシペ", "Sao Tome and Principe", "中部アフリカ"},  // 234
    {"sv", "エルサルバドル", "El Salvador", "中央アメリカ"},  // 235
    {"sx", "シント・マールテン(オランダ領)", "Sint Maarten (Dutch part)", "カリブ海"},  // 236
    {"sy", "シリア", "Syrian Arab Republic", "中東"},  // 237
    {"sz", "スワジランド", "Swaziland", "南部アフリカ"},  // 238
    {"tc", "タークス・カイコス諸島", "Turks and Caicos Islands", "カリブ海"},  // 239
    {"td", "チャド", "Chad", "中部アフリカ"},  // 240
    {"tf", "フランス領南方・南極地域", "French Southern Territories", "南極"},  // 241
    {"tg", "トーゴ", "Togo", "西アフリカ"},  // 242
    {"th", "タイ", "Thailand", "東南アジア"},  // 243
    {"tj", "タジキスタン", "Tajikistan", "中央アジア"},  // 244
    {"tk", "トケラウ", "Tokelau", "オセアニア"},  // 245
    {"tl", "東ティモール", "Timor-Leste", "東南アジア"},  // 246
    {"tm", "トルクメニスタン", "Turkmenistan", "中央アジア"},  // 247
    {"tn", "チュニジア", "Tunisia", "北アフリカ"},  // 248
    {"to", "トンガ", "Tonga", "オセアニア"},  // 249
    {"tp", "東ティモール", "East Timor", "東南アジア"},  // 250
    {"tr", "トルコ", "Turkey", "中東"},  // 251
    {"tt", "トリニダード・トバゴ", "Trinidad and Tobago", "カリブ海"},  // 252
    {"tv", "ツバル", "Tuvalu", "オセアニア"},  // 253
    {"tz", "タンザニア", "Tanzania. United Republic of", "東アフリカ"},  // 254
    {"ua", "ウクライナ", "Ukraine", "東ヨーロッパ"},  // 255
    {"ug", "ウガンダ", "Uganda", "東アフリカ"},  // 256
    {"um", "米領太平洋諸島(ミッドウェー、ジョンストン、ウェーク島)", "United States Minor Outlying Islands", "オセアニア"},  // 257
    {"uy", "ウルグアイ", "Uruguay", "南アメリカ"},  // 258
    {"uz", "ウズベキスタン", "Uzbekistan", "中央アジア"},  // 259
    {"va", "バチカン市国", "Vatican City State", "南ヨーロッパ"},  // 260
    {"vc", "セントビンセント・グレナディーン", "Saint Vincent and the Grenadines", "カリブ海"},  // 261
    {"ve", "ベネズエラ", "Venezuela", "南アメリカ"},  // 262
    {"vg", "イギリス領ヴァージン諸島", "Virgin Islands (British)", "カリブ海"},  // 263
    {"vi", "アメリカ領ヴァージン諸島", "Virgin Islands (USA)", "カリブ海"},  // 264
    {"vn", "ベトナム", "Viet Nam", "東南アジア"},  // 265
    {"vu", "バヌアツ", "Vanuatu", "オセアニア"},  // 266
    {"wf", "ウォリス・フツナ", "Wallis and Futuna Islands", "オセアニア"},  // 267
    {"ws", "西サモア", "Western Samoa", "オセアニア"},  // 268
    {"ye", "イエメン", "Yemen", "中東"},  // 269
    {"yt", "マヨット", "Mayotte", "東アフリカ"},  // 270
    {"za", "南アフリカ共和国", "South Africa", "南部アフリカ"},  // 271
    {"zm", "ザンビア", "Zambia", "南部アフリカ"},  // 272
    {"zw", "ジンバブエ", "Zimbabwe", "南部アフリカ"},  // 273
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
            !HoldsText(record.EnglishText) || !HoldsText(record.Region) ||
            !IsValidSuffix(FieldText(record.Suffix))) {
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
