#include "ScopedSettings.h"
#include "format/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <string>

namespace tavim {
namespace {

bool localeAvailable(const char* name) {
    const locale_t locale = newlocale(LC_NUMERIC_MASK, name, locale_t(0));
    if (locale == locale_t(0))
        return false;
    freelocale(locale);
    return true;
}

// Each test names the locale through LC_ALL unless it says otherwise.
class LocaleSettingsTest : public ::testing::Test {
protected:
    test::ScopedSeparators restore;
    test::ScopedEnv all{"LC_ALL", nullptr};
    test::ScopedEnv numeric{"LC_NUMERIC", nullptr};
    test::ScopedEnv lang{"LANG", nullptr};

    static void expectSeparators(char16_t decimal, char16_t thousands) {
        EXPECT_EQ(LocaleSettings::decimalSeparator().unicode(), decimal);
        EXPECT_EQ(LocaleSettings::thousandsSeparator().unicode(), thousands);
    }
};

TEST_F(LocaleSettingsTest, DefaultsBeforeAnyReload) {
    expectSeparators(u'.', u',');
}

TEST_F(LocaleSettingsTest, CLocaleHasNoThousandsSeparator) {
    for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
        LocaleSettings::set(QChar(u'x'), QChar(u'y'));
        setenv("LC_ALL", name, 1);
        LocaleSettings::reload();
        SCOPED_TRACE(name);
        expectSeparators(u'.', 0);
    }
}

TEST_F(LocaleSettingsTest, UnknownLocaleGivesTheFallbacks) {
    LocaleSettings::set(QChar(u'x'), QChar(u'y'));
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    LocaleSettings::reload();
    expectSeparators(u'.', u',');
}

TEST_F(LocaleSettingsTest, LcNumericOutranksLang) {
    setenv("LANG", "xx_NOWHERE.UTF-8", 1);
    setenv("LC_NUMERIC", "C", 1);
    LocaleSettings::reload();
    expectSeparators(u'.', 0);
}

TEST_F(LocaleSettingsTest, BrazilianLocale) {
    if (!localeAvailable("pt_BR.UTF-8"))
        GTEST_SKIP() << "locale pt_BR.UTF-8 is not installed";
    setenv("LC_ALL", "pt_BR.UTF-8", 1);
    LocaleSettings::reload();
    expectSeparators(u',', u'.');
    EXPECT_EQ(FormatNumber(QStringLiteral("###,##0.00"), -1234.5).toStdString(), "-1.234,50");
}

// The French group separator is a multibyte character in UTF-8.
TEST_F(LocaleSettingsTest, MultibyteSeparatorIsDecoded) {
    if (!localeAvailable("fr_FR.UTF-8"))
        GTEST_SKIP() << "locale fr_FR.UTF-8 is not installed";
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    LocaleSettings::reload();
    expectSeparators(u',', u'\u202F');
}

// Only LC_NUMERIC names the locale; the codeset used to decode comes with it.
TEST_F(LocaleSettingsTest, DecodesWithTheNumericLocalesCodeset) {
    if (!localeAvailable("fr_FR.UTF-8"))
        GTEST_SKIP() << "locale fr_FR.UTF-8 is not installed";
    setenv("LANG", "C", 1);
    setenv("LC_NUMERIC", "fr_FR.UTF-8", 1);
    LocaleSettings::reload();
    expectSeparators(u',', u'\u202F');
}

TEST_F(LocaleSettingsTest, ReloadLeavesTheCLocaleAlone) {
    setenv("LC_ALL", localeAvailable("pt_BR.UTF-8") ? "pt_BR.UTF-8" : "C.UTF-8", 1);
    const std::string before = std::setlocale(LC_ALL, nullptr);
    LocaleSettings::reload();
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    EXPECT_STREQ(text, "1.5");
}

} // namespace
} // namespace tavim
