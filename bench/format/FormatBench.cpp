// FormatNumber with the money pattern against snprintf("%.2f") over the same
// money-like values, both measured in this run.
#include "format/LocaleSettings.h"
#include "format/NumberFormat.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kValues = 1'000'000;
constexpr int kRounds = 5;

// Deterministic amounts from centavos up to hundreds of millions, some negative.
std::vector<double> moneyValues() {
    std::vector<double> values;
    values.reserve(kValues);
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    for (int i = 0; i < kValues; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const uint64_t magnitude = uint64_t(1) << (state % 37);
        const double cents = double(state % magnitude);
        values.push_back((state & (1ULL << 40)) ? -cents / 100 : cents / 100);
    }
    return values;
}

// Best of several rounds, in nanoseconds per value; `sink` keeps the work.
template <typename Format>
double measure(const std::vector<double>& values, Format format, uint64_t& sink) {
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (const double v : values)
            sink += format(v);
        const std::chrono::duration<double, std::nano> elapsed =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count() / double(values.size()));
    }
    return best;
}

} // namespace

int main() {
    tavim::LocaleSettings::set(QChar(u','), QChar(u'.'));
    const std::vector<double> values = moneyValues();
    const QString pattern = QStringLiteral("###,##0.00");
    uint64_t sink = 0;

    const double ours = measure(
        values,
        [&](double v) {
            const QString text = tavim::FormatNumber(pattern, v);
            return uint64_t(text.size()) + text.back().unicode();
        },
        sink);
    const double baseline = measure(
        values,
        [](double v) {
            char text[64];
            const int length = std::snprintf(text, sizeof text, "%.2f", v);
            return uint64_t(length) + uint64_t(text[length - 1]);
        },
        sink);

    std::printf("values                 %d (best of %d rounds)\n", kValues, kRounds);
    std::printf("FormatNumber           %.1f ns/value\n", ours);
    std::printf("snprintf(\"%%.2f\")       %.1f ns/value\n", baseline);
    std::printf("ratio ours/snprintf    %.2f\n", ours / baseline);
    std::printf("checksum               %llu\n", static_cast<unsigned long long>(sink));
    return 0;
}
