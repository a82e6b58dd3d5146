#pragma once

#include "data/TDateTime.h"

#include <QString>

namespace tavim {

// Doubles every single quote and encloses the text in single quotes.
QString QuoteText(const QString& text);

// Decimal, or hexadecimal after "$" or "0x", optionally signed, after leading
// blanks; the whole text, within the signed 32-bit range. Otherwise
// EConvertError "'<text>' is not a valid integer value".
int ParseInteger(const QString& text);

// EConvertError "Invalid argument to date encode" for an invalid date.
TDateTime MakeDate(unsigned year, unsigned month, unsigned day);

struct DateParts {
    int year;
    int month;
    int day;
};
DateParts DecodeDate(TDateTime date);

// Adds n months, clamping the day to the length of the resulting month and
// keeping the time of day.
TDateTime AddMonths(TDateTime date, int n);

} // namespace tavim
