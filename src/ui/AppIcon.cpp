#include "ui/AppIcon.h"

#include <QString>

// The icons live in a static library; a static library's resources load only when asked for,
// and the request must come from the global namespace.
static void InitialiseIconResources() {
    Q_INIT_RESOURCE(ip2hostname);
}

namespace ip2h {

QList<int> AppIconSizes() {
    return {IP2H_ICON_SIZES};  // the build's list
}

QIcon AppIcon() {
    static const bool initialised = (InitialiseIconResources(), true);
    Q_UNUSED(initialised);
    QIcon icon;
    for (const int size : AppIconSizes()) {
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/ip2hostname.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

}  // namespace ip2h
