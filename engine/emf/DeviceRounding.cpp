#include "engine/emf/DeviceRounding.h"

#include <climits>
#include <cmath>
#include <limits>

namespace tavim {

namespace {

// 1.5 times the power of two at which the significand has no fraction bits
// left (2^63 for the x87 format).
constexpr long double noFractionShift() {
    long double shift = 1.5L;
    for (int i = 1; i < std::numeric_limits<long double>::digits; ++i)
        shift *= 2;
    return shift;
}

} // namespace

// Adding the shift leaves the sum no fraction bits, so it is rounded in the
// current mode, which this program never changes from round-to-nearest-even;
// taking the shift away again is exact. It saves a call into the maths
// library for every position drawn.
int roundHalfEven(long double x) {
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (x <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    constexpr long double kShift = noFractionShift();
    // Through double, exact for a whole number this size: converting a long
    // double to int directly switches the x87 rounding mode twice.
    return static_cast<int>(static_cast<double>((x + kShift) - kShift));
}

} // namespace tavim
