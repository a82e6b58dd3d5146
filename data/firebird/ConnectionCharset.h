#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tavim {

// The character set a connection talks in: how its texts are encoded and how
// many bytes the server reserves per character of a text column.
class ConnectionCharset {
public:
    // An empty name is the connection without a character set (NONE). Only the
    // sets this program can decode are accepted; others raise EDatabaseError
    // rather than garble every text.
    static ConnectionCharset fromName(const QString& serverCharSet);

    QString decode(QByteArrayView bytes) const;
    QByteArray encode(const QString& text) const;
    int bytesPerCharacter() const { return m_bytesPerCharacter; }

private:
    enum class Encoding { Windows1252, Latin1, Utf8 };
    ConnectionCharset(Encoding encoding, int bytesPerCharacter)
        : m_encoding(encoding), m_bytesPerCharacter(bytesPerCharacter) {}

    Encoding m_encoding;
    int m_bytesPerCharacter;
};

// Server messages may quote data: UTF-8 when they are valid UTF-8, otherwise
// the Windows-1252 bytes of a connection without a character set.
QString decodeServerText(QByteArrayView bytes);

} // namespace tavim
