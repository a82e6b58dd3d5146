#pragma once

#include <QChar>

namespace tavim {

// The process-wide decimal and thousands separators. A null thousands
// separator means "no character": grouping then writes nothing.
// Reads and writes are atomic, so a report run on a worker thread may format
// while the user-interface thread re-reads the settings.
class LocaleSettings {
public:
    static QChar decimalSeparator();
    static QChar thousandsSeparator();

    // Reads both separators from the process's LC_NUMERIC locale as the
    // environment names it; "." and "," where it cannot be read.
    static void reload();
    static void set(QChar decimal, QChar thousands);
};

} // namespace tavim
