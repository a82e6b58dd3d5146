#include "EmfBytes.h"
#include "RefusalLog.h"
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
    QByteArray huge = good + QByteArray(emf::kMaxBytes + 4 - good.size(), '\0');
    qToLittleEndian(quint32(huge.size()), huge.data() + 48);
    const char* const outside = "a size outside what a page image can be";
    const char* const headerSize = "a header record size below 88 or not a multiple of 4";
    const char* const nBytes = "an nBytes other than the image's size";
    const struct {
        const char* name;
        QByteArray bytes;
        const char* check; // logged under tavim.metafile
    } cases[] = {
        {"empty", QByteArray(), outside},
        {"shorter than a header", good.left(87), outside},
        {"larger than the limit", huge, outside},
        {"another record first", withU32(good, 0, 14), "a first record that is not EMR_HEADER"},
        {"header record of 8 bytes", withU32(good, 4, 8), headerSize},
        {"header record of 106 bytes", withU32(good, 4, 106), headerSize},
        {"signature", withU32(good, 40, 0x464D4521), "no \" EMF\" signature"},
        {"nBytes above the size", withU32(good, 48, quint32(good.size() + 4)), nBytes},
        {"nBytes below the size", withU32(good, 48, quint32(good.size() - 4)), nBytes},
        {"size not a multiple of 4", withU32(good + "ab", 48, quint32(good.size() + 2)),
         "a size that is not a multiple of 4"},
    };
    RefusalLog log("tavim.metafile");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TMetafile::fromBytes(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Metafile is not valid"));
        }
        EXPECT_EQ(log.take(), QStringList{QString::fromLatin1(c.check)});
    }
}

// A saved file's record sizes its image by the header alone, so the header's
// own checks of nBytes are all that stand between the file and a wrong size.
TEST(MetafileHeader, SizeFromHeaderNeedsOnlyTheFirst52Bytes) {
    const QByteArray good = samplePage();
    const auto size = quint32(good.size());
    // 108 bytes of header record, with the size in micrometres.
    const QByteArray extended =
        EmfBytes({108, {}, {0, 0, 21000, 29700}, {794, 1123}, {}, {210000, 297000}}).bytes();
    const struct {
        const char* name;
        QByteArray head;
        qint64 available;
        qint64 expected;
    } cases[] = {
        {"52 bytes", good, 52, good.size()},
        {"100 bytes of a longer header", extended, 100, extended.size()},
        {"51 bytes", good, 51, -1},
        {"no bytes", good, 0, -1},
        {"no signature", withU32(good, 40, 0), 52, -1},
        {"nBytes below the header record", withU32(good, 48, 104), 52, -1},
        {"nBytes not a multiple of 4", withU32(good, 48, size + 2), 52, -1},
        {"nBytes above the limit", withU32(good, 48, quint32(emf::kMaxBytes + 4)), 52, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TMetafile::sizeFromHeader(c.head.constData(), c.available), c.expected);
    }
    EXPECT_EQ(TMetafile::sizeFromHeader(nullptr, 52), -1);
}

// The page's size comes from the header's extension in micrometres, else from
// its millimetres, else from its bounds, and is held to 100000 pixels.
TEST(MetafileHeader, PageSizeComesFromTheFieldsTheHeaderHas) {
    const QSize a4(794, 1123);
    const std::array<qint32, 4> a4Frame{0, 0, 21000, 29700};
    // Bytes after an 88-byte header belong to the first record, not to an extension.
    const EmfPage millimetres{88, {}, a4Frame, a4, {210, 297}, {}};
    const EmfPage micrometres{108, {}, a4Frame, a4, {1, 1}, {210000, 297000}};
    const EmfPage huge{88, {0, 0, 2'147'483'646, 99}, {}, {}, {}, {}};
    const struct {
        const char* name;
        QByteArray bytes;
        QSize expected;
    } cases[] = {
        {"millimetres, no extension",
         EmfBytes(millimetres).add(emf::EMR_RECTANGLE, {1, 1, 50000, 50000}).bytes(), a4},
        {"micrometres", EmfBytes(micrometres).bytes(), a4},
        {"bounds past 2^31 pixels wide", EmfBytes(huge).bytes(), QSize(100000, 100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TMetafile::fromBytes(c.bytes).size(), c.expected);
    }
}

} // namespace
} // namespace tavim::test
