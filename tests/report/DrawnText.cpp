#include "DrawnText.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <algorithm>

namespace tavim::test {

namespace {

// A paint engine that draws nothing and remembers the text runs.
class TextCapture : public QPaintEngine {
public:
    explicit TextCapture(std::vector<DrawnText>& out) : QPaintEngine(AllFeatures), m_out(out) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        m_out.push_back({item.text(), m_transform.map(p)});
    }
    Type type() const override { return User; }

private:
    std::vector<DrawnText>& m_out;
    QTransform m_transform;
};

class CaptureDevice : public QPaintDevice {
public:
    CaptureDevice(QSize size, std::vector<DrawnText>& out) : m_size(size), m_engine(out) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    QSize m_size;
    mutable TextCapture m_engine;
};

} // namespace

std::vector<DrawnText> drawnTexts(const TMetafile& page) {
    std::vector<DrawnText> out;
    CaptureDevice device(page.size(), out);
    QPainter painter(&device);
    page.play(painter, QRectF(QPointF(0, 0), page.size()));
    return out;
}

QStringList textsBetween(const std::vector<DrawnText>& texts, qreal top, qreal bottom) {
    std::vector<DrawnText> strip;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(strip),
                 [&](const DrawnText& t) { return t.at.y() >= top && t.at.y() < bottom; });
    std::sort(strip.begin(), strip.end(),
              [](const DrawnText& a, const DrawnText& b) { return a.at.x() < b.at.x(); });
    QStringList out;
    for (const DrawnText& t : strip)
        out << t.text;
    return out;
}

} // namespace tavim::test
