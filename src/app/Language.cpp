#include "app/Language.h"

#include <utility>

namespace ip2h {
namespace {

std::string& CodeStorage() {
    static std::string code{kLanguageEnglish};
    return code;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string LanguageCodeForUiLanguage(std::string_view uiLanguage) {
    // A preference list ("ja:en") names the preferred language first.
    uiLanguage = uiLanguage.substr(0, uiLanguage.find(':'));
    // The language proper ends where territory, code set or modifier begin.
    const std::string_view language = uiLanguage.substr(0, uiLanguage.find_first_of("-_.@"));
    const bool japanese = EqualsIgnoringAsciiCase(language, "ja") ||
                          EqualsIgnoringAsciiCase(language, "jpn") ||
                          EqualsIgnoringAsciiCase(language, "japanese");
    return std::string{japanese ? kLanguageJapanese : kLanguageEnglish};
}

void SetLanguageCode(std::string code) {
    CodeStorage() = std::move(code);
}

const std::string& LanguageCode() {
    return CodeStorage();
}

bool IsJapanese() {
    return CodeStorage() == kLanguageJapanese;
}

}  // namespace ip2h
