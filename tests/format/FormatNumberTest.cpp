#include "ScopedSettings.h"
#include "error/Exception.h"
#include "format/NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace tavim {
namespace {

const QString kMoney = QStringLiteral("###,##0.00");

struct ValueCase {
    long double value;
    const char* text;
};

class FormatNumberTest : public ::testing::Test {
protected:
    test::ScopedSeparators brazilian{QChar(u','), QChar(u'.')};

    static void expectAll(const QString& pattern, std::initializer_list<ValueCase> cases) {
        for (const ValueCase& c : cases)
            EXPECT_EQ(FormatNumber(pattern, c.value).toStdString(), c.text)
                << "pattern " << pattern.toStdString() << ", value " << double(c.value);
    }
};

TEST_F(FormatNumberTest, MoneyTable) {
    expectAll(kMoney, {
                          {0.0, "0,00"},
                          {0.5, "0,50"},
                          {0.05, "0,05"},
                          {0.004, "0,00"},
                          {-0.004, "0,00"},
                          {0.005, "0,01"},
                          {-0.005, "-0,01"},
                          {0.995, "0,99"},
                          {12.0, "12,00"},
                          {1200.0, "1.200,00"},
                          {-1234.5, "-1.234,50"},
                          {1234567.891, "1.234.567,89"},
                          {999999.996, "1.000.000,00"},
                          {123456789012.34, "123.456.789.012,34"},
                      });
}

TEST_F(FormatNumberTest, ZeroNeverCarriesASign) {
    expectAll(kMoney,
              {{-0.0L, "0,00"}, {-1e-30L, "0,00"}, {-0.00499, "0,00"}, {-LDBL_TRUE_MIN, "0,00"}});
    expectAll("#,##0", {{-0.4, "0"}, {-0.0L, "0"}});
}

// Halves are decided on the 18-digit string, so the stored double decides.
TEST_F(FormatNumberTest, HalvesFollowTheStoredValue) {
    expectAll(kMoney, {
                          {0.125, "0,13"},
                          {-0.125, "-0,13"},
                          {2.675, "2,67"},
                          {1.005, "1,00"},
                          {9.995, "9,99"},
                          {999.995, "1.000,00"},
                          {0.375, "0,38"},
                      });
}

// The 18 digits are themselves rounded to nearest with ties to even.
TEST_F(FormatNumberTest, EighteenDigitTiesGoToEven) {
    expectAll(kMoney, {
                          {12345678901234567.25L, "12.345.678.901.234.567,20"},
                          {12345678901234567.75L, "12.345.678.901.234.567,80"},
                          {-12345678901234567.25L, "-12.345.678.901.234.567,20"},
                      });
    expectAll("0.00000000000000000000", {{0.1, "0,10000000000000000600"}});
}

TEST_F(FormatNumberTest, CarriesAddDigitsAndGroups) {
    expectAll(kMoney, {
                          {999999.996, "1.000.000,00"},
                          {99999.999, "100.000,00"},
                          {-999.999, "-1.000,00"},
                          {0.999, "1,00"},
                      });
    expectAll("#,##0", {{999.5, "1.000"}, {999999.5, "1.000.000"}});
}

TEST_F(FormatNumberTest, LargeMagnitudesAroundTheScientificLimit) {
    expectAll(kMoney, {
                          {1e17L, "100.000.000.000.000.000,00"},
                          {999999999999999999.0L, "999.999.999.999.999.999,00"},
                          {999999999999999999.4375L, "999.999.999.999.999.999,00"},
                          {999999999999999999.5L, "1E18"},
                          {9.999999999999999e17, "999.999.999.999.999.872,00"},
                          {1e18L, "1E18"},
                          {-2e18L, "-2E18"},
                          {1e20L, "1E20"},
                          {1.5e20L, "1,5E20"},
                          {1.23456789012345678e25L, "1,23456789012346E25"},
                          {9.999999999999999e20, "1E21"},
                          {1e300L, "1E300"},
                          {-1e4000L, "-1E4000"},
                          {LDBL_MAX, "1,18973149535723E4932"},
                      });
}

TEST_F(FormatNumberTest, TinyMagnitudes) {
    expectAll(kMoney, {{1e-9L, "0,00"}, {1.1e-4000L, "0,00"}, {LDBL_TRUE_MIN, "0,00"}});
    expectAll(".0000000000", {{1.5e-10, ",0000000001"}, {4.9e-11, ",0000000000"}});
    expectAll("0.00000000000000000000", {{1e-20L, "0,00000000000000000001"}});
}

TEST_F(FormatNumberTest, NonFiniteValuesAreNamed) {
    const long double inf = std::numeric_limits<long double>::infinity();
    expectAll(kMoney, {{inf, "INF"}, {-inf, "-INF"}, {std::nanl(""), "NAN"}});
}

TEST_F(FormatNumberTest, OtherPatterns) {
    struct Case {
        const char* pattern;
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {"0.000", 1.5, "1,500"},
        {"0.000", 0.0005, "0,001"},
        {"#,##0", 1234.5, "1.235"},
        {"#,##0", 0.4, "0"},
        {"#.##", 0.5, ",5"},
        {"#.##", 1.5, "1,5"},
        {"#.##", 2.0, "2"},
        {"#.##", 0.0, ""},
        {"#", 0.4, ""},
        {"0", 0.5, "1"},
        {"0", -0.5, "-1"},
        {"0.0#", 1.0, "1,0"},
        {"0.0#", 1.5, "1,5"},
        {"0.0#", 1.256, "1,26"},
        {"#.#0", 1.5, "1,50"},
        {".00", 0.5, ",50"},
        {".00", 12.5, "12,50"},
        {"00000", 42.0, "00042"},
        {"00,000", 42.0, "00.042"},
        {"0#.#", 5.0, "05"},
        {"#.##,", 1234.5, "1.234,5"},
        {"##0.00", 1234567.891, "1234567,89"},
        {"0..00", 1.25, "1,25"},
        {"", 12.5, "13"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatNumber(c.pattern, c.value).toStdString(), c.text)
            << "pattern " << c.pattern << ", value " << double(c.value);
}

TEST_F(FormatNumberTest, SeparatorsComeFromTheSettings) {
    struct Case {
        QChar decimal;
        QChar thousands;
        const char* money;
        const char* scientific;
    };
    const Case cases[] = {
        {QChar(u'.'), QChar(u','), "-1,234,567.89", "1.5E20"},
        {QChar(u','), QChar(), "-1234567,89", "1,5E20"},
        {QChar(u','), QChar(0x202F), "-1\u202F234\u202F567,89", "1,5E20"},
        {QChar(0x066B), QChar(0x066C), "-1\u066C234\u066C567\u066B89", "1\u066B5E20"},
    };
    for (const Case& c : cases) {
        LocaleSettings::set(c.decimal, c.thousands);
        EXPECT_EQ(FormatNumber(kMoney, -1234567.891), QString::fromUtf8(c.money));
        EXPECT_EQ(FormatNumber(kMoney, 1.5e20L), QString::fromUtf8(c.scientific));
    }
}

TEST_F(FormatNumberTest, LongestPatternIsAccepted) {
    const QString zeros = QString(224, QChar(u'0'));
    EXPECT_EQ(FormatNumber(zeros, 0), zeros);

    const QString fraction = QStringLiteral("0.") + QString(222, QChar(u'0'));
    EXPECT_EQ(FormatNumber(fraction, 1), QStringLiteral("1,") + QString(222, QChar(u'0')));

    const QString grouped = QStringLiteral(",") + QString(223, QChar(u'0'));
    const QString text = FormatNumber(grouped, 0);
    EXPECT_EQ(text.size(), 223 + 74);
    EXPECT_EQ(text.count(QChar(u'.')), 74);
    EXPECT_TRUE(text.startsWith(QStringLiteral("0.000.")));
}

TEST_F(FormatNumberTest, PatternLongerThan224Fails) {
    for (const long double value : {1.0L, std::nanl("")}) {
        try {
            FormatNumber(QString(225, QChar(u'#')), value);
            ADD_FAILURE() << "no exception for value " << double(value);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Format string too long"));
        }
    }
}

} // namespace
} // namespace tavim
