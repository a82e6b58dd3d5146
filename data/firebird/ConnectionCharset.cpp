#include "data/firebird/ConnectionCharset.h"

#include "data/DatabaseError.h"
#include "data/firebird/Windows1252.h"

#include <QStringDecoder>

namespace tavim {

ConnectionCharset ConnectionCharset::fromName(const QString& serverCharSet) {
    const QString name = serverCharSet.trimmed().toUpper();
    if (name.isEmpty() || name == u"NONE" || name == u"WIN1252")
        return {Encoding::Windows1252, 1};
    if (name == u"ISO8859_1")
        return {Encoding::Latin1, 1};
    if (name == u"UTF8")
        return {Encoding::Utf8, 4};
    if (name == u"UNICODE_FSS")
        return {Encoding::Utf8, 3};
    throw EDatabaseError(QStringLiteral("Unsupported ServerCharSet %1").arg(serverCharSet));
}

QString ConnectionCharset::decode(QByteArrayView bytes) const {
    switch (m_encoding) {
    case Encoding::Windows1252:
        return decodeWindows1252(bytes);
    case Encoding::Latin1:
        return QString::fromLatin1(bytes);
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    }
    return {};
}

QByteArray ConnectionCharset::encode(const QString& text) const {
    switch (m_encoding) {
    case Encoding::Windows1252:
        return encodeWindows1252(text);
    case Encoding::Latin1:
        return text.toLatin1();
    case Encoding::Utf8:
        return text.toUtf8();
    }
    return {};
}

QString decodeServerText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

} // namespace tavim
