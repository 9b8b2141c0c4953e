#include "window/ListZoom.h"

#include <algorithm>

namespace ip2h {

int ZoomedPointSize(int currentPoints, int wheelDelta) {
    if (wheelDelta >= kWheelNotch) return std::min(currentPoints + 1, kZoomLargestPoints);
    if (wheelDelta <= -kWheelNotch) return std::max(currentPoints - 1, kZoomSmallestPoints);
    return currentPoints;
}

}  // namespace ip2h
