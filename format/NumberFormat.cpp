#include "format/NumberFormat.h"

#include "error/Exception.h"
#include "format/LocaleSettings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tavim {
namespace {

using u128 = unsigned __int128;

constexpr qsizetype kMaxPatternLength = 224;
constexpr int kSignificantDigits = 18;
constexpr int kScientificDigits = 15;
// A rounded value whose exponent exceeds this (10^18 or more) leaves the pattern.
constexpr int kMaxFixedExponent = 18;

constexpr uint64_t kLowest18Digits = 100'000'000'000'000'000ULL;
constexpr uint64_t kAbove18Digits = 1'000'000'000'000'000'000ULL;

// 5^27 is the largest power of five below 2^64.
constexpr int kMaxFivePower = 27;
constexpr auto kPowersOfFive = [] {
    std::array<uint64_t, kMaxFivePower + 1> powers{};
    powers[0] = 1;
    for (size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 5;
    return powers;
}();

struct Pattern {
    int digitPlaces = 0;
    int decimalIndex = 0;
    bool grouping = false;
    int requiredIntegerDigits = 0;
    int requiredFractionDigits = 0;

    int decimals() const { return digitPlaces - decimalIndex; }
};

Pattern scanPattern(QStringView text) {
    Pattern p;
    int firstZero = -1;
    int lastZero = -1;
    bool pointSeen = false;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'0':
            if (firstZero < 0)
                firstZero = p.digitPlaces;
            lastZero = p.digitPlaces++;
            break;
        case u'#':
            ++p.digitPlaces;
            break;
        case u',':
            p.grouping = true;
            break;
        case u'.':
            if (!pointSeen)
                p.decimalIndex = p.digitPlaces;
            pointSeen = true;
            break;
        default:
            break;
        }
    }
    if (!pointSeen)
        p.decimalIndex = p.digitPlaces;
    if (firstZero >= 0 && firstZero < p.decimalIndex)
        p.requiredIntegerDigits = p.decimalIndex - firstZero;
    if (lastZero >= p.decimalIndex)
        p.requiredFractionDigits = lastZero - p.decimalIndex + 1;
    return p;
}

// |value| = 0.d1d2…dn × 10^exponent with d1 and dn not 0; zero has no digits
// and exponent 0.
struct Decimal {
    std::array<char, kSignificantDigits> digits{};
    int count = 0;
    int exponent = 0;
    bool negative = false;

    // Digit at a position counted from d1 = 0, with the implied zeros around.
    char16_t digitAt(int index) const {
        return index >= 0 && index < count ? char16_t(digits[index]) : u'0';
    }

    void dropTrailingZeros() {
        while (count > 0 && digits[count - 1] == '0')
            --count;
        if (count == 0)
            *this = Decimal{};
    }
};

// round(mantissa × 10^k × 2^binaryExponent), ties to even, computed exactly;
// nullopt when the operands leave the 128-bit range.
std::optional<u128> scaleExactly(uint64_t mantissa, int binaryExponent, int k) {
    if (k < 0 || k > kMaxFivePower)
        return std::nullopt;
    const int drop = -(binaryExponent + k);
    if (drop < 1 || drop > 127)
        return std::nullopt;
    const u128 product = u128(mantissa) * kPowersOfFive[size_t(k)];
    const u128 quotient = product >> drop;
    const u128 remainder = product & ((u128(1) << drop) - 1);
    const u128 half = u128(1) << (drop - 1);
    const bool up = remainder > half || (remainder == half && (quotient & 1) != 0);
    return quotient + (up ? 1 : 0);
}

void setDigits(uint64_t n, int exponent, Decimal& out) {
    for (int i = kSignificantDigits - 1; i >= 0; --i) {
        out.digits[size_t(i)] = char('0' + n % 10);
        n /= 10;
    }
    out.count = kSignificantDigits;
    out.exponent = exponent;
    out.dropTrailingZeros();
}

