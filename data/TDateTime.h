#pragma once

namespace tavim {

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

} // namespace tavim
