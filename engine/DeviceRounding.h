#pragma once

namespace tavim {

// The nearest integer, halves going to the even neighbour; saturates at the
// int range and maps NaN to 0.
int roundHalfEven(long double x);

} // namespace tavim
