#include "data/firebird/FbReply.h"

#include "error/DatabaseError.h"

#include <algorithm>
#include <cstring>
#include <ibase.h>

namespace tavim {

namespace {

constexpr qsizetype kClusterHeader = 3;

EDatabaseError malformedInfo(const QString& what) {
    return EDatabaseError(
        QStringLiteral("The server's statement information is malformed: %1").arg(what));
}

int littleEndian(QByteArrayView bytes) {
    int value = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// The statement type is a small integer sent in one to four bytes.
int typeValue(QByteArrayView value) {
    if (value.isEmpty() || value.size() > qsizetype(sizeof(ISC_LONG)))
        throw malformedInfo(QStringLiteral("a statement type of %1 bytes").arg(value.size()));
    return littleEndian(value);
}

} // namespace

int statementTypeOf(QByteArrayView reply) {
    int type = -1;
    qsizetype at = 0;
    for (;;) {
        if (at >= reply.size())
            throw malformedInfo(QStringLiteral("it has no end marker"));
        const auto item = static_cast<unsigned char>(reply[at]);
        if (item == isc_info_end)
            break;
        if (item == isc_info_truncated)
            throw malformedInfo(QStringLiteral("it was truncated"));
        if (reply.size() - at < kClusterHeader)
            throw malformedInfo(QStringLiteral("an item's length passes its end"));
        const qsizetype length = littleEndian(reply.sliced(at + 1, 2));
        if (reply.size() - at - kClusterHeader < length)
            throw malformedInfo(QStringLiteral("an item's length passes its end"));
        if (item == isc_info_sql_stmt_type)
            type = typeValue(reply.sliced(at + kClusterHeader, length));
        at += kClusterHeader + length;
    }
    if (type < 0)
        throw malformedInfo(QStringLiteral("it has no statement type"));
    return type;
}

QByteArrayView varyingBytes(QByteArrayView variable, int declaredLength, const QString& column) {
    ISC_USHORT length = 0;
    if (variable.size() < qsizetype(sizeof length))
        throw EDatabaseError(
            QStringLiteral("Column '%1' has no room for its text's length").arg(column));
    std::memcpy(&length, variable.data(), sizeof length);
    const QByteArrayView text = variable.sliced(sizeof length);
    if (length > declaredLength || length > text.size())
        throw EDatabaseError(
            QStringLiteral("Column '%1' was sent a text of %2 bytes, more than the %3 it holds")
                .arg(column)
                .arg(length)
                .arg(std::min<qsizetype>(declaredLength, text.size())));
    return text.first(length);
}

} // namespace tavim
