#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tavim {

// The server's WIN1252 texts, and those of a connection without a character
// set. Qt offers no Windows-1252 codec of its own on every platform.
QString decodeWindows1252(QByteArrayView bytes);
// Characters without a Windows-1252 byte become '?', one per character.
QByteArray encodeWindows1252(QStringView text);

} // namespace tavim
