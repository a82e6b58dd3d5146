#include "TestPage.h"

#include "error/Exception.h"

#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

quint32 u32At(const QByteArray& b, qint64 offset) {
    return qFromLittleEndian<quint32>(b.constData() + offset);
}
qint32 i32At(const QByteArray& b, qint64 offset) {
    return qFromLittleEndian<qint32>(b.constData() + offset);
}

QByteArray samplePage() {
    return record([](QPainter& p) {
               p.setFont(font(QStringLiteral("Arial Narrow"), 8, true));
               p.drawText(QPoint(10, 20), QStringLiteral("LOCADOR"));
               p.setFont(font(QStringLiteral("Arial"), 12));
               p.drawText(QPoint(10, 40), QStringLiteral("Pagina 1"));
               p.fillRect(QRect(0, 50, 794, 10), Qt::gray);
               p.drawLine(0, 70, 100, 70);
           })
        .bytes();
}

TEST(MetafileHeader, DescribesTheA4PageAndItsRecords) {
    const QByteArray b = samplePage();
    EXPECT_EQ(u32At(b, 0), 1u);
    EXPECT_EQ(u32At(b, 40), 0x464D4520u);
    EXPECT_EQ(u32At(b, 44), 0x10000u);
    EXPECT_EQ(u32At(b, 48), quint32(b.size()));
    EXPECT_EQ(i32At(b, 16), 793); // bounds: the whole page, inclusive
    EXPECT_EQ(i32At(b, 20), 1122);
    EXPECT_EQ(i32At(b, 32), 21008); // frame in .01 mm
    EXPECT_EQ(i32At(b, 36), 29713);

    quint32 records = 0;
    quint32 maxHandle = 0;
    quint32 lastType = 0;
    for (qint64 at = 0; at < b.size(); ++records) {
        const quint32 type = u32At(b, at);
        const quint32 size = u32At(b, at + 4);
        ASSERT_GE(size, 8u);
        ASSERT_EQ(size % 4, 0u);
        if (type == 38 || type == 39 || type == 82) // objects created
            maxHandle = std::max(maxHandle, u32At(b, at + 8));
        lastType = type;
        at += size;
    }
    EXPECT_EQ(lastType, 14u);
    EXPECT_EQ(u32At(b, 52), records);
    EXPECT_GT(qFromLittleEndian<quint16>(b.constData() + 56), maxHandle);
    EXPECT_EQ(TMetafile::fromBytes(b).size(), QSize(kPageWidth, kPageHeight));
}

TEST(MetafileHeader, FontRecordCarriesPixelHeightWeightAndFace) {
    QFont nine(QStringLiteral("Arial Narrow"));
    nine.setPointSize(9); // 12 px at 96 dpi
    nine.setBold(true);
    const QByteArray b = record([&](QPainter& p) {
                             p.setFont(nine);
                             p.drawText(QPoint(10, 20), QStringLiteral("x"));
                         }).bytes();
    const qint64 at = b.indexOf(QByteArray::fromRawData("\x52\0\0\0", 4));
    ASSERT_GT(at, 0);
    EXPECT_EQ(i32At(b, at + 12), -12);
    EXPECT_EQ(i32At(b, at + 28), 700);
    const auto* face = reinterpret_cast<const char16_t*>(b.constData() + at + 40);
    EXPECT_EQ(QString::fromUtf16(face), QStringLiteral("Arial Narrow"));
}

QByteArray withU32(QByteArray b, qint64 offset, quint32 v) {
    qToLittleEndian(v, b.data() + offset);
    return b;
}

TEST(MetafileHeader, FromBytesRejectsWhatIsNoMetafile) {
    const QByteArray good = samplePage();
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"shorter than a header", good.left(87)},
        {"another record first", withU32(good, 0, 14)},
        {"header record of 8 bytes", withU32(good, 4, 8)},
        {"signature", withU32(good, 40, 0x464D4521)},
        {"nBytes above the size", withU32(good, 48, quint32(good.size() + 4))},
        {"nBytes below the size", withU32(good, 48, quint32(good.size() - 4))},
        {"size not a multiple of 4", withU32(good + "ab", 48, quint32(good.size() + 2))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TMetafile::fromBytes(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
        }
    }
}

TEST(MetafileHeader, SizeFromHeaderNeedsOnlyTheFirst52Bytes) {
    const QByteArray good = samplePage();
    EXPECT_EQ(TMetafile::sizeFromHeader(good.constData(), 52), good.size());
    EXPECT_EQ(TMetafile::sizeFromHeader(good.constData(), 51), -1);
    const QByteArray bad = withU32(good, 40, 0);
    EXPECT_EQ(TMetafile::sizeFromHeader(bad.constData(), bad.size()), -1);
}

} // namespace
} // namespace tavim::test
