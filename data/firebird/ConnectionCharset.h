#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace tavim {

// A character set the server's texts come in, that of a connection or of one
// text column: how its texts are encoded and how many bytes the server
// reserves per character.
class ConnectionCharset {
public:
    // An empty name is the connection without a character set (NONE). Only the
    // sets this program can decode are accepted; others raise EDatabaseError
    // rather than garble every text.
    static ConnectionCharset fromName(const QString& serverCharSet);
    // The set of a text column by the id the server describes it with (the low
    // byte of sqlsubtype); nothing for NONE, OCTETS and sets without a
    // converter here, whose bytes are read as the connection's own.
    static std::optional<ConnectionCharset> fromId(int id);

    QString decode(QByteArrayView bytes) const;
    // Characters the set cannot hold become '?', one per character.
    QByteArray encode(const QString& text) const;
    int bytesPerCharacter() const { return m_bytesPerCharacter; }

private:
    enum class Encoding { Windows1252, Latin1, Utf8, Iconv };
    ConnectionCharset(Encoding encoding, int bytesPerCharacter, const char* iconvName = nullptr)
        : m_encoding(encoding), m_bytesPerCharacter(bytesPerCharacter), m_iconvName(iconvName) {}

    Encoding m_encoding;
    int m_bytesPerCharacter;
    const char* m_iconvName; // for Encoding::Iconv: glibc's name of the set
};

// Server messages may quote data: UTF-8 when they are valid UTF-8, otherwise
// the Windows-1252 bytes of a connection without a character set.
QString decodeServerText(QByteArrayView bytes);

} // namespace tavim
