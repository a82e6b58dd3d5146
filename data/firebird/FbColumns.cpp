#include "data/firebird/FbColumns.h"

#include "data/firebird/FbBlob.h"
#include "data/firebird/FbDateTime.h"
#include "data/firebird/FbReply.h"
#include "error/DatabaseError.h"

#include <cmath>
#include <cstring>

namespace tavim {

namespace {

template <typename T> T load(const XSQLVAR& var) {
    T value;
    std::memcpy(&value, var.sqldata, sizeof value);
    return value;
}

FieldKind integerKind(int type, int scale) {
    if (scale != 0)
        return FieldKind::BCD;
    if (type == SQL_SHORT)
        return FieldKind::SmallInt;
    return type == SQL_LONG ? FieldKind::Integer : FieldKind::LargeInt;
}

FieldKind kindOf(const XSQLVAR& var) {
    switch (const int type = var.sqltype & ~1) {
    case SQL_TEXT:
    case SQL_VARYING:
        return FieldKind::String;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return integerKind(type, var.sqlscale);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Float;
    case SQL_TIMESTAMP:
        return FieldKind::DateTime;
    case SQL_TYPE_DATE:
        return FieldKind::Date;
    case SQL_TYPE_TIME:
        return FieldKind::Time;
    case SQL_BLOB:
        return var.sqlsubtype == isc_blob_text ? FieldKind::Memo : FieldKind::Blob;
    case SQL_BOOLEAN:
        return FieldKind::Boolean;
    default:
        return FieldKind::Unknown;
    }
}

qint64 integerValue(const XSQLVAR& var) {
    switch (var.sqltype & ~1) {
    case SQL_SHORT:
        return load<ISC_SHORT>(var);
    case SQL_LONG:
        return load<ISC_LONG>(var);
    default:
        return load<ISC_INT64>(var);
    }
}

Value numericValue(const XSQLVAR& var) {
    const qint64 value = integerValue(var);
    if (var.sqlscale == 0)
        return value;
    // Dividing by the exact power of ten gives the double nearest the decimal.
    return double(value) / std::pow(10.0, -var.sqlscale);
}

bool isText(const XSQLVAR& var) {
    const int type = var.sqltype & ~1;
    return type == SQL_TEXT || type == SQL_VARYING;
}

QString textValue(const XSQLVAR& var, const ColumnDesc& column, const ConnectionCharset& charset,
                  bool trimChar) {
    if ((var.sqltype & ~1) == SQL_VARYING)
        return charset.decode(
            varyingBytes(QByteArrayView(var.sqldata, var.sqllen + qsizetype(sizeof(ISC_USHORT))),
                         var.sqllen, column.name));
    QString text = charset.decode(QByteArrayView(var.sqldata, var.sqllen));
    // A multi-byte set pads CHAR to its byte length; keep only the column's
    // own width of padding, or none when trimming.
    const qsizetype keep = trimChar ? 0 : column.size;
    while (text.size() > keep && text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

Value blobValue(const XSQLVAR& var, const ColumnDesc& column, const FbRowContext& context) {
    const QByteArray bytes =
        FbBlob::read(context.client, context.database, context.transaction, load<ISC_QUAD>(var));
    if (column.kind == FieldKind::Memo)
        return context.charset.decode(bytes);
    // Binary contents travel one byte per character.
    return QString::fromLatin1(bytes);
}

} // namespace

ConnectionCharset textCharsetOf(const XSQLVAR& var, const ConnectionCharset& connection) {
    if (!isText(var))
        return connection;
    // The low byte is the set; a collation may sit above it.
    return ConnectionCharset::fromId(var.sqlsubtype & 0xFF).value_or(connection);
}

ColumnDesc describeColumn(const XSQLVAR& var, const ConnectionCharset& connection) {
    ColumnDesc column;
    column.name = connection.decode(QByteArrayView(var.aliasname, var.aliasname_length));
    column.kind = kindOf(var);
    if (column.kind == FieldKind::Unknown)
        throw EDatabaseError(QStringLiteral("Column '%1' has a data type that cannot be read (%2)")
                                 .arg(column.name)
                                 .arg(var.sqltype & ~1));
    if (column.kind == FieldKind::String)
        column.size = var.sqllen / textCharsetOf(var, connection).bytesPerCharacter();
    return column;
}

Value readColumn(const XSQLVAR& var, const ColumnDesc& column, const ConnectionCharset& textCharset,
                 const FbRowContext& context) {
    switch (var.sqltype & ~1) {
    case SQL_TEXT:
    case SQL_VARYING:
        return textValue(var, column, textCharset, context.trimChar);
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return numericValue(var);
    case SQL_FLOAT:
        return double(load<float>(var));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(var);
    case SQL_TIMESTAMP:
        return fromIscTimestamp(load<ISC_TIMESTAMP>(var));
    case SQL_TYPE_DATE:
        return fromIscDate(load<ISC_DATE>(var));
    case SQL_TYPE_TIME:
        return fromIscTime(load<ISC_TIME>(var));
    case SQL_BLOB:
        return blobValue(var, column, context);
    case SQL_BOOLEAN:
        return qint64(load<FB_BOOLEAN>(var) ? 1 : 0);
    default:
        return {};
    }
}

} // namespace tavim
