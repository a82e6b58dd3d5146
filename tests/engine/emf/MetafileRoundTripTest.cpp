// A recorded page replayed 1:1 must paint exactly what QPainter paints directly.

#include "TestPage.h"

#include "engine/emf/EmfPaintEngine.h"
#include "engine/emf/EmfRecords.h"

#include <QHash>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cmath>
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

// Lines recorded with their own alignment, their top as the reference: the
// replay puts them where QPainter's aligned drawing does.
TEST(MetafileRoundTrip, AlignedTextLinesReplayAtTheirReferencePoints) {
    struct Line {
        QPoint ref;
        quint32 align;
        Qt::Alignment qt;
        const char* text;
    };
    const Line lines[] = {
        {{61, 126}, emf::TA_TOP | emf::TA_LEFT, Qt::AlignLeft, "LOCADOR"},
        {{758, 126}, emf::TA_TOP | emf::TA_RIGHT, Qt::AlignRight, "OBSERVAÇÕES"},
        {{415, 50}, emf::TA_TOP | emf::TA_CENTER, Qt::AlignHCenter, "TAMBRI IMOVEIS LTDA"},
        {{631, 144}, emf::TA_TOP | emf::TA_RIGHT, Qt::AlignRight, "-1.234.567,89"},
    };
    const QFont face = font(QStringLiteral("Arial Narrow"), 8, true);
    const QImage direct = paintedDirectly([&](QPainter& p) {
        p.setFont(face);
        for (const Line& l : lines)
            p.drawText(QRect(l.ref, QSize(0, 0)), l.qt | Qt::AlignTop | Qt::TextDontClip,
                       QString::fromUtf8(l.text));
    });
    const TMetafile page = record([&](QPainter& p) {
        auto* engine = dynamic_cast<EmfPaintEngine*>(p.paintEngine());
        ASSERT_NE(engine, nullptr);
        for (const Line& l : lines)
            engine->drawTextLine(l.ref, l.align, QString::fromUtf8(l.text), face,
                                 EmfPaintEngine::kDefaultCharset, Qt::black);
    });
    ASSERT_NE(differingPixels(direct, blankPage()), 0);
    EXPECT_EQ(differingPixels(direct, replayed(page)), 0);
}

// Fonts, pens and brushes that come back on a page are selected by the handle
// they were created with.
TEST(MetafileRoundTrip, ObjectsAreCreatedOncePerPage) {
    const TMetafile page = record([](QPainter& p) {
        for (int i = 0; i < 20; ++i) {
            p.setFont(font(QStringLiteral("Arial"), i % 2 ? 11 : 15));
            p.drawText(QPoint(10, 20 + 30 * i), QStringLiteral("linha"));
            p.fillRect(QRect(200, 20 + 30 * i, 40, 10), i % 2 ? Qt::white : Qt::gray);
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(0, 30 + 30 * i, 794, 30 + 30 * i);
        }
    });
    const QByteArray& bytes = page.bytes();
    QHash<quint32, int> created;
    for (qsizetype at = 0; at + 8 <= bytes.size();) {
        const auto type = qFromLittleEndian<quint32>(bytes.constData() + at);
        ++created[type];
        at += qFromLittleEndian<quint32>(bytes.constData() + at + 4);
    }
    EXPECT_EQ(created[emf::EMR_EXTCREATEFONTINDIRECTW], 2);
    EXPECT_EQ(created[emf::EMR_CREATEBRUSHINDIRECT], 2);
    EXPECT_EQ(created[emf::EMR_CREATEPEN], 1);
    EXPECT_EQ(created[emf::EMR_DELETEOBJECT], 0);
    EXPECT_EQ(created[emf::EMR_EXTTEXTOUTW], 20);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 56), 2 + 2 + 1 + 1)
        << "object table: the metafile and five objects";
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

// Positions round half away from zero, as lround does, however far off the
// page they are; the values just below a half stay below it.
TEST(MetafileRoundTrip, PositionsRoundHalfAwayFromZero) {
    const double kFar = 1 << 30;
    for (const double x :
         {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 0.49999999999999994, -0.49999999999999994,
          2.4999999999999996, 793.5, -793.5, 1e12, -1e12, 1073741823.5}) {
        const TMetafile page = record([x](QPainter& p) {
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(QPointF(x, 7), QPointF(3, 9));
        });
        const QByteArray& bytes = page.bytes();
        qint32 moved = 0;
        bool found = false;
        for (qsizetype at = 0; at + 8 <= bytes.size() && !found;) {
            if (qFromLittleEndian<quint32>(bytes.constData() + at) == emf::EMR_MOVETOEX) {
                moved = qFromLittleEndian<qint32>(bytes.constData() + at + 8);
                found = true;
            }
            at += qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        }
        ASSERT_TRUE(found) << x;
        EXPECT_EQ(moved, std::lround(std::clamp(x, -kFar, kFar))) << x;
    }
}

} // namespace
} // namespace tavim::test
