#include "data/Conversions.h"
#include "error/Exception.h"

#include <gtest/gtest.h>

using namespace tavim;

namespace {

QString convertMessage(const std::function<void()>& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

TEST(QuoteText, DoublesQuotesAndEncloses) {
    const std::pair<const char*, const char*> cases[] = {
        {"ATIVADO", "'ATIVADO'"}, {"D'AGUA", "'D''AGUA'"}, {"", "''"}, {"'", "''''"},
        {"a''b", "'a''''b'"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(QuoteText(in), QString(out)) << in;
}

TEST(ParseInteger, Accepts) {
    const std::pair<const char*, int> cases[] = {
        {"2024", 2024},
        {"  2024", 2024},
        {"+7", 7},
        {"-7", -7},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X10", 16},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"007", 7},
        {"0", 0},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ParseInteger(in), out) << in;
}

TEST(ParseInteger, RefusesWithTheTextInTheMessage) {
    const char* cases[] = {"",    " ",          "2024 ",       "20 24",     "abc",
                           "+",   "-",          "$",           "0x",        "1.5",
                           "12a", "2147483648", "-2147483649", "$80000000", "99999999999999999999",
                           "\t1"};
    for (const char* in : cases) {
        EXPECT_EQ(convertMessage([&] { ParseInteger(in); }),
                  QStringLiteral("'%1' is not a valid integer value").arg(in))
            << in;
    }
}

TEST(MakeDate, KnownDays) {
    struct Case {
        unsigned y, m, d;
        double days;
    };
    const Case cases[] = {
        {2004, 2, 29, 38046},    {2005, 12, 1, 38687}, {1899, 12, 30, 0}, {1, 1, 1, -693593},
        {9999, 12, 31, 2958465}, {2000, 3, 1, 36586},  {1900, 3, 1, 61},  {2024, 2, 29, 45351},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeDate(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
}

TEST(MakeDate, RefusesInvalidDates) {
    struct Case {
        unsigned y, m, d;
    };
    const Case cases[] = {{2005, 0, 1},  {2005, 2, 29}, {0, 1, 1},     {2005, 13, 1},
                          {2005, 4, 31}, {1900, 2, 29}, {10000, 1, 1}, {2005, 1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(convertMessage([&] { MakeDate(c.y, c.m, c.d); }),
                  "Invalid argument to date encode")
            << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DecodeDate, RoundTripsEveryDayOfSomeCenturies) {
    for (double day = -1000; day < 80000; ++day) {
        const DateParts p = DecodeDate(day);
        ASSERT_EQ(MakeDate(unsigned(p.year), unsigned(p.month), unsigned(p.day)), day);
    }
}

TEST(AddMonths, Cases) {
    struct Case {
        double from;
        int n;
        double to;
    };
    const Case cases[] = {
        {MakeDate(2005, 12, 1), 1, MakeDate(2006, 1, 1)},
        {MakeDate(2024, 1, 31), 1, MakeDate(2024, 2, 29)},
        {MakeDate(2023, 1, 31), 1, MakeDate(2023, 2, 28)},
        {MakeDate(2024, 3, 31), -1, MakeDate(2024, 2, 29)},
        {MakeDate(2024, 1, 15), -1, MakeDate(2023, 12, 15)},
        {MakeDate(2024, 1, 15), -13, MakeDate(2022, 12, 15)},
        {MakeDate(2024, 1, 15), 24, MakeDate(2026, 1, 15)},
        {MakeDate(2024, 11, 15), 14, MakeDate(2026, 1, 15)},
        {MakeDate(2024, 5, 15), 0, MakeDate(2024, 5, 15)},
        {MakeDate(2024, 5, 15) + 0.25, 1, MakeDate(2024, 6, 15) + 0.25},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddMonths(c.from, c.n), c.to) << c.from << " + " << c.n;
}

TEST(AddMonths, OutOfYearRangeFails) {
    EXPECT_EQ(convertMessage([] { AddMonths(MakeDate(9999, 12, 1), 1); }),
              "Invalid argument to date encode");
    EXPECT_EQ(convertMessage([] { AddMonths(MakeDate(1, 1, 1), -1); }),
              "Invalid argument to date encode");
    EXPECT_EQ(convertMessage([] { AddMonths(MakeDate(2000, 1, 1), INT32_MAX); }),
              "Invalid argument to date encode");
}

} // namespace
