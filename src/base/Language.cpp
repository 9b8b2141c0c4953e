#include "base/Language.h"

#include <algorithm>
#include <utility>

#include "base/AsciiCase.h"

namespace ip2h {
namespace {

// The language a locale name names ("ja" of "ja_JP.UTF-8", "en" of "en-US"): its part before
// territory, code set or modifier, when that is two or three ASCII letters or digits. Empty for
// any other name, "C" and "POSIX" among them.
std::string_view LanguagePart(std::string_view name) {
    const std::string_view language = name.substr(0, name.find_first_of("_-.@"));
    const bool letters = std::ranges::all_of(language, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
    return letters && (language.size() == 2 || language.size() == 3) ? language
                                                                     : std::string_view{};
}

std::string& CodeStorage() {
    static std::string code{kLanguageEnglish};
    return code;
}

}  // namespace

std::string LanguageCodeFromEnvironment(const std::function<const char*(const char*)>& getenv) {
    const auto variable = [&getenv](const char* name) {
        const char* value = getenv(name);
        return std::string_view(value != nullptr ? value : "");
    };
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = variable(name);
        if (!locale.empty()) break;
    }
    std::string_view chosen;
    const std::string_view preferences = variable("LANGUAGE");
    if (preferences.empty()) {
        chosen = LanguagePart(locale);
    } else {
        for (std::size_t start = 0; start <= preferences.size() && chosen.empty();) {
            const std::size_t end = std::min(preferences.find(':', start), preferences.size());
            const std::string_view entry = preferences.substr(start, end - start);
            chosen = LanguagePart(entry.empty() ? locale : entry);
            start = end + 1;
        }
    }
    const bool japanese =
        EqualIgnoringAsciiCase(chosen, "ja") || EqualIgnoringAsciiCase(chosen, "jpn");
    return std::string{japanese ? kLanguageJapanese : kLanguageEnglish};
}

void SetLanguageCode(std::string code) {
    CodeStorage() = std::move(code);
}

bool IsJapanese() {
    return CodeStorage() == kLanguageJapanese;
}

}  // namespace ip2h
