#include "ui/AboutDialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>

#include <algorithm>
#include <string_view>

#include "base/Language.h"
#include "base/Texts.h"
#include "ui/AppIcon.h"
#include "ui/DialogMetrics.h"
#include "ui/QtText.h"

namespace ip2h {
namespace {

// Layout in dialog units.
constexpr QSize kClientSize(243, 101);
constexpr QRect kFrameRect(7, 4, 229, 88);
constexpr QRect kIconRect(112, 24, 20, 20);
constexpr QRect kVersionRect(16, 49, 212, 18);
constexpr int kVersionHeightJapanese = 17;
constexpr QRect kCreditRect(16, 72, 212, 8);

// The version line's font is given by its cell height in pixels.
constexpr int kVersionCellPixels = 18;

// The background is always white, so the text keeps the system's window-text colour only
// where that is readable on white (a dark desktop theme has light text).
QColor TextColourOnWhite(const QColor& windowText) {
    return windowText.lightness() > 160 ? QColor(Qt::black) : windowText;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : AboutDialog(IsJapanese(), parent) {}

AboutDialog::AboutDialog(bool japanese, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setWindowTitle(FromUtf8(Tr(TextId::AboutTitle, japanese)));
    setWindowIcon(AppIcon());

    const QFont dialogFont = AboutDialogFont(japanese);
    setFont(dialogFont);
    const DialogBaseUnits base = BaseUnitsOf(QFontMetrics(dialogFont));
    setFixedSize(DialogUnitsToPixels(kClientSize, base));

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, TextColourOnWhite(white.color(QPalette::WindowText)));
    setPalette(white);
    setAutoFillBackground(true);

    // A group frame without a title is an etched rectangle with nothing inside, so the white
    // shows through; styles draw a QGroupBox with a tinted panel. Created first so that it
    // lies beneath the controls it surrounds.
    m_groupFrame = new QFrame(this);
    m_groupFrame->setObjectName(QStringLiteral("groupFrame"));
    m_groupFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_groupFrame->setGeometry(DialogUnitsToPixels(kFrameRect, base));

    // Like the platform's icon control, the icon keeps its own size at the control's corner.
    m_iconLabel = new QLabel(this);
    m_iconLabel->setObjectName(QStringLiteral("iconLabel"));
    const QRect iconRect = DialogUnitsToPixels(kIconRect, base);
    m_iconLabel->setGeometry(iconRect);
    m_iconLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int iconSide = std::min({style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this),
                                   iconRect.width(), iconRect.height()});
    m_iconLabel->setPixmap(AppIcon().pixmap(QSize(iconSide, iconSide), devicePixelRatio()));

    m_versionLabel = new QLabel(this);
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));
    QRect versionRect = kVersionRect;
    if (japanese) versionRect.setHeight(kVersionHeightJapanese);
    m_versionLabel->setGeometry(DialogUnitsToPixels(versionRect, base));
    m_versionLabel->setFont(
        CellHeightFont(dialogFont, QStringLiteral("Arial"), kVersionCellPixels, QFont::Bold));
    m_versionLabel->setTextFormat(Qt::PlainText);
    m_versionLabel->setAlignment(Qt::AlignCenter);
    m_versionLabel->setText(FromUtf8(Tr(TextId::AboutVersion, japanese)));

    m_creditLabel = new QLabel(this);
    m_creditLabel->setObjectName(QStringLiteral("creditLabel"));
    m_creditLabel->setGeometry(DialogUnitsToPixels(kCreditRect, base));
    m_creditLabel->setTextFormat(Qt::PlainText);
    m_creditLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_creditLabel->setText(FromUtf8(Tr(TextId::AboutCredit, japanese)));
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // There is no button for Enter to press; it simply ends the box.
            accept();
            return;
        case Qt::Key_F1:
            // No help here: the key is taken so that it reaches nothing else either.
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);  // Esc ends the box
    }
}

}  // namespace ip2h
