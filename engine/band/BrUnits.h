#pragma once

#include "engine/emf/DeviceRounding.h"

namespace tavim {

// Lengths are tenths of a millimetre; positions on a page are whole tenths,
// halves going to the even neighbour.
inline int nearest(long double x) {
    return roundHalfEven(x);
}

inline int toScreenPixels(long double tenths) {
    return nearest(tenths * kScreenFactor);
}

inline long double fromScreenPixels(long double pixels) {
    return pixels / kScreenFactor;
}

} // namespace tavim
