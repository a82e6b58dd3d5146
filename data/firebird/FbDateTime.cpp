#include "data/firebird/FbDateTime.h"

#include <cmath>

namespace tavim {

TDateTime fromIscTimestamp(const ISC_TIMESTAMP& timestamp) {
    const double day = timestamp.timestamp_date - kIscDateOfDayZero;
    const double fraction = fromIscTime(timestamp.timestamp_time);
    return day < 0 ? day - fraction : day + fraction;
}

TDateTime fromIscDate(ISC_DATE date) {
    return date - kIscDateOfDayZero;
}

TDateTime fromIscTime(ISC_TIME time) {
    return double(time) / kIscTimeUnitsPerDay;
}

ISC_TIMESTAMP toIscTimestamp(TDateTime value) {
    const double day = std::trunc(value);
    const double units = std::round(std::fabs(value - day) * kIscTimeUnitsPerDay);
    ISC_TIMESTAMP timestamp;
    timestamp.timestamp_date = ISC_DATE(day) + kIscDateOfDayZero;
    timestamp.timestamp_time = ISC_TIME(units);
    if (timestamp.timestamp_time >= kIscTimeUnitsPerDay) {
        ++timestamp.timestamp_date;
        timestamp.timestamp_time = 0;
    }
    return timestamp;
}

ISC_DATE toIscDate(TDateTime value) {
    return toIscTimestamp(value).timestamp_date;
}

ISC_TIME toIscTime(TDateTime value) {
    return toIscTimestamp(value).timestamp_time;
}

} // namespace tavim
