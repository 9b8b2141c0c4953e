#pragma once

#include <QIcon>
#include <QList>

namespace ip2h {

// The sizes the program icon is drawn at, in pixels.
QList<int> AppIconSizes();

// The program icon with every size, for windows, the about box and the task bar.
QIcon AppIcon();

}  // namespace ip2h
