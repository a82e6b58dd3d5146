#include "engine/DeviceRounding.h"

#include <climits>
#include <cmath>

namespace tavim {

int roundHalfEven(long double x) {
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (x <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    const long double floor = std::floor(x);
    const long double fraction = x - floor;
    long double result = floor;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(floor, 2.0L) != 0))
        result = floor + 1;
    return static_cast<int>(result);
}

} // namespace tavim
