#pragma once

namespace ip2h {

inline constexpr int kZoomSmallestPoints = 9;
inline constexpr int kZoomLargestPoints = 32;
// From this list size on the header gets a larger font, so that it stays readable.
inline constexpr int kZoomHeaderThresholdPoints = 14;
inline constexpr int kZoomHeaderPoints = 16;
inline constexpr int kWheelNotch = 120;

// The list font size after one wheel message of `wheelDelta` (120 a notch) with Ctrl held:
// one point up or down per message, within 9..32 points; smaller movements change nothing.
int ZoomedPointSize(int currentPoints, int wheelDelta);

}  // namespace ip2h
