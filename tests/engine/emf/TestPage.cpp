#include "TestPage.h"

#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace tavim::test {

namespace {

constexpr int kDotsPerMeterAt96Dpi = 3780;

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "tavim_emf_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

QImage blankPage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    image.fill(Qt::white);
    return image;
}

QFont font(const QString& family, int pixels, bool bold) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

TMetafile record(const Painting& paint) {
    TMetafileRecorder recorder(QSize(kPageWidth, kPageHeight));
    {
        QPainter painter(recorder.device());
        paint(painter);
    }
    return recorder.finish();
}

QImage paintedDirectly(const Painting& paint) {
    QImage image = blankPage();
    QPainter painter(&image);
    paint(painter);
    return image;
}

QImage replayed(const TMetafile& page) {
    QImage image = blankPage();
    QPainter painter(&image);
    page.play(painter, QRectF(0, 0, kPageWidth, kPageHeight));
    return image;
}

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            count += la[x] != lb[x] ? 1 : 0;
    }
    return count;
}

} // namespace tavim::test