// The money range: 18 digits from the exact product of the 64-bit mantissa
// and a power of ten. False when the magnitude is outside that range.
bool decomposeFast(long double magnitude, Decimal& out) {
    int binaryExponent = 0;
    const long double fraction = frexpl(magnitude, &binaryExponent);
    const auto mantissa = uint64_t(ldexpl(fraction, 64));
    // magnitude >= 2^(binaryExponent - 1); 78913 / 2^18 is just below log10(2),
    // so the estimate is exact or one too small.
    int exponent = (((binaryExponent - 1) * 78913) >> 18) + 1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto n = scaleExactly(mantissa, binaryExponent - 64, kSignificantDigits - exponent);
        if (!n)
            return false;
        if (*n >= kAbove18Digits) {
            ++exponent;
        } else if (*n < kLowest18Digits) {
            --exponent;
        } else {
            setDigits(uint64_t(*n), exponent, out);
            return true;
        }
    }
    return false;
}

// Any finite magnitude: glibc prints the correctly rounded digits. The radix
// character depends on the C locale, so only digits and the "e" are relied on.
void decomposeExact(long double magnitude, Decimal& out) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*Le", kSignificantDigits - 1, magnitude);
    const char* p = text;
    uint64_t n = 0;
    for (; *p != 'e' && *p != '\0'; ++p) {
        if (*p >= '0' && *p <= '9')
            n = n * 10 + uint64_t(*p - '0');
    }
    int exponent = 0;
    if (*p == 'e')
        std::from_chars(p + (p[1] == '+' ? 2 : 1), text + sizeof text, exponent);
    setDigits(n, exponent + 1, out);
}

Decimal decompose(long double value) {
    Decimal d;
    if (value == 0)
        return d;
    const long double magnitude = fabsl(value);
    if (!decomposeFast(magnitude, d))
        decomposeExact(magnitude, d);
    d.negative = value < 0;
    return d;
}

// Keeps the first `keep` digits; a dropped first digit of 5 or more adds one.
void roundDigits(Decimal& d, int keep) {
    if (keep >= d.count)
        return;
    if (keep < 0) {
        d = Decimal{};
        return;
    }
    const bool up = d.digits[size_t(keep)] >= '5';
    d.count = keep;
    if (!up) {
        d.dropTrailingZeros();
        return;
    }
    int i = keep - 1;
    while (i >= 0 && d.digits[size_t(i)] == '9')
        --i;
    if (i < 0) {
        d.digits[0] = '1';
        d.count = 1;
        ++d.exponent;
        return;
    }
    ++d.digits[size_t(i)];
    d.count = i + 1;
}

QString writeScientific(Decimal d, QChar decimalSeparator) {
    roundDigits(d, kScientificDigits);
    char16_t text[32];
    int length = 0;
    if (d.negative)
        text[length++] = u'-';
    text[length++] = d.digitAt(0);
    if (d.count > 1)
        text[length++] = decimalSeparator.unicode();
    for (int i = 1; i < d.count; ++i)
        text[length++] = d.digitAt(i);
    text[length++] = u'E';
    char power[8];
    const auto end = std::to_chars(power, power + sizeof power, d.exponent - 1).ptr;
    for (const char* p = power; p != end; ++p)
        text[length++] = char16_t(*p);
    return QString::fromUtf16(text, length);
}

QString writeFixed(const Decimal& d, const Pattern& p, QChar decimalSeparator,
                   QChar thousandsSeparator) {
    const int integerDigits = std::max(d.exponent, 0);
    const int integerWritten = std::max(integerDigits, p.requiredIntegerDigits);
    const int fractionWritten = std::max(d.count - d.exponent, p.requiredFractionDigits);
    const bool grouping = p.grouping && !thousandsSeparator.isNull();
    const int groupSeparators = grouping ? std::max(integerWritten - 1, 0) / 3 : 0;
    const qsizetype length = (d.negative ? 1 : 0) + integerWritten + groupSeparators +
                             (fractionWritten > 0 ? 1 + fractionWritten : 0);

    QString result(length, Qt::Uninitialized);
    QChar* out = result.data();
    if (d.negative)
        *out++ = u'-';
    for (int position = integerWritten; position >= 1; --position) {
        *out++ = d.digitAt(integerDigits - position);
        if (grouping && position > 1 && position % 3 == 1)
            *out++ = thousandsSeparator;
    }
    if (fractionWritten > 0)
        *out++ = decimalSeparator;
    for (int i = 0; i < fractionWritten; ++i)
        *out++ = d.digitAt(d.exponent + i);
    return result;
}

