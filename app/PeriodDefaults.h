#pragma once

#include <QDate>
#include <QStringList>

namespace tavim {

// The month names of the month selector, index i being month i + 1.
const QStringList& MonthNames();

// The period the main window preselects: the previous month (December in
// January) and the current year among the last three.
struct PeriodDefaults {
    QStringList years;
    int yearIndex;
    int monthIndex;
};
PeriodDefaults DefaultPeriod(const QDate& today);

} // namespace tavim
