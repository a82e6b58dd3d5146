#pragma once

#include "engine/emf/BoundedCache.h"

#include <QFont>
#include <memory>

namespace tavim {

// A report uses a handful of fonts; the bound keeps odd callers finite.
inline constexpr qsizetype kMaxPerFont = 64;

// The calling thread's T for `font`, made from the font on first use and kept
// for the thread's life, within kMaxPerFont fonts.
template <class T> T& perFont(const QFont& font) {
    thread_local BoundedCache<QFont, std::shared_ptr<T>> known(kMaxPerFont);
    if (const auto* found = known.find(font))
        return **found;
    return *known.insert(font, std::make_shared<T>(font));
}

} // namespace tavim
