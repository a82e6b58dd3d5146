#include "format/LocaleSettings.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <langinfo.h>
#include <locale.h>
#include <optional>
#include <string>

namespace tavim {
namespace {

std::atomic<char16_t> g_decimal{u'.'};
std::atomic<char16_t> g_thousands{u','};

constexpr char16_t kDefaultDecimal = u'.';
constexpr char16_t kDefaultThousands = u',';
constexpr char16_t kNoCharacter = 0;

// The LC_NUMERIC locale the environment names. Its strings are in that
// locale's codeset, so LC_CTYPE is taken from the same name to decode them;
// null when the locale cannot be opened.
locale_t openNumericLocale() {
    const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", locale_t(0));
    if (numeric == locale_t(0))
        return numeric;
    const std::string name = nl_langinfo_l(_NL_LOCALE_NAME(LC_NUMERIC), numeric);
    const locale_t decodable = newlocale(LC_CTYPE_MASK, name.c_str(), numeric);
    return decodable != locale_t(0) ? decodable : numeric;
}

// The first character of a non-empty multibyte text; nullopt when it cannot
// be decoded or needs more than one UTF-16 unit.
std::optional<char16_t> firstCharacter(const char* text, locale_t locale) {
    // uselocale changes this thread only, never the process's C locale.
    const locale_t previous = uselocale(locale);
    std::mbstate_t state{};
    wchar_t wc = 0;
    const std::size_t used = std::mbrtowc(&wc, text, std::strlen(text), &state);
    uselocale(previous);
    if (used == 0 || used == std::size_t(-1) || used == std::size_t(-2))
        return std::nullopt;
    const auto code = static_cast<unsigned long>(wc);
    if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return char16_t(code);
}

} // namespace

QChar LocaleSettings::decimalSeparator() {
    return QChar(g_decimal.load());
}

QChar LocaleSettings::thousandsSeparator() {
    return QChar(g_thousands.load());
}

void LocaleSettings::set(QChar decimal, QChar thousands) {
    g_decimal.store(decimal.unicode());
    g_thousands.store(thousands.unicode());
}

void LocaleSettings::reload() {
    const locale_t locale = openNumericLocale();
    if (locale == locale_t(0)) {
        set(QChar(kDefaultDecimal), QChar(kDefaultThousands));
        return;
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    const char* grouping = nl_langinfo_l(THOUSEP, locale);
    const char16_t decimal =
        *radix ? firstCharacter(radix, locale).value_or(kDefaultDecimal) : kDefaultDecimal;
    const char16_t thousands =
        *grouping ? firstCharacter(grouping, locale).value_or(kDefaultThousands) : kNoCharacter;
    freelocale(locale);
    set(QChar(decimal), QChar(thousands));
}

} // namespace tavim
