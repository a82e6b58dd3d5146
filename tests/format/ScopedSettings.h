#pragma once

#include "format/LocaleSettings.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace tavim::test {

// Puts the separators back as they were when the test began.
class ScopedSeparators {
public:
    ScopedSeparators()
        : m_decimal(LocaleSettings::decimalSeparator()),
          m_thousands(LocaleSettings::thousandsSeparator()) {}
    ScopedSeparators(QChar decimal, QChar thousands) : ScopedSeparators() {
        LocaleSettings::set(decimal, thousands);
    }
    ~ScopedSeparators() { LocaleSettings::set(m_decimal, m_thousands); }
    ScopedSeparators(const ScopedSeparators&) = delete;
    ScopedSeparators& operator=(const ScopedSeparators&) = delete;

private:
    QChar m_decimal;
    QChar m_thousands;
};

// Sets or clears one environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

} // namespace tavim::test
