#pragma once

namespace tavim {

// The nearest integer, halves going to the even neighbour; saturates at the
// int range and maps NaN to 0.
int roundHalfEven(long double x);

// Page images are recorded, and text is measured, against the screen at 96
// pixels per inch whatever the output device, so that a page means the same
// paper on every machine.
inline constexpr int kScreenDpi = 96;
// Screen pixels per tenth of a millimetre.
inline constexpr long double kScreenFactor = kScreenDpi / 254.0L;

} // namespace tavim