QString writeNonFinite(long double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Adds a run of digits to an integer accumulated in extended precision.
qsizetype readDigits(QStringView text, qsizetype& pos, long double& accumulated) {
    const qsizetype start = pos;
    for (; pos < text.size() && isAsciiDigit(text[pos]); ++pos)
        accumulated = accumulated * 10 + (text[pos].unicode() - u'0');
    return pos - start;
}

bool accept(QStringView text, qsizetype& pos, QChar c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

// Past 10^±100000 every result is 0 or an overflow, so exponents saturate there.
constexpr qint64 kExponentLimit = 100'000;

qint64 readExponent(QStringView text, qsizetype& pos) {
    const bool negative = accept(text, pos, u'-');
    if (!negative)
        accept(text, pos, u'+');
    qint64 exponent = 0;
    for (; pos < text.size() && isAsciiDigit(text[pos]); ++pos)
        exponent = std::min(exponent * 10 + (text[pos].unicode() - u'0'), kExponentLimit);
    return negative ? -exponent : exponent;
}

constexpr int kExactTenPowers = 28; // 10^27 = 2^27 × 5^27 still fits the 64-bit mantissa
constexpr auto kPowersOfTen = [] {
    std::array<long double, kExactTenPowers> powers{};
    powers[0] = 1;
    for (size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 10;
    return powers;
}();

long double powerOfTen(qint64 n) {
    return n < kExactTenPowers ? kPowersOfTen[size_t(n)] : powl(10.0L, (long double)n);
}

long double scaleByPowerOfTen(long double value, qint64 power) {
    if (value == 0)
        return value;
    if (power >= 0)
        return value * powerOfTen(power);
    // 10^4932 is the largest finite power; a larger divisor is applied in steps
    // so that a large integer part is not lost to an infinite divisor.
    constexpr qint64 kLargestStep = 4932;
    for (; power < -kLargestStep; power += kLargestStep)
        value /= powerOfTen(kLargestStep);
    return value / powerOfTen(-power);
}

} // namespace

QString FormatNumber(const QString& pattern, long double value) {
    if (pattern.size() > kMaxPatternLength)
        throw EConvertError(QStringLiteral("Format string too long"));
    if (!std::isfinite(value))
        return writeNonFinite(value);
    const Pattern p = scanPattern(pattern);
    Decimal d = decompose(value);
    roundDigits(d, d.exponent + p.decimals());
    const QChar decimalSeparator = LocaleSettings::decimalSeparator();
    if (d.exponent > kMaxFixedExponent)
        return writeScientific(d, decimalSeparator);
    return writeFixed(d, p, decimalSeparator, LocaleSettings::thousandsSeparator());
}

std::optional<long double> ParseNumber(const QString& text) {
    const QChar decimalSeparator = LocaleSettings::decimalSeparator();
    qsizetype pos = 0;
    while (accept(text, pos, u' ')) {
    }
    const bool negative = accept(text, pos, u'-');
    if (!negative)
        accept(text, pos, u'+');

    long double digits = 0;
    const qsizetype mantissaStart = pos;
    readDigits(text, pos, digits);
    qsizetype fractionLength = 0;
    if (accept(text, pos, decimalSeparator))
        fractionLength = readDigits(text, pos, digits);
    if (pos == mantissaStart)
        return std::nullopt;

    qint64 exponent = 0;
    if (accept(text, pos, u'E') || accept(text, pos, u'e'))
        exponent = readExponent(text, pos);
    while (accept(text, pos, u' ')) {
    }
    if (pos != text.size())
        return std::nullopt;

    const qint64 power =
        std::clamp(exponent - qint64(fractionLength), -2 * kExponentLimit, 2 * kExponentLimit);
    const long double value = scaleByPowerOfTen(digits, power);
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace tavim
