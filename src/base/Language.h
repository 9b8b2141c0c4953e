#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace ip2h {

// The two language codes the program knows. Any other code selects English.
inline constexpr std::string_view kLanguageEnglish = "EN";
inline constexpr std::string_view kLanguageJapanese = "JP";

// The code of the interface language the desktop asks for, read from the environment through
// `getenv` as Qt reads it on Linux (QLocale::system().uiLanguages()), so that the window and
// the batch mode choose alike and without Qt. LANGUAGE, when set, is a preference list ("ja:en")
// whose first entry that names a language counts, an empty entry standing for the locale;
// without it the locale counts, the first set of LC_ALL, LC_MESSAGES and LANG. A name names a
// language when its part before territory, code set or modifier ("ja" of "ja_JP.UTF-8") is two
// or three ASCII letters or digits; "C" and "POSIX" do not. "JP" for Japanese ("ja", "jpn", in
// any case), "EN" for any other language and when nothing names one.
std::string LanguageCodeFromEnvironment(const std::function<const char*(const char*)>& getenv);

// The process-wide language code. main() sets it once, before any worker thread exists;
// after that it is only read, so reading it from any thread needs no lock. Tests may set
// it again while no other thread of theirs reads it.
void SetLanguageCode(std::string code);

// True exactly when the language code is "JP" (case-sensitive, whole text).
bool IsJapanese();

}  // namespace ip2h
