// A recorded page replayed 1:1 must paint exactly what QPainter paints directly.

#include "TestPage.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

struct RoundTrip {
    const char* name;
    Painting direct;
    Painting recorded; // same drawing as `direct` unless the fonts are named differently
};

Painting texts(const QString& sans, const QString& narrow) {
    return [=](QPainter& p) {
        p.setFont(font(sans, 15, true));
        p.drawText(QPointF(300, 40), QStringLiteral("TAMBRI IMOVEIS LTDA"));
        p.setFont(font(sans, 11));
        p.drawText(QPoint(689, 20), QStringLiteral("Pagina 1"));
        p.setFont(font(narrow, 8, true));
        p.drawText(QPoint(51, 90), QStringLiteral("IMÓVEL LOCATÁRIO OBSERVAÇÕES"));
        p.setPen(QColor(0x80, 0, 0x20));
        p.setFont(font(narrow, 8));
        p.drawText(QPoint(600, 110), QStringLiteral("-1.234,50"));
    };
}

void shapes(QPainter& p) {
    p.fillRect(QRect(0, 60, 794, 20), QColor(0xC0, 0xC0, 0xC0));
    p.fillRect(QRect(47, 100, 37, 14), Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRect(6, 200, 740, 30));
    QPen flat(Qt::black, 1);
    flat.setCapStyle(Qt::FlatCap);
    p.setPen(flat);
    p.drawLine(QPoint(6, 300), QPoint(746, 300));
    p.setPen(QPen(Qt::blue, 1));
    p.drawLine(QPoint(10, 310), QPoint(10, 400)); // square cap: end point painted
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::red);
    p.drawRect(QRectF(500, 500, 40.0, 10.0));
}

TEST(MetafileRoundTrip, ReplayPaintsWhatQPainterPaints) {
    const auto translated = [](QPainter& p) {
        p.translate(20, 700);
        shapes(p);
        texts(QStringLiteral("Arial"), QStringLiteral("Arial Narrow"))(p);
    };
    const RoundTrip cases[] = {
        {"shapes", shapes, shapes},
        {"texts", texts("Arial", "Arial Narrow"), texts("Arial", "Arial Narrow")},
        {"Arial faces resolve to the Liberation fonts",
         texts("Liberation Sans", "Liberation Sans Narrow"), texts("Arial", "Arial Narrow")},
        {"translated painter", translated, translated},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage direct = paintedDirectly(c.direct);
        const QImage replay = replayed(record(c.recorded));
        ASSERT_NE(differingPixels(direct, blankPage()), 0);
        EXPECT_EQ(differingPixels(direct, replay), 0);
    }
}

TEST(MetafileRoundTrip, PageMapsOntoATargetOfAnotherSize) {
    const TMetafile page =
        record([](QPainter& p) { p.fillRect(QRect(100, 100, 50, 50), Qt::black); });
    QImage image = blankPage(2 * kPageWidth + 20, 2 * kPageHeight + 20);
    {
        QPainter painter(&image);
        page.play(painter, QRectF(20, 20, 2 * kPageWidth, 2 * kPageHeight));
    }
    EXPECT_EQ(image.pixel(220, 220), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(319, 319), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(218, 218), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(321, 321), qRgb(255, 255, 255));
}

} // namespace
} // namespace tavim::test
