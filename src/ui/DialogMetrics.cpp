#include "ui/DialogMetrics.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace ip2h {
namespace {

QStringList SansSerifCandidates() {
    // The TrueType heir of the bitmap face first, then faces with Arial's metrics.
    return {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
            QStringLiteral("Liberation Sans"),      QStringLiteral("Arimo"),
            QStringLiteral("Nimbus Sans"),          QStringLiteral("DejaVu Sans")};
}

QStringList ArialCandidates() {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
            QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
}

QStringList GothicCandidates(bool fixedPitch) {
    QStringList families;
    if (fixedPitch) {
        families << QStringLiteral("MS Gothic") << QStringLiteral("Noto Sans Mono CJK JP")
                 << QStringLiteral("IPAGothic") << QStringLiteral("TakaoGothic");
    } else {
        families << QStringLiteral("MS PGothic") << QStringLiteral("IPAPGothic")
                 << QStringLiteral("TakaoPGothic");
    }
    families << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("Source Han Sans JP")
             << QStringLiteral("VL Gothic") << QStringLiteral("IPAexGothic");
    return families;
}

QFont SansSerifFont(const QStringList& candidates, int pointSize) {
    QFont font;
    const QString family = FirstInstalledFamily(candidates);
    if (family.isEmpty()) {
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    } else {
        font.setFamily(family);
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

bool SameFace(const QString& face, const char16_t* name, const char* asciiName) {
    return face.compare(QString::fromUtf16(name), Qt::CaseInsensitive) == 0 ||
           face.compare(QLatin1String(asciiName), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString FirstInstalledFamily(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families) {
        if (installed.contains(family, Qt::CaseInsensitive)) return family;
    }
    return {};
}

QFont MapDialogFont(const QString& faceName, int pointSize) {
    const bool fixedGothic = SameFace(faceName, kGothicFace, "MS Gothic");
    const bool proportionalGothic = SameFace(faceName, kProportionalGothicFace, "MS PGothic");
    if (fixedGothic || proportionalGothic) {
        const QString family = FirstInstalledFamily(GothicCandidates(fixedGothic));
        if (family.isEmpty()) return SansSerifFont(SansSerifCandidates(), pointSize);
        QFont font(family, pointSize);
        font.setStyleHint(fixedGothic ? QFont::Monospace : QFont::SansSerif);
        return font;
    }
    if (SameFace(faceName, kSansSerifFace, "MS Sans Serif")) {
        return SansSerifFont(SansSerifCandidates(), pointSize);
    }
    QFont font(faceName, pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont MainDialogFont(bool japanese) {
    return MapDialogFont(QString::fromUtf16(japanese ? kGothicFace : kSansSerifFace),
                         kDialogPointSize);
}

QFont AboutDialogFont(bool japanese) {
    return MapDialogFont(QString::fromUtf16(japanese ? kProportionalGothicFace : kSansSerifFace),
                         kDialogPointSize);
}

QFont CellHeightFont(const QFont& base, const QString& family, int cellPixels, int weight) {
    QFont font = base;
    QString chosen = FirstInstalledFamily(
        family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0 ? ArialCandidates()
                                                                         : QStringList{family});
    if (chosen.isEmpty()) chosen = family;
    font.setFamily(chosen);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Weight(weight));
    const int wanted = cellPixels < 1 ? 1 : cellPixels;
    // The line height grows with the pixel size but not in proportion; step down from the
    // cell height to the largest size that fits.
    for (int size = wanted; size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= wanted) return font;
    }
    font.setPixelSize(1);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics) {
    // The average width of the 52 letters, rounded: the unit the layout is measured in.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int MulDivRound(int value, int base, int divisor) {
    if (divisor <= 0) return 0;
    const std::int64_t product = static_cast<std::int64_t>(value) * base;
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

QRect DialogUnitsToPixels(const QRect& dialogUnits, DialogBaseUnits base) {
    return QRect(MulDivRound(dialogUnits.x(), base.X, 4), MulDivRound(dialogUnits.y(), base.Y, 8),
                 MulDivRound(dialogUnits.width(), base.X, 4),
                 MulDivRound(dialogUnits.height(), base.Y, 8));
}

QSize DialogUnitsToPixels(const QSize& dialogUnits, DialogBaseUnits base) {
    return QSize(MulDivRound(dialogUnits.width(), base.X, 4),
                 MulDivRound(dialogUnits.height(), base.Y, 8));
}

int BandShrink(int buttonRight, int margin, int clientWidth, int rangeWidth) {
    return std::clamp(buttonRight + margin - clientWidth, 0, std::max(0, rangeWidth / 2));
}

int ResultListHeight(int clientHeight, int listTop, bool japanese) {
    const int specified = clientHeight - (japanese ? 84 : 99);
    const int available = clientHeight - kStatusBarHeight - listTop;
    return std::max(0, std::min(specified, available));
}

}  // namespace ip2h
