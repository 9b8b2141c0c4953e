#pragma once

#include <string>
#include <string_view>

namespace ip2h {

// The two language codes the program knows. Any other code selects English.
inline constexpr std::string_view kLanguageEnglish = "EN";
inline constexpr std::string_view kLanguageJapanese = "JP";

// Maps a user-interface language as the platform reports it ("ja", "ja-JP", "ja_JP.UTF-8",
// "Japanese_Japan.932", a "ja:en" preference list) to "JP"; every other language, also an
// empty or unknown one, gives "EN". Only the first entry of a preference list counts.
std::string LanguageCodeForUiLanguage(std::string_view uiLanguage);

// The process-wide language code. main() sets it once, before any worker thread exists;
// after that it is only read, so reading it from any thread needs no lock. Tests may set
// it again while no other thread of theirs reads it.
void SetLanguageCode(std::string code);

// True exactly when the language code is "JP" (case-sensitive, whole text).
bool IsJapanese();

}  // namespace ip2h
