#include "data/firebird/FbDateTime.h"

#include <gtest/gtest.h>

namespace tavim {
namespace {

constexpr ISC_TIME kHour = 3600 * ISC_TIME_SECONDS_PRECISION;

struct DateTimeCase {
    ISC_DATE date;
    ISC_TIME time;
    TDateTime value;
};

const DateTimeCase kDateTimeCases[] = {
    {15018, 0, 0.0},             // 30 December 1899
    {15018 + 38687, 0, 38687.0}, // 1 December 2005
    {15018 + 38046, 12 * kHour, 38046.5},
    {15017, 6 * kHour, -1.25}, // before day zero the time stays a positive fraction
    {0, 0, -15018.0},          // 17 November 1858
};

class IscDateTime : public testing::TestWithParam<DateTimeCase> {};

TEST_P(IscDateTime, ConvertsBothWays) {
    const DateTimeCase c = GetParam();
    EXPECT_DOUBLE_EQ(fromIscTimestamp({c.date, c.time}), c.value);
    const ISC_TIMESTAMP timestamp = toIscTimestamp(c.value);
    EXPECT_EQ(timestamp.timestamp_date, c.date);
    EXPECT_EQ(timestamp.timestamp_time, c.time);
}

INSTANTIATE_TEST_SUITE_P(Table, IscDateTime, testing::ValuesIn(kDateTimeCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(IscDateTime, ATimeRoundingToMidnightMovesToTheNextDay) {
    const ISC_TIMESTAMP timestamp = toIscTimestamp(38687.0 + 0.99999999999);
    EXPECT_EQ(timestamp.timestamp_date, 15018 + 38688);
    EXPECT_EQ(timestamp.timestamp_time, 0u);
}

TEST(IscDateTime, DateAndTimeAlone) {
    EXPECT_DOUBLE_EQ(fromIscDate(15018 + 38687), 38687.0);
    EXPECT_DOUBLE_EQ(fromIscTime(18 * kHour), 0.75);
    EXPECT_EQ(toIscDate(38687.75), 15018 + 38687);
    EXPECT_EQ(toIscTime(38687.75), 18 * kHour);
}

} // namespace
} // namespace tavim
