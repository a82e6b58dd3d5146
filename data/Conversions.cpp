#include "data/Conversions.h"

#include "error/Exception.h"

#include <cmath>
#include <limits>

namespace tavim {

namespace {

constexpr int kDateDelta = 693594; // days from 1 January of year 1 to 30 December 1899

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= '0' && u <= '9')
        v = u - '0';
    else if (u >= 'a' && u <= 'f')
        v = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        v = u - 'A' + 10;
    return v < base ? v : -1;
}

} // namespace

QString QuoteText(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

int ParseInteger(const QString& text) {
    auto fail = [&text]() -> int {
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return fail();
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    long long value = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text[i], base);
        if (d < 0)
            return fail();
        value = value * base + d;
        if (value > limit)
            return fail();
    }
    return int(negative ? -value : value);
}

TDateTime MakeDate(unsigned year, unsigned month, unsigned day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > unsigned(daysInMonth(int(year), int(month))))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    int dayOfYear = int(day);
    for (int m = 1; m < int(month); ++m)
        dayOfYear += daysInMonth(int(year), m);
    const int y = int(year) - 1;
    return double(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDateDelta);
}

DateParts DecodeDate(TDateTime date) {
    // Count of days since 1 January of year 1, split into 400-, 100-, 4- and 1-year cycles.
    int t = int(std::floor(date)) + kDateDelta - 1;
    int year = 1;
    year += (t / 146097) * 400;
    t %= 146097;
    int c = t / 36524;
    if (c == 4)
        c = 3;
    year += c * 100;
    t -= c * 36524;
    year += (t / 1461) * 4;
    t %= 1461;
    int y = t / 365;
    if (y == 4)
        y = 3;
    year += y;
    t -= y * 365;
    int month = 1;
    while (t >= daysInMonth(year, month)) {
        t -= daysInMonth(year, month);
        ++month;
    }
    return {year, month, t + 1};
}

TDateTime AddMonths(TDateTime date, int n) {
    DateParts d = DecodeDate(date);
    long long year = d.year + n / 12;
    int month = d.month + n % 12;
    if (month < 1 || month > 12) {
        year += n >= 0 ? 1 : -1;
        month += n >= 0 ? -12 : 12;
    }
    if (year < 1 || year > 9999)
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    const int day = std::min(d.day, daysInMonth(int(year), month));
    const double timeOfDay = date - std::floor(date);
    return MakeDate(unsigned(year), unsigned(month), unsigned(day)) + timeOfDay;
}

} // namespace tavim
