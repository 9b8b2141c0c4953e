#pragma once

#include <cstddef>
#include <string_view>

namespace ip2h {

// Every text the program shows, in English and Japanese (UTF-8). Texts that are the same in
// both languages ("Not valid.", shortcut texts) still have a pair, so that every shown text
// is found here. Formats stay printf-style; callers format them.
struct TextPair {
    std::string_view English;
    std::string_view Japanese;
};

enum class TextId {
    // Main window.
    WindowTitle,
    RangeLabel,
    IntervalLabel,
    RegisterButton,
    IntervalPreset1,
    IntervalPreset256,
    IntervalPreset65536,

    // Result list column titles.
    ColumnAddress,
    ColumnHostName,
    ColumnResult,
    ColumnDomainInfo,

    // Result list cells.
    ResultPending,
    ResultSuccess,
    ResultFailure,
    DomainInfoPending,
    DomainInfoFailure,

    // Status bar: the texts shown when the window opens, and the formats of the timer.
    StatusTimeInitial,
    StatusProgressInitial,
    StatusSuccessInitial,
    StatusTimeFormat,      // hours, minutes, seconds, milliseconds
    StatusProgressFormat,  // rows done, rows in all
    StatusSuccessFormat,   // successful rows, rows in all

    // Menu bar.
    MenuFile,
    MenuFileExit,
    MenuFileExitShortcut,
    MenuFileSaveCsv,
    MenuFileSaveCsvShortcut,
    MenuView,
    MenuViewTopMost,
    MenuSetting,
    MenuSettingNbt,
    MenuSettingHistory,
    MenuSettingSort,
    MenuSettingClearCache,
    MenuSettingConfirm,
    MenuHelp,
    MenuHelpAbout,

    // Popup menu of the result list.
    PopupCopy,
    PopupCopyShortcut,
    PopupPaste,
    PopupPasteShortcut,
    PopupDelete,
    PopupDeleteShortcut,
    PopupSelectAll,
    PopupSelectAllShortcut,
    PopupSelectSuccess,
    PopupSelectFailure,
    PopupCopyItem,
    PopupCopyItemAddress,
    PopupCopyItemHostName,

    // About box.
    AboutTitle,
    AboutVersion,
    AboutCredit,

    // Message boxes.
    MessageNotValid,
    MessageLimitOver,
    MessageSaveFailed,  // the file's path, the reason

    // Saving the results.
    SaveCsvTitle,
    SaveCsvFilter,

    // Tooltips of the result list: how a row was answered, and whether its name was confirmed.
    AnswerPending,
    AnswerName,
    AnswerNetBios,
    AnswerNoName,
    AnswerNoAnswer,
    AnswerError,  // the name service's words for the failure
    NameConfirmed,
    NameConfirmedThrough,  // the other name that leads back
    NameNotConfirmed,
    NameConfirmationUnknown,

    Count
};

inline constexpr std::size_t kTextCount = static_cast<std::size_t>(TextId::Count);

// The pair of a text; every id below Count has one.
const TextPair& TextOf(TextId id);

// The text in the language IsJapanese() selects.
std::string_view Tr(TextId id);

// The text in the language given.
std::string_view Tr(TextId id, bool japanese);

}  // namespace ip2h
