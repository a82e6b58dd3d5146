#pragma once

#include <QByteArray>
#include <QString>

namespace tavim {

// What an archived PDF says about itself besides its pages.
struct TPdfInfo {
    QString title;
    QString author;
};

// The creator archived PDFs name.
QString PdfCreator();
// Each UTF-16 unit of `text` as four upper-case hex digits, as PDF hex strings carry it.
QByteArray Utf16Hex(const QString& text);
// A PDF text string that keeps any character: UTF-16BE hex with its byte order mark.
QByteArray PdfTextString(const QString& text);
// Text for XML character data and attribute values.
QByteArray XmlEscaped(const QString& text);

} // namespace tavim
