#pragma once

#include <cmath>

namespace tavim {

// Lengths are tenths of a millimetre; positions on a page are whole tenths.
// Halves round to the even neighbour (the default floating-point rounding).
inline int nearest(long double x) {
    return int(std::lrint(x));
}

// Screen pixels (96 per inch) per tenth of a millimetre: text is always
// measured at this resolution, whatever device the report goes to.
inline constexpr int kScreenDpi = 96;
inline constexpr long double kScreenFactor = kScreenDpi / 254.0L;

inline int toScreenPixels(long double tenths) {
    return nearest(tenths * kScreenFactor);
}

inline long double fromScreenPixels(long double pixels) {
    return pixels / kScreenFactor;
}

} // namespace tavim
