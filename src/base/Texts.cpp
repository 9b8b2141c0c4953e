#include "base/Texts.h"

#include <array>

#include "base/Language.h"

namespace ip2h {
namespace {

struct TextRow {
    TextId Id;
    TextPair Pair;
};

// One row per id, in the enum's order; the static_assert below catches a row that is
// missing or out of place.
constexpr std::array kTexts{

    TextRow{TextId::WindowTitle, {"IP Address -> Hostname", "IPアドレス->ホスト名変換ツール"}},
    TextRow{TextId::RangeLabel, {"IP Address Range", "対象IPアドレス"}},
    TextRow{TextId::IntervalLabel, {"Interval", "インターバル"}},
    TextRow{TextId::RegisterButton, {"Register", "リスト登録"}},
    TextRow{TextId::IntervalPreset1, {"1", "1"}},
    TextRow{TextId::IntervalPreset256, {"256", "256"}},
    TextRow{TextId::IntervalPreset65536, {"65536", "65536"}},

    TextRow{TextId::ColumnAddress, {"IP Address", "IPアドレス"}},
    TextRow{TextId::ColumnHostName, {"Hostname", "ホスト名"}},
    TextRow{TextId::ColumnResult, {"Result", "結果"}},
    TextRow{TextId::ColumnDomainInfo, {"Domain Info.", "ドメイン情報"}},

    TextRow{TextId::ResultPending, {"-", "-"}},
    TextRow{TextId::ResultSuccess, {"Success", "成功"}},
    TextRow{TextId::ResultFailure, {"Failure", "失敗"}},
    TextRow{TextId::DomainInfoPending, {"-", "-"}},
    TextRow{TextId::DomainInfoFailure, {"?", "?"}},

    // The opening text of pane 0 has no blank before the colon, unlike the timer's format.
    TextRow{TextId::StatusTimeInitial,
            {" Time Required: 00:00:00.000 ", " 所要タイム : 00:00:00.000 "}},
    TextRow{TextId::StatusProgressInitial, {" Progress :    0/   0", " 進捗 :    0/   0"}},
    TextRow{TextId::StatusSuccessInitial, {" Success :    0/   0", " 成功 :    0/   0"}},
    TextRow{TextId::StatusTimeFormat,
            {" Time Required : %02d:%02d:%02d.%03d ", " 所要タイム : %02d:%02d:%02d.%03d "}},
    TextRow{TextId::StatusProgressFormat, {" Progress : %4d/%4d", " 進捗 : %4d/%4d"}},
    TextRow{TextId::StatusSuccessFormat, {" Success : %4d/%4d", " 成功 : %4d/%4d"}},

    TextRow{TextId::MenuFile, {"FILE(&F)", "ファイル(&F)"}},
    TextRow{TextId::MenuFileExit, {"EXIT(&X)", "アプリケーションの終了(&X)"}},
    TextRow{TextId::MenuFileExitShortcut, {"ESC  or  Alt+F4", "ESC  or  Alt+F4"}},
    TextRow{TextId::MenuFileSaveCsv, {"Save Results as CSV(&S)...", "結果をCSVで保存(&S)..."}},
    TextRow{TextId::MenuFileSaveCsvShortcut, {"Ctrl+S", "Ctrl+S"}},
    TextRow{TextId::MenuView, {"VIEW(&V)", "表示(&V)"}},
    TextRow{TextId::MenuViewTopMost, {"Window Top Most(&W)", "常に手前に表示(&W)"}},
    TextRow{TextId::MenuSetting, {"SETTING(&S)", "設定(&S)"}},
    TextRow{TextId::MenuSettingNbt, {"NetBIOS over TCP/IP(&N)", "名前解決にNBTを使用する(&N)"}},
    TextRow{TextId::MenuSettingHistory, {"History(&H)", "履歴を保存する(&H)"}},
    TextRow{TextId::MenuSettingSort,
            {"Enable Sorting of each Items(&S)", "各項目のソートを有効にする(&S)"}},
    // "Claer" is the item's text as users know it; it is not to be corrected.
    TextRow{TextId::MenuSettingClearCache,
            {"Claer internal DNS Cache(&C)", "内部DNSキャッシュをクリアする(&C)"}},
    TextRow{TextId::MenuSettingConfirm,
            {"Confirm Names by Forward Lookup(&F)", "正引きで名前を確認する(&F)"}},
    TextRow{TextId::MenuHelp, {"HELP(&H)", "ヘルプ(&H)"}},
    TextRow{TextId::MenuHelpAbout, {"About(&A)...", "バージョン情報(&A)..."}},

    TextRow{TextId::PopupCopy, {"Copy(&C)", "コピー(&C)"}},
    TextRow{TextId::PopupCopyShortcut, {"Ctrl+C", "Ctrl+C"}},
    TextRow{TextId::PopupPaste, {"Paste(&P)", "貼り付け(&P)"}},
    TextRow{TextId::PopupPasteShortcut, {"Ctrl+V", "Ctrl+V"}},
    TextRow{TextId::PopupDelete, {"Delete(&D)", "削除(&D)"}},
    TextRow{TextId::PopupDeleteShortcut, {"DEL", "DEL"}},
    TextRow{TextId::PopupSelectAll, {"Select All(&A)", "すべて選択(&A)"}},
    TextRow{TextId::PopupSelectAllShortcut, {"Ctrl+A", "Ctrl+A"}},
    TextRow{TextId::PopupSelectSuccess, {"Select Success(&S)", "成功のみ選択(&S)"}},
    TextRow{TextId::PopupSelectFailure, {"Select Failure(&F)", "失敗のみ選択(&F)"}},
    TextRow{TextId::PopupCopyItem, {"Copy Item", "コピーする項目"}},
    TextRow{TextId::PopupCopyItemAddress, {"IP Address(&I)", "IPアドレス(&I)"}},
    TextRow{TextId::PopupCopyItemHostName, {"Hostname(&H)", "ホスト名(&H)"}},

    TextRow{TextId::AboutTitle, {"About", "バージョン情報"}},
    // Two blanks before "Version" in English, one in Japanese.
    TextRow{TextId::AboutVersion,
            {"IP Address -> Hostname  Version " IP2H_VERSION,
             "IPアドレス->ホスト名変換ツール Version " IP2H_VERSION}},
    TextRow{TextId::AboutCredit,
            {"Reverse lookup of IPv4 address ranges", "IPv4アドレス範囲の逆引きツール"}},

    // These two are English in both languages.
    TextRow{TextId::MessageNotValid, {"Not valid.", "Not valid."}},
    TextRow{TextId::MessageLimitOver, {"Limit over.", "Limit over."}},
    TextRow{TextId::MessageSaveFailed,
            {"The results could not be saved to %s:\n%s", "結果を %s に保存できませんでした:\n%s"}},

    TextRow{TextId::SaveCsvTitle, {"Save Results as CSV", "結果をCSVで保存"}},
    TextRow{TextId::SaveCsvFilter, {"CSV files (*.csv)", "CSVファイル (*.csv)"}},

    TextRow{TextId::AnswerPending,
            {"Waiting: the address has not been answered yet.", "待機中: まだ応答がありません。"}},
    TextRow{
        TextId::AnswerName,
        {"Name: the name service gave this name.", "名前: ネームサービスがこの名前を返しました。"}},
    TextRow{TextId::AnswerNetBios,
            {"Name from NetBIOS: no DNS name.", "NetBIOSの名前: DNSの名前はありません。"}},
    TextRow{TextId::AnswerNoName,
            {"No name: the name service has no name for this address.",
             "名前なし: ネームサービスにこのアドレスの名前がありません。"}},
    TextRow{TextId::AnswerNoAnswer,
            {"No answer: the DNS server did not answer in time; registering the address again "
             "asks again.",
             "応答なし: DNSサーバーが時間内に応答しませんでした。アドレスを登録し直すと再び問い合わ"
             "せます。"}},
    TextRow{TextId::AnswerError,
            {"Error: the lookup failed (%s).", "エラー: 名前の解決に失敗しました (%s)。"}},
    TextRow{TextId::NameConfirmed,
            {"Confirmed: this name resolves back to the address.",
             "確認済み: この名前を正引きするとこのアドレスになります。"}},
    TextRow{TextId::NameConfirmedThrough,
            {"Confirmed: %s, another name of the address, resolves back to it.",
             "確認済み: このアドレスの別の名前 %s を正引きするとこのアドレスになります。"}},
    TextRow{TextId::NameNotConfirmed,
            {"Not confirmed: this name does not resolve back to the address.",
             "不一致: この名前を正引きしてもこのアドレスになりません。"}},
    TextRow{TextId::NameConfirmationUnknown,
            {"Unknown: a forward lookup got no answer, so the name could not be confirmed.",
             "不明: 正引きの応答が得られず、確認できませんでした。"}},
};

constexpr bool RowsMatchIds() {
    if (kTexts.size() != kTextCount) return false;
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (static_cast<std::size_t>(kTexts[i].Id) != i) return false;
    }
    return true;
}
static_assert(RowsMatchIds(), "kTexts must have one row per TextId, in enum order");

}  // namespace

const TextPair& TextOf(TextId id) {
    const auto index = static_cast<std::size_t>(id);
    // An id outside the table (a cast from a stray integer) must not read past its end.
    if (index >= kTexts.size()) {
        static constexpr TextPair kEmpty{};
        return kEmpty;
    }
    return kTexts[index].Pair;
}

std::string_view Tr(TextId id, bool japanese) {
    const TextPair& pair = TextOf(id);
    return japanese ? pair.Japanese : pair.English;
}

std::string_view Tr(TextId id) {
    return Tr(id, IsJapanese());
}

}  // namespace ip2h
