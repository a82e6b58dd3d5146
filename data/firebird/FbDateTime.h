#pragma once

#include "data/TDateTime.h"

#include <ibase.h>

namespace tavim {

// The server counts days from 17 November 1858, TDateTime from 30 December 1899.
inline constexpr ISC_DATE kIscDateOfDayZero = 15018;
inline constexpr ISC_TIME kIscTimeUnitsPerDay = 86400 * ISC_TIME_SECONDS_PRECISION;

// Before day zero a TDateTime keeps the time of day as a positive fraction of a
// negative day number (-1.25 is 29 December 1899, 06:00), so day and time are
// split at the integer part, not by floor.
TDateTime fromIscTimestamp(const ISC_TIMESTAMP& timestamp);
TDateTime fromIscDate(ISC_DATE date);
TDateTime fromIscTime(ISC_TIME time);

// The time of day is rounded to the server's ten-thousandths of a second; a
// time that rounds up to midnight moves on to the next day.
ISC_TIMESTAMP toIscTimestamp(TDateTime value);
ISC_DATE toIscDate(TDateTime value);
ISC_TIME toIscTime(TDateTime value);

} // namespace tavim
