#include "ScopedSettings.h"
#include "format/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tavim {
namespace {

class ParseNumberTest : public ::testing::Test {
protected:
    test::ScopedSeparators brazilian{QChar(u','), QChar(u'.')};
};

TEST_F(ParseNumberTest, Accepts) {
    const std::pair<const char*, long double> cases[] = {
        {"12,5", 12.5L},
        {"  12,5  ", 12.5L},
        {"-3", -3},
        {"+7", 7},
        {"1e3", 1000},
        {"1,5E3", 1500},
        {",", 0},
        {"-,", 0},
        {",5", 0.5L},
        {"5,", 5},
        {"1234,75", 1234.75L},
        {"0,1", 0.1L},
        {"1E-2", 0.01L},
        {"2e+2", 200},
        {",5e1", 5},
        {"1e", 1},
        {"1e+", 1},
        {"0012", 12},
        {"7e0000003", 7000},
        {"12345678901234567890", 12345678901234567890.0L},
        {"1e-99999", 0},
        {"0e99999999999999999999", 0},
        {"1e-99999999999999999999", 0},
    };
    for (const auto& [text, value] : cases) {
        const auto parsed = ParseNumber(QString::fromUtf8(text));
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
}

TEST_F(ParseNumberTest, Rejects) {
    const std::initializer_list<const char*> groups[] = {
        {"", " ", "-", "+", "e5", "E"},                           // no number before the exponent
        {"12a", "0x10", ",,", "1,2,3", "1e5e5", "\u00A01", "١٢"}, // foreign characters
        {"1.234", "1.234,75"},                                    // group separators
        {"\t1", "1\t", "1 2", "- 1", "1e 5", "1 e5"},             // misplaced or other blanks
        {"--1", "+-1"},                                           // more than one sign
        {"1e5000", "-1e5000", "1e99999999999999999999"},          // beyond the extended range
    };
    for (const auto& group : groups) {
        for (const char* text : group)
            EXPECT_FALSE(ParseNumber(QString::fromUtf8(text)).has_value()) << text;
    }
}

TEST_F(ParseNumberTest, ExtremesOfTheExtendedRange) {
    const auto largest = ParseNumber(QStringLiteral("1e4932"));
    ASSERT_TRUE(largest.has_value());
    EXPECT_NEAR(double(*largest / 1e4932L), 1.0, 1e-15);
    EXPECT_FALSE(ParseNumber(QStringLiteral("12e4931")).has_value());

    // Many digits before a large negative exponent: the value is small, not zero.
    const auto small = ParseNumber(QStringLiteral("1") + QString(30, QChar(u'0')) + "e-4950");
    ASSERT_TRUE(small.has_value());
    EXPECT_GT(*small, 0);
    EXPECT_NEAR(double(*small / 1e-4920L), 1.0, 1e-15);

    const QString longFraction = QStringLiteral(",") + QString(5000, QChar(u'0')) + "1e5001";
    EXPECT_EQ(ParseNumber(longFraction), 1.0L);
}

TEST_F(ParseNumberTest, UsesTheCurrentDecimalSeparator) {
    LocaleSettings::set(QChar(u'.'), QChar(u','));
    EXPECT_EQ(ParseNumber(QStringLiteral("1.5")), 1.5L);
    EXPECT_FALSE(ParseNumber(QStringLiteral("1,5")).has_value());

    LocaleSettings::set(QChar(0x066B), QChar());
    EXPECT_EQ(ParseNumber(QString::fromUtf8("1\u066B5")), 1.5L);
    EXPECT_FALSE(ParseNumber(QStringLiteral("1.5")).has_value());
}

// What the money pattern writes below 1000 (no group separator) reads back as
// the same double, for every amount in centavos.
TEST_F(ParseNumberTest, ReadsBackWhatTheMoneyPatternWrote) {
    for (int cents = -99999; cents <= 99999; ++cents) {
        const double value = cents / 100.0;
        const QString text = FormatNumber(QStringLiteral("###,##0.00"), value);
        const auto parsed = ParseNumber(text);
        ASSERT_TRUE(parsed.has_value()) << text.toStdString();
        ASSERT_EQ(double(*parsed), value) << text.toStdString();
    }
}

TEST_F(ParseNumberTest, RejectsGroupedText) {
    EXPECT_FALSE(ParseNumber(FormatNumber(QStringLiteral("###,##0.00"), 1234.5)).has_value());
}

} // namespace
} // namespace tavim
