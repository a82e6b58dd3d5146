#pragma once

#include <QtGlobal>

namespace tavim {

// A small seeded generator whose sequence is the same on every platform and
// standard library (std:: distributions are not), for reproducible demo data.
class SplitMix64 {
public:
    explicit SplitMix64(quint64 seed) : m_state(seed) {}

    static quint64 mix(quint64 z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    quint64 next() { return mix(m_state += 0x9E3779B97F4A7C15ull); }

    // Uniform in [0, n) for n > 0; rejection keeps every value equally likely.
    quint64 below(quint64 n) {
        const quint64 limit = ~0ull - (~0ull % n);
        quint64 value = next();
        while (value >= limit)
            value = next();
        return value % n;
    }

    // Uniform in [low, high].
    qint64 between(qint64 low, qint64 high) { return low + qint64(below(quint64(high - low) + 1)); }

    bool percent(int chance) { return below(100) < quint64(chance); }

private:
    quint64 m_state;
};

} // namespace tavim
