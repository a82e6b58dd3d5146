#pragma once

#include <QFont>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace tavim {

// A report uses a handful of fonts; the bound keeps odd callers finite.
inline constexpr std::size_t kMaxPerFont = 64;

// The calling thread's T for `font`, made from the font on first use and kept
// for the thread's life; a new font past kMaxPerFont starts the list again.
template <class T> T& perFont(const QFont& font) {
    thread_local std::vector<std::pair<QFont, std::unique_ptr<T>>> known;
    // Comparing fonts is not cheap and runs of texts share one: the font found
    // moves to the front, so the next look-up usually ends at the first.
    for (std::size_t i = 0; i < known.size(); ++i) {
        if (known[i].first == font) {
            std::swap(known[i], known[0]);
            return *known[0].second;
        }
    }
    if (known.size() == kMaxPerFont)
        known.clear();
    known.emplace_back(font, std::make_unique<T>(font));
    return *known.back().second;
}

} // namespace tavim
