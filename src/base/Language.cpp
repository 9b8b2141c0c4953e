#include "base/Language.h"

#include <utility>

#include "base/AsciiCase.h"
namespace ip2h {
namespace {

std::string& CodeStorage() {
    static std::string code{kLanguageEnglish};
    return code;
}

}  // namespace

std::string LanguageCodeForUiLanguage(std::string_view uiLanguage) {
    // A preference list ("ja:en") names the preferred language first.
    uiLanguage = uiLanguage.substr(0, uiLanguage.find(':'));
    // The language proper ends where territory, code set or modifier begin.
    const std::string_view language = uiLanguage.substr(0, uiLanguage.find_first_of("-_.@"));
    const bool japanese = EqualIgnoringAsciiCase(language, "ja") ||
                          EqualIgnoringAsciiCase(language, "jpn") ||
                          EqualIgnoringAsciiCase(language, "japanese");
    return std::string{japanese ? kLanguageJapanese : kLanguageEnglish};
}

void SetLanguageCode(std::string code) {
    CodeStorage() = std::move(code);
}

bool IsJapanese() {
    return CodeStorage() == kLanguageJapanese;
}

}  // namespace ip2h
