#include "data/firebird/FbParams.h"

#include "data/firebird/FbBlob.h"
#include "data/firebird/FbColumns.h"
#include "data/firebird/FbDateTime.h"
#include "error/DatabaseError.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <cstring>
#include <limits>

namespace tavim {

namespace {

template <typename T> void store(Sqlda& input, int index, T value) {
    std::memcpy(input.allocate(index, sizeof value), &value, sizeof value);
}

[[noreturn]] void outOfRange(int index) {
    throw EDatabaseError(QStringLiteral("Value of parameter %1 is out of range").arg(index + 1));
}

bool isDateKind(FieldKind kind) {
    return kind == FieldKind::Date || kind == FieldKind::DateTime || kind == FieldKind::Time;
}

QString dateText(const DbParam& param, double value) {
    const ISC_TIMESTAMP timestamp = toIscTimestamp(value);
    const QDate date = QDate(1858, 11, 17).addDays(timestamp.timestamp_date);
    if (param.kind == FieldKind::Date)
        return date.toString(Qt::ISODate);
    const QTime time = QTime(0, 0).addMSecs(int(timestamp.timestamp_time / 10));
    return date.toString(Qt::ISODate) + QLatin1Char(' ') + time.toString(u"HH:mm:ss.zzz");
}

QString textOf(const DbParam& param) {
    if (const auto* text = std::get_if<QString>(&param.value))
        return *text;
    if (const auto* integer = std::get_if<qint64>(&param.value))
        return QString::number(*integer);
    const double value = std::get<double>(param.value);
    if (isDateKind(param.kind))
        return dateText(param, value);
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

double numberOf(const DbParam& param) {
    if (const auto* integer = std::get_if<qint64>(&param.value))
        return double(*integer);
    return std::get<double>(param.value);
}

void bindText(Sqlda& input, int index, const QByteArray& bytes) {
    if (bytes.size() > std::numeric_limits<ISC_SHORT>::max())
        throw EDatabaseError(QStringLiteral("Parameter %1 is too long").arg(index + 1));
    XSQLVAR& var = input.var(index);
    var.sqltype = SQL_TEXT | 1;
    var.sqlscale = 0;
    var.sqllen = ISC_SHORT(bytes.size());
    std::memcpy(input.allocate(index, bytes.size()), bytes.constData(), bytes.size());
}

qint64 scaledInteger(const DbParam& param, int scale, int index) {
    const auto* integer = std::get_if<qint64>(&param.value);
    if (integer && scale == 0)
        return *integer;
    const double scaled = std::round(numberOf(param) * std::pow(10.0, -scale));
    // 2^63 is exactly representable; every double below it converts.
    if (!(std::fabs(scaled) < 9223372036854775808.0))
        outOfRange(index);
    return qint64(scaled);
}

template <typename T> void bindInteger(Sqlda& input, int index, qint64 value) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        outOfRange(index);
    store(input, index, T(value));
}

void bindScaled(Sqlda& input, int index, const FbParamType& described, const DbParam& param) {
    const qint64 value = scaledInteger(param, described.scale, index);
    if (described.type == SQL_SHORT)
        bindInteger<ISC_SHORT>(input, index, value);
    else if (described.type == SQL_LONG)
        bindInteger<ISC_LONG>(input, index, value);
    else
        bindInteger<ISC_INT64>(input, index, value);
}

void bindBlob(Sqlda& input, int index, const FbParamType& described, const DbParam& param,
              const FbParamContext& context) {
    const QString text = textOf(param);
    const QByteArray bytes =
        described.subtype == isc_blob_text ? context.charset.encode(text) : text.toLatin1();
    store(input, index,
          FbBlob::write(context.client, context.database, context.transaction, bytes));
}

void bindNumber(Sqlda& input, int index, const FbParamType& described, const DbParam& param) {
    const double value = numberOf(param);
    switch (described.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return bindScaled(input, index, described, param);
    case SQL_FLOAT:
        return store(input, index, float(value));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return store(input, index, value);
    case SQL_TIMESTAMP:
        return store(input, index, toIscTimestamp(value));
    case SQL_TYPE_DATE:
        return store(input, index, toIscDate(value));
    case SQL_TYPE_TIME:
        return store(input, index, toIscTime(value));
    case SQL_BOOLEAN:
        return store(input, index, FB_BOOLEAN(value != 0 ? 1 : 0));
    default:
        throw EDatabaseError(
            QStringLiteral("Parameter %1 has a data type that cannot be written (%2)")
                .arg(index + 1)
                .arg(described.type));
    }
}

bool isTextType(ISC_SHORT type) {
    return type == SQL_TEXT || type == SQL_VARYING || type == SQL_NULL;
}

} // namespace

FbParamType paramTypeOf(const XSQLVAR& var) {
    return {ISC_SHORT(var.sqltype & ~1), var.sqlscale, var.sqlsubtype, var.sqllen};
}

void bindParam(Sqlda& input, int index, const FbParamType& described, const DbParam& param,
               const FbParamContext& context) {
    XSQLVAR& var = input.var(index);
    var.sqltype = ISC_SHORT(described.type | 1);
    var.sqlscale = described.scale;
    var.sqlsubtype = described.subtype;
    var.sqllen = described.length;
    if (isNull(param.value)) {
        input.allocate(index, size_t(described.length));
        *var.sqlind = -1;
        return;
    }
    if (described.type == SQL_BLOB)
        bindBlob(input, index, described, param, context);
    else if (isTextType(described.type) || std::holds_alternative<QString>(param.value))
        bindText(input, index, textCharsetOf(var, context.charset).encode(textOf(param)));
    else
        bindNumber(input, index, described, param);
    *var.sqlind = 0;
}

} // namespace tavim
