#include "engine/print/pdf/PdfInfo.h"

namespace tavim {

QString PdfCreator() {
    return QStringLiteral("Tavim");
}

QByteArray Utf16Hex(const QString& text) {
    QByteArray hex;
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

QByteArray PdfTextString(const QString& text) {
    return "<FEFF" + Utf16Hex(text) + '>';
}

QByteArray XmlEscaped(const QString& text) {
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&apos;")).toUtf8();
}

} // namespace tavim
