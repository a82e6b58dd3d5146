#pragma once

#include <QHash>
#include <QString>

namespace tavim {

// What the player remembers by text for the thread's later pages (resolved
// fonts, measured widths) is bounded against hostile files, whose every
// text may be new: a full cache starts again empty.
inline constexpr qsizetype kMaxRemembered = 65536;

template <typename T> void remember(QHash<QString, T>& cache, const QString& key, const T& value) {
    if (cache.size() >= kMaxRemembered)
        cache.clear();
    cache.insert(key, value);
}

} // namespace tavim
