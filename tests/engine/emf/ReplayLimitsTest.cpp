// Values far beyond what a page needs are held to the player's limits, so that
// a hostile page image neither covers the page nor runs on without end.
#include "EmfBytes.h"
#include "RefusalLog.h"
#include "TestPage.h"

#include "engine/emf/BoundedCache.h"
#include "engine/emf/EmfRecords.h"
#include "engine/emf/PerFont.h"

#include <QPainter>
#include <QtEndian>
#include <climits>
#include <gtest/gtest.h>
#include <limits>
#include <utility>

namespace tavim::test {
namespace {

// The smallest rectangle holding every pixel that is not white, the page
// played onto `target` of a 100 x 100 image under the painter's `transform`.
QRect ink(const QByteArray& bytes, const QRectF& target = QRectF(0, 0, 100, 100),
          const QTransform& transform = QTransform()) {
    QImage image = blankPage(100, 100);
    {
        QPainter painter(&image);
        painter.setTransform(transform);
        TMetafile::fromBytes(bytes).play(painter, target);
    }
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// EMR_EXTTEXTOUTW's fields: "HH" at (x, y), its top there, the text after
// the record's fixed part.
QByteArray textAt(qint32 x, qint32 y) {
    return le(0).repeated(4) + le(1) + le(0) + le(0) + le(quint32(x)) + le(quint32(y)) + le(2) +
           le(76) + le(0) + QByteArray(16, '\0') + le(0) + QByteArrayLiteral("H\0H\0");
}

constexpr quint32 kBlackBrush = emf::kStockFlag | emf::BLACK_BRUSH;

// EMR_EXTCREATEFONTINDIRECTW's fields: handle 1, the default face.
QByteArray fontRecord(qint32 height, qint32 weight) {
    QByteArray font(4 + 4 + 12 + 4 + 8 + 2 * emf::kFaceNameChars, '\0');
    qToLittleEndian(quint32(1), font.data());
    qToLittleEndian(height, font.data() + 4);
    qToLittleEndian(weight, font.data() + 20);
    return font;
}

TEST(ReplayLimits, OutsizedValuesDrawNoMoreThanTheirLimitAllows) {
    // An em height of 2e9 pixels.
    const QByteArray font = fontRecord(-2'000'000'000, 0);
    const struct {
        const char* name;
        QByteArray bytes;
        QRect within; // the ink, which must not be empty
    } cases[] = {
        {"a pen 2^31 units wide is 10000 wide",
         EmfBytes()
             .add(emf::EMR_CREATEPEN, {1, 0, quint32(INT_MAX), 0, 0})
             .add(emf::EMR_SELECTOBJECT, {1})
             .add(emf::EMR_MOVETOEX, {0, 50'000})
             .add(emf::EMR_LINETO, {99'999, 50'000})
             .bytes(),
         QRect(0, 43, 100, 14)},
        {"coordinates beyond 2^22 stop there",
         EmfBytes()
             .add(emf::EMR_SETWORLDTRANSFORM, {bitsOf(0.01f), 0, 0, bitsOf(0.01f), 0, 0})
             .add(emf::EMR_SELECTOBJECT, {kBlackBrush})
             .add(emf::EMR_RECTANGLE, {0, 0, 6'000'000, 6'000'000})
             .bytes(),
         QRect(0, 0, 43, 43)},
        {"a font 2e9 pixels high is 10000 high",
         EmfBytes()
             .add(emf::EMR_EXTCREATEFONTINDIRECTW, font)
             .add(emf::EMR_SELECTOBJECT, {1})
             .add(emf::EMR_EXTTEXTOUTW, textAt(10'000, 60'000))
             .bytes(),
         QRect(5, 55, 40, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect drawn = ink(c.bytes);
        EXPECT_FALSE(drawn.isEmpty());
        EXPECT_TRUE(c.within.contains(drawn))
            << drawn.x() << ',' << drawn.y() << ' ' << drawn.width() << 'x' << drawn.height();
    }
}

// Index 0 is the metafile itself and the header counts the rest: an object
// created elsewhere is not kept, so selecting it leaves the default black pen.
TEST(ReplayLimits, ObjectsAreKeptOnlyAtTheHandlesTheHeaderCounts) {
    const struct {
        quint32 handle;
        bool kept;
    } cases[] = {{0, false}, {1, true}, {3, true}, {4, false}, {0xFFFF, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handle);
        const QByteArray bytes = EmfBytes()
                                     .add(emf::EMR_CREATEPEN, {c.handle, emf::PS_NULL, 0, 0, 0})
                                     .add(emf::EMR_SELECTOBJECT, {c.handle})
                                     .add(emf::EMR_MOVETOEX, {0, 50'000})
                                     .add(emf::EMR_LINETO, {99'999, 50'000})
                                     .bytes();
        EXPECT_EQ(ink(bytes).isEmpty(), c.kept);
    }
}

QStringList s_qtMessages;

// What Qt warned of while `run` ran.
template <typename Run> QStringList qtMessagesWhile(const Run& run) {
    s_qtMessages.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            s_qtMessages << message;
        });
    run();
    qInstallMessageHandler(previous);
    return std::exchange(s_qtMessages, {});
}

// A painter that was never begun is left alone: Qt would warn at every call.
TEST(ReplayLimits, APainterNotBegunIsLeftAlone) {
    const TMetafile page =
        TMetafile::fromBytes(EmfBytes().add(emf::EMR_RECTANGLE, {0, 0, 50'000, 50'000}).bytes());
    EXPECT_EQ(qtMessagesWhile([&] {
                  QPainter painter;
                  page.play(painter, QRectF(0, 0, 100, 100));
              }),
              QStringList());
}

// Weights past Qt's 1000 are its heaviest, without a warning per font.
TEST(ReplayLimits, AFontHeavierThanQtKnowsIsItsHeaviest) {
    const QByteArray bytes = EmfBytes()
                                 .add(emf::EMR_EXTCREATEFONTINDIRECTW, fontRecord(-20'000, 5000))
                                 .add(emf::EMR_SELECTOBJECT, {1})
                                 .add(emf::EMR_EXTTEXTOUTW, textAt(10'000, 60'000))
                                 .bytes();
    QRect drawn;
    EXPECT_EQ(qtMessagesWhile([&] { drawn = ink(bytes); }), QStringList());
    EXPECT_FALSE(drawn.isEmpty());
}

// The end record ends the page's replay, whatever follows it.
TEST(ReplayLimits, NothingAfterTheEndRecordIsPlayed) {
    const QByteArray bytes = EmfBytes()
                                 .add(emf::EMR_SELECTOBJECT, {kBlackBrush})
                                 .add(emf::EMR_EOF, {0, 16, 20})
                                 .add(emf::EMR_RECTANGLE, {0, 0, 50'000, 50'000})
                                 .bytes();
    EXPECT_TRUE(ink(bytes).isEmpty());
    // A loaded page ends with its end record: what follows was cut from it.
    EXPECT_FALSE(TMetafile::fromBytes(bytes).reachesEndRecord());
}

// Records past the cap are not played, however many the image holds.
TEST(ReplayLimits, RecordsPastTheCapAreNotPlayed) {
    const QByteArray bytes = EmfBytes()
                                 .add(emf::EMR_SELECTOBJECT, {kBlackBrush})
                                 .add(emf::EMR_RECTANGLE, {0, 0, 20'000, 20'000})
                                 .addUnknown(int(emf::kMaxRecords))
                                 .add(emf::EMR_RECTANGLE, {50'000, 50'000, 70'000, 70'000})
                                 .bytes();
    const QRect drawn = ink(bytes);
    EXPECT_FALSE(drawn.isEmpty());
    EXPECT_TRUE(QRect(0, 0, 22, 22).contains(drawn));
}

// A world transform with an element that is not finite is skipped, whether it
// would replace the world or multiply it: what follows draws as before.
TEST(ReplayLimits, TransformsThatAreNotFiniteLeaveTheWorldAsItWas) {
    const quint32 nan = bitsOf(std::numeric_limits<float>::quiet_NaN());
    const quint32 infinite = bitsOf(std::numeric_limits<float>::infinity());
    const quint32 one = bitsOf(1.0f);
    const auto page = [](quint32 type, const QByteArray& transform) {
        EmfBytes bytes;
        bytes.add(emf::EMR_SETWORLDTRANSFORM, {bitsOf(0.5f), 0, 0, bitsOf(0.5f), 0, 0});
        if (type != 0)
            bytes.add(type, transform);
        return bytes.add(emf::EMR_SELECTOBJECT, {kBlackBrush})
            .add(emf::EMR_RECTANGLE, {0, 0, 50'000, 50'000})
            .bytes();
    };
    const QRect halved = ink(page(0, {}));
    ASSERT_FALSE(halved.isEmpty());
    const struct {
        const char* name;
        quint32 type;
        QByteArray transform;
    } cases[] = {
        {"set, not a number", emf::EMR_SETWORLDTRANSFORM, fields({nan, 0, 0, one, 0, 0})},
        {"multiplied on the left, infinite", emf::EMR_MODIFYWORLDTRANSFORM,
         fields({one, 0, 0, one, infinite, 0, emf::MWT_LEFTMULTIPLY})},
        {"multiplied on the right, not a number", emf::EMR_MODIFYWORLDTRANSFORM,
         fields({nan, 0, 0, one, 0, 0, emf::MWT_RIGHTMULTIPLY})},
    };
    RefusalLog log("tavim.metafile");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ink(page(c.type, c.transform)), halved);
        EXPECT_EQ(distinctChecks(log.takeAll()).toStdString(),
                  "skipped: a transform with an element that is not finite");
    }
}

// A page readable at the 100 x 100 target: a black square, and text in a font
// of 20 device pixels.
QByteArray squareAndText() {
    return EmfBytes()
        .add(emf::EMR_SELECTOBJECT, {kBlackBrush})
        .add(emf::EMR_RECTANGLE, {0, 0, 50'000, 50'000})
        .add(emf::EMR_EXTCREATEFONTINDIRECTW, fontRecord(-20'000, 0))
        .add(emf::EMR_SELECTOBJECT, {1})
        .add(emf::EMR_EXTTEXTOUTW, textAt(60'000, 60'000))
        .bytes();
}

// A target without area shows nothing and plays nothing: its texts are not
// texts too small to read.
TEST(ReplayLimits, ATargetWithoutAreaPlaysNothing) {
    const QByteArray bytes = squareAndText();
    ASSERT_FALSE(ink(bytes).isEmpty());
    RefusalLog log("tavim.metafile");
    for (const QRectF& target :
         {QRectF(0, 0, 0, 100), QRectF(0, 0, 100, 0), QRectF(100, 100, -100, -100)}) {
        SCOPED_TRACE(target.width());
        EXPECT_TRUE(ink(bytes, target).isEmpty());
        EXPECT_EQ(distinctChecks(log.takeAll()).toStdString(), "-");
    }
}

// The player draws only through affine transforms: under a painter in
// perspective nothing of the page is drawn.
TEST(ReplayLimits, APainterInPerspectiveDrawsNothingOfThePage) {
    RefusalLog log("tavim.metafile");
    EXPECT_TRUE(
        ink(squareAndText(), QRectF(0, 0, 100, 100), QTransform(1, 0, 0.001, 0, 1, 0, 0, 0, 1))
            .isEmpty());
    EXPECT_EQ(distinctChecks(log.takeAll()).toStdString(),
              "skipped: a drawing whose transform is too large or not affine");
}

struct Made {
    explicit Made(const QFont&) { ++count; }
    static inline int count = 0;
};

// A hostile page whose every font and text is new keeps what the player and
// the recorder remember of them bounded.
TEST(ReplayLimits, WhatIsRememberedOfFontsAndTextsStaysBounded) {
    constexpr int kLimit = 100;
    BoundedCache<QString, int> texts(kLimit);
    for (int i = 0; i <= kLimit; ++i)
        texts.insert(QString::number(i), i);
    EXPECT_LE(texts.size(), kLimit);
    ASSERT_NE(texts.find(QString::number(kLimit)), nullptr);
    EXPECT_EQ(*texts.find(QString::number(kLimit)), kLimit);
    EXPECT_EQ(texts.find(QStringLiteral("0")), nullptr) << "a full cache starts again";

    QFont font;
    for (int pixels = 1; pixels <= int(kMaxPerFont) + 1; ++pixels) {
        font.setPixelSize(pixels);
        perFont<Made>(font);
    }
    ASSERT_EQ(Made::count, int(kMaxPerFont) + 1);
    font.setPixelSize(1);
    perFont<Made>(font);
    EXPECT_EQ(Made::count, int(kMaxPerFont) + 2) << "the first font is made again";
}

} // namespace
} // namespace tavim::test
