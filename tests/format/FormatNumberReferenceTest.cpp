// FormatNumber against a reference built on strings from the exact decimal
// expansion of each value, over many values across all magnitudes.
#include "ScopedSettings.h"
#include "format/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace tavim {
namespace {

// What step 1 yields for a pattern, written out by hand.
struct Layout {
    const char* pattern;
    int decimals;
    int requiredInteger;
    int requiredFraction;
    bool grouping;
};

const Layout kLayouts[] = {
    {"###,##0.00", 2, 1, 2, true},     {"0.000", 3, 1, 3, false},
    {"#,##0", 0, 1, 0, true},          {"#.##", 2, 0, 0, false},
    {"#,##0.0####", 5, 1, 1, true},    {"00000.00", 2, 5, 2, false},
    {".0000000000", 10, 0, 10, false}, {"#,###.###############", 15, 0, 0, true},
};

// 0.digits × 10^exponent.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// glibc prints the exact binary value when the precision is large enough; the
// trailing zeros prove that it was.
Digits exactExpansion(long double magnitude) {
    char text[400];
    std::snprintf(text, sizeof text, "%.300Le", magnitude);
    Digits d;
    const char* p = text;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    }
    d.exponent = std::atoi(p + 1) + 1;
    EXPECT_EQ(d.digits.find_first_not_of('0', d.digits.size() - 40), std::string::npos)
        << "expansion not exact: " << text;
    return d;
}

// Adds one to the last digit; true when a carry leaves the first digit.
bool incrementLast(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

Digits roundSignificant(Digits exact, size_t count, bool tiesToEven) {
    if (exact.digits.size() <= count)
        return exact;
    const std::string rest = exact.digits.substr(count);
    exact.digits.resize(count);
    const bool exactHalf = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
    bool up = rest[0] >= '5';
    if (exactHalf && tiesToEven)
        up = (exact.digits.back() - '0') % 2 == 1;
    if (up && incrementLast(exact.digits)) {
        exact.digits.pop_back();
        ++exact.exponent;
    }
    return exact;
}

std::string scientific(const Digits& eighteen, bool negative) {
    Digits d = roundSignificant(eighteen, 15, false);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    std::string text = negative ? "-" : "";
    text += d.digits[0];
    if (d.digits.size() > 1)
        text += "," + d.digits.substr(1);
    return text + "E" + std::to_string(d.exponent - 1);
}

std::string group(const std::string& integer) {
    std::string text;
    for (size_t i = 0; i < integer.size(); ++i) {
        text += integer[i];
        const size_t position = integer.size() - i;
        if (position > 1 && position % 3 == 1)
            text += '.';
    }
    return text;
}

// Separators "," and "."; the value is finite and not zero.
std::string reference(const Layout& layout, long double value) {
    const Digits d = roundSignificant(exactExpansion(std::fabs(value)), 18, true);
    const bool negative = value < 0;
    if (d.exponent > 18)
        return scientific(d, negative);

    // The digits laid out around the point, then cut to the pattern's decimals.
    const int length = int(d.digits.size());
    std::string integer =
        d.exponent > 0 ? d.digits.substr(0, size_t(std::min(d.exponent, length))) : std::string();
    integer.append(size_t(std::max(d.exponent - length, 0)), '0');
    std::string fraction = std::string(size_t(std::max(-d.exponent, 0)), '0') +
                           d.digits.substr(size_t(std::clamp(d.exponent, 0, length)));
    if (int(fraction.size()) > layout.decimals) {
        const bool up = fraction[size_t(layout.decimals)] >= '5';
        fraction.resize(size_t(layout.decimals));
        std::string all = integer + fraction;
        if (up)
            incrementLast(all);
        integer = all.substr(0, all.size() - fraction.size());
        fraction = all.substr(integer.size());
    }
    integer.erase(0, integer.find_first_not_of('0'));
    fraction.erase(fraction.find_last_not_of('0') + 1);

    const bool zero = integer.empty() && fraction.empty();
    if (int(integer.size()) < layout.requiredInteger)
        integer.insert(0, size_t(layout.requiredInteger) - integer.size(), '0');
    if (int(fraction.size()) < layout.requiredFraction)
        fraction.append(size_t(layout.requiredFraction) - fraction.size(), '0');
    std::string text = negative && !zero ? "-" : "";
    text += layout.grouping ? group(integer) : integer;
    if (!fraction.empty())
        text += "," + fraction;
    return text;
}

// Values of every kind a report can produce, from 1e-12 to 1e25.
class ValueSource {
public:
    long double next(int kind) {
        long double v = 0;
        switch (kind % 4) {
        case 0: // any 64-bit mantissa, as extended sums have
            v = std::ldexp((long double)(m_random() | (1ULL << 63)), int(m_random() % 124) - 104);
            break;
        case 1:
            v = double(std::pow(10.0L, (long double)m_exponent(m_random)));
            break;
        case 2: // money as the fields store it
            v = double(m_random() % 1'000'000'000'000ULL) / 100;
            break;
        default: // decimal halves, mostly inexact in binary
            v = double(m_random() % 10'000'000 * 10 + 5) / std::pow(10.0, int(m_random() % 5) + 1);
            break;
        }
        return m_random() % 2 ? -v : v;
    }

private:
    std::mt19937_64 m_random{20240117};
    std::uniform_real_distribution<double> m_exponent{-12.0, 25.0};
};

TEST(FormatNumberReferenceTest, ReferenceAgreesWithHandWorkedResults) {
    const Layout& money = kLayouts[0];
    EXPECT_EQ(reference(money, 2.675), "2,67");
    EXPECT_EQ(reference(money, -0.125), "-0,13");
    EXPECT_EQ(reference(money, -0.004), "0,00");
    EXPECT_EQ(reference(money, 999999.996), "1.000.000,00");
    EXPECT_EQ(reference(money, 12345678901234567.25L), "12.345.678.901.234.567,20");
    EXPECT_EQ(reference(money, 1.5e20L), "1,5E20");
    EXPECT_EQ(reference(money, 9.999999999999999e20), "1E21");
    EXPECT_EQ(reference(kLayouts[3], 0.001), "");
}

TEST(FormatNumberReferenceTest, RandomValuesMatchTheExactExpansion) {
    test::ScopedSeparators brazilian(QChar(u','), QChar(u'.'));
    ValueSource values;
    constexpr int kValues = 200'000;
    constexpr int kLayoutCount = int(std::size(kLayouts));
    for (int i = 0; i < kValues; ++i) {
        const long double v = values.next(i);
        const Layout& money = kLayouts[0];
        const Layout& other = kLayouts[1 + i % (kLayoutCount - 1)];
        for (const Layout* layout : {&money, &other}) {
            ASSERT_EQ(FormatNumber(layout->pattern, v).toStdString(), reference(*layout, v))
                << "pattern " << layout->pattern << ", value " << double(v) << ", case " << i;
        }
    }
}

} // namespace
} // namespace tavim
