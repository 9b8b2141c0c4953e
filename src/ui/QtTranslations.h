#pragma once

#include <memory>

class QTranslator;

namespace ip2h {

// Qt's own texts (the standard dialogs, the entry boxes' edit menu) in the interface
// language. For Japanese, installs Qt's Japanese catalog for as long as the result lives;
// for English, or when the catalog is not installed (Debian: qt6-translations-l10n), nothing.
std::unique_ptr<QTranslator> InstallQtTranslations(bool japanese);

}  // namespace ip2h
