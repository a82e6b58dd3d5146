// Faces embedded in PDFs: the assembled font file is a valid TrueType file of
// the same face holding the outlines of the glyphs shown, its widths are the
// face's, and the glyphs shown map back to their characters.
#include "engine/print/pdf/PdfFont.h"

#include <QFont>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

namespace tavim {
namespace {

QFont face(const char* family, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(20);
    font.setBold(bold);
    return font;
}

quint32 checksum(const QByteArray& file) {
    quint32 sum = 0;
    for (qsizetype i = 0; i + 4 <= file.size(); i += 4)
        sum += qFromBigEndian<quint32>(file.constData() + i);
    return sum;
}

TEST(PdfFont, EmbedsASubsetOfTheFaceWithItsNameAndWidths) {
    const struct {
        QFont font;
        QByteArray name;
    } cases[] = {
        {face("Liberation Sans", false), "LiberationSans"},
        {face("Liberation Sans", true), "LiberationSans-Bold"},
        {face("Liberation Sans Narrow", false), "LiberationSansNarrow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QRawFont raw = QRawFont::fromFont(c.font);
        ASSERT_TRUE(raw.isValid());
        PdfFont font(raw);
        ASSERT_TRUE(font.isValid());
        EXPECT_EQ(font.postScriptName(), c.name);
        const QByteArray nothingShown = font.program();
        QByteArray shown;
        EXPECT_TRUE(font.appendPlainGlyphs(QStringLiteral("Aç"), shown));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+") + c.name + '$')
                        .match(QString::fromLatin1(font.subsetName()))
                        .hasMatch())
            << font.subsetName().toStdString();
        EXPECT_EQ(font.program().size() % 4, 0);
        // The head table's adjustment makes the whole file sum to this.
        EXPECT_EQ(checksum(font.program()), 0xB1B0AFBAu);

        const QRawFont again(font.program(), 1000);
        ASSERT_TRUE(again.isValid());
        EXPECT_EQ(again.familyName(), raw.familyName());
        EXPECT_EQ(again.styleName(), raw.styleName());
        // Glyph ids stay the face's own; the subset has no character map.
        const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("AçW"));
        const QList<QPointF> advances = again.advancesForGlyphIndexes(glyphs);
        // The outlines and widths of "A" and "ç" (a cedilla made of parts)
        // and no others.
        for (qsizetype i = 0; i < 2; ++i) {
            EXPECT_FALSE(again.pathForGlyph(glyphs[i]).isEmpty()) << i;
            EXPECT_NEAR(font.width(quint16(glyphs[i])), advances[i].x(), 1.0) << i;
        }
        EXPECT_TRUE(again.pathForGlyph(glyphs[2]).isEmpty());
        EXPECT_LT(font.program().size(), nothingShown.size() + 2'000);
    }
}

TEST(PdfFont, ShowsGlyphIdsAndRemembersTheirCharacters) {
    const QRawFont raw = QRawFont::fromFont(face("Liberation Sans", false));
    PdfFont font(raw);
    ASSERT_TRUE(font.isValid());
    const QList<quint32> expected = raw.glyphIndexesForString(QStringLiteral("Aç A"));
    QByteArray glyphs;
    ASSERT_TRUE(font.appendPlainGlyphs(QStringLiteral("Aç A"), glyphs));
    ASSERT_EQ(glyphs.size(), 4 * 2);
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(qFromBigEndian<quint16>(glyphs.constData() + 2 * i), expected[i]) << i;
    // A character the face lacks, a combining mark, a zero-width space, a
    // Hebrew letter: each needs more than the face's own glyph.
    for (const char16_t other : {u'\uE000', u'\u0301', u'\u200B', u'\u05E9'}) {
        EXPECT_FALSE(font.appendPlainGlyphs(QStringLiteral("A") + QChar(other), glyphs))
            << int(other);
        EXPECT_EQ(glyphs.size(), 4 * 2);
    }
    // The missing glyph maps to nothing.
    font.appendGlyph(0, QStringLiteral("\uE000"), glyphs);
    EXPECT_EQ(glyphs.right(2), QByteArray(2, '\0'));
    ASSERT_EQ(font.shown().size(), 3u);
    EXPECT_EQ(font.shown().at(quint16(expected[0])), QStringLiteral("A"));
    EXPECT_EQ(font.shown().at(quint16(expected[1])), QStringLiteral("ç"));
}

} // namespace
} // namespace tavim
