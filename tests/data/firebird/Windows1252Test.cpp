#include "data/firebird/Windows1252.h"

#include "tests/data/firebird/QtPrinters.h"

#include <gtest/gtest.h>

namespace tavim {
namespace {

struct CodecCase {
    unsigned char byte;
    char16_t character;
};

// The 0x80-0x9F table's ends and oddities, the undefined bytes, and Latin-1 on either side.
const CodecCase kCodecCases[] = {
    {0x41, u'A'},   {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x85, 0x2026}, {0x8A, 0x0160},
    {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x96, 0x2013},
    {0x99, 0x2122}, {0x9C, 0x0153}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xC1, u'Á'},
    {0xE3, u'ã'},   {0xE7, u'ç'},   {0xFF, u'ÿ'},
};

class Windows1252Codec : public testing::TestWithParam<CodecCase> {};

TEST_P(Windows1252Codec, DecodesAndEncodesTheByte) {
    const CodecCase c = GetParam();
    const QByteArray bytes(1, char(c.byte));
    EXPECT_EQ(decodeWindows1252(bytes), QString(QChar(c.character)));
    EXPECT_EQ(encodeWindows1252(QString(QChar(c.character))), bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, Windows1252Codec, testing::ValuesIn(kCodecCases),
                         [](const auto& info) {
                             return QString::number(info.param.byte, 16).toUpper().toStdString();
                         });

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
}

TEST(Windows1252, UnrepresentableCharactersBecomeOneQuestionMarkEach) {
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {QString::fromUtf16(u"Ā"), "?"},
        {QString::fromUtf16(u"日本"), "??"},
        {QString::fromUtf16(u"a😀b"), "a?b"}, // a surrogate pair is one character
        {QString(QChar(0xD800)), "?"},       // an unpaired surrogate
        {QString::fromUtf16(u"ação€"), "a\xE7\xE3o\x80"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeWindows1252(c.text), c.bytes) << c.text.toStdString();
}

} // namespace
} // namespace tavim
