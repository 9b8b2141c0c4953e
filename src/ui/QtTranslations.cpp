#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ip2h {

std::unique_ptr<QTranslator> InstallQtTranslations(bool japanese) {
    if (!japanese) return nullptr;
    auto translator = std::make_unique<QTranslator>();
    // qtbase holds every text of Qt Widgets; the whole "qt" catalog would need modules the
    // program does not use.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

}  // namespace ip2h
