#include "engine/emf/GlyphAdvances.h"

#include "engine/emf/PerFont.h"

#include <QImage>

namespace tavim {

namespace {

constexpr int kReferenceDpi = 96;

} // namespace

// Per thread: the worker measures while the user interface may be measuring too.
const QImage& ScreenMeasuringDevice() {
    thread_local const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMeter = qRound(kReferenceDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

GlyphAdvances::GlyphAdvances(const QFont& font) : m_metrics(font, &ScreenMeasuringDevice()) {
    m_latin.fill(-1);
}

GlyphAdvances& GlyphAdvances::of(const QFont& font) {
    return perFont<GlyphAdvances>(font);
}

double GlyphAdvances::at(const QString& text, qsizetype i) {
    const char16_t unit = text[i].unicode();
    if (unit < m_latin.size()) {
        double& known = m_latin[unit];
        if (known < 0)
            known = m_metrics.horizontalAdvance(QString(text[i]));
        return known;
    }
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : unit;
    const auto found = m_other.constFind(code);
    if (found != m_other.cend())
        return *found;
    return *m_other.insert(code, m_metrics.horizontalAdvance(text.mid(i, pair ? 2 : 1)));
}

double GlyphAdvances::width(const QString& text) {
    double sum = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            continue;
        sum += at(text, i);
    }
    return sum;
}

} // namespace tavim
