#include "engine/DeviceRounding.h"

#include <climits>
#include <cmath>

namespace tavim {

// rint rounds in the current mode, which this program never changes from
// round-to-nearest-even; both forms compile to one rounding instruction.
int roundHalfEven(long double x) {
    if (std::isnan(x))
        return 0;
    if (x >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (x <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    const double narrow = static_cast<double>(x);
    if (static_cast<long double>(narrow) == x)
        return static_cast<int>(std::rint(narrow));
    return static_cast<int>(std::rint(x));
}

} // namespace tavim
