#pragma once

#include <QString>
#include <optional>

namespace tavim {

// Writes value with a one-section pattern of "#", "0", "," and "." using the
// separators of LocaleSettings. Throws EConvertError("Format string too long")
// for a pattern longer than 224 characters.
QString FormatNumber(const QString& pattern, long double value);

// Reads text written with the current decimal separator; nullopt when the text
// is not a number as a whole or overflows the extended range.
std::optional<long double> ParseNumber(const QString& text);

} // namespace tavim
