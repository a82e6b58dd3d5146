#pragma once

#include <QFont>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace tavim {

// The calling thread's T for `font`, made from the font on first use and kept
// for the thread's life. A report uses a handful of fonts; the bound keeps odd
// callers finite.
template <class T> T& perFont(const QFont& font) {
    constexpr std::size_t kMaxFonts = 64;
    thread_local std::vector<std::pair<QFont, std::unique_ptr<T>>> known;
    // Comparing fonts is not cheap and runs of texts share one: the font found
    // moves to the front, so the next look-up usually ends at the first.
    for (std::size_t i = 0; i < known.size(); ++i) {
        if (known[i].first == font) {
            std::swap(known[i], known[0]);
            return *known[0].second;
        }
    }
    if (known.size() == kMaxFonts)
        known.clear();
    known.emplace_back(font, std::make_unique<T>(font));
    return *known.back().second;
}

} // namespace tavim
